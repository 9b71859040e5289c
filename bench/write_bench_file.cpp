// Writes the benchmark description file to a path, for the whole-process
// comparison of scripts/bench (tessel render against cat of the same file).
// Usage: write_bench_file PATH [crlf]
#include <stdio.h>
#include <string.h>

#include "bench/bench_files.h"

int main(int argc, char **argv) {
  if (argc < 2 || argc > 3 || (argc == 3 && strcmp(argv[2], "crlf") != 0)) {
    fputs("usage: write_bench_file PATH [crlf]\n", stderr);
    return 2;
  }
  size_t size = benchWriteFile(argv[1], argc == 3);
  if (!size) {
    fprintf(stderr, "write_bench_file: cannot write %s\n", argv[1]);
    return 1;
  }
  printf("%s: %zu bytes, dialog \"%s\" of %d items last of %d\n", argv[1], size, kBenchBigDialog, kBenchBigItems,
         kBenchDialogCount);
  return 0;
}
