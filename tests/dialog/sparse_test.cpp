// The pattern matcher: counts and token strings for the pattern language's
// elements and for the library's own patterns.
#include <gtest/gtest.h>

#include <string>

#include "dialog/dialog_internal.h"

namespace {

struct Row {
  const char *pattern;
  const char *source;
  int count;
  const char *tokens;  // expected token string
};

void runRows(const Row *rows, size_t n, int room = TS_TOKEN_ROOM) {
  for (size_t i = 0; i < n; i++) {
    const Row &r = rows[i];
    SCOPED_TRACE(std::string("pattern '") + r.pattern + "' on '" + r.source + "'");
    char out[512];
    memset(out, '?', sizeof out);
    EXPECT_EQ(sparse(r.source, r.pattern, out, room), r.count);
    EXPECT_STREQ(out, r.tokens);
    // The count never depends on whether output is wanted.
    EXPECT_EQ(sparse(r.source, r.pattern, nullptr, 0), r.count);
  }
}

TEST(Sparse, Conversions) {
  static const Row rows[] = {
      // base cases
      {"", "abc", 0, ""},
      {"%s", "", 0, ""},
      {"%t", "", 1, " "},
      {"%t", "all of it", 1, "all_of_it "},
      {"%c", "xyz", 1, "x "},
      {"%2c", "xyz", 1, "xy "},
      {"%5c", "xy", 1, "xy "},
      {"%c", "", 0, ""},
      {"%d", "-5", 0, ""},
      {"%d", "123x", 1, "123 "},
      {"%2d", "123", 1, "12 "},
      {"%s %s", "a  b", 2, "a b "},
      {"%2s%s", "abcd", 2, "ab cd "},
      // case modifiers
      {"%us", "Ab", 1, "AB "},
      {"%ls", "Ab", 1, "ab "},
      {"%ns", "Ab", 1, "Ab "},
      {"%us abc", "X abc", 1, "X "},
      {"%ns abc", "X ABC", 2, "X "},
      {"%ls ABC", "x abc", 1, "x "},
      {"%lx", "X", 2, ""},
      {"%ux", "x", 1, ""},
      // prefixes
      {"%*s %s", "a b", 2, "b "},
      {"%+s %s", "a b", 2, "ab "},
      {"%+s~X~ %s", " y", 2, "Xy "},
      {"%*s~X~", " y", 1, ""},
      {"%s~X~ %s", "a b", 2, "a b "},
      // "%%" and literal runs
      {"%%%s", "%x", 2, "x "},
      {"%%%s", "x", 0, ""},
      {"ab%s", "abc", 2, "c "},
      {"ab%s", "axc", 0, ""},
      {"a~Z~%s", "ab", 2, "b "},
      {"%s a~Z~", "x a", 2, "x "},
      {"%s ab~Z~", "x a", 1, "x "},
      // {...} text
      {"%{a_b z}", "anything", 1, "a\\_b_z "},
      {"%{#0650}", "", 1, "A "},
      {"%{#6}", "", 1,
       "\x06"
       "6 "},
      {"%{#-1}", "", 1, "\xff-1 "},
      {"%{#35#37}", "", 1, "#% "},
      {"%{abc", "", 1, "abc "},
      // no-op directives
      {"%l", "x", 1, ""},
      {"%5", "x", 1, ""},
      {"%l*s", "x", 1, ""},
      {"%lu", "U", 2, ""},
      // f: minimum counts
      {"%f %s %d %s", "abc x", 2, ""},
      {"%f %s %d", "abc x", 2, "abc "},
      {"%5f %s %s", "abc def", 3, ""},
      {"%3f %s %s", "abc def", 3, "abc def "},
      {"%s %f %d %s", "abc x", 2, ""},
  };
  runRows(rows, sizeof rows / sizeof *rows);
}

TEST(Sparse, Sets) {
  static const Row rows[] = {
      {"%[abc]", "abcd", 1, "abc "},
      {"%3[abc]", "abcabc", 1, "ab "},
      {"%1[abc]", "abc", 1, " "},
      {"%2[abc]", "abc", 1, "a "},
      {"%[^ ]", "ab c", 1, "ab "},
      {"%[-a]", "-a-b", 1,
       "-a-"
       " "},
      {"%[]x]", "x", 0, ""},
      {"%[^]", "x", 1, "x "},
      {"%[^]", "", 0, ""},
      {"%[#65#66]", "ABBAC", 1, "ABBA "},
      {"%[#93]", "]]x", 1, "\x5d\x5d "},
      {"%[abc]", "xyz", 0, ""},
      {"%[abc", "abx", 1, "ab "},
      {"%n[abc]", "ABx", 1, "AB "},
      {"%u[ABC]", "abx", 1, "AB "},
      {"%[abc] %s", "cab rest", 2, "cab rest "},
      {"%*[ ]x", " x", 2, ""},
  };
  runRows(rows, sizeof rows / sizeof *rows);
}

TEST(Sparse, BracketGroups) {
  static const Row rows[] = {
      {"%q(a-b)", "a1a2b3b", 1, "a1a2b3b "},
      {"%(a-b) %s", "axbyb", 2, "x yb "},
      {"%S(())", "(a(b)c) d", 1, "a(b "},
      {"%S((-))", "(a(b)c) d", 1, "a(b)c "},
      {"%S(()) %s", "(a(b)c) d", 2, "a(b c) "},
      {"%3S(\"\") %s", "\"Contents\" z", 2, "Con ents\" "},
      {"%Sq(\"\")", "\"a b\"", 1, "\"a_b\" "},
      {"%q(\"\")", "word", 0, ""},
      {"%S(\"\")", "word rest", 1, "word "},
      {"%S(\"\")", "\"open", 1, "open "},
      {"%Sq(\"\")", "\"open", 1, "\"open\" "},
      {"%Sq(\"\")", "\"\"", 1, "\"\" "},
      {"%S(\"-\")", "\"a\"b\"", 1, "a "},
      {"%(\"\")", "", 0, ""},
      {"%S(\"\")", "", 0, ""},
      {"%S(\"\")~D~", "", 1, "D "},
      {"%u(%%)~TXT~", "%reg%", 1, "REG "},
      {"%u(%%)~TXT~", "x", 1, "TXT "},
      // malformed groups fail; a pattern ending inside one too
      {"%(ab]", "abc", 0, ""},
      {"%(ab]~X~", "abc", 0, ""},
      {"%(ab~X~", "abc", 1, "X "},
      {"%(a", "abc", 0, ""},
      {"%S", "abc", 0, ""},
      {"%q(", "abc", 0, ""},
      // the opening delimiter compares under the case modifier only
      {"%l(AB)", "Axb", 0, ""},
      {"%n(ab)", "Axb", 0, ""},
      {"%u(ab)", "axbyb", 0, ""},
  };
  runRows(rows, sizeof rows / sizeof *rows);
}

TEST(Sparse, EscapeExtents) {
  static const Row rows[] = {
      {"#35%s", "#x", 2, "x "}, {"#%s", "", 1, ""},
      {"a#", "a", 1, ""},       // '#' alone with nothing after: value 0 matches the end
      {"#32x", " x", 1, ""},    // "#32" then the literal x
      {"#0650", "A", 1, ""},    // four digits covered
      {"#06500", "A0", 1, ""},  // the fifth digit is a literal of its own
      {"x#000", "x", 1, ""},    // value 0 matches the end of the source
  };
  runRows(rows, sizeof rows / sizeof *rows);
}

TEST(Sparse, LibraryPatterns) {
  static const Row rows[] = {
      // header
      {TS_PATTERN_HEADER, "name \"Select Dialog\"", 4, "Select_Dialog "},
      {TS_PATTERN_HEADER, "NAME Settings", 4, "Settings "},
      {TS_PATTERN_HEADER, "  Name a_b\\c tail", 4, "a\\_b\\\\c "},
      {TS_PATTERN_HEADER, "name \"Contents", 4, "Contents "},
      {TS_PATTERN_HEADER, "named x", 2, ""},
      {TS_PATTERN_HEADER, "name", 2, ""},
      {TS_PATTERN_HEADER, "name\tConfig", 2, ""},
      // next-dialog test
      {TS_PATTERN_SECTION_END, "name x", 2, ""},
      {TS_PATTERN_SECTION_END, "NAMES", 2, ""},
      {TS_PATTERN_SECTION_END, "  Name", 2, ""},
      {TS_PATTERN_SECTION_END, "nam", 1, ""},
      {TS_PATTERN_SECTION_END, "", 1, ""},
      // help
      {TS_PATTERN_HELP, "help \"Contents\"", 3, "Contents "},
      {TS_PATTERN_HELP, "HELP Topic1", 3, "Topic1 "},
      {TS_PATTERN_HELP, "helpTopic", 3, "Topic "},
      {TS_PATTERN_HELP, "help", 2, ""},
      // item
      {TS_PATTERN_ITEM, "button 7 10 5 20 5 f \"Ok\" (DIF_CENTERGROUP) t", 14,
       "BUTTON 7 10 5 20 5 F \"Ok\" DIF\\_CENTERGROUP T TXT HKCU NULL NULL "},
      {TS_PATTERN_ITEM, "edit Mode 5 2 40 2 T \"\" (DIF_HISTORY) F %R% %hklm% \"Config\" \"LngMode\"", 14,
       "EDIT Mode 5 2 40 2 T \"\" DIF\\_HISTORY F R HKLM Config LngMode "},
      {TS_PATTERN_ITEM, "checkbox 3 5 4 0 0 f \"Disable\" flags f %T% x \"Message\"", 14,
       "CHECKBOX 3 5 4 0 0 F \"Disable\" FLAGS F T HKCU x Message "},
      {TS_PATTERN_ITEM, "text 1 5 2 5 2 f \"Contents\"", 8, "TEXT 1 5 2 5 2 F \"Contents\" "},
      // extension
      {TS_PATTERN_EXTENSION, ".dlg", 2, ""},
      {TS_PATTERN_EXTENSION, ".DLG", 2, ""},
      {TS_PATTERN_EXTENSION, ".Dlg", 2, ""},
      {TS_PATTERN_EXTENSION, ".dlgx", 2, ""},
      {TS_PATTERN_EXTENSION, ".txt", 1, ""},
      {TS_PATTERN_EXTENSION, ".dl", 1, ""},
  };
  runRows(rows, sizeof rows / sizeof *rows);
}

TEST(Sparse, NullSourceLeavesOutputAlone) {
  char out[8] = "keep";
  EXPECT_EQ(sparse(nullptr, "%s", out, sizeof out), 0);
  EXPECT_STREQ(out, "keep");
}

TEST(Sparse, RoomCutsOutputButNotCount) {
  const char *line = "0123456789012345678901234567890";  // 31 characters
  char out[64];
  EXPECT_EQ(sparse(line, "%t", out, 10), 1);
  EXPECT_STREQ(out, "012345678");
  // A buffer with no room is never written, not even its first byte.
  char guard[2] = {'g', 0};
  EXPECT_EQ(sparse(line, "%t", guard, 0), 1);
  EXPECT_EQ(guard[0], 'g');
  EXPECT_EQ(sparse(line, "%t", guard, -5), 1);
  EXPECT_EQ(guard[0], 'g');
}

TEST(Sparse, TokenStringNeverOutgrowsItsRoom) {
  // Every character escaped: twice the bytes; the room still holds.
  std::string line(600, '_');
  std::string pattern = "%s %s %s";
  line[300] = ' ';
  for (int room = 1; room < 40; room++) {
    std::string out(64, '\x7f');
    sparse(line.c_str(), pattern.c_str(), &out[0], room);
    EXPECT_LE(strlen(out.c_str()), (size_t)room - 1) << "room " << room;
  }
  char out[TS_TOKEN_ROOM + 16];
  memset(out, '\x7f', sizeof out);
  sparse(line.c_str(), "%t", out, TS_TOKEN_ROOM);
  EXPECT_EQ(strlen(out), (size_t)TS_TOKEN_ROOM - 1);
}

TEST(Sparse, HugeWidthIsNoLimit) {
  char out[32];
  EXPECT_EQ(sparse("abc", "%99999999999999999999s", out, sizeof out), 1);
  EXPECT_STREQ(out, "abc ");
}

}  // namespace
