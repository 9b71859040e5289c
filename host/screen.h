/*
 * The screen model: a grid of cells, each a character (a Unicode code point)
 * with its console colour byte and its monochrome style, plus the cursor.
 * Menus, dialogs and message boxes draw into it; the terminal, the render
 * command and the --screen dumps all read it, so all three show the same.
 */
#ifndef TESSEL_HOST_SCREEN_H
#define TESSEL_HOST_SCREEN_H

#include <stdint.h>

/* Bounds of a screen; --size is checked against them. */
enum { SCREEN_MIN_COLS = 20, SCREEN_MIN_ROWS = 5, SCREEN_MAX_COLS = 1000, SCREEN_MAX_ROWS = 500 };

/* Monochrome styles, for terminals without colours. */
enum { MONO_NORMAL = 0, MONO_REVERSE = 1, MONO_BOLD = 2, MONO_UNDERLINE = 4, MONO_DIM = 8, MONO_STYLES = 15 };

/* What a cell belongs to, for the text dumps, which show neither colours nor
   styles: the room of an input field past its text (shown as middle dots,
   as the field's colour shows its extent on a terminal) and a menu's marked entry (the
   blanks at the two ends of its row show as > and <). Kept beside the style
   bits; the terminal and the colour writers ignore them. */
enum { MARK_FIELD = 16, MARK_SELECTED = 32 };

/* How a cell is painted: the console colour byte (foreground in bits 0-3,
   background in bits 4-7) and the style that stands for it in monochrome,
   with the marks above. */
typedef struct Paint {
  uint8_t colour;
  uint8_t mono;
} Paint;

typedef struct Cell {
  uint32_t ch;
  Paint paint;
} Cell;

typedef struct Screen {
  int cols, rows;
  int cursorX, cursorY; /* where the terminal's cursor stands */
  int cursorVisible;
  int focusX, focusY; /* where the focused item or marked entry stands, -1 when none */
  Cell *cells;        /* rows * cols, row by row; owned by the screen */
} Screen;

/* The colour a fresh screen is cleared with: light grey on black. */
extern const Paint kBlankPaint;

/* Gives the screen cols x rows blank cells and a hidden cursor; any cells it
   held are released first. Returns 1, or 0 when the size is out of bounds or
   memory runs out (the screen is then empty, 0 x 0). */
int screenResize(Screen *screen, int cols, int rows);

/* Releases the cells; the screen is then empty. */
void screenFree(Screen *screen);

/* Copies from into to, resizing to; returns 0 when memory runs out. */
int screenCopy(Screen *to, const Screen *from);

/* Blanks every cell with kBlankPaint, hides the cursor and forgets the
   focus. */
void screenClear(Screen *screen);

/* The cell at x, y, or null outside the screen. */
Cell *screenCell(Screen *screen, int x, int y);
const Cell *screenCellAt(const Screen *screen, int x, int y);

/* Writes one character; nothing outside the screen. */
void screenPut(Screen *screen, int x, int y, uint32_t ch, Paint paint);

/* Fills a rectangle with one character; clipped to the screen. */
void screenFill(Screen *screen, int x, int y, int width, int height, uint32_t ch, Paint paint);

/* Paints a rectangle as a shadow: characters kept, dark grey on black. */
void screenShade(Screen *screen, int x, int y, int width, int height);

/* Puts the cursor at x, y and shows it (hidden when outside the screen). */
void screenSetCursor(Screen *screen, int x, int y);

/* Records where the focused item (or a menu's marked entry) stands, which
   the dumps name, since a text dump shows neither colours nor the cursor. */
void screenSetFocus(Screen *screen, int x, int y);

#endif
