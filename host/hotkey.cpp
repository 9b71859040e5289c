/*
 * Hot-key marks of texts and the keys that press them. A text's hot key is
 * found by splitting off its marks; a key presses the entry whose hot key is
 * the key's character, compared folded.
 */
#include "host/hotkey.h"

#include <string.h>

#include "host/keys.h"

int foldKey(int byte) { return byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte; }

int hotSplit(const char *text, int length, int showAmpersand, char *visible, int room) {
  int hot = -1, n = 0;
  if (room <= 0) return -1;
  for (int i = 0; i < length && text[i] && n < room - 1; i++) {
    if (!showAmpersand && text[i] == '&') {
      if (i + 1 >= length || !text[i + 1]) break; /* a last lone '&' */
      i++;
      if (text[i] != '&' && hot < 0) hot = n;
    }
    visible[n++] = text[i];
  }
  visible[n] = 0;
  return hot;
}

int hotWidth(const char *text, int length, int showAmpersand) {
  char visible[WINDOW_TEXT_MAX];
  hotSplit(text, length, showAmpersand, visible, sizeof visible);
  return (int)strlen(visible);
}

int hotKeyOf(const char *text, int length, int showAmpersand) {
  char visible[WINDOW_TEXT_MAX];
  int hot = hotSplit(text, length, showAmpersand, visible, sizeof visible);
  return hot < 0 ? 0 : foldKey((unsigned char)visible[hot]);
}

int hotKeyPressed(int key) {
  if (key & TK_ALT) return foldKey(key & 0xFF);
  if (key >= 0x20 && key <= 0xFF) return foldKey(key);
  return 0;
}

int hotKeyFind(int key, int count, int (*hotKeyAt)(const void *state, int index), const void *state) {
  int wanted = hotKeyPressed(key);
  if (!wanted) return -1;
  for (int i = 0; i < count; i++)
    if (hotKeyAt(state, i) == wanted) return i;
  return -1;
}
