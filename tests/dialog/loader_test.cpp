// The description file loader: the example file, sections and help lines,
// ENUM blocks, dialog names, the path rule and language modes through calling
// modules, failed allocations, hostile files, and the same loads through the
// library loaded by name. Whole dialogs are compared as one dump per item.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "tests/dialog/item_dump.h"
#include "tests/dialog/recording_host.h"

namespace {

// The POSIX registry store of this program: a fresh file, set before the
// first registry call, so no load reads a user's own store.
const bool kRegistryFile = [] {
  static char where[] = "TESSEL_REGISTRY=loader_test_registry.sqlite3";
  remove("loader_test_registry.sqlite3");
  return putenv(where) == 0;
}();

// ---- helpers ---------------------------------------------------------------

// Writes a file in the working directory byte for byte; returns its name.
std::string writeFile(const std::string &name, const std::string &content) {
  FILE *file = fopen(name.c_str(), "wb");
  EXPECT_NE(file, nullptr) << name;
  if (file) {
    fwrite(content.data(), 1, content.size(), file);
    fclose(file);
  }
  return name;
}

std::string withCrLf(const std::string &text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// The handle's fields in one line, then one line per item with its identifier.
std::vector<std::string> dumpDialog(const DialogData *d) {
  std::vector<std::string> lines;
  if (!d) return {"null"};
  char head[400];
  snprintf(head, sizeof head, "items %d width %d height %d help '%s' mode %d module %d last %d", (int)d->itemCount,
           (int)d->width, (int)d->height, d->helpTopic ? d->helpTopic : "(null)", (int)d->lngMode, (int)d->moduleNumber,
           (int)d->lastId);
  lines.push_back(head);
  for (int i = 0; i < d->itemCount; i++)
    lines.push_back("id " + std::to_string(d->ids[i]) + ": " + dumpItem(d->items[i], d->strings[i]));
  return lines;
}

// The enum table as "name=value ...".
std::string dumpEnums() {
  std::string out;
  for (int i = 0; i < enumCount; i++)
    out += (i ? " " : "") + std::string(enumNames[i]) + "=" + std::to_string(enumValues[i]);
  return out;
}

// The full text of the error box for a message.
std::string errorBox(int code, const std::string &text) {
  return "module 3 flags 3 help (null) buttons 2: Error (" + std::to_string(code) + ")|" + text + "|\\x01|Ok|Cancel";
}

const char kExampleConfig[] =
    "; Dialogs of a plug-in\n"
    "ENUM { MTitle, MName, MOk, MCancel }\n"
    "ENUM\n"
    "{\n"
    "  eName = 2,\n"
    "  eOk,\n"
    "  eCancel\n"
    "}\n"
    "\n"
    "name \"Config\"\n"
    "help ConfigTopic\n"
    "DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle\n"
    "TEXT 0 5 2 0 2 F 0 0 F %L% MName\n"
    "EDIT eName 5 3 36 3 T \"NameHistory\" DIF_HISTORY F %R% %HKCU% \"Settings\\Name\" NULL\n"
    "BUTTON eOk 0 6 0 6 F 0 (DIF_CENTERGROUP) T %L% MOk\n"
    "BUTTON eCancel 0 6 0 6 F 0 (DIF_CENTERGROUP) F %L% MCancel\n"
    "\n"
    "name \"About\"\n"
    "TEXT 0 5 2 0 2 F 0 0 F %V%\n";

// The example's Config dialog, for module number m and texts t0..t3 (the
// L items), and the identifier texts.
std::vector<std::string> configDump(int mode, int module, const std::string &t0, const std::string &t1,
                                    const std::string &t2, const std::string &t3) {
  char head[200];
  snprintf(head, sizeof head, "items 5 width 44 height 10 help 'ConfigTopic' mode %d module %d last 0", mode, module);
  return {head,
          "id 0: 3 3,1,40,8 focus 0 sel 0 flags 0xff default 0 '" + t0 + "'",
          "id 0: 0 5,2,0,2 focus 0 sel 0 flags 0xff default 0 '" + t1 + "'",
          "id 2: 4 5,3,36,3 focus 1 sel str\"NameHistory\" flags 0x40000 default 0 ''",
          "id 3: 7 0,6,0,6 focus 0 sel 0 flags 0x4000 default 1 '" + t2 + "'",
          "id 4: 7 0,6,0,6 focus 0 sel 0 flags 0x4000 default 0 '" + t3 + "'"};
}

std::string msg(int module, int number) { return "msg " + std::to_string(module) + ":" + std::to_string(number); }

// Every load starts from an initialised library whose own directory is the
// working directory, where the tests write their files.
class Loader : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)kRegistryFile;
    host.init(3);
    snprintf(savedDir, sizeof savedDir, "%s", tsModuleDir);
    tsModuleDir[0] = 0;
    plSetLastError(0);
  }
  void TearDown() override {
    snprintf(tsModuleDir, sizeof tsModuleDir, "%s", savedDir);
    tsClearEnums();
  }

  // Loads a dialog of a file written from content; returns its dump and frees it.
  std::vector<std::string> load(const std::string &content, const char *dialog, int module = 5) {
    writeFile("loader_tmp.dlg", content);
    DialogData *d = LoadDialogEx(nullptr, module, "loader_tmp.dlg", dialog);
    std::vector<std::string> dump = dumpDialog(d);
    FreeDialog(d);
    return dump;
  }

  // The dialog names of a file, as a caller lists them, at most limit of them.
  std::vector<std::string> names(const char *file, int limit = 8) {
    std::vector<std::string> out;
    char name[TS_TOKEN_ROOM] = "";
    for (int i = 0; i < limit; i++) {
      EnumDialog(nullptr, file, name);
      if (!name[0]) break;
      out.push_back(name);
    }
    return out;
  }

  RecordingHost host;
  char savedDir[TS_MODULE_DIR_SIZE];
};

