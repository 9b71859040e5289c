// The description file a fuzz target writes each input to: one per process,
// named like a description file, removed when the run ends.
#ifndef TESSEL_TESTS_FUZZ_FUZZ_FILE_H
#define TESSEL_TESTS_FUZZ_FUZZ_FILE_H

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

namespace fuzz_file {

inline std::string &path() {
  static std::string name;
  return name;
}

inline void removeFile() { remove(path().c_str()); }

}  // namespace fuzz_file

// Writes the input to the run's description file and returns its path.
inline const std::string &fuzzWriteInput(const uint8_t *data, size_t size) {
  std::string &path = fuzz_file::path();
  if (path.empty()) {
    char name[] = "/tmp/tessel-fuzz-XXXXXX";
    int fd = mkstemp(name);
    if (fd < 0) abort();
    close(fd);
    path = std::string(name) + ".dlg";
    rename(name, path.c_str());
    atexit(fuzz_file::removeFile);
  }
  FILE *file = fopen(path.c_str(), "wb");
  if (!file) abort();
  fwrite(data, 1, size, file);
  fclose(file);
  return path;
}

#endif
