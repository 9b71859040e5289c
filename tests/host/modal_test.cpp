// The one modal loop every host window runs in, driven by a scripted session:
// which keys reach the window, when F1 shows the help topic instead, and that
// the screen behind the window is put back when it closes.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>

#include <string>
#include <vector>

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
  w.showsHelp = showsHelp;
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

}  // namespace
