// Fuzz target for the authoring engine: any bytes as a dialog file. The
// engine must not crash, and what it says each dialog holds must be exactly
// what the library loads from the same bytes (the lockstep rule).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <string>

#include "author/engine.h"
#include "tests/author/lockstep.h"
#include "tests/fuzz/fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const std::string &path = fuzzWriteInput(data, size);
  author::Analysis a = author::analyzeFile(path, author::Options());
  // A few dialogs an input: each load reads the whole file twice.
  std::string difference = lockstepDifference(path, a, 4);
  /* The library keeps the last load's enum names until the next load; free
     them, so that each input ends with the heap it began with and libFuzzer
     need not run it again to look for a leak. */
  tsClearEnums();
  if (!difference.empty()) {
    fprintf(stderr, "lockstep: %s\n", difference.c_str());
    abort();
  }
  return 0;
}
