/*
 * Dialogs as the host shows them: layout (centred groups), drawing of every
 * item type and flag, and the keys (focus movement, editing, check boxes,
 * radio runs, hot keys, closing). Keys arrive decoded; nothing here knows
 * where they came from.
 */
#include "host/dialog_window.h"

#include <string.h>

#include "codepage/codepage.h"
#include "host/help_viewer.h"
#include "host/hotkey.h"
#include "host/inspector.h"
#include "host/keys.h"
#include "host/session.h"
#include "layout/layout.h"

namespace {

/* Longest text an edit field holds: its record's text less the NUL. */
const int kTextMax = TS_ITEM_DATA_SIZE - 1;

/* Weight of a row against a column when arrows look for the nearest item. */
const int kRowWeight = 100000;

int isFocusable(const DialogItem *item) { return layoutIsFocusable(item->type); }

/* Items whose text carries a hot key: all but the edit fields. */
int hasHotKey(const DialogItem *item) { return layoutHasHotKey(item->type); }

int showsAmpersand(const DialogItem *item) { return (item->flags & DIF_SHOWAMPERSAND) != 0; }

int textLength(const DialogItem *item) { return (int)strnlen(item->data, TS_ITEM_DATA_SIZE); }

/* Cells as the window's int arithmetic holds them: far past any screen in
   both directions, never near overflow. */
const LayoutCell kCellLimit = 1 << 24;

int screenCells(LayoutCell cells) {
  return (int)(cells < -kCellLimit ? -kCellLimit : cells > kCellLimit ? kCellLimit : cells);
}

int fieldWidth(const DialogItem *item) { return screenCells(layoutFieldWidth(item)); }

/* A screen cell at offset cells from origin (a record's row may be any
   32-bit number). */
int cellOf(int origin, LayoutCell offset) { return screenCells((LayoutCell)origin + offset); }

/* Whether the dialog is larger than the screen it was placed on. */
int exceedsScreen(const DialogView *v, int cols, int rows) { return v->width > cols || v->height > rows; }

/* Whether item i can be seen: its first cell lies on the screen the view
   was placed on, and not on the last row when the screen is smaller than the
   dialog (that row then says so). */
int onScreen(const DialogView *v, int i) {
  int x = cellOf(v->left, v->column[i]), y = cellOf(v->top, v->items[i].y1);
  int rows = v->rows - (exceedsScreen(v, v->cols, v->rows) ? 1 : 0);
  return x >= 0 && y >= 0 && x < v->cols && y < rows;
}

/* ---- radio runs: consecutive radio buttons, a new run at DIF_GROUP ---- */

int runStart(const DialogView *v, int i) {
  while (i > 0 && v->items[i - 1].type == DI_RADIOBUTTON && !(v->items[i].flags & DIF_GROUP)) i--;
  return i;
}

int runEnd(const DialogView *v, int i) {
  int j = i + 1;
  while (j < v->count && v->items[j].type == DI_RADIOBUTTON && !(v->items[j].flags & DIF_GROUP)) j++;
  return j;
}

/* The chosen button of the run that holds i, or -1. */
int runChosen(const DialogView *v, int i) {
  for (int j = runStart(v, i), end = runEnd(v, i); j < end; j++)
    if (v->items[j].selected) return j;
  return -1;
}

/* Whether Tab stops at item i: any focusable item on the screen, but in a
   run of radio buttons only the chosen one (the first when none is chosen). */
int takesTab(const DialogView *v, int i) {
  const DialogItem *item = &v->items[i];
  if (!isFocusable(item) || !onScreen(v, i)) return 0;
  if (item->type != DI_RADIOBUTTON) return 1;
  int chosen = runChosen(v, i);
  return chosen == i || (chosen < 0 && i == runStart(v, i));
}

void choose(DialogView *v, int i) {
  for (int j = runStart(v, i), end = runEnd(v, i); j < end; j++) v->items[j].selected = j == i;
}

/* ---- edit fields ---- */

/* Scrolls an edit field so that its cursor is inside it. */
void keepCursorShown(DialogView *v, int i) {
  int width = fieldWidth(&v->items[i]);
  if (v->cursor[i] < v->scroll[i]) v->scroll[i] = v->cursor[i];
  if (v->cursor[i] >= v->scroll[i] + width) v->scroll[i] = v->cursor[i] - width + 1;
  if (v->scroll[i] < 0) v->scroll[i] = 0;
}

/* Where a fixed-size field's cursor may stand: on its last cell at most. */
int cursorLimit(const DialogView *v, int i) {
  const DialogItem *item = &v->items[i];
  int length = textLength(item);
  if (item->type == DI_FIXEDIT && length >= fieldWidth(item)) return fieldWidth(item) - 1;
  return length;
}

void typeInto(DialogView *v, int i, int byte) {
  DialogItem *item = &v->items[i];
  char *text = item->data;
  int length = textLength(item), at = v->cursor[i];
  if (item->type == DI_FIXEDIT) { /* overtype, never longer than the field */
    int width = fieldWidth(item) < kTextMax ? fieldWidth(item) : kTextMax;
    if (at < length) {
      text[at] = (char)byte;
    } else if (length < width) {
      text[length] = (char)byte;
      text[length + 1] = 0;
    } else {
      return;
    }
    v->cursor[i] = at + 1 < width ? at + 1 : width - 1;
    return;
  }
  if (length >= kTextMax) return;
  memmove(text + at + 1, text + at, (size_t)(length - at + 1));
  text[at] = (char)byte;
  v->cursor[i] = at + 1;
}

/* Acts on an editing key in the focused field; returns 1 when it was one. */
int editKey(DialogView *v, int i, int key) {
  char *text = v->items[i].data;
  int length = textLength(&v->items[i]);
  int *at = &v->cursor[i];
  switch (key) {
    case TK_LEFT:
      if (*at > 0) (*at)--;
      break;
    case TK_RIGHT:
      if (*at < cursorLimit(v, i)) (*at)++;
      break;
    case TK_HOME:
      *at = 0;
      break;
    case TK_END:
      *at = cursorLimit(v, i);
      break;
    case TK_BS:
      if (*at == 0) break;
      memmove(text + *at - 1, text + *at, (size_t)(length - *at + 1));
      (*at)--;
      break;
    case TK_DEL:
      if (*at < length) memmove(text + *at, text + *at + 1, (size_t)(length - *at));
      break;
    case TK_CY: /* Ctrl+Y: the whole text goes, as in the host's input lines */
      text[0] = 0;
      *at = 0;
      break;
    default:
      if (key < 0x20 || key > 0xFF) return 0;
      typeInto(v, i, key);
  }
  keepCursorShown(v, i);
  return 1;
}

/* ---- focus ---- */

/* Moves the focus to item i; moving onto a radio button with DIF_MOVESELECT
   chooses it when select is set. */
void focusOn(DialogView *v, int i, int select) {
  v->focus = i;
  if (i < 0) return;
  if (layoutIsEdit(v->items[i].type)) {
    v->cursor[i] = cursorLimit(v, i);
    keepCursorShown(v, i);
  }
  if (select && v->items[i].type == DI_RADIOBUTTON && (v->items[i].flags & DIF_MOVESELECT)) choose(v, i);
}

/* The next item (step 1) or previous one (step -1) that Tab stops at,
   cycling; from itself when there is no other. */
int tabFrom(const DialogView *v, int from, int step) {
  for (int k = 1; k <= v->count; k++) {
    int j = ((from + step * k) % v->count + v->count) % v->count;
    if (takesTab(v, j)) return j;
  }
  return from;
}

/* The focusable item nearest to the focused one in the direction of an
   arrow key, or -1: Up and Down look at the rows above and below (nearest
   row first, then nearest column), Left and Right along the same row. */
int nearestTowards(const DialogView *v, int key) {
  int from = v->focus;
  if (from < 0) return -1;
  int best = -1, bestScore = 0;
  for (int j = 0; j < v->count; j++) {
    if (j == from || !isFocusable(&v->items[j]) || !onScreen(v, j)) continue;
    int dx = v->column[j] - v->column[from], dy = v->items[j].y1 - v->items[from].y1;
    int adx = dx < 0 ? -dx : dx, score;
    if (key == TK_UP && dy < 0) score = -dy * kRowWeight + adx;
    else if (key == TK_DOWN && dy > 0) score = dy * kRowWeight + adx;
    else if (key == TK_LEFT && dy == 0 && dx < 0) score = adx;
    else if (key == TK_RIGHT && dy == 0 && dx > 0) score = adx;
    else continue;
    if (best < 0 || score < bestScore) best = j, bestScore = score;
  }
  return best;
}

/* Ends the dialog: the focus fields follow the focus. */
int closeWith(DialogView *v, int index) {
  for (int i = 0; i < v->count; i++) v->items[i].focus = i == v->focus;
  return index;
}

/* Item i's hot key for hotKeyFind: none for items whose text carries none,
   nor for items off the screen. */
int itemHotKey(const void *state, int i) {
  const DialogView *v = static_cast<const DialogView *>(state);
  const DialogItem *item = &v->items[i];
  if (!hasHotKey(item) || !onScreen(v, i)) return 0;
  return hotKeyOf(item->data, TS_ITEM_DATA_SIZE, showsAmpersand(item));
}

/* What a hot key does: a label moves to the next focusable item, a check
   box toggles, a radio button is chosen, a button presses. */
int pressHot(DialogView *v, int i) {
  DialogItem *item = &v->items[i];
  switch (item->type) {
    case DI_CHECKBOX:
      focusOn(v, i, 0);
      item->selected = !item->selected;
      return MODAL_OPEN;
    case DI_RADIOBUTTON:
      focusOn(v, i, 0);
      choose(v, i);
      return MODAL_OPEN;
    case DI_BUTTON:
      focusOn(v, i, 0);
      return closeWith(v, i);
    default:
      for (int j = i + 1; j < v->count; j++)
        if (isFocusable(&v->items[j])) {
          if (v->items[j].type == DI_RADIOBUTTON) {
            int chosen = runChosen(v, j);
            j = chosen >= 0 ? chosen : runStart(v, j);
          }
          if (onScreen(v, j)) focusOn(v, j, 0);
          break;
        }
      return MODAL_OPEN;
  }
}

/* ---- layout ---- */

void layOut(DialogView *v) {
  LayoutCell column[DIALOG_MAX_ITEMS];
  layoutColumns(v->items, v->count, v->width, column);
  for (int i = 0; i < v->count; i++) v->column[i] = screenCells(column[i]);
}

/* ---- drawing ---- */

void drawItem(const DialogView *v, Screen *s, int i) {
  const DialogItem *item = &v->items[i];
  const Palette *p = v->palette;
  int x = cellOf(v->left, v->column[i]), y = cellOf(v->top, item->y1), amp = showsAmpersand(item);
  int ownColour = (item->flags & DIF_SETCOLOR) && !layoutIsEdit(item->type);
  Paint normal = ownColour ? paintOfColour((int)(item->flags & DIF_COLORMASK)) : p->text;
  Paint hot = ownColour ? hotPaintOfColour((int)(item->flags & DIF_COLORMASK)) : p->hotkey;
  Paint box = ownColour ? normal : p->box;
  if (!ownColour && (item->flags & DIF_BOXCOLOR) && (item->type == DI_TEXT || item->type == DI_VTEXT)) normal = p->box;
  switch (item->type) {
    case DI_TEXT:
      if (item->flags & DIF_SEPARATOR) {
        int length = v->width - 6;
        drawSeparator(s, v->left + 3, y, length, box);
        int width = hotWidth(item->data, TS_ITEM_DATA_SIZE, amp);
        if (width > length - 4) width = length - 4; /* the joins at the ends stay */
        if (width > 0) {
          int tx = v->left + 3 + (length - (width + 2)) / 2;
          screenPut(s, tx, y, ' ', normal);
          drawHotText(s, tx + 1, y, item->data, TS_ITEM_DATA_SIZE, amp, normal, hot, width);
          screenPut(s, tx + 1 + width, y, ' ', normal);
        }
      } else {
        drawHotText(s, x, y, item->data, TS_ITEM_DATA_SIZE, amp, normal, hot, -1);
      }
      break;
    case DI_VTEXT: {
      char visible[TS_ITEM_DATA_SIZE];
      int hotIndex = hotSplit(item->data, TS_ITEM_DATA_SIZE, amp, visible, sizeof visible);
      for (int k = 0; visible[k]; k++)
        screenPut(s, x, y + k, cpDecode((unsigned char)visible[k]), k == hotIndex ? hot : normal);
      break;
    }
    case DI_SINGLEBOX:
    case DI_DOUBLEBOX: {
      int x2 = cellOf(x, (LayoutCell)item->x2 - item->x1), y2 = cellOf(v->top, item->y2);
      drawFrame(s, x, y, x2, y2, item->type == DI_DOUBLEBOX, box);
      drawBorderTitle(s, x, x2, y, item->data, TS_ITEM_DATA_SIZE, (item->flags & DIF_LEFTTEXT) != 0, amp,
                      ownColour ? normal : p->boxTitle, hot);
      break;
    }
    case DI_EDIT:
    case DI_PSWEDIT:
    case DI_FIXEDIT: {
      int width = fieldWidth(item), length = textLength(item), from = v->scroll[i];
      Paint unused = p->edit; /* the room past the text, which the text dumps show */
      unused.mono |= MARK_FIELD;
      for (int k = 0; k < width; k++) {
        int at = from + k;
        if (at >= length) {
          screenPut(s, x + k, y, ' ', unused);
          continue;
        }
        uint32_t ch = item->type == DI_PSWEDIT ? '*' : cpDecode((unsigned char)item->data[at]);
        screenPut(s, x + k, y, ch, p->edit);
      }
      if (item->type == DI_EDIT && (item->flags & DIF_HISTORY)) screenPut(s, x + width, y, CH_DOWN_ARROW, p->history);
      break;
    }
    case DI_BUTTON:
      if (i == v->focus) normal = p->focus, hot = p->focusHotkey;
      drawButton(s, x, y, item->data, TS_ITEM_DATA_SIZE, amp, layoutButtonFrame(item), normal, hot);
      break;
    case DI_CHECKBOX:
    case DI_RADIOBUTTON: {
      int radio = item->type == DI_RADIOBUTTON;
      screenPut(s, x, y, radio ? '(' : '[', normal);
      screenPut(s, x + 1, y, !item->selected ? ' ' : radio ? (uint32_t)CH_BULLET : (uint32_t)'x', normal);
      screenPut(s, x + 2, y, radio ? ')' : ']', normal);
      screenPut(s, x + 3, y, ' ', normal);
      drawHotText(s, x + 4, y, item->data, TS_ITEM_DATA_SIZE, amp, normal, hot, -1);
      break;
    }
    default:
      break; /* a type the host does not know shows nothing */
  }
}

/* Says on the last row of the screen that the dialog is larger: in the
   longest of the wordings that fits. */
void drawTooSmall(const DialogView *v, Screen *s) {
  static const char *const kWordings[] = {"terminal %dx%d is smaller than the dialog %dx%d",
                                          "terminal %dx%d < dialog %dx%d", "%dx%d < %dx%d"};
  char line[96];
  int length = 0;
  for (const char *wording : kWordings) {
    length = snprintf(line, sizeof line, wording, s->cols, s->rows, v->width, v->height);
    if (length <= s->cols) break;
  }
  if (length >= (int)sizeof line) length = (int)sizeof line - 1;
  screenFill(s, 0, s->rows - 1, s->cols, 1, ' ', kWarningPalette.text);
  drawBytes(s, 0, s->rows - 1, line, length, kWarningPalette.text, kWarningPalette.text, -1, s->cols);
}

}  // namespace

