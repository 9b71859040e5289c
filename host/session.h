/*
 * The one place where the host waits for a key. A session owns the screen
 * model and takes its keys either from the terminal or from a --keys script
 * (Esc once the script runs out); each time it waits it shows the screen on
 * the terminal and appends a text dump of it to the --screen file, if any.
 */
#ifndef TESSEL_HOST_SESSION_H
#define TESSEL_HOST_SESSION_H

#include <stdio.h>

#include "host/screen.h"

/* Esc keys fed after a script ran out before the session gives up: a
   plug-in that opens window after window on Esc would otherwise never end. */
enum { SESSION_ESC_AFTER_SCRIPT = 64 };

/* Where a session stands: running as usual, or given up because the plug-in
   kept asking for keys after the script ran out. */
enum SessionState { SESSION_RUNNING, SESSION_KEYS_RAN_OUT };

/* Opens a session without a terminal: a cols x rows screen, keys from the
   script (count keys, copied). Returns 1, or 0 when the size is out of
   bounds or memory runs out. */
int sessionOpenScripted(int cols, int rows, const int *keys, int count);

/* Opens a session on the terminal (restored on every exit path). cols and
   rows of 0 take the terminal's size, which then follows it when it changes.
   Returns as terminalOpen (TERMINAL_OPEN, TERMINAL_NONE or
   TERMINAL_UNKNOWN_TYPE), or TERMINAL_NONE when memory runs out. */
int sessionOpenTerminal(int cols, int rows);

/* Dumps go to out from now on (null: none); the session does not close it. */
void sessionSetDumpFile(FILE *out);

/* The session's screen; drawing code writes into it. Never null while a
   session is open. */
Screen *sessionScreen(void);

/* Shows the screen, dumps it, and returns the next key. A terminal whose
   size changed gives TK_RESIZE, with the screen already resized and blank.
   A scripted session that has given up (SESSION_KEYS_RAN_OUT) returns Esc
   at once, without a dump, so that every window closes and control comes
   back to whoever opened the session. */
int sessionWaitKey(void);

/* The session's state; SESSION_RUNNING again once a session is opened. Read
   it before sessionClose, which forgets it. */
SessionState sessionState(void);

/* Shows the screen on the terminal without waiting (nothing when scripted). */
void sessionPresent(void);

/* Closes the session: restores the terminal, releases the screen. */
void sessionClose(void);

#endif
