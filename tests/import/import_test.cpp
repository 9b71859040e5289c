// tessel import end to end: C sources with item arrays in the host's record
// and in the helper record, imported; every dialog of the written file is
// loaded by the library and held field for field against the records gcc
// builds from the same source (a message number against the text the host
// gives for it). Then what the importer cannot translate, and sources that
// do not compile or hold no array: a finding or an error, and the -o file
// left as it was.
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "tests/author/author_test_support.h"
#include "tests/common/test_host.h"

namespace {

// Included by every source: the helper record, and SHOW(array), which in the
// printing program prints each item of the array as one line (nothing to the
// importer): name, index, the numbers, the selected state (h: and the hex of
// a history name) and the text (t: and its hex, or m: and a message number).
const char kPrelude[] = R"(#include <stdint.h>
#include <stdio.h>
#include "dialog/dialog.h"
struct InitDialogItem { int Type, X1, Y1, X2, Y2, Focus, Selected; unsigned Flags; int DefaultButton; const char *Data; };
#ifdef PRINT_ITEMS
static void hex(const char *p) { for (; *p; p++) printf("%02x", (unsigned char)*p); }
static void showHost(const char *name, const DialogItem *a, size_t n) {
  for (size_t i = 0; i < n; i++) {
    printf("%s %zu %d %d %d %d %d %d ", name, i, a[i].type, a[i].x1, a[i].y1, a[i].x2, a[i].y2, a[i].focus);
    if (a[i].selected > 65535) printf("h:"), hex((const char *)a[i].selected); else printf("%ld", (long)a[i].selected);
    printf(" %u %d t:", a[i].flags, a[i].defaultButton);
    hex(a[i].data);
    printf("\n");
  }
}
static void showInit(const char *name, const struct InitDialogItem *a, size_t n) {
  for (size_t i = 0; i < n; i++) {
    printf("%s %zu %d %d %d %d %d %d %d %u %d ", name, i, a[i].Type, a[i].X1, a[i].Y1, a[i].X2, a[i].Y2, a[i].Focus,
           a[i].Selected, a[i].Flags, a[i].DefaultButton);
    if ((uintptr_t)a[i].Data < 65536) printf("m:%d", (int)(uintptr_t)a[i].Data); else printf("t:"), hex(a[i].Data);
    printf("\n");
  }
}
#define SHOW(a) _Generic((a)[0], DialogItem: showHost, struct InitDialogItem: showInit)(#a, (a), sizeof(a) / sizeof(a)[0])
#else
#define SHOW(a)
#endif
)";

std::string hexOf(const char *text) {
  std::string out;
  char two[3];
  for (const unsigned char *p = (const unsigned char *)text; *p; p++) snprintf(two, sizeof two, "%02x", *p), out += two;
  return out;
}

const char *TS_HOSTAPI messageText(int, int number) {
  static std::map<int, std::string> texts;
  return texts.emplace(number, "#" + std::to_string(number)).first->second.c_str();
}

// The items of dialog name of file as the library loads them, printed as the
// C program prints its array; printed gives the C program's lines, so that a
// text the host gave for message N reads m:N where the C side has a number.
std::string loadedLines(const std::string &file, const std::string &name, const std::vector<std::string> &printed) {
  DialogData *d = LoadDialogEx(nullptr, -1, file.c_str(), name.c_str());
  if (!d) return "no dialog " + name + "\n";
  std::string lines;
  for (int i = 0; i < d->itemCount; i++) {
    const DialogItem &it = d->items[i];
    char numbers[128];
    snprintf(numbers, sizeof numbers, "%s %d %d %d %d %d %d %d ", name.c_str(), i, it.type, it.x1, it.y1, it.x2, it.y2,
             it.focus);
    lines += numbers + (d->strings[i] ? "h:" + hexOf(d->strings[i]) : std::to_string(it.selected));
    lines += " " + std::to_string(it.flags) + " " + std::to_string(it.defaultButton) + " ";
    bool message = (size_t)i < printed.size() && printed[(size_t)i].find(" m:") != std::string::npos;
    lines += (message && it.data[0] == '#' ? "m:" + std::string(it.data + 1) : "t:" + hexOf(it.data)) + "\n";
    EXPECT_EQ(d->ids[i], i) << name;  // an item's identifier is its index
  }
  FreeDialog(d);
  return lines;
}

