// The description file a fuzz target writes each input to: one per process,
// named like a description file, removed when the run ends. It lives in a
// RAM-backed directory where the machine has one, so that writing and opening
// it once an input costs no disk journal.
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

// The directory for a target's scratch files: /dev/shm when it is there and
// writable, else the temporary directory.
inline std::string fuzzScratchDir() {
  if (access("/dev/shm", W_OK | X_OK) == 0) return "/dev/shm";
  const char *tmp = getenv("TMPDIR");
  return tmp && tmp[0] ? tmp : "/tmp";
}

// Writes the input to the run's description file and returns its path.
inline const std::string &fuzzWriteInput(const uint8_t *data, size_t size) {
  std::string &path = fuzz_file::path();
  if (path.empty()) {
    std::string name = fuzzScratchDir() + "/tessel-fuzz-XXXXXX";
    int fd = mkstemp(&name[0]);
    if (fd < 0) abort();
    close(fd);
    path = name + ".dlg";
    rename(name.c_str(), path.c_str());
    atexit(fuzz_file::removeFile);
  }
  FILE *file = fopen(path.c_str(), "wb");
  if (!file) abort();
  fwrite(data, 1, size, file);
  fclose(file);
  return path;
}

#endif
