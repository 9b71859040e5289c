// What the authoring tools' tests share: the tree's dialog files and the
// hostile files to walk, and a run of the tessel program.
#ifndef TESSEL_TESTS_AUTHOR_AUTHOR_TEST_SUPPORT_H
#define TESSEL_TESTS_AUTHOR_AUTHOR_TEST_SUPPORT_H

#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

// Every regular file under the directories, recursively.
inline std::vector<std::string> filesUnder(const std::vector<std::string> &dirs) {
  std::vector<std::string> files;
  for (const std::string &dir : dirs) {
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(dir, error), end; !error && it != end; it.increment(error))
      if (it->is_regular_file(error)) files.push_back(std::filesystem::absolute(it->path()).string());
  }
  return files;
}

// The dialog files of the tree, the fuzz seeds and the generated hostile
// files (run from the tests' output directory). The sanitizer build leaves
// the seeds to the fuzz targets, which replay every one under the same
// sanitizers.
inline std::vector<std::string> everyDialogFile() {
  const std::string src = TESSEL_SOURCE_DIR;
#ifdef TESSEL_TESTS_SANITIZED
  return filesUnder({src + "examples", src + "viewer", src + "tests/data", "hostile_files-run"});
#else
  return filesUnder(
      {src + "examples", src + "viewer", src + "tests/data", src + "tests/fuzz/corpus", "hostile_files-run"});
#endif
}

// A directory of this test program's own for the files it writes, made on
// first use under the system's temporary directory and removed at exit.
inline const std::string &scratchDir() {
  struct Dir {
    std::string path;
    ~Dir() {
      std::error_code error;
      if (!path.empty()) std::filesystem::remove_all(path, error);
    }
  };
  static Dir dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "tessel-test-XXXXXX").string();
    return Dir{mkdtemp(&pattern[0]) ? pattern : std::string()};
  }();
  return dir.path;
}

// Writes text to the file name (relative to scratchDir()); returns its
// absolute path.
inline std::string writeScratch(const std::string &name, const std::string &text) {
  std::string path = scratchDir() + "/" + name;
  FILE *file = fopen(path.c_str(), "wb");
  if (file) {
    fwrite(text.data(), 1, text.size(), file);
    fclose(file);
  }
  return path;
}

// The whole file at path, as bytes; empty when it cannot be read.
inline std::string readWhole(const std::string &path) {
  std::string text;
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) return text;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, got);
  fclose(file);
  return text;
}

struct TesselRun {
  int status;
  std::string out, err;
};

// Runs a shell command line, in directory dir when one is given, keeping
// its standard output and standard error apart.
inline TesselRun runShell(const std::string &commandLine, const std::string &dir = "") {
  std::string errFile = scratchDir() + "/stderr.txt";
  std::string command = commandLine + " 2>'" + errFile + "'";
  if (!dir.empty()) command = "cd '" + dir + "' && " + command;
  TesselRun run{-1, "", ""};
  FILE *pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t got;
  while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, got);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = readWhole(errFile);
  return run;
}

// Runs tessel with args (a shell command line's rest), in directory dir
// when one is given.
inline TesselRun runTessel(const std::string &args, const std::string &dir = "") {
  return runShell(std::string(TESSEL_TEST_BIN_DIR) + "tessel " + args, dir);
}

#endif
