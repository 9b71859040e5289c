// The language server's work on the 1 MB benchmark file, beside one
// LoadDialogEx of its 512-item dialog: a full analysis by the authoring
// engine, the way from a one-character change to the diagnostics message
// (change applied, text analysed, findings turned into the protocol's
// JSON), and a hover on the analysis at hand. The alternating benchmarks
// give each as a ratio to the load.
#include <benchmark/benchmark.h>

#include <stdio.h>
#include <time.h>

#include <string>

#include "author/engine.h"
#include "author/fields.h"
#include "bench/bench_files.h"
#include "dialog/dialog_internal.h"
#include "lsp/server.h"

namespace {

// The benchmark file's bytes, or the empty string.
std::string benchText() {
  std::string text;
  const char *path = benchFilePath(0);
  FILE *file = path ? fopen(path, "rb") : nullptr;
  if (!file) return text;
  char block[1 << 16];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  fclose(file);
  return text;
}

double threadCpuNs() {
  struct timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec * 1e9 + now.tv_nsec;
}

// A server with the benchmark file open and analysed.
struct OpenFile {
  LspServer server;
  Document *document = nullptr;
  Json hover;  // hover params on the right column of the big dialog's last item
  OpenFile() {
    server.lifecycle = Lifecycle::Running;
    server.outFd = -1;
    buildCodePageMap(&server.store);
    std::string uri = "file:///bench.dlg";
    server.store.documents[uri] = makeDocument(uri, 1, benchText());
    document = &server.store.documents[uri];
    ensureAnalysis(document, server.store);
    const author::Analysis &a = document->analysis;
    const author::Section &big = a.sections.back();
    const author::Line &line = a.lines[(size_t)big.items.back().line];
    author::ItemFields fields = author::readItemFields(line.text);
    hover = {{"textDocument", {{"uri", uri}}},
             {"position", {{"line", line.number - 1}, {"character", fields.span[author::FIELD_X2].start}}}};
  }
};

OpenFile &openFile() {
  static OpenFile file;
  return file;
}

void loadBig() {
  DialogData *dialog = LoadDialogEx(nullptr, -1, benchFilePath(0), kBenchBigDialog);
  benchmark::DoNotOptimize(dialog);
  FreeDialog(dialog);
}

// A character typed at the start of the big dialog's last item, or taken
// back, then the diagnostics as they are sent.
size_t changeToDiagnostics(OpenFile &f, int step) {
  const author::Analysis &a = f.document->analysis;
  long long line = a.lines[(size_t)a.sections.back().items.back().line].number - 1;
  Json range = {{"start", {{"line", line}, {"character", 0}}}, {"end", {{"line", line}, {"character", step % 2}}}};
  std::string why;
  applyChange(f.document, {{"range", range}, {"text", step % 2 ? "" : "X"}}, f.server.store.encoding, &why);
  ensureAnalysis(f.document, f.server.store);
  return diagnosticsOf(*f.document, f.server.store.encoding).size();
}

void Analysis(benchmark::State &state) {
  std::string text = benchText();
  author::Options options;
  for (auto _ : state) {
    author::Analysis a = author::analyzeText(text, options);
    benchmark::DoNotOptimize(a.findings.data());
  }
  state.SetBytesProcessed(state.iterations() * (long long)text.size());
}
BENCHMARK(Analysis)->Unit(benchmark::kMillisecond);

void ChangeToDiagnostics(benchmark::State &state) {
  OpenFile &f = openFile();
  int step = 0;
  for (auto _ : state) benchmark::DoNotOptimize(changeToDiagnostics(f, step++));
  if (step % 2) changeToDiagnostics(f, step);
}
BENCHMARK(ChangeToDiagnostics)->Unit(benchmark::kMillisecond);

void Hover(benchmark::State &state) {
  OpenFile &f = openFile();
  Outcome probe = onHover(&f.server, f.hover);
  if (probe.code || !probe.result.is_object()) {
    state.SkipWithError("the hover found nothing");
    return;
  }
  for (auto _ : state) {
    Outcome o = onHover(&f.server, f.hover);
    benchmark::DoNotOptimize(o.result.is_object());
  }
}
BENCHMARK(Hover)->Unit(benchmark::kMicrosecond);

void LoadDialogExBig(benchmark::State &state) {
  benchInitHost();
  for (auto _ : state) loadBig();
}
BENCHMARK(LoadDialogExBig)->Unit(benchmark::kMillisecond);

// Each of the three and a load in alternation; the counter ratio is the CPU
// time of the work over that of the loads. Argument 0: analysis, 1: change
// to diagnostics, 2: hover.
void OverLoad(benchmark::State &state) {
  benchInitHost();
  OpenFile &f = openFile();
  std::string text = benchText();
  author::Options options;
  double ours = 0, load = 0;
  int step = 0;
  for (auto _ : state) {
    double start = threadCpuNs();
    switch (state.range(0)) {
      case 0:
        benchmark::DoNotOptimize(author::analyzeText(text, options).findings.size());
        break;
      case 1:
        benchmark::DoNotOptimize(changeToDiagnostics(f, step++));
        break;
      default:
        benchmark::DoNotOptimize(onHover(&f.server, f.hover).result.is_object());
        break;
    }
    double middle = threadCpuNs();
    loadBig();
    double end = threadCpuNs();
    ours += middle - start;
    load += end - middle;
  }
  if (step % 2) changeToDiagnostics(f, step);
  state.counters["ratio"] = load > 0 ? ours / load : 0;
}
BENCHMARK(OverLoad)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
