/*
 * `tessel design FILE.dlg NAME`: the dialog drawn as the host's window
 * draws it, with one item selected, laid out by sight: the arrows move the
 * selected item, Shift and the arrows resize it, Tab selects the next. Each
 * change rewrites only the fields that change, proven by the library
 * (author/design.h); F2 saves through a temporary file renamed over the
 * file; leaving with unsaved changes asks.
 */
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "author/checks.h"
#include "author/design.h"
#include "dialog/dialog_internal.h"
#include "host/dialog_window.h"
#include "host/keys.h"
#include "host/menu.h"
#include "host/modal.h"
#include "host/msgbox.h"
#include "host/session.h"
#include "host/watch.h"
#include "layout/layout.h"
#include "tessel/command.h"
#include "tessel/modules.h"
#include "tessel/plugin.h"

namespace {

const char kDesignHelp[] =
    "usage: tessel design FILE.dlg NAME [options]\n"
    "\n"
    "Shows dialog NAME of FILE as the host draws it, to lay it out by sight. The\n"
    "selected item is shown inverted; the bottom row says its type, identifier,\n"
    "place and size in cells, its line, and what tessel check says of it.\n"
    "Localised texts are those of the --language's .lng file beside FILE\n"
    "(message names when there is none).\n"
    "\n"
    "keys (F1 lists them): Tab and S-Tab select the next and the previous item (in\n"
    "the order of their lines); the arrows move the selected item a cell; S-Up,\n"
    "S-Down, S-Left and S-Right move its bottom or right edge (boxes, and the width\n"
    "of edit fields); Ins adds an item of a type chosen from a palette at the\n"
    "cursor (the cell last clicked, else the one below the selected item); F4 or\n"
    "Enter opens a form of the item's type, identifier, selected field, text and\n"
    "flags; F5 writes a copy of the item's line after it, F8 deletes it; Space\n"
    "marks or unmarks it, L lines the marked items up with its left column, C makes\n"
    "them a centred group on its row; F6 shows the tab order (the order of the\n"
    "lines), - and + move the item one place earlier or later in it; C-Z undoes a\n"
    "change and C-Y does it again; F2 saves; Esc leaves, asking first when there\n"
    "are unsaved changes.\n"
    "\n"
    "mouse (where the terminal reports it): a click selects an item, or puts the\n"
    "cursor on an empty cell; a drag moves the item (from a box's bottom right\n"
    "corner or an edit field's last cell, it resizes the item), as one change.\n"
    "In --keys, Click:X,Y and Drag:X,Y-X2,Y2 (screen cells from 0,0) stand for\n"
    "them.\n"
    "\n"
    "Each change rewrites only the fields of the item's line that change (the\n"
    "columns of a formatted file kept), and the library must read the intended\n"
    "item from the new line, else the change is refused and the bottom row says\n"
    "why. Every other byte of the file stays as it is. Saving writes a temporary\n"
    "file beside the file and renames it over the file, and is refused when the\n"
    "file changed on disk since it was read (offering to reload it). A change on\n"
    "disk while nothing is unsaved reloads the design.\n";

const char kDesignExitStatus[] =
    "exit status: 0 done, 1 failed (the file or the dialog missing), 2 bad\n"
    "arguments, 3 a --keys run that kept waiting.\n";

struct DesignWindow {
  author::Design *design;
  DialogItem records[DIALOG_MAX_ITEMS];
  int count = 0;
  DialogView view;
  std::string notice; /* what the last key did, when it says something */
  bool error = false;
  bool showOrder = false;             /* F6: each item's place in the tab order shown */
  bool cursorSet = false;             /* a click on an empty cell placed the cursor */
  long long cursorX = 0, cursorY = 0; /* that cell, in the dialog */
  bool dragging = false;              /* the left button went down on the selected item */
  long long dragX = 0, dragY = 0;     /* the cell the item was last moved to follow */
  size_t dragDepth = 0;               /* designChangeMark when the drag began */
  bool resizing = false;              /* the drag began at the far corner: it resizes the item */
};

/* What a reload hook returns to the loop in cmdDesign: read the file again. */
const int kReload = 1;

/* The dialog's records as the library reads them, placed for the screen. */
void layOut(DesignWindow *w, int cols, int rows) {
  const std::vector<author::Item> &items = author::designItems(*w->design);
  w->count = (int)std::min(items.size(), (size_t)DIALOG_MAX_ITEMS);
  for (int i = 0; i < w->count; i++) w->records[i] = items[(size_t)i].record;
  const author::Section &s = w->design->analysis.sections[(size_t)w->design->section];
  dialogOpen(&w->view, w->records, w->count, -1, -1, s.width, s.height, cols, rows);
  w->view.focus = -1; /* the selection is shown inverted, not as the focus */
}

void showStatus(const DesignWindow *w) {
  std::string line = author::designStatus(*w->design);
  if (!w->design->marked.empty()) line += ", " + std::to_string(w->design->marked.size()) + " marked";
  if (!w->notice.empty()) line += ": " + w->notice;
  sessionSetStatus(line.c_str(), w->error);
}

void place(void *state, int cols, int rows) { layOut(static_cast<DesignWindow *>(state), cols, rows); }

/* The cell of the dialog where a new item goes: the one last clicked, else
   the one below the selected item. */
void cursorCell(const DesignWindow *w, const std::vector<author::Place> &places, long long *x, long long *y) {
  int selected = w->design->selected;
  if (w->cursorSet || selected < 0 || selected >= (int)places.size()) {
    *x = w->cursorSet ? w->cursorX : 1;
    *y = w->cursorSet ? w->cursorY : 1;
    return;
  }
  *x = places[(size_t)selected].left;
  *y = places[(size_t)selected].bottom + 1;
}

/* Paints the cells of item place p: inverted (the selected item), or in the
   marked items' colours. */
void paintPlace(const DesignWindow *w, Screen *screen, const author::Place &p, bool inverted) {
  /* the cells on the screen only: an item may reach far beyond it */
  long long top = std::max(p.top, -(long long)w->view.top),
            bottom = std::min(p.bottom, (long long)(w->view.rows - w->view.top - 1));
  long long left = std::max(p.left, -(long long)w->view.left),
            right = std::min(p.right, (long long)(w->view.cols - w->view.left - 1));
  for (long long y = top; y <= bottom; y++)
    for (long long x = left; x <= right; x++) {
      long long sx = w->view.left + x, sy = w->view.top + y;
      const Cell *cell = screenCellAt(screen, (int)sx, (int)sy);
      if (!cell) continue;
      Paint paint = cell->paint;
      if (inverted) {
        paint.colour = (uint8_t)((paint.colour << 4) | (paint.colour >> 4));
        paint.mono ^= MONO_REVERSE;
      } else {
        paint.colour = 0x2F; /* white on green */
        paint.mono |= MONO_UNDERLINE;
      }
      screenPut(screen, (int)sx, (int)sy, cell->ch, paint);
    }
}

/* The dialog; the marked items and the selected one painted; the places in
   the tab order over the items' first cells when shown; the cursor where a
   new item goes. */
void draw(const void *state, Screen *screen) {
  const DesignWindow *w = static_cast<const DesignWindow *>(state);
  dialogDraw(&w->view, screen);
  const author::Design &d = *w->design;
  std::vector<author::Place> places = author::placeItems(d.analysis.sections[(size_t)d.section]);
  for (int i : d.marked)
    if (i >= 0 && i < (int)places.size() && i != d.selected) paintPlace(w, screen, places[(size_t)i], false);
  if (d.selected >= 0 && d.selected < (int)places.size()) paintPlace(w, screen, places[(size_t)d.selected], true);
  if (w->showOrder) {
    Paint number = {0x4F, MONO_BOLD}; /* white on red */
    for (size_t i = 0; i < places.size(); i++) {
      std::string text = std::to_string(i + 1);
      for (size_t k = 0; k < text.size(); k++) {
        long long sx = w->view.left + places[i].left + (long long)k, sy = w->view.top + places[i].top;
        if (sx >= 0 && sy >= 0 && sx < w->view.cols && sy < w->view.rows)
          screenPut(screen, (int)sx, (int)sy, (uint32_t)text[k], number);
      }
    }
  }
  long long x, y;
  cursorCell(w, places, &x, &y);
  x += w->view.left;
  y += w->view.top;
  screen->cursorVisible = x >= 0 && y >= 0 && x < screen->cols && y < screen->rows;
  if (screen->cursorVisible) {
    screen->cursorX = (int)x;
    screen->cursorY = (int)y;
  }
}

/* Asks what to do with unsaved changes: 0 save, 1 discard, else stay. */
int askOnLeaving() {
  const char *lines[] = {"Design", "The dialog file has unsaved changes.", "\x01", "Save", "Discard", "Cancel"};
  return msgBoxRun(0, lines, 6, 3);
}

/* Asks whether to read a file changed on disk again: 0 reload, else stay. */
int askToReload() {
  const char *lines[] = {"Design",
                         "The dialog file changed on disk since it was read.",
                         "Reloading it loses the changes made here.",
                         "\x01",
                         "Reload",
                         "Cancel"};
  return msgBoxRun(MSG_WARNING, lines, 6, 2);
}

/* F1: the keys of the design, in a message box. */
void showKeys() {
  const char *lines[] = {"Design",
                         "Tab, S-Tab      select the next, the previous item",
                         "arrows          move it a cell",
                         "S-arrows        move its right or bottom edge",
                         "Ins             add an item at the cursor, from a palette",
                         "F4, Enter       its type, identifier, selected field, text, flags",
                         "F5, F8          copy its line after it, delete its line",
                         "Space           mark it; L, C: line the marked up with it,",
                         "                or make them a centred group on its row",
                         "F6; -, +        show the tab order; move it earlier, later",
                         "C-Z, C-Y        undo, redo",
                         "F2, Esc         save, leave",
                         "mouse           a click selects or places the cursor; a drag moves,",
                         "                from a far corner resizes",
                         "\x01",
                         "OK"};
  msgBoxRun(MSG_LEFTALIGN, lines, (int)(sizeof lines / sizeof lines[0]), 1);
}

/* The palette: the ten item types; the chosen one's type, or -1. */
int choosePalette() {
  MenuEntry entries[TS_TYPE_COUNT];
  memset(entries, 0, sizeof entries);
  for (int t = 0; t < TS_TYPE_COUNT; t++) snprintf(entries[t].text, sizeof entries[t].text, "%s", itemTypeNames[t]);
  return menuRun(entries, TS_TYPE_COUNT, 0, "Add item", "Enter adds, Esc cancels", nullptr, nullptr, nullptr, -1, -1,
                 0);
}

/* The DIF_ flags the form offers, by their bits (the colour mask is a
   colour's business, not a flag to toggle). */
const int kFormFlags = TS_FLAG_COUNT - 1;

/* The item form: the selected item's type, identifier, selected field and
   text as written, and its flags as check boxes. False when cancelled. */
bool runForm(const author::Design &d, author::ItemForm *form) {
  enum { TITLE, TYPE_LABEL, TYPE, ID_LABEL, ID, SELECTED_LABEL, SELECTED, TEXT_LABEL, TEXT, FLAG0 };
  const int flagRows = (kFormFlags + 1) / 2, okAt = FLAG0 + kFormFlags, count = okAt + 2;
  const int width = 62, height = 8 + flagRows + 3;
  static DialogItem items[FLAG0 + TS_FLAG_COUNT + 2];
  memset(items, 0, sizeof items);
  auto put = [](DialogItem *item, int type, int x1, int y1, int x2, const std::string &text) {
    item->type = type;
    item->x1 = x1;
    item->y1 = item->y2 = y1;
    item->x2 = x2;
    snprintf(item->data, sizeof item->data, "%s", text.c_str());
  };
  int line = author::designItems(d)[(size_t)d.selected].line;
  put(&items[TITLE], DI_DOUBLEBOX, 3, 1, width - 4,
      "Item on line " + std::to_string(d.analysis.lines[(size_t)line].number));
  items[TITLE].y2 = height - 2;
  const char *labels[] = {"&Type:", "&Identifier:", "&Selected:", form->message ? "&Message:" : "Te&xt:"};
  const std::string *values[] = {&form->type, &form->id, &form->selected, &form->text};
  for (int i = 0; i < 4; i++) {
    put(&items[TYPE_LABEL + 2 * i], DI_TEXT, 5, 2 + i, 0, labels[i]);
    put(&items[TYPE + 2 * i], DI_EDIT, 18, 2 + i, width - 6, *values[i]);
  }
  items[TYPE].focus = 1;
  for (int k = 0; k < kFormFlags; k++) {
    DialogItem *box = &items[FLAG0 + k];
    put(box, DI_CHECKBOX, k < flagRows ? 5 : 32, 7 + k % flagRows, 0, itemFlagNames[k + 1]);
    box->selected = (form->flags & author::designFlagOf(itemFlagNames[k + 1])) != 0;
  }
  put(&items[okAt], DI_BUTTON, 0, height - 3, 0, "OK");
  items[okAt].flags = DIF_CENTERGROUP;
  items[okAt].defaultButton = 1;
  put(&items[okAt + 1], DI_BUTTON, 0, height - 3, 0, "Cancel");
  items[okAt + 1].flags = DIF_CENTERGROUP;
  if (dialogRun(items, count, -1, -1, width, height, nullptr) != okAt) return false;
  std::string *out[] = {&form->type, &form->id, &form->selected, &form->text};
  for (int i = 0; i < 4; i++) *out[i] = items[TYPE + 2 * i].data;
  form->flags = 0;
  for (int k = 0; k < kFormFlags; k++)
    if (items[FLAG0 + k].selected) form->flags |= author::designFlagOf(itemFlagNames[k + 1]);
  return true;
}

/* A mouse event: a press selects the item under it (and starts a drag) or
   puts the cursor on an empty cell; a move drags the item along, or, from
   a box's bottom right corner or an edit field's last cell, its far edge;
   the release ends the drag, which undoes as one change. */
bool mouse(DesignWindow *w, int key, std::string *why, bool *changed) {
  author::Design *d = w->design;
  long long x = keyMouseX(key) - w->view.left, y = keyMouseY(key) - w->view.top;
  switch (keyMouseAction(key)) {
    case MOUSE_PRESS: {
      int item = author::designItemAt(*d, x, y);
      w->dragging = item >= 0;
      if (item < 0) {
        w->cursorSet = true;
        w->cursorX = x;
        w->cursorY = y;
        return true;
      }
      d->selected = item;
      w->cursorSet = false;
      w->dragX = x;
      w->dragY = y;
      w->dragDepth = author::designChangeMark(*d);
      /* the bottom right corner of a box, the last cell of an edit field: a drag resizes */
      const DialogItem &r = author::designItems(*d)[(size_t)item].record;
      author::Place p = author::placeItems(d->analysis.sections[(size_t)d->section])[(size_t)item];
      w->resizing = (layoutIsBox(r.type) && x == p.right && y == p.bottom) || (layoutIsEdit(r.type) && x == p.right);
      return true;
    }
    case MOUSE_MOVE: {
      if (!w->dragging) return true;
      /* an edit field has no height to resize: the rows a drag crosses do not count */
      bool rows = !w->resizing || layoutIsBox(author::designItems(*d)[(size_t)d->selected].record.type);
      long long dy = rows ? y - w->dragY : 0;
      if (x == w->dragX && dy == 0) return true;
      bool done = w->resizing ? author::designResize(d, (int)(x - w->dragX), (int)dy, why)
                              : author::designMove(d, (int)(x - w->dragX), (int)dy, why);
      if (!done) return false;
      w->dragX = x;
      w->dragY += dy;
      *changed = true;
      return true;
    }
    default:
      if (w->dragging) author::designFoldChanges(d, w->dragDepth);
      w->dragging = false;
      return true;
  }
}

/* The arrows move the selected item a cell; with Shift they move its right
   or bottom edge. */
struct ArrowKey {
  int key, dx, dy;
  bool resize;
};
const ArrowKey kArrowKeys[] = {
    {TK_LEFT, -1, 0, false}, {TK_RIGHT, 1, 0, false}, {TK_UP, 0, -1, false}, {TK_DOWN, 0, 1, false},
    {TK_SLEFT, -1, 0, true}, {TK_SRIGHT, 1, 0, true}, {TK_SUP, 0, -1, true}, {TK_SDOWN, 0, 1, true},
};

const ArrowKey *arrowKey(int key) {
  for (const ArrowKey &arrow : kArrowKeys)
    if (arrow.key == key) return &arrow;
  return nullptr;
}

/* Acts on one key: a change, a selection, saving or leaving. */
int key(void *state, int key) {
  DesignWindow *w = static_cast<DesignWindow *>(state);
  author::Design *d = w->design;
  std::string why;
  bool done = true, changed = false;
  w->notice.clear();
  w->error = false;
  int count = (int)author::designItems(*d).size();
  const ArrowKey *arrow = arrowKey(key);
  if (keyIsMouse(key)) {
    done = mouse(w, key, &why, &changed);
  } else if (arrow) {
    done = changed = arrow->resize ? author::designResize(d, arrow->dx, arrow->dy, &why)
                                   : author::designMove(d, arrow->dx, arrow->dy, &why);
  } else {
    switch (key) {
      case TK_TAB:
      case TK_STAB:
        if (count > 0) d->selected = (d->selected + (key == TK_TAB ? 1 : count - 1)) % count;
        w->cursorSet = false;
        break;
      case TK_INS: {
        int type = choosePalette();
        if (type < 0) break;
        std::vector<author::Place> places = author::placeItems(d->analysis.sections[(size_t)d->section]);
        long long x, y;
        cursorCell(w, places, &x, &y);
        done = changed = author::designAdd(d, type, x, y, &why);
        if (done) w->cursorSet = false;
        break;
      }
      case TK_ENTER:
      case TK_F1 + 3: { /* F4, the form */
        author::ItemForm form = author::designForm(*d);
        if (count > 0 && runForm(*d, &form)) done = changed = author::designApplyForm(d, form, &why);
        break;
      }
      case TK_F1 + 7: /* F8, delete */
        done = changed = author::designDelete(d, &why);
        break;
      case TK_F1 + 4: /* F5, copy */
        done = changed = author::designDuplicate(d, &why);
        break;
      case TK_F1:
        showKeys();
        break;
      case TK_F1 + 5: /* F6, the tab order */
        w->showOrder = !w->showOrder;
        break;
      case ' ':
        author::designToggleMark(d);
        break;
      case 'l':
      case 'L':
        done = changed = author::designAlignLeft(d, &why);
        break;
      case 'c':
      case 'C':
        done = changed = author::designCentreGroup(d, &why);
        break;
      case '-':
      case '+':
        done = changed = author::designReorder(d, key == '-' ? -1 : 1, &why);
        break;
      case TK_CZ:
        changed = author::designUndo(d);
        if (!changed) w->notice = "nothing to undo";
        break;
      case TK_CY:
        changed = author::designRedo(d);
        if (!changed) w->notice = "nothing to redo";
        break;
      case TK_F1 + 1:
        done = author::designSave(d, &why);
        if (done) w->notice = "saved";
        else if (author::designChangedOnDisk(*d) && !d->writeAnew && askToReload() == 0) return kReload;
        break;
      case TK_ESC: {
        /* a --keys run that ran out leaves, unsaved changes and all */
        if (!author::designChanged(*d) || sessionState() == SESSION_KEYS_RAN_OUT) return 0;
        int answer = askOnLeaving();
        if (answer == 1) return 0;
        if (answer == 0) {
          if (author::designSave(d, &why)) return 0;
          done = false;
        }
        break;
      }
      default:
        break;
    }
  }
  if (!done) {
    w->notice = why;
    w->error = true;
  }
  if (changed) layOut(w, w->view.cols, w->view.rows);
  showStatus(w);
  return MODAL_OPEN;
}

/* A change of the file on disk: read again when nothing is unsaved (a save
   of our own changes nothing); else kept, and said. */
int onDiskChange(void *context) {
  DesignWindow *w = static_cast<DesignWindow *>(context);
  if (!author::designChangedOnDisk(*w->design)) return SESSION_KEEP;
  if (!author::designChanged(*w->design)) return SESSION_RELOAD;
  w->notice = "changed on disk; F2 offers a reload";
  w->error = true;
  showStatus(w);
  return SESSION_KEEP;
}

}  // namespace