struct Row {
  const char *what;
  const char *file;
  const char *source;  // after the prelude; defines show(), which SHOWs every array
  int status;
  std::vector<const char *> codes;    // findings' codes on standard error
  std::vector<const char *> written;  // pieces of the written file
  bool compare;                       // hold every dialog against the compiler's records
};

const Row kRows[] = {
    {"helper records: enum indexes, message numbers by enum and macro, flag expressions",
     "dlg.c",
     "enum { MTitle, MName, MCase, MOk, MCancel };\n#define MHelp 5\n#define DIF_DISABLE 0x80000u\n"
     "enum { eBox, eName, eEdit, eCase, eOk, eCancel, eCount };\n"
     "static struct InitDialogItem dlg[eCount] = {\n"
     "  {DI_DOUBLEBOX, 3, 1, 40, 8, 0, 0, 0, 0, (const char *)MTitle},\n"
     "  {DI_TEXT, 5, 2, 0, 2, 0, 0, DIF_BOXCOLOR | DIF_SETCOLOR | 0x1E, 0, (const char *)MName},\n"
     "  {DI_EDIT, 5, 3, 36, 3, 1, 0, DIF_EDITOR, 0, \"a_b\\\\c %x% ;d\\t\"},\n"
     "  [eCase] = {DI_CHECKBOX, 5, 4, 0, 4, 0, 1, DIF_GROUP | 0x7, 0, (const char *)MCase},\n"
     "  [eOk] = {DI_BUTTON, 0, 6, 0, 6, 0, 0, DIF_CENTERGROUP | DIF_DISABLE, 1, (const char *)MOk},\n"
     "  {DI_BUTTON, 0, 6, 0, 6, 0, 0, DIF_CENTERGROUP | DIF_NOBRACKETS, 0, (const char *)MHelp},\n};\n"
     "void show(void) {\n"
     "  static const struct InitDialogItem local[] = {{DI_RADIOBUTTON, 5, 2, 0, 2, 0, 1, DIF_COLORMASK, 0, \"%One\"},\n"
     "    {DI_RADIOBUTTON, 5, 3, 0, 3, 0, 0, 0, 0, (const char *)MCancel}};\n"
     "  SHOW(dlg); SHOW(local);\n}\n",
     0,
     {"import-flag-number"},
     {"ENUM {\n  MTitle = 0,", "%L% MHelp", "BUTTON eOk", "(DIF_CENTERGROUP+12)", "(DIF_BOXCOLOR+YELLOW+BK_BLUE)"},
     true},
    {"the host's record: designated fields, a history name, a text as characters, items left zero",
     "host.c",
     "#define HIST \"Names\"\n"
     "DialogItem host[5] = {\n"
     "  {DI_DOUBLEBOX, 3, 1, 30, 6, 0, 0, 0, 0, \"Host\" \"ed\"},\n"
     "  {.type = DI_EDIT, .x1 = 5, .y1 = 2, .x2 = 28, .y2 = 2, .selected = (intptr_t)HIST, .flags = DIF_HISTORY,\n"
     "   .data = \"two words\"},\n"
     "  {DI_BUTTON, 0, 4, 0, 4, 0, 0, DIF_CENTERGROUP, 1, {'O', 'k'}},\n"
     "  {12, 5, 3, 9, 3, 0, 0, 0, 0, \"say\\\"hi\\\"\\xe9\"},\n};\n"
     "void show(void) { SHOW(host); }\n",
     0,
     {"import-type-number"},
     {"\"Names\"", "say\"hi\""},
     true},
    {"message names that cannot stand at their numbers: a repeat, after a gap, past the table",
     "gaps.c",
     "enum { MA, MB, MC, MD = 2, ME = 5 };\n#define MBIG 120\n"
     "static const struct InitDialogItem gaps[] = {\n"
     "  {DI_TEXT, 1, 1, 9, 1, 0, 0, 0, 0, (const char *)MA}, {DI_TEXT, 1, 2, 9, 2, 0, 0, 0, 0, (const char *)MC},\n"
     "  {DI_TEXT, 1, 3, 9, 3, 0, 0, 0, 0, (const char *)MD}, {DI_TEXT, 1, 4, 9, 4, 0, 0, 0, 0, (const char *)ME},\n"
     "  {DI_TEXT, 1, 5, 9, 5, 0, 0, 0, 0, (const char *)MBIG},\n};\n"
     "void show(void) { SHOW(gaps); }\n",
     0,
     {"`MD` of gaps[2] is written as its number 2: `MC` has number 2 too",
      "`ME` of gaps[3] is written as its number 5: a message name stands at its number in the ENUM table, and no "
      "name has number 3",
      "`MBIG` of gaps[4] is written as its number 120"},
     {"%L% MA", "%L% MC", "%L% 2", "%L% 5", "%L% 120", "MC = 2\n}"},
     true},
    {"what no item line can give: a run-time text, a negative column, a state of 2, a line break, too much",
     "later.c",
     "const char *runtimeText(void);\n#define TEN \"0123456789\"\n"
     "static DialogItem big[600] = {{DI_TEXT, 1, 1, 1, 1, 0, 0, 0, 0, TEN TEN TEN TEN TEN TEN TEN TEN TEN TEN TEN "
     "TEN TEN TEN TEN TEN TEN TEN}};\n"
     "void show(void) {\n"
     "  struct InitDialogItem later[] = {{DI_TEXT, 5, 1, 0, 1, 0, 0, 0, 0, runtimeText()},\n"
     "    {DI_TEXT, -1, 2, 0, 2, 0, 2, 0, 0, \"two\\nlines\"}, {DI_EDIT, 10, 3, 4, 3, 0, 0, 0, 0, \"nULL\"}};\n"
     "  (void)later;\n}\n",
     0,
     {"import-not-constant", "import-out-of-reach", "import-too-many-items"},
     {"; later.c:6: the text of later[0] is not a constant (`runtimeText()`)", "the left column of later[1] is -1",
      "the selected state of later[1] is 2", "the text of later[1] cannot be written in a dialog file: it holds a line",
      "the right column of later[2] is 4", "the text of later[2] cannot be written",
      "the text of big[0] cannot be written in a dialog file: the fields of its item line take 217 bytes"},
     false},
    {"an unknown macro: the C front end's error, nothing written",
     "bad.c",
     "static struct InitDialogItem bad[] = {{DI_TEXT, 1, 1, 1, 1, 0, 0, DIF_UNKNOWN, 0, \"x\"}};\n",
     1,
     {"bad.c:2:67: error: use of undeclared identifier 'DIF_UNKNOWN'"},
     {},
     false},
    {"initialisers without braces around each item: the array left out",
     "flat.c",
     "DialogItem flat[2] = {DI_TEXT, 1, 1, 1, 1, 0, 0, 0, 0, \"x\", DI_TEXT, 1, 2, 1, 2, 0, 0, 0, 0, \"y\"};\n",
     1,
     {"flat.c:2:23: warning: the initialiser of flat is not a brace-enclosed list for each item (`DI_TEXT`)"},
     {},
     false},
    {"no array of items",
     "none.c",
     "int numbers[] = {1, 2};\nstruct Other { int a, b; } others[1];\n",
     1,
     {"import-no-arrays"},
     {},
     false},
};

