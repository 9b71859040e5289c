/*
 * The user's input carried across a --watch reload: the items of a dialog as
 * the user left them (focus, edit texts, check states) kept by identifier,
 * and put back into the same dialog as the new version of the file defines
 * it.
 */
#ifndef TESSEL_TESSEL_WATCH_INPUT_H
#define TESSEL_TESSEL_WATCH_INPUT_H

#include <stdint.h>

#include <string>
#include <vector>

#include "author/engine.h"
#include "dialog/dialog.h"

/* An item's state as the user left it, with its identifier. */
struct SavedItem {
  int32_t id;
  int32_t type;
  intptr_t selected;
  int32_t focus;
  std::string text;
};

/* The identifiers of the count items of the dialog that the menu text or
   name stands for in analysis (a menu entry shows at most 127 characters of
   a longer name); empty when the analysis does not hold exactly those
   items. */
std::vector<int32_t> identifiersOf(const author::Analysis &analysis, const std::string &name, const DialogItem *items,
                                   int count);

/* The count items (items may be null) as the user left them, each with its
   identifier from ids (0 past its end). */
std::vector<SavedItem> saveItems(const DialogItem *items, int count, const std::vector<int32_t> &ids);

/* Puts saved into the reopened dialog's count items, whose identifiers are
   ids: edit texts and check states where the item still exists (the same
   identifier and type, the n-th of them for the n-th; an item without an
   identifier by its index), the focus on the item that had it, else on the
   same index. */
void restoreItems(DialogItem *items, int count, const std::vector<int32_t> &ids, const std::vector<SavedItem> &saved);

#endif
