// The block reader on its own: every line, letter run, space run and
// discarded rest read across the end of a block gives what the same bytes
// give read straight through. One file holds a block of padding and then the
// text; each run starts reading at the offset that puts the next byte of the
// text at the block's end, and is compared with a model over the same bytes.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog/dialog_internal.h"

namespace {

using Steps = std::vector<std::string>;

const char kFile[] = "reader_tmp.dlg";

// Lines of every length the line cut cares about (999 is the longest line
// read whole, its feed included), letter runs around the 49 the ENUM scan
// takes, rests around the 499 it discards, runs of white space, and a last
// line without its feed.
std::string text() {
  std::string t = "ENUM { eA = 1 }\n";
  for (size_t length : {0, 1, 497, 498, 499, 500, 997, 998, 999, 1000, 1998}) t += std::string(length, 'x') + "\n";
  t += std::string(48, 'a') + " b\n" + std::string(49, 'C') + "9\n" + std::string(50, 'd') + "\n";
  t += ";" + std::string(498, '-') + "ENUM { eB }\n";
  t += " \t\r\n\n\v\f  word  \n";
  t += "last line";
  return t;
}

// ---- what the reader gives ---------------------------------------------------

Steps readerLines(FILE *file) {
  FileReader reader;
  tsStartReading(&reader, file);
  char line[TS_LINE_SIZE];
  Steps out;
  for (const char *l; (l = tsReadLine(&reader, line));) out.push_back(l);
  return out;
}

// The ENUM scan's walk: a letter run, the white space after it, the rest.
Steps readerWalk(FILE *file) {
  FileReader reader;
  tsStartReading(&reader, file);
  Steps out;
  for (;;) {
    char copy[TS_ENUM_WORD_MAX];
    const char *letters;
    int length = tsReadLetters(&reader, TS_ENUM_WORD_MAX, copy, &letters);
    std::string step = "word '" + std::string(letters, (size_t)length) + "'";
    if (length > 0) {
      tsSkipSpace(&reader);
      int c = tsReadChar(&reader);
      step += " next " + std::to_string(c);
      if (c != EOF) tsUnreadChar(&reader);
    }
    int more = tsDiscardRest(&reader, TS_ENUM_REST_MAX);
    out.push_back(step + " rest " + std::to_string(more));
    if (!more) break;
  }
  return out;
}

// ---- the same, straight through a string ----------------------------------------

Steps modelLines(const std::string &s) {
  Steps out;
  const size_t most = TS_LINE_SIZE - 1;
  for (size_t at = 0; at < s.size();) {
    size_t feed = s.find('\n', at);
    if (feed != std::string::npos && feed - at < most) {
      out.push_back(s.substr(at, feed - at));
      at = feed + 1;
    } else {
      size_t take = std::min(most, s.size() - at);
      out.push_back(s.substr(at, take));
      at += take;
    }
  }
  return out;
}

Steps modelWalk(const std::string &s) {
  Steps out;
  size_t at = 0;
  for (;;) {
    size_t length = 0;
    while (length < TS_ENUM_WORD_MAX && at + length < s.size() && tsIsLetter((unsigned char)s[at + length])) length++;
    std::string step = "word '" + s.substr(at, length) + "'";
    at += length;
    if (length > 0) {
      while (at < s.size() && tsIsSpace((unsigned char)s[at])) at++;
      step += " next " + std::to_string(at < s.size() ? (int)(unsigned char)s[at] : EOF);
    }
    // The rest: up to and including a feed within TS_ENUM_REST_MAX
    // characters, else that many; 0 when the file ends first.
    const size_t most = TS_ENUM_REST_MAX;
    size_t rest = std::min(most, s.size() - at);
    size_t feed = s.find('\n', at);
    int more = 1;
    if (feed != std::string::npos && feed < at + rest) {
      at = feed + 1;
    } else {
      at += rest;
      more = rest == most;
    }
    out.push_back(step + " rest " + std::to_string(more));
    if (!more) break;
  }
  return out;
}

TEST(BlockReader, EveryByteAtTheBlocksEndReadsAsStraightThrough) {
  // Padding lines of 80 characters, a whole block of them, then the text.
  std::string padding;
  while (padding.size() < TS_FILE_BLOCK_SIZE) padding += ";" + std::string(78, '.') + "\n";
  padding.resize(TS_FILE_BLOCK_SIZE);
  const std::string body = text(), content = padding + body;
  remove(kFile);
  FILE *file = fopen(kFile, "wb+");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(fwrite(content.data(), 1, content.size(), file), content.size());

  for (size_t j = 0; j < body.size(); j++) {
    // Reading from offset j puts body[j] at the block's end.
    SCOPED_TRACE("byte " + std::to_string(j) + " of the text at the block's end");
    const std::string rest = content.substr(j);
    ASSERT_EQ(fseek(file, (long)j, SEEK_SET), 0);
    ASSERT_EQ(readerLines(file), modelLines(rest));
    ASSERT_EQ(fseek(file, (long)j, SEEK_SET), 0);
    ASSERT_EQ(readerWalk(file), modelWalk(rest));
  }
  fclose(file);
  remove(kFile);
}

}  // namespace
