// Item lines: keyword lookup, flag lists, the interpretation of whole lines
// into items (compared through one canonical dump per item), and texts read
// from seeded registry values.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "dialog/dialog_internal.h"
#include "tests/dialog/item_dump.h"
#include "tests/dialog/recording_host.h"

namespace {

constexpr int kModule = 5;

// The POSIX registry store of this program: a file of its own, set before
// the first registry call (Windows uses its registry and ignores it).
const bool kRegistryFile = [] {
  static char where[] = "TESSEL_REGISTRY=item_test_registry.sqlite3";
  remove("item_test_registry.sqlite3");
  return putenv(where) == 0;
}();

// An enum table whose positions and values differ, with one name twice.
struct EnumEntry {
  const char *name;
  int32_t value;
};
const EnumEntry kEnums[] = {
    {"MTitle", 0}, {"MName", 1}, {"MOk", 2}, {"eName", 10}, {"eOk", 11}, {"eOk", 20},
};

void fillEnums() {
  tsClearEnums();
  for (const EnumEntry &e : kEnums) {
    enumNames[enumCount] = strdup(e.name);
    enumValues[enumCount] = e.value;
    enumCount++;
  }
}

// One item line, the language mode it is read in, and what it must give.
struct LineRow {
  const char *line;
  int lngMode;
  int32_t id;
  const char *dump;
};

class ItemLines : public ::testing::Test {
 protected:
  void SetUp() override {
    host.init(3);
    fillEnums();
  }
  void TearDown() override { tsClearEnums(); }

  // Parses a line; on result 2 returns the item's dump and writes its
  // identifier, releasing the owned string afterwards.
  std::string parse(const char *line, int lngMode, int *result, int32_t *id) {
    DialogItem item;
    memset(&item, 0xAB, sizeof item);
    char *string = nullptr;
    *id = -99;
    *result = ParseItemLine(lngMode, kModule, &item, id, &string, line);
    std::string dump = *result == 2 ? dumpItem(item, string) : std::string("not an item");
    free(string);
    return dump;
  }

  // Every row must be an item line with the identifier and dump given.
  void runLines(const LineRow *rows, size_t n) {
    for (size_t i = 0; i < n; i++) {
      const LineRow &r = rows[i];
      SCOPED_TRACE(std::string("mode ") + std::to_string(r.lngMode) + ": " + r.line);
      int result;
      int32_t id;
      std::string dump = parse(r.line, r.lngMode, &result, &id);
      EXPECT_EQ(result, 2);
      EXPECT_EQ(dump, r.dump);
      EXPECT_EQ(id, r.id);
    }
  }

