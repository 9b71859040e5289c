/*
 * The cell grid itself: allocation, clearing, clipped writes and the shadow.
 * Everything is clipped here, so drawing code may run off any edge.
 */
#include "host/screen.h"

#include <stdlib.h>
#include <string.h>

const Paint kBlankPaint = {0x07, MONO_NORMAL};

/* The shadow's paint: dark grey on black, dim in monochrome. */
static const Paint kShadowPaint = {0x08, MONO_DIM};

int screenResize(Screen *screen, int cols, int rows) {
  screenFree(screen);
  if (cols < 1 || rows < 1 || cols > SCREEN_MAX_COLS || rows > SCREEN_MAX_ROWS) return 0;
  screen->cells = (Cell *)malloc(sizeof(Cell) * (size_t)cols * (size_t)rows);
  if (!screen->cells) return 0;
  screen->cols = cols;
  screen->rows = rows;
  screenClear(screen);
  return 1;
}

void screenFree(Screen *screen) {
  free(screen->cells);
  screen->cells = nullptr;
  screen->cols = screen->rows = 0;
  screen->cursorX = screen->cursorY = 0;
  screen->cursorVisible = 0;
  screen->focusX = screen->focusY = -1;
}

int screenCopy(Screen *to, const Screen *from) {
  if (to->cols != from->cols || to->rows != from->rows || !to->cells) {
    if (!screenResize(to, from->cols, from->rows)) return 0;
  }
  memcpy(to->cells, from->cells, sizeof(Cell) * (size_t)from->cols * (size_t)from->rows);
  to->cursorX = from->cursorX;
  to->cursorY = from->cursorY;
  to->cursorVisible = from->cursorVisible;
  to->focusX = from->focusX;
  to->focusY = from->focusY;
  return 1;
}

void screenClear(Screen *screen) {
  int count = screen->cols * screen->rows;
  for (int i = 0; i < count; i++) {
    screen->cells[i].ch = ' ';
    screen->cells[i].paint = kBlankPaint;
  }
  screen->cursorVisible = 0;
  screen->focusX = screen->focusY = -1;
}

Cell *screenCell(Screen *screen, int x, int y) {
  if (x < 0 || y < 0 || x >= screen->cols || y >= screen->rows) return nullptr;
  return &screen->cells[y * screen->cols + x];
}

const Cell *screenCellAt(const Screen *screen, int x, int y) {
  if (x < 0 || y < 0 || x >= screen->cols || y >= screen->rows) return nullptr;
  return &screen->cells[y * screen->cols + x];
}

void screenPut(Screen *screen, int x, int y, uint32_t ch, Paint paint) {
  Cell *cell = screenCell(screen, x, y);
  if (!cell) return;
  cell->ch = ch;
  cell->paint = paint;
}

/* The part of a rectangle that lies on the screen, as [x0, x1) x [y0, y1):
   empty when none does; computed in 64 bits, so that no size overflows. */
static void clipRect(const Screen *screen, int x, int y, int width, int height, int *x0, int *y0, int *x1, int *y1) {
  long long right = (long long)x + width, bottom = (long long)y + height;
  *x0 = x < 0 ? 0 : x;
  *y0 = y < 0 ? 0 : y;
  *x1 = (int)(right > screen->cols ? screen->cols : right);
  *y1 = (int)(bottom > screen->rows ? screen->rows : bottom);
}

void screenFill(Screen *screen, int x, int y, int width, int height, uint32_t ch, Paint paint) {
  int x0, y0, x1, y1;
  clipRect(screen, x, y, width, height, &x0, &y0, &x1, &y1);
  for (int row = y0; row < y1; row++)
    for (int col = x0; col < x1; col++) screenPut(screen, col, row, ch, paint);
}

void screenShade(Screen *screen, int x, int y, int width, int height) {
  int x0, y0, x1, y1;
  clipRect(screen, x, y, width, height, &x0, &y0, &x1, &y1);
  for (int row = y0; row < y1; row++)
    for (int col = x0; col < x1; col++) {
      Cell *cell = screenCell(screen, col, row);
      if (cell) cell->paint = kShadowPaint;
    }
}

void screenSetCursor(Screen *screen, int x, int y) {
  screen->cursorX = x;
  screen->cursorY = y;
  screen->cursorVisible = x >= 0 && y >= 0 && x < screen->cols && y < screen->rows;
}

void screenSetFocus(Screen *screen, int x, int y) {
  screen->focusX = x;
  screen->focusY = y;
}
