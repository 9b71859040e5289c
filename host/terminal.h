/*
 * The real terminal, through ncurses: opening and restoring it (also when
 * the program ends by a signal or exit), writing the whole screen model to
 * it, and decoding what the keyboard sends into key codes.
 */
#ifndef TESSEL_HOST_TERMINAL_H
#define TESSEL_HOST_TERMINAL_H

#include "host/screen.h"

/* What terminalOpen returns. */
enum { TERMINAL_OPEN = 1, TERMINAL_NONE = 0, TERMINAL_UNKNOWN_TYPE = -1, TERMINAL_NO_CURSOR = -2 };

/* Puts the terminal into the host's mode (no echo, keys one at a time,
   function keys decoded, colours unless coloursWanted says no). Returns
   TERMINAL_OPEN; TERMINAL_NONE when standard input or output is no
   terminal; TERMINAL_UNKNOWN_TYPE when ncurses knows no terminal of the type
   TERM names; TERMINAL_NO_CURSOR when the type cannot place the cursor on a
   cell (TERM=dumb, a printing terminal), which no window can be drawn on.
   The terminal is left as it was unless TERMINAL_OPEN is returned. */
int terminalOpen(void);

/* Restores the terminal; does nothing when it is not open. Safe to call
   again, and from the signal handlers that call it. */
void terminalClose(void);

/* Asks the terminal to report the mouse's left button (presses, releases
   and moves while it is held, in xterm's SGR form) or to stop; while it
   does, terminalReadKey gives TK_MOUSE codes (keys.h). terminalClose stops
   it too. Nothing when the terminal is not open. */
void terminalMouse(int on);

/* The terminal's size in cells. */
void terminalSize(int *cols, int *rows);

/* Writes every cell of the screen (as far as the terminal reaches) and
   places or hides the cursor. */
void terminalPresent(const Screen *screen);

/* Waits for a key and returns its code (keys.h): characters arrive in the
   host's code page (characters it lacks are skipped), Esc followed at once
   by a character is that character with Alt, Esc [ Z is Shift-Tab whatever
   the terminal type says, and a change of the terminal's size is
   TK_RESIZE. */
int terminalReadKey(void);

/* As terminalReadKey, but also ends the wait when descriptor fd (a file
   watch's) becomes readable before a key arrives: then returns TK_NONE,
   with the descriptor's events left for the caller to read. A key that
   is already waiting comes first. fd -1: as terminalReadKey. */
int terminalReadKeyOr(int fd);

#endif
