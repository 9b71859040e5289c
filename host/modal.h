/*
 * The one modal loop of the host's windows. A dialog, a menu and a message
 * box each say how to place, draw and answer a key; the loop keeps the
 * screen behind the window, draws the window over it, waits for a key,
 * places the window again after a resize, hands F1 to the window's help hook,
 * closes the window when the watched file changes, and puts the background
 * back when the window closes.
 */
#ifndef TESSEL_HOST_MODAL_H
#define TESSEL_HOST_MODAL_H

#include "host/screen.h"

/* What a window's key hook returns while the window stays open. Every other
   value closes the window and is what modalRun returns. */
enum { MODAL_OPEN = -2 };

/* A window kind's hooks over its own state. */
typedef struct ModalWindow {
  void *state;
  /* Places the window again for a screen of cols x rows (after a resize). */
  void (*place)(void *state, int cols, int rows);
  /* Draws the window over what the screen holds. */
  void (*draw)(const void *state, Screen *screen);
  /* Acts on one key: MODAL_OPEN while the window stays, else its result. */
  int (*key)(void *state, int key);
  /* Whether the window takes a key itself that the loop would act on (F1);
     null: it takes none. */
  int (*ownsKey)(const void *state, int key);
  /* F1 calls showHelp with helpTopic (the help viewer's helpViewerShow);
     null: F1 goes to the key hook like any key. */
  void (*showHelp)(const char *topic);
  const char *helpTopic;
  /* What the window closes with when the session's watched file changed
   (TK_RELOAD); null: what Esc gives. */
  int (*reload)(void *state);
} ModalWindow;

/* Runs the window in the session until its key hook closes it; returns what
   the hook returned. The screen behind it is put back when the window
   closes on a screen of the size it opened on (else it stays as drawn). */
int modalRun(const ModalWindow *window);

#endif
