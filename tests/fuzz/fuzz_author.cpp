// Fuzz target for the authoring engine: any bytes as a dialog file. The
// engine must not crash, and what it says each dialog holds must be exactly
// what the library loads from the same bytes (the lockstep rule).
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "author/engine.h"
#include "tests/author/lockstep.h"

namespace {

std::string path;

/* The description file of the run goes when the run ends. */
void removeFile() { remove(path.c_str()); }

void setUp() {
  if (!path.empty()) return;
  char name[] = "/tmp/tessel-fuzz-author-XXXXXX";
  int fd = mkstemp(name);
  if (fd < 0) abort();
  close(fd);
  path = name;
  atexit(removeFile);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  setUp();
  FILE *file = fopen(path.c_str(), "wb");
  if (!file) abort();
  fwrite(data, 1, size, file);
  fclose(file);
  author::Analysis a = author::analyzeFile(path, author::Options());
  std::string difference = lockstepDifference(path, a);
  if (!difference.empty()) {
    fprintf(stderr, "lockstep: %s\n", difference.c_str());
    abort();
  }
  return 0;
}