using Lines = std::vector<std::string>;

// ---- the example file ---------------------------------------------------------

TEST_F(Loader, ExampleFile) {
  snprintf(tsModuleDir, sizeof tsModuleDir, "%s", TESSEL_TEST_DATA_DIR);
  DialogData *d = LoadDialogEx(nullptr, 5, "example.dlg", "Config");
  EXPECT_EQ(dumpDialog(d), configDump(0, 5, msg(5, 0), msg(5, 1), msg(5, 2), msg(5, 3)));
  FreeDialog(d);
  EXPECT_EQ(dumpEnums(), "MTitle=0 MName=1 MOk=2 MCancel=3 eName=2 eOk=3 eCancel=4");

  d = LoadDialogEx(nullptr, 5, "example.dlg", "About");
  EXPECT_EQ(dumpDialog(d), (Lines{"items 1 width 6 height 5 help 'Contents' mode 0 module 5 last 0",
                                  "id 0: 0 5,2,0,2 focus 0 sel 0 flags 0xff default 0 ' 1.00 '"}));
  FreeDialog(d);

  // Names compare case-sensitively; a miss shows nothing.
  EXPECT_EQ(LoadDialogEx(nullptr, 5, "example.dlg", "config"), nullptr);

  // LoadDialog uses the library's own module number.
  d = LoadDialog(nullptr, "example.dlg", "Config");
  EXPECT_EQ(dumpDialog(d), configDump(0, 3, msg(3, 0), msg(3, 1), msg(3, 2), msg(3, 3)));
  FreeDialog(d);
  EXPECT_EQ(host.messages, Lines{});

  EXPECT_EQ(names("example.dlg"), (Lines{"Config", "About"}));
}

TEST_F(Loader, CrLfFilesReadAsLf) {
  writeFile("loader_tmp_lf.dlg", kExampleConfig);
  writeFile("loader_tmp_crlf.dlg", withCrLf(kExampleConfig));
  for (const char *dialog : {"Config", "About"}) {
    SCOPED_TRACE(dialog);
    DialogData *lf = LoadDialogEx(nullptr, 5, "loader_tmp_lf.dlg", dialog);
    DialogData *crlf = LoadDialogEx(nullptr, 5, "loader_tmp_crlf.dlg", dialog);
    ASSERT_NE(lf, nullptr);
    EXPECT_EQ(dumpDialog(crlf), dumpDialog(lf));
    FreeDialog(lf);
    FreeDialog(crlf);
  }
  EXPECT_EQ(dumpEnums(), "MTitle=0 MName=1 MOk=2 MCancel=3 eName=2 eOk=3 eCancel=4");
  EXPECT_EQ(names("loader_tmp_crlf.dlg"), (Lines{"Config", "About"}));
  // Unterminated quotes end at the line end, which is not part of the text.
  writeFile("loader_tmp_crlf.dlg", withCrLf("name \"Open\nTEXT 0 1 1 1 1 F 0 () F %T% \"to the end\n"));
  EXPECT_EQ(names("loader_tmp_crlf.dlg"), Lines{"Open"});
  DialogData *d = LoadDialogEx(nullptr, 5, "loader_tmp_crlf.dlg", "Open");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(d->items[0].data, "to the end");
  FreeDialog(d);
  EXPECT_EQ(host.messages, Lines{});
}

