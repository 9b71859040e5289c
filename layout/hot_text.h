/*
 * Hot-key marks of window texts: '&' before a byte makes it the hot key,
 * "&&" stands for one '&', a last lone '&' is dropped. The window that draws
 * and the check that judges both split texts here, so that what the check
 * says of a text's width and hot key is what the window shows.
 */
#ifndef TESSEL_LAYOUT_HOT_TEXT_H
#define TESSEL_LAYOUT_HOT_TEXT_H

/* Bytes read at most of a window text that is no record field (a menu's
   title, a message box's lines and buttons), and the room for the visible
   bytes of any text: longer ones are cut to one byte less. */
enum { WINDOW_TEXT_MAX = 1024 };

/* Splits off the hot-key marks of a text in the host's code page (at most
   length bytes, less when a NUL comes first); with showAmpersand set every
   byte is kept as it is. Writes the visible bytes into visible (room bytes,
   always terminated, cut to fit) and returns the position of the hot key in
   them, or -1 when there is none. */
int hotSplit(const char *text, int length, int showAmpersand, char *visible, int room);

/* The number of cells the text of hotSplit takes. */
int hotWidth(const char *text, int length, int showAmpersand);

/* The hot key of a text, folded to lower case for ASCII letters, or 0. */
int hotKeyOf(const char *text, int length, int showAmpersand);

/* Folds a key byte for hot-key comparison: A-Z to a-z, others unchanged. */
int foldKey(int byte);

#endif
