/*
 * A watch over one dialog file and the language files beside it, for live
 * reload: it wakes whoever waits on it when either changes on disk, and
 * folds a burst of events (an editor's save, a build that rewrites the file
 * a thousand times) into one change.
 */
#ifndef TESSEL_HOST_WATCH_H
#define TESSEL_HOST_WATCH_H

#include "platform/platform.h"

/* A change counts once the directory has been quiet this long; a steady
   stream of events counts at the latest this long after its first event,
   so that a file rewritten without pause still reloads a few times a
   second. */
enum { WATCH_QUIET_MS = 40, WATCH_SETTLE_MAX_MS = 300 };

/* Room for the watched file's directory and name. */
enum { WATCH_PATH_ROOM = 4096, WATCH_NAME_ROOM = 256 };

typedef struct FileWatch {
  PlWatch *watch;                  /* null while closed */
  char directory[WATCH_PATH_ROOM]; /* the file's directory, with its separator */
  char name[WATCH_NAME_ROOM];      /* the file's own name */
} FileWatch;

/* Starts watching the file at path (an absolute path) and every *.lng file
   of its directory. Returns 1, or 0 when the path is too long or the
   system offers no watch (last error set); *w is then closed. */
int fileWatchOpen(FileWatch *w, const char *path);

/* Stops watching; safe on a closed watch. */
void fileWatchClose(FileWatch *w);

/* The descriptor that is readable while events are pending (for a wait
   beside other descriptors), or -1 when closed. */
int fileWatchFd(const FileWatch *w);

/* Takes every pending event without waiting; returns 1 when one of them
   concerns the file or a language file (or events were lost). */
int fileWatchDrain(FileWatch *w);

/* Call when the descriptor became readable: takes the pending events and,
   when one concerns the file or a language file, waits until the burst
   settles (WATCH_QUIET_MS without events, WATCH_SETTLE_MAX_MS at most).
   Returns 1 for such a change, 0 when the events concerned other files. */
int fileWatchSettle(FileWatch *w);

/* Waits up to timeoutMs milliseconds (negative: without limit) for a change
   of the file or a language file and lets it settle. Returns 1 for a
   change, 0 when none came in time (or the watch is closed). */
int fileWatchWait(FileWatch *w, int timeoutMs);

#endif
