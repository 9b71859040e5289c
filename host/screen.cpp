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

void screenFill(Screen *screen, int x, int y, int width, int height, uint32_t ch, Paint paint) {
  for (int row = y; row < y + height; row++)
    for (int col = x; col < x + width; col++) screenPut(screen, col, row, ch, paint);
}

void screenShade(Screen *screen, int x, int y, int width, int height) {
  for (int row = y; row < y + height; row++)
    for (int col = x; col < x + width; col++) {
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
