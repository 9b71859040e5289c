// Token strings: the writer's room accounting and the readers' field
// selection and decoding, including strings the writer never produces.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>

#include "dialog/dialog_internal.h"

namespace {

TEST(Tokens, ParseNumCountsSpaces) {
  EXPECT_EQ(parseNum("x y z"), 2);
  EXPECT_EQ(parseNum("x y z "), 3);
  EXPECT_EQ(parseNum(""), 0);
  EXPECT_EQ(parseNum(nullptr), 0);
  EXPECT_EQ(parseNum("a\\_b "), 1);  // escapes are not considered
}

struct FieldRow {
  const char *tokens;
  int index;
  const char *value;
};

TEST(Tokens, FieldsDecode) {
  static const FieldRow rows[] = {
      {"BUTTON 7 10 ", 0, "BUTTON"},
      {"BUTTON 7 10 ", 1, "7"},
      {"BUTTON 7 10 ", 2, "10"},
      {"BUTTON 7 10 ", 3, ""},
      {"BUTTON 7 10 ", 99, ""},
      {"BUTTON 7 10 ", -1, ""},
      {"a\\_b_c\\\\d ", 0, "a_b c\\d"},
      {"Main_dialog a\\_b C:\\\\x ", 1, "a_b"},
      {"Main_dialog a\\_b C:\\\\x ", 2, "C:\\x"},
      {"x", 0, "x"},  // cut short: no final space
      {"", 0, ""},
      // strings the writer never produces
      {"ab\\", 0, "ab"},      // a lone trailing backslash
      {"ab\\ cd ", 0, "ab"},  // a backslash before a space ends the field
      {"ab\\ cd ", 1, "cd"},
      {"\\\\\\", 0, "\\"},
  };
  for (const FieldRow &r : rows) {
    SCOPED_TRACE(std::string("'") + r.tokens + "' field " + std::to_string(r.index));
    char buffer[64];
    memset(buffer, '?', sizeof buffer);
    EXPECT_EQ(parseGetStr(r.tokens, buffer, r.index), buffer);
    EXPECT_STREQ(buffer, r.value);
    char *owned = parseGet(r.tokens, r.index);
    ASSERT_NE(owned, nullptr);
    EXPECT_STREQ(owned, r.value);
    free(owned);
  }
}

TEST(Tokens, NullTokenString) {
  char buffer[4] = "abc";
  EXPECT_EQ(parseGetStr(nullptr, buffer, 0), nullptr);
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(parseGet(nullptr, 0), nullptr);
}

// Writes text through parsePut as sparse does and returns each room.
std::string writeAll(char *buffer, int room, const char *text, std::string *rooms) {
  char *position = buffer;
  *position = 0;
  for (const char *p = text; *p; p++) {
    room = parsePut(*p == '|' ? 0 : *p, position, room, 0);
    while (*position) position++;
    if (rooms) *rooms += std::to_string(room) + ",";
  }
  return buffer;
}

TEST(Tokens, WriterRoom) {
  char buffer[32];
  std::string rooms;
  EXPECT_EQ(writeAll(buffer, 10, "a_b", &rooms), "a\\_b");
  EXPECT_EQ(rooms, "9,7,6,");
  rooms.clear();
  EXPECT_EQ(writeAll(buffer, 10, "a_b|", &rooms), "a\\_b ");
  EXPECT_EQ(rooms, "9,7,6,5,");
  // Room 2 and an underscore: the backslash stays alone, then nothing fits.
  rooms.clear();
  EXPECT_EQ(writeAll(buffer, 2, "__", &rooms), "\\");
  EXPECT_EQ(rooms, "0,-1,");
  // A space is written as '_', a field end as ' '.
  EXPECT_EQ(writeAll(buffer, 10, "a b|", nullptr), "a_b ");
}

TEST(Tokens, WriterRefusesWithoutPositionOrRoom) {
  char buffer[4] = "";
  EXPECT_EQ(parsePut('x', nullptr, 10, 0), -1);
  EXPECT_EQ(parsePut('x', buffer, 0, 0), -1);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(parsePut('x', buffer, 3, SP_SKIP), 3);
  EXPECT_STREQ(buffer, "");
  // Exhausted room alternates -1 and 0 and never writes.
  EXPECT_EQ(parsePut('x', buffer, -1, 0), 0);
  EXPECT_STREQ(buffer, "");
}

TEST(Tokens, RoomBoundsEveryString) {
  // Whatever is written, a room of 200 yields at most 199 characters.
  char buffer[TS_TOKEN_ROOM + 8];
  memset(buffer, 0x55, sizeof buffer);
  char *position = buffer;
  *position = 0;
  int room = TS_TOKEN_ROOM;
  for (int i = 0; i < 1000; i++) {
    room = parsePut("_\\ a"[i % 4], position, room, 0);
    while (*position) position++;
  }
  EXPECT_EQ(strlen(buffer), (size_t)TS_TOKEN_ROOM - 1);
  EXPECT_EQ((unsigned char)buffer[TS_TOKEN_ROOM], 0x55);
}

}  // namespace
