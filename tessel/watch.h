/*
 * Live reload (--watch) in view and try: a watch over the dialog file and
 * the language files beside it; on each change the file is judged as
 * `tessel check` would (watch_verdict.h), and while it has errors the last
 * good version stays shown with a status line saying why. A good version
 * closes the windows and has the caller open them again, and the menu and
 * dialog slots given here carry over what was shown: the menu's marked
 * entry, and the dialog with its focus, edit texts and check states.
 */
#ifndef TESSEL_TESSEL_WATCH_H
#define TESSEL_TESSEL_WATCH_H

#include "dialog/dialog.h"
#include "tessel/options.h"

/* Starts watching file (its absolute path; shown: as typed) for view or try,
   with the options' code page. Returns EXIT_OK, or EXIT_FAILED after
   reporting that the system offers no watch. */
int watchStart(const char *file, const char *shown, const Options *o);

/* Hooks the watch into the session, which must be open: its waits wake on
   changes, and its bottom row shows the status line. */
void watchAttach(void);

/* Replaces the menu and dialog slots of a startup record by the watch's,
   which pass through to the host's and, across a reload, reopen the menu on
   its marked entry (choosing the dialog that was shown at once, or showing
   the menu with a notice when it is gone) and put the user's input back
   into the reopened dialog. */
void watchWrapStartup(StartupInfo *info);

/* Names the dialog that the next dialog slot shows (try, which has no menu;
   view learns it from the menu). */
void watchSetDialog(const char *name);

/* Whether the last good version defines the dialog name. */
int watchHasDialog(const char *name);

/* Call when the plug-in (or ShowDialog) returned. Returns 1 when a reload
   closed the windows: the caller opens them again on the new version, and
   the wrapped slots restore what was shown. Returns 0 when the user closed
   them. */
int watchReopen(void);

/* Waits on a blank screen that shows the status line (notice: a line to
   show when non-null) for the next good version: 1 when it came (open the
   windows again), 0 when the user left with Esc or F10. */
int watchIdle(const char *notice);

/* Stops watching: the session forgets the watch (call before closing it). */
void watchStop(void);

#endif
