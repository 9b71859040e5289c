/*
 * Hot keys of window texts: the lookup of the entry that a key presses (a
 * character of the code page, typed alone or with Alt); the '&' marks that
 * make a byte of a text its hot key are split off by layout/hot_text.h.
 * Letters compare without regard to case. Dialogs, menus and message boxes
 * all find their hot keys here.
 */
#ifndef TESSEL_HOST_HOTKEY_H
#define TESSEL_HOST_HOTKEY_H

#include "layout/hot_text.h"

/* The hot key that a key code presses, folded: a character of the code page
   typed alone or with Alt; 0 for any other key. */
int hotKeyPressed(int key);

/* The first of count entries whose hot key the key presses, or -1.
   hotKeyAt(state, i) gives entry i's hot key, folded, or 0 when it has none. */
int hotKeyFind(int key, int count, int (*hotKeyAt)(const void *state, int index), const void *state);

#endif