// ---- sections, help lines and the dialog size ------------------------------------

TEST_F(Loader, SectionsAndHelpLines) {
  const std::string file =
      "name \"A\"\n"
      "help First\n"
      "TEXT 0 1 1 5 1 F 0 () F %T% one\n"
      "; anything else is ignored\n"
      "  HELP \"Second topic\"\n"
      "ENUM { eInner = 7 }\n"
      "TEXT eInner 1 2 5 2 F 0 () F %T% two\n"
      "name\tB\n"
      "TEXT 0 1 3 5 3 F 0 () F %T% three\n"
      "Name C\n"
      "helpTopic\n"
      "TEXT 0 2 2 10 4 F 0 () F %T% four\n"
      "names\n"
      "TEXT 0 2 2 10 4 F 0 () F %T% five\n";
  EXPECT_EQ(load(file, "A"), (Lines{"items 2 width 7 height 4 help 'Second topic' mode 0 module 5 last 0",
                                    "id 0: 0 1,1,5,1 focus 0 sel 0 flags 0x0 default 0 'one'",
                                    "id 7: 0 1,2,5,2 focus 0 sel 0 flags 0x0 default 0 'two'"}));
  // A tab after name is no header, though it ends the section before it.
  EXPECT_EQ(load(file, "B"), Lines{"null"});
  // helpTopic is a help line for Topic; names ends the section.
  EXPECT_EQ(load(file, "C"), (Lines{"items 1 width 13 height 7 help 'Topic' mode 0 module 5 last 0",
                                    "id 0: 0 2,2,10,4 focus 0 sel 0 flags 0x0 default 0 'four'"}));
  EXPECT_EQ(names("loader_tmp.dlg"), (Lines{"A", "C"}));
  // A section without item lines, and one that is not there: null, no message.
  EXPECT_EQ(load("name \"Empty\"\nhelp Nothing\n; no items\nname \"Next\"\n", "Empty"), Lines{"null"});
  EXPECT_EQ(load(file, "Z"), Lines{"null"});
  EXPECT_EQ(host.messages, Lines{});
}

TEST_F(Loader, DialogSize) {
  // No positive left column or top row: the size is the largest right
  // column and bottom row.
  EXPECT_EQ(load("name D\nTEXT 0 0 0 20 3 F 0 () F\nTEXT 0 0 0 7 9 F 0 () F\n", "D")[0],
            "items 2 width 20 height 9 help 'Contents' mode 0 module 5 last 0");
  // Widths and heights count as the columns and rows they give.
  EXPECT_EQ(load("name D\nDOUBLEBOX 0 4 6 30 3 F 0 () F\nEDIT 0 6 3 2 3 F 0 () F\n", "D")[0],
            "items 2 width 35 height 13 help 'Contents' mode 0 module 5 last 0");
  // Sizes beyond 32 bits saturate.
  EXPECT_EQ(load("name D\nTEXT 0 5 5 99999999999 2147483647 F 0 () F\n", "D")[0],
            "items 1 width 2147483647 height 2147483647 help 'Contents' mode 0 module 5 last 0");
}

TEST_F(Loader, AtMost512Items) {
  std::string file = "name \"Many\"\n";
  for (int i = 0; i < 513; i++)
    file += "TEXT " + std::to_string(i) + " 1 " + std::to_string(1 + i % 20) + " 10 1 F 0 () F %T% item" +
            std::to_string(i) + "\n";
  writeFile("loader_tmp.dlg", file);
  DialogData *d = LoadDialogEx(nullptr, 5, "loader_tmp.dlg", "Many");
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(d->itemCount, TS_MAX_ITEMS);
  EXPECT_EQ(d->ids[TS_MAX_ITEMS - 1], TS_MAX_ITEMS - 1);
  EXPECT_STREQ(d->items[TS_MAX_ITEMS - 1].data, "item511");
  EXPECT_EQ(GetNumById(d, 512, 0), -1);
  FreeDialog(d);
}

// ---- ENUM blocks -------------------------------------------------------------------