TEST(Import, DialogsLoadAsTheCompilerBuildsTheArrays) {
  bool haveGcc = system("gcc --version >/dev/null 2>&1") == 0;
  writeScratch("prelude.h", kPrelude);
  StartupInfo info = testStartupRecord("import_test", 7, "", nullptr, nullptr, nullptr, messageText);
  TS_Init(info);
  const std::string include = std::string("-I'") + TESSEL_SOURCE_DIR + "'";
  for (const Row &row : kRows) {
    SCOPED_TRACE(row.what);
    std::string file = row.file;
    writeScratch(file, "#include \"prelude.h\"\n" + std::string(row.source));
    writeScratch("out.dlg", "old\n");
    TesselRun run = runTessel("import " + file + " -o out.dlg --force --cflag " + include, scratchDir());
    EXPECT_EQ(run.status, row.status) << run.err;
    for (const char *code : row.codes) EXPECT_NE(run.err.find(code), std::string::npos) << code << "\n" << run.err;
    std::string written = readWhole(scratchDir() + "/out.dlg");
    if (row.status != 0) {
      EXPECT_EQ(written, "old\n");  // nothing written over it
      continue;
    }
    for (const char *piece : row.written) EXPECT_NE(written.find(piece), std::string::npos) << piece << "\n" << written;
    TesselRun check = runTessel("check out.dlg", scratchDir());
    EXPECT_EQ(check.out.find("error:"), std::string::npos) << check.out;
    if (!row.compare) continue;
    if (!haveGcc) GTEST_SKIP() << "no gcc to build the arrays with";
    writeScratch("print.c", "#define PRINT_ITEMS\n#include \"" + file + "\"\nint main(void) { show(); return 0; }\n");
    TesselRun c = runShell("gcc -std=c11 -w " + include + " print.c -o print && ./print", scratchDir());
    ASSERT_EQ(c.status, 0) << c.err;
    std::map<std::string, std::vector<std::string>> printed;  // by array
    std::istringstream in(c.out);
    for (std::string line; std::getline(in, line);) printed[line.substr(0, line.find(' '))].push_back(line);
    ASSERT_FALSE(printed.empty());
    for (const auto &array : printed) {
      std::string expected;
      for (const std::string &line : array.second) expected += line + "\n";
      EXPECT_EQ(loadedLines(scratchDir() + "/out.dlg", array.first, array.second), expected);
    }
  }
}

