// Drawing: dialogs built from item records in the test, message boxes and
// menus, read back from the screen model as text and as cell colours.
#include <gtest/gtest.h>

#include <vector>

#include "host/draw.h"
#include "host/hotkey.h"
#include "host/menu.h"
#include "host/msgbox.h"
#include "host_test_util.h"
#include "platform/platform.h"

namespace {

TEST(Draw, HotKeyMarks) {
  struct Row {
    const char *text;
    int showAmpersand;
    const char *visible;
    int hot;
  };
  const Row rows[] = {
      {"&Ok", 0, "Ok", 0},    {"Sa&ve as", 0, "Save as", 2}, {"R&&D", 0, "R&D", -1}, {"&a&b", 0, "ab", 0},
      {"end&", 0, "end", -1}, {"R&D", 1, "R&D", -1},         {"", 0, "", -1},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.text);
    char visible[32];
    EXPECT_EQ(hotSplit(row.text, 32, row.showAmpersand, visible, sizeof visible), row.hot);
    EXPECT_STREQ(visible, row.visible);
  }
  char small[3];
  EXPECT_EQ(hotSplit("abcdef", 6, 0, small, sizeof small), -1);
  EXPECT_STREQ(small, "ab") << "cut to the room, terminated";
  EXPECT_EQ(hotKeyOf("Sa&Ve", 5, 0), 'v') << "folded to lower case";
}

TEST(Draw, EveryItemType) {
  std::vector<DialogItem> items = {
      makeItem(DI_DOUBLEBOX, 3, 1, 40, 11, "&Title"),
      makeItem(DI_TEXT, 5, 2, 0, 2, "&Label:"),
      makeItem(DI_EDIT, 13, 2, 26, 2, "edit text", DIF_HISTORY),
      makeItem(DI_PSWEDIT, 13, 3, 20, 3, "abc"),
      makeItem(DI_FIXEDIT, 13, 4, 16, 4, "12"),
      makeItem(DI_CHECKBOX, 5, 5, 0, 5, "&Check", 0, 1),
      makeItem(DI_CHECKBOX, 20, 5, 0, 5, "Clear"),
      makeItem(DI_RADIOBUTTON, 5, 6, 0, 6, "One", DIF_GROUP, 1),
      makeItem(DI_RADIOBUTTON, 5, 7, 0, 7, "Two"),
      makeItem(DI_VTEXT, 36, 2, 0, 4, "VT!"),
      makeItem(DI_SINGLEBOX, 20, 6, 34, 9, "Left", DIF_LEFTTEXT),
      makeItem(DI_TEXT, 22, 7, 0, 7, "inside"),
      makeItem(DI_BUTTON, 5, 10, 0, 10, "&Ok", 0, 0, 0, 1),
      makeItem(DI_BUTTON, 13, 10, 0, 10, "Cancel"),
      makeItem(DI_BUTTON, 25, 10, 0, 10, "<Raw>", DIF_NOBRACKETS),
  };
  EXPECT_EQ(drawDialog(items, 44, 13), R"(
     ╔══════════════ Title ═══════════════╗
     ║ Label:  edit text·····↓        V   ║
     ║         ***·····               T   ║
     ║         12··                   !   ║
     ║ [x] Check      [ ] Clear           ║
     ║ (•) One        ┌─ Left ──────┐     ║
     ║ ( ) Two        │ inside      │     ║
     ║                │             │     ║
     ║                └─────────────┘     ║
     ║ { Ok }  [ Cancel ]  <Raw>          ║
     ╚════════════════════════════════════╝
)");
}

TEST(Draw, SeparatorsJoinTheFrameUnderTheirEnds) {
  std::vector<DialogItem> items = {
      makeItem(DI_DOUBLEBOX, 3, 1, 26, 5, "Double"),
      makeItem(DI_TEXT, 0, 2, 0, 2, "", DIF_SEPARATOR),
      makeItem(DI_TEXT, 0, 3, 0, 3, "Mid&dle", DIF_SEPARATOR),
      makeItem(DI_SINGLEBOX, 3, 6, 26, 8, "Single"),
      makeItem(DI_TEXT, 0, 7, 0, 7, "a text much too long for the line", DIF_SEPARATOR),
      makeItem(DI_TEXT, 0, 9, 0, 9, "", DIF_SEPARATOR),
  };
  EXPECT_EQ(drawDialog(items, 30, 11), R"(
     ╔═══════ Double ═══════╗
     ╟──────────────────────╢
     ╟─────── Middle ───────╢
     ║                      ║
     ╚══════════════════════╝
     ┌─────── Single ───────┐
     ├ a text much too long ┤
     └──────────────────────┘
     ────────────────────────
)");
}

