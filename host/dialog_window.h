/*
 * The host's dialog window: an array of the host's dialog item records drawn
 * as a light-grey panel, and the keyboard acting on it. The user's input (edit
 * texts, check and radio states, the focus) is written into the records in
 * place; a dialog ends with the index of the item that closed it, or -1.
 */
#ifndef TESSEL_HOST_DIALOG_WINDOW_H
#define TESSEL_HOST_DIALOG_WINDOW_H

#include "dialog/dialog.h"
#include "host/draw.h"
#include "host/modal.h"
#include "host/screen.h"

/* Items the host shows in one dialog; records past it are left alone. */
enum { DIALOG_MAX_ITEMS = 512 };

/* A dialog on screen: its records, where it stands and the state of its
   edit fields. */
typedef struct DialogView {
  DialogItem *items;            /* the caller's records, edited in place */
  int count;                    /* 0 to DIALOG_MAX_ITEMS */
  int x1, y1, x2, y2;           /* as asked: -1, -1, width, height centres it */
  int left, top, width, height; /* where it stands on the screen */
  int cols, rows;               /* the screen it was placed on */
  int focus;                    /* index of the focused item, or -1 */
  int column[DIALOG_MAX_ITEMS]; /* each item's left column in the dialog */
  int cursor[DIALOG_MAX_ITEMS]; /* edit fields: cursor position in the text */
  int scroll[DIALOG_MAX_ITEMS]; /* edit fields: first position shown */
  const Palette *palette;
} DialogView;

/* Prepares a view of count records (at most DIALOG_MAX_ITEMS are used) for
   a screen of cols x rows: places it, centres the rows of DIF_CENTERGROUP
   items and gives the focus to the first focusable item whose focus field is
   set, else to the first one the Tab key would reach. On a screen smaller
   than the dialog, items that do not lie wholly on the screen take no focus:
   neither Tab, the arrows nor hot keys reach them. */
void dialogOpen(DialogView *view, DialogItem *items, int count, int x1, int y1, int x2, int y2, int cols, int rows);

/* Places the view again for a screen of cols x rows (after a resize); a
   focus left off the screen moves to the first item Tab reaches on it. */
void dialogPlace(DialogView *view, int cols, int rows);

/* Draws the dialog over what the screen holds, and puts the cursor where
   the focused item wants it. On a screen smaller than the dialog, its last
   row says so ("terminal 40x12 is smaller than the dialog 48x12"). */
void dialogDraw(const DialogView *view, Screen *screen);

/* Acts on one key. Returns MODAL_OPEN while the dialog stays, else the
   index of the item that closes it, or -1 for a cancel; on closing, the
   focus fields of the records are set to where the focus is. */
int dialogKey(DialogView *view, int key);

/* Runs a dialog in the session's modal loop until it closes (F1 shows its
   help topic); returns as dialogKey. */
int dialogRun(DialogItem *items, int count, int x1, int y1, int x2, int y2, const char *helpTopic);

#endif
