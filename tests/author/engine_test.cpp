// The authoring engine: the lockstep rule over every dialog file of the tree,
// the generated hostile files and the fuzz corpora; and a table of small
// files, each with the findings expected at its lines.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "author/engine.h"
#include "author/fields.h"
#include "author/languages.h"
#include "dialog/dialog_internal.h"
#include "tests/author/author_test_support.h"
#include "tests/author/lockstep.h"

namespace fs = std::filesystem;

namespace {

TEST(Lockstep, EngineItemsAreWhatTheLibraryLoads) {
  std::vector<std::string> files = everyDialogFile();
  int dialogFiles = 0;
  for (const std::string &path : files) {
    if (fs::file_size(path) > (64u << 20)) continue;
    SCOPED_TRACE(path);
    author::Analysis a = author::analyzeFile(path, author::Options());
    EXPECT_EQ(lockstepDifference(path, a), "");
    dialogFiles += !a.sections.empty();
  }
  EXPECT_GT(dialogFiles, 10);
}

struct Case {
  const char *name;
  std::string text;
  std::vector<std::string> expected;  // "line:code", notes left out
};

std::vector<std::string> found(const author::Analysis &a) {
  std::vector<std::string> out;
  for (const author::Finding &f : a.findings) out.push_back(std::to_string(f.span.line) + ":" + f.code);
  return out;
}

TEST(Findings, EachMistakeAtItsLine) {
  const Case cases[] = {
      // clean files give nothing
      {"clean", "name A\nDOUBLEBOX 0 3 1 30 5 F 0 () F \"A\"\nBUTTON 1 0 4 0 4 T 0 (DIF_CENTERGROUP) T \"&OK\"\n", {}},
      {"comments and blanks", "; c\nname A\n\n; c\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {}},
      // lines the library skips
      {"type typo", "name A\nCHEKBOX 1 5 2 0 2 F 0 () F \"x\"\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"2:unknown-type"}},
      {"bad coordinate", "name A\nTEXT 0 5 x5 0 2 F 0 0 F \"x\"\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"2:not-an-item"}},
      {"missing fields", "name A\nBUTTON 1 0 6\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"2:not-an-item"}},
      {"indented", "name A\n  TEXT 0 5 2 9 2 F 0 0 F \"x\"\nTEXT 0 5 3 0 3 F 0 0 F \"y\"\n", {"2:indented-item"}},
      {"help typo", "name A\nhlep Topic\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"2:unknown-type"}},
      {"prose is no item", "name A\nSome notes here\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {}},
      // headers
      {"tab after name", "name\tLogin\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"1:not-a-header"}},
      {"names", "name A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\nnames\n", {"3:not-a-header"}},
      {"name cut", "name My Dialog\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"1:name-cut"}},
      {"duplicate",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\nname A\nTEXT 0 5 2 0 2 F 0 0 F \"y\"\n",
       {"3:duplicate-dialog"}},
      {"empty", "name A\n; nothing\nname B\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"1:empty-dialog"}},
      // ENUM blocks
      {"unterminated enum", "ENUM { a, b\nname A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"1:unterminated-enum"}},
      {"no brace", "ENUM a }\nname A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"1:enum-no-brace"}},
      {"duplicate enum", "ENUM { a, b, a }\nname A\nTEXT a 5 2 0 2 F 0 0 F \"x\"\n", {"1:duplicate-enum"}},
      {"enum hidden by a lone word", "Title\nENUM { a }\nname A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"2:enum-not-read"}},
      // fields of items
      {"unknown identifier", "ENUM { eOk }\nname A\nBUTTON eOK 0 2 20 2 F 0 () T \"OK\"\n", {"3:unknown-identifier"}},
      {"unknown flag and colour",
       "name A\nTEXT 0 5 2 0 2 F 0 (DIF_CENTERGRUOP+YELOW) F \"x\"\n",
       {"2:unknown-flag", "2:unknown-flag"}},
      {"number flag", "name A\nTEXT 0 5 2 0 2 F 0 (3) F \"x\"\nTEXT 0 5 3 0 3 F 0 0 F \"x\"\n", {"2:number-flag"}},
      {"unknown message", "ENUM { MTitle }\nname A\nTEXT 0 5 2 0 2 F 0 0 F %L% MTitel\n", {"3:unknown-message"}},
      {"unknown selected", "name A\nCHECKBOX 1 5 2 20 2 F Yes 0 F \"x\"\n", {"2:unknown-selected"}},
      {"unknown source", "name A\nTEXT 0 5 2 0 2 F 0 0 F %X% x\n", {"2:unknown-source"}},
      {"focus written long", "name A\nTEXT 0 5 2 0 2 TRUE 0 0 F \"x\"\n", {"2:one-letter-field"}},
      {"cancel id", "name A\nBUTTON -1 5 2 20 2 F 0 () T \"Stop\"\n", {"2:cancel-id"}},
      {"cancel id meant", "name A\nBUTTON -1 5 2 20 2 F 0 () T \"Cancel\"\n", {}},
      {"utf-8 text", "name A\nTEXT 0 5 2 20 2 F 0 0 F \"caf\xC3\xA9\"\n", {"2:utf8-text"}},
      {"field cut",
       (std::string("name A\nTEXT 0 5 2 0 2 F 0 0 F \"") + std::string(250, 'x') + "\"\n"),
       {"2:field-too-long", "2:text-overflow"}},
      // layout
      {"outside its box",
       "name A\nDOUBLEBOX 0 3 1 12 5 F 0 () F \"\"\nTEXT 0 5 2 0 2 F 0 0 F \"a long text\"\n",
       {"3:text-overflow"}},
      {"overlap",
       "name A\nTEXT 0 5 2 0 2 F 0 0 F \"hello\"\nTEXT 0 7 2 0 2 F 0 0 F \"world\"\nTEXT 0 0 2 20 2 F 0 0 F \"\"\n",
       {"3:overlap"}},
      {"hot key clash",
       "name A\nCHECKBOX 1 5 2 0 2 F 0 0 F \"&Save\"\nCHECKBOX 2 5 3 0 3 F 0 0 F \"&sync\"\nTEXT 0 0 4 20 4 F 0 0 F "
       "\"\"\n",
       {"3:hotkey-clash"}},
      {"numeric types draw nothing and take no hot key",
       "name A\n12 1 5 2 0 2 F 0 () F \"&alpha\"\n12 2 5 3 0 3 F 0 () F \"&again\"\n-5 0 0 1 20 1 F 0 () F \"\"\n"
       "TEXT 0 0 4 20 4 F 0 0 F \"\"\n",
       {}},
      {"item before any name",
       "TEXT 0 5 2 9 2 F 0 0 F \"x\"\nTEXT 0 5 3 9 3 F 0 0 F \"y\"\nname A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n",
       {"1:item-before-name"}},
      {"byte-order mark", "\xEF\xBB\xBFname A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {"1:byte-order-mark"}},
      {"byte-order mark before a comment", "\xEF\xBB\xBF; notes\nname A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {}},
      {"same identifier, two focused",
       "name A\nCHECKBOX 3 5 2 0 2 T 0 0 F \"a\"\nCHECKBOX 3 5 3 0 3 T 0 0 F \"b\"\n"
       "TEXT 0 5 4 9 4 T 0 0 F \"x\"\nTEXT 0 5 5 9 5 F 0 0 F \"y\"\n",
       {"3:duplicate-id", "3:two-focus"}},
      {"tab in a text", "name A\nTEXT 0 5 2 20 2 F 0 0 F \"a\tb\"\n", {"2:tab-in-text"}},
      {"a field left out",
       "name A\nCHECKBOX 1 5 2 0 2 F 0 F \"&Case\"\nCHECKBOX 2 5 3 0 3 F (DIF_GROUP) F \"x\"\n"
       "BUTTON 5 4 0 4 F 0 () T \"OK\"\n"
       "TEXT 0 0 4 40 4 F 0 0 F \"\"\n",
       {"2:missing-field", "3:missing-field", "4:not-an-item"}},
      {"name misspelt",
       "nmae \"Confirm\"\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\nname B\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n",
       {"1:header-typo"}},
      {"prose before the first dialog", "Same here\nGame of life\nname B\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n", {}},
      {"words after the text",
       "name A\nTEXT 0 5 2 20 2 F 0 0 F Hello world\nTEXT 0 5 3 20 3 F 0 0 F \"Hi\" ; note\n",
       {"2:text-rest-dropped"}},
      {"fixed field text longer than the field",
       "name A\nFIXEDIT 1 5 2 9 2 F 0 0 F \"12345678\"\nTEXT 0 0 3 20 3 F 0 0 F \"\"\n",
       {"2:text-overflow"}},
      {"on the frame, below the frame",
       "name A\nDOUBLEBOX 0 3 1 30 5 F 0 () F \"A\"\nTEXT 0 5 1 0 1 F 0 () F \"top\"\nTEXT 0 5 2 0 2 F 0 () F \"in\"\n"
       "BUTTON 1 5 7 0 7 F 0 () T \"OK\"\n",
       {"3:overlap", "5:outside-dialog"}},
      {"a box past its box, a bottom row that grows the dialog",
       "name A\nDOUBLEBOX 0 3 1 30 6 F 0 () F \"A\"\nSINGLEBOX 0 20 2 15 4 F 0 () F \"B\"\n"
       "EDIT 2 5 5 9 9 F 0 () F \"tall\"\nBUTTON 1 5 3 0 3 F 0 () T \"OK\"\n",
       {"3:outside-dialog", "4:outside-dialog"}},
      {"no default button",
       "name A\nBUTTON 1 5 2 0 2 F 0 () F \"OK\"\nTEXT 0 0 3 20 3 F 0 0 F \"\"\n",
       {"1:default-button"}},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.name);
    author::Analysis a = author::analyzeText(c.text, author::Options());
    EXPECT_EQ(found(a), c.expected);
  }
}

// examples/mistakes holds a file for every kind of finding that a file can
// show (a file that cannot be read, a --dialog name the file lacks and a
// character outside the code page need more than a file); its languages/
// folder a language file for each of theirs.
TEST(Findings, AMistakesFileForEveryCode) {
  std::set<std::string> shown;
  for (const auto &entry : fs::recursive_directory_iterator(std::string(TESSEL_SOURCE_DIR) + "examples/mistakes")) {
    if (entry.path().extension() != ".dlg") continue;
    author::Analysis a = author::analyzeWithLanguages(entry.path().string(), author::Options(), {});
    for (const author::Finding &f : a.findings) shown.insert(f.code);
  }
  const std::set<std::string> needMore = {"cannot-open", "no-such-dialog", "not-in-codepage"};
  for (int k = 0; k < (int)author::Kind::KindCount; k++) {
    std::string code = author::kindInfo((author::Kind)k).code;
    if (code.empty() || needMore.count(code)) continue;
    EXPECT_TRUE(shown.count(code)) << "no file in examples/mistakes shows " << code;
  }
}

// Language files beside a dialog file: each verdict at its file and line,
// notes included ("file:line:code", a note's code empty), as the host's own
// reader and chooser see the files.
TEST(Findings, LanguageFilesJudgedWithTheDialog) {
  const std::string dialog =
      "ENUM { MTitle, MName, MCase, MWords, MOk }\n"
      "name A\n"
      "DOUBLEBOX 0 3 1 30 6 F 0 () F %L% MTitle\n"
      "TEXT 0 5 2 0 2 F 0 () F %L% MName\n"
      "CHECKBOX 1 5 3 0 3 F 0 () F %L% MCase\n"
      "CHECKBOX 2 5 4 0 4 F 0 () F %L% MWords\n"
      "BUTTON 3 0 5 0 5 F 0 (DIF_CENTERGROUP) T %L% MOk\n";
  const std::string english = ".Language=English,English\n\"Find\"\n\"&Name:\"\n\"&Case\"\n\"&Words\"\n\"OK\"\n";
  const struct {
    const char *name;
    std::string dialog;
    std::vector<std::pair<std::string, std::string>> files;
    std::vector<std::string> languages;
    std::vector<std::string> expected;
  } cases[] = {
      {"a clash in one language only, at the dialog's line with the language file's line",
       dialog,
       {{"E.lng", english},
        {"G.lng", ".Language=German,Deutsch\n\"Suche\"\n\"&Name:\"\n\"&Gross\"\n\"&Ganz\"\n\"OK\"\n"}},
       {},
       {"6:hotkey-clash", "G.lng:5:"}},
      {"only the languages asked for",
       dialog,
       {{"E.lng", english},
        {"G.lng", ".Language=German,Deutsch\n\"Suche\"\n\"&Name:\"\n\"&Gross\"\n\"&Ganz\"\n\"OK\"\n"}},
       {"English"},
       {}},
      {"a message lost in the middle: the count, and where the texts start to shift",
       dialog,
       {{"E.lng", english}, {"G.lng", ".Language=German,Deutsch\n\"Suche\"\n\"&Gross\"\n\"&Worte\"\n\"OK\"\n"}},
       {},
       {"G.lng:5:lng-message-count", "G.lng:3:"}},
      {"slips of the reader",
       dialog,
       {{"E.lng", ".language=English\n\"Find\n\"&Name:\\q\"\n\"&Case\"\n\"&Words\"\n\"OK\"\n\"spare\"\n"},
        {"F.lng", "\"Cherche\"\n"},
        {"E2.lng", ".Language=english,English\n"}},
       {},
       {"E.lng:2:lng-unclosed-quote", "E.lng:3:lng-unknown-escape", "E.lng:7:lng-message-count", "E2.lng:1:lng-unused",
        "F.lng:1:lng-header"}},
      {"a dialog file that reads no text from them",
       "ENUM { a }\nname A\nTEXT 0 5 2 0 2 F 0 () F \"x\"\n",
       {{"E.lng", english}},
       {},
       {}},
  };
  int n = 0;
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    std::string dir = scratchDir() + "/languages" + std::to_string(n++) + "/";
    fs::create_directories(dir);
    writeScratch(dir.substr(scratchDir().size() + 1) + "a.dlg", c.dialog);
    for (const auto &file : c.files) writeScratch(dir.substr(scratchDir().size() + 1) + file.first, file.second);
    author::Analysis a = author::analyzeWithLanguages(dir + "a.dlg", author::Options(), c.languages);
    std::vector<std::string> got;
    auto where = [&](const author::Finding &f) {
      return (f.file.empty() ? "" : fs::path(f.file).filename().string() + ":") + std::to_string(f.span.line) + ":";
    };
    for (const author::Finding &f : a.findings) {
      got.push_back(where(f) + f.code);
      for (const author::Finding &note : f.notes) got.push_back(where(note));
    }
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(GetMsgText(0, 0), nullptr) << "the library is left as it was: not started";
  }
}

// Limits: 513 items, 101 ENUM names, lines past the line buffer.
TEST(Findings, LimitsSayWhatIsLost) {
  std::string many = "name A\n";
  for (int i = 0; i < 515; i++) many += "TEXT 0 0 1 3 1 F 0 0 F \"\"\n";
  author::Analysis a = author::analyzeText(many, author::Options());
  ASSERT_EQ(found(a), std::vector<std::string>{"514:too-many-items"});
  EXPECT_NE(a.findings[0].message.find("the 2 after it"), std::string::npos);

  std::string names = "ENUM {";
  for (int i = 0; i < 102; i++) names += " n" + std::to_string(i) + ",";
  names += " }\nname A\nTEXT 0 0 1 3 1 F 0 0 F \"\"\n";
  a = author::analyzeText(names, author::Options());
  ASSERT_EQ(found(a), std::vector<std::string>{"1:enum-table-full"});
  EXPECT_NE(a.findings[0].message.find("`n100`"), std::string::npos);

  std::string longLine = "name A\nTEXT 0 0 1 3 1 F 0 0 F \"" + std::string(1200, 'x') + "\"\n";
  a = author::analyzeText(longLine, author::Options());
  EXPECT_EQ(found(a).front(), "2:line-too-long");
}

TEST(Findings, OneDialogAndTheFile) {
  const char text[] =
      "ENUM { a, a }\nname A\nTEXT 0 5 2 0 2 F 0 (FOO) F \"x\"\nname B\nTEXT 0 5 2 0 2 F 0 (BAR) F \"x\"\n";
  author::Options options;
  options.dialog = "B";
  EXPECT_EQ(found(author::analyzeText(text, options)),
            (std::vector<std::string>{"1:duplicate-enum", "5:unknown-flag"}));
  options.dialog = "C";
  EXPECT_EQ(found(author::analyzeText(text, options)),
            (std::vector<std::string>{"1:duplicate-enum", "1:no-such-dialog"}));
}

// Columns point at the offending field, in bytes of the line.
TEST(Findings, ColumnsPointAtTheField) {
  author::Analysis a =
      author::analyzeText("name A\nEDIT 1 5 4 x5 4 F 0 () F \"\"\nEDIT 1 5 4 9 4 F 0 () F \"\"\n", author::Options());
  ASSERT_EQ(a.findings.size(), 1u);
  EXPECT_EQ(a.findings[0].span.column, 12);
  EXPECT_EQ(a.findings[0].span.endColumn, 14);
}

}  // namespace

namespace {

// Where the traced item pattern puts each field: each field written on the
// line shows as the bytes the library read for it ('.' for a field that is
// not written, its default standing in), up to the field the scan stopped at.
TEST(Fields, SpansAreWhatTheLibraryRead) {
  const struct {
    std::string line;
    int matched;
    std::string fields;  // the written fields' bytes, separated by '|'
  } rows[] = {
      {"BUTTON 1 2 3 4 5 F 0 (DIF_A + RED) T \"Go on\"", 14, "BUTTON|1|2|3|4|5|F|0|(DIF_A + RED)|T|.|.|\"Go on\"|."},
      {"TEXT id 0 0 9 0 FT () F %L% MsgOk", 14, "TEXT|id|0|0|9|0|F|T|()|F|%L%|.|MsgOk|."},
      {"EDIT 1 2 3 4 5 F 0 0 F %R% %HKCU% Path \"none\"", 14, "EDIT|1|2|3|4|5|F|0|0|F|%R%|%HKCU%|Path|\"none\""},
      {"TEXT 1 2 x 4 5 F 0 0 F \"a\"", 3, "TEXT|1|2"},
      {"TEXT 1 2 3 4 5 F \"unclosed", 8, "TEXT|1|2|3|4|5|F|\"unclosed"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.line);
    author::ItemFields fields = author::readItemFields(row.line);
    EXPECT_EQ(fields.matched, row.matched);
    std::string shown;
    for (int f = 0; f < fields.matched && f < author::FIELD_COUNT; f++) {
      const author::FieldSpan &s = fields.span[f];
      shown += (f ? "|" : "") + (s.written ? row.line.substr((size_t)s.start, (size_t)(s.end - s.start)) : ".");
    }
    EXPECT_EQ(shown, row.fields);
    if (fields.matched < author::FIELD_COUNT) {
      // The field the scan stopped at lies empty where it was sought.
      const author::FieldSpan &stop = fields.span[fields.matched];
      EXPECT_EQ(stop.start, stop.end);
      EXPECT_FALSE(stop.written);
    }
  }
}

}  // namespace
