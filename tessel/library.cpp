/*
 * The library as render and try reach it: Dialog.tsl loaded from tessel's
 * own directory, its entry points bound by name, and tessel standing in for
 * the calling plug-in (its module, its SetLngMode, the dialog file's
 * directory for the language files).
 */
#include "tessel/library.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "host/slots.h"
#include "tessel/modules.h"
#include "tessel/options.h"

/* The language mode that tessel hands to the library, as a plug-in's
   SetLngMode does. */
static int tesselLngMode;

extern "C" TS_EXPORT int SetLngMode(void) { return tesselLngMode; }

const char kLibraryFile[] = "Dialog.tsl";

HMODULE loadLibraryModule(void) {
  char directory[PATH_ROOM];
  if (!programDirectory(directory, sizeof directory)) {
    fail(EXIT_FAILED, "cannot find tessel's own directory");
    return nullptr;
  }
  return loadBeside(directory, kLibraryFile, "library");
}

int loadLibrary(Library *library) {
  HMODULE module = loadLibraryModule();
  if (!module) return 0;
  int missing = 0;
  library->init = (TS_InitFn)needExport(module, "TS_Init", "library", &missing);
  library->load = (LoadDialogExFn)needExport(module, "LoadDialogEx", "library", &missing);
  library->show = (ShowDialogFn)needExport(module, "ShowDialog", "library", &missing);
  library->release = (FreeDialogFn)needExport(module, "FreeDialog", "library", &missing);
  library->numById = (GetNumByIdFn)needExport(module, "GetNumById", "library", &missing);
  library->itemStatus = (GetItemStatusFn)needExport(module, "GetItemStatus", "library", &missing);
  library->itemData = (GetItemDataFn)needExport(module, "GetItemData", "library", &missing);
  library->itemAddr = (GetItemAddrFn)needExport(module, "GetItemAddr", "library", &missing);
  return !missing;
}

void startLibrary(const Library *library, const char *file, int lngMode, void (*adjust)(StartupInfo *info)) {
  char fileDirectory[PATH_MAX], self[PATH_ROOM];
  snprintf(fileDirectory, sizeof fileDirectory, "%s", file);
  char *last = (char *)plLastDirSep(fileDirectory);
  if (last) last[1] = 0; /* the path is absolute: it has one */
  hostAddModule(PLUGIN_MODULE_NUMBER, fileDirectory);
  if (plModuleFileName(nullptr, self, sizeof self) <= 0) self[0] = 0;
  StartupInfo info;
  hostFillStartup(&info, PLUGIN_MODULE_NUMBER, self);
  if (adjust) adjust(&info);
  library->init(info);
  tesselLngMode = lngMode;
}

DialogData *loadDialog(const Library *library, const char *file, const char *name) {
  HMODULE own = plModuleOfAddress((const void *)&SetLngMode);
  return library->load(own, PLUGIN_MODULE_NUMBER, file, name);
}
