// The description file loader on a 1 MB file whose 512-item dialog stands
// last, against the floor of the same work: reading the file twice with fgets
// and doing nothing else; and EnumDialog listing the file's dialogs, which
// reads the file afresh on every call.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>

#include "bench/bench_files.h"
#include "dialog/dialog_internal.h"

namespace {

// Size of the benchmark file, for the bytes-per-second figures.
long long fileSize(const char *path) {
  struct stat st;
  return path && stat(path, &st) == 0 ? (long long)st.st_size : 0;
}

// Range argument 0: LF line ends; 1: CR LF, as a file written on Windows.
void LoadDialogExBig(benchmark::State &state) {
  const char *path = benchFilePath((int)state.range(0));
  if (!path) {
    state.SkipWithError("cannot write the benchmark file");
    return;
  }
  benchInitHost();
  DialogData *probe = LoadDialogEx(nullptr, -1, path, kBenchBigDialog);
  int items = probe ? probe->itemCount : 0;
  FreeDialog(probe);
  if (items != kBenchBigItems || enumCount != kBenchEnumCount) {
    state.SkipWithError("the big dialog did not load whole");
    return;
  }
  for (auto _ : state) {
    DialogData *dialog = LoadDialogEx(nullptr, -1, path, kBenchBigDialog);
    benchmark::DoNotOptimize(dialog);
    FreeDialog(dialog);
  }
  state.SetBytesProcessed(state.iterations() * fileSize(path));
}
BENCHMARK(LoadDialogExBig)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Reads every line of an open file into a line buffer of the loader's size.
void readAllLines(FILE *file) {
  char line[TS_LINE_SIZE];
  while (fgets(line, sizeof line, file)) benchmark::DoNotOptimize(line[0]);
}

// Opens the benchmark file of the state's argument with open, reads it
// twice with fgets and closes it, once per iteration.
void readFileTwice(benchmark::State &state, FILE *(*open)(const char *path)) {
  const char *path = benchFilePath((int)state.range(0));
  if (!path) {
    state.SkipWithError("cannot write the benchmark file");
    return;
  }
  for (auto _ : state) {
    FILE *file = open(path);
    if (!file) {
      state.SkipWithError("cannot open the benchmark file");
      return;
    }
    readAllLines(file);
    rewind(file);
    readAllLines(file);
    fclose(file);
  }
  state.SetBytesProcessed(state.iterations() * fileSize(path));
}

FILE *openPlain(const char *path) { return fopen(path, "r"); }

// The floor: the file opened with plain stdio and read twice with fgets.
void FgetsTwice(benchmark::State &state) { readFileTwice(state, openPlain); }
BENCHMARK(FgetsTwice)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The same two reads through the platform's text-mode stream, which the
// loader opens: what the line-end translation itself costs.
void FgetsTwiceTextStream(benchmark::State &state) { readFileTwice(state, plOpenTextFile); }
BENCHMARK(FgetsTwiceTextStream)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// This thread's CPU time in nanoseconds.
double threadCpuNs() {
  struct timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e9 + now.tv_nsec;
}

// The load and its floor in alternation, one of each per iteration, so that
// both meet the same load on a shared machine; the counter ratio is the CPU
// time of the loads over that of the floors, the figure to compare between
// runs. Range argument as for LoadDialogExBig.
void LoadDialogExOverFgets(benchmark::State &state) {
  const char *path = benchFilePath((int)state.range(0));
  if (!path) {
    state.SkipWithError("cannot write the benchmark file");
    return;
  }
  benchInitHost();
  double ours = 0, floor = 0;
  for (auto _ : state) {
    double start = threadCpuNs();
    DialogData *dialog = LoadDialogEx(nullptr, -1, path, kBenchBigDialog);
    benchmark::DoNotOptimize(dialog);
    FreeDialog(dialog);
    double middle = threadCpuNs();
    FILE *file = fopen(path, "r");
    if (!file) {
      state.SkipWithError("cannot open the benchmark file");
      return;
    }
    readAllLines(file);
    rewind(file);
    readAllLines(file);
    fclose(file);
    double end = threadCpuNs();
    ours += middle - start;
    floor += end - middle;
  }
  state.counters["ratio"] = floor > 0 ? ours / floor : 0;
}
BENCHMARK(LoadDialogExOverFgets)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Lists the first n dialog names as the viewer does: each call reads from the
// start of the file up to the header after the name it is given, so the
// listing grows with the square of n.
void EnumDialogListing(benchmark::State &state) {
  const char *path = benchFilePath(0);
  if (!path) {
    state.SkipWithError("cannot write the benchmark file");
    return;
  }
  const int n = (int)state.range(0);
  char name[TS_TOKEN_ROOM];
  for (auto _ : state) {
    name[0] = 0;
    for (int i = 0; i < n; i++) {
      EnumDialog(nullptr, path, name);
      benchmark::DoNotOptimize(name[0]);
    }
  }
  if (strcmp(name, n == kBenchDialogCount ? kBenchBigDialog : name) != 0)
    state.SkipWithError("the listing did not end at the big dialog");
  state.SetComplexityN(n);
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(EnumDialogListing)
    ->Arg(10)
    ->Arg(25)
    ->Arg(50)
    ->Arg(100)
    ->Complexity(benchmark::oNSquared)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
