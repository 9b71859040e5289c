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

  std::vector<std::string> names;
  char name[TS_TOKEN_ROOM] = "";
  for (int i = 0; i < 40; i++) {
    EnumDialog(nullptr, path.c_str(), name);
    if (strlen(name) >= TS_TOKEN_ROOM) abort();
    if (!name[0]) break;
    names.push_back(name);
  }
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
  return 0;
}
