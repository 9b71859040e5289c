// Hostile description files against the loader: over-long lines and names,
// missing final line ends, NUL, CR and end-of-file bytes, binary garbage,
// too many items, entries and dialogs, numbers past 32 bits, unterminated
// groups and blocks, files that are directories, unreadable or gone between
// two calls. Every row states its whole result: the error boxes shown, the
// handle (or null) with its items, the enum table, the names listed. The big
// files are generated once per run into a directory of their own.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "tests/dialog/item_dump.h"
#include "tests/dialog/recording_host.h"
#include "unreadable.h"

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

// The POSIX registry store of this program: a file of its own, never the
// user's (Windows uses its registry and ignores the variable).
const bool kRegistryFile = [] {
  static char where[] = "TESSEL_REGISTRY=hostile_files_registry.sqlite3";
  remove("hostile_files_registry.sqlite3");
  return putenv(where) == 0;
}();

constexpr int kModule = 5;       // the module number every load asks for
constexpr int kHostModule = 3;   // the library's own, which its error boxes carry
constexpr int kListLimit = 200;  // EnumDialog calls of one listing at most

// ---- generated files ----------------------------------------------------------

const std::string kRunDir = "hostile_files-run/";

std::string runPath(const std::string &name) { return kRunDir + name; }

// One item line of type TEXT with an identifier, a row and a literal text.
std::string textItem(const std::string &id, int row, const std::string &text) {
  return "TEXT " + id + " 1 " + std::to_string(row) + " 5 " + std::to_string(row) + " F 0 () F %T% " + text + "\n";
}

std::string withoutLineEnd(std::string line) {
  if (!line.empty() && line.back() == '\n') line.pop_back();
  return line;
}

// Bytes from a fixed linear congruential sequence, the same on every platform;
// with noEofMark no byte is 0x1A, so a text-mode reader sees all of them.
std::string garbage(size_t size, uint32_t seed, bool noEofMark) {
  std::string bytes(size, 0);
  for (size_t i = 0; i < size; i++) {
    seed = seed * 1103515245u + 12345u;
    char c = (char)(seed >> 16);
    if (noEofMark && c == 0x1A) c = 0x1B;
    bytes[i] = c;
  }
  return bytes;
}

const std::string kName199(199, 'a');
const std::string kName1000(1000, 'b');
const std::string kUnderscores199(199, '_');
const std::string k30Digits(30, '9');

struct HostileFile {
  const char *name;
  std::string content;
};