TEST(Import, SeveralSourcesOnStandardOutput) {
  writeScratch("prelude.h", kPrelude);
  writeScratch("first.c",
               "#include \"prelude.h\"\nDialogItem items[1] = {{DI_TEXT, 1, 1, 9, 1, 0, 0, 0, 0, \"one\"}};\n");
  writeScratch(
      "second.cpp",
      "#include \"prelude.h\"\nstatic InitDialogItem items[] = {{DI_BUTTON, 1, 1, 9, 1, 0, 0, 0, 1, \"two\"}};\n");
  TesselRun run = runTessel("import first.c second.cpp -I '" + std::string(TESSEL_SOURCE_DIR) + "'", scratchDir());
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("; Dialogs of first.c and second.cpp,"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("name items\nTEXT 0 1 1 9 1 F 0 () F \"one\"\n"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("name items_2\nBUTTON 0 1 1 9 1 F 0 () T \"two\"\n"), std::string::npos) << run.out;
  EXPECT_EQ(run.err,
            "second.cpp:2:23: note: the dialog name `items` is taken by an earlier array: this one is `items_2` "
            "[import-dialog-name]\n");
}

TEST(Import, ExistingFileNeedsForce) {
  writeScratch("prelude.h", kPrelude);
  writeScratch("one.c", "#include \"prelude.h\"\nDialogItem one[1] = {{DI_TEXT, 1, 1, 1, 1, 0, 0, 0, 0, \"x\"}};\n");
  writeScratch("kept.dlg", "kept\n");
  TesselRun run =
      runTessel("import one.c -o kept.dlg --cflag -I'" + std::string(TESSEL_SOURCE_DIR) + "'", scratchDir());
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err, "tessel: kept.dlg exists: it is left as it is (give --force to replace it)\n");
  EXPECT_EQ(readWhole(scratchDir() + "/kept.dlg"), "kept\n");
}

}  // namespace
