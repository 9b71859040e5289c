/*
 * Hot-key marks of window texts: splitting them off, and the width and hot
 * key that remain.
 */
#include "layout/hot_text.h"

#include <string.h>

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
