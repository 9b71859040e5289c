/*
 * Drawing primitives shared by menus, dialogs and message boxes: the host's
 * palettes, panels with their shadow, single and double frames with a title
 * in the border, separator lines that join the frame under their ends,
 * buttons, and texts in the host's code page with their hot-key letter
 * marked (the marks themselves, and a button's width, are layout/'s business).
 */
#ifndef TESSEL_HOST_DRAW_H
#define TESSEL_HOST_DRAW_H

#include "host/screen.h"
#include "layout/layout.h"

/* The paints of one kind of window. */
typedef struct Palette {
  Paint text;        /* texts, check boxes, radio buttons, the panel itself */
  Paint hotkey;      /* the hot-key letter of a text */
  Paint box;         /* frames and separator lines */
  Paint boxTitle;    /* a frame's title */
  Paint edit;        /* edit fields */
  Paint focus;       /* the focused button; the menu's marked entry */
  Paint focusHotkey; /* the hot-key letter on it */
  Paint history;     /* the history arrow after an edit field */
} Palette;

extern const Palette kDialogPalette;  /* black on light grey */
extern const Palette kWarningPalette; /* white on red */
extern const Palette kMenuPalette;    /* white on cyan, marked entry on black */

/* Characters of frames and marks. */
enum {
  CH_H = 0x2500,
  CH_V = 0x2502,
  CH_TL = 0x250C,
  CH_TR = 0x2510,
  CH_BL = 0x2514,
  CH_BR = 0x2518,
  CH_DH = 0x2550,
  CH_DV = 0x2551,
  CH_DTL = 0x2554,
  CH_DTR = 0x2557,
  CH_DBL = 0x255A,
  CH_DBR = 0x255D,
  CH_TEE_L = 0x251C,
  CH_TEE_R = 0x2524, /* single line joining a single frame */
  CH_DTEE_L = 0x255F,
  CH_DTEE_R = 0x2562, /* single line joining a double frame */
  CH_DOWN_ARROW = 0x2193,
  CH_BULLET = 0x2022,
  CH_CHECK = 0x221A
};

/* A paint of the colour byte an item sets for itself (DIF_SETCOLOR), and the
   paint of a hot-key letter drawn on it: yellow on its background (white
   when the item's own foreground is yellow). */
Paint paintOfColour(int colour);
Paint hotPaintOfColour(int colour);

/* Draws bytes of the code page at x, y, at most maxCells of them (negative:
   no limit), the one at hotIndex (or none, -1) in hot. Returns the cells
   drawn. */
int drawBytes(Screen *screen, int x, int y, const char *bytes, int length, Paint normal, Paint hot, int hotIndex,
              int maxCells);

/* hotSplit and drawBytes in one: returns the cells drawn. */
int drawHotText(Screen *screen, int x, int y, const char *text, int length, int showAmpersand, Paint normal, Paint hot,
                int maxCells);

/* Draws a button at x, y: the frame (ButtonFrame of layout/layout.h:
   "[ text ]", "{ text }" for a dialog's default button, or the bare text) and the text in normal,
   the hot-key letter in hot. Returns the cells it took. */
int drawButton(Screen *screen, int x, int y, const char *text, int length, int showAmpersand, int frame, Paint normal,
               Paint hot);

/* Fills a window's rectangle with blanks in paint and casts its shadow: two
   columns to the right and one row below. */
void drawPanel(Screen *screen, int x, int y, int width, int height, Paint paint);

/* Draws a frame with corners at x1, y1 and x2, y2 (inclusive); nothing when
   it has no inside (x2 <= x1 or y2 <= y1). */
void drawFrame(Screen *screen, int x1, int y1, int x2, int y2, int doubleLine, Paint paint);

/* Draws " text " in the border row y between the corners x1 and x2: centred,
   or from x1 + 2 when left is set; cut to the room between the corners. */
void drawBorderTitle(Screen *screen, int x1, int x2, int y, const char *text, int length, int left, int showAmpersand,
                     Paint normal, Paint hot);

/* Draws a horizontal line of length cells from x on row y; an end that falls
   on a vertical frame line joins it (a tee of the matching kind). */
void drawSeparator(Screen *screen, int x, int y, int length, Paint paint);

#endif
