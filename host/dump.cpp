/*
 * The three screen writers. They read cells only; colours go out as the
 * console palette (VGA RGB for HTML, the sixteen SGR colours for ANSI).
 */
#include "host/dump.h"

#include "host/codepage.h"

namespace {

const unsigned kVgaRgb[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA,
                              0xAA5500, 0xAAAAAA, 0x555555, 0x5555FF, 0x55FF55, 0x55FFFF,
                              0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
const int kConsoleToAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};

void putChar(uint32_t ch, FILE *out) {
  char bytes[4];
  fwrite(bytes, 1, (size_t)utf8Encode(ch, bytes), out);
}

/* Columns of a row up to its last non-blank cell. */
int usedWidth(const Screen *screen, int row) {
  int width = screen->cols;
  while (width > 0 && screenCellAt(screen, width - 1, row)->ch == ' ') width--;
  return width;
}

}  // namespace

unsigned consoleRgb(int colour) { return kVgaRgb[colour & 15]; }

int consoleToAnsi(int colour) { return kConsoleToAnsi[colour & 7]; }

void dumpText(const Screen *screen, FILE *out) {
  for (int row = 0; row < screen->rows; row++) {
    int width = usedWidth(screen, row);
    for (int col = 0; col < width; col++) putChar(screenCellAt(screen, col, row)->ch, out);
    fputc('\n', out);
  }
}

void dumpAnsi(const Screen *screen, FILE *out) {
  for (int row = 0; row < screen->rows; row++) {
    int current = -1;
    for (int col = 0; col < screen->cols; col++) {
      const Cell *cell = screenCellAt(screen, col, row);
      int colour = cell->paint.colour;
      if (colour != current) {
        int fg = colour & 15, bg = colour >> 4 & 15;
        fprintf(out, "\033[0;%d;%dm", (fg & 8 ? 90 : 30) + consoleToAnsi(fg),
                (bg & 8 ? 100 : 40) + consoleToAnsi(bg));
        current = colour;
      }
      putChar(cell->ch, out);
    }
    fputs("\033[0m\n", out);
  }
}

void dumpHtml(const Screen *screen, FILE *out, const char *title) {
  fputs("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>", out);
  for (const char *p = title ? title : ""; *p; p++) {
    if (*p == '<') fputs("&lt;", out);
    else if (*p == '>') fputs("&gt;", out);
    else if (*p == '&') fputs("&amp;", out);
    else fputc(*p, out);
  }
  fputs("</title></head>\n<body style=\"background:#000\">\n"
        "<pre style=\"font-family:monospace;line-height:1.2\">",
        out);
  for (int row = 0; row < screen->rows; row++) {
    int current = -1;
    for (int col = 0; col < screen->cols; col++) {
      const Cell *cell = screenCellAt(screen, col, row);
      int colour = cell->paint.colour;
      if (colour != current) {
        if (current >= 0) fputs("</span>", out);
        fprintf(out, "<span style=\"color:#%06X;background:#%06X\">", consoleRgb(colour & 15),
                consoleRgb(colour >> 4 & 15));
        current = colour;
      }
      if (cell->ch == '<') fputs("&lt;", out);
      else if (cell->ch == '>') fputs("&gt;", out);
      else if (cell->ch == '&') fputs("&amp;", out);
      else putChar(cell->ch, out);
    }
    if (current >= 0) fputs("</span>", out);
    fputc('\n', out);
  }
  fputs("</pre>\n</body></html>\n", out);
}
