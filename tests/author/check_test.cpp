// tessel check end to end: the exit status, the compilers' form, the JSON
// form read back, and files that cannot be read.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <nlohmann/json.hpp>
#include <string>

#include "tests/author/author_test_support.h"

namespace {

// Writes a file into the scratch directory, where tessel runs, and
// returns the name tessel is given.
std::string writeFile(const std::string &name, const std::string &text) {
  writeScratch(name, text);
  return name;
}

TEST(Check, ExitStatusAndForms) {
  std::string clean = writeFile("check_clean.dlg", "name A\nDOUBLEBOX 0 3 1 20 3 F 0 () F \"A\"\n");
  std::string faulty =
      writeFile("check_faulty.dlg", "name A\nDOUBLEBOX 0 3 1 20 3 F 0 () F \"A\"\nCHEKBOX 1 5 2 0 2 F 0 () F \"x\"\n");
  const struct {
    std::string args;
    int status;
    std::string out;
  } rows[] = {
      {"check " + clean, 0, ""},
      {"check " + faulty, 1,
       "check_faulty.dlg:3:1: error: `CHEKBOX` is no item type, the library skips this line; did you mean "
       "`CHECKBOX`? [unknown-type]\n"},
      {"check " + clean + " " + faulty + " --dialog A", 1, ""},
      {"check", 2, ""},
      {"check " + clean + " --format xml", 2, ""},
      {"check " + clean + " --bogus", 2, ""},
      {"check no_such_file.dlg", 1, ""},
      {"check .", 1, ".:1:1: error: cannot read the file: is a directory [cannot-open]\n"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.args);
    TesselRun run = runTessel(row.args, scratchDir());
    EXPECT_EQ(run.status, row.status);
    if (!row.out.empty()) {
      EXPECT_EQ(run.out, row.out);
    }
  }
}

TEST(Check, JsonReadsBack) {
  std::string faulty =
      writeFile("check_json.dlg", "ENUM { a, a }\nname A\nDOUBLEBOX 0 3 1 20 3 F 0 (FOO) F \"\xE9\"\n");
  TesselRun run = runTessel("check --format json " + faulty, scratchDir());
  EXPECT_EQ(run.status, 1);
  nlohmann::json all = nlohmann::json::parse(run.out);  // bytes of the code page come out as UTF-8
  ASSERT_TRUE(all.is_array());
  ASSERT_EQ(all.size(), 3u);  // the duplicate, its note, the unknown flag
  EXPECT_EQ(all[0]["code"], "duplicate-enum");
  EXPECT_EQ(all[0]["dialog"], nullptr);
  EXPECT_EQ(all[1]["severity"], "note");
  EXPECT_EQ(all[2]["code"], "unknown-flag");
  EXPECT_EQ(all[2]["dialog"], "A");
  EXPECT_EQ(all[2]["line"], 3);
  EXPECT_EQ(all[2]["column"], 27);
  EXPECT_EQ(all[2]["endColumn"], 30);

  // A file name that is not UTF-8 is named with U+FFFD, not a crash.
  std::string oddName = writeFile("check_\xE9.dlg", "name A\nCHEKBOX 1 5 2 0 2 F 0 () F \"x\"\n");
  run = runTessel("check --format json " + oddName, scratchDir());
  EXPECT_EQ(run.status, 1);
  all = nlohmann::json::parse(run.out, nullptr, false);
  ASSERT_FALSE(all.is_discarded()) << run.out;
  EXPECT_EQ(all[0]["file"], "check_\xEF\xBF\xBD.dlg");
}

}  // namespace
