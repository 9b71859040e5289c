/*
 * The session: the screen model, where keys come from and where dumps go,
 * and with a file watch, the changes that wake a wait and the status line.
 * One session at a time, process-wide, as the host has one console.
 */
#include "host/session.h"

#include <stdlib.h>
#include <string.h>

#include "host/draw.h"
#include "host/dump.h"
#include "host/keys.h"
#include "host/terminal.h"

namespace {

Screen screen;
int onTerminal;     /* keys from the terminal, else from the script */
int followTerminal; /* the screen takes the terminal's size */
int *script;        /* owned copy of the script's keys */
int scriptCount, scriptNext;
int escAfterScript; /* Esc keys fed since the script ran out */
SessionState state;
FILE *dumpFile;
int dumpCount;
FileWatch *watch; /* not owned; null: no live reload */
SessionChangeFn onChange;
void *changeContext;
int reloading;    /* TK_RELOAD until sessionEndReload */
char status[512]; /* the status line, empty when none */
int statusError;

/* The status line's paints: white on red for an error, black on cyan for
   a notice (reverse on a monochrome terminal). */
const Paint kStatusError = {0x4F, MONO_REVERSE};
const Paint kStatusNotice = {0x30, MONO_REVERSE};

/* Draws the status line over the bottom row. */
void drawStatus() {
  if (!status[0] || screen.rows < 1) return;
  Paint paint = statusError ? kStatusError : kStatusNotice;
  int y = screen.rows - 1;
  screenFill(&screen, 0, y, screen.cols, 1, ' ', paint);
  drawBytes(&screen, 0, y, status, (int)strlen(status), paint, paint, -1, screen.cols);
}

/* Hands a settled change to the hook; 1 when it asks for a reload, which
   then closes every window. */
int changed() {
  if (onChange && onChange(changeContext) == SESSION_RELOAD) reloading = 1;
  return reloading;
}

/* Appends one dump, headed by its number, the key that answers it (when
   known) and where the focus stands (column and row from 0), if anywhere. */
void dump(int key) {
  if (!dumpFile) return;
  char name[32], cursor[48] = "";
  dumpCount++;
  if (screen.focusX >= 0) snprintf(cursor, sizeof cursor, ", focus %d,%d", screen.focusX, screen.focusY);
  if (key == TK_NONE) fprintf(dumpFile, "=== screen %d%s ===\n", dumpCount, cursor);
  else
    fprintf(dumpFile, "=== screen %d, next key %s%s%s ===\n", dumpCount, keyDescribe(key, name, sizeof name),
            scriptNext > scriptCount ? " (keys ran out)" : "", cursor);
  dumpText(&screen, dumpFile);
  fflush(dumpFile);
}

/* The next key of the script, Esc once it has run out. Past
   SESSION_ESC_AFTER_SCRIPT such Escs the session gives up; the caller then
   sees SESSION_KEYS_RAN_OUT and dumps no more. */
int nextScriptKey() {
  if (scriptNext < scriptCount) return script[scriptNext++];
  scriptNext = scriptCount + 1;
  if (state == SESSION_RUNNING && ++escAfterScript > SESSION_ESC_AFTER_SCRIPT) state = SESSION_KEYS_RAN_OUT;
  return TK_ESC;
}

}  // namespace

int sessionOpenScripted(int cols, int rows, const int *keys, int count) {
  sessionClose();
  if (!screenResize(&screen, cols, rows)) return 0;
  if (count > 0) {
    script = (int *)malloc(sizeof(int) * (size_t)count);
    if (!script) {
      screenFree(&screen);
      return 0;
    }
    memcpy(script, keys, sizeof(int) * (size_t)count);
  }
  scriptCount = count > 0 ? count : 0;
  scriptNext = 0;
  escAfterScript = 0;
  state = SESSION_RUNNING;
  return 1;
}

int sessionOpenTerminal(int cols, int rows) {
  sessionClose();
  int opened = terminalOpen();
  if (opened != TERMINAL_OPEN) return opened;
  followTerminal = cols <= 0 || rows <= 0;
  if (followTerminal) terminalSize(&cols, &rows);
  if (cols < 1) cols = 1;
  if (rows < 1) rows = 1;
  if (cols > SCREEN_MAX_COLS) cols = SCREEN_MAX_COLS;
  if (rows > SCREEN_MAX_ROWS) rows = SCREEN_MAX_ROWS;
  if (!screenResize(&screen, cols, rows)) {
    terminalClose();
    return TERMINAL_NONE;
  }
  onTerminal = 1;
  return TERMINAL_OPEN;
}

void sessionSetDumpFile(FILE *out) { dumpFile = out; }

Screen *sessionScreen(void) { return &screen; }

int sessionWaitKey(void) {
  if (reloading) return TK_RELOAD;
  if (!onTerminal) {
    for (;;) {
      int key = nextScriptKey();
      drawStatus();
      if (state == SESSION_RUNNING) dump(key);
      if (key != TK_WAIT_RELOAD) return key;
      if (watch && state == SESSION_RUNNING && fileWatchWait(watch, SESSION_RELOAD_WAIT_MS) && changed())
        return TK_RELOAD;
    }
  }
  drawStatus();
  terminalPresent(&screen);
  dump(TK_NONE);
  int key;
  for (;;) {
    key = terminalReadKeyOr(watch ? fileWatchFd(watch) : -1);
    if (key != TK_NONE) break;
    if (!fileWatchSettle(watch)) continue;
    if (changed()) return TK_RELOAD;
    drawStatus(); /* kept: show what the hook said */
    terminalPresent(&screen);
  }
  if (key == TK_RESIZE && followTerminal) {
    int cols, rows;
    terminalSize(&cols, &rows);
    if (cols >= 1 && rows >= 1 && cols <= SCREEN_MAX_COLS && rows <= SCREEN_MAX_ROWS) screenResize(&screen, cols, rows);
  }
  return key;
}

SessionState sessionState(void) { return state; }

void sessionSetMouse(int on) {
  if (onTerminal) terminalMouse(on);
}

void sessionPresent(void) {
  if (onTerminal) terminalPresent(&screen);
}

void sessionSetWatch(FileWatch *w, SessionChangeFn hook, void *context) {
  watch = w;
  onChange = hook;
  changeContext = context;
}

int sessionReloading(void) { return reloading; }

void sessionEndReload(void) { reloading = 0; }

void sessionSetStatus(const char *text, int error) {
  snprintf(status, sizeof status, "%s", text ? text : "");
  statusError = error;
}

void sessionClose(void) {
  if (onTerminal) terminalClose();
  onTerminal = 0;
  followTerminal = 0;
  free(script);
  script = nullptr;
  scriptCount = scriptNext = 0;
  escAfterScript = 0;
  state = SESSION_RUNNING;
  watch = nullptr;
  onChange = nullptr;
  changeContext = nullptr;
  reloading = 0;
  status[0] = 0;
  screenFree(&screen);
}
