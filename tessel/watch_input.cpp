/*
 * Carrying the user's input across a --watch reload: the closed dialog's
 * items saved with their identifiers, matched to the items of the reopened
 * dialog by identifier and type, and their texts, states and focus put back.
 */
#include "tessel/watch_input.h"

#include <string.h>

namespace {

int isEdit(int type) { return type == DI_EDIT || type == DI_PSWEDIT || type == DI_FIXEDIT; }

int isCheck(int type) { return type == DI_CHECKBOX || type == DI_RADIOBUTTON; }

/* The section of analysis that the menu text or name stands for, or null. */
const author::Section *sectionFor(const author::Analysis &analysis, const std::string &name) {
  int at = author::findSection(analysis, name);
  if (at < 0 && name.size() == sizeof(MenuEntry::text) - 1)
    for (const std::string &listed : analysis.listed)
      if (listed.compare(0, name.size(), name) == 0) {
        at = author::findSection(analysis, listed);
        break;
      }
  return at < 0 ? nullptr : &analysis.sections[(size_t)at];
}

/* The saved item that new item j stands for, or -1: the same identifier and
   type (the n-th of them for the n-th), else, for an item without an
   identifier (0), the item of the same index and type without one. */
int savedMatch(const DialogItem *items, const std::vector<int32_t> &ids, int j, const std::vector<SavedItem> &saved) {
  int32_t id = j < (int)ids.size() ? ids[(size_t)j] : 0;
  if (id != 0) {
    int nth = 0;
    for (int i = 0; i < j; i++) nth += ids[(size_t)i] == id && items[i].type == items[j].type;
    for (size_t k = 0; k < saved.size(); k++)
      if (saved[k].id == id && saved[k].type == items[j].type && nth-- == 0) return (int)k;
    return -1;
  }
  if (j < (int)saved.size() && saved[(size_t)j].id == 0 && saved[(size_t)j].type == items[j].type) return j;
  return -1;
}

}  // namespace

std::vector<int32_t> identifiersOf(const author::Analysis &analysis, const std::string &name, const DialogItem *items,
                                   int count) {
  std::vector<int32_t> ids;
  const author::Section *section = sectionFor(analysis, name);
  if (!section || (int)section->items.size() != count) return ids;
  for (int i = 0; i < count; i++) {
    if (section->items[(size_t)i].record.type != items[i].type) return {};
    ids.push_back(section->items[(size_t)i].id);
  }
  return ids;
}

std::vector<SavedItem> saveItems(const DialogItem *items, int count, const std::vector<int32_t> &ids) {
  std::vector<SavedItem> saved;
  for (int i = 0; items && i < count; i++) {
    SavedItem s;
    s.id = i < (int)ids.size() ? ids[(size_t)i] : 0;
    s.type = items[i].type;
    s.selected = items[i].selected;
    s.focus = items[i].focus;
    s.text.assign(items[i].data, strnlen(items[i].data, TS_ITEM_DATA_SIZE - 1));
    saved.push_back(s);
  }
  return saved;
}

void restoreItems(DialogItem *items, int count, const std::vector<int32_t> &ids, const std::vector<SavedItem> &saved) {
  if (saved.empty() || !items) return;
  int focused = -1, newFocus = -1;
  for (size_t k = 0; k < saved.size(); k++)
    if (saved[k].focus) focused = (int)k;
  for (int j = 0; j < count; j++) {
    int k = savedMatch(items, ids, j, saved);
    if (k < 0) continue;
    const SavedItem &s = saved[(size_t)k];
    if (isEdit(items[j].type)) {
      memcpy(items[j].data, s.text.c_str(), s.text.size() + 1);
    } else if (isCheck(items[j].type)) {
      items[j].selected = s.selected;
    }
    if (k == focused) newFocus = j;
  }
  if (newFocus < 0 && focused >= 0 && focused < count) newFocus = focused;
  if (newFocus < 0) return;
  for (int j = 0; j < count; j++) items[j].focus = j == newFocus;
}