TEST_F(Loader, EnumBlocks) {
  struct Row {
    const char *content;
    const char *table;
  };
  static const Row rows[] = {
      // values count on from 0; an explicit value restarts the count
      {"ENUM { One, Five = 5, Six, Two = 2, Three }\n", "One=0 Five=5 Six=6 Two=2 Three=3"},
      {"ENUM { A = -3, B }\n", "A=-3 B=-2"},
      {"ENUM { A B C }\n", "A=0 B=1 C=2"},
      {"enum{{{ A_1, 2b }\n", "A_1=0 2b=1"},
      // every block counts from 0 again
      {"ENUM {A, B}\nENUM {C, D}\n", "A=0 B=1 C=0 D=1"},
      // the block may follow on later lines
      {"ENUM\n\n  {\n  A,\n  B\n  }\n", "A=0 B=1"},
      // ENUM counts only in the first column; a blank line before it is no matter
      {" ENUM { A }\n", ""},
      {"\nENUM { A }\n", "A=0"},
      // a line of a single word swallows the next line
      {"Title\nENUM { A }\n", ""},
      {"Title words\nENUM { A }\n", "A=0"},
      // the rest of a block's last line is not read
      {"ENUM { A } ENUM { B }\n", "A=0"},
      // comments; a short one also swallows the next line
      {"ENUM {\n A, ; first\n B ; second\n}\n", "A=0 B=1"},
      {"ENUM {\n A,\n ;\n B,\n C\n}\n", "A=0 C=1"},
      {"ENUM {\n A,\n ;x\n B,\n C\n}\n", "A=0 C=1"},
      // whatever follows the last entry is skipped up to the closing brace
      {"ENUM { A, -B, C }\nENUM { D }\n", "A=0 D=0"},
      {"ENUM { A = , B }\n", "A=0 B=1"},
      {"ENUM { A = -, B }\n", "A=0 B=1"},
      // huge values saturate, and so does counting on from them
      {"ENUM { A = 99999999999, B, C = -99999999999, D, E = 0000000000000000000000007, F = 000 }\n",
       "A=2147483647 B=2147483647 C=-2147483648 D=-2147483647 E=7 F=0"},
      {"ENUM { A = 2147483646, B, C }\n", "A=2147483646 B=2147483647 C=2147483647"},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.content);
    load(std::string(r.content) + "name D\nTEXT 0 1 1 1 1 F 0 () F\n", "D");
    EXPECT_EQ(dumpEnums(), r.table);
  }
  // A NUL byte ends the entries of its block like any other stray character.
  static const char withNul[] = "ENUM { A, B\0C, D }\nENUM { E }\nname D\nTEXT 0 1 1 1 1 F 0 () F\n";
  load(std::string(withNul, sizeof withNul - 1), "D");
  EXPECT_EQ(dumpEnums(), "A=0 B=1 E=0");
  EXPECT_EQ(host.messages, Lines{});
}

TEST_F(Loader, EnumBlockErrors) {
  // A missing opening brace: the entries are read all the same.
  EXPECT_EQ(load("ENUM\n  eA, eB }\nname D\nTEXT eB 1 1 1 1 F 0 () F\n", "D")[1],
            "id 1: 0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''");
  EXPECT_EQ(dumpEnums(), "eA=0 eB=1");
  EXPECT_EQ(host.messages, Lines{errorBox(0, "Enum error")});
  host.messages.clear();

  // A file that ends inside a block: the entries read so far stay and the
  // load goes on.
  EXPECT_EQ(load("name D\nTEXT eB 1 1 1 1 F 0 () F\nENUM { eA = 5, eB", "D")[1],
            "id 6: 0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 ''");
  EXPECT_EQ(dumpEnums(), "eA=5 eB=6");
  EXPECT_EQ(host.messages, Lines{errorBox(0, "Enum closing error")});
  host.messages.clear();

  // Both, with a block cut off after its keyword.
  load("name D\nTEXT 0 1 1 1 1 F 0 () F\nENUM", "D");
  EXPECT_EQ(dumpEnums(), "");
  EXPECT_EQ(host.messages, (Lines{errorBox(0, "Enum error"), errorBox(0, "Enum closing error")}));
}

TEST_F(Loader, AtMost100EnumEntries) {
  std::string file = "ENUM {";
  for (int i = 0; i < 101; i++) file += " e" + std::to_string(i) + ",";
  file += " }\nENUM { late }\nname D\nTEXT e99 1 1 1 1 F 0 () F\nTEXT e100 1 1 1 1 F 0 () F\n";
  Lines dump = load(file, "D");
  EXPECT_EQ(enumCount, TS_MAX_ENUMS);
  EXPECT_EQ(enumValues[TS_MAX_ENUMS - 1], 99);
  ASSERT_EQ(dump.size(), 3u);
  EXPECT_EQ(dump[1].substr(0, 6), "id 99:");
  EXPECT_EQ(dump[2].substr(0, 6), "id -1:");
  EXPECT_EQ(host.messages, Lines{});
}

