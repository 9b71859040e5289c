/*
 * The host's menus: a framed list of the host's menu entry records with the
 * title in the top border, the bottom text in the bottom border and the
 * marked entry highlighted; hot keys, explicit ('&') or automatic.
 */
#ifndef TESSEL_HOST_MENU_H
#define TESSEL_HOST_MENU_H

#include "dialog/dialog.h"
#include "host/modal.h"
#include "host/screen.h"

/* The flags of a menu are the MENU_ flags of dialog/dialog.h. */

/* Entries a menu shows; further ones are left out. */
enum { MENU_MAX_ENTRIES = 1024 };

typedef struct MenuView {
  const MenuEntry *entries;
  int count; /* 0 to MENU_MAX_ENTRIES */
  unsigned flags;
  const char *title, *bottom;          /* may be null */
  const int *breakKeys;                /* host key codes ending in 0, or null */
  int breakCode;                       /* index of the break key that closed it, else -1 */
  int x, y, maxHeight;                 /* as asked: -1 centres, 0 no height limit */
  int current;                         /* the highlighted entry, -1 when none can be */
  int first;                           /* the first entry shown */
  int left, top, width, height;        /* where it stands on the screen */
  int shown;                           /* entries shown at once */
  char visible[MENU_MAX_ENTRIES][128]; /* each entry's text without its marks */
  short hot[MENU_MAX_ENTRIES];         /* position of each entry's hot key, or -1 */
} MenuView;

/* Prepares a menu for a screen of cols x rows: hot keys, size, place, and
   the highlight on the first entry whose selected field is set (else on the
   first entry that is no separator). */
void menuOpen(MenuView *view, const MenuEntry *entries, int count, unsigned flags, const char *title,
              const char *bottom, const int *breakKeys, int x, int y, int maxHeight, int cols, int rows);

/* Places the menu again for a screen of cols x rows (after a resize). */
void menuPlace(MenuView *view, int cols, int rows);

/* Draws it over what the screen holds. */
void menuDraw(const MenuView *view, Screen *screen);

/* Acts on one key: MODAL_OPEN while the menu stays, else the chosen entry's
   index, or -1 for Esc and F10. A break key closes with the highlighted
   entry and sets breakCode to its position among the break keys. */
int menuKey(MenuView *view, int key);

/* Runs a menu in the session's modal loop (F1 shows its help topic, unless
   F1 is one of its break keys); returns as menuKey
   and writes the break code (-1 when no break key closed it) through
   breakCode when not null. A change of the session's watched file closes
   it with the marked entry (-1 when none), as a reload expects. */
int menuRun(const MenuEntry *entries, int count, unsigned flags, const char *title, const char *bottom,
            const char *helpTopic, const int *breakKeys, int *breakCode, int x, int y, int maxHeight);

#endif
