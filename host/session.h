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
#include "host/watch.h"

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
   back to whoever opened the session. With a watch, a change may give
   TK_RELOAD (see sessionSetWatch). */
int sessionWaitKey(void);

/* The session's state; SESSION_RUNNING again once a session is opened. Read
   it before sessionClose, which forgets it. */
SessionState sessionState(void);

/* Asks the terminal to report the mouse (keys.h's TK_MOUSE codes) or to
   stop (nothing when scripted: a script names its mouse events). */
void sessionSetMouse(int on);

/* Shows the screen on the terminal without waiting (nothing when scripted). */
void sessionPresent(void);

/* ---- Live reload -------------------------------------------------------- */

/* How long a scripted "Reload" waits for a change before the script goes
   on with its next key. */
enum { SESSION_RELOAD_WAIT_MS = 10000 };

/* What a session's change hook answers. */
enum { SESSION_KEEP = 0, SESSION_RELOAD = 1 };

/* Called when the watched files changed (the burst settled): answers
   SESSION_RELOAD to close every window so that its owner reopens them on
   the new version, or SESSION_KEEP to keep what is shown (after setting the
   status line to say why). */
typedef int (*SessionChangeFn)(void *context);

/* Watches the files of watch while waiting (null: no watch): on the
   terminal every wait for a key also wakes on a change; in a scripted
   session the script's "Reload" waits for the next change (at most
   SESSION_RELOAD_WAIT_MS; a script without a watch skips it). A change is
   handed to onChange; when it answers SESSION_RELOAD, sessionWaitKey
   returns TK_RELOAD, and keeps returning it at once, without showing or
   dumping the screen, until sessionEndReload. The session does not own the
   watch; sessionClose forgets it. */
void sessionSetWatch(FileWatch *watch, SessionChangeFn onChange, void *context);

/* Whether a reload is closing the windows (TK_RELOAD was returned and
   sessionEndReload not called since). */
int sessionReloading(void);

/* Ends the closing of windows: waits return keys again. */
void sessionEndReload(void);

/* The status line, drawn over the bottom row of the screen each time the
   session shows it (null or empty: none). error paints it as an error,
   else as a notice. The text is copied (code page bytes). */
void sessionSetStatus(const char *text, int error);

/* Closes the session: restores the terminal, releases the screen. */
void sessionClose(void);

#endif
