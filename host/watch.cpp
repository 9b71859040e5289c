/*
 * The file watch: a platform watch over the file's directory, a filter on
 * the names it reports, and the settling of a burst into one change.
 */
#include "host/watch.h"

#include <stdio.h>
#include <string.h>
#include <strings.h>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

int msSince(Clock::time_point start) {
  return (int)std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

int isLanguageFile(const char *name) {
  size_t n = strlen(name);
  return n > 4 && strcasecmp(name + n - 4, ".lng") == 0;
}

/* Whether an event on name (empty: anything may have changed) concerns the
   watched file or a language file. */
int concerns(const FileWatch *w, const char *name) {
  return !name[0] || strcmp(name, w->name) == 0 || isLanguageFile(name);
}

/* Waits up to timeoutMs for the watch's descriptor; 1 when readable. A
   signal (a terminal resize) ends the wait early, as no event. */
int waitEvents(const FileWatch *w, int timeoutMs) {
  int fd = plWatchFd(w->watch);
  return plWaitReadable(&fd, 1, timeoutMs) > 0;
}

}  // namespace

int fileWatchOpen(FileWatch *w, const char *path) {
  memset(w, 0, sizeof *w);
  const char *slash = strrchr(path, PL_DIR_SEP);
  size_t directory = slash ? (size_t)(slash + 1 - path) : 0;
  if (!slash || directory >= sizeof w->directory || strlen(slash + 1) >= sizeof w->name || !slash[1]) {
    plSetLastError(PL_ERROR_FILENAME_EXCED_RANGE);
    return 0;
  }
  memcpy(w->directory, path, directory);
  w->directory[directory] = 0;
  snprintf(w->name, sizeof w->name, "%s", slash + 1);
  w->watch = plWatchOpen();
  if (!w->watch) return 0;
  if (!plWatchAdd(w->watch, w->directory)) {
    fileWatchClose(w);
    return 0;
  }
  return 1;
}

void fileWatchClose(FileWatch *w) {
  plWatchClose(w->watch);
  w->watch = nullptr;
}

int fileWatchFd(const FileWatch *w) { return w->watch ? plWatchFd(w->watch) : -1; }

int fileWatchDrain(FileWatch *w) {
  if (!w->watch) return 0;
  int relevant = 0;
  char name[WATCH_NAME_ROOM];
  /* a bounded number of events per call, so that a flood cannot hold the
     caller; what is left wakes the next wait at once */
  for (int n = 0; n < 100000; n++) {
    int got = plWatchRead(w->watch, name, sizeof name);
    if (got <= 0) break;
    relevant = relevant || concerns(w, name);
  }
  return relevant;
}

int fileWatchSettle(FileWatch *w) {
  if (!fileWatchDrain(w)) return 0;
  Clock::time_point first = Clock::now();
  for (;;) {
    int left = WATCH_SETTLE_MAX_MS - msSince(first);
    if (left <= 0) return 1;
    if (!waitEvents(w, left < WATCH_QUIET_MS ? left : WATCH_QUIET_MS)) return 1;
    fileWatchDrain(w);
  }
}

int fileWatchWait(FileWatch *w, int timeoutMs) {
  if (!w->watch) return 0;
  Clock::time_point start = Clock::now();
  for (;;) {
    int left = timeoutMs < 0 ? -1 : timeoutMs - msSince(start);
    if (timeoutMs >= 0 && left <= 0) return 0;
    if (waitEvents(w, left) && fileWatchSettle(w)) return 1;
  }
}
