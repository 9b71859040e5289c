/*
 * The host slots. Each top-level window starts from a blank screen, as the
 * host's own panels stand behind every plug-in window; in draw-only mode the
 * dialog slot draws and cancels and the message slot reports to stderr.
 */
#include "host/slots.h"

#include <stdio.h>
#include <string.h>

#include "host/dialog_window.h"
#include "host/help_viewer.h"
#include "host/inspector.h"
#include "lng/lng.h"
#include "host/menu.h"
#include "host/msgbox.h"
#include "host/session.h"

namespace {

/* Room for a module directory. */
enum { HOST_PATH_ROOM = 4096 };

struct HostModule {
  int number;
  int loaded; /* its language file has been looked for */
  char directory[HOST_PATH_ROOM];
  LngTable messages;
};

HostModule modules[HOST_MAX_MODULES];
int moduleCount;
char language[64] = "English";
int drawOnly, drawFits;

/* Blanks the screen behind a top-level window, as the host's panels stand
   behind it, and puts the status line on it (for a dialog when dialog is
   set). */
void clearBehindWindow(int dialog) {
  screenClear(sessionScreen());
  statusLineDraw(sessionScreen(), dialog);
}

HostModule *findModule(int number) {
  for (int i = 0; i < moduleCount; i++)
    if (modules[i].number == number) return &modules[i];
  return nullptr;
}

/* F1 in the windows of a module shows the topics of its help file. */
void helpFromModule(int number) {
  HostModule *module = findModule(number);
  helpViewerSetFiles(module ? module->directory : nullptr, language);
}

}  // namespace

int hostAddModule(int number, const char *directory) {
  HostModule *module = findModule(number);
  if (!module) {
    if (moduleCount >= HOST_MAX_MODULES) return 0;
    module = &modules[moduleCount++];
  }
  if (strlen(directory) >= sizeof module->directory) return 0;
  lngFree(&module->messages);
  module->number = number;
  module->loaded = 0;
  snprintf(module->directory, sizeof module->directory, "%s", directory);
  return 1;
}

void hostSetLanguage(const char *name) {
  snprintf(language, sizeof language, "%s", name && name[0] ? name : "English");
  hostRelease();
}

void hostSetDrawOnly(int on, int fit) {
  drawOnly = on;
  drawFits = fit;
}

void hostFillStartup(StartupInfo *info, int moduleNumber, const char *moduleName) {
  memset(info, 0, sizeof *info);
  info->structSize = (int32_t)sizeof *info;
  snprintf(info->moduleName, sizeof info->moduleName, "%s", moduleName ? moduleName : "");
  info->moduleNumber = moduleNumber;
  info->rootKey = HOST_ROOT_KEY;
  info->hostMenu = hostMenuSlot;
  info->hostDialog = hostDialogSlot;
  info->hostMessage = hostMessageSlot;
  info->hostGetMsg = hostGetMsgSlot;
}

void hostRelease(void) {
  for (int i = 0; i < moduleCount; i++) {
    lngFree(&modules[i].messages);
    modules[i].loaded = 0;
  }
}

int TS_HOSTAPI hostMenuSlot(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                            const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                            const MenuEntry *items, int count) {
  helpFromModule(moduleNumber);
  if (drawOnly) {
    if (breakCode) *breakCode = -1;
    return -1;
  }
  clearBehindWindow(0);
  return menuRun(items, count, flags, title, bottom, helpTopic, breakKeys, breakCode, x, y, maxHeight);
}

int TS_HOSTAPI hostDialogSlot(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                              DialogItem *items, int count) {
  helpFromModule(moduleNumber);
  if (!items) count = 0;
  Screen *screen = sessionScreen();
  if (drawOnly) {
    DialogView view;
    if (drawFits) {
      /* the dialog, its shadow, and a margin of two columns and one row */
      /* in 64 bits: a description may give sizes up to the 32-bit maximum */
      long long width = x1 < 0 ? x2 : (long long)x2 - x1 + 1, height = y1 < 0 ? y2 : (long long)y2 - y1 + 1;
      long long cols = width + 4, rows = height + 2;
      if (cols < 1) cols = 1;
      if (rows < 1) rows = 1;
      if (cols > SCREEN_MAX_COLS) cols = SCREEN_MAX_COLS;
      if (rows > SCREEN_MAX_ROWS) rows = SCREEN_MAX_ROWS;
      screenResize(screen, (int)cols, (int)rows);
    }
    screenClear(screen);
    dialogOpen(&view, items, count, x1, y1, x2, y2, screen->cols, screen->rows);
    dialogDraw(&view, screen);
    return -1;
  }
  clearBehindWindow(1);
  return dialogRun(items, count, x1, y1, x2, y2, helpTopic);
}

int TS_HOSTAPI hostMessageSlot(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                               int lineCount, int buttonCount) {
  helpFromModule(moduleNumber);
  (void)helpTopic;
  if (drawOnly) {
    fputs("tessel: message from the plug-in:", stderr);
    for (int i = 0; lines && i < lineCount - (buttonCount > 0 ? buttonCount : 0); i++) {
      const char *line = lines[i] ? lines[i] : "";
      if (line[0] == 0x01 && line[1] == 0) continue;
      fprintf(stderr, " %s%s", line, i == 0 && lineCount > 1 ? ":" : "");
    }
    fputc('\n', stderr);
    return -1;
  }
  clearBehindWindow(0);
  return msgBoxRun(flags, lines, lines ? lineCount : 0, buttonCount);
}

const char *TS_HOSTAPI hostGetMsgSlot(int moduleNumber, int messageNumber) {
  HostModule *module = findModule(moduleNumber);
  if (!module) return "";
  if (!module->loaded) {
    module->loaded = 1;
    char path[HOST_PATH_ROOM + 256];
    if (lngChooseFile(module->directory, language, path, sizeof path)) lngLoadFile(path, &module->messages);
  }
  return lngMessage(&module->messages, messageNumber);
}