  RecordingHost host;
};

// ---- keyword lookup --------------------------------------------------------

TEST(Keywords, NamesThenNumbers) {
  static const char *const kTable[] = {"A", "B", "A", "C"};
  struct Row {
    const char *text;
    int count;
    int expected;
  };
  static const Row rows[] = {
      // names: case-sensitive, the last one in table order wins, count bounds the search
      {"A", 4, 2},
      {"C", 4, 3},
      {"C", 3, -1},
      {"a", 4, -1},
      // the numeric fallback, also beyond the table
      {"0", 4, 0},
      {"00", 4, 0},
      {"7", 4, 7},
      {" 12", 4, 12},
      {"3x", 4, 3},
      {"-5", 4, -5},
      {"-1", 4, -1},
      {"x3", 4, -1},
      {"-0", 4, -1},
      {"", 4, -1},
      // huge numbers saturate
      {"99999999999", 4, INT32_MAX},
      {"-99999999999", 4, INT32_MIN},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(std::string("'") + r.text + "' among " + std::to_string(r.count));
    EXPECT_EQ(FindKeyword(kTable, r.text, r.count), r.expected);
  }
  EXPECT_EQ(FindKeyword(kTable, nullptr, 4), -1);
}

TEST(Keywords, ValuesByPosition) {
  static const char *const kTable[] = {"A", "B", "A"};
  static const int32_t kValues[] = {10, 20, 30};
  EXPECT_EQ(FindKeywordValue(kTable, kValues, "A", 3), 30);
  EXPECT_EQ(FindKeywordValue(kTable, kValues, "B", 3), 20);
  EXPECT_EQ(FindKeywordValue(kTable, kValues, "5", 3), 5);
  EXPECT_EQ(FindKeywordValue(kTable, kValues, "Z", 3), -1);
  EXPECT_EQ(FindKeywordValue(nullptr, nullptr, "A", 0), -1);  // an empty enum table
}

// ---- flag lists --------------------------------------------------------------

TEST(Flags, Lists) {
  struct Row {
    const char *text;
    uint32_t flags;
  };
  static const Row rows[] = {
      // names, colours and background colours, in any combination
      {"(DIF_BOXCOLOR+YELLOW+BK_BLUE)", 0x31E},
      {"DIF_GROUP", 0x400},
      {"(DIF_HISTORY DIF_GROUP)", 0x40400},
      {"((+DIF_EDITOR++))", 0x20000},
      {"BK_WHITE", 0x1F0},
      {"DIF_COLORMASK+DIF_SETCOLOR", 0x1FF},
      {"UNKNOWN+DIF_SETCOLOR", 0x100},
      {"dif_group", 0},  // names are upper case; the item line upper-cases its field
      // empty lists
      {"", 0},
      {"()", 0},
      // numbers are flag positions
      {"0", 0xFF},
      {"3", 0x400},
      {"24", 0x80000000u},
      {"25", 0x1},
      // negative and huge positions: the shift is taken modulo 32, never negative
      {"-7", 0x1},
      {"-8", 0x80000000u},
      {"-30", 0x200},
      {"-2147483648", 0x80},
      {"99999999999", 0x40},
      {"-1", 0},  // reads as "none": ignored
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.text);
    char text[64];
    snprintf(text, sizeof text, "%s", r.text);
    EXPECT_EQ(ParseFlags(text), r.flags);
  }
  EXPECT_EQ(ParseFlags(nullptr), 0u);
}

// ---- whole item lines ------------------------------------------------------------

#define RUN_LINES(rows) runLines(rows, sizeof rows / sizeof rows[0])

TEST_F(ItemLines, DescribedExamples) {
  static const LineRow rows[] = {
      {"DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle", 0, 0, "3 3,1,40,8 focus 0 sel 0 flags 0xff default 0 'msg 5:0'"},
      {"TEXT 0 5 2 0 2 F 0 0 F \"File name:\"", 0, 0, "0 5,2,0,2 focus 0 sel 0 flags 0xff default 0 'File name:'"},
      {"CHECKBOX eCase 5 5 0 5 F 1 (DIF_GROUP) F %L% MCase", 0, -1, "8 5,5,0,5 focus 0 sel 1 flags 0x400 default 0 ''"},
      {"EDIT eName 5 3 30 3 T \"NameHistory\" DIF_HISTORY F %R% %HKCU% \"Settings\\NoSuchValue\" none", 0, 10,
       "4 5,3,30,3 focus 1 sel str\"NameHistory\" flags 0x40000 default 0 'none'"},
      {"BUTTON eOk 0 7 0 7 F 0 (DIF_CENTERGROUP) T %L% MOk", 0, 20,
       "7 0,7,0,7 focus 0 sel 0 flags 0x4000 default 1 'msg 5:2'"},
  };
  RUN_LINES(rows);
}

