/*
 * The host's message boxes: a title, text lines (the line holding only the
 * byte 0x01 is a separator) and a row of buttons, centred in a framed panel;
 * white on red for warnings.
 */
#ifndef TESSEL_HOST_MSGBOX_H
#define TESSEL_HOST_MSGBOX_H

#include "host/screen.h"

/* Flags of a message box, as the host's message operation takes them. */
enum {
  MSG_WARNING = 0x01,     /* white on red */
  MSG_ERRORTYPE = 0x02,   /* the system's text for the last error code comes first */
  MSG_KEEPBACKGROUND = 0x04,
  MSG_DOWN = 0x08,        /* stands in the lower half of the screen */
  MSG_LEFTALIGN = 0x10    /* lines start at the left instead of centred */
};

/* Lines (text and buttons each) a message box holds; more are cut. */
enum { MSG_MAX_LINES = 64 };

/* The layout of one message box, from its lines. */
typedef struct MsgBoxView {
  unsigned flags;
  const char *title;
  const char *lines[MSG_MAX_LINES + 1]; /* text lines, the error text first when asked */
  int lineCount;
  const char *buttons[MSG_MAX_LINES];
  int buttonCount;
  int focus;                            /* the focused button */
  int left, top, width, height;         /* the panel on the screen */
  int textWidth;                        /* the widest line, or the button row */
} MsgBoxView;

/* Lays out a message box for a screen of cols x rows: lines[0] is the
   title, the last buttonCount lines are the buttons, those between are the
   text (null lines read as empty). Button and line counts beyond what the
   lines hold are cut, as are lines past MSG_MAX_LINES. */
void msgBoxOpen(MsgBoxView *view, unsigned flags, const char *const *lines, int lineCount, int buttonCount,
                int cols, int rows);

/* Draws it over what the screen holds. */
void msgBoxDraw(const MsgBoxView *view, Screen *screen);

/* Acts on one key: -2 while the box stays, else the chosen button's index
   (0 for the first), or -1 for Esc and F10. */
int msgBoxKey(MsgBoxView *view, int key);

/* Runs a message box in the session; returns as msgBoxKey. A box without
   buttons is shown and returns -1 at once. */
int msgBoxRun(unsigned flags, const char *const *lines, int lineCount, int buttonCount);

/* Shows the help topic of a window, since the stand-in has no help files. */
void msgBoxHelp(const char *topic);

/* The system's text for a Windows error code, or null when the host knows
   none. */
const char *msgErrorText(unsigned code);

#endif
