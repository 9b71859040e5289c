// tessel header end to end: each header compiles as C89 and as C++ when
// included twice, and every macro holds what the library's own look-ups
// give; --check, bad inputs, and the unified diff it prints.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "author/engine.h"
#include "author/header.h"
#include "dialog/dialog_internal.h"
#include "tests/author/author_test_support.h"

namespace {

struct Outcome {
  int status;
  std::string out, err;
};

std::string readText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Runs a shell command line in the scratch directory, keeping its standard
// output and standard error apart.
Outcome runIn(const std::string &command) {
  std::string errFile = scratchDir() + "/stderr.txt";
  Outcome r{-1, "", ""};
  FILE *pipe = popen(("cd '" + scratchDir() + "' && " + command + " 2>'" + errFile + "'").c_str(), "r");
  if (!pipe) return r;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) r.out.append(buffer, got);
  int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = readText(errFile);
  return r;
}

Outcome tessel(const std::string &args) { return runIn(std::string(TESSEL_TEST_BIN_DIR) + "tessel " + args); }

// A file with every kind of name: repeated, explicit and negative values, the
// saturated ends, names that C cannot take, a MSG_ macro that would redefine a
// name, and dialog names with spaces, quotes, backslashes, a trigraph and a
// byte of the code page's upper half.
const char kCrafted[] =
    "ENUM { A, B = -5, C, A, Big = 2147483646, Sat, Sat2, 9lives, int, _Foo, a__b, class, x, MSG_x, defined }\n"
    "ENUM { Low = -2147483648, Lower = -99999999999, CRAFTED_H }\n"
    "name Plain\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name \"with space\"\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name with_space\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name \"a\\b\"\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name what?\?=now??\?/\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name caf\xE9\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name 'a\"b'\nTEXT 0 5 2 0 2 F 0 () F x\n"
    "name Plain\nTEXT 0 5 2 0 2 F 0 () F x\n";

// The #define lines of a header: name -> its replacement (the guard's is empty).
std::map<std::string, std::string> defines(const std::string &header) {
  std::map<std::string, std::string> macros;
  std::istringstream in(header);
  for (std::string line; std::getline(in, line);) {
    if (line.compare(0, 8, "#define ") != 0) continue;
    size_t end = line.find(' ', 8);
    std::string name = line.substr(8, end == std::string::npos ? std::string::npos : end - 8);
    size_t value = end == std::string::npos ? line.size() : line.find_first_not_of(' ', end);
    macros[name] = line.substr(value);
  }
  return macros;
}

// A program that includes header twice and prints each macro as NAME=number,
// or NAME=s: and its bytes in hex.
std::string printer(const std::string &header, const std::map<std::string, std::string> &macros) {
  std::string c = "#include <stdio.h>\n#include \"" + header + "\"\n#include \"" + header +
                  "\"\nint main(void) {\n  const char *p;\n";
  for (const auto &m : macros) {
    if (m.second.empty()) continue;  // the include guard
    if (m.second[0] != '"') {
      c += "  printf(\"" + m.first + "=%ld\\n\", (long)(" + m.first + "));\n";
    } else {
      c += "  printf(\"" + m.first + "=s:\");\n  for (p = " + m.first +
           "; *p; p++) printf(\"%02x\", (unsigned)(unsigned char)*p);\n  printf(\"\\n\");\n";
    }
  }
  return c + "  return 0;\n}\n";
}

std::string hex(const std::string &bytes) {
  std::string out;
  char two[3];
  for (unsigned char c : bytes) snprintf(two, sizeof two, "%02x", c), out += two;
  return out;
}

bool haveCompilers() { return system("gcc --version >/dev/null 2>&1 && g++ --version >/dev/null 2>&1") == 0; }

