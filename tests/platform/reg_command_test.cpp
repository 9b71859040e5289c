// `tessel reg` against a scratch store: the output and exit codes reg.exe
// gives for the same commands, round trips through export and import, the
// questions it asks, and one line on standard error for every bad argument.
#include <gtest/gtest.h>

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tessel/reg.h"

namespace {

int removeEntry(const char *path, const struct stat *, int, struct FTW *) { return remove(path); }

struct Outcome {
  int code;
  std::string out, err;
};

class RegCommand : public ::testing::Test {
 public:
  std::string dir;
  std::string savedRegistry;
  bool hadRegistry = false;

  void SetUp() override {
    char pattern[] = "/tmp/tessel-reg-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    const char *v = getenv("TESSEL_REGISTRY");
    hadRegistry = v != nullptr;
    if (v) savedRegistry = v;
    setenv("TESSEL_REGISTRY", file("registry.sqlite3").c_str(), 1);
  }
  void TearDown() override {
    nftw(dir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    if (hadRegistry) setenv("TESSEL_REGISTRY", savedRegistry.c_str(), 1);
    else unsetenv("TESSEL_REGISTRY");
  }
  std::string file(const std::string &name) const { return dir + "/" + name; }

  // Runs `reg args...` with input as its standard input.
  Outcome reg(std::vector<std::string> args, const std::string &input = "") {
    std::string inputFile = file("stdin.txt");
    FILE *in = fopen(inputFile.c_str(), "wb");
    fwrite(input.data(), 1, input.size(), in);
    fclose(in);
    EXPECT_NE(freopen(inputFile.c_str(), "rb", stdin), nullptr);
    args.insert(args.begin(), "reg");
    std::vector<char *> argv;
    for (std::string &a : args) argv.push_back(&a[0]);
    argv.push_back(nullptr);
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    Outcome run;
    run.code = regCommand((int)args.size(), argv.data());
    fflush(stdout);
    run.out = testing::internal::GetCapturedStdout();
    run.err = testing::internal::GetCapturedStderr();
    return run;
  }

  // Runs a command that must succeed quietly on standard error.
  std::string ok(const std::vector<std::string> &args, const std::string &input = "") {
    Outcome run = reg(args, input);
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.err, "");
    return run.out;
  }
};

const char kDone[] = "reg: The operation completed successfully\n";

std::string readAll(const std::string &path) {
  std::string text;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return text;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
  fclose(f);
  return text;
}

// ASCII text as the UTF-16LE of a .reg file, LF as CR LF, with the mark.
std::string utf16File(const std::string &text) {
  std::string bytes = "\xff\xfe";
  for (char c : text) {
    if (c == '\n') bytes += std::string("\r\0", 2);
    bytes += c;
    bytes += '\0';
  }
  return bytes;
}

// A key with one value of every kind add makes, as the tests below query it.
void fill(RegCommand *t) {
  const std::vector<std::vector<std::string>> adds = {
      {"add", "HKCU\\Software\\T1", "/v", "Num", "/t", "REG_DWORD", "/d", "2", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "Str", "/d", "hello world", "/f"},
      {"add", "HKCU\\Software\\T1", "/ve", "/d", "def", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "Bin", "/t", "REG_BINARY", "/d", "0a0B1c", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "Hex", "/t", "REG_DWORD", "/d", "0x1F", "/f"},
      {"add", "HKCU\\Software\\T1\\Sub", "/v", "X", "/d", "y", "/f"},
      {"add", "HKCU\\Software\\T1\\sub\\Deeper", "/v", "Q", "/t", "REG_QWORD", "/d", "5", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "Multi", "/t", "REG_MULTI_SZ", "/d", "a\\0b", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "Exp", "/t", "REG_EXPAND_SZ", "/d", "%PATH%x", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "None", "/t", "REG_NONE", "/d", "abc", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "Empty", "/f"},
      {"add", "HKCU\\Software\\T1", "/v", "_x", "/d", "u", "/f"},
  };
  for (const auto &args : adds) {
    SCOPED_TRACE(args[3]);
    EXPECT_EQ(t->ok(args), kDone);
  }
}

const char kQueryT1[] =
    "\n"
    "HKEY_CURRENT_USER\\Software\\T1\n"
    "    (Default)    REG_SZ    def\n"
    "    _x    REG_SZ    u\n"
    "    Bin    REG_BINARY    0A0B1C\n"
    "    Empty    REG_SZ    \n"
    "    Exp    REG_EXPAND_SZ    %PATH%x\n"
    "    Hex    REG_DWORD    0x1f\n"
    "    Multi    REG_MULTI_SZ    a\\0b\n"
    "    None    REG_NONE    6100620063000000\n"
    "    Num    REG_DWORD    0x2\n"
    "    Str    REG_SZ    hello world\n"
    "\n"
    "HKEY_CURRENT_USER\\Software\\T1\\Sub\n";

const char kQueryT1Tree[] =
    "\n"
    "HKEY_CURRENT_USER\\Software\\T1\n"
    "    (Default)    REG_SZ    def\n"
    "    _x    REG_SZ    u\n"
    "    Bin    REG_BINARY    0A0B1C\n"
    "    Empty    REG_SZ    \n"
    "    Exp    REG_EXPAND_SZ    %PATH%x\n"
    "    Hex    REG_DWORD    0x1f\n"
    "    Multi    REG_MULTI_SZ    a\\0b\n"
    "    None    REG_NONE    6100620063000000\n"
    "    Num    REG_DWORD    0x2\n"
    "    Str    REG_SZ    hello world\n"
    "\n"
    "HKEY_CURRENT_USER\\Software\\T1\\Sub\n"
    "    X    REG_SZ    y\n"
    "\n"
    "HKEY_CURRENT_USER\\Software\\T1\\Sub\\Deeper\n"
    "    Q    REG_QWORD    0x5\n"
    "\n";

TEST_F(RegCommand, QueryListsAsRegDoes) {
  fill(this);
  struct Row {
    std::vector<std::string> args;
    std::string out;
  };
  const Row rows[] = {
      {{"query", "HKCU\\Software\\T1"}, kQueryT1},
      {{"query", "HKEY_CURRENT_USER\\Software\\T1", "/s"}, kQueryT1Tree},
      // one value: the name as typed; the default value
      {{"query", "HKCU\\Software\\T1", "/v", "num"},
       "\nHKEY_CURRENT_USER\\Software\\T1\n    num    REG_DWORD    0x2\n\n"},
      {{"query", "HKCU\\Software\\T1", "/ve"}, "\nHKEY_CURRENT_USER\\Software\\T1\n    (Default)    REG_SZ    def\n\n"},
      {{"query", "HKCU\\Software\\T1\\Sub", "/ve"},
       "\nHKEY_CURRENT_USER\\Software\\T1\\Sub\n    (Default)    REG_SZ    (value not set)\n"},
      // searching the tree for a value
      {{"query", "HKCU\\Software\\T1", "/v", "x", "/s"},
       "\nHKEY_CURRENT_USER\\Software\\T1\\Sub\n    x    REG_SZ    y\n\n"
       "Search complete. Number of matches found: 1\n"},
      {{"query", "HKCU\\Software\\T1", "/v", "nope", "/s"}, "\nSearch complete. Number of matches found: 0\n"},
      // the path as typed, less a trailing separator
      {{"query", "hkcu\\software\\t1\\SUB\\"},
       "\nHKEY_CURRENT_USER\\software\\t1\\SUB\n    X    REG_SZ    "
       "y\n\nHKEY_CURRENT_USER\\software\\t1\\SUB\\Deeper\n"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.args[1] + (row.args.size() > 2 ? " " + row.args[2] : ""));
    EXPECT_EQ(ok(row.args), row.out);
  }
  ok({"add", "HKCU\\Software\\Bare", "/f"});
  ok({"delete", "HKCU\\Software\\Bare", "/ve", "/f"});
  EXPECT_EQ(ok({"query", "HKCU\\Software\\Bare"}), "\n") << "no header for a key without values";
  ok({"add", "HKCU\\Software\\Bare\\Child", "/f"});
  EXPECT_EQ(ok({"query", "HKCU\\Software\\Bare", "/s"}),
            "\nHKEY_CURRENT_USER\\Software\\Bare\\Child\n    (Default)    REG_SZ    \n\n");
}

TEST_F(RegCommand, AddConvertsData) {
  struct Row {
    const char *type, *data;
    const char *shown;
  };
  const Row rows[] = {
      {"REG_DWORD", "0xFFFFFFFF", "REG_DWORD    0xffffffff"},
      {"REG_DWORD", "010", "REG_DWORD    0xa"},  // decimal, not octal
      {"reg_dword", "", "REG_DWORD    0x0"},
      {"REG_DWORD", " +5", "REG_DWORD    0x5"},
      {"REG_QWORD", "18446744073709551615", "REG_QWORD    0xffffffffffffffff"},
      {"REG_BINARY", "abc", "REG_BINARY    0ABC"},  // an odd digit stands alone
      {"REG_BINARY", "", "REG_BINARY    "},
      {"REG_MULTI_SZ", "", "REG_MULTI_SZ    "},
      {"REG_NONE", "", "REG_NONE    0000"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(std::string(row.type) + " " + row.data);
    ASSERT_EQ(ok({"add", "HKCU\\Software\\Add", "/v", "v", "/t", row.type, "/d", row.data, "/f"}), kDone);
    EXPECT_EQ(ok({"query", "HKCU\\Software\\Add", "/v", "v"}),
              std::string("\nHKEY_CURRENT_USER\\Software\\Add\n    v    ") + row.shown + "\n\n");
  }
  ok({"add", "HKCU\\Software\\Add", "/v", "m", "/t", "REG_MULTI_SZ", "/s", "#", "/d", "a#b#", "/f"});
  EXPECT_EQ(ok({"query", "HKCU\\Software\\Add", "/v", "m"}),
            "\nHKEY_CURRENT_USER\\Software\\Add\n    m    REG_MULTI_SZ    a\\0b\n\n");
  // options in any case and with '-'
  EXPECT_EQ(ok({"ADD", "HKCU\\Software\\Add", "-V", "G", "/D", "5", "/T", "REG_DWORD", "-F"}), kDone);
}

TEST_F(RegCommand, ABareAddKeepsAnExistingDefault) {
  ok({"add", "HKCU\\Software\\Keep", "/ve", "/d", "kept", "/f"});
  EXPECT_EQ(ok({"add", "HKCU\\Software\\Keep", "/f"}), kDone);
  EXPECT_EQ(ok({"query", "HKCU\\Software\\Keep", "/ve"}),
            "\nHKEY_CURRENT_USER\\Software\\Keep\n    (Default)    REG_SZ    kept\n\n");
}

TEST_F(RegCommand, DeleteKeysAndValues) {
  fill(this);
  EXPECT_EQ(ok({"delete", "HKCU\\Software\\T1", "/v", "NUM", "/f"}), kDone);
  EXPECT_EQ(ok({"delete", "HKCU\\Software\\T1", "/ve", "/f"}), kDone);
  EXPECT_EQ(ok({"delete", "HKCU\\Software\\T1\\Sub", "/va", "/f"}), kDone);
  Outcome run = reg({"delete", "HKCU\\Software\\T1", "/v", "Num", "/f"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "reg: Unable to find the specified registry value\n");
  EXPECT_EQ(ok({"query", "HKCU\\Software\\T1\\Sub"}), "\nHKEY_CURRENT_USER\\Software\\T1\\Sub\\Deeper\n");
  EXPECT_EQ(ok({"delete", "HKCU\\Software\\T1", "/f"}), kDone);
  run = reg({"query", "HKCU\\Software\\T1"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "reg: Unable to find the specified registry key\n");
  EXPECT_EQ(ok({"query", "HKCU\\Software"}), "\n") << "only T1 was there";
}

TEST_F(RegCommand, QuestionsAndTheirAnswers) {
  ok({"add", "HKCU\\Software\\Ask", "/v", "a", "/d", "1", "/f"});
  const char kOverwrite[] = "The registry value 'a' already exists. Do you want to overwrite it? (Yes|No)";
  const char kCancelled[] = "reg: The registry operation was cancelled\n";
  struct Row {
    const char *input;
    std::string out;
    const char *after;
  };
  const Row rows[] = {
      {"n\n", std::string(kOverwrite) + kCancelled, "1"},
      {"", std::string(kOverwrite) + "\n" + kCancelled, "1"},  // no more input: No
      {"maybe\nYes\n", std::string(kOverwrite) + kOverwrite + kDone, "2"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.input);
    EXPECT_EQ(ok({"add", "HKCU\\Software\\Ask", "/v", "a", "/d", "2"}, row.input), row.out);
    EXPECT_EQ(ok({"query", "HKCU\\Software\\Ask", "/v", "a"}),
              std::string("\nHKEY_CURRENT_USER\\Software\\Ask\n    a    REG_SZ    ") + row.after + "\n\n");
  }
  EXPECT_EQ(ok({"delete", "HKCU\\Software\\Ask"}, "no\n"),
            std::string("Are you sure you want to delete the registry key 'HKEY_CURRENT_USER\\Software\\Ask'? "
                        "(Yes|No)") +
                kCancelled);
  EXPECT_EQ(ok({"delete", "HKCU\\Software\\Ask", "/v", "a"}, "y\n"),
            std::string("Are you sure you want to delete the registry value 'a'? (Yes|No)") + kDone);
  ok({"export", "HKCU\\Software\\Ask", file("ask.reg")});
  EXPECT_EQ(ok({"export", "HKCU\\Software\\Ask", file("ask.reg")}, "n\n"),
            "The file '" + file("ask.reg") + "' already exists. Do you want to overwrite it? (Yes|No)" + kCancelled);
}

TEST_F(RegCommand, ExportWritesARegFileAndImportReadsItBack) {
  fill(this);
  ok({"add", "hkcu\\software\\t1", "/v", "Long name with \"quote\" and \\back", "/t", "REG_BINARY", "/d",
      std::string(480, 'a').replace(1, 1, "b"), "/f"});
  ok({"add", "HKCU\\Software\\T1", "/v", "nl", "/d", "a\nb", "/f"});
  std::string before = ok({"query", "HKCU\\Software\\T1", "/s"});
  EXPECT_EQ(ok({"export", "HKCU\\Software\\T1", file("t1.reg")}), "") << "export is silent";

  std::string longLine = "\"Long name with \\\"quote\\\" and \\\\back\"=hex:ab,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,\\\n";
  std::string wrapped;
  for (int i = 0; i < 9; ++i)
    wrapped += "  aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,aa,\\\n";
  wrapped += "  aa,aa,aa\n";
  const std::string expected =
      "Windows Registry Editor Version 5.00\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\T1]\n"
      "@=\"def\"\n"
      "\"_x\"=\"u\"\n"
      "\"Bin\"=hex:0a,0b,1c\n"
      "\"Empty\"=\"\"\n"
      "\"Exp\"=hex(2):25,00,50,00,41,00,54,00,48,00,25,00,78,00,00,00\n"
      "\"Hex\"=dword:0000001f\n" +
      longLine + wrapped +
      "\"Multi\"=hex(7):61,00,00,00,62,00,00,00,00,00\n"
      "\"nl\"=\"a\\nb\"\n"
      "\"None\"=hex(0):61,00,62,00,63,00,00,00\n"
      "\"Num\"=dword:00000002\n"
      "\"Str\"=\"hello world\"\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\T1\\Sub]\n"
      "\"X\"=\"y\"\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\T1\\Sub\\Deeper]\n"
      "\"Q\"=hex(b):05,00,00,00,00,00,00,00\n"
      "\n";
  EXPECT_EQ(readAll(file("t1.reg")), utf16File(expected));

  ok({"delete", "HKCU\\Software\\T1", "/f"});
  EXPECT_EQ(ok({"import", file("t1.reg")}), "") << "import is silent";
  EXPECT_EQ(ok({"query", "HKCU\\Software\\T1", "/s"}), before);
}

TEST_F(RegCommand, ImportReadsRegedit4) {
  FILE *f = fopen(file("old.reg").c_str(), "wb");
  fputs(
      "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\T6]\r\n\"A\"=\"x\"\r\n\"B\"=dword:0000000a\r\n"
      "\"C\"=hex:01,02,\\\r\n  03\r\n@=\"d\"\r\n; a comment\r\n\"E\"=hex(2):41,42,00\r\n"
      "\"Bad\"=dword:zz\r\nnot a value line\r\n\"Open\"=\"no end\r\n\r\n"
      "[HKEY_CURRENT_USER\\Software\\T6\\S]\r\n\"Q\"=\"1\"\r\n[-HKEY_CURRENT_USER\\Software\\T6\\S]\r\n"
      "\"A\"=-\r\n[NOROOT\\x]\r\n\"Lost\"=\"1\"\r\n[HKEY_CURRENT_USER\\Software\\T6]\r\n\"B\"=-\r\n",
      f);
  fclose(f);
  Outcome run = reg({"import", file("old.reg")});
  EXPECT_EQ(run.code, 0) << "a key that cannot be imported is reported, not fatal";
  EXPECT_EQ(run.err, "reg: Unable to import the registry key 'NOROOT\\x'\n");
  EXPECT_EQ(ok({"query", "HKCU\\Software\\T6", "/s"}),
            "\nHKEY_CURRENT_USER\\Software\\T6\n"
            "    (Default)    REG_SZ    d\n"
            "    A    REG_SZ    x\n"
            "    C    REG_BINARY    010203\n"
            "    E    REG_EXPAND_SZ    AB\n"
            "\n");
}

TEST_F(RegCommand, HelpForEachOperation) {
  const char *const ops[] = {"add", "query", "delete", "import", "export"};
  for (const char *op : ops) {
    for (const char *ask : {"/?", "--help", "-?"}) {
      SCOPED_TRACE(std::string(op) + " " + ask);
      std::string out = ok({op, ask});
      std::string upper;
      for (const char *p = op; *p; ++p) upper += (char)(*p - 'a' + 'A');
      EXPECT_EQ(out.compare(0, 5 + upper.size(), "REG " + upper + " "), 0) << out;
    }
  }
  EXPECT_EQ(ok({"/?"}).compare(0, 6, "Usage:"), 0);
  EXPECT_EQ(ok({"--help"}).compare(0, 6, "Usage:"), 0);
}

TEST_F(RegCommand, BadArgumentsGiveOneLineAndExitCodeOne) {
  const char kAddSyntax[] = "Invalid syntax. Type \"REG ADD /?\" for help.";
  struct Row {
    std::vector<std::string> args;
    const char *line;
  };
  const std::string reg6 = file("six.reg");
  const Row rows[] = {
      // operations
      {{}, "Invalid syntax. Type \"REG /?\" for help."},
      {{"foo"}, "Invalid option [foo]. Type \"REG /?\" for help."},
      {{"add"}, kAddSyntax},
      {{"query"}, "Invalid syntax. Type \"REG QUERY /?\" for help."},
      {{"delete"}, "Invalid syntax. Type \"REG DELETE /?\" for help."},
      {{"import"}, "Invalid syntax. Type \"REG IMPORT /?\" for help."},
      {{"export", "HKCU\\Software"}, "Invalid syntax. Type \"REG EXPORT /?\" for help."},
      // options
      {{"add", "HKCU\\Software\\B", "/v"}, kAddSyntax},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/ve", "/f"}, kAddSyntax},
      {{"add", "HKCU\\Software\\B", "/x", "/f"}, kAddSyntax},
      {{"add", "HKCU\\Software\\B", "/f", "/f"}, kAddSyntax},
      {{"add", "HKCU\\Software\\B", "extra", "/f"}, kAddSyntax},
      {{"add", "HKCU\\Software\\B", "/v", "x", "/s", "##", "/t", "REG_MULTI_SZ", "/d", "a##b", "/f"}, kAddSyntax},
      {{"add", "HKCU\\Software\\B", "/?", "/f"}, kAddSyntax},
      {{"query", "HKCU\\Software", "/s", "/s"}, "Invalid syntax. Type \"REG QUERY /?\" for help."},
      {{"delete", "HKCU\\Software\\B", "/v", "a", "/va", "/f"}, "Invalid syntax. Type \"REG DELETE /?\" for help."},
      {{"import", "a.reg", "b.reg"}, "Invalid syntax. Type \"REG IMPORT /?\" for help."},
      // keys
      {{"add", "Software\\B", "/f"}, "Invalid system key"},
      {{"add", "HKXX\\Software\\B", "/f"}, "Invalid system key"},
      {{"add", "HKCUX\\Software", "/f"}, "Invalid system key"},
      {{"add", "HKCU\\", "/f"}, "Invalid system key"},
      {{"delete", "HKCU", "/f"}, "Invalid system key"},  // never a whole root
      {{"query", "HKCU\\Software\\Missing"}, "Unable to find the specified registry key"},
      {{"query", "HKCU\\\\Software"}, "Unable to find the specified registry key"},
      {{"delete", "HKCU\\Software\\Missing", "/va", "/f"}, "Unable to find the specified registry key"},
      {{"export", "HKCU\\Software\\Missing", reg6, "/y"}, "Unable to find the specified registry key"},
      // data
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_FOO", "/d", "1", "/f"},
       "Unsupported registry data type [REG_FOO]"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_DWORD", "/d", "abc", "/f"},
       "The option [/d] must be followed by a valid numeric value"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_DWORD", "/d", "4294967296", "/f"},
       "The option [/d] must be followed by a valid numeric value"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_DWORD", "/d", "-1", "/f"},
       "The option [/d] must be followed by a valid numeric value"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_DWORD", "/d", "0x", "/f"},
       "The option [/d] must be followed by a valid numeric value"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_QWORD", "/d", "18446744073709551616", "/f"},
       "The option [/d] must be followed by a valid numeric value"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_DWORD", "/f"}, "Invalid command line parameters"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_BINARY", "/d", "xyz0", "/f"},
       "The option [/d] must be followed by a valid hexadecimal value"},
      {{"add", "HKCU\\Software\\B", "/v", "a", "/t", "REG_MULTI_SZ", "/d", "a\\0\\0b", "/f"},
       "The option [/d] must be followed by a valid string"},
      // files
      {{"import", file("missing.reg")}, nullptr},
      {{"import", reg6}, nullptr},
      {{"export", "HKCU", file("no/dir/x.reg"), "/y"}, "Path not found."},
  };
  FILE *f = fopen(reg6.c_str(), "wb");
  fputs("garbage\n", f);
  fclose(f);
  ok({"add", "HKCU\\Software\\B", "/f"});
  for (const Row &row : rows) {
    std::string label;
    for (const std::string &a : row.args) label += a + " ";
    SCOPED_TRACE(label);
    Outcome run = reg(row.args);
    EXPECT_EQ(run.code, 1);
    if (row.line) {
      EXPECT_EQ(run.err, std::string("reg: ") + row.line + "\n");
    }
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
    EXPECT_EQ(run.out.find("reg:"), std::string::npos) << "failures go to standard error";
  }
  // nothing above wrote to the store
  EXPECT_EQ(ok({"query", "HKCU\\Software\\B"}), "\nHKEY_CURRENT_USER\\Software\\B\n    (Default)    REG_SZ    \n\n");
}

TEST_F(RegCommand, AStoreThatFailsGivesOneLine) {
  FILE *f = fopen(file("registry.sqlite3").c_str(), "wb");
  fputs(std::string(4096, 'x').c_str(), f);
  fclose(f);
  Outcome run = reg({"add", "HKCU\\Software\\C", "/v", "a", "/d", "1", "/f"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "reg: The configuration registry database is corrupt.\n");
  run = reg({"query", "HKCU\\Software\\C"});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, "reg: The configuration registry database is corrupt.\n");
}

}  // namespace
