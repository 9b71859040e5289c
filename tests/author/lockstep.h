/*
 * The lockstep rule of the authoring engine: for every dialog of a file, the
 * items the engine reports equal, field for field and in order, what the
 * library's LoadDialogEx returns, and its dialog list equals what repeated
 * EnumDialog calls give. Shared by the lockstep test and its fuzz target.
 */
#ifndef TESSEL_TESTS_AUTHOR_LOCKSTEP_H
#define TESSEL_TESTS_AUTHOR_LOCKSTEP_H

#include <string.h>

#include <algorithm>
#include <string>

#include "author/engine.h"
#include "dialog/dialog_internal.h"

/* The first difference between the engine's analysis of the file at path
   (absolute) and the library's loads of it, or the empty string. At most
   most dialogs are listed and loaded (the fuzz target bounds its work per
   input so); the default compares them all. */
inline std::string lockstepDifference(const std::string &path, const author::Analysis &a,
                                      size_t most = author::kListLimit) {
  /* The dialog list. */
  std::vector<std::string> listed;
  char name[TS_TOKEN_ROOM] = "";
  while (listed.size() < most) {
    EnumDialog(nullptr, path.c_str(), name);
    if (!name[0] || listed.size() >= author::kListLimit ||
        std::find(listed.begin(), listed.end(), name) != listed.end())
      break;
    listed.push_back(name);
  }
  std::vector<std::string> expected(a.listed.begin(), a.listed.begin() + (long)std::min(most, a.listed.size()));
  if (listed != expected) return "dialog list differs";

  size_t loads = 0;
  for (const author::Section &s : a.sections) {
    if (!s.loaded) continue;
    if (loads++ >= most) break;
    DialogData *d = LoadDialogEx(nullptr, 0, path.c_str(), s.name.c_str());
    std::string where = "dialog \"" + s.name + "\": ";
    if (!d) {
      if (!s.items.empty()) return where + "the library loads nothing";
      continue;
    }
    std::string diff;
    if (s.items.empty()) diff = "the engine has no items";
    else if (d->itemCount != (int)s.items.size())
      diff = "item count " + std::to_string(d->itemCount) + " != " + std::to_string(s.items.size());
    else if (d->width != s.width || d->height != s.height) diff = "size differs";
    else if (s.helpTopic != d->helpTopic) diff = "help topic differs";
    for (size_t i = 0; diff.empty() && i < s.items.size(); i++) {
      const DialogItem &x = d->items[i], &y = s.items[i].record;
      bool quoted = d->strings[i] != nullptr;
      bool same = x.type == y.type && x.x1 == y.x1 && x.y1 == y.y1 && x.x2 == y.x2 && x.y2 == y.y2 &&
                  x.focus == y.focus && x.flags == y.flags && x.defaultButton == y.defaultButton &&
                  memcmp(x.data, y.data, sizeof x.data) == 0 && d->ids[i] == s.items[i].id &&
                  quoted == s.items[i].quoted &&
                  (quoted ? s.items[i].selectedText == d->strings[i] : x.selected == y.selected);
      if (!same) diff = "item " + std::to_string(i) + " differs";
    }
    FreeDialog(d);
    if (!diff.empty()) return where + diff;
  }
  /* A name the file does not define loads nothing. */
  std::string absent = "no such dialog \x01";
  if (DialogData *d = LoadDialogEx(nullptr, 0, path.c_str(), absent.c_str())) {
    FreeDialog(d);
    return "an absent name loads a dialog";
  }
  return "";
}

#endif