TEST_F(Loader, LongEnumNames) {
  // A name longer than any field is one entry: the entries after it keep
  // their values.
  std::string name(300, 'n');
  load("ENUM { " + name + ", B }\nname D\nTEXT B 1 1 1 1 F 0 () F\n", "D");
  ASSERT_EQ(enumCount, 2);
  EXPECT_EQ(strlen(enumNames[0]), 255u);
  EXPECT_STREQ(enumNames[1], "B");
  EXPECT_EQ(enumValues[1], 1);
}

TEST_F(Loader, EnumTableIsRebuiltByEveryLoad) {
  load("ENUM { A, B }\nname D\nTEXT B 1 1 1 1 F 0 () F\n", "D");
  EXPECT_EQ(dumpEnums(), "A=0 B=1");
  // A file without blocks empties it, even when the dialog is not found.
  load("name D\nTEXT B 1 1 1 1 F 0 () F\n", "Other");
  EXPECT_EQ(dumpEnums(), "");
}

// ---- selected names and texts by table position --------------------------------

TEST_F(Loader, PositionsAndValues) {
  // Values restart in the second block; positions count on.
  Lines dump = load(
      "ENUM { MFirst, MSecond }\nENUM { eA = 10, eB }\nname D\n"
      "EDIT eB 1 1 9 1 F eB () F %L% eA\n",
      "D");
  EXPECT_EQ(dump[1], "id 11: 4 1,1,9,1 focus 0 sel host\"msg 5:3\" flags 0x0 default 0 'msg 5:2'");
}

// ---- dialog names -------------------------------------------------------------------

TEST_F(Loader, EnumDialogNames) {
  writeFile("loader_tmp.dlg",
            "name \"Select Dialog\"\n"
            "NAME Settings\n"
            "  Name a_b\\c tail\n"
            "name\tNotAHeader\n"
            "named x\n"
            "name \"Contents\n");
  EXPECT_EQ(names("loader_tmp.dlg"), (Lines{"Select Dialog", "Settings", "a_b\\c", "Contents"}));
  // A name in no header gives the empty name.
  char name[TS_TOKEN_ROOM] = "Nowhere";
  EXPECT_EQ(EnumDialog(nullptr, "loader_tmp.dlg", name), name);
  EXPECT_STREQ(name, "");
  // One name heading two sections makes the names cycle.
  writeFile("loader_tmp.dlg", "name A\nname B\nname A\nname C\n");
  EXPECT_EQ(names("loader_tmp.dlg", 5), (Lines{"A", "B", "A", "B", "A"}));
  // A name longer than a field is cut to one; loading by the cut name works.
  writeFile("loader_tmp.dlg", "name " + std::string(400, 'w') + "\nTEXT 0 1 1 1 1 F 0 () F\n");
  Lines listed = names("loader_tmp.dlg");
  ASSERT_EQ(listed.size(), 1u);
  EXPECT_EQ(listed[0], std::string(TS_TOKEN_ROOM - 1, 'w'));
  DialogData *d = LoadDialogEx(nullptr, 5, "loader_tmp.dlg", listed[0].c_str());
  EXPECT_NE(d, nullptr);
  FreeDialog(d);
  EXPECT_EQ(host.messages, Lines{});
}

// ---- failures ----------------------------------------------------------------------------

TEST_F(Loader, RefusedAndMissing) {
  writeFile("loader_tmp.dlg", kExampleConfig);
  EXPECT_EQ(LoadDialogEx(nullptr, 5, nullptr, "Config"), nullptr);
  EXPECT_EQ(LoadDialogEx(nullptr, 5, "", "Config"), nullptr);
  EXPECT_EQ(LoadDialogEx(nullptr, 5, "loader_tmp.dlg", nullptr), nullptr);
  EXPECT_EQ(LoadDialogEx(nullptr, 5, "loader_tmp.dlg", ""), nullptr);
  EXPECT_EQ(EnumDialog(nullptr, nullptr, nullptr), nullptr);
  EXPECT_EQ(host.messages, Lines{});

  remove("loader_tmp_missing.dlg");
  EXPECT_EQ(LoadDialogEx(nullptr, 5, "loader_tmp_missing.dlg", "Config"), nullptr);
  char name[TS_TOKEN_ROOM] = "Config";
  EXPECT_EQ(EnumDialog(nullptr, "loader_tmp_missing.dlg", name), name);
  EXPECT_STREQ(name, "Config");
  EXPECT_EQ(host.messages, (Lines{errorBox(PL_ERROR_FILE_NOT_FOUND, "loader_tmp_missing.dlg"),
                                  errorBox(PL_ERROR_FILE_NOT_FOUND, "loader_tmp_missing.dlg")}));
}

