/*
 * The host's message boxes: a title, text lines (the line holding only the
 * byte 0x01 is a separator) and a row of buttons, centred in a framed panel;
 * white on red for warnings.
 */
#ifndef TESSEL_HOST_MSGBOX_H
#define TESSEL_HOST_MSGBOX_H

#include "dialog/dialog.h"
#include "host/modal.h"
#include "host/screen.h"

/* The flags of a message box are the MSG_ flags of dialog/dialog.h. */

/* The text line that is drawn as a separator across the box. */
#define MSG_SEPARATOR "\x01"

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
  int focus;                    /* the focused button */
  int left, top, width, height; /* the panel on the screen */
  int textWidth;                /* the widest line, or the button row */
  int tight;                    /* the frame is the panel's edge (the help box) */
} MsgBoxView;

/* Lays out a message box for a screen of cols x rows: lines[0] is the
   title, the last buttonCount lines are the buttons, those between are the
   text (null lines read as empty). Button and line counts beyond what the
   lines hold are cut, as are lines past MSG_MAX_LINES. */
void msgBoxOpen(MsgBoxView *view, unsigned flags, const char *const *lines, int lineCount, int buttonCount, int cols,
                int rows);

/* Draws it over what the screen holds. */
void msgBoxDraw(const MsgBoxView *view, Screen *screen);

/* Acts on one key: MODAL_OPEN while the box stays, else the chosen button's
   index (0 for the first), or -1 for Esc and F10. */
int msgBoxKey(MsgBoxView *view, int key);

/* Runs a message box in the session's modal loop (F1 is a key like any
   other: a message box has no help topic); returns as msgBoxKey. A box
   without buttons is drawn, shown and left on the screen, and returns -1 at
   once. */
int msgBoxRun(unsigned flags, const char *const *lines, int lineCount, int buttonCount);

/* As msgBoxRun, for a box whose frame is its panel's edge, with one blank
   between frame and text: it hides no more of the window behind it than the
   box itself and its shadow. The help viewer shows its topics in one. */
int msgBoxRunTight(unsigned flags, const char *const *lines, int lineCount, int buttonCount);

#endif
