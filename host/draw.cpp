/*
 * The drawing primitives. Texts arrive as bytes of the host's code page and
 * are shown through the code page table; frames and marks are Unicode.
 */
#include "host/draw.h"

#include <string.h>

#include "codepage/codepage.h"
#include "host/hotkey.h"

/*                                 text          hotkey        box           boxTitle
                                   edit          focus         focusHotkey   history */
const Palette kDialogPalette = {{0x70, MONO_NORMAL},
                                {0x7E, MONO_UNDERLINE},
                                {0x70, MONO_NORMAL},
                                {0x70, MONO_BOLD},
                                {0x30, MONO_REVERSE},
                                {0x30, MONO_REVERSE},
                                {0x3E, MONO_REVERSE | MONO_UNDERLINE},
                                {0x70, MONO_NORMAL}};
const Palette kWarningPalette = {{0x4F, MONO_NORMAL},
                                 {0x4E, MONO_UNDERLINE},
                                 {0x4F, MONO_NORMAL},
                                 {0x4F, MONO_BOLD},
                                 {0x30, MONO_REVERSE},
                                 {0x70, MONO_REVERSE},
                                 {0x7E, MONO_REVERSE | MONO_UNDERLINE},
                                 {0x4F, MONO_NORMAL}};
const Palette kMenuPalette = {{0x3F, MONO_NORMAL},
                              {0x3E, MONO_UNDERLINE},
                              {0x3F, MONO_NORMAL},
                              {0x3F, MONO_BOLD},
                              {0x30, MONO_REVERSE},
                              {0x0F, MONO_REVERSE},
                              {0x0E, MONO_REVERSE | MONO_UNDERLINE},
                              {0x3F, MONO_NORMAL}};

Paint paintOfColour(int colour) {
  Paint paint = {(uint8_t)(colour & 0xFF), MONO_NORMAL};
  return paint;
}

Paint hotPaintOfColour(int colour) {
  int fg = (colour & 0x0F) == 0x0E ? 0x0F : 0x0E;
  Paint paint = {(uint8_t)((colour & 0xF0) | fg), MONO_UNDERLINE};
  return paint;
}

int drawBytes(Screen *screen, int x, int y, const char *bytes, int length, Paint normal, Paint hot, int hotIndex,
              int maxCells) {
  int drawn = 0;
  for (int i = 0; i < length && bytes[i] && (maxCells < 0 || drawn < maxCells); i++, drawn++)
    screenPut(screen, x + i, y, cpDecode((unsigned char)bytes[i]), i == hotIndex ? hot : normal);
  return drawn;
}

int drawHotText(Screen *screen, int x, int y, const char *text, int length, int showAmpersand, Paint normal, Paint hot,
                int maxCells) {
  char visible[WINDOW_TEXT_MAX];
  int hotIndex = hotSplit(text, length, showAmpersand, visible, sizeof visible);
  return drawBytes(screen, x, y, visible, (int)strlen(visible), normal, hot, hotIndex, maxCells);
}

int drawButton(Screen *screen, int x, int y, const char *text, int length, int showAmpersand, int frame, Paint normal,
               Paint hot) {
  if (frame == BUTTON_BARE) return drawHotText(screen, x, y, text, length, showAmpersand, normal, hot, -1);
  int braces = frame == BUTTON_BRACES;
  screenPut(screen, x, y, braces ? '{' : '[', normal);
  screenPut(screen, x + 1, y, ' ', normal);
  int width = drawHotText(screen, x + 2, y, text, length, showAmpersand, normal, hot, -1);
  screenPut(screen, x + 2 + width, y, ' ', normal);
  screenPut(screen, x + 3 + width, y, braces ? '}' : ']', normal);
  return width + BUTTON_FRAME_CELLS;
}

void drawPanel(Screen *screen, int x, int y, int width, int height, Paint paint) {
  screenFill(screen, x, y, width, height, ' ', paint);
  screenShade(screen, x + width, y + 1, 2, height);
  screenShade(screen, x + 2, y + height, width, 1);
}

void drawFrame(Screen *screen, int x1, int y1, int x2, int y2, int doubleLine, Paint paint) {
  if (x2 <= x1 || y2 <= y1) return;
  uint32_t h = doubleLine ? CH_DH : CH_H, v = doubleLine ? CH_DV : CH_V;
  for (int x = x1 + 1; x < x2; x++) {
    screenPut(screen, x, y1, h, paint);
    screenPut(screen, x, y2, h, paint);
  }
  for (int y = y1 + 1; y < y2; y++) {
    screenPut(screen, x1, y, v, paint);
    screenPut(screen, x2, y, v, paint);
  }
  screenPut(screen, x1, y1, doubleLine ? CH_DTL : CH_TL, paint);
  screenPut(screen, x2, y1, doubleLine ? CH_DTR : CH_TR, paint);
  screenPut(screen, x1, y2, doubleLine ? CH_DBL : CH_BL, paint);
  screenPut(screen, x2, y2, doubleLine ? CH_DBR : CH_BR, paint);
}

void drawBorderTitle(Screen *screen, int x1, int x2, int y, const char *text, int length, int left, int showAmpersand,
                     Paint normal, Paint hot) {
  char visible[WINDOW_TEXT_MAX];
  int hotIndex = hotSplit(text, length, showAmpersand, visible, sizeof visible);
  int width = (int)strlen(visible);
  int room = x2 - x1 - 3; /* a border cell at each end stays, and the two spaces */
  if (width == 0 || room <= 0) return;
  if (width > room) width = room;
  int x = left ? x1 + 2 : x1 + 1 + (x2 - x1 - 1 - (width + 2)) / 2;
  screenPut(screen, x, y, ' ', normal);
  drawBytes(screen, x + 1, y, visible, width, normal, hot, hotIndex, width);
  screenPut(screen, x + 1 + width, y, ' ', normal);
}

/* The tee that ends a horizontal line on a frame's vertical line, or the
   plain line when the cell holds no vertical line. */
static uint32_t joinOf(const Cell *cell, int leftEnd) {
  if (cell && (cell->ch == CH_DV || cell->ch == CH_DTEE_L || cell->ch == CH_DTEE_R))
    return leftEnd ? CH_DTEE_L : CH_DTEE_R;
  if (cell && (cell->ch == CH_V || cell->ch == CH_TEE_L || cell->ch == CH_TEE_R)) return leftEnd ? CH_TEE_L : CH_TEE_R;
  return CH_H;
}

void drawSeparator(Screen *screen, int x, int y, int length, Paint paint) {
  if (length <= 0) return;
  uint32_t head = joinOf(screenCellAt(screen, x, y), 1);
  uint32_t tail = joinOf(screenCellAt(screen, x + length - 1, y), 0);
  for (int i = 0; i < length; i++) screenPut(screen, x + i, y, CH_H, paint);
  if (length > 1) {
    screenPut(screen, x, y, head, paint);
    screenPut(screen, x + length - 1, y, tail, paint);
  }
}
