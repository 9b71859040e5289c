/*
 * The timing log of --watch: moments in wall-clock and processor time, and
 * the lines on the platform's debug output that say what a change and a
 * reload cost.
 */
#include "tessel/watch_timing.h"

#include <stdio.h>
#include <time.h>

#include "platform/platform.h"

namespace {

/* The processor time the process has used, in milliseconds. */
double cpuMs() { return (double)clock() * 1000.0 / CLOCKS_PER_SEC; }

}  // namespace

WatchMoment watchNow(void) {
  WatchMoment now;
  now.at = std::chrono::steady_clock::now();
  now.cpuMs = cpuMs();
  return now;
}

double watchMsSince(const WatchMoment &start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start.at).count();
}

void watchLogKept(const std::string &shown, const WatchMoment &start) {
  char line[160];
  snprintf(line, sizeof line, "tessel: change of %s: %.1f ms to judge it and keep the last good version\n",
           shown.c_str(), watchMsSince(start));
  plDebugOutput(line);
}

void watchLogReload(const std::string &shown, const WatchMoment &change, double judgedMs, const char *what) {
  char line[240];
  snprintf(line, sizeof line,
           "tessel: reload of %s: %.1f ms from the change to the reopened %s (%.1f ms to judge it), "
           "%.1f ms of processor time\n",
           shown.c_str(), watchMsSince(change), what, judgedMs, cpuMs() - change.cpuMs);
  plDebugOutput(line);
}