TEST(Header, CompilesAndHoldsTheLibrarysLookups) {
  if (!haveCompilers()) GTEST_SKIP() << "no gcc and g++ to compile the headers with";
  const std::string examples = std::string(TESSEL_SOURCE_DIR) + "examples/";
  const struct {
    std::string file;
    std::set<std::string> leftOut;    // names the header leaves out, with a warning each
    std::set<std::string> noMessage;  // names whose MSG_ macro would redefine another name
  } rows[] = {
      {examples + "demo.dlg", {}, {}},
      {examples + "tools.dlg", {}, {}},
      {examples + "hello.dlg", {}, {}},                      // no ENUM table
      {examples + "mistakes/enum-blocks.dlg", {}, {}},       // a name written twice
      {examples + "mistakes/enum-table-full.dlg", {}, {}},   // the table's 100 names
      {examples + "mistakes/duplicate-dialog.dlg", {}, {}},  // a name no load reaches
      // no closing brace: the items' words become names
      {examples + "mistakes/unterminated-enum.dlg", {"0", "1", "3", "4", "30"}, {}},
      {writeScratch("crafted.dlg", kCrafted), {"9lives", "int", "_Foo", "a__b", "class", "defined"}, {"x"}},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.file);
    std::string header = scratchDir() + "/crafted.h";
    Outcome run = tessel("header '" + row.file + "' -o crafted.h");
    ASSERT_EQ(run.status, 0) << run.err;
    for (const std::string &name : row.leftOut) EXPECT_NE(run.err.find("`" + name + "`"), std::string::npos) << name;
    std::string text = readText(header);
    std::string base = row.file.substr(row.file.rfind('/') + 1);
    EXPECT_EQ(text.rfind("/* Generated by tessel header from " + base + ";", 0), 0u);  // no directory
    std::map<std::string, std::string> macros = defines(text);
    writeScratch("print.c", printer("crafted.h", macros));
    Outcome c = runIn("gcc -std=c89 -pedantic -Wall -Wextra -Werror print.c -o print_c && ./print_c");
    Outcome cxx = runIn("g++ -std=c++17 -Wall -Wextra -Werror -x c++ print.c -o print_cxx && ./print_cxx");
    ASSERT_EQ(c.status, 0) << c.err;
    ASSERT_EQ(cxx.status, 0) << cxx.err;
    EXPECT_EQ(c.out, cxx.out);

    // What the program printed against the library's look-ups over the table.
    std::map<std::string, std::string> printed;
    std::istringstream in(c.out);
    for (std::string line; std::getline(in, line);)
      printed[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
    author::Options options;
    options.checks = false;
    author::Analysis a = author::analyzeFile(row.file, options);
    std::vector<const char *> names;
    std::vector<int32_t> values;
    for (const author::EnumEntry &e : a.enums) names.push_back(e.name.c_str()), values.push_back(e.value);
    int count = (int)names.size();
    size_t numbers = 0;
    for (const std::string &name : a.enumNames) {
      if (row.leftOut.count(name)) {
        EXPECT_EQ(printed.count(name), 0u) << name;
        continue;
      }
      EXPECT_EQ(printed[name], std::to_string(FindKeywordValue(names.data(), values.data(), name.c_str(), count)));
      numbers++;
      if (row.noMessage.count(name)) {
        EXPECT_NE(run.err.find("`MSG_" + name + "` of ENUM name `" + name + "`"), std::string::npos);
        continue;
      }
      EXPECT_EQ(printed["MSG_" + name], std::to_string(FindKeyword(names.data(), name.c_str(), count))) << name;
      numbers++;
    }
    std::multiset<std::string> dialogs, expected;
    for (const auto &p : printed)
      if (p.second.compare(0, 2, "s:") == 0) dialogs.insert(p.second.substr(2));
    for (const author::Section &s : a.sections)
      if (s.loaded) expected.insert(hex(s.name));
    EXPECT_EQ(dialogs, expected);
    EXPECT_EQ(printed.size(), numbers + dialogs.size());  // nothing else
  }
}

