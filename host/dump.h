/*
 * Writers of the screen model: plain UTF-8 text (the --screen dumps and
 * `render --format text`), text with ANSI colour sequences and an HTML page.
 * Each writes the whole screen, row by row, and nothing else.
 */
#ifndef TESSEL_HOST_DUMP_H
#define TESSEL_HOST_DUMP_H

#include <stdio.h>

#include "host/screen.h"

/* Rows as UTF-8 text, trailing blanks of each row dropped, one line each. */
void dumpText(const Screen *screen, FILE *out);

/* Rows with SGR colour sequences for each change of colour, reset at the end
   of every row; trailing cells are kept, since they carry colour. */
void dumpAnsi(const Screen *screen, FILE *out);

/* A complete HTML page holding the screen in one <pre>, one <span> per run
   of cells in one colour; title (escaped) names the page. */
void dumpHtml(const Screen *screen, FILE *out, const char *title);

/* The RGB of a console colour 0-15 (the VGA palette), as 0xRRGGBB. */
unsigned consoleRgb(int colour);

/* The ANSI colour number 0-7 of a console colour's low three bits (the
   console counts blue as 1, ANSI counts red as 1). */
int consoleToAnsi(int colour);

#endif