void dialogPlace(DialogView *v, int cols, int rows) {
  LayoutCell width, height;
  layoutDialogSize(v->x1, v->y1, v->x2, v->y2, &width, &height);
  v->width = screenCells(width);
  v->height = screenCells(height);
  v->left = v->x1 < 0 ? (cols - v->width) / 2 : v->x1;
  v->top = v->y1 < 0 ? (rows - v->height) / 2 : v->y1;
  if (v->left < 0) v->left = 0;
  if (v->top < 0) v->top = 0;
  v->cols = cols;
  v->rows = rows;
  layOut(v);
  if (v->focus >= 0 && !onScreen(v, v->focus)) {
    int shown = tabFrom(v, v->focus, 1);
    if (takesTab(v, shown)) focusOn(v, shown, 0);
  }
}

void dialogOpen(DialogView *v, DialogItem *items, int count, int x1, int y1, int x2, int y2, int cols, int rows) {
  memset(v, 0, sizeof *v);
  v->items = items;
  v->count = count < 0 ? 0 : count > (int)DIALOG_MAX_ITEMS ? (int)DIALOG_MAX_ITEMS : count;
  v->x1 = x1, v->y1 = y1, v->x2 = x2, v->y2 = y2;
  v->palette = &kDialogPalette;
  v->focus = -1;
  for (int i = 0; i < v->count; i++) /* a text must end inside its record */
    if (layoutIsEdit(items[i].type) && textLength(&items[i]) > kTextMax) items[i].data[kTextMax] = 0;
  dialogPlace(v, cols, rows);
  int first = -1;
  for (int i = 0; i < v->count && first < 0; i++)
    if (isFocusable(&items[i]) && items[i].focus && onScreen(v, i)) first = i;
  for (int i = 0; i < v->count && first < 0; i++)
    if (takesTab(v, i)) first = i;
  focusOn(v, first, 0);
}