TEST_F(ItemLines, TypesAndCoordinates) {
  static const LineRow rows[] = {
      // the type in any case, or as a number (also past the table)
      {"edit 1 10 5 20 5 F 0 () F", 0, 1, "4 10,5,20,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"4 1 10 5 20 5 F 0 () F", 0, 1, "4 10,5,20,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"10 1 10 5 20 5 F 0 () F", 0, 1, "10 10,5,20,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      // a right column less than the left one is a width for boxes and edit fields
      {"EDIT 1 10 5 5 5 F 0 () F", 0, 1, "4 10,5,15,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"EDIT 1 10 5 10 5 F 0 () F", 0, 1, "4 10,5,10,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"FIXEDIT 1 10 5 3 5 F 0 () F", 0, 1, "6 10,5,13,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 10 5 5 5 F 0 () F", 0, 1, "0 10,5,5,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"BUTTON 1 10 5 5 5 F 0 () F", 0, 1, "7 10,5,5,5 focus 0 sel 0 flags 0x0 default 0 ''"},
      // a bottom row less than the top one is a height for boxes only
      {"DOUBLEBOX 1 1 6 9 4 F 0 () F", 0, 1, "3 1,6,9,10 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"EDIT 1 1 6 9 4 F 0 () F", 0, 1, "4 1,6,9,4 focus 0 sel 0 flags 0x0 default 0 ''"},
      // numbers beyond 32 bits saturate, and so do the width and height sums
      {"EDIT 99999999999 99999999999 1 5 1 F 0 () F", 0, INT32_MAX,
       "4 2147483647,1,2147483647,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"DOUBLEBOX -99999999999 1 2147483647 2 2147483646 F 0 () F", 0, INT32_MIN,
       "3 1,2147483647,2,2147483647 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 00000000000000000000000000000012 1 2 3 4 F 0 () F", 0, 12,
       "0 1,2,3,4 focus 0 sel 0 flags 0x0 default 0 ''"},
      // identifiers: enum values (the later of two equal names), numbers, unknown names
      {"TEXT eName 1 1 1 1 F 0 () F", 0, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT eOk 1 1 1 1 F 0 () F", 0, 20, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT -7 1 1 1 1 F 0 () F", 0, -7, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT ename 1 1 1 1 F 0 () F", 0, -1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      // focus and default button: T, t or 1
      {"BUTTON 1 1 1 1 1 t 0 () 1", 0, 1, "7 1,1,1,1 focus 1 sel 0 flags 0x0 default 1 ''"},
      {"BUTTON 1 1 1 1 1 1 0 () t", 0, 1, "7 1,1,1,1 focus 1 sel 0 flags 0x0 default 1 ''"},
      {"BUTTON 1 1 1 1 1 x 0 () Y", 0, 1, "7 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
  };
  RUN_LINES(rows);
}

TEST_F(ItemLines, SelectedColumn) {
  static const LineRow rows[] = {
      // truth values
      {"CHECKBOX 1 1 1 1 1 F t () F", 0, 1, "8 1,1,1,1 focus 0 sel 1 flags 0x0 default 0 ''"},
      {"CHECKBOX 1 1 1 1 1 F f () F", 0, 1, "8 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"CHECKBOX 1 1 1 1 1 F 0 () F", 0, 1, "8 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      // quoted texts are owned copies; two quotes give an empty one, not null
      {"EDIT 1 1 1 1 1 F \"\" () F", 0, 1, "4 1,1,1,1 focus 0 sel str\"\" flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F \"His tory\" () F", 0, 1, "4 1,1,1,1 focus 0 sel str\"His tory\" flags 0x0 default 0 ''"},
      // names and numbers give host messages: by position in mode 0, message 1 otherwise
      {"EDIT 1 1 1 1 1 F eName () F", 0, 1, "4 1,1,1,1 focus 0 sel host\"msg 5:3\" flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F eOk () F", 0, 1, "4 1,1,1,1 focus 0 sel host\"msg 5:5\" flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F 00 () F", 0, 1, "4 1,1,1,1 focus 0 sel host\"msg 5:0\" flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F 7 () F", 0, 1, "4 1,1,1,1 focus 0 sel host\"msg 5:7\" flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F eName () F", 1, 1, "4 1,1,1,1 focus 0 sel host\"msg 5:1\" flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F eName () F", 9, 1, "4 1,1,1,1 focus 0 sel host\"msg 5:1\" flags 0x0 default 0 ''"},
      // anything else is 0
      {"EDIT 1 1 1 1 1 F unknown () F", 0, 1, "4 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"EDIT 1 1 1 1 1 F TT () F", 0, 1, "4 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
  };
  RUN_LINES(rows);
}

TEST_F(ItemLines, FlagsColumn) {
  // The field is upper-cased before its words are looked up.
  static const LineRow rows[] = {
      {"TEXT 1 1 1 1 1 F 0 (dif_group) F", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x400 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 dif_history F", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x40000 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 (lightred+bk_green) F", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x12c default 0 ''"},
  };
  RUN_LINES(rows);
}

TEST_F(ItemLines, TextSources) {
  static const LineRow rows[] = {
      // literal text, the default source; a text beginning with null in any case is empty
      {"TEXT 1 1 1 1 1 F 0 () F", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 () F Hello", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'Hello'"},
      {"TEXT 1 1 1 1 1 F 0 () F %T% \"Two words\"", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'Two words'"},
      {"TEXT 1 1 1 1 1 F 0 () F %t% \"Null value\"", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 () F %T% nULLs", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 () F %T% \"open end", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'open end'"},
      {"TEXT 1 1 1 1 1 F 0 () F %T% nul", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'nul'"},
      {"TEXT 1 1 1 1 1 F 0 () F %TXT% %HKLM% a_b\\c", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'a_b\\c'"},
      // the version
      {"TEXT 1 1 1 1 1 F 0 () F %V%", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ' 1.00 '"},
      {"TEXT 1 1 1 1 1 F 0 () F %version% ignored", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ' 1.00 '"},
      // unknown and empty sources give an empty text
      {"TEXT 1 1 1 1 1 F 0 () F %X% abc", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 () F %% abc", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      // localised texts: the message of the name's position, or what the file wrote
      {"TEXT eName 1 1 1 1 F 0 () F %L% MOk", 0, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'msg 5:2'"},
      {"TEXT eName 1 1 1 1 F 0 () F %Lang% eOk", 0, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'msg 5:5'"},
      {"TEXT eName 1 1 1 1 F 0 () F %L% 12", 0, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'msg 5:12'"},
      {"TEXT eName 1 1 1 1 F 0 () F %L% MOk", 1, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'MOk'"},
      {"TEXT eName 1 1 1 1 F 0 () F %L% MOk", 2, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'eName'"},
      {"TEXT eName 1 1 1 1 F 0 () F %L% MOk", 7, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'msg 5:2'"},
      {"TEXT eName 1 1 1 1 F 0 () F %L% Missing", 0, 10, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      // registry texts that cannot be read fall back to the last field; NULL (that case only) is empty
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% \"No\\Such\\Value\" fallback", 0, 1,
       "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'fallback'"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% NoValue null", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'null'"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% NoValue NULL", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% NoValue", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% NoValue Fallback", 0, 1, "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'Fallback'"},
  };
  RUN_LINES(rows);
}

TEST_F(ItemLines, NotItemLines) {
  static const char *const lines[] = {
      "",
      "; a comment",
      " EDIT 1 10 5 20 5 F 0 () F",  // the type must start in the first column
      "\tEDIT 1 10 5 20 5 F 0 () F",
      "FOO 1 10 5 20 5 F 0 () F",    // neither keyword nor number
      "-1 1 10 5 20 5 F 0 () F",     // reads as "none"
      "EDIT 1 10 5 20 5 F 0 ()",     // the default-button column is missing
      "EDIT 1 10 -5 20 5 F 0 () F",  // coordinates have no sign
      "EDIT 1 10 5 x 5 F 0 () F",
      "name \"Config\"",
      "help Topic",
  };
  for (const char *line : lines) {
    SCOPED_TRACE(line);
    DialogItem item, before;
    memset(&item, 0xAB, sizeof item);
    before = item;
    int32_t id = -99;
    char *string = (char *)&before;  // a sentinel: must stay as it is
    EXPECT_EQ(ParseItemLine(0, kModule, &item, &id, &string, line), 1);
    EXPECT_EQ(memcmp(&item, &before, sizeof item), 0);
    EXPECT_EQ(id, -99);
    EXPECT_EQ(string, (char *)&before);
  }
  DialogItem item;
  int32_t id;
  char *string = nullptr;
  EXPECT_EQ(ParseItemLine(0, kModule, &item, &id, &string, nullptr), 1);
}

TEST_F(ItemLines, HostileLines) {
  // An identifier of 182 characters leaves room for nothing but the opening
  // quote of the selected text: it is dropped, and the copy is empty.
  const std::string cut = "EDIT " + std::string(182, 'a') + " 1 1 1 1 F \"History\" (DIF_HISTORY) T %T% text";
  // A text far longer than the token room is cut to what the room holds
  // after the fields before it.
  const std::string longText = "TEXT 1 1 1 1 1 F 0 () F %T% " + std::string(5000, 'x');
  const size_t before = strlen("TEXT 1 1 1 1 1 F 0  F T HKCU ");
  const std::string longDump =
      "0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 '" + std::string(TS_TOKEN_ROOM - 1 - before, 'x') + "'";
  const LineRow rows[] = {
      {cut.c_str(), 0, -1, "4 1,1,1,1 focus 0 sel str\"\" flags 0x0 default 0 ''"},
      {longText.c_str(), 0, 1, longDump.c_str()},
  };
  RUN_LINES(rows);
  // The whole rest of data is zero, whatever the record held before.
  DialogItem item;
  memset(&item, 0xAB, sizeof item);
  int32_t id;
  char *string = nullptr;
  ASSERT_EQ(ParseItemLine(0, kModule, &item, &id, &string, "TEXT 1 1 1 1 1 F 0 () F %T% ab"), 2);
  for (size_t i = 3; i < sizeof item.data; i++) ASSERT_EQ(item.data[i], 0) << "data[" << i << "]";
}

TEST_F(ItemLines, FailedCopyOfSelectedText) {
  void *(*saved)(size_t) = tsAllocate;
  tsAllocate = [](size_t) -> void * { return nullptr; };
  DialogItem item;
  int32_t id;
  char *string = (char *)&item;
  int result = ParseItemLine(0, kModule, &item, &id, &string, "EDIT 1 1 1 1 1 F \"History\" () F %T% x");
  tsAllocate = saved;
  EXPECT_EQ(result, 2);
  EXPECT_EQ(item.selected, 0);
  EXPECT_EQ(string, nullptr);
  EXPECT_STREQ(item.data, "x");
}

TEST(ItemLinesBeforeInit, HostTextsAreMissing) {
  ASSERT_EQ(tsInitialised, 0);
  fillEnums();
  DialogItem item;
  int32_t id;
  char *string = nullptr;
  ASSERT_EQ(ParseItemLine(0, kModule, &item, &id, &string, "EDIT 1 1 1 1 1 F eName () F %L% MOk"), 2);
  EXPECT_EQ(item.selected, 0);
  EXPECT_STREQ(item.data, "");
  // Without a root key registry texts fall back.
  ASSERT_EQ(ParseItemLine(0, kModule, &item, &id, &string, "TEXT 1 1 1 1 1 F 0 () F %R% Value back"), 2);
  EXPECT_STREQ(item.data, "back");
  tsClearEnums();
}

// ---- registry texts ----------------------------------------------------------------

const char kRootKey[] = "Software\\Tessel\\ItemTest";

// Seeds the values the registry tests read, once; false when the store cannot
// be written (the store of this platform is not there yet).
bool seedRegistry() {
  static int state = -1;
  if (state >= 0) return state == 1;
  state = 0;
  (void)kRegistryFile;
  plRegDeleteTree(PL_HKEY_CURRENT_USER, kRootKey);
  plRegDeleteTree(PL_HKEY_LOCAL_MACHINE, kRootKey);
  HKEY user = nullptr, machine = nullptr, top = nullptr;
  if (plRegCreateKey(PL_HKEY_CURRENT_USER, "Software\\Tessel\\ItemTest\\Settings", &user) != 0) return false;
  if (plRegCreateKey(PL_HKEY_LOCAL_MACHINE, "Software\\Tessel\\ItemTest\\Machine", &machine) != 0 ||
      plRegCreateKey(PL_HKEY_CURRENT_USER, kRootKey, &top) != 0) {
    if (machine) plRegCloseKey(machine);
    plRegCloseKey(user);
    return false;
  }
  auto text = [](HKEY key, const char *name, const std::string &value) {
    return plRegSetValue(key, name, PL_REG_SZ, value.c_str(), (uint32_t)value.size() + 1) == 0;
  };
  auto number = [](HKEY key, const char *name, uint32_t value) {
    unsigned char bytes[4] = {(unsigned char)value, (unsigned char)(value >> 8), (unsigned char)(value >> 16),
                              (unsigned char)(value >> 24)};
    return plRegSetValue(key, name, PL_REG_DWORD, bytes, 4) == 0;
  };
  bool ok = text(user, "Name", "Alice Smith") && number(user, "Count", 42) && number(user, "Negative", (uint32_t)-7) &&
            text(user, "Word", "NULL") && text(user, "Long", std::string(600, 'y')) &&
            text(user, "Wide", std::string(300, 'w')) && plRegSetValue(user, "Raw", PL_REG_BINARY, "abcde", 5) == 0 &&
            text(machine, "Path", "C:\\x") && number(machine, "Mode", 2) && text(top, "Top", "at the root");
  plRegCloseKey(user);
  plRegCloseKey(machine);
  plRegCloseKey(top);
  state = ok ? 1 : 0;
  return ok;
}

#define REQUIRE_REGISTRY() \
  if (!seedRegistry()) GTEST_SKIP() << "the registry store of this platform cannot be written yet"

TEST(RegistryTexts, ReadRegText) {
  REQUIRE_REGISTRY();
  struct Row {
    HKEY root;
    const char *valuePath;
    int outSize;
    int ok;
    const char *text;
  };
  const Row rows[] = {
      {PL_HKEY_CURRENT_USER, "Settings\\Name", 200, 1, "Alice Smith"},
      {PL_HKEY_CURRENT_USER, "settings\\Name", 200, 1, "Alice Smith"},  // key paths ignore case
      {PL_HKEY_CURRENT_USER, "Settings\\Name", 6, 1, "Alice"},
      {PL_HKEY_CURRENT_USER, "Settings\\Count", 200, 1, "42"},
      {PL_HKEY_CURRENT_USER, "Settings\\Negative", 200, 1, "-7"},
      {PL_HKEY_CURRENT_USER, "Settings\\Count", 3, 1, "*"},  // too small for a number: its bytes
      {PL_HKEY_CURRENT_USER, "Settings\\Raw", 200, 1, "abcde"},
      {PL_HKEY_CURRENT_USER, "Settings\\Wide", 200, 1, nullptr},  // cut to 199 characters
      {PL_HKEY_CURRENT_USER, "Top", 200, 1, "at the root"},       // a value of the root key itself
      {PL_HKEY_LOCAL_MACHINE, "Machine\\Path", 200, 1, "C:\\x"},  // read access suffices
      {PL_HKEY_LOCAL_MACHINE, "Machine\\Mode", 200, 1, "2"},
      {PL_HKEY_CURRENT_USER, "Settings\\Long", 200, 0, ""},  // longer than 512 bytes
      {PL_HKEY_CURRENT_USER, "Settings\\Missing", 200, 0, ""},
      {PL_HKEY_CURRENT_USER, "Missing\\Name", 200, 0, ""},
      {PL_HKEY_LOCAL_MACHINE, "Settings\\Name", 200, 0, ""},  // the other root
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(std::string(r.valuePath) + " room " + std::to_string(r.outSize));
    char out[512];
    memset(out, '?', sizeof out);
    int result = ReadRegText(r.root, kRootKey, r.valuePath, out, r.outSize);
    if (!r.ok) {
      EXPECT_NE(result, 0);
      continue;
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(std::string(out), r.text ? std::string(r.text) : std::string(199, 'w'));
  }
  EXPECT_EQ(ReadRegText(PL_HKEY_CURRENT_USER, kRootKey, "Settings\\Name", nullptr, 200), 0);
}

TEST(RegistryTexts, ItemLinesReadThem) {
  REQUIRE_REGISTRY();
  RecordingHost host;
  host.rootKey = kRootKey;
  host.init(3);
  struct Row {
    const char *line;
    const char *data;
  };
  static const Row rows[] = {
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% \"Settings\\Name\" fallback", "Alice Smith"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% \"Settings\\Count\"", "42"},
      {"TEXT 1 1 1 1 1 F 0 () F %REG% %HKLM% \"Machine\\Path\" fallback", "C:\\x"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKU% \"Machine\\Mode\" fallback", "2"},       // any root but HKCU is HKLM
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% \"Settings\\Word\" fallback", "NULL"},  // read: used unchanged
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKCU% \"Settings\\Long\" fallback", "fallback"},
      {"TEXT 1 1 1 1 1 F 0 () F %R% %HKLM% \"Settings\\Name\" fallback", "fallback"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.line);
    DialogItem item;
    int32_t id;
    char *string = nullptr;
    ASSERT_EQ(ParseItemLine(0, kModule, &item, &id, &string, r.line), 2);
    EXPECT_STREQ(item.data, r.data);
  }
}

}  // namespace
