/*
 * The three screen writers. They read cells only; colours go out as the
 * console palette (VGA RGB for HTML, the sixteen SGR colours for ANSI).
 */
#include "host/dump.h"

#include <stdlib.h>

#include "codepage/codepage.h"

namespace {

const unsigned kVgaRgb[16] = {0x000000, 0x0000AA, 0x00AA00, 0x00AAAA, 0xAA0000, 0xAA00AA, 0xAA5500, 0xAAAAAA,
                              0x555555, 0x5555FF, 0x55FF55, 0x55FFFF, 0xFF5555, 0xFF55FF, 0xFFFF55, 0xFFFFFF};
const int kConsoleToAnsi[8] = {0, 4, 2, 6, 1, 5, 3, 7};

void putChar(uint32_t ch, FILE *out) {
  char bytes[4];
  fwrite(bytes, 1, (size_t)utf8Encode(ch, bytes), out);
}

const uint32_t kFieldBlank = 0x00B7; /* middle dot */

int marked(const Screen *screen, int col, int row) {
  const Cell *cell = screenCellAt(screen, col, row);
  return cell && (cell->paint.mono & MARK_SELECTED);
}

/* The character the text dump shows for a cell: its own, but a blank of an
   input field's unused room as a middle dot, and the blank at either end of
   a run of marked cells as > or <. */
uint32_t textOf(const Screen *screen, int col, int row) {
  const Cell *cell = screenCellAt(screen, col, row);
  if (cell->ch != ' ') return cell->ch;
  if (cell->paint.mono & MARK_FIELD) return kFieldBlank;
  if (marked(screen, col, row) && !marked(screen, col - 1, row)) return '>';
  if (marked(screen, col, row) && !marked(screen, col + 1, row)) return '<';
  return ' ';
}

/* Columns of a row up to its last cell that the text dump shows as no blank. */
int usedWidth(const Screen *screen, int row) {
  int width = screen->cols;
  while (width > 0 && textOf(screen, width - 1, row) == ' ') width--;
  return width;
}

/* The SGR sequence of a paint in colour: foreground and background. */
void colourSgr(Paint paint, FILE *out) {
  int fg = paint.colour & 15, bg = paint.colour >> 4 & 15;
  fprintf(out, "\033[0;%d;%dm", (fg & 8 ? 90 : 30) + consoleToAnsi(fg), (bg & 8 ? 100 : 40) + consoleToAnsi(bg));
}

/* The SGR sequence of a paint in monochrome: its styles only. */
void monoSgr(Paint paint, FILE *out) {
  static const struct {
    int style, sgr;
  } kStyles[] = {{MONO_BOLD, 1}, {MONO_DIM, 2}, {MONO_UNDERLINE, 4}, {MONO_REVERSE, 7}};
  fputs("\033[0", out);
  for (const auto &s : kStyles)
    if (paint.mono & s.style) fprintf(out, ";%d", s.sgr);
  fputc('m', out);
}

}  // namespace

int coloursWanted(void) {
  const char *noColour = getenv("NO_COLOR");
  return !noColour || !noColour[0];
}

unsigned consoleRgb(int colour) { return kVgaRgb[colour & 15]; }

int consoleToAnsi(int colour) { return kConsoleToAnsi[colour & 7]; }

void dumpText(const Screen *screen, FILE *out) {
  for (int row = 0; row < screen->rows; row++) {
    int width = usedWidth(screen, row);
    for (int col = 0; col < width; col++) putChar(textOf(screen, col, row), out);
    fputc('\n', out);
  }
}

void dumpAnsi(const Screen *screen, FILE *out) {
  int colour = coloursWanted();
  for (int row = 0; row < screen->rows; row++) {
    int current = -1;
    for (int col = 0; col < screen->cols; col++) {
      const Cell *cell = screenCellAt(screen, col, row);
      int look = colour ? cell->paint.colour : cell->paint.mono & MONO_STYLES;
      if (look != current) {
        if (colour) colourSgr(cell->paint, out);
        else monoSgr(cell->paint, out);
        current = look;
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
  /* Rows as tall as the font's em and each run a block of that height:
     backgrounds fill whole rows without a seam, and frame lines, which are
     drawn at least an em tall, join across rows as on a terminal. */
  fputs(
      "</title>\n<style>pre{font-family:monospace;line-height:1}pre span{display:inline-block}</style>"
      "</head>\n<body style=\"background:#000\">\n<pre>",
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