void dialogDraw(const DialogView *v, Screen *s) {
  drawPanel(s, v->left, v->top, v->width, v->height, v->palette->text);
  s->cursorVisible = 0;
  for (int i = 0; i < v->count; i++) drawItem(v, s, i);
  if (exceedsScreen(v, s->cols, s->rows)) drawTooSmall(v, s);
  int f = v->focus;
  if (f < 0) return;
  const DialogItem *item = &v->items[f];
  int x = cellOf(v->left, v->column[f]), y = cellOf(v->top, item->y1);
  if (layoutIsEdit(item->type)) x += v->cursor[f] - v->scroll[f];
  else if (item->type == DI_CHECKBOX || item->type == DI_RADIOBUTTON) x += 1;
  screenSetFocus(s, x, y);
  if (item->type != DI_BUTTON) screenSetCursor(s, x, y);
}

int dialogKey(DialogView *v, int key) {
  int f = v->focus;
  DialogItem *item = f >= 0 ? &v->items[f] : nullptr;
  int inEdit = item && layoutIsEdit(item->type);
  switch (key) {
    case TK_ESC:
    case TK_F10:
      return closeWith(v, -1);
    case TK_TAB:
    case TK_STAB:
      if (v->count > 0) focusOn(v, tabFrom(v, f, key == TK_TAB ? 1 : -1), 1);
      return MODAL_OPEN;
    case TK_UP:
    case TK_DOWN:
    case TK_LEFT:
    case TK_RIGHT: {
      if (inEdit && (key == TK_LEFT || key == TK_RIGHT)) {
        editKey(v, f, key);
        return MODAL_OPEN;
      }
      int to = nearestTowards(v, key);
      if (to >= 0) focusOn(v, to, 1);
      return MODAL_OPEN;
    }
    case TK_ENTER: {
      if (item && item->type == DI_BUTTON) return closeWith(v, f);
      if (inEdit && (item->flags & DIF_EDITOR)) {
        focusOn(v, tabFrom(v, f, 1), 1);
        return MODAL_OPEN;
      }
      for (int i = 0; i < v->count; i++)
        if (v->items[i].defaultButton) return closeWith(v, i);
      return closeWith(v, f);
    }
    case ' ':
      if (item && item->type == DI_CHECKBOX) {
        item->selected = !item->selected;
        return MODAL_OPEN;
      }
      if (item && item->type == DI_RADIOBUTTON) {
        choose(v, f);
        return MODAL_OPEN;
      }
      if (item && item->type == DI_BUTTON) return closeWith(v, f);
      break;
    default:
      break;
  }
  if (inEdit && editKey(v, f, key)) return MODAL_OPEN;
  int hot = hotKeyFind(key, v->count, itemHotKey, v);
  return hot >= 0 ? pressHot(v, hot) : MODAL_OPEN;
}