std::vector<HostileFile> makeFiles() {
  std::vector<HostileFile> files;
  const std::string pad998(998, 'x');

  files.push_back({"long_lines.dlg", "name D\n" + textItem("1", 1, "first") + ";" + pad998 +
                                         textItem("2", 2, "smuggled") + textItem("3", 3, std::string(3000, 'y')) + ";" +
                                         pad998 + "name E\n" + textItem("4", 1, "inE")});
  files.push_back({"no_final_newline.dlg", "name D\n" + withoutLineEnd(textItem("1", 1, "last"))});
  files.push_back({"no_final_newline_header.dlg", "name D\n" + textItem("1", 1, "x") + "name \"E"});

  static const char nul[] =
      "name A\0B\n"
      "TEXT 1 1 1 5 1 F 0 () F %T% x\0y\n"
      "TEXT 2 1 2 5 2 F \"sel\0ected\" () F %T% z\n"
      "\0\0\0\n"
      "TEXT 3 1 3 5 3 F 0 () F %T% three\n"
      "name\0 C\n"
      "TEXT 4 1 4 5 4 F 0 () F %T% four\n";
  files.push_back({"nul_bytes.dlg", std::string(nul, sizeof nul - 1)});

  files.push_back({"line_ends.dlg",
                   "name D\r\n"
                   "TEXT 1 1 1 5 1 F 0 () F %T% one\rTEXT 2 1 2 5 2 F 0 () F %T% two\r\n"
                   "TEXT 3 1 3 5 3 F 0 () F %T% three\r\r\n"
                   "name E\rTEXT 4 1 4 5 4 F 0 () F %T% four\n"
                   "name F\r\n\r\n"
                   "TEXT 5 1 5 5 5 F \"a\rb\" () F %T% five\r\n"});
  files.push_back({"ctrl_z.dlg",
                   "ENUM { A }\nname D\nTEXT A 1 1 5 1 F 0 () F %T% be\x1a"
                   "fore\n"
                   "ENUM { B }\nname E\n" +
                       textItem("B", 1, "e")});

  // CR LF pairs split across every power-of-two offset a reader's block may
  // end at, then a 0x1A byte at one: every item before it counts.
  std::string blocks = "name D\n";
  int blockItems = 0;
  for (size_t boundary = 512; boundary <= 128 * 1024; boundary *= 2) {
    size_t pad = boundary - 1 - blocks.size() - 1;  // ';', the pad, then CR at boundary - 1
    blocks += ";" + std::string(pad, 'p') + "\r\n" +
              textItem(std::to_string(++blockItems), 1, "at" + std::to_string(boundary));
  }
  blocks += std::string(256 * 1024 - blocks.size(), '\n') + "\x1a" + textItem("99", 1, "after");
  files.push_back({"block_edges.dlg", blocks});

  files.push_back({"garbage.dlg", garbage(64 * 1024, 1, false)});
  files.push_back({"garbage_whole.dlg", garbage(64 * 1024, 2, true)});
  files.push_back({"garbage_then_dialog.dlg", garbage(64 * 1024, 3, true) + "\nname D\n" + textItem("1", 1, "after")});

  files.push_back({"spaces.dlg", std::string(499, ' ') + "ENUM { A }\nname D\n" + std::string(10000, ' ') + "\n" +
                                     textItem("A", 1, "after") + std::string(9990, ' ') + textItem("2", 2, "piece") +
                                     std::string(10000, ' ')});

  std::string items513 = "name D\n";
  for (int i = 0; i < 513; i++) items513 += textItem(std::to_string(i), 1, "item" + std::to_string(i));
  files.push_back({"items_513.dlg", items513});
  std::string items100000 = "name D\n";
  items100000.reserve(100000 * 40);
  for (int i = 0; i < 100000; i++) {
    if (i == TS_MAX_ITEMS) items100000 += "help Late\n";
    items100000 += textItem(std::to_string(i), 1, "item" + std::to_string(i));
  }
  items100000 += "name E\n" + textItem("0", 1, "e");
  files.push_back({"items_100000.dlg", items100000});

  std::string enums101 = "ENUM {";
  for (int i = 0; i < 101; i++) enums101 += " e" + std::to_string(i) + ",";
  enums101 += " }\nname D\n" + textItem("e99", 1, "a") + textItem("e100", 2, "b");
  files.push_back({"enums_101.dlg", enums101});
  std::string enums10000 = "ENUM\n{\n";
  for (int i = 0; i < 10000; i++)
    enums10000 += "  e" + std::to_string(i) + " = " + std::to_string(i * 3) + ", ; entry " + std::to_string(i) + "\n";
  enums10000 +=
      "}\nENUM { late = 5 }\nname D\n" + textItem("e99", 1, "a") + textItem("e100", 2, "b") + textItem("late", 3, "c");
  files.push_back({"enums_10000.dlg", enums10000});

  const std::string &n = k30Digits;
  files.push_back({"numbers_30.dlg", "ENUM { big = " + n + ", next, neg = -" + n + " }\nname D\n" + "TEXT " + n +
                                         " 1 1 5 1 F 0 () F %T% idbig\n" + "TEXT -" + n +
                                         " 1 2 5 2 F 0 () F %T% idneg\n" + "EDIT big " + n +
                                         " 3 5 3 F 0 () F %T% coords\n" + n + " next 1 4 5 4 F 0 (" + n +
                                         ") F %T% type\n" + "TEXT neg 1 5 5 " + n + " F 0 (-" + n +
                                         ") F %T% negflag\n" + "TEXT 6 1 6 5 6 F " + n + " () F %L% " + n + "\n"});

  files.push_back({"long_names.dlg", "name " + kName199 + "\n" + textItem("1", 1, "n199") + "name " + kName1000 + "\n" +
                                         textItem("2", 1, "n1000") + "name \"" + kUnderscores199 + "\"\n" +
                                         textItem("3", 1, "under")});

  std::string dialogs101;
  for (int i = 0; i <= 100; i++) {
    char name[8];
    snprintf(name, sizeof name, "D%03d", i);
    dialogs101 += "name " + std::string(name) + "\n" + textItem(std::to_string(i), 1, "dialog" + std::to_string(i));
  }
  files.push_back({"dialogs_101.dlg", dialogs101});

  files.push_back({"unterminated.dlg",
                   "name \"Open\n"
                   "TEXT 1 1 1 5 1 F 0 () F %T% \"to the end\n"
                   "EDIT 2 1 2 9 2 F \"His () F %T% x\n"
                   "TEXT 3 1 3 5 3 F 0 (DIF_GROUP F %T% x\n"
                   "TEXT 4 1 4 5 4 F 0 () F %T x\n"
                   "TEXT 5 1 5 5 5 F 0 () F %R% %HKCU \"Key\\Value\" fallback\n"
                   "TEXT 6 1 6 5 6 F 0 () F %T% \"a\" \"b\n"
                   "TEXT 7 1 7 5 7 F 0 ((DIF_GROUP) F %T% nested\n"
                   "ENUM { eA = 1, eB"});
  files.push_back({"enum_no_braces.dlg", "ENUM\nENUM A, B }\nname D\n" + textItem("B", 1, "x")});
  files.push_back({"enum_inside_enum.dlg",
                   "ENUM { A, ENUM { B } }\nENUM { C }\nname D\n" + textItem("C", 1, "x") + textItem("B", 2, "y")});
  files.push_back({"enum_enum_enum.dlg", "name D\n" + textItem("ENUM", 1, "x") + "ENUM ENUM ENUM\n"});
  return files;
}

