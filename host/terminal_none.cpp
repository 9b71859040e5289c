/*
 * The terminal of a build without a full-screen terminal (the Windows
 * build): it never opens, so the windows are drawn into the screen model
 * only, for render and for sessions whose keys come from --keys.
 */
#include "host/terminal.h"

#include "host/keys.h"

int terminalOpen(void) { return TERMINAL_NONE; }

void terminalClose(void) {}

void terminalMouse(int on) { (void)on; }

void terminalSize(int *cols, int *rows) {
  *cols = 80;
  *rows = 25;
}

void terminalPresent(const Screen *screen) { (void)screen; }

int terminalReadKey(void) { return TK_NONE; }

int terminalReadKeyOr(int fd) {
  (void)fd;
  return TK_NONE;
}