TEST(Draw, CentredGroupsIgnoreTheirLeftColumns) {
  std::vector<DialogItem> items = {
      makeItem(DI_BUTTON, 1, 1, 0, 1, "&Yes", DIF_CENTERGROUP, 0, 0, 1),
      makeItem(DI_BUTTON, 30, 1, 0, 1, "No", DIF_CENTERGROUP),
      makeItem(DI_BUTTON, 2, 1, 0, 1, "Bare", DIF_CENTERGROUP | DIF_NOBRACKETS),
      makeItem(DI_CHECKBOX, 9, 2, 0, 2, "Alone", DIF_CENTERGROUP),
      makeItem(DI_TEXT, 1, 3, 0, 3, "Not centred"),
      makeItem(DI_TEXT, 0, 4, 0, 4, "Text too", DIF_CENTERGROUP),
      makeItem(DI_RADIOBUTTON, 0, 4, 0, 4, "radio", DIF_CENTERGROUP),
  };
  EXPECT_EQ(drawDialog(items, 36, 6), R"(
          { Yes } [ No ] Bare
               [ ] Alone
   Not centred
           Text too ( ) radio
)");
}

TEST(Draw, AmpersandsAndEditScrolling) {
  std::vector<DialogItem> items = {
      makeItem(DI_TEXT, 2, 1, 0, 1, "Fish && &Chips"),
      makeItem(DI_TEXT, 2, 2, 0, 2, "Fish && &Chips", DIF_SHOWAMPERSAND),
      makeItem(DI_BUTTON, 2, 3, 0, 3, "&Save as", DIF_SHOWAMPERSAND),
      // focused: the end of its text is in view
      makeItem(DI_EDIT, 2, 4, 9, 4, "0123456789abcdef", 0, 0, 1),
      // not focused: its start
      makeItem(DI_EDIT, 2, 5, 9, 5, "0123456789abcdef"),
  };
  EXPECT_EQ(drawDialog(items, 24, 7), R"(
    Fish & Chips
    Fish && &Chips
    [ &Save as ]
    9abcdef·
    01234567
)");
}

// The paint of the cell at x, y of a screen.
int colourAt(const Screen *s, int x, int y) { return screenCellAt(s, x, y)->paint.colour; }

TEST(Draw, ColoursOfTheHostsConventions) {
  std::vector<DialogItem> items = {
      makeItem(DI_TEXT, 2, 1, 0, 1, "&Hot"),
      makeItem(DI_EDIT, 2, 2, 6, 2, "ed", DIF_HISTORY),
      makeItem(DI_BUTTON, 2, 3, 0, 3, "&Go", 0, 0, 1),
      makeItem(DI_BUTTON, 10, 3, 0, 3, "Stay"),
      makeItem(DI_TEXT, 2, 4, 0, 4, "Own", DIF_SETCOLOR | 0x1E),
      makeItem(DI_TEXT, 8, 4, 0, 4, "&Box", DIF_BOXCOLOR),
      makeItem(DI_TEXT, 14, 4, 0, 4, "&Yel", DIF_SETCOLOR | 0x4E),
  };
  TestScreen t(30, 8);
  DialogView view;
  dialogOpen(&view, items.data(), (int)items.size(), -1, -1, 20, 6, 30, 8);
  dialogDraw(&view, &t.screen);
  const Screen *s = &t.screen;
  // the dialog stands at 5, 1
  struct Row {
    int x, y, colour;
    const char *what;
  } rows[] = {
      {5, 1, 0x70, "the panel: black on light grey"},
      {7, 2, 0x7E, "a hot-key letter: yellow"},
      {8, 2, 0x70, "the rest of the text"},
      {7, 3, 0x30, "an edit field: black on cyan"},
      {12, 3, 0x70, "the history arrow after it"},
      {7, 4, 0x30, "the focused button: black on cyan"},
      {9, 4, 0x3E, "its hot key"},
      {15, 4, 0x70, "a button without the focus"},
      {7, 5, 0x1E, "DIF_SETCOLOR: the item's own colour byte"},
      {13, 5, 0x7E, "DIF_BOXCOLOR keeps the hot key"},
      {19, 5, 0x4F, "a hot key on a yellow text turns white"},
      {25, 2, 0x08, "the shadow right of the panel"},
      {8, 7, 0x08, "the shadow below it"},
      {6, 7, 0x07, "the screen outside"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.what);
    EXPECT_EQ(colourAt(s, row.x, row.y), row.colour);
  }
  EXPECT_EQ(screenCellAt(s, 12, 3)->ch, (uint32_t)CH_DOWN_ARROW);
  EXPECT_TRUE(s->cursorVisible == 0) << "the focus on a button hides the cursor";
}