// Writes every generated file once per run into a fresh run directory, with
// a directory named like a description file beside them.
void writeFilesOnce() {
  static const bool written = [] {
    std::error_code ignored;
    fs::remove_all(kRunDir, ignored);
    fs::create_directories(kRunDir);
    fs::create_directory(runPath("folder.dlg"));
    for (const HostileFile &f : makeFiles()) {
      FILE *file = fopen(runPath(f.name).c_str(), "wb");
      if (!file) return false;
      fwrite(f.content.data(), 1, f.content.size(), file);
      fclose(file);
    }
    return true;
  }();
  ASSERT_TRUE(written);
}

void writeFile(const std::string &name, const std::string &content) {
  FILE *file = fopen(runPath(name).c_str(), "wb");
  ASSERT_NE(file, nullptr) << name;
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
}

// ---- outcomes -------------------------------------------------------------------

// The full text of the error box for a message, as the recording host keeps it.
std::string errorBox(uint32_t code, const std::string &text) {
  return "box: module " + std::to_string(kHostModule) + " flags 3 help (null) buttons 2: Error (" +
         std::to_string(code) + ")|" + escapedText(text.c_str()) + "|\\x01|Ok|Cancel";
}

std::string itemLine(const DialogData *d, int i) {
  return "item " + std::to_string(i) + ": id " + std::to_string(d->ids[i]) + ": " +
         dumpItem(d->items[i], d->strings[i]);
}

// The enum table: whole when small, else its size, first and last entries.
std::string enumLine() {
  auto entry = [](int i) { return std::string(enumNames[i]) + "=" + std::to_string(enumValues[i]); };
  std::string out = "enums:";
  if (enumCount <= 8) {
    for (int i = 0; i < enumCount; i++) out += " " + entry(i);
  } else {
    out += " " + std::to_string(enumCount) + " entries, " + entry(0) + " ... " + entry(enumCount - 1);
  }
  return out;
}

// Error boxes, then "null" or the handle's fields and its items (all of
// them up to 8, else the first and the last), then the enum table.
Lines describe(const Lines &boxes, const DialogData *d) {
  Lines out = boxes;
  if (!d) {
    out.push_back("null");
  } else {
    out.push_back("items " + std::to_string(d->itemCount) + " width " + std::to_string(d->width) + " height " +
                  std::to_string(d->height) + " help '" + d->helpTopic + "'");
    for (int i = 0; i < d->itemCount; i++)
      if (d->itemCount <= 8 || i == 0 || i == d->itemCount - 1) out.push_back(itemLine(d, i));
  }
  out.push_back(enumLine());
  return out;
}

class HostileFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)kRegistryFile;
    writeFilesOnce();
    host.init(kHostModule);
    snprintf(savedDir, sizeof savedDir, "%s", tsModuleDir);
    tsModuleDir[0] = 0;  // relative names: the working directory
    plSetLastError(0);
  }
  void TearDown() override {
    snprintf(tsModuleDir, sizeof tsModuleDir, "%s", savedDir);
    tsClearEnums();
  }

  Lines takeBoxes() {
    Lines boxes;
    for (const std::string &m : host.messages) boxes.push_back("box: " + m);
    host.messages.clear();
    return boxes;
  }

  // Loads one dialog of a run file and describes the result; frees the handle.
  Lines load(const std::string &file, const std::string &dialog) {
    host.messages.clear();
    DialogData *d = LoadDialogEx(nullptr, kModule, runPath(file).c_str(), dialog.c_str());
    Lines out = describe(takeBoxes(), d);
    FreeDialog(d);
    return out;
  }

  // The dialog names of a run file as a caller lists them (at most
  // kListLimit calls), then any error boxes.
  Lines list(const std::string &file) {
    host.messages.clear();
    Lines out;
    char name[TS_TOKEN_ROOM] = "";
    for (int i = 0; i < kListLimit; i++) {
      EnumDialog(nullptr, runPath(file).c_str(), name);
      if (!name[0]) break;
      out.push_back(name);
    }
    for (const std::string &box : takeBoxes()) out.push_back(box);
    return out;
  }

  RecordingHost host;
  char savedDir[TS_MODULE_DIR_SIZE];
};

std::string textDump(int id, int row, const std::string &text) {
  return "id " + std::to_string(id) + ": 0 1," + std::to_string(row) + ",5," + std::to_string(row) +
         " focus 0 sel 0 flags 0x0 default 0 '" + text + "'";
}

// ---- loads ------------------------------------------------------------------------

