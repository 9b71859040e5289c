// What keys do in dialogs, menus and message boxes: focus movement, editing,
// check boxes and radio runs, hot keys, and the index each window closes
// with. Each row runs a key script against fresh records; like a session,
// Esc follows when the script runs out.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <vector>

#include "host/menu.h"
#include "host/msgbox.h"
#include "host_test_util.h"

namespace {

// A form with a label, an edit field, a check box, two radio runs and two
// buttons, the first of them the default.
std::vector<DialogItem> form() {
  return {
      makeItem(DI_TEXT, 2, 1, 0, 1, "&Name:"),
      makeItem(DI_EDIT, 9, 1, 20, 1, "abc", 0, 0, 1),
      makeItem(DI_CHECKBOX, 2, 2, 0, 2, "&Check"),
      makeItem(DI_RADIOBUTTON, 2, 3, 0, 3, "&One", DIF_GROUP, 1),
      makeItem(DI_RADIOBUTTON, 2, 4, 0, 4, "&Two"),
      makeItem(DI_RADIOBUTTON, 2, 5, 0, 5, "Th&ree", DIF_GROUP),
      makeItem(DI_BUTTON, 2, 7, 0, 7, "&Ok", 0, 0, 0, 1),
      makeItem(DI_BUTTON, 10, 7, 0, 7, "E&xit"),
  };
}

// Runs a script against a dialog; returns what closed it.
int runDialog(std::vector<DialogItem> &items, const char *script) {
  DialogView view;
  dialogOpen(&view, items.data(), (int)items.size(), -1, -1, 30, 10, 80, 25);
  for (int key : keysOf(script)) {
    int result = dialogKey(&view, key);
    if (result != MODAL_OPEN) return result;
  }
  return dialogKey(&view, TK_ESC);
}

struct DialogRow {
  const char *script;
  int result;
  const char *state;  // itemsState of the records afterwards
};

const DialogRow kFormRows[] = {
    // closing
    {"Esc", -1, "Name:\nabc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"F10", -1, "Name:\nabc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"Enter", 6, "Name:\nabc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"S-Tab Enter", 7, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit *\n"},
    {"S-Tab Space", 7, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit *\n"},
    {"Tab Enter", 6, "Name:\nabc\nCheck [off] *\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    // editing in place
    {"BS \"XY\" Home Del Enter", 6, "Name:\nbXY *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"Left Left \"-\" End \"+\" Right Space Enter", 6,
     "Name:\na-bc+  *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"Home BS Del Del Del Del \"c\" Enter", 6, "Name:\nc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"C-Y \"new\" Enter", 6, "Name:\nnew *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    // Tab stops at the chosen radio button of each run, the first when none is
    {"Tab Tab Tab", -1, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [off] *\nOk\nExit\n"},
    {"Tab Tab Down Space Tab S-Tab", -1, "Name:\nabc\nCheck [off]\nOne [off]\nTwo [on] *\nThree [off]\nOk\nExit\n"},
    {"Tab Tab Tab Tab Tab Tab", -1, "Name:\nabc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    // Space toggles, chooses, presses; one chosen button per run
    {"Tab Space Space Space", -1, "Name:\nabc\nCheck [on] *\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"Tab Tab Tab Space", -1, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [on] *\nOk\nExit\n"},
    // hot keys: Alt anywhere, the bare letter outside an edit field
    {"A-c A-t", -1, "Name:\nabc\nCheck [on]\nOne [off]\nTwo [on] *\nThree [off]\nOk\nExit\n"},
    {"Tab \"c\" \"x\"", 7, "Name:\nabc\nCheck [on]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit *\n"},
    {"\"c\" Enter", 6, "Name:\nabcc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"Tab A-n \"Z\" Enter", 6, "Name:\nabcZ *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"A-X", 7, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit *\n"},
    {"Tab \"q\" A-q", -1, "Name:\nabc\nCheck [off] *\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    // arrows: the nearest item that way; Left and Right stay on their row
    {"Down Down Down", -1, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off] *\nThree [off]\nOk\nExit\n"},
    {"S-Tab Left Up", -1, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [off] *\nOk\nExit\n"},
    {"S-Tab S-Tab Right", -1, "Name:\nabc\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit *\n"},
    {"Tab Right Left", -1, "Name:\nabc\nCheck [off] *\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
    {"Up", -1, "Name:\nabc *\nCheck [off]\nOne [on]\nTwo [off]\nThree [off]\nOk\nExit\n"},
};

TEST(DialogKeys, Form) {
  for (const DialogRow &row : kFormRows) {
    SCOPED_TRACE(row.script);
    std::vector<DialogItem> items = form();
    EXPECT_EQ(runDialog(items, row.script), row.result);
    EXPECT_EQ(itemsState(items), row.state);
  }
}

TEST(DialogKeys, FixedFieldsOvertypeWithinTheirWidth) {
  struct Row {
    const char *script;
    const char *text;
  } rows[] = {
      {"\"345\"", "1235"},
      {"Home \"9\"", "92"},
      {"Home \"abcdef\"", "abcf"},
      {"BS \"x\"", "1x"},
      {"End Right Right \"z\"", "12z"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.script);
    std::vector<DialogItem> items = {makeItem(DI_FIXEDIT, 2, 1, 5, 1, "12", 0, 0, 1)};
    runDialog(items, row.script);
    EXPECT_STREQ(items[0].data, row.text);
  }
}

TEST(DialogKeys, EditTextStopsAtTheRecordsRoom) {
  std::vector<DialogItem> items = {makeItem(DI_PSWEDIT, 2, 1, 10, 1, "", 0, 0, 1)};
  memset(items[0].data, 'a', 510);
  items[0].data[510] = 0;
  runDialog(items, "\"bc\"");
  EXPECT_EQ(strlen(items[0].data), 511u);
  EXPECT_EQ(items[0].data[510], 'b');
  // a record whose text fills all 512 bytes is cut to 511 when shown
  std::vector<DialogItem> full = {makeItem(DI_EDIT, 2, 1, 10, 1, "", 0, 0, 1)};
  memset(full[0].data, 'x', sizeof full[0].data);
  runDialog(full, "BS");
  EXPECT_EQ(strnlen(full[0].data, sizeof full[0].data), 510u);
}

TEST(DialogKeys, EditorLinesAndMoveSelect) {
  std::vector<DialogItem> memo = {
      makeItem(DI_EDIT, 2, 1, 20, 1, "first", DIF_EDITOR, 0, 1),
      makeItem(DI_EDIT, 2, 2, 20, 2, "second", DIF_EDITOR),
      makeItem(DI_BUTTON, 2, 4, 0, 4, "Ok"),
      makeItem(DI_BUTTON, 10, 4, 0, 4, "Default", 0, 0, 0, 1),
  };
  EXPECT_EQ(runDialog(memo, "Enter \"!\" Enter Enter"), 2) << "Enter moves down the editor lines";
  EXPECT_STREQ(memo[1].data, "second!");

  std::vector<DialogItem> radios = {
      makeItem(DI_CHECKBOX, 2, 1, 0, 1, "box", 0, 0, 1),
      makeItem(DI_RADIOBUTTON, 2, 2, 0, 2, "a", DIF_MOVESELECT, 1),
      makeItem(DI_RADIOBUTTON, 2, 3, 0, 3, "b", DIF_MOVESELECT),
  };
  EXPECT_EQ(runDialog(radios, "Enter"), 0) << "no default button: the focused item closes it";
  runDialog(radios, "Down Down");
  EXPECT_EQ(itemsState(radios), "box [off]\na [off]\nb [on] *\n") << "focus moving onto b chose it";
}

TEST(DialogKeys, NothingToFocus) {
  std::vector<DialogItem> items = {makeItem(DI_TEXT, 2, 1, 0, 1, "&Only text"),
                                   makeItem(DI_SINGLEBOX, 1, 0, 20, 3, "box")};
  EXPECT_EQ(runDialog(items, "Tab Down Space A-o \"x\" Enter"), -1);
  std::vector<DialogItem> none;
  EXPECT_EQ(runDialog(none, "Tab Enter"), -1);
}

// A screen smaller than the dialog: items whose first cell is off the screen
// (or under the last row, which names both sizes) take no focus, by Tab, an
// arrow, a hot key or the focus field; Esc still closes.
TEST(DialogKeys, ScreenSmallerThanTheDialog) {
  struct Row {
    int cols, rows;
    const char *script;
    int result;
    const char *state;
    const char *lastRow;
  };
  const Row rows[] = {
      // the buttons (row 7) and the far check box (column 24) lie off a 20x6 screen
      {20, 6, "", -1, "Name:\nabc *\nCheck [off]\nFar [off]\nOk\nExit\n", "20x6 < 30x10"},
      {20, 6, "Tab Tab", -1, "Name:\nabc *\nCheck [off]\nFar [off]\nOk\nExit\n", nullptr},
      {20, 6, "S-Tab Down Down Right", -1, "Name:\nabc\nCheck [off] *\nFar [off]\nOk\nExit\n", nullptr},
      {20, 6, "A-x A-f", -1, "Name:\nabc *\nCheck [off]\nFar [off]\nOk\nExit\n", nullptr},
      // the button row is the screen's last row, which the notice takes
      {40, 8, "S-Tab", -1, "Name:\nabc\nCheck [off]\nFar [off] *\nOk\nExit\n", "terminal 40x8 < dialog 30x10"},
      // one row short: the buttons stay in sight, and Ok takes the focus it asks for
      {50, 9, "", -1, "Name:\nabc\nCheck [off]\nFar [off]\nOk *\nExit\n",
       "terminal 50x9 is smaller than the dialog 30x10"},
      // the whole dialog fits: every item is reached
      {40, 12, "Tab Enter", 5, "Name:\nabc\nCheck [off]\nFar [off]\nOk\nExit *\n", ""},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(std::to_string(row.cols) + "x" + std::to_string(row.rows) + " " + row.script);
    std::vector<DialogItem> items = {
        makeItem(DI_TEXT, 2, 1, 0, 1, "&Name:"),
        makeItem(DI_EDIT, 9, 1, 16, 1, "abc"),
        makeItem(DI_CHECKBOX, 2, 2, 0, 2, "&Check"),
        makeItem(DI_CHECKBOX, 24, 2, 0, 2, "&Far"),
        makeItem(DI_BUTTON, 2, 7, 0, 7, "&Ok", 0, 0, 1, 1),  // asks for the focus
        makeItem(DI_BUTTON, 10, 7, 0, 7, "E&xit"),
    };
    DialogView view;
    dialogOpen(&view, items.data(), (int)items.size(), -1, -1, 30, 10, row.cols, row.rows);
    TestScreen t(row.cols, row.rows);
    dialogDraw(&view, &t.screen);
    std::string text = screenText(&t.screen);
    std::string last = text.substr(text.rfind('\n', text.size() - 2) + 1);
    if (row.lastRow) {
      EXPECT_EQ(last, std::string(row.lastRow) + "\n");
    }
    int result = MODAL_OPEN;
    for (int key : keysOf(row.script)) {
      if ((result = dialogKey(&view, key)) != MODAL_OPEN) break;
    }
    if (result == MODAL_OPEN) result = dialogKey(&view, TK_ESC);
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(itemsState(items), row.state);
  }
}

// ---- menus ----

struct MenuRow {
  const char *script;
  unsigned flags;
  int result;
  int breakCode;
};

TEST(MenuKeys, MovingAndChoosing) {
  MenuEntry entries[5];
  memset(entries, 0, sizeof entries);
  snprintf(entries[0].text, sizeof entries[0].text, "Copy");
  snprintf(entries[1].text, sizeof entries[1].text, "Config");
  entries[2].separator = 1;
  snprintf(entries[3].text, sizeof entries[3].text, "About");
  snprintf(entries[4].text, sizeof entries[4].text, "&Zap");
  const int breakKeys[] = {0x73 /* F4 */, 0x20058 /* Alt+X */, 0};
  const unsigned wrapAuto = MENU_WRAPMODE | MENU_AUTOHIGHLIGHT;
  const MenuRow rows[] = {
      {"Enter", 0, 0, -1},
      {"Down Down Enter", 0, 3, -1},       // the separator is skipped
      {"Up Enter", 0, 0, -1},              // no wrap: stays
      {"Up Enter", MENU_WRAPMODE, 4, -1},  // wraps to the last
      {"End Down Enter", MENU_WRAPMODE, 0, -1},
      {"End Up Up Enter", 0, 1, -1},
      {"Down Home Enter", 0, 0, -1},
      {"Esc", 0, -1, -1},
      {"F10", 0, -1, -1},
      {"A-z", 0, 4, -1},  // an explicit hot key
      {"\"z\"", 0, 4, -1},
      {"\"o\"", 0, MODAL_OPEN, -1},  // no automatic hot keys asked for
      {"\"o\"", wrapAuto, 1, -1},    // Copy took C, Config gets o
      {"A-a", wrapAuto, 3, -1},
      {"\"o\"", MENU_REVERSEAUTOHIGHLIGHT, 0, -1},  // from the end: Config took C
      {"Down F4", 0, 1, 0},                         // a break key closes on the highlight
      {"A-x", 0, 0, 1},
  };
  for (const MenuRow &row : rows) {
    SCOPED_TRACE(std::string(row.script) + " flags " + std::to_string(row.flags));
    auto view = std::make_unique<MenuView>();
    menuOpen(view.get(), entries, 5, row.flags, "T", nullptr, breakKeys, -1, -1, 0, 80, 25);
    int result = MODAL_OPEN;
    for (int key : keysOf(row.script))
      if ((result = menuKey(view.get(), key)) != MODAL_OPEN) break;
    EXPECT_EQ(result, row.result);
    EXPECT_EQ(view->breakCode, row.breakCode);
  }
}

TEST(MenuKeys, OpensOnTheMarkedEntryAndScrollsToIt) {
  std::vector<MenuEntry> entries(30);
  memset(entries.data(), 0, sizeof(MenuEntry) * entries.size());
  for (int i = 0; i < 30; i++) snprintf(entries[i].text, sizeof entries[i].text, "Dialog %d", i);
  entries[25].selected = 1;
  auto view = std::make_unique<MenuView>();
  menuOpen(view.get(), entries.data(), 30, 0, "Select Dialog", nullptr, nullptr, -1, -1, 0, 40, 12);
  EXPECT_EQ(view->current, 25);
  EXPECT_EQ(view->shown, 9) << "the rows of the screen less the frame and shadow";
  EXPECT_LE(view->first, 25);
  EXPECT_GT(view->first + view->shown, 25);
  EXPECT_EQ(menuKey(view.get(), TK_ENTER), 25);
  // only separators: nothing to choose
  MenuEntry lines[2];
  memset(lines, 0, sizeof lines);
  lines[0].separator = lines[1].separator = 1;
  menuOpen(view.get(), lines, 2, MENU_WRAPMODE, nullptr, nullptr, nullptr, -1, -1, 0, 40, 12);
  EXPECT_EQ(menuKey(view.get(), TK_DOWN), MODAL_OPEN);
  EXPECT_EQ(menuKey(view.get(), TK_ENTER), -1);
}

// ---- message boxes ----

TEST(MessageKeys, Buttons) {
  const char *lines[] = {"Title", "text", "&Retry", "Ok", "Cancel"};
  struct Row {
    const char *script;
    int result;
  } rows[] = {
      {"Enter", 0}, {"Tab Enter", 1}, {"Right Right Right Enter", 0}, {"Left Space", 2}, {"Esc", -1}, {"F10", -1},
      {"A-r", 0},   {"Tab \"r\"", 0},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.script);
    MsgBoxView view;
    msgBoxOpen(&view, 0, lines, 5, 3, 80, 25);
    int result = MODAL_OPEN;
    for (int key : keysOf(row.script))
      if ((result = msgBoxKey(&view, key)) != MODAL_OPEN) break;
    EXPECT_EQ(result, row.result);
  }
}

TEST(MessageKeys, CountsBeyondTheLinesAreCut) {
  const char *lines[] = {"Title", "Ok"};
  MsgBoxView view;
  msgBoxOpen(&view, 0, lines, 2, 5, 80, 25);
  EXPECT_EQ(view.buttonCount, 1);
  EXPECT_EQ(view.lineCount, 0);
  msgBoxOpen(&view, 0, lines, 0, 0, 80, 25);
  EXPECT_EQ(msgBoxKey(&view, TK_ENTER), -1) << "no buttons: Enter cancels";
  std::vector<const char *> many(200, "line");
  msgBoxOpen(&view, 0, many.data(), 200, 1, 80, 25);
  EXPECT_EQ(view.lineCount, MSG_MAX_LINES);
}

}  // namespace
