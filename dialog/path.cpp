/*
 * The path rule of description files: a name that is not absolute is looked
 * for in the directory of the calling module, or in the library's own
 * directory when no module is given; a path that cannot be built whole is
 * refused rather than cut.
 */
#include <string.h>

#include "dialog/dialog_internal.h"

enum { TS_PATH_SIZE = TS_MODULE_DIR_SIZE + 1024 /* a module directory and a file name */ };

/* The directory comes from the module's file name when a module is given and
   the name is not absolute; nothing for an absolute name; otherwise the
   library's own directory; then the file name. Returns 0 (path then cut
   short, but terminated) when the path does not fit or when the directory
   cannot be had whole: a module file name that fills its 256 bytes may have
   been cut, and its last separator would end some ancestor directory, where
   another file of that name could be opened. */
int tsBuildPath(HMODULE module, const char *fileName, char *path, size_t size) {
  char directory[TS_MODULE_DIR_SIZE];
  const char *prefix = tsModuleDir; /* no module, no drive letter */
  if (plIsAbsolutePath(fileName)) {
    prefix = ""; /* used unchanged */
  } else if (module) {
    directory[0] = 0;
    int length = plModuleFileName(module, directory, sizeof directory);
    if (length >= (int)sizeof directory - 1) return 0;
    if (length > 0) {
      char *last = strrchr(directory, PL_DIR_SEP);
      if (last) last[1] = 0;
      else directory[0] = 0; /* a bare module name: no directory */
    }
    prefix = directory;
  } else if (tsModuleDirCut) {
    return 0;
  }
  int written = snprintf(path, size, "%s%s", prefix, fileName);
  return written >= 0 && (size_t)written < size;
}

/* The error box names the path tried when the file cannot be opened, or the
   file name as given, with the code of a name too long, when no whole path
   can be built for it. */
FILE *tsOpenDescription(HMODULE module, const char *fileName) {
  char path[TS_PATH_SIZE];
  if (!tsBuildPath(module, fileName, path, sizeof path)) {
    plSetLastError(PL_ERROR_FILENAME_EXCED_RANGE);
    ShowErrorBox(fileName);
    return nullptr;
  }
  FILE *file = plOpenTextFile(path);
  if (!file) ShowErrorBox(path);
  return file;
}
