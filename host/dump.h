/*
 * Writers of the screen model: plain UTF-8 text (the --screen dumps and
 * `render --format text`), text with ANSI colour sequences and an HTML page.
 * Each writes the whole screen, row by row, and nothing else.
 */
#ifndef TESSEL_HOST_DUMP_H
#define TESSEL_HOST_DUMP_H

#include <stdio.h>

#include "host/screen.h"

/* Rows as UTF-8 text, trailing blanks of each row dropped, one line each.
   The room of an input field past its text shows as middle dots, and a menu's marked
   entry as ">entry <" (see MARK_FIELD and MARK_SELECTED). */
void dumpText(const Screen *screen, FILE *out);

/* Rows with SGR colour sequences for each change of colour, reset at the end
   of every row; trailing cells are kept, since they carry colour. When
   colours are not wanted (coloursWanted), the sequences give the monochrome
   styles instead: reverse, bold, underline, dim. */
void dumpAnsi(const Screen *screen, FILE *out);

/* A complete HTML page holding the screen in one <pre>, one <span> per run
   of cells in one colour; title (escaped) names the page. Rows are laid out
   without a gap, so that panels show as one area and frame lines join. */
void dumpHtml(const Screen *screen, FILE *out, const char *title);

/* Whether colours may be shown: not when the environment variable NO_COLOR
   is set to a non-empty value. The terminal and dumpAnsi then keep to the
   monochrome styles. */
int coloursWanted(void);

/* The RGB of a console colour 0-15 (the VGA palette), as 0xRRGGBB. */
unsigned consoleRgb(int colour);

/* The ANSI colour number 0-7 of a console colour's low three bits (the
   console counts blue as 1, ANSI counts red as 1). */
int consoleToAnsi(int colour);

#endif
