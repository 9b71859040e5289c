// Where a line falls in a description file changes nothing it means. The
// loader reads a file in blocks of TS_FILE_BLOCK_SIZE bytes, and the POSIX
// text stream reads it in chunks of 32 KB: every line of a small dialog file,
// its ENUM blocks and its over-long lines (a rest past 499 characters, a line
// past 999) is moved across both boundaries, with LF and CR LF line ends, and
// each load and listing must give what the file gives without the shift.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/dialog/item_dump.h"
#include "tests/dialog/recording_host.h"

namespace {

using Lines = std::vector<std::string>;

const char kFile[] = "blocks_tmp.dlg";

// A line of ';' then the text: the ENUM scan discards 499 characters of it
// and takes the rest as the start of a line, so the ENUM block after the
// padding is read.
const std::string kEnumAfterRest = ";" + std::string(498, '-') + "ENUM { eLong = 40 }";
// A line of 999 characters and more: the rest is read as a line of its own,
// here an item line.
const std::string kItemAfterCut = ";" + std::string(998, '=') + "TEXT 0 5 9 0 9 F 0 0 F %T% \"Second half\"";

std::string body() {
  return "ENUM { eA = 5, eB }\n"
         "Title\n"
         "ENUM { eLost }\n"
         "name \"Shifted\"\n"
         "help Topic\n"
         "TEXT eA 5 2 0 2 F 0 0 F \"Label:\"\n"
         "EDIT eB 5 3 30 3 T \"Hist\" DIF_HISTORY F %T% \"value\"\n" +
         kEnumAfterRest + "\n" + kItemAfterCut +
         "\n"
         "BUTTON eLong 0 6 0 6 F 0 (DIF_CENTERGROUP) T %T% \"Ok\"\n"
         "name \"Next\"\n"
         "TEXT 0 1 1 0 1 F 0 0 F %V%\n";
}

std::string withCrLf(const std::string &text) {
  std::string out;
  for (char c : text) out += c == '\n' ? std::string("\r\n") : std::string(1, c);
  return out;
}

// Comment lines of at most 80 characters and their line ends, adding up to
// exactly size bytes (one or two blank lines when less is left than a
// comment line needs).
std::string padding(size_t size, const std::string &end) {
  std::string out;
  const size_t full = 80 + end.size();
  while (size - out.size() > 2 * full) out += ";" + std::string(79, '.') + end;
  size_t left = size - out.size();
  if (left > full) {
    size_t first = left / 2;
    out += ";" + std::string(first - end.size() - 1, '.') + end;
    left -= first;
  }
  if (left >= 1 + end.size()) out += ";" + std::string(left - end.size() - 1, '.') + end;
  else out += std::string(left, '\n');
  return out;
}

// How many CRs padding(size, "\r\n") writes: one per comment line (the blank
// lines of a short rest are bare line feeds).
size_t paddingCrs(size_t size) {
  const size_t full = 82;
  size_t lines = 0, used = 0;
  while (size - used > 2 * full) {
    used += full;
    lines++;
  }
  size_t left = size - used;
  if (left > full) {
    lines++;
    left -= left / 2;
  }
  if (left >= 3) lines++;
  return lines;
}

// Writes the file afresh (removed first: rewriting a file in place can make
// the file system flush it at every close).
void writeFile(const std::string &content) {
  remove(kFile);
  FILE *file = fopen(kFile, "wb");
  ASSERT_NE(file, nullptr);
  fwrite(content.data(), 1, content.size(), file);
  fclose(file);
}

// Everything the file yields: the listing of its dialogs, each dialog loaded
// (handle fields, identifiers, items) and the enum table after the load.
Lines describeFile() {
  Lines out;
  char name[TS_TOKEN_ROOM] = "";
  for (int i = 0; i < 4; i++) {
    EnumDialog(nullptr, kFile, name);
    out.push_back(std::string("listed '") + name + "'");
    if (!name[0]) break;
  }
  for (const char *dialog : {"Shifted", "Next"}) {
    DialogData *d = LoadDialogEx(nullptr, 5, kFile, dialog);
    if (!d) {
      out.push_back("null");
      continue;
    }
    char head[300];
    snprintf(head, sizeof head, "items %d width %d height %d help '%s'", (int)d->itemCount, (int)d->width,
             (int)d->height, d->helpTopic);
    out.push_back(head);
    for (int i = 0; i < d->itemCount; i++)
      out.push_back("id " + std::to_string(d->ids[i]) + ": " + dumpItem(d->items[i], d->strings[i]));
    FreeDialog(d);
    std::string enums = "enums:";
    for (int i = 0; i < enumCount; i++) enums += " " + std::string(enumNames[i]) + "=" + std::to_string(enumValues[i]);
    out.push_back(enums);
  }
  return out;
}

class Blocks : public ::testing::Test {
 protected:
  void SetUp() override { host.init(5); }
  void TearDown() override { remove(kFile); }
  RecordingHost host;
};

TEST_F(Blocks, TheUnshiftedFileReadsAsItsQuirksSay) {
  writeFile(body());
  Lines got = describeFile();
  // eLost follows a line holding only a word, so the scan never sees it; the
  // rest past 499 characters brings eLong in; the line past 999 characters
  // gives one more item.
  ASSERT_GE(got.size(), 9u);
  EXPECT_EQ(got[0], "listed 'Shifted'");
  EXPECT_EQ(got[1], "listed 'Next'");
  EXPECT_EQ(got[3], "items 4 width 36 height 12 help 'Topic'");
  EXPECT_EQ(got[4].substr(0, 6), "id 5: ");
  EXPECT_EQ(got[6], "id 0: 0 5,9,0,9 focus 0 sel 0 flags 0xff default 0 'Second half'");
  EXPECT_EQ(got[7], "id 40: 7 0,6,0,6 focus 0 sel 0 flags 0x4000 default 1 'Ok'");
  EXPECT_EQ(got[8], "enums: eA=5 eB=6 eLong=40");
  EXPECT_TRUE(host.messages.empty());
}

// The offsets of text at which a boundary can matter: around every line
// start (a line feed, a CR before it, a first word such as ENUM) and around
// the 499th and 999th characters of a line, where its rest and its second
// part begin.
std::vector<bool> sensitiveOffsets(const std::string &text) {
  std::vector<bool> sensitive(text.size());
  auto mark = [&](size_t at, int from, int to) {
    for (int k = from; k <= to; k++)
      if ((long long)at + k >= 0 && at + k < text.size()) sensitive[at + k] = true;
  };
  for (size_t i = 0; i <= text.size(); i++)
    if (i == 0 || text[i - 1] == '\n') {
      mark(i, -3, 6);
      mark(i + 499, -2, 2);
      mark(i + 999, -2, 2);
    }
  return sensitive;
}

TEST_F(Blocks, EveryLineAcrossEveryBoundaryMeansTheSame) {
  const std::string text = body();
  struct Row {
    const char *name;
    std::string content;
    std::string lineEnd;
  } rows[] = {{"LF", text, "\n"}, {"CR LF", withCrLf(text), "\r\n"}};
  const std::vector<bool> translated = sensitiveOffsets(text);
  int shifts = 0;
  for (const Row &row : rows) {
    SCOPED_TRACE(row.name);
    writeFile(row.content);
    const Lines expected = describeFile();
    const std::vector<bool> raw = sensitiveOffsets(row.content);
    // Padding before the file so that its sensitive bytes in turn stand at a
    // block or chunk boundary, counted in the file's bytes and in the bytes
    // left after CR LF became LF.
    for (size_t boundary : {(size_t)TS_FILE_BLOCK_SIZE, (size_t)32768}) {
      const size_t slack = boundary / 80 + 2;
      const size_t first = boundary > row.content.size() + slack ? boundary - row.content.size() - slack : 0;
      for (size_t pad = first; pad <= boundary; pad++) {
        const size_t crs = row.lineEnd.size() == 2 ? paddingCrs(pad) : 0;
        const size_t rawAt = boundary - pad, textAt = boundary - (pad - crs);
        if (!(rawAt < raw.size() && raw[rawAt]) && !(textAt < translated.size() && translated[textAt])) continue;
        SCOPED_TRACE("padding " + std::to_string(pad) + " before boundary " + std::to_string(boundary));
        const std::string before = padding(pad, row.lineEnd);
        ASSERT_EQ((size_t)std::count(before.begin(), before.end(), '\r'), crs);
        writeFile(before + row.content);
        ASSERT_EQ(describeFile(), expected);
        shifts++;
      }
    }
  }
  EXPECT_GT(shifts, 400) << shifts; /* the sweep did cover the lines */
}

}  // namespace
