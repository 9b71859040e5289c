/*
 * Message boxes: layout from the lines, drawing, and the keys that move
 * between the buttons and choose one.
 */
#include "host/msgbox.h"

#include <string.h>

#include "host/draw.h"
#include "host/hotkey.h"
#include "host/keys.h"
#include "host/session.h"
#include "platform/error_text.h"
#include "platform/platform.h"

namespace {

/* Room around the text: the frame stands 3 cells in, the text 5, and a
   blank row lies above and below the frame; a tight box has its frame on
   the panel's edge and one blank between frame and text. */
enum { FRAME_INSET = 3, TEXT_INSET = 5, ROW_INSET = 1, TIGHT_TEXT_INSET = 2 };

int frameInset(const MsgBoxView *v) { return v->tight ? 0 : FRAME_INSET; }
int textInset(const MsgBoxView *v) { return v->tight ? TIGHT_TEXT_INSET : TEXT_INSET; }
int rowInset(const MsgBoxView *v) { return v->tight ? 0 : ROW_INSET; }

int isSeparator(const char *line) { return line[0] == 0x01 && line[1] == 0; }

/* The width of the button row: "[ Label ]" each, one blank between. */
int buttonRowWidth(const MsgBoxView *v) {
  int width = -1;
  for (int i = 0; i < v->buttonCount; i++) width += buttonWidth(v->buttons[i], WINDOW_TEXT_MAX, 0, BUTTON_BRACKETS) + 1;
  return width < 0 ? 0 : width;
}

/* Button i's hot key for hotKeyFind. */
int buttonHotKey(const void *state, int i) {
  return hotKeyOf(static_cast<const MsgBoxView *>(state)->buttons[i], WINDOW_TEXT_MAX, 0);
}

/* A message box in the modal loop, with what it was opened from: a resize
   lays it out again from its lines. */
struct MsgBoxRun {
  MsgBoxView view;
  unsigned flags;
  const char *const *lines;
  int lineCount, buttonCount;
  int tight;
};

/* Sizes and places a box whose lines are in for a screen of cols x rows. */
void placeBox(MsgBoxView *v, int cols, int rows) {
  int width = (int)strlen(v->title) + 2;
  for (int i = 0; i < v->lineCount; i++)
    if (!isSeparator(v->lines[i]) && (int)strlen(v->lines[i]) > width) width = (int)strlen(v->lines[i]);
  if (buttonRowWidth(v) > width) width = buttonRowWidth(v);
  if (width > cols - 2 * textInset(v)) width = cols - 2 * textInset(v);
  if (width < 1) width = 1;
  v->textWidth = width;
  v->width = width + 2 * textInset(v);
  v->height = v->lineCount + (v->buttonCount > 0 ? 1 : 0) + 2 + 2 * rowInset(v);
  v->left = (cols - v->width) / 2;
  v->top = (rows - v->height) / 2;
  if (v->flags & MSG_DOWN) v->top += rows / 4;
  if (v->top + v->height > rows) v->top = rows - v->height;
  if (v->left < 0) v->left = 0;
  if (v->top < 0) v->top = 0;
}

/* Lays a running box out anew, as it opened: the focus goes back to the
   first button. */
void openRun(MsgBoxRun *r, int cols, int rows) {
  msgBoxOpen(&r->view, r->flags, r->lines, r->lineCount, r->buttonCount, cols, rows);
  if (!r->tight) return;
  r->view.tight = 1;
  placeBox(&r->view, cols, rows);
}

/* Runs a box in the modal loop; see msgBoxRun. */
int runBox(MsgBoxRun *run) {
  Screen *s = sessionScreen();
  openRun(run, s->cols, s->rows);
  if (run->view.buttonCount == 0) { /* nothing to wait for: it stays shown */
    msgBoxDraw(&run->view, s);
    sessionPresent();
    return -1;
  }
  ModalWindow window = {};
  window.state = run;
  window.place = [](void *state, int cols, int rows) { openRun(static_cast<MsgBoxRun *>(state), cols, rows); };
  window.draw = [](const void *state, Screen *screen) {
    msgBoxDraw(&static_cast<const MsgBoxRun *>(state)->view, screen);
  };
  window.key = [](void *state, int key) { return msgBoxKey(&static_cast<MsgBoxRun *>(state)->view, key); };
  return modalRun(&window);
}

}  // namespace

