/*
 * The library's start-up and its connection to the host: TS_Init takes the
 * startup record, DllMain records the module directory at load, and two
 * routines report errors and fetch localised texts through the host's slots.
 * The state they fill lives in state.cpp.
 */
#include <stdio.h>
#include <string.h>

#include "dialog/dialog_internal.h"

/* The flags of the error box, the title's buffer size, the box's lines
   (title, text, separator, two buttons) and buttons, and the reason code of
   DllMain when the module is loaded. */
enum {
  TS_ERROR_BOX_FLAGS = MSG_WARNING | MSG_ERRORTYPE,
  TS_ERROR_TITLE_SIZE = 144,
  TS_ERROR_BOX_LINES = 5,
  TS_ERROR_BOX_BUTTONS = 2,
  TS_REASON_ATTACH = 1
};

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
  if (reason == TS_REASON_ATTACH) recordModuleDir(module);
  return 1;
}

PL_MODULE_ENTRY(DllMain)

int ShowErrorBox(const char *text) {
  uint32_t code = plGetLastError(); /* before anything can change it */
  char title[TS_ERROR_TITLE_SIZE];
  snprintf(title, sizeof title, "Error (%d)", (int)code);
  const char *lines[TS_ERROR_BOX_LINES] = {title, text ? text : "", kSeparatorLine, "Ok", "Cancel"};
  if (!tsInitialised || !tsStartup.hostMessage) return -1;
  return tsStartup.hostMessage(tsStartup.moduleNumber, TS_ERROR_BOX_FLAGS, nullptr, lines, TS_ERROR_BOX_LINES,
                               TS_ERROR_BOX_BUTTONS);
}

const char *GetMsgText(int messageNumber, int moduleNumber) {
  if (!tsInitialised || !tsStartup.hostGetMsg) return nullptr;
  return tsStartup.hostGetMsg(moduleNumber, messageNumber);
}
