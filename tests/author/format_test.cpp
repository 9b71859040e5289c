// The formatter: a table of small files and the text each must give; the
// rule it must never break (every dialog loads the same before and after, and
// formatting its own output changes nothing) over every dialog file of the
// tree and the generated hostile files; and tessel fmt end to end.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "author/engine.h"
#include "author/format.h"
#include "tests/author/author_test_support.h"
#include "tests/author/lockstep.h"

namespace fs = std::filesystem;

namespace {

std::string writeFile(const std::string &name, const std::string &text) { return writeScratch(name, text); }

// The first way in which the formatted text breaks the rule, or "": the
// library loads from it every dialog exactly as from the original (the
// engine's reading of the original is what both must load), the same
// sections stand in it, and formatting it again changes nothing.
std::string ruleBroken(const std::string &original, const std::string &formatted) {
  std::string before = writeFile("format_before.dlg", original);
  std::string after = writeFile("format_after.dlg", formatted);
  author::Analysis a = author::analyzeFile(before, author::Options());
  std::string difference = lockstepDifference(before, a);
  if (!difference.empty()) return "original: " + difference;
  difference = lockstepDifference(after, a);
  if (!difference.empty()) return "formatted: " + difference;
  author::Analysis b = author::analyzeFile(after, author::Options());
  if (b.sections.size() != a.sections.size()) return "section count differs";
  for (size_t i = 0; i < a.sections.size(); i++)
    if (a.sections[i].name != b.sections[i].name) return "section " + std::to_string(i) + " differs";
  if (author::formatText(formatted) != formatted) return "formatting the output changes it";
  return "";
}

struct Row {
  const char *name;
  std::string input;
  std::string expected;
};

TEST(Format, SmallFiles) {
  const std::string longText(960, 'w');
  // The ENUM scan discards the rest of a line after its first word in pieces
  // of 499 bytes: one space less inside this line would bring the word ENUM
  // to the start of a piece, and the scan would read the block.
  const std::string reachHead = "TEXT 0 5 2 9 2 F 0  0 F %T% %HKCU% x y ; ";
  const std::string enumReach = "name A\nTEXT 0 5 2 9 2 F 0 0 F q\n" + reachHead +
                                std::string(504 - reachHead.size(), 'c') + " ENUM { q }\nTEXT 1 5 3 9 3 F 0 0 F q\n";
  const Row rows[] = {
      // columns: numbers right-aligned, words left-aligned, the last field unpadded
      {"columns",
       "name A\n"
       "DOUBLEBOX 0 3 1 30 5 F 0 () F \"A\"\n"
       "BUTTON 17 0 14 0 4 T 0 (DIF_CENTERGROUP) T \"&OK\"\n",
       "name A\n"
       "DOUBLEBOX  0 3  1 30 5 F 0 ()                F \"A\"\n"
       "BUTTON    17 0 14  0 4 T 0 (DIF_CENTERGROUP) T \"&OK\"\n"},
      {"names and numbers in one column",
       "name A\nCHECKBOX eCase 5 6 0 6 F T () F %L% MCase\nTEXT 0 5 7 0 7 F 0 () F x\n",
       "name A\nCHECKBOX eCase 5 6 0 6 F T () F %L% MCase\nTEXT     0     5 7 0 7 F 0 () F     x\n"},
      {"white space between fields", "name A\nTEXT\t0   5 2\t9 2   F 0 0 F    \"x\"   \n",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n"},
      {"fields written together", "name A\nTEXT 0 5 2 9 2F 0 0 F\"x\"\n", "name A\nTEXT 0 5 2 9 2 F 0 0 F \"x\"\n"},
      // flag lists
      {"flag list spacing", "name A\nTEXT 0 5 2 9 2 F 0 ( DIF_BOXCOLOR +  YELLOW + BK_BLUE ) F x\n",
       "name A\nTEXT 0 5 2 9 2 F 0 (DIF_BOXCOLOR+YELLOW+BK_BLUE) F x\n"},
      {"flag words apart", "name A\nTEXT 0 5 2 9 2 F 0 (DIF_GROUP DIF_LEFTTEXT) F x\n",
       "name A\nTEXT 0 5 2 9 2 F 0 (DIF_GROUP+DIF_LEFTTEXT) F x\n"},
      {"empty flag list", "name A\nTEXT 0 5 2 9 2 F 0 ( ) F x\n", "name A\nTEXT 0 5 2 9 2 F 0 () F x\n"},
      {"unclosed flag list kept", "name A\nTEXT 0 5 2 9 2 F 0 ( DIF_GROUP\n",
       "name A\nTEXT 0 5 2 9 2 F 0 ( DIF_GROUP\n"},
      // what stays as it is
      {"CR LF kept", "name A\r\nTEXT 0 5 2 9 2 F 0 0 F x\r\nBUTTON 10 0 4 0 4 T 0 0 T y\r\n",
       "name A\r\nTEXT    0 5 2 9 2 F 0 0 F x\r\nBUTTON 10 0 4 0 4 T 0 0 T y\r\n"},
      {"no line end at the end", "name A\nTEXT 0  5 2 9 2 F 0 0 F x", "name A\nTEXT 0 5 2 9 2 F 0 0 F x"},
      {"comments and blank lines part runs",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F x\n; note\nBUTTON 10 0 4 0 4 T 0 0 T y\n\nTEXT 0 5 2 9 2 F 0 0 F  z\n",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F x\n; note\nBUTTON 10 0 4 0 4 T 0 0 T y\n\nTEXT 0 5 2 9 2 F 0 0 F z\n"},
      {"texts byte for byte", "name A\nTEXT 0 5 2 9 2 F 0 0 F  \"  two  spaces \"\nTEXT 0 5 3 9 3 F 0 0 F \"open   \n",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F \"  two  spaces \"\nTEXT 0 5 3 9 3 F 0 0 F \"open   \n"},
      {"a comment after the fields", "name A\nTEXT 0 5 2 9 2 F 0 0 F %R% %HKCU% x y   ; why  \n",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F %R% %HKCU% x y ; why\n"},
      {"header, help and prose", "name   A\n  help  T\nSome  words  here\nTEXT 0 5 2 9 2 F 0 0 F x\n",
       "name   A\n  help  T\nSome  words  here\nTEXT 0 5 2 9 2 F 0 0 F x\n"},
      {"outside every dialog", "TEXT 0  5 2 9 2 F 0 0 F x\nname A\n", "TEXT 0  5 2 9 2 F 0 0 F x\nname A\n"},
      {"ENUM blocks", "ENUM {  a ,b }\nname A\nTEXT a 5 2 9 2 F 0 0 F x\nTEXT b 15 2 9 2 F 0 0 F y\n",
       "ENUM {  a ,b }\nname A\nTEXT a  5 2 9 2 F 0 0 F x\nTEXT b 15 2 9 2 F 0 0 F y\n"},
      {"after the end-of-file mark", "name A\nTEXT 0  5 2 9 2 F 0 0 F x\n\x1aTEXT 0  5\n",
       "name A\nTEXT 0 5 2 9 2 F 0 0 F x\n\x1aTEXT 0  5\n"},
      // lines left alone because changing them could change what is loaded
      {"inside an unterminated ENUM block", "ENUM { a\nname A\nTEXT 0 5 2 9 2 F 0 0 F x\nBUTTON 10 0 4 0 4 T 0 0 T y\n",
       "ENUM { a\nname A\nTEXT 0 5 2 9 2 F 0 0 F x\nBUTTON 10 0 4 0 4 T 0 0 T y\n"},
      {"a line that would outgrow the line buffer",
       "name A\nTEXT 0 5 2 9 2 F 0 (DIF_CENTERGROUP) F x\nTEXT 0 5 3 9 3 F 0 0 F \"" + longText + "\"\n",
       "name A\nTEXT 0 5 2 9 2 F 0 (DIF_CENTERGROUP) F x\nTEXT 0 5 3 9 3 F 0 0 F \"" + longText + "\"\n"},
      {"a line the library reads in two", "name A\nTEXT 0  5 2 9 2 F 0 0 F " + std::string(1000, 'w') + "\n",
       "name A\nTEXT 0  5 2 9 2 F 0 0 F " + std::string(1000, 'w') + "\n"},
      {"a flag list cut short by the token room",
       "name A\nTEXT 0 5 2 9 2 F \"" + std::string(162, 's') + "\" ( YELLOW + DIF_GROUP ) F x\n",
       "name A\nTEXT 0 5 2 9 2 F \"" + std::string(162, 's') + "\" ( YELLOW + DIF_GROUP ) F x\n"},
      {"a respaced line whose rest the ENUM scan would read", enumReach, enumReach},
      {"an indented item is no item", "name A\n TEXT 0  5 2 9 2 F 0 0 F x\n", "name A\n TEXT 0  5 2 9 2 F 0 0 F x\n"},
      {"a line whose fields shifted stays as written",
       "name A\nCHECKBOX 1 5 2 0 2 F 0 F   \"&Case\"\nTEXT 0  5 3 9 3 F 0 0 F x\n",
       "name A\nCHECKBOX 1 5 2 0 2 F 0 F   \"&Case\"\nTEXT 0 5 3 9 3 F 0 0 F x\n"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    std::string formatted = author::formatText(row.input);
    EXPECT_EQ(formatted, row.expected);
    EXPECT_EQ(ruleBroken(row.input, formatted), "");
  }
  std::vector<author::Refusal> refused;
  author::formatText("name A\nCHECKBOX 1 5 2 0 2 F 0 F   \"&Case\"\n", &refused);
  ASSERT_EQ(refused.size(), 1u);
  EXPECT_EQ(refused[0].line, 2);
  EXPECT_EQ(refused[0].code, "missing-field");
}

TEST(Format, EveryFileOfTheTreeLoadsTheSame) {
  std::vector<std::string> files = everyDialogFile();
  int changed = 0, checked = 0;
  for (const std::string &path : files) {
    if (fs::file_size(path) > (16u << 20)) continue;
    SCOPED_TRACE(path);
    std::string original = readWhole(path);
    std::string formatted = author::formatText(original);
    EXPECT_EQ(ruleBroken(original, formatted), "");
    changed += formatted != original;
    checked++;
  }
  EXPECT_GT(checked, 20);
  EXPECT_GT(changed, 3);
}

TEST(Format, Command) {
  const std::string loose = "name A\r\nTEXT 0 5 2 9 2 F 0 ( DIF_GROUP ) F x\r\nBUTTON 10 0 4 0 4 T 0 0 T y\r\n";
  const std::string tidy = author::formatText(loose);
  ASSERT_NE(tidy, loose);
  const std::string dir = scratchDir() + "/fmt_dir";
  fs::remove_all(dir);
  fs::create_directory(dir);
  std::string file = writeFile("fmt_dir/a.dlg", loose);
  std::string clean = writeFile("fmt_dir/clean.dlg", tidy);
  chmod(file.c_str(), 0640);

  const struct {
    std::string args;
    int status;
    std::string out;
    std::string fileAfter;
  } rows[] = {
      {"fmt --check " + clean, 0, "", loose},
      {"fmt --check " + clean + " " + file, 1, file + "\n", loose},
      {"fmt --stdout " + file, 0, tidy, loose},
      {"fmt", 2, "", loose},
      {"fmt --bogus " + file, 2, "", loose},
      {"fmt no_such_file.dlg", 1, "", loose},
      {"fmt fmt_dir", 1, "", loose},
      {"fmt " + file, 0, "", tidy},
      {"fmt --check " + file, 0, "", tidy},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.args);
    TesselRun run = runTessel(row.args, scratchDir());
    EXPECT_EQ(run.status, row.status);
    EXPECT_EQ(run.out, row.out);
    EXPECT_EQ(readWhole(file), row.fileAfter);
  }
  struct stat st;
  ASSERT_EQ(stat(file.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  int entries = 0;
  for (const auto &entry : fs::directory_iterator(dir)) entries += entry.is_regular_file();
  EXPECT_EQ(entries, 2);  // no temporary file left behind
}

}  // namespace
