// Helpers of the host stand-in's unit tests: building dialog item records,
// drawing into a screen of its own and reading it back as text, and one
// canonical line per item for comparing what the keys left in the records.
#ifndef TESSEL_TESTS_HOST_TEST_UTIL_H
#define TESSEL_TESTS_HOST_TEST_UTIL_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "host/dialog_window.h"
#include "host/dump.h"
#include "host/hotkey.h"
#include "host/keys.h"
#include "host/screen.h"

// One dialog item record.
inline DialogItem makeItem(int type, int x1, int y1, int x2, int y2, const char *text, unsigned flags = 0,
                           intptr_t selected = 0, int focus = 0, int defaultButton = 0) {
  DialogItem item;
  memset(&item, 0, sizeof item);
  item.type = type;
  item.x1 = x1, item.y1 = y1, item.x2 = x2, item.y2 = y2;
  item.flags = flags;
  item.selected = selected;
  item.focus = focus;
  item.defaultButton = defaultButton;
  snprintf(item.data, sizeof item.data, "%s", text);
  return item;
}

// A screen that frees its cells.
struct TestScreen {
  Screen screen = {};
  TestScreen(int cols, int rows) { screenResize(&screen, cols, rows); }
  ~TestScreen() { screenFree(&screen); }
  TestScreen(const TestScreen &) = delete;
  TestScreen &operator=(const TestScreen &) = delete;
};

// The screen as dumpText writes it.
inline std::string screenText(const Screen *screen) {
  char *data = nullptr;
  size_t size = 0;
  FILE *out = open_memstream(&data, &size);
  dumpText(screen, out);
  fclose(out);
  std::string text(data, size);
  free(data);
  return text;
}

// The rows of a screen dump from row first on, without blank rows at the end.
inline std::string rowsFrom(const std::string &text, int first) {
  size_t at = 0;
  for (int i = 0; i < first && at != std::string::npos; i++) at = text.find('\n', at) + 1;
  std::string rest = at == std::string::npos ? "" : text.substr(at);
  while (rest.size() >= 2 && rest[rest.size() - 1] == '\n' && rest[rest.size() - 2] == '\n') rest.pop_back();
  return rest;
}

// Draws a dialog of width x height, centred on a screen with room for the
// shadow and a margin, and returns the text from its first row on.
inline std::string drawDialog(std::vector<DialogItem> &items, int width, int height) {
  TestScreen s(width + 4, height + 2);
  DialogView view;
  dialogOpen(&view, items.data(), (int)items.size(), -1, -1, width, height, s.screen.cols, s.screen.rows);
  dialogDraw(&view, &s.screen);
  return rowsFrom(screenText(&s.screen), 1);
}

// Keys of a script, which the test expects to parse.
inline std::vector<int> keysOf(const char *script) {
  std::vector<int> keys(strlen(script) + 1);
  char error[128];
  int count = keyParseScript(script, keys.data(), (int)keys.size(), error, sizeof error);
  if (count < 0) count = 0;
  keys.resize((size_t)count);
  return keys;
}

inline bool isEditType(int type) { return type == DI_EDIT || type == DI_PSWEDIT || type == DI_FIXEDIT; }

// One line per item: its text (without hot-key marks but for edit fields),
// check or radio state, and a star for the focus.
inline std::string itemsState(const std::vector<DialogItem> &items) {
  std::string out;
  for (const DialogItem &item : items) {
    char visible[sizeof item.data];
    hotSplit(item.data, (int)sizeof item.data, 0, visible, (int)sizeof visible);
    out += isEditType(item.type) ? item.data : visible;
    if (item.type == DI_CHECKBOX || item.type == DI_RADIOBUTTON) out += item.selected ? " [on]" : " [off]";
    if (item.focus) out += " *";
    out += "\n";
  }
  return out;
}

#endif
