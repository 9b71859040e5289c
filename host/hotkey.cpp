/*
 * The keys that press hot keys: a key presses the entry whose hot key is
 * the key's character, compared folded.
 */
#include "host/hotkey.h"

#include "host/keys.h"

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
