/*
 * Menus: hot keys handed out, size and place, drawing, and the keys that
 * move the highlight and choose an entry.
 */
#include "host/menu.h"

#include <stdlib.h>
#include <string.h>

#include "host/draw.h"
#include "host/help_viewer.h"
#include "host/hotkey.h"
#include "host/keys.h"
#include "host/session.h"

namespace {

/* A frame cell, a blank (or the check mark) before the text and a blank
   after it. */
enum { MENU_FRAME_WIDTH = 4 };

int isSeparator(const MenuView *v, int i) { return v->entries[i].separator != 0; }

/* The next entry from i in direction step that is no separator, wrapping
   when the menu says so; i itself when there is none. */
int stepFrom(const MenuView *v, int i, int step) {
  for (int k = 1; k <= v->count; k++) {
    int j = i + step * k;
    if (j < 0 || j >= v->count) {
      if (!(v->flags & MENU_WRAPMODE)) return i;
      j = ((j % v->count) + v->count) % v->count;
    }
    if (!isSeparator(v, j)) return j;
  }
  return i;
}

int firstEntry(const MenuView *v, int from, int step) {
  for (int j = from; j >= 0 && j < v->count; j += step)
    if (!isSeparator(v, j)) return j;
  return -1;
}

void keepCurrentShown(MenuView *v) {
  if (v->current < 0) return;
  if (v->current < v->first) v->first = v->current;
  if (v->current >= v->first + v->shown) v->first = v->current - v->shown + 1;
  if (v->first < 0) v->first = 0;
}

/* Gives every entry without a hot key the first of its characters that no
   other entry uses yet. */
void handOutHotKeys(MenuView *v) {
  unsigned char used[256] = {0};
  for (int i = 0; i < v->count; i++)
    if (v->hot[i] >= 0) used[foldKey((unsigned char)v->visible[i][v->hot[i]])] = 1;
  int reverse = (v->flags & MENU_REVERSEAUTOHIGHLIGHT) != 0;
  for (int n = 0; n < v->count; n++) {
    int i = reverse ? v->count - 1 - n : n;
    if (v->hot[i] >= 0 || isSeparator(v, i)) continue;
    for (int k = 0; v->visible[i][k]; k++) {
      int c = foldKey((unsigned char)v->visible[i][k]);
      if (c == ' ' || used[c]) continue;
      used[c] = 1;
      v->hot[i] = (short)k;
      break;
    }
  }
}

int textWidth(const char *text) { return text ? (int)strlen(text) : 0; }

/* Whether the caller asked for a key as one of the menu's break keys. */
int isBreakKey(const MenuView *v, int key) {
  int code = keyHostCode(key);
  for (int i = 0; code && v->breakKeys && v->breakKeys[i]; i++)
    if (v->breakKeys[i] == code) return 1;
  return 0;
}

/* Entry i's hot key for hotKeyFind: the letter handed to it, or none. */
int entryHotKey(const void *state, int i) {
  const MenuView *v = static_cast<const MenuView *>(state);
  return v->hot[i] >= 0 ? foldKey((unsigned char)v->visible[i][v->hot[i]]) : 0;
}

}  // namespace

void menuPlace(MenuView *v, int cols, int rows) {
  int width = 0;
  for (int i = 0; i < v->count; i++)
    if ((int)strlen(v->visible[i]) > width) width = (int)strlen(v->visible[i]);
  width += MENU_FRAME_WIDTH;
  /* a title keeps a frame cell and a line cell at each end, and its blanks */
  if (textWidth(v->title) + 6 > width) width = textWidth(v->title) + 6;
  if (textWidth(v->bottom) + 6 > width) width = textWidth(v->bottom) + 6;
  if (width > cols) width = cols;
  v->shown = v->count;
  if (v->maxHeight > 0 && v->shown > v->maxHeight) v->shown = v->maxHeight;
  if (v->shown > rows - 3) v->shown = rows - 3;
  if (v->shown < 1) v->shown = 1;
  v->width = width;
  v->height = v->shown + 2;
  v->left = v->x < 0 ? (cols - v->width) / 2 : v->x;
  v->top = v->y < 0 ? (rows - v->height) / 2 : v->y;
  if (v->left + v->width > cols) v->left = cols - v->width;
  if (v->top + v->height > rows) v->top = rows - v->height;
  if (v->left < 0) v->left = 0;
  if (v->top < 0) v->top = 0;
  keepCurrentShown(v);
}

