// Language files: which lines are messages, how they are decoded, and which
// file of a directory serves a language.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "lng/lng.h"

namespace {

struct MessageRow {
  const char *text;      // the file's text
  const char *expected;  // its messages, each followed by '|'
};

const MessageRow kMessageRows[] = {
    // which lines count
    {".Language=English,English\n\"One\"\n\"Two\"\n", "One|Two|"},
    {"// a comment\nMLabel\n  \"indented lines are no messages\"\n\"Real\"\n", "Real|"},
    {"\"no closing quote\n", "no closing quote|"},
    {"\"\"\n\"\"\n", "||"},
    {"\"last line without a line end\"", "last line without a line end|"},
    // the closing quote and trailing blanks
    {"\"inner blanks stay  \"   \t\n", "inner blanks stay  |"},
    {"\"CR LF lines\"\r\n\"read alike\"\r\n", "CR LF lines|read alike|"},
    {"\"say \\\"hi\\\"\"\n", "say \"hi\"|"},
    // escapes
    {"\"a\\\\b\"\n", "a\\b|"},
    {"\"tab\\there\"\n", "tab\there|"},
    {"\"two\\nlines\"\n", "two\nlines|"},
    {"\"other \\x escapes stay\"\n", "other \\x escapes stay|"},
    {"\"a lone backslash at the end \\\n", "a lone backslash at the end \\|"},
};

TEST(Lng, MessagesAndEscapes) {
  for (const MessageRow &row : kMessageRows) {
    SCOPED_TRACE(row.text);
    LngTable table = {};
    ASSERT_TRUE(lngParse(row.text, strlen(row.text), &table));
    std::string got;
    for (int i = 0; i < table.count; i++) got += std::string(lngMessage(&table, i)) + "|";
    EXPECT_EQ(got, row.expected);
    lngFree(&table);
  }
}

TEST(Lng, HeaderNamesTheLanguageAndNumbersPastTheEndAreEmpty) {
  const char text[] = ".Language=German , Deutsch\n\"Eins\"\n.Language=French,Francais\n";
  LngTable table = {};
  ASSERT_TRUE(lngParse(text, strlen(text), &table));
  EXPECT_STREQ(table.language, "German");
  EXPECT_STREQ(lngMessage(&table, 0), "Eins");
  EXPECT_STREQ(lngMessage(&table, 1), "");
  EXPECT_STREQ(lngMessage(&table, -1), "");
  EXPECT_STREQ(lngMessage(&table, 1 << 30), "");
  EXPECT_STREQ(lngMessage(nullptr, 0), "");
  lngFree(&table);
}

// A directory of language files, removed afterwards.
struct LngDir {
  char path[64] = "/tmp/tessel-lng-XXXXXX";
  std::string dir;
  LngDir() { dir = std::string(mkdtemp(path)) + "/"; }
  ~LngDir() {
    std::string command = "rm -rf '" + std::string(path) + "'";
    if (system(command.c_str()) != 0) ADD_FAILURE() << command;
  }
  void add(const char *name, const char *language) {
    FILE *f = fopen((dir + name).c_str(), "w");
    fprintf(f, ".Language=%s,%s\n\"%s\"\n", language, language, name);
    fclose(f);
  }
  std::string choose(const char *language) {
    char found[4096];
    if (!lngChooseFile(dir.c_str(), language, found, sizeof found)) return "(none)";
    return std::string(found).substr(dir.size());
  }
};

TEST(Lng, ChoosesTheLanguageThenEnglishThenTheFirst) {
  LngDir d;
  EXPECT_EQ(d.choose("English"), "(none)");
  d.add("b_ger.lng", "German");
  EXPECT_EQ(d.choose("English"), "b_ger.lng") << "no English file: the first of all";
  d.add("c_eng.LNG", "English");
  d.add("a_notes.txt", "German");
  EXPECT_EQ(d.choose("german"), "b_ger.lng");
  EXPECT_EQ(d.choose("Russian"), "c_eng.LNG") << "no such language: English";
  d.add("a_ger.lng", "German");
  EXPECT_EQ(d.choose("German"), "a_ger.lng") << "the first in name order";
}

TEST(Lng, LoadFileReadsTheChosenFile) {
  LngDir d;
  d.add("x.lng", "English");
  LngTable table = {};
  ASSERT_TRUE(lngLoadFile((d.dir + "x.lng").c_str(), &table));
  EXPECT_STREQ(lngMessage(&table, 0), "x.lng");
  lngFree(&table);
  EXPECT_FALSE(lngLoadFile((d.dir + "missing.lng").c_str(), &table));
  EXPECT_EQ(table.count, 0);
}

}  // namespace
