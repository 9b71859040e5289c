// Fuzz target for the formatter: any bytes as a dialog file. Formatting must
// not change what the library loads from it (the dialog list and every
// dialog, field for field), and formatting its output again must change
// nothing.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "author/engine.h"
#include "author/format.h"
#include "tests/author/lockstep.h"
#include "tests/fuzz/fuzz_file.h"

namespace {

std::string &formattedPath() {
  static std::string path;
  return path;
}

void removeFormatted() { remove(formattedPath().c_str()); }

void failWith(const char *what, const std::string &detail) {
  fprintf(stderr, "fmt: %s%s%s\n", what, detail.empty() ? "" : ": ", detail.c_str());
  abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string original(reinterpret_cast<const char *>(data), size);
  std::string formatted = author::formatText(original);
  if (author::formatText(formatted) != formatted) failWith("formatting the output changes it", "");
  if (formatted == original) return 0;

  const std::string &before = fuzzWriteInput(data, size);
  if (formattedPath().empty()) {
    formattedPath() = before + ".fmt.dlg";
    atexit(removeFormatted);
  }
  FILE *file = fopen(formattedPath().c_str(), "wb");
  if (!file) abort();
  fwrite(formatted.data(), 1, formatted.size(), file);
  fclose(file);

  /* What the library loads from the original is what the engine read from
     it (the lockstep rule); the formatted file must load exactly that. */
  author::Options options;
  options.checks = false;  // the comparison needs what is read, not the findings
  author::Analysis a = author::analyzeFile(before, options);
  std::string difference = lockstepDifference(before, a);
  if (!difference.empty()) failWith("the original's lockstep", difference);
  difference = lockstepDifference(formattedPath(), a);
  /* The library keeps the last load's enum names until the next load; free
     them, so that each input ends with the heap it began with and libFuzzer
     need not run it again to look for a leak. */
  tsClearEnums();
  if (!difference.empty()) failWith("the formatted file loads otherwise", difference);
  return 0;
}
