// Fuzz target for whole description files: the input is written to a file,
// its dialogs are listed with EnumDialog (bounded, since a file may list in a
// cycle), every listed dialog and a missing one are loaded, shown through a
// stand-in host that edits the items as a user would, operated on and freed.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "tests/fuzz/fuzz_file.h"
#include "tests/fuzz/fuzz_host.h"

namespace {

/* Dialog names listed of each input. */
constexpr int kListed = 8;

void setUp() {
  static bool done = false;
  if (done) return;
  done = true;
  fuzzInitLibrary();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  setUp();
  const std::string &path = fuzzWriteInput(data, size);

  // The listing reads the file from its start once per name, and each load
  // reads it twice: a few names and three loads (the first and the last
  // dialog listed, and a missing one) reach every path that more would,
  // without making an input's cost grow with the square of its dialogs.
  std::vector<std::string> names;
  char name[TS_TOKEN_ROOM] = "";
  for (int i = 0; i < kListed; i++) {
    EnumDialog(nullptr, path.c_str(), name);
    if (strlen(name) >= TS_TOKEN_ROOM) abort();
    if (!name[0]) break;
    names.push_back(name);
  }
  if (names.size() > 2) names.erase(names.begin() + 1, names.end() - 1);
  names.push_back("no such dialog");
  for (const std::string &n : names) {
    DialogData *d = LoadDialogEx(nullptr, -1, path.c_str(), n.c_str());
    if (!d) continue;
    ShowDialog(d);
    int id = GetRadioStatus(d, 0);
    SetRadioStatus(d, id, 1);
    HideItem(d, 1);
    SetItemColor(d, 1, 0x1F);
    (void)strlen(GetItemData(d, 1));
    RestoreItem(d, 1);
    SetItemStatus(d, 2, 1);
    SetItemFocus(d, 3);
    FreeDialog(d);
  }
  /* The library keeps the last load's enum names until the next load; free
     them, so that each input ends with the heap it began with and libFuzzer
     need not run it again to look for a leak. */
  tsClearEnums();
  return 0;
}