// Makes the allocation numbered failAt (from 0) of the library fail.
int allocations = 0;
int failAt = -1;
void *failingAllocate(size_t size) {
  if (allocations++ == failAt) return nullptr;
  return malloc(size);
}

TEST_F(Loader, FailedAllocations) {
  // The allocations of this load, in order: the quoted text, the handle, the
  // items, the identifiers, the string array, the help topic.
  writeFile("loader_tmp.dlg",
            "name D\nhelp Topic\nEDIT 7 1 1 10 1 F \"History\" () F %T% x\nTEXT 8 1 2 10 2 F 0 () F %T% y\n");
  struct Row {
    int failAt;
    const char *message;  // null: the load succeeds
  };
  static const Row rows[] = {
      {1, "pData don't allocated"}, {2, "Items copy"}, {3, "Ids copy error"},
      {4, "Strs copy error"},       {5, "StrDup"},     {0, nullptr},
  };
  void *(*saved)(size_t) = tsAllocate;
  for (const Row &r : rows) {
    SCOPED_TRACE(r.failAt);
    host.messages.clear();
    allocations = 0;
    failAt = r.failAt;
    tsAllocate = failingAllocate;
    DialogData *d = LoadDialogEx(nullptr, 5, "loader_tmp.dlg", "D");
    tsAllocate = saved;
    if (r.message) {
      EXPECT_EQ(d, nullptr);
      EXPECT_EQ(host.messages, Lines{errorBox(0, r.message)});
    } else {
      // The quoted text could not be copied: no history name, the rest loads.
      EXPECT_EQ(dumpDialog(d), (Lines{"items 2 width 12 height 4 help 'Topic' mode 0 module 5 last 0",
                                      "id 7: 4 1,1,10,1 focus 0 sel 0 flags 0x0 default 0 'x'",
                                      "id 8: 0 1,2,10,2 focus 0 sel 0 flags 0x0 default 0 'y'"}));
      EXPECT_EQ(host.messages, Lines{});
    }
    FreeDialog(d);
    for (int i = 0; i < TS_MAX_ITEMS; i++) ASSERT_EQ(scratchStrings[i], nullptr) << "slot " << i;
  }

  // A name that cannot be copied ends its block.
  host.messages.clear();
  allocations = 0;
  failAt = 1;
  tsAllocate = failingAllocate;
  Lines dump = load("ENUM { A, B, C }\nENUM { E }\nname D\nTEXT E 1 1 1 1 F 0 () F\n", "D");
  tsAllocate = saved;
  EXPECT_EQ(dumpEnums(), "A=0 E=0");
  EXPECT_EQ(host.messages, Lines{errorBox(0, "StrDup")});
}

TEST_F(Loader, OwnedStringsAcrossLoads) {
  const char *file = "name D\nEDIT 1 1 1 10 1 F \"One\" () F\nEDIT 2 1 2 10 2 F \"Two\" () F\n";
  writeFile("loader_tmp.dlg", file);
  DialogData *first = LoadDialogEx(nullptr, 5, "loader_tmp.dlg", "D");
  DialogData *second = LoadDialogEx(nullptr, 5, "loader_tmp.dlg", "D");
  ASSERT_TRUE(first && second);
  EXPECT_NE(first->strings[0], second->strings[0]);
  EXPECT_EQ((char *)first->items[1].selected, first->strings[1]);
  // A load that finds nothing, then one with fewer items, reuse the slots.
  EXPECT_EQ(LoadDialogEx(nullptr, 5, "loader_tmp.dlg", "None"), nullptr);
  writeFile("loader_tmp.dlg", "name D\nEDIT 1 1 1 10 1 F 0 () F\n");
  DialogData *third = LoadDialogEx(nullptr, 5, "loader_tmp.dlg", "D");
  ASSERT_NE(third, nullptr);
  EXPECT_EQ(third->strings[0], nullptr);
  FreeDialog(first);
  EXPECT_STREQ(second->strings[1], "Two");
  FreeDialog(second);
  FreeDialog(third);
}

