/*
 * The library's connection to the host: its copy of the startup record, the
 * null item, the module directory recorded at load, and the two routines
 * through which the library reports errors and fetches localised texts.
 */
#include <stdio.h>
#include <string.h>

#include "dialog/dialog_internal.h"

StartupInfo tsStartup;
int tsInitialised;
DialogItem tsNullItem;
char tsModuleDir[TS_MODULE_DIR_SIZE];
int tsModuleDirCut;

/* The flags of the error box and the title's buffer size. */
enum { TS_ERROR_BOX_FLAGS = 3, TS_ERROR_TITLE_SIZE = 144 };

/* The separator line of a message box: the single byte 0x01. */
static const char kSeparatorLine[] = "\x01";

extern "C" void TS_Init(StartupInfo info) {
  tsStartup = info;
  tsInitialised = 1;
  memset(&tsNullItem, 0, sizeof tsNullItem);
}

extern "C" int TesselVersion(void) { return TS_VERSION; }

extern "C" DialogItem *GetItemNULL(void) { return &tsNullItem; }

/* Records the library's directory: its own file name cut just after the last
   separator (kept); a name without a separator is kept whole. A file name
   that fills the buffer may have been cut short, and its last separator
   would then end some ancestor directory: then no directory is recorded and
   tsModuleDirCut is set. */
static void recordModuleDir(HMODULE module) {
  int length = plModuleFileName(module, tsModuleDir, sizeof tsModuleDir);
  tsModuleDirCut = length >= (int)sizeof tsModuleDir - 1;
  if (length <= 0 || tsModuleDirCut) {
    tsModuleDir[0] = 0;
    return;
  }
  char *last = strrchr(tsModuleDir, PL_DIR_SEP);
  if (last) last[1] = 0;
}

extern "C" int WINAPI DllMain(HMODULE module, DWORD reason, void *reserved) {
  (void)reserved;
  if (reason == 1) recordModuleDir(module);
  return 1;
}

PL_MODULE_ENTRY(DllMain)

int ShowErrorBox(const char *text) {
  uint32_t code = plGetLastError(); /* before anything can change it */
  char title[TS_ERROR_TITLE_SIZE];
  snprintf(title, sizeof title, "Error (%d)", (int)code);
  const char *lines[5] = {title, text ? text : "", kSeparatorLine, "Ok", "Cancel"};
  if (!tsInitialised || !tsStartup.hostMessage) return -1;
  return tsStartup.hostMessage(tsStartup.moduleNumber, TS_ERROR_BOX_FLAGS, nullptr, lines, 5, 2);
}

const char *GetMsgText(int messageNumber, int moduleNumber) {
  if (!tsInitialised || !tsStartup.hostGetMsg) return nullptr;
  return tsStartup.hostGetMsg(moduleNumber, messageNumber);
}
