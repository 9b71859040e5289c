/*
 * Unit test of the bridge's pure functions: text conversion between code
 * page 437 and UTF-8 both ways, the UTF-8 test, and the copy-back of what
 * the user changed in the host's items, which must never reach the
 * library's save area from byte 504 of an item's text.
 */
#include "hosts/far2l/bridge.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace {

int failures;

void expect(bool ok, const char *what, const std::string &got) {
  if (ok) return;
  failures++;
  printf("FAIL: %s (got [%s])\n", what, got.c_str());
}

void conversions() {
  const struct {
    const char *in, *out;
  } toHost[] = {
      {"plain", "plain"},
      {"Caf\x82", "Caf\xC3\xA9"},                               /* 0x82 is e acute in 437 */
      {"\xC9\xCD\xBB", "\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97"}, /* box corners */
      {"Caf\xC3\xA9", "Caf\xC3\xA9"},                           /* UTF-8 already: as it stands */
      {"\xC3\xA9\x82", "\xE2\x94\x9C\xE2\x8C\x90\xC3\xA9"},     /* not all UTF-8: converted */
      {"", ""},
  };
  for (const auto &c : toHost) {
    std::string got = BridgeToHost(c.in, strlen(c.in));
    expect(got == c.out, c.out, got);
  }
  const struct {
    const char *in, *out;
  } fromHost[] = {
      {"plain", "plain"},
      {"Caf\xC3\xA9", "Caf\x82"},
      {"\xE2\x95\x94", "\xC9"},
      {"a\xE6\x97\xA5z", "a?z"}, /* no such character in 437 */
      {"a\xFF"
       "b",
       "a?b"},         /* not UTF-8 */
      {"a\xC3", "a?"}, /* cut sequence */
  };
  for (const auto &c : fromHost) {
    std::string got = BridgeFromHost(c.in, strlen(c.in));
    expect(got == c.out, c.in, got);
  }
  const struct {
    const char *text;
    int utf8;
  } utf8[] = {{"ascii", 0},    {"Caf\xC3\xA9", 1},  {"Caf\x82", 0},
              {"\xC0\x80", 0}, {"\xED\xA0\x80", 0}, {"\xF0\x9F\x98\x80", 1}};
  for (const auto &c : utf8) expect(BridgeIsUtf8(c.text, strlen(c.text)) == c.utf8, c.text, "");
}

/* One item of each kind the copy-back treats differently, its save area
   filled, the host's copy changed everywhere. */
void copyBack() {
  const int types[] = {ts::DI_EDIT, ts::DI_CHECKBOX, ts::DI_RADIOBUTTON, ts::DI_BUTTON, ts::DI_TEXT, ts::DI_FIXEDIT};
  const int count = (int)(sizeof types / sizeof types[0]);
  for (int utf8Dialog = 0; utf8Dialog <= 1; utf8Dialog++) {
    ts::DialogItem ours[count];
    oldfar::FarDialogItem theirs[count];
    memset(ours, 0, sizeof ours);
    memset(theirs, 0, sizeof theirs);
    for (int i = 0; i < count; i++) {
      ours[i].type = types[i];
      ours[i].x1 = 5;
      strcpy(ours[i].data, "old");
      memset(ours[i].data + 504, 'S', 8);
      theirs[i].Type = types[i];
      theirs[i].X1 = 9;
      theirs[i].Focus = i == 0;
      theirs[i].Selected = 1;
      strcpy(theirs[i].Data, "[ h\xC3\xA9 ]");
    }
    /* The last edit text fills the host's whole room: cut before byte 504. */
    memset(theirs[count - 1].Data, 'x', sizeof theirs[count - 1].Data - 1);
    BridgeCopyBack(ours, theirs, count, utf8Dialog);

    const char *typed = utf8Dialog ? "[ h\xC3\xA9 ]" : "[ h\x82 ]";
    expect(strcmp(ours[0].data, typed) == 0, "edit text", ours[0].data);
    expect(ours[0].focus == 1 && ours[1].focus == 0, "focus", "");
    expect(ours[1].selected == 1 && ours[2].selected == 1, "check and radio states", "");
    expect(strcmp(ours[3].data, "old") == 0 && strcmp(ours[4].data, "old") == 0, "button and text kept", ours[3].data);
    expect(strlen(ours[count - 1].data) == 503, "long edit text cut at 503", "");
    for (int i = 0; i < count; i++) {
      expect(ours[i].x1 == 5, "position kept", "");
      expect(memcmp(ours[i].data + 504, "SSSSSSSS", 8) == 0, "save area kept", std::string(ours[i].data + 504, 8));
    }
  }
}

}  // namespace

int main() {
  setenv("TESSEL_FAR2L_CODEPAGE", "437", 1);
  unsetenv("TESSEL_FAR2L_TRACE");
  BridgeLoadSettings(nullptr);
  conversions();
  copyBack();
  if (failures) return 1;
  printf("far2l bridge: conversions and copy-back pass\n");
  return 0;
}
