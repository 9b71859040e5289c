/*
 * The host dialog's layout rules: which item types it draws, which take the
 * focus and which carry a hot key, the cells each item takes on its row, the
 * columns of centred texts and centred groups, and a button's frame. The
 * window that draws (host/) lays dialogs out with these, and the check that
 * judges them (author/) places items with the same functions, so a verdict
 * on where an item lands is the window's own.
 *
 * Cells are counted in 64 bits: a record's coordinates may be anything a
 * 32-bit number holds, and widths and sums of them must not overflow.
 */
#ifndef TESSEL_LAYOUT_LAYOUT_H
#define TESSEL_LAYOUT_LAYOUT_H

#include "dialog/dialog.h"
#include "layout/hot_text.h"

typedef long long LayoutCell;

/* How a button shows: in brackets, in braces when it is the default
   button, bare with DIF_NOBRACKETS; a frame takes four cells. */
enum ButtonFrame { BUTTON_BRACKETS, BUTTON_BRACES, BUTTON_BARE };
enum { BUTTON_FRAME_CELLS = 4 };

/* The ten item types the window knows; any other number is drawn as
   nothing, takes no focus and has no hot key. */
int layoutKnownType(int type);
int layoutIsBox(int type);
int layoutIsEdit(int type);
int layoutIsFocusable(int type);

/* Items whose text carries a hot key: the known types but the edit fields. */
int layoutHasHotKey(int type);

/* Whether the item shows anything of its own: a known type, and no text
   drawn as a separator line. */
int layoutDrawsItem(const DialogItem *item);

/* Items that DIF_CENTERGROUP moves: texts that are no separator, buttons,
   check boxes and radio buttons. */
int layoutCentresInGroup(const DialogItem *item);

int layoutButtonFrame(const DialogItem *item);

/* The cells a button's text and frame take. */
int buttonWidth(const char *text, int length, int showAmpersand, int frame);

/* An edit field's width: its right column less its left plus one, at least 1. */
LayoutCell layoutFieldWidth(const DialogItem *item);

/* The cells an item takes on its row (a box: its left column to its right). */
LayoutCell layoutItemWidth(const DialogItem *item);

/* The size of a dialog the host is asked to show at x1, y1, x2, y2: where
   x1 (y1) is negative the dialog is centred and x2 (y2) is its width
   (height), else they are its corners; at least one cell each way. */
void layoutDialogSize(int x1, int y1, int x2, int y2, LayoutCell *width, LayoutCell *height);

/* The left column of each of count items in a dialog width cells wide: the
   record's own, a text with left column -1 centred, and the items of a
   DIF_CENTERGROUP row centred together, one cell apart. */
void layoutColumns(const DialogItem *items, int count, LayoutCell width, LayoutCell *column);

#endif
