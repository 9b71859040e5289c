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
#include "host/dialog_window.h"
#include "host/keys.h"
#include "host/modal.h"
#include "host/msgbox.h"
#include "host/session.h"
#include "tessel/command.h"
#include "tessel/modules.h"
#include "tessel/plugin.h"

namespace {

const char kDesignHelp[] =
    "usage: tessel design FILE.dlg NAME [options]\n"
    "\n"
    "Shows dialog NAME of FILE as the host draws it, to lay it out by sight. The\n"
    "selected item is shown inverted; the bottom row says its type, identifier,\n"
    "place and size in cells and its line. Localised texts are those of the\n"
    "--language's .lng file beside FILE (message names when there is none).\n"
    "\n"
    "keys: Tab and S-Tab select the next and the previous item (in the order of\n"
    "their lines); the arrows move the selected item a cell; S-Up, S-Down, S-Left\n"
    "and S-Right move its bottom or right edge (boxes, and the width of edit\n"
    "fields); F5 writes a copy of the selected item's line after it, F8 deletes\n"
    "it; C-Z undoes a change and C-Y does it again; F2 saves; Esc leaves,\n"
    "asking first when there are unsaved changes.\n"
    "\n"
    "Each change rewrites only the fields of the item's line that change (the\n"
    "columns of a formatted file kept), and the library must read the intended\n"
    "item from the new line, else the change is refused and the bottom row says\n"
    "why. Every other byte of the file stays as it is. Saving writes a temporary\n"
    "file beside the file and renames it over the file, and is refused when the\n"
    "file changed on disk since it was read.\n";

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
};

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
  if (!w->notice.empty()) line += ": " + w->notice;
  sessionSetStatus(line.c_str(), w->error);
}

void place(void *state, int cols, int rows) { layOut(static_cast<DesignWindow *>(state), cols, rows); }

/* The dialog, and the selected item's cells inverted. */
void draw(const void *state, Screen *screen) {
  const DesignWindow *w = static_cast<const DesignWindow *>(state);
  dialogDraw(&w->view, screen);
  const author::Design &d = *w->design;
  if (d.selected < 0 || d.selected >= w->count) return;
  std::vector<author::Place> places = author::placeItems(d.analysis.sections[(size_t)d.section]);
  const author::Place &p = places[(size_t)d.selected];
  for (long long y = p.top; y <= p.bottom; y++)
    for (long long x = p.left; x <= p.right; x++) {
      long long sx = w->view.left + x, sy = w->view.top + y;
      if (sx < 0 || sy < 0 || sx >= w->view.cols || sy >= w->view.rows) continue;
      const Cell *cell = screenCellAt(screen, (int)sx, (int)sy);
      if (!cell) continue;
      Paint paint = cell->paint;
      paint.colour = (uint8_t)((paint.colour << 4) | (paint.colour >> 4));
      paint.mono ^= MONO_REVERSE;
      screenPut(screen, (int)sx, (int)sy, cell->ch, paint);
    }
}

/* Asks what to do with unsaved changes: 0 save, 1 discard, else stay. */
int askOnLeaving() {
  const char *lines[] = {"Design", "The dialog file has unsaved changes.", "\x01", "Save", "Discard", "Cancel"};
  return msgBoxRun(0, lines, 6, 3);
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
  switch (key) {
    case TK_TAB:
    case TK_STAB:
      if (count > 0) d->selected = (d->selected + (key == TK_TAB ? 1 : count - 1)) % count;
      break;
    case TK_LEFT:
    case TK_RIGHT:
    case TK_UP:
    case TK_DOWN:
      done = author::designMove(d,
                                key == TK_LEFT    ? -1
                                : key == TK_RIGHT ? 1
                                                  : 0,
                                key == TK_UP     ? -1
                                : key == TK_DOWN ? 1
                                                 : 0,
                                &why);
      changed = done;
      break;
    case TK_SLEFT:
    case TK_SRIGHT:
    case TK_SUP:
    case TK_SDOWN:
      done = author::designResize(d,
                                  key == TK_SLEFT    ? -1
                                  : key == TK_SRIGHT ? 1
                                                     : 0,
                                  key == TK_SUP     ? -1
                                  : key == TK_SDOWN ? 1
                                                    : 0,
                                  &why);
      changed = done;
      break;
    case TK_F1 + 7: /* F8, delete */
      done = changed = author::designDelete(d, &why);
      break;
    case TK_F1 + 4: /* F5, copy */
      done = changed = author::designDuplicate(d, &why);
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
  if (!done) {
    w->notice = why;
    w->error = true;
  }
  if (changed) layOut(w, w->view.cols, w->view.rows);
  showStatus(w);
  return MODAL_OPEN;
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
  Screen *screen = sessionScreen();
  layOut(&window, screen->cols, screen->rows);
  showStatus(&window);
  ModalWindow modal = {};
  modal.state = &window;
  modal.place = place;
  modal.draw = draw;
  modal.key = key;
  modalRun(&modal);
  bool unsaved = author::designChanged(design);
  status = closeSession(&dumpFile);
  if (status == EXIT_OK && unsaved) fprintf(stderr, "tessel: %s: the changes were not saved\n", o->args[0]);
  return status;
}