TEST(Draw, ErrorBoxOfTheLibrary) {
  // the lines the library hands to the host's message operation
  const char *lines[] = {"Error (2)", "/plugins/missing.dlg", "\x01", "Ok", "Cancel"};
  TestScreen t(50, 10);
  plSetLastError(PL_ERROR_FILE_NOT_FOUND);  // the code the error box reports
  MsgBoxView view;
  msgBoxOpen(&view, MSG_WARNING | MSG_ERRORTYPE, lines, 5, 2, 50, 10);
  msgBoxDraw(&view, &t.screen);
  EXPECT_EQ(screenText(&t.screen), R"(

   ╔═══════════════ Error (2) ════════════════╗
   ║ The system cannot find the file specifie ║
   ║           /plugins/missing.dlg           ║
   ╟──────────────────────────────────────────╢
   ║            [ Ok ] [ Cancel ]             ║
   ╚══════════════════════════════════════════╝


)");
  EXPECT_EQ(colourAt(&t.screen, 11, 3), 0x4F) << "a warning is white on red";
  EXPECT_EQ(colourAt(&t.screen, 17, 6), 0x70) << "its focused button";
}

TEST(Draw, MessageBoxWithoutErrorTextLeftAligned) {
  const char *lines[] = {"Note", "a long first line", "short", nullptr, "&Yes", "&No"};
  TestScreen t(40, 10);
  MsgBoxView view;
  msgBoxOpen(&view, MSG_LEFTALIGN, lines, 6, 2, 40, 10);
  msgBoxDraw(&view, &t.screen);
  EXPECT_EQ(screenText(&t.screen), R"(

         ╔══════ Note ═══════╗
         ║ a long first line ║
         ║ short             ║
         ║                   ║
         ║  [ Yes ] [ No ]   ║
         ╚═══════════════════╝


)");
  EXPECT_EQ(colourAt(&t.screen, 6, 2), 0x70) << "not a warning: black on light grey";
}

TEST(Draw, MenuWithTitleMarksAndHotKeys) {
  MenuEntry entries[5];
  memset(entries, 0, sizeof entries);
  snprintf(entries[0].text, sizeof entries[0].text, "Config");
  snprintf(entries[1].text, sizeof entries[1].text, "Copy");
  entries[1].selected = 1;
  entries[1].checked = 1;
  entries[2].separator = 1;
  snprintf(entries[3].text, sizeof entries[3].text, "&About");
  snprintf(entries[4].text, sizeof entries[4].text, "a name longer than the title");
  TestScreen t(44, 10);
  static MenuView view;  // large: not on the stack
  menuOpen(&view, entries, 5, MENU_WRAPMODE | MENU_AUTOHIGHLIGHT, "Select Dialog", "Esc closes", nullptr, -1, -1, 0, 44,
           10);
  menuDraw(&view, &t.screen);
  EXPECT_EQ(screenText(&t.screen), R"(
      ╔═══════ Select Dialog ════════╗
      ║ Config                       ║
      ║√Copy                        <║
      ╟──────────────────────────────╢
      ║ About                        ║
      ║ a name longer than the title ║
      ╚═════════ Esc closes ═════════╝


)");
  // the menu stands at 6, 1: its second entry is highlighted
  EXPECT_EQ(colourAt(&t.screen, 10, 3), 0x0F) << "the marked entry: white on black";
  EXPECT_EQ(colourAt(&t.screen, 8, 2), 0x3E) << "Config's automatic hot key C";
  EXPECT_EQ(colourAt(&t.screen, 9, 2), 0x3F) << "white on cyan";
  EXPECT_EQ(colourAt(&t.screen, 9, 3), 0x0E) << "Copy gets o, drawn on the highlight";
  EXPECT_EQ(colourAt(&t.screen, 8, 5), 0x3E) << "&About keeps its A";
  EXPECT_EQ(colourAt(&t.screen, 10, 6), 0x3E) << "the long name gets the next free letter, n";
}

// A text dump carries no colours: the room of an edit field past its text
// shows as dots (an empty field would vanish otherwise; a typed blank stays
// a blank), and a menu's marked entry stands between > and <.
TEST(Draw, TextDumpShowsFieldRoomAndTheMarkedEntry) {
  std::vector<DialogItem> items = {
      makeItem(DI_EDIT, 2, 1, 7, 1, ""),       makeItem(DI_PSWEDIT, 2, 2, 5, 2, ""),
      makeItem(DI_FIXEDIT, 2, 3, 4, 3, "a b"), makeItem(DI_EDIT, 10, 3, 13, 3, " "),
      makeItem(DI_TEXT, 2, 4, 0, 4, "after"),
  };
  EXPECT_EQ(drawDialog(items, 20, 6), "\n    ······\n    ····\n    a b      ···\n    after\n");

  MenuEntry entries[2];
  memset(entries, 0, sizeof entries);
  snprintf(entries[0].text, sizeof entries[0].text, "One");
  snprintf(entries[1].text, sizeof entries[1].text, "Two");
  entries[1].selected = 1;
  TestScreen t(12, 5);
  static MenuView view;
  menuOpen(&view, entries, 2, 0, nullptr, nullptr, nullptr, 0, 0, 0, 12, 5);
  menuDraw(&view, &t.screen);
  EXPECT_EQ(screenText(&t.screen), "╔═════╗\n║ One ║\n║>Two<║\n╚═════╝\n\n");
}

}  // namespace