void menuOpen(MenuView *v, const MenuEntry *entries, int count, unsigned flags, const char *title, const char *bottom,
              const int *breakKeys, int x, int y, int maxHeight, int cols, int rows) {
  v->entries = entries;
  v->count = count < 0 || !entries ? 0 : count > (int)MENU_MAX_ENTRIES ? (int)MENU_MAX_ENTRIES : count;
  v->flags = flags;
  v->title = title;
  v->bottom = bottom;
  v->breakKeys = breakKeys;
  v->breakCode = -1;
  v->x = x, v->y = y, v->maxHeight = maxHeight;
  v->first = 0;
  for (int i = 0; i < v->count; i++)
    v->hot[i] = (short)hotSplit(entries[i].text, (int)sizeof entries[i].text, (flags & MENU_SHOWAMPERSAND) != 0,
                                v->visible[i], (int)sizeof v->visible[i]);
  if (flags & (MENU_AUTOHIGHLIGHT | MENU_REVERSEAUTOHIGHLIGHT)) handOutHotKeys(v);
  v->current = -1;
  for (int i = 0; i < v->count && v->current < 0; i++)
    if (entries[i].selected && !entries[i].separator) v->current = i;
  if (v->current < 0) v->current = firstEntry(v, 0, 1);
  menuPlace(v, cols, rows);
}

void menuDraw(const MenuView *v, Screen *s) {
  const Palette *p = &kMenuPalette;
  int x2 = v->left + v->width - 1, y2 = v->top + v->height - 1;
  drawPanel(s, v->left, v->top, v->width, v->height, p->text);
  drawFrame(s, v->left, v->top, x2, y2, 1, p->box);
  if (v->title) drawBorderTitle(s, v->left, x2, v->top, v->title, WINDOW_TEXT_MAX, 0, 1, p->boxTitle, p->boxTitle);
  if (v->bottom) drawBorderTitle(s, v->left, x2, y2, v->bottom, WINDOW_TEXT_MAX, 0, 1, p->boxTitle, p->boxTitle);
  for (int r = 0; r < v->shown && v->first + r < v->count; r++) {
    int i = v->first + r, y = v->top + 1 + r;
    if (isSeparator(v, i)) {
      drawSeparator(s, v->left, y, v->width, p->box);
      continue;
    }
    Paint normal = i == v->current ? p->focus : p->text, hot = i == v->current ? p->focusHotkey : p->hotkey;
    if (i == v->current) {
      screenSetFocus(s, v->left + 2, y);
      normal.mono |= MARK_SELECTED;
      hot.mono |= MARK_SELECTED;
    }
    screenFill(s, v->left + 1, y, v->width - 2, 1, ' ', normal);
    if (v->entries[i].checked) screenPut(s, v->left + 1, y, CH_CHECK, normal);
    drawBytes(s, v->left + 2, y, v->visible[i], (int)strlen(v->visible[i]), normal, hot, v->hot[i],
              v->width - MENU_FRAME_WIDTH);
  }
  s->cursorVisible = 0;
}

int menuKey(MenuView *v, int key) {
  int code = keyHostCode(key);
  if (isBreakKey(v, key))
    for (int i = 0; v->breakKeys[i]; i++)
      if (v->breakKeys[i] == code) {
        v->breakCode = i;
        return v->current;
      }
  switch (key) {
    case TK_ESC:
    case TK_F10:
      return -1;
    case TK_ENTER:
      return v->current;
    case TK_UP:
    case TK_DOWN:
      if (v->current >= 0) v->current = stepFrom(v, v->current, key == TK_UP ? -1 : 1);
      keepCurrentShown(v);
      return MODAL_OPEN;
    case TK_HOME:
    case TK_END:
      if (v->current >= 0) v->current = key == TK_HOME ? firstEntry(v, 0, 1) : firstEntry(v, v->count - 1, -1);
      keepCurrentShown(v);
      return MODAL_OPEN;
    default:
      break;
  }
  int hot = hotKeyFind(key, v->count, entryHotKey, v);
  return hot >= 0 ? hot : MODAL_OPEN;
}

int menuRun(const MenuEntry *entries, int count, unsigned flags, const char *title, const char *bottom,
            const char *helpTopic, const int *breakKeys, int *breakCode, int x, int y, int maxHeight) {
  if (breakCode) *breakCode = -1;
  MenuView *view = (MenuView *)malloc(sizeof(MenuView));
  if (!view) return -1;
  Screen *s = sessionScreen();
  menuOpen(view, entries, count, flags, title, bottom, breakKeys, x, y, maxHeight, s->cols, s->rows);
  ModalWindow window = {};
  window.state = view;
  window.place = [](void *state, int cols, int rows) { menuPlace(static_cast<MenuView *>(state), cols, rows); };
  window.draw = [](const void *state, Screen *screen) { menuDraw(static_cast<const MenuView *>(state), screen); };
  window.key = [](void *state, int key) { return menuKey(static_cast<MenuView *>(state), key); };
  window.ownsKey = [](const void *state, int key) { return isBreakKey(static_cast<const MenuView *>(state), key); };
  window.showHelp = helpViewerShow;
  window.helpTopic = helpTopic;
  /* a reload closes with the marked entry, so that the menu reopens on it */
  window.reload = [](void *state) { return static_cast<MenuView *>(state)->current; };
  int result = modalRun(&window);
  if (breakCode) *breakCode = view->breakCode;
  free(view);
  return result;
}
