// The pattern matcher on the library's hot patterns, against glibc sscanf
// splitting the same item lines into 14 string fields (both into stack
// buffers). Figures are lines per second.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <time.h>

#include "dialog/dialog_internal.h"

namespace {

// A realistic mix of item lines: short and long, quoted and bare, with and
// without the optional text-source fields.
const char *const kItemLines[] = {
    "DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle",
    "TEXT 0 5 2 0 2 F 0 0 F \"File name:\"",
    "CHECKBOX eCase 5 5 0 5 F 1 (DIF_GROUP) F %L% MCase",
    "EDIT eName 5 3 30 3 T \"NameHistory\" DIF_HISTORY F %R% %HKCU% \"Settings\\LastName\" none",
    "BUTTON eOk 0 7 0 7 F 0 (DIF_CENTERGROUP) T %L% MOk",
    "RADIOBUTTON eMode1 5 4 0 4 F T (DIF_GROUP+YELLOW+BK_BLUE) F %T% \"Message names\"",
    "text 1 5 2 5 2 f \"Contents\"",
    "FIXEDIT eMask 5 6 20 6 F 0 0 F %T% \"99/99/9999\"",
};
constexpr int kLineCount = sizeof kItemLines / sizeof *kItemLines;

void SparseItemPattern(benchmark::State &state) {
  char out[TS_TOKEN_ROOM];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sparse(kItemLines[i], TS_PATTERN_ITEM, out, sizeof out));
    benchmark::ClobberMemory();
    if (++i == kLineCount) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SparseItemPattern);

void SscanfFourteenFields(benchmark::State &state) {
  char f[14][TS_TOKEN_ROOM];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sscanf(kItemLines[i],
                                    "%199s %199s %199s %199s %199s %199s %199s %199s %199s %199s "
                                    "%199s %199s %199s %199s",
                                    f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12],
                                    f[13]));
    benchmark::ClobberMemory();
    if (++i == kLineCount) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SscanfFourteenFields);

// This thread's CPU time in nanoseconds.
double threadCpuNs() {
  struct timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e9 + now.tv_nsec;
}

// sparse and sscanf in alternation, 1024 lines of each per iteration, so that
// both meet the same load on a shared machine; the counter ratio is sparse's
// CPU time over sscanf's, the figure to compare between runs.
void SparseOverSscanf(benchmark::State &state) {
  constexpr int kBatch = 1024;
  char out[TS_TOKEN_ROOM];
  char f[14][TS_TOKEN_ROOM];
  double ours = 0, theirs = 0;
  for (auto _ : state) {
    double start = threadCpuNs();
    for (int i = 0; i < kBatch; i++) {
      benchmark::DoNotOptimize(sparse(kItemLines[i % kLineCount], TS_PATTERN_ITEM, out, sizeof out));
      benchmark::ClobberMemory();
    }
    double middle = threadCpuNs();
    for (int i = 0; i < kBatch; i++) {
      benchmark::DoNotOptimize(sscanf(kItemLines[i % kLineCount],
                                      "%199s %199s %199s %199s %199s %199s %199s %199s %199s %199s "
                                      "%199s %199s %199s %199s",
                                      f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], f[12],
                                      f[13]));
      benchmark::ClobberMemory();
    }
    double end = threadCpuNs();
    ours += middle - start;
    theirs += end - middle;
  }
  state.counters["ratio"] = theirs > 0 ? ours / theirs : 0;
  state.SetItemsProcessed(state.iterations() * 2 * kBatch);
}
BENCHMARK(SparseOverSscanf);

void SparseHeaderPattern(benchmark::State &state) {
  const char *const lines[] = {"name \"Select Dialog\"", "DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle", "NAME Settings",
                               "; a comment"};
  char out[TS_TOKEN_ROOM];
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sparse(lines[i], TS_PATTERN_HEADER, out, sizeof out));
    i = (i + 1) & 3;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SparseHeaderPattern);

void SparseSectionEndPattern(benchmark::State &state) {
  const char *const lines[] = {"name \"Next\"", "BUTTON eOk 0 7 0 7 F 0 (DIF_CENTERGROUP) T %L% MOk"};
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sparse(lines[i], TS_PATTERN_SECTION_END, nullptr, 0));
    i ^= 1;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SparseSectionEndPattern);

void SparseExtensionPattern(benchmark::State &state) {
  const char *const names[] = {".dlg", ".txt", ".DLGX", ".c"};
  int i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sparse(names[i], TS_PATTERN_EXTENSION, nullptr, 0));
    i = (i + 1) & 3;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(SparseExtensionPattern);

}  // namespace

BENCHMARK_MAIN();
