/*
 * The inspector box and the status line: both are drawn from text that the
 * program hands over, the box from its describer at each draw (so that it
 * follows the focus), the status line once per window as its background.
 */
#include "host/inspector.h"

#include <stdio.h>
#include <string.h>

#include "host/draw.h"

namespace {

InspectorFn describer;
char statusLine[INSPECTOR_LINE_ROOM];

/* White on blue, set apart from the light grey dialog it stands over. */
const Paint kInspectorPaint = {0x1F, MONO_REVERSE};
const Paint kInspectorTitlePaint = {0x1E, MONO_REVERSE | MONO_BOLD};

const char kInspectorKeyHint[] = "F3: inspect the focused item";

/* Rows of the box at most: each line wraps to a few. */
enum { MAX_ROWS = 4 * INSPECTOR_MAX_LINES };

int lengthOf(const char *text) { return (int)strnlen(text, INSPECTOR_LINE_ROOM); }

/* One row of the box: a piece of a line. */
struct Row {
  const char *text;
  int length;
};

/* Wraps the lines into rows of at most width bytes (one cell each), each
   broken after its last blank where it has one; returns the rows written. */
int wrapLines(const InspectorText *text, int width, Row *rows) {
  int count = 0;
  for (int i = 0; i < text->count && count < MAX_ROWS; i++) {
    const char *rest = text->lines[i];
    int left = lengthOf(rest);
    do {
      int take = left;
      if (take > width) {
        take = width;
        while (take > 0 && rest[take - 1] != ' ') take--;
        if (take == 0) take = width;
      }
      rows[count++] = {rest, take};
      rest += take;
      left -= take;
    } while (left > 0 && count < MAX_ROWS);
  }
  return count;
}

}  // namespace

void hostSetInspector(InspectorFn describe) { describer = describe; }

InspectorFn hostInspector(void) { return describer; }

void inspectorDraw(Screen *s, const DialogItem *items, int count, int index) {
  static InspectorText text; /* large; one box is drawn at a time */
  memset(&text, 0, sizeof text);
  if (index < 0 || index >= count) {
    snprintf(text.title, sizeof text.title, "Inspector");
    snprintf(text.lines[0], sizeof text.lines[0], "No item has the focus.");
    text.count = 1;
  } else if (describer) {
    describer(items, count, index, &text);
  }
  if (text.count < 0) text.count = 0;
  if (text.count > INSPECTOR_MAX_LINES) text.count = INSPECTOR_MAX_LINES;
  /* the full width, at the bottom; at the top when it would hide the focus */
  int width = s->cols;
  if (width < 5) return;
  Row rows[MAX_ROWS];
  int rowCount = wrapLines(&text, width - 4, rows);
  int height = rowCount + 2;
  if (height > s->rows) height = s->rows;
  int x = 0, y = s->rows - height;
  if (s->focusY >= y) y = 0;
  screenFill(s, x, y, width, height, ' ', kInspectorPaint);
  drawFrame(s, x, y, x + width - 1, y + height - 1, 0, kInspectorPaint);
  drawBorderTitle(s, x, x + width - 1, y, text.title, lengthOf(text.title), 1, 1, kInspectorTitlePaint,
                  kInspectorTitlePaint);
  for (int i = 0; i < rowCount && i < height - 2; i++)
    drawBytes(s, x + 2, y + 1 + i, rows[i].text, rows[i].length, kInspectorPaint, kInspectorPaint, -1, width - 4);
}

void hostSetStatusLine(const char *text) { snprintf(statusLine, sizeof statusLine, "%s", text ? text : ""); }

void statusLineDraw(Screen *s, int dialog) {
  char line[2 * INSPECTOR_LINE_ROOM];
  int hint = dialog && describer;
  if (hint && (int)(strlen(statusLine) + 4 + sizeof kInspectorKeyHint - 1) > s->cols) hint = 0; /* no cut hint */
  snprintf(line, sizeof line, "%s%s%s", statusLine, statusLine[0] && hint ? "    " : "", hint ? kInspectorKeyHint : "");
  if (line[0] && s->rows > 0)
    drawBytes(s, 0, s->rows - 1, line, (int)strlen(line), kBlankPaint, kBlankPaint, -1, s->cols);
}