void msgBoxOpen(MsgBoxView *v, unsigned flags, const char *const *lines, int lineCount, int buttonCount, int cols,
                int rows) {
  memset(v, 0, sizeof *v);
  v->flags = flags;
  if (lineCount < 0) lineCount = 0;
  if (buttonCount < 0) buttonCount = 0;
  if (buttonCount > lineCount - 1) buttonCount = lineCount > 0 ? lineCount - 1 : 0;
  v->title = lineCount > 0 && lines[0] ? lines[0] : "";
  if (flags & MSG_ERRORTYPE) {
    const char *text = plErrorText(plGetLastError());
    if (text) v->lines[v->lineCount++] = text;
  }
  for (int i = 1; i < lineCount - buttonCount && v->lineCount < MSG_MAX_LINES; i++)
    v->lines[v->lineCount++] = lines[i] ? lines[i] : "";
  for (int i = lineCount - buttonCount; i < lineCount && v->buttonCount < MSG_MAX_LINES; i++)
    v->buttons[v->buttonCount++] = lines[i] ? lines[i] : "";
  placeBox(v, cols, rows);
}

void msgBoxDraw(const MsgBoxView *v, Screen *s) {
  const Palette *p = v->flags & MSG_WARNING ? &kWarningPalette : &kDialogPalette;
  int x1 = v->left + frameInset(v), x2 = v->left + v->width - 1 - frameInset(v);
  int y1 = v->top + rowInset(v), y2 = v->top + v->height - 1 - rowInset(v);
  drawPanel(s, v->left, v->top, v->width, v->height, p->text);
  drawFrame(s, x1, y1, x2, y2, 1, p->box);
  drawBorderTitle(s, x1, x2, y1, v->title, WINDOW_TEXT_MAX, 0, 1, p->boxTitle, p->boxTitle);
  for (int i = 0; i < v->lineCount; i++) {
    const char *line = v->lines[i];
    int y = y1 + 1 + i;
    if (isSeparator(line)) {
      drawSeparator(s, x1, y, x2 - x1 + 1, p->box);
      continue;
    }
    int width = (int)strlen(line);
    if (width > v->textWidth) width = v->textWidth;
    int x = v->left + textInset(v) + (v->flags & MSG_LEFTALIGN ? 0 : (v->textWidth - width) / 2);
    drawBytes(s, x, y, line, width, p->text, p->text, -1, width);
  }
  s->cursorVisible = 0;
  if (v->buttonCount == 0) return;
  int row = y1 + 1 + v->lineCount, x = v->left + textInset(v) + (v->textWidth - buttonRowWidth(v)) / 2;
  for (int i = 0; i < v->buttonCount; i++) {
    Paint normal = i == v->focus ? p->focus : p->text, hot = i == v->focus ? p->focusHotkey : p->hotkey;
    if (i == v->focus) screenSetFocus(s, x, row);
    x += drawButton(s, x, row, v->buttons[i], WINDOW_TEXT_MAX, 0, BUTTON_BRACKETS, normal, hot) + 1;
  }
}

int msgBoxKey(MsgBoxView *v, int key) {
  int n = v->buttonCount;
  switch (key) {
    case TK_ESC:
    case TK_F10:
      return -1;
    case TK_ENTER:
    case ' ':
      return n > 0 ? v->focus : -1;
    case TK_TAB:
    case TK_RIGHT:
    case TK_DOWN:
      if (n > 0) v->focus = (v->focus + 1) % n;
      return MODAL_OPEN;
    case TK_STAB:
    case TK_LEFT:
    case TK_UP:
      if (n > 0) v->focus = (v->focus + n - 1) % n;
      return MODAL_OPEN;
    default:
      break;
  }
  int hot = hotKeyFind(key, n, buttonHotKey, v);
  return hot >= 0 ? hot : MODAL_OPEN;
}

int msgBoxRun(unsigned flags, const char *const *lines, int lineCount, int buttonCount) {
  MsgBoxRun run = {{}, flags, lines, lineCount, buttonCount, 0};
  return runBox(&run);
}

int msgBoxRunTight(unsigned flags, const char *const *lines, int lineCount, int buttonCount) {
  MsgBoxRun run = {{}, flags, lines, lineCount, buttonCount, 1};
  return runBox(&run);
}
