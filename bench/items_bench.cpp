// The item operations on the 512-item dialog of the benchmark file: lookups
// that scan to the end, a change of every item with a shared identifier and
// the radio group at the end, each beside a plain loop over the same arrays
// that does the same scan and nothing else.
#include <benchmark/benchmark.h>

#include "bench/bench_files.h"
#include "dialog/dialog_internal.h"

namespace {

// The big dialog, loaded once for the whole run.
DialogData *bigDialog(benchmark::State &state) {
  static DialogData *dialog = nullptr;
  if (!dialog) {
    const char *path = benchFilePath(0);
    benchInitHost();
    dialog = path ? LoadDialogEx(nullptr, -1, path, kBenchBigDialog) : nullptr;
    if (dialog && dialog->itemCount != kBenchBigItems) {
      FreeDialog(dialog);
      dialog = nullptr;
    }
  }
  if (!dialog) state.SkipWithError("the big dialog did not load");
  return dialog;
}

// The last item's identifier: a scan of all 512.
void GetNumByIdLast(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  int id = kBenchLastId;
  for (auto _ : state) {
    benchmark::DoNotOptimize(id);
    benchmark::DoNotOptimize(GetNumById(dialog, id, 0));
  }
}
BENCHMARK(GetNumByIdLast);

// Baseline: the same scan as a bare loop over the identifier array.
void PlainScanLast(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  const int32_t *ids = dialog->ids;
  const int count = dialog->itemCount;
  int id = kBenchLastId;
  for (auto _ : state) {
    benchmark::DoNotOptimize(id);
    int found = -1;
    for (int i = 0; i < count; i++)
      if (ids[i] == id) {
        found = i;
        break;
      }
    benchmark::DoNotOptimize(found);
  }
}
BENCHMARK(PlainScanLast);

// An identifier no item has: GetItemData scans everything and answers with
// the null item's text.
void GetItemDataMissing(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  int id = -12345;
  for (auto _ : state) {
    benchmark::DoNotOptimize(id);
    benchmark::DoNotOptimize(GetItemData(dialog, id));
  }
}
BENCHMARK(GetItemDataMissing);

// Every item with the shared identifier (31 check boxes spread over the
// dialog): one search per match, each from the index after the last.
void SetItemStatusShared(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  int value = 0;
  for (auto _ : state) {
    SetItemStatus(dialog, kBenchSharedId, value);
    value ^= 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(SetItemStatusShared);

// Baseline: one bare pass that sets every matching item.
void PlainSetShared(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  const int32_t *ids = dialog->ids;
  DialogItem *items = dialog->items;
  const int count = dialog->itemCount;
  int value = 0;
  for (auto _ : state) {
    for (int i = 0; i < count; i++)
      if (ids[i] == kBenchSharedId) items[i].selected = value;
    value ^= 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(PlainSetShared);

// Choosing a button of the 16-button group at the end, asked through its
// last button: the lookup scans to the end, the group is walked back and
// forth.
void SetRadioStatusGroup(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  int chosen = kBenchRadioFirstId;
  for (auto _ : state) {
    SetRadioStatus(dialog, kBenchLastId, chosen);
    chosen = chosen == kBenchLastId ? kBenchRadioFirstId : chosen + 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(SetRadioStatusGroup);

void GetRadioStatusGroup(benchmark::State &state) {
  DialogData *dialog = bigDialog(state);
  if (!dialog) return;
  SetRadioStatus(dialog, kBenchLastId, kBenchLastId); /* the last button: the longest walk */
  for (auto _ : state) benchmark::DoNotOptimize(GetRadioStatus(dialog, kBenchLastId));
}
BENCHMARK(GetRadioStatusGroup);

}  // namespace

BENCHMARK_MAIN();
