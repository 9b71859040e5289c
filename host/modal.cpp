/*
 * The modal loop: background, draw, key, and the keys every window answers
 * alike (a resize, F1, a reload).
 */
#include "host/modal.h"

#include "host/keys.h"
#include "host/session.h"

namespace {

/* Whether the kept background can be put back on the screen. */
int backgroundFits(int haveBack, const Screen *back, const Screen *screen) {
  return haveBack && back->cols == screen->cols && back->rows == screen->rows;
}

}  // namespace

int modalRun(const ModalWindow *w) {
  Screen *s = sessionScreen();
  Screen back = {};
  int haveBack = screenCopy(&back, s);
  int result;
  for (;;) {
    if (backgroundFits(haveBack, &back, s)) screenCopy(s, &back);
    else screenClear(s);
    w->draw(w->state, s);
    int key = sessionWaitKey();
    if (key == TK_RESIZE) {
      w->place(w->state, s->cols, s->rows);
      continue;
    }
    if (key == TK_F1 && w->showHelp && !(w->ownsKey && w->ownsKey(w->state, key))) {
      w->showHelp(w->helpTopic);
      continue;
    }
    if (key == TK_RELOAD) {
      result = w->reload ? w->reload(w->state) : w->key(w->state, TK_ESC);
      if (result == MODAL_OPEN) result = -1; /* a reload closes every window */
      break;
    }
    result = w->key(w->state, key);
    if (result != MODAL_OPEN) break;
  }
  if (backgroundFits(haveBack, &back, s)) screenCopy(s, &back);
  screenFree(&back);
  return result;
}