TEST(Header, CheckAndBadInputs) {
  std::string dlg = writeScratch("check.dlg", "ENUM { eOk = 1, eCancel }\nname Main\nTEXT 0 5 2 0 2 F 0 () F x\n");
  ASSERT_NE(tessel("header check.dlg").out.find("#define eCancel 2\n"), std::string::npos);
  ASSERT_EQ(tessel("header check.dlg -o check.h").status, 0);
  std::string header = readText(scratchDir() + "/check.h");
  std::string changed = header;
  changed.replace(changed.find("eCancel 2"), 9, "eCancel 7");
  mkdir((scratchDir() + "/dir.dlg").c_str(), 0755);
  const struct {
    const char *onDisk;  // what check.h holds before the run; null: no such file
    std::string args;
    int status;
    const char *err;         // a piece of standard error
    const char *afterwards;  // what check.h holds after the run; null: no such file
  } rows[] = {
      // writing: standard output, -o and --output=, an existing file replaced
      {nullptr, "header check.dlg --output=check.h", 0, "", header.c_str()},
      {changed.c_str(), "header -o check.h check.dlg", 0, "", header.c_str()},
      // --check: equal, changed (the diff), missing
      {header.c_str(), "header check.dlg -o check.h --check", 0, "", header.c_str()},
      {changed.c_str(), "header check.dlg -o check.h --check", 1,
       "--- check.h\n+++ check.h (generated)\n@@ -12,7 +12,7 @@\n", changed.c_str()},
      {nullptr, "header check.dlg -o check.h --check", 1, "check.h: no such file", nullptr},
      // files that cannot be read: nothing written
      {nullptr, "header none.dlg -o check.h", 1, "tessel: none.dlg: cannot read the file: No such", nullptr},
      {nullptr, "header dir.dlg -o check.h", 1, "tessel: dir.dlg: cannot read the file: is a directory", nullptr},
      {nullptr, "header check.dlg/x.dlg -o check.h", 1, "cannot read the file: Not a directory", nullptr},
      {nullptr, "header check.dlg -o check.dlg", 1, "names the dialog file itself", nullptr},
      // bad usage
      {nullptr, "header", 2, "no dialog file given", nullptr},
      {nullptr, "header check.dlg check.dlg", 2, "one dialog file at a time", nullptr},
      {nullptr, "header check.dlg --check", 2, "--check compares with the -o file", nullptr},
      {nullptr, "check check.dlg -o x.h", 2, "-o belongs to header", nullptr},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.args);
    std::string path = scratchDir() + "/check.h";
    unlink(path.c_str());
    if (row.onDisk) writeScratch("check.h", row.onDisk);
    Outcome run = tessel(row.args);
    EXPECT_EQ(run.status, row.status);
    EXPECT_NE(run.err.find(row.err), std::string::npos) << run.err;
    EXPECT_EQ(access(path.c_str(), F_OK) == 0, row.afterwards != nullptr);
    if (row.afterwards) {
      EXPECT_EQ(readText(path), row.afterwards);
    }
  }
  EXPECT_EQ(readText(dlg).compare(0, 6, "ENUM {"), 0);  // -o check.dlg left it as it was
}

TEST(Header, UnifiedDiff) {
  const std::string ten = "1\n2\n3\n4\n5\n6\n7\n8\n9\n10\n";
  const struct {
    std::string before, after, diff;
  } rows[] = {
      {ten, ten, ""},
      {"", "a\nb\n", "@@ -0,0 +1,2 @@\n+a\n+b\n"},
      {"a\n", "", "@@ -1 +0,0 @@\n-a\n"},
      {"a\nb", "a\nb\n", "@@ -1,2 +1,2 @@\n a\n-b\n\\ No newline at end of file\n+b\n"},
      // one change: three lines of context each side, the removal first
      {ten, "1\n2\n3\n4\nfive\n6\n7\n8\n9\n10\n", "@@ -2,7 +2,7 @@\n 2\n 3\n 4\n-5\n+five\n 6\n 7\n 8\n"},
      // changes eight lines apart: two hunks; seven apart: one (a gap of six context lines)
      {ten, "one\n2\n3\n4\n5\n6\n7\n8\n9\nten\n",
       "@@ -1,4 +1,4 @@\n-1\n+one\n 2\n 3\n 4\n@@ -7,4 +7,4 @@\n 7\n 8\n 9\n-10\n+ten\n"},
      {ten, "1\n2\nthree\n4\n5\n6\n7\n8\n9\nten\n",
       "@@ -1,10 +1,10 @@\n 1\n 2\n-3\n+three\n 4\n 5\n 6\n 7\n 8\n 9\n-10\n+ten\n"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.after);
    std::string expected = row.diff.empty() ? "" : "--- old\n+++ new\n" + row.diff;
    EXPECT_EQ(author::unifiedDiff(row.before, row.after, "old", "new"), expected);
  }
}

}  // namespace