int cmdDesign(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_DESIGN, kDesignHelp, kDesignExitStatus);
  if (o->args.size() != 2) return fail(EXIT_USAGE, "design takes a file and a dialog name (see tessel design --help)");
  char file[PATH_MAX];
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;
  author::Design design;
  design.language = o->language;
  std::string why;
  if (!author::designOpen(&design, o->args[0], o->args[1], &why)) return fail(EXIT_FAILED, "%s", why.c_str());
  FILE *dumpFile = nullptr;
  int status = openSession(o, &dumpFile);
  if (status != EXIT_OK) return status;
  static DesignWindow window; /* large: the records of a dialog */
  window = DesignWindow();
  window.design = &design;
  FileWatch watch = {};
  bool watching = fileWatchOpen(&watch, file);
  if (watching) sessionSetWatch(&watch, onDiskChange, &window);
  sessionSetMouse(1);
  Screen *screen = sessionScreen();
  layOut(&window, screen->cols, screen->rows);
  showStatus(&window);
  ModalWindow modal = {};
  modal.state = &window;
  modal.place = place;
  modal.draw = draw;
  modal.key = key;
  modal.reload = [](void *) { return kReload; };
  while (modalRun(&modal) == kReload) {
    sessionEndReload();
    window.notice.clear();
    window.error = !author::designReload(&design, &window.notice);
    if (!window.error) window.notice = "reloaded from disk";
    window.dragging = false;
    layOut(&window, screen->cols, screen->rows);
    showStatus(&window);
  }
  sessionSetMouse(0);
  sessionSetWatch(nullptr, nullptr, nullptr);
  fileWatchClose(&watch);
  bool unsaved = author::designChanged(design);
  status = closeSession(&dumpFile);
  if (status == EXIT_OK && unsaved) fprintf(stderr, "tessel: %s: the changes were not saved\n", o->args[0]);
  return status;
}