/* A dialog in the modal loop, with its inspector box shown or not. */
struct RunningDialog {
  DialogView view;
  int inspecting;
};

int dialogRun(DialogItem *items, int count, int x1, int y1, int x2, int y2, const char *helpTopic) {
  Screen *s = sessionScreen();
  RunningDialog run = {};
  dialogOpen(&run.view, items, count, x1, y1, x2, y2, s->cols, s->rows);
  ModalWindow window = {};
  window.state = &run;
  window.place = [](void *state, int cols, int rows) {
    dialogPlace(&static_cast<RunningDialog *>(state)->view, cols, rows);
  };
  window.draw = [](const void *state, Screen *screen) {
    const RunningDialog *r = static_cast<const RunningDialog *>(state);
    dialogDraw(&r->view, screen);
    if (r->inspecting) inspectorDraw(screen, r->view.items, r->view.count, r->view.focus);
  };
  /* INSPECTOR_KEY shows and hides the inspector box while one is installed. */
  window.key = [](void *state, int key) {
    RunningDialog *r = static_cast<RunningDialog *>(state);
    if (key == INSPECTOR_KEY && hostInspector()) {
      r->inspecting = !r->inspecting;
      return (int)MODAL_OPEN;
    }
    return dialogKey(&r->view, key);
  };
  window.showHelp = helpViewerShow;
  window.helpTopic = helpTopic;
  return modalRun(&window);
}