// ---- hostile files --------------------------------------------------------------------

TEST_F(Loader, HostileFiles) {
  // Lines far longer than the line buffer are read in pieces; none of these
  // pieces is an item line.
  std::string file = "name D\n; " + std::string(5000, 'x') + "\nTEXT 1 1 1 1 1 F 0 () F %T% " + std::string(3000, 'y') +
                     "\nTEXT 2 1 2 1 2 F 0 () F %T% after\n";
  Lines dump = load(file, "D");
  ASSERT_EQ(dump.size(), 3u);
  EXPECT_EQ(dump[1], "id 1: 0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 '" +
                         std::string(TS_TOKEN_ROOM - 1 - strlen("TEXT 1 1 1 1 1 F 0  F T HKCU "), 'y') + "'");
  EXPECT_EQ(dump[2], "id 2: 0 1,2,1,2 focus 0 sel 0 flags 0x0 default 0 'after'");

  // NUL bytes end what a line says.
  static const char withNul[] = "name D\nTEXT 1 1 1 1 1 F 0 () F %T% ab\0cd\nTEXT 2 1 2 1 2 F 0 () F %T% ef\n";
  dump = load(std::string(withNul, sizeof withNul - 1), "D");
  EXPECT_EQ(dump, (Lines{"items 2 width 3 height 4 help 'Contents' mode 0 module 5 last 0",
                         "id 1: 0 1,1,1,1 focus 0 sel 0 flags 0x0 default 0 'ab'",
                         "id 2: 0 1,2,1,2 focus 0 sel 0 flags 0x0 default 0 'ef'"}));

  // A file cut inside a quote, and one of nothing but line ends and braces.
  EXPECT_EQ(load("name D\nEDIT 1 1 1 10 1 F \"His", "D"), Lines{"null"});
  EXPECT_EQ(load("\n\n{{{}}}\n\r\r\n;", "D"), Lines{"null"});
  EXPECT_EQ(load("", "D"), Lines{"null"});
  EXPECT_EQ(host.messages, Lines{});
}

// ---- calling modules: the path rule and the language mode --------------------------

HMODULE module(const char *name) {
  static HMODULE lngmode = plLoadLibrary(LOADER_MODULE_DIR "lngmode.mod");
  static HMODULE plain = plLoadLibrary(LOADER_MODULE_DIR "plain.mod");
  return strcmp(name, "lngmode") == 0 ? lngmode : plain;
}

typedef void (*SetTestLngModeFn)(int);
typedef int (*TestLngModeCallsFn)(void);

TEST_F(Loader, LanguageModesFromTheCallingModule) {
  HMODULE calling = module("lngmode");
  ASSERT_NE(calling, nullptr) << LOADER_MODULE_DIR "lngmode.mod";
  auto setMode = (SetTestLngModeFn)plFindExport(calling, "SetTestLngMode");
  auto calls = (TestLngModeCallsFn)plFindExport(calling, "TestLngModeCalls");
  ASSERT_TRUE(setMode && calls);
  struct Row {
    int mode;
    Lines dump;
  };
  const Row rows[] = {
      {0, configDump(0, 7, msg(7, 0), msg(7, 1), msg(7, 2), msg(7, 3))},
      {1, configDump(1, 7, "MTitle", "MName", "MOk", "MCancel")},
      {2, configDump(2, 7, "0", "0", "eOk", "eCancel")},
      {3, configDump(3, 7, msg(7, 0), msg(7, 1), msg(7, 2), msg(7, 3))},
  };
  for (const Row &r : rows) {
    SCOPED_TRACE(r.mode);
    setMode(r.mode);
    // A relative name is found in the calling module's directory.
    DialogData *d = LoadDialogEx(calling, 7, "example.dlg", "Config");
    EXPECT_EQ(dumpDialog(d), r.dump);
    EXPECT_EQ(calls(), 1);
    FreeDialog(d);
  }
  // EnumDialog uses the module's directory too, and never asks for the mode.
  setMode(0);
  char name[TS_TOKEN_ROOM] = "";
  EXPECT_STREQ(EnumDialog(calling, "example.dlg", name), "Config");
  EXPECT_EQ(calls(), 0);
  EXPECT_EQ(host.messages, Lines{});
}

