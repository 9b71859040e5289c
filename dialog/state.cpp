/*
 * The library's process-wide state, all in one place: the startup record's
 * copy, the null item, the module directory, the enum table of the file
 * loaded last, the scratch tables a load builds items in, and the allocator
 * of every block a load makes.
 */
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"

StartupInfo tsStartup;
int tsInitialised;
DialogItem tsNullItem;
char tsModuleDir[TS_MODULE_DIR_SIZE];
int tsModuleDirCut;

char *enumNames[TS_MAX_ENUMS];
int32_t enumValues[TS_MAX_ENUMS];
int enumCount;
const EnumScanTrace *tsEnumTrace; /* null: the loader's scans report nothing */
const SparseTrace *tsSparseTrace; /* null: the pattern matcher reports nothing */

DialogItem scratchItems[TS_MAX_ITEMS];
int32_t scratchIds[TS_MAX_ITEMS];
char *scratchStrings[TS_MAX_ITEMS];

void *(*tsAllocate)(size_t size) = malloc;

char *tsCopyText(const char *text) {
  size_t size = strlen(text) + 1;
  char *copy = static_cast<char *>(tsAllocate(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

void tsClearEnums(void) {
  for (int i = 0; i < enumCount; i++) {
    free(enumNames[i]);
    enumNames[i] = nullptr;
  }
  enumCount = 0;
}