TEST_F(HostileFiles, Loads) {
  const std::string cutText(TS_TOKEN_ROOM - 1 - strlen("TEXT 3 1 3 5 3 F 0  F T HKCU "), 'y');
  const std::string max = "2147483647", min = "-2147483648";
  struct Row {
    const char *label;
    const char *file;
    std::string dialog;
    Lines outcome;
  };
  const Row rows[] = {
      // Lines longer than the 1000-byte line buffer are read as several lines:
      // an item or a header in the rest of one counts as a line of its own.
      {"over-long lines",
       "long_lines.dlg",
       "D",
       {"items 3 width 7 height 5 help 'Contents'", "item 0: " + textDump(1, 1, "first"),
        "item 1: " + textDump(2, 2, "smuggled"), "item 2: " + textDump(3, 3, cutText), "enums:"}},
      {"a header in the rest of an over-long line",
       "long_lines.dlg",
       "E",
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(4, 1, "inE"), "enums:"}},

      {"no final line end",
       "no_final_newline.dlg",
       "D",
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(1, 1, "last"), "enums:"}},
      {"a last header without a line end holds no items", "no_final_newline_header.dlg", "E", {"null", "enums:"}},

      // A NUL byte ends what its line says; a section end cut by one still ends.
      {"NUL bytes",
       "nul_bytes.dlg",
       "A",
       {"items 2 width 7 height 5 help 'Contents'", "item 0: " + textDump(1, 1, "x"),
        "item 1: " + textDump(3, 3, "three"), "enums:"}},
      {"a header cut to its keyword by a NUL", "nul_bytes.dlg", "C", {"null", "enums:"}},

      // CR LF reads as LF; a lone CR is white space inside its line.
      {"CR LF, lone CR and CR CR LF",
       "line_ends.dlg",
       "D",
       {"items 2 width 7 height 5 help 'Contents'", "item 0: " + textDump(1, 1, "one"),
        "item 1: " + textDump(3, 3, "three"), "enums:"}},
      {"a lone CR does not end a header line", "line_ends.dlg", "E", {"null", "enums:"}},
      {"a CR inside quotes is kept",
       "line_ends.dlg",
       "F",
       {"items 1 width 7 height 11 help 'Contents'",
        "item 0: id 5: 0 1,5,5,5 focus 0 sel str\"a\\x0db\" flags 0x0 default 0 'five'", "enums:"}},

      // 0x1A ends the file, for the ENUM scan as for the sections.
      {"a 0x1A byte",
       "ctrl_z.dlg",
       "D",
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(0, 1, "be"), "enums: A=0"}},
      {"nothing after 0x1A is read", "ctrl_z.dlg", "E", {"null", "enums: A=0"}},

      {"CR LF split at block edges, 0x1A at one",
       "block_edges.dlg",
       "D",
       {"items 9 width 7 height 3 help 'Contents'", "item 0: " + textDump(1, 1, "at512"),
        "item 8: " + textDump(9, 1, "at131072"), "enums:"}},
      {"binary garbage", "garbage.dlg", "D", {"null", "enums:"}},
      {"binary garbage without an end-of-file byte", "garbage_whole.dlg", "D", {"null", "enums:"}},
      {"binary garbage before a dialog",
       "garbage_then_dialog.dlg",
       "D",
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(1, 1, "after"), "enums:"}},

      // Lines of spaces: read in pieces; a piece that starts with an item line
      // is one, and the ENUM scan's pieces are 499 characters.
      {"lines of 10000 spaces",
       "spaces.dlg",
       "D",
       {"items 2 width 7 height 4 help 'Contents'", "item 0: " + textDump(0, 1, "after"),
        "item 1: " + textDump(2, 2, "piece"), "enums: A=0"}},

      // At most 512 items; the rest of the section, a help line included, is
      // not read.
      {"513 item lines",
       "items_513.dlg",
       "D",
       {"items 512 width 7 height 3 help 'Contents'", "item 0: " + textDump(0, 1, "item0"),
        "item 511: " + textDump(511, 1, "item511"), "enums:"}},
      {"100000 item lines",
       "items_100000.dlg",
       "D",
       {"items 512 width 7 height 3 help 'Contents'", "item 0: " + textDump(0, 1, "item0"),
        "item 511: " + textDump(511, 1, "item511"), "enums:"}},
      {"a dialog after 100000 item lines",
       "items_100000.dlg",
       "E",
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(0, 1, "e"), "enums:"}},

      // At most 100 enum entries; the rest is skipped without a message.
      {"101 enum entries",
       "enums_101.dlg",
       "D",
       {"items 2 width 7 height 4 help 'Contents'", "item 0: " + textDump(99, 1, "a"),
        "item 1: " + textDump(-1, 2, "b"), "enums: 100 entries, e0=0 ... e99=99"}},
      {"10000 enum entries with comments, then a block the full table skips",
       "enums_10000.dlg",
       "D",
       {"items 3 width 7 height 5 help 'Contents'", "item 0: " + textDump(297, 1, "a"),
        "item 1: " + textDump(-1, 2, "b"), "item 2: " + textDump(-1, 3, "c"), "enums: 100 entries, e0=0 ... e99=297"}},

      // Numbers of 30 digits saturate to the 32-bit range everywhere: enum
      // values, identifiers, coordinates, sizes, types, flag positions and
      // message numbers.
      {"numbers of 30 digits",
       "numbers_30.dlg",
       "D",
       {"items 6 width " + max + " height " + max + " help 'Contents'",
        "item 0: id " + max + ": 0 1,1,5,1 focus 0 sel 0 flags 0x0 default 0 'idbig'",
        "item 1: id " + min + ": 0 1,2,5,2 focus 0 sel 0 flags 0x0 default 0 'idneg'",
        "item 2: id " + max + ": 4 " + max + ",3," + max + ",3 focus 0 sel 0 flags 0x0 default 0 'coords'",
        "item 3: id " + max + ": " + max + " 1,4,5,4 focus 0 sel 0 flags 0x40 default 0 'type'",
        "item 4: id " + min + ": 0 1,5,5," + max + " focus 0 sel 0 flags 0x80 default 0 'negflag'",
        "item 5: id 6: 0 1,6,5,6 focus 0 sel host\"msg 5:" + max + "\" flags 0x0 default 0 'msg 5:" + max + "'",
        "enums: big=" + max + " next=" + max + " neg=" + min}},

      // Dialog names are cut to the 199 characters a token holds (an
      // underscore takes two of them); a name is found by its cut form.
      {"a name of 199 characters",
       "long_names.dlg",
       kName199,
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(1, 1, "n199"), "enums:"}},
      {"a name of 1000 characters, asked for whole", "long_names.dlg", kName1000, {"null", "enums:"}},
      {"a name of 1000 characters, by its first 199",
       "long_names.dlg",
       kName1000.substr(0, 199),
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(2, 1, "n1000"), "enums:"}},
      {"199 underscores, asked for whole", "long_names.dlg", kUnderscores199, {"null", "enums:"}},
      {"199 underscores, by the 99 a token holds",
       "long_names.dlg",
       kUnderscores199.substr(0, 99),
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(3, 1, "under"), "enums:"}},

      {"the last of 101 dialogs",
       "dialogs_101.dlg",
       "D100",
       {"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(100, 1, "dialog100"), "enums:"}},

      // Unterminated quotes, parentheses and percent groups run to the line
      // end: a selected text or flag list that does so leaves no default
      // button, so the line is no item; an unterminated text is the rest of
      // the line. An ENUM block cut off by the end of the file keeps its
      // entries and says so.
      {"unterminated quotes, parentheses, percent groups and ENUM braces",
       "unterminated.dlg",
       "Open",
       {errorBox(0, "Enum closing error"), "items 5 width 7 height 9 help 'Contents'",
        "item 0: " + textDump(1, 1, "to the end"), "item 1: " + textDump(4, 4, ""), "item 2: " + textDump(5, 5, ""),
        "item 3: " + textDump(6, 6, "a"), "item 4: id 7: 0 1,7,5,7 focus 0 sel 0 flags 0x400 default 0 'nested'",
        "enums: eA=1 eB=2"}},
      // ENUM without a brace: the next ENUM is an entry's name.
      {"nested ENUM without braces",
       "enum_no_braces.dlg",
       "D",
       {errorBox(0, "Enum error"), "items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(2, 1, "x"),
        "enums: ENUM=0 A=1 B=2"}},
      {"an ENUM block inside a block ends the outer one",
       "enum_inside_enum.dlg",
       "D",
       {"items 2 width 7 height 4 help 'Contents'", "item 0: " + textDump(0, 1, "x"), "item 1: " + textDump(-1, 2, "y"),
        "enums: A=0 ENUM=1 C=0"}},
      {"ENUM ENUM ENUM at the end of the file",
       "enum_enum_enum.dlg",
       "D",
       {errorBox(0, "Enum error"), errorBox(0, "Enum closing error"), "items 1 width 7 height 3 help 'Contents'",
        "item 0: " + textDump(1, 1, "x"), "enums: ENUM=0 ENUM=1"}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(load(row.file, row.dialog), row.outcome);
  }
}

// ---- listings ---------------------------------------------------------------------

TEST_F(HostileFiles, Listings) {
  Lines dialogs101;
  for (int i = 0; i <= 100; i++) {
    char name[8];
    snprintf(name, sizeof name, "D%03d", i);
    dialogs101.push_back(name);
  }
  struct Row {
    const char *label;
    const char *file;
    Lines names;  // then any error boxes
  };
  const Row rows[] = {
      {"a header in the rest of an over-long line", "long_lines.dlg", {"D", "E"}},
      {"a header without a line end", "no_final_newline_header.dlg", {"D", "E"}},
      {"a header cut to its keyword by a NUL is none", "nul_bytes.dlg", {"A"}},
      {"a lone CR does not end a header", "line_ends.dlg", {"D", "E", "F"}},
      {"nothing after 0x1A", "ctrl_z.dlg", {"D"}},
      {"binary garbage", "garbage.dlg", {}},
      {"binary garbage without an end-of-file byte", "garbage_whole.dlg", {}},
      {"binary garbage before a dialog", "garbage_then_dialog.dlg", {"D"}},
      {"a dialog after 100000 item lines", "items_100000.dlg", {"D", "E"}},
      {"names of 199 and 1000 characters and 199 underscores",
       "long_names.dlg",
       {kName199, kName1000.substr(0, 199), kUnderscores199.substr(0, 99)}},
      {"101 dialogs", "dialogs_101.dlg", dialogs101},
      {"an unterminated quoted name", "unterminated.dlg", {"Open"}},
      {"a directory", "folder.dlg", {errorBox(PL_ERROR_ACCESS_DENIED, runPath("folder.dlg"))}},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    EXPECT_EQ(list(row.file), row.names);
  }

  // A name longer than any header that EnumDialog is given finds none.
  std::vector<char> name(kName1000.begin(), kName1000.end());
  name.push_back(0);
  EXPECT_STREQ(EnumDialog(nullptr, runPath("long_names.dlg").c_str(), name.data()), "");
  // After a directory, the caller's name stays as it was.
  char after[TS_TOKEN_ROOM] = "D";
  EXPECT_STREQ(EnumDialog(nullptr, runPath("folder.dlg").c_str(), after), "D");
  EXPECT_EQ(takeBoxes(), Lines{errorBox(PL_ERROR_ACCESS_DENIED, runPath("folder.dlg"))});
}

// ---- files that change under the caller -------------------------------------------------

TEST_F(HostileFiles, AFileThatDisappearsBetweenTwoCalls) {
  const std::string file = "vanishing.dlg";
  writeFile(file, "name A\n" + textItem("1", 1, "a") + "name B\n" + textItem("2", 1, "b"));
  char name[TS_TOKEN_ROOM] = "";
  EXPECT_STREQ(EnumDialog(nullptr, runPath(file).c_str(), name), "A");

  // Gone: the box names it and the caller's name stays, so a caller that
  // goes on asking would get the same name for ever.
  ASSERT_EQ(remove(runPath(file).c_str()), 0);
  EXPECT_STREQ(EnumDialog(nullptr, runPath(file).c_str(), name), "A");
  EXPECT_EQ(takeBoxes(), Lines{errorBox(PL_ERROR_FILE_NOT_FOUND, runPath(file))});
  EXPECT_EQ(load(file, "A"), (Lines{errorBox(PL_ERROR_FILE_NOT_FOUND, runPath(file)), "null", "enums:"}));

  // Back, without the name asked after: the listing ends.
  writeFile(file, "name C\n" + textItem("3", 1, "c"));
  EXPECT_STREQ(EnumDialog(nullptr, runPath(file).c_str(), name), "");
  // Back, in another order: the listing goes on after the name wherever it is.
  writeFile(file, "name B\nname A\nname C\n");
  snprintf(name, sizeof name, "A");
  EXPECT_STREQ(EnumDialog(nullptr, runPath(file).c_str(), name), "C");
  EXPECT_EQ(takeBoxes(), Lines{});
}

// A file that cannot be opened gives the box naming the path tried and a
// null handle; the enum table stays as the last load that opened its file
// left it.
TEST_F(HostileFiles, FilesThatCannotBeOpened) {
  struct Row {
    const char *label;
    const char *file;
    uint32_t code;
  };
  const Row rows[] = {
      {"a directory", "folder.dlg", PL_ERROR_ACCESS_DENIED},
      {"a missing file", "missing.dlg", PL_ERROR_FILE_NOT_FOUND},
      {"a path through a file", "nul_bytes.dlg/inner.dlg", PL_ERROR_PATH_NOT_FOUND},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    load("ctrl_z.dlg", "D");
    EXPECT_EQ(load(row.file, "D"), (Lines{errorBox(row.code, runPath(row.file)), "null", "enums: A=0"}));
  }
}

// ---- paths that do not fit --------------------------------------------------------------

// A directory whose path is length characters long (its last separator
// not counted), under the run directory: returns its path ending in a
// separator, or "" when the platform cannot hold it.
std::string deepDirectory(const char *name, size_t length) {
  std::error_code error;
  fs::path dir = fs::absolute(runPath(name), error);
  while (!error && dir.string().size() + 61 < length) dir /= std::string(60, 'd');
  if (!error && dir.string().size() + 1 < length) dir /= std::string(length - dir.string().size() - 1, 'e');
  if (!error) fs::create_directories(dir, error);
  return error ? std::string() : (dir / "").string();
}

// A file name longer than the path the library builds (a directory and a
// file name, 1280 bytes) is refused as too long, not cut to the name of
// some other file.
TEST_F(HostileFiles, AFileNameLongerThanThePath) {
  const size_t room = TS_MODULE_DIR_SIZE + 1024;
  const std::string deep = deepDirectory("chain", room - 60);
  if (deep.empty()) GTEST_SKIP() << "no such deep directory on this platform";
  const std::string name = deep + "decoy" + std::string(100, 'x') + ".dlg";
  ASSERT_GT(name.size(), room);
  // The name cut to the room, as a file of its own.
  FILE *file = fopen(name.substr(0, room - 1).c_str(), "wb");
  ASSERT_NE(file, nullptr);
  fputs("name D\nTEXT 0 1 1 5 1 F 0 () F %T% decoy\n", file);
  fclose(file);

  DialogData *d = LoadDialogEx(nullptr, kModule, name.c_str(), "D");
  EXPECT_EQ(describe(takeBoxes(), d), (Lines{errorBox(PL_ERROR_FILENAME_EXCED_RANGE, name), "null", "enums:"}));
  FreeDialog(d);
  char listed[TS_TOKEN_ROOM] = "Kept";
  EXPECT_STREQ(EnumDialog(nullptr, name.c_str(), listed), "Kept");
  EXPECT_EQ(takeBoxes(), Lines{errorBox(PL_ERROR_FILENAME_EXCED_RANGE, name)});
}

// The directory that the first 255 characters of a module's cut file name
// would give: an ancestor of the module's own. A description file there
// must not be found in the module's stead.
std::string ancestorOfCutName(const std::string &moduleFile) {
  std::string cut = moduleFile.substr(0, TS_MODULE_DIR_SIZE - 1);
  return cut.substr(0, cut.find_last_of("/\\") + 1);
}

TEST_F(HostileFiles, AModuleWhoseFileNameDoesNotFit) {
  // A module's file name longer than the 256 bytes module names are read into.
  const std::string deep = deepDirectory("deep", 300);
  if (deep.empty()) GTEST_SKIP() << "no such deep directory on this platform";
  const std::string copy = deep + "Dialog.tsl";
  std::error_code error;
  fs::copy_file(TESSEL_TEST_BIN_DIR "Dialog.tsl", copy, fs::copy_options::overwrite_existing, error);
  HMODULE library = error ? nullptr : plLoadLibrary(copy.c_str());
  if (!library) GTEST_SKIP() << "no module can be loaded from " << copy;
  ASSERT_GT(copy.size(), (size_t)TS_MODULE_DIR_SIZE);
  const std::string decoy = ancestorOfCutName(copy) + "decoy.dlg";
  FILE *file = fopen(decoy.c_str(), "wb");
  ASSERT_NE(file, nullptr) << decoy;
  fputs("name D\nTEXT 0 1 1 5 1 F 0 () F %T% decoy\n", file);
  fclose(file);

  // As the calling module of a load: its directory cannot be had whole.
  DialogData *d = LoadDialogEx(library, kModule, "decoy.dlg", "D");
  EXPECT_EQ(describe(takeBoxes(), d), (Lines{errorBox(PL_ERROR_FILENAME_EXCED_RANGE, "decoy.dlg"), "null", "enums:"}));
  FreeDialog(d);
  char listed[TS_TOKEN_ROOM] = "";
  EXPECT_STREQ(EnumDialog(library, "decoy.dlg", listed), "");
  EXPECT_EQ(takeBoxes(), Lines{errorBox(PL_ERROR_FILENAME_EXCED_RANGE, "decoy.dlg")});

  // As the library itself: the directory it recorded at load is no other.
  auto init = (TS_InitFn)plFindExport(library, "TS_Init");
  auto loadEx = (LoadDialogExFn)plFindExport(library, "LoadDialogEx");
  auto enumDialog = (EnumDialogFn)plFindExport(library, "EnumDialog");
  auto freeDialog = (FreeDialogFn)plFindExport(library, "FreeDialog");
  ASSERT_TRUE(init && loadEx && enumDialog && freeDialog);
  init(host.startup);
  d = loadEx(nullptr, kModule, "decoy.dlg", "D");
  EXPECT_EQ(d, nullptr);
  freeDialog(d);
  EXPECT_STREQ(enumDialog(nullptr, "decoy.dlg", listed), "");
  EXPECT_EQ(takeBoxes(), (Lines{errorBox(PL_ERROR_FILENAME_EXCED_RANGE, "decoy.dlg"),
                                errorBox(PL_ERROR_FILENAME_EXCED_RANGE, "decoy.dlg")}));
  // An absolute name needs no directory.
  d = loadEx(nullptr, kModule, decoy.c_str(), "D");
  EXPECT_NE(d, nullptr);
  freeDialog(d);
}

TEST_F(HostileFiles, AnUnreadableFile) {
  const std::string file = "locked.dlg";
  writeFile(file, "name D\n" + textItem("1", 1, "x"));
  uint32_t code = beginUnreadable(runPath(file).c_str());
  if (code == 0) GTEST_SKIP() << "this process cannot be refused a file";
  Lines loaded = load(file, "D");
  char name[TS_TOKEN_ROOM] = "Before";
  EnumDialog(nullptr, runPath(file).c_str(), name);
  endUnreadable();
  EXPECT_EQ(loaded, (Lines{errorBox(code, runPath(file)), "null", "enums:"}));
  EXPECT_STREQ(name, "Before");
  EXPECT_EQ(takeBoxes(), Lines{errorBox(code, runPath(file))});
  // Readable again, it loads.
  EXPECT_EQ(load(file, "D"),
            (Lines{"items 1 width 7 height 3 help 'Contents'", "item 0: " + textDump(1, 1, "x"), "enums:"}));
}

}  // namespace