TEST_F(Loader, PathRule) {
  HMODULE calling = module("lngmode");
  HMODULE plain = module("plain");
  ASSERT_TRUE(calling && plain);
  ((SetTestLngModeFn)plFindExport(calling, "SetTestLngMode"))(0);
  // A module without SetLngMode loads in mode 0, from its directory.
  DialogData *d = LoadDialogEx(plain, 7, "example.dlg", "Config");
  EXPECT_EQ(dumpDialog(d), configDump(0, 7, msg(7, 0), msg(7, 1), msg(7, 2), msg(7, 3)));
  FreeDialog(d);
  // An absolute name is used unchanged, with or without a module.
  d = LoadDialogEx(calling, 7, TESSEL_TEST_DATA_DIR "example.dlg", "About");
  EXPECT_NE(d, nullptr);
  FreeDialog(d);
  d = LoadDialogEx(nullptr, 7, TESSEL_TEST_DATA_DIR "example.dlg", "About");
  EXPECT_NE(d, nullptr);
  FreeDialog(d);
  // Without a module a relative name is found in the library's directory.
  snprintf(tsModuleDir, sizeof tsModuleDir, "%s", LOADER_MODULE_DIR);
  d = LoadDialogEx(nullptr, 7, "example.dlg", "About");
  EXPECT_NE(d, nullptr);
  FreeDialog(d);
  EXPECT_EQ(host.messages, Lines{});
  // With a module, a relative name is not looked for anywhere else.
  writeFile("loader_tmp_only_here.dlg", "name D\nTEXT 0 1 1 1 1 F 0 () F\n");
  tsModuleDir[0] = 0;
  EXPECT_EQ(LoadDialogEx(calling, 7, "loader_tmp_only_here.dlg", "D"), nullptr);
  EXPECT_EQ(host.messages, Lines{errorBox(PL_ERROR_FILE_NOT_FOUND, LOADER_MODULE_DIR "loader_tmp_only_here.dlg")});
}

// ---- through the library loaded by name ------------------------------------------------

TEST_F(Loader, ThroughTheLoadedLibrary) {
  HMODULE library = plLoadLibrary(TESSEL_TEST_BIN_DIR "Dialog.tsl");
  ASSERT_NE(library, nullptr);
  HMODULE calling = module("lngmode");
  ASSERT_NE(calling, nullptr);
  auto init = (TS_InitFn)plFindExport(library, "TS_Init");
  auto loadEx = (LoadDialogExFn)plFindExport(library, "LoadDialogEx");
  auto loadDialog = (LoadDialogFn)plFindExport(library, "LoadDialog");
  auto enumDialog = (EnumDialogFn)plFindExport(library, "EnumDialog");
  auto itemData = (GetItemDataFn)plFindExport(library, "GetItemData");
  auto itemAddr = (GetItemAddrFn)plFindExport(library, "GetItemAddr");
  auto freeDialog = (FreeDialogFn)plFindExport(library, "FreeDialog");
  ASSERT_TRUE(init && loadEx && loadDialog && enumDialog && itemData && itemAddr && freeDialog);
  host.startup.moduleNumber = 3;
  init(host.startup);

  ((SetTestLngModeFn)plFindExport(calling, "SetTestLngMode"))(1);
  DialogData *d = loadDialog(calling, "example.dlg", "Config");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(itemData(d, 3), "MOk");
  EXPECT_STREQ((const char *)itemAddr(d, 2)->selected, "NameHistory");
  EXPECT_EQ(itemAddr(d, 2)->flags, DIF_HISTORY);
  freeDialog(d);

  ((SetTestLngModeFn)plFindExport(calling, "SetTestLngMode"))(0);
  d = loadEx(calling, 9, "example.dlg", "Config");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(itemData(d, 4), "msg 9:3");
  freeDialog(d);
  d = loadEx(nullptr, 9, TESSEL_TEST_DATA_DIR "example.dlg", "About");
  ASSERT_NE(d, nullptr);
  EXPECT_STREQ(itemData(d, 0), " 1.00 ");
  freeDialog(d);

  char name[TS_TOKEN_ROOM] = "Config";
  EXPECT_STREQ(enumDialog(calling, "example.dlg", name), "About");
  EXPECT_EQ(loadEx(calling, 9, "missing.dlg", "Config"), nullptr);
  EXPECT_EQ(host.messages, Lines{errorBox(PL_ERROR_FILE_NOT_FOUND, LOADER_MODULE_DIR "missing.dlg")});
}

}  // namespace
