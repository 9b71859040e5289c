/*
 * Hot keys of window texts: the '&' marks that make a byte of a text its hot
 * key, and the lookup of the entry that a key presses (a character of the
 * code page, typed alone or with Alt). Letters compare without regard to
 * case. Dialogs, menus and message boxes all find their hot keys here.
 */
#ifndef TESSEL_HOST_HOTKEY_H
#define TESSEL_HOST_HOTKEY_H

/* Bytes read at most of a window text that is no record field (a menu's
   title, a message box's lines and buttons), and the room for the visible
   bytes of any text: longer ones are cut to one byte less. */
enum { WINDOW_TEXT_MAX = 1024 };

/* Splits off the hot-key marks of a text in the host's code page (at most
   length bytes, less when a NUL comes first): '&' before a byte makes it the
   hot key, "&&" stands for one '&', a last lone '&' is dropped; with
   showAmpersand set every byte is kept as it is. Writes the visible bytes
   into visible (room bytes, always terminated, cut to fit) and returns the
   position of the hot key in them, or -1 when there is none. */
int hotSplit(const char *text, int length, int showAmpersand, char *visible, int room);

/* The number of cells the text of hotSplit takes. */
int hotWidth(const char *text, int length, int showAmpersand);

/* The hot key of a text, folded to lower case for ASCII letters, or 0. */
int hotKeyOf(const char *text, int length, int showAmpersand);

/* Folds a key byte for hot-key comparison: A-Z to a-z, others unchanged. */
int foldKey(int byte);

/* The hot key that a key code presses, folded: a character of the code page
   typed alone or with Alt; 0 for any other key. */
int hotKeyPressed(int key);

/* The first of count entries whose hot key the key presses, or -1.
   hotKeyAt(state, i) gives entry i's hot key, folded, or 0 when it has none. */
int hotKeyFind(int key, int count, int (*hotKeyAt)(const void *state, int index), const void *state);

#endif
