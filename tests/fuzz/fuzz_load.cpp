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

namespace {

std::string path;

const char *TS_HOSTAPI getMsg(int, int number) {
  static char text[32];
  snprintf(text, sizeof text, "message %d", number);
  return text;
}
int TS_HOSTAPI message(int, unsigned, const char *, const char *const *lines, int count, int) {
  for (int i = 0; i < count; i++) (void)strlen(lines[i]);
  return 0;
}
int TS_HOSTAPI dialog(int, int, int, int, int, const char *help, DialogItem *items, int count) {
  (void)strlen(help);
  for (int i = 0; i < count; i++) {
    (void)strlen(items[i].data);
    if (items[i].type == DI_EDIT) strcpy(items[i].data, "typed");
    if (items[i].type == DI_CHECKBOX) items[i].selected = !items[i].selected;
  }
  return count - 1;
}

void setUp() {
  if (!path.empty()) return;
  char name[] = "/tmp/tessel-fuzz-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) abort();
  close(fd);
  path = std::string(name) + ".dlg";
  rename(name, path.c_str());
  setenv("TESSEL_REGISTRY", "/nonexistent/tessel-fuzz/registry.sqlite3", 1);
  StartupInfo info = {};
  info.structSize = sizeof info;
  info.rootKey = "Software\\Tessel\\Fuzz";
  info.hostGetMsg = getMsg;
  info.hostMessage = message;
  info.hostDialog = dialog;
  TS_Init(info);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  setUp();
  FILE *file = fopen(path.c_str(), "wb");
  if (!file) abort();
  fwrite(data, 1, size, file);
  fclose(file);

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
