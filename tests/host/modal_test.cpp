// The one modal loop every host window runs in, driven by a scripted session:
// which keys reach the window, when F1 shows the help topic instead, and that
// the screen behind the window is put back when it closes.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

#include "codepage/codepage.h"
#include "host/dialog_window.h"
#include "host/help_viewer.h"
#include "host/modal.h"
#include "host/session.h"
#include "host_test_util.h"

namespace {

// A window that draws one mark, closes with 7 on "x" and with -1 on Esc, and
// records every key it is given.
struct Recorder {
  std::vector<int> seen;
  bool ownsF1 = false;
};

ModalWindow recorderWindow(Recorder *r, int showsHelp) {
  ModalWindow w = {};
  w.state = r;
  w.place = [](void *, int, int) {};
  w.draw = [](const void *, Screen *s) { screenPut(s, 0, 0, '#', kBlankPaint); };
  w.key = [](void *state, int key) {
    static_cast<Recorder *>(state)->seen.push_back(key);
    return key == 'x' ? 7 : key == TK_ESC ? -1 : MODAL_OPEN;
  };
  w.ownsKey = [](const void *state, int key) -> int {
    return static_cast<const Recorder *>(state)->ownsF1 && key == TK_F1;
  };
  w.showHelp = showsHelp ? helpViewerShow : nullptr;
  w.helpTopic = "Topic";
  return w;
}

TEST(ModalLoop, KeysHelpAndBackground) {
  struct Row {
    const char *label;
    const char *script;
    int showsHelp;
    bool ownsF1;
    int result;
    const char *seen;  // the keys the window was given, as a script
    bool helpShown;
  } rows[] = {
      {"F1 shows the help topic; its box takes Enter", "F1 Enter y x", 1, false, 7, "y x", true},
      {"a window without help gets F1", "F1 x", 0, false, 7, "F1 x", false},
      {"a window may take F1 itself", "F1 x", 1, true, 7, "F1 x", false},
      {"Esc follows when the script runs out", "y", 1, false, -1, "y Esc", false},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    std::vector<int> keys = keysOf(row.script);
    ASSERT_TRUE(sessionOpenScripted(40, 12, keys.data(), (int)keys.size()));
    char *dumps = nullptr;
    size_t dumpsSize = 0;
    FILE *out = open_memstream(&dumps, &dumpsSize);
    sessionSetDumpFile(out);
    screenPut(sessionScreen(), 0, 0, 'b', kBlankPaint);

    Recorder recorder;
    recorder.ownsF1 = row.ownsF1;
    ModalWindow window = recorderWindow(&recorder, row.showsHelp);
    EXPECT_EQ(modalRun(&window), row.result);
    EXPECT_EQ(screenCellAt(sessionScreen(), 0, 0)->ch, (uint32_t)'b') << "the background is put back";

    sessionSetDumpFile(nullptr);
    fclose(out);
    std::string dumped(dumps, dumpsSize);
    free(dumps);
    sessionClose();
    EXPECT_EQ(recorder.seen, keysOf(row.seen));
    EXPECT_EQ(dumped.find("Help topic: Topic") != std::string::npos, row.helpShown);
  }
}

// The rows of each dump in a --screen file, as code points.
std::vector<std::vector<std::u32string>> screensOf(const std::string &dumps) {
  std::vector<std::vector<std::u32string>> screens;
  size_t at = 0;
  while (at < dumps.size()) {
    size_t end = dumps.find('\n', at);
    std::string line = dumps.substr(at, end - at);
    at = end + 1;
    if (line.rfind("=== screen", 0) == 0) {
      screens.emplace_back();
      continue;
    }
    std::u32string row;
    for (size_t i = 0; i < line.size();) {
      uint32_t cp;
      i += (size_t)utf8Decode(line.c_str() + i, &cp);
      row += (char32_t)cp;
    }
    screens.back().push_back(row);
  }
  return screens;
}

// F1 over a dialog full of text: the help box replaces only the cells inside
// its frame; beside and below it the shadow keeps every character.
TEST(ModalLoop, HelpBoxHidesOnlyItsOwnCells) {
  std::vector<DialogItem> items;
  for (int y = 0; y < 12; y++) items.push_back(makeItem(DI_TEXT, 0, y, 0, y, std::string(44, 'a' + y).c_str()));
  items.push_back(makeItem(DI_BUTTON, 2, 11, 0, 11, "Ok"));
  std::vector<int> keys = keysOf("F1 Enter Esc");
  ASSERT_TRUE(sessionOpenScripted(50, 14, keys.data(), (int)keys.size()));
  char *dumps = nullptr;
  size_t dumpsSize = 0;
  FILE *out = open_memstream(&dumps, &dumpsSize);
  sessionSetDumpFile(out);
  EXPECT_EQ(dialogRun(items.data(), (int)items.size(), -1, -1, 44, 12, "Topic"), -1);
  sessionSetDumpFile(nullptr);
  fclose(out);
  std::vector<std::vector<std::u32string>> screens = screensOf(std::string(dumps, dumpsSize));
  free(dumps);
  sessionClose();
  ASSERT_GE(screens.size(), 2u);
  const std::vector<std::u32string> &before = screens[0], &help = screens[1];
  int x1 = -1, y1 = -1, x2 = -1, y2 = -1;
  for (int y = 0; y < (int)help.size(); y++) {
    size_t tl = help[y].find(U'\u2554'), br = help[y].find(U'\u255D');
    if (tl != std::u32string::npos) x1 = (int)tl, y1 = y;
    if (br != std::u32string::npos) x2 = (int)br, y2 = y;
  }
  ASSERT_GE(x1, 0) << "no help box";
  ASSERT_GE(x2, x1);
  EXPECT_NE(help[y1 + 1].find(U"Help topic: Topic"), std::u32string::npos);
  for (int y = 0; y < 14; y++)
    for (int x = 0; x < 50; x++) {
      char32_t was = x < (int)before[y].size() ? before[y][x] : U' ';
      char32_t now = y < (int)help.size() && x < (int)help[y].size() ? help[y][x] : U' ';
      bool inside = x >= x1 && x <= x2 && y >= y1 && y <= y2;
      if (!inside) {
        EXPECT_EQ(now, was) << "cell " << x << "," << y << " outside the help box";
      }
    }
}

}  // namespace
