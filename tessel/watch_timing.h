/*
 * The timing log of --watch: when a change came, in wall-clock and processor
 * time, and the lines on the debug output (TESSEL_DEBUG_LOG) that say how
 * long a change took to judge and a reload to reopen what was shown.
 */
#ifndef TESSEL_TESSEL_WATCH_TIMING_H
#define TESSEL_TESSEL_WATCH_TIMING_H

#include <chrono>
#include <string>

/* A moment, by the wall clock and by the processor time the process had
   used then (a reload's cost apart from what else the machine runs). */
struct WatchMoment {
  std::chrono::steady_clock::time_point at;
  double cpuMs = 0;
};

/* Now. */
WatchMoment watchNow(void);

/* Milliseconds of wall-clock time since start. */
double watchMsSince(const WatchMoment &start);

/* Logs that the change of shown that came at start was judged bad, and the
   last good version kept. */
void watchLogKept(const std::string &shown, const WatchMoment &start);

/* Logs the reload of shown: from the change at change to the reopened what
   ("menu", "dialog"), of which judgedMs went to judging the new version. */
void watchLogReload(const std::string &shown, const WatchMoment &change, double judgedMs, const char *what);

#endif
