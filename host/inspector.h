/*
 * The item inspector of the host's dialogs, and the status line below every
 * window. The program installs a describer; F3 in a dialog then shows what
 * it says of the focused item in a box at the bottom of the screen, and F3
 * again hides it. The host only draws: the lines come from the describer.
 */
#ifndef TESSEL_HOST_INSPECTOR_H
#define TESSEL_HOST_INSPECTOR_H

#include "dialog/dialog.h"
#include "host/keys.h"
#include "host/screen.h"

/* The key that shows and hides the inspector box: F3. */
enum { INSPECTOR_KEY = TK_F1 + 2 };

/* Lines an inspector box holds, and the room of each (bytes of the host's
   code page, NUL included); the box wraps a line longer than its width. */
enum { INSPECTOR_MAX_LINES = 10, INSPECTOR_LINE_ROOM = 256 };

/* What the box shows: a title in its top border and the lines inside. */
typedef struct InspectorText {
  char title[INSPECTOR_LINE_ROOM];
  char lines[INSPECTOR_MAX_LINES][INSPECTOR_LINE_ROOM];
  int count;
} InspectorText;

/* Fills text (zeroed by the caller) for the item at index of a dialog of
   count items, as the host was handed them. */
typedef void (*InspectorFn)(const DialogItem *items, int count, int index, InspectorText *text);

/* Installs the describer (null: none, and F3 is a key like any other). */
void hostSetInspector(InspectorFn describe);
InspectorFn hostInspector(void);

/* Draws the box for the item at index (-1: no item has the focus) over the
   bottom of the screen (the top, when the focus stands where it would be),
   with the installed describer's lines. */
void inspectorDraw(Screen *screen, const DialogItem *items, int count, int index);

/* The status line: text (copied; null or empty: none) that every window of
   the host has on the bottom row behind it. */
void hostSetStatusLine(const char *text);

/* Draws the status line on the bottom row, if there is one to draw; behind
   a dialog (dialog set) it names the inspector's key while a describer is
   installed. */
void statusLineDraw(Screen *screen, int dialog);

#endif
