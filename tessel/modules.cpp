/*
 * Finding tessel's own directory, checking the file a command was given and
 * loading the modules beside tessel through the platform layer.
 */
#include "tessel/modules.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tessel/options.h"

int programDirectory(char *out, int room) {
  if (plModuleFileName(nullptr, out, room) <= 0) return 0;
  char *last = (char *)plLastDirSep(out);
  if (!last) return 0;
  last[1] = 0;
  return 1;
}

int readableFile(const char *name, char *absolute) {
  /* a directory opens for reading on this system and fails only at the first
     read, so it is named as what it is before any open */
  struct stat info;
  if (stat(name, &info) == 0 && S_ISDIR(info.st_mode)) {
    fail(EXIT_FAILED, "cannot open %s: is a directory", name);
    return 0;
  }
  FILE *file = fopen(name, "rb");
  if (!file) {
    fail(EXIT_FAILED, "cannot open %s: %s", name, strerror(errno));
    return 0;
  }
  fclose(file);
  if (!plFullPath(name, absolute, PATH_MAX)) {
    fail(EXIT_FAILED, "cannot resolve %s: %s", name, strerror(errno));
    return 0;
  }
  return 1;
}

HMODULE loadBeside(const char *directory, const char *file, const char *what) {
  char path[PATH_ROOM];
  snprintf(path, sizeof path, "%s%s", directory, file);
  if (access(path, F_OK) != 0) {
    fail(EXIT_FAILED, "cannot load the %s: %s does not exist (build it first)", what, path);
    return nullptr;
  }
  HMODULE module = plLoadLibrary(path);
  if (!module) fail(EXIT_FAILED, "cannot load the %s %s", what, path);
  return module;
}

void *needExport(HMODULE module, const char *name, const char *what, int *missing) {
  void *address = plFindExport(module, name);
  if (!address && !*missing) {
    fail(EXIT_FAILED, "the %s has no export %s", what, name);
    *missing = 1;
  }
  return address;
}
