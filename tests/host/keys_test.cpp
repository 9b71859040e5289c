// Key scripts, key names and the code page: what a --keys script types and
// how the host's 8-bit text reaches a UTF-8 terminal and comes back.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "codepage/codepage.h"
#include "host/keys.h"

namespace {

struct ScriptRow {
  const char *script;
  std::vector<int> keys;  // empty with error set: the script is refused
  const char *error;      // part of the reason, or null
};

const ScriptRow kScriptRows[] = {
    // names, in any case, any white space between
    {"Tab S-Tab  Up\tDown\nLeft Right", {TK_TAB, TK_STAB, TK_UP, TK_DOWN, TK_LEFT, TK_RIGHT}, nullptr},
    {"home END enter esc bs DEL space", {TK_HOME, TK_END, TK_ENTER, TK_ESC, TK_BS, TK_DEL, ' '}, nullptr},
    {"F1 F10 F12", {TK_F1, TK_F10, TK_F12}, nullptr},
    {"", {}, nullptr},
    // Alt and single characters
    {"A-x a-Y A-1", {TK_ALT | 'x', TK_ALT | 'Y', TK_ALT | '1'}, nullptr},
    {"x - A", {'x', '-', 'A'}, nullptr},
    // quoted text, typed as it is
    {"\"ab c\"", {'a', 'b', ' ', 'c'}, nullptr},
    {"\"say \\\"hi\\\" \\\\\"", {'s', 'a', 'y', ' ', '"', 'h', 'i', '"', ' ', '\\'}, nullptr},
    {"\"Tab\"Enter", {'T', 'a', 'b', TK_ENTER}, nullptr},
    {"\"\xc3\xa9\" \xc3\xa4", {0x82, 0x84}, nullptr},  // é and ä of code page 437
    // mouse events at screen cells: one action, or a click or a drag made of several
    {"Ins Click:3,4 press:0,0",
     {TK_INS, keyMouse(MOUSE_PRESS, 3, 4), keyMouse(MOUSE_RELEASE, 3, 4), keyMouse(MOUSE_PRESS, 0, 0)},
     nullptr},
    {"Drag:10,5-12,7 Move:2047,1 Release:1,2",
     {keyMouse(MOUSE_PRESS, 10, 5), keyMouse(MOUSE_MOVE, 12, 7), keyMouse(MOUSE_RELEASE, 12, 7),
      keyMouse(MOUSE_MOVE, 2047, 1), keyMouse(MOUSE_RELEASE, 1, 2)},
     nullptr},
    {"Click:3", {}, "a mouse event needs a cell"},
    {"Drag:1,2-3", {}, "a mouse event needs a cell"},
    {"Click:2048,0", {}, "a mouse event needs a cell"},
    {"Click:-1,0", {}, "a mouse event needs a cell"},
    // refused scripts
    {"Tab Tabb", {}, "unknown key name \"Tabb\""},
    {"A-", {}, "unknown key name"},
    {"A-xy", {}, "unknown key name"},
    {"\"open", {}, "unterminated"},
    {"\"\xe2\x82\xac\"", {}, "no character of the code page"},  // the euro sign
};

TEST(Keys, Scripts) {
  ASSERT_TRUE(cpSelect("437"));
  for (const ScriptRow &row : kScriptRows) {
    SCOPED_TRACE(row.script);
    int keys[64];
    char error[128];
    int count = keyParseScript(row.script, keys, 64, error, sizeof error);
    if (row.error) {
      EXPECT_EQ(count, -1);
      EXPECT_NE(strstr(error, row.error), nullptr) << error;
      continue;
    }
    ASSERT_GE(count, 0) << error;
    EXPECT_EQ(std::vector<int>(keys, keys + count), row.keys);
  }
}

TEST(Keys, ScriptLongerThanTheRoomIsRefused) {
  int keys[2];
  char error[64];
  EXPECT_EQ(keyParseScript("Tab Tab", keys, 2, error, sizeof error), 2);
  EXPECT_EQ(keyParseScript("Tab Tab Tab", keys, 2, error, sizeof error), -1);
  EXPECT_EQ(keyParseScript("\"abc\"", keys, 2, error, sizeof error), -1);
}

TEST(Keys, DescribeReadsBackAsTheSameKey) {
  const int keys[] = {
      TK_TAB, TK_STAB, ' ', TK_F12, TK_ALT | 'q', 'z', '"', '\\', 0x82, TK_INS, keyMouse(MOUSE_MOVE, 79, 24)};
  for (int key : keys) {
    char name[32];
    keyDescribe(key, name, sizeof name);
    SCOPED_TRACE(name);
    int back[4];
    char error[64];
    ASSERT_EQ(keyParseScript(name, back, 4, error, sizeof error), 1) << error;
    EXPECT_EQ(back[0], key);
  }
}

struct HostCodeRow {
  int key;
  int code;
};

TEST(Keys, HostCodes) {
  const HostCodeRow rows[] = {
      {TK_ENTER, 0x0D},        {TK_ESC, 0x1B}, {TK_F1, 0x70}, {TK_F12, 0x7B}, {TK_STAB, 0x40009},
      {TK_ALT | 'x', 0x20058}, {'q', 'Q'},     {'5', '5'},    {TK_RESIZE, 0}, {keyMouse(MOUSE_PRESS, 16, 16), 0},
  };
  for (const HostCodeRow &row : rows) {
    SCOPED_TRACE(row.key);
    EXPECT_EQ(keyHostCode(row.key), row.code);
  }
}

struct CodePageRow {
  const char *codePage;
  unsigned char byte;
  uint32_t codePoint;
};

TEST(CodePage, DecodeAndEncode) {
  const CodePageRow rows[] = {
      {"437", 'A', 'A'},   {"437", 0x82, 0xE9},   {"437", 0xB3, 0x2502},  {"437", 0xC9, 0x2554},
      {"437", 0xE1, 0xDF}, {"866", 0x80, 0x0410}, {"1251", 0xC0, 0x0410}, {"KOI8-R", 0xE1, 0x0410},
  };
  for (const CodePageRow &row : rows) {
    SCOPED_TRACE(std::string(row.codePage) + " " + std::to_string(row.byte));
    ASSERT_TRUE(cpSelect(row.codePage));
    EXPECT_EQ(cpDecode(row.byte), row.codePoint);
    EXPECT_EQ(cpEncode(row.codePoint), row.byte);
  }
  ASSERT_TRUE(cpSelect("437"));
}

TEST(CodePage, ControlsAndUnknownNames) {
  ASSERT_TRUE(cpSelect("437"));
  EXPECT_EQ(cpDecode(0x01), (uint32_t)'?') << "a control byte never reaches the terminal";
  EXPECT_EQ(cpDecode(0x7F), (uint32_t)'?');
  EXPECT_EQ(cpEncode(0x0A), -1);
  EXPECT_EQ(cpEncode(0x20AC), -1) << "437 has no euro sign";
  EXPECT_FALSE(cpSelect("no-such-code-page"));
  EXPECT_FALSE(cpSelect(""));
  EXPECT_EQ(cpDecode(0x82), 0xE9u) << "a failed selection keeps the table";
  ASSERT_TRUE(cpSelect("1252"));
  EXPECT_EQ(cpDecode(0x81), CP_UNDEFINED);
  ASSERT_TRUE(cpSelect("437"));
}

TEST(CodePage, Utf8) {
  struct Row {
    const char *text;
    uint32_t codePoint;
    int length;
  };
  const Row rows[] = {
      {"A", 'A', 1},       {"\xc3\xa9", 0xE9, 2}, {"\xe2\x94\x82", 0x2502, 3}, {"\xf0\x9f\x98\x80", 0x1F600, 4},
      {"\xc3", 0xFFFD, 1}, {"\x80", 0xFFFD, 1},   {"\xc0\x80", 0xFFFD, 1},     {"\xed\xa0\x80", 0xFFFD, 1},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.text);
    uint32_t cp;
    EXPECT_EQ(utf8Decode(row.text, &cp), row.length);
    EXPECT_EQ(cp, row.codePoint);
    if (row.codePoint != 0xFFFD) {
      char out[4];
      ASSERT_EQ(utf8Encode(row.codePoint, out), row.length);
      EXPECT_EQ(std::string(out, (size_t)row.length), row.text);
    }
  }
  char out[4];
  EXPECT_EQ(utf8Encode(0xD800, out), 3) << "a surrogate writes U+FFFD";
  EXPECT_EQ(std::string(out, 3), "\xef\xbf\xbd");
}

}  // namespace
