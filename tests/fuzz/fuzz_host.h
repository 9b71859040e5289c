// The stand-in host of the library's fuzz targets: it answers every message
// number with a text of its own, reads every line of a message box, and edits
// a shown dialog as a user would (types into edit fields, toggles check
// boxes, closes with the last item). fuzzInitLibrary hands it to TS_Init once
// per process, with a registry store that cannot exist.
#ifndef TESSEL_FUZZ_HOST_H
#define TESSEL_FUZZ_HOST_H

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"
#include "tests/common/test_host.h"

inline const char *TS_HOSTAPI fuzzGetMsg(int, int number) {
  static char text[32];
  snprintf(text, sizeof text, "message %d", number);
  return text;
}

inline int TS_HOSTAPI fuzzMessage(int, unsigned, const char *, const char *const *lines, int count, int) {
  for (int i = 0; i < count; i++) (void)strlen(lines[i]);
  return 0;
}

inline int TS_HOSTAPI fuzzDialog(int, int, int, int, int, const char *help, DialogItem *items, int count) {
  (void)strlen(help);
  for (int i = 0; i < count; i++) {
    (void)strlen(items[i].data);
    if (items[i].type == DI_EDIT) strcpy(items[i].data, "typed");
    if (items[i].type == DI_CHECKBOX) items[i].selected = !items[i].selected;
  }
  return count - 1;
}

inline void fuzzInitLibrary(void) {
  static bool done = false;
  if (done) return;
  done = true;
  setenv("TESSEL_REGISTRY", "/nonexistent/tessel-fuzz/registry.sqlite3", 1);
  TS_Init(testStartupRecord("", 0, "Software\\Tessel\\Fuzz", nullptr, fuzzDialog, fuzzMessage, fuzzGetMsg));
}

#endif
