/*
 * Laying a dialog out by sight: each change rewrites the coordinates of one
 * item line through the minimal, proven line edits, and the whole file is
 * read again by the engine, so that what is shown is what the library loads.
 */
#include "author/design.h"

#include <errno.h>
#include <string.h>

#include "author/checks.h"
#include "author/edit.h"
#include "author/engine.h"
#include "author/file_bytes.h"
#include "dialog/dialog_internal.h"
#include "layout/layout.h"
#include "platform/platform.h"

namespace author {

namespace {

/* The file's bytes as the library reads them in text mode: CR LF as LF, and
   nothing from an end-of-file mark on. Line numbers stay those of the file. */
std::string textModeOf(const std::string &bytes) {
  std::string text;
  size_t end = std::min(bytes.find('\x1A'), bytes.size());
  text.reserve(end);
  for (size_t i = 0; i < end; i++)
    if (!(bytes[i] == '\r' && i + 1 < end && bytes[i + 1] == '\n')) text += bytes[i];
  return text;
}

void analyse(Design *d) {
  Options options;
  options.dialog = d->name;
  d->analysis = analyzeTextIn(textModeOf(d->bytes), options, d->texts.empty() ? nullptr : &d->texts[0]);
  d->section = findSection(d->analysis, d->name);
  int count = (int)designItems(*d).size();
  if (d->selected >= count) d->selected = count > 0 ? count - 1 : 0;
}

/* Where line number (1-based) of the file's bytes begins and where its
   content ends (before its CR LF or LF); false past the last line. */
bool lineBytes(const std::string &bytes, int number, size_t *start, size_t *end) {
  size_t at = 0;
  for (int n = 1; n < number; n++) {
    at = bytes.find('\n', at);
    if (at == std::string::npos) return false;
    at++;
  }
  size_t feed = std::min(bytes.find('\n', at), bytes.size());
  *start = at;
  *end = feed > at && bytes[feed - 1] == '\r' ? feed - 1 : feed;
  return true;
}

/* Where the selected item's line lies in the file's bytes: its content
   [start, contentEnd) and the whole line with its line end [start, end);
   false (with *why) when it cannot be edited whole. */
bool selectedLine(const Design &d, size_t *start, size_t *contentEnd, size_t *end, std::string *why) {
  if (d.selected < 0 || d.selected >= (int)designItems(d).size()) {
    *why = "no item is selected";
    return false;
  }
  const Line &line = d.analysis.lines[(size_t)designItems(d)[(size_t)d.selected].line];
  if (line.column != 1) {
    *why = "this item is a piece of a line too long for the library's buffer: edit it by hand";
    return false;
  }
  if (!lineBytes(d.bytes, line.number, start, contentEnd) ||
      d.bytes.compare(*start, *contentEnd - *start, line.text) != 0) {
    *why = "the line's bytes are not what the library reads from them: edit it by hand";
    return false;
  }
  size_t feed = d.bytes.find('\n', *contentEnd);
  *end = feed == std::string::npos ? d.bytes.size() : feed + 1;
  return true;
}

/* Rewrites the selected item's coordinates to x1..y2 (the fields that
   change only), proven by the library; the old bytes go to the undo list. */
bool rewrite(Design *d, const int32_t to[4], std::string *why) {
  size_t start, contentEnd, end;
  if (!selectedLine(*d, &start, &contentEnd, &end, why)) return false;
  const Line &line = d->analysis.lines[(size_t)designItems(*d)[(size_t)d->selected].line];
  DialogItem intended;
  int32_t id;
  if (!readItemLine(line.text, &intended, &id)) {
    *why = "the library reads no item from this line";
    return false;
  }
  int32_t *fields[4] = {&intended.x1, &intended.y1, &intended.x2, &intended.y2};
  const int names[4] = {FIELD_X1, FIELD_Y1, FIELD_X2, FIELD_Y2};
  LineEdit edit;
  for (int i = 0; i < 4; i++)
    if (*fields[i] != to[i]) {
      *fields[i] = to[i];
      setField(&edit, names[i], std::to_string(to[i]));
    }
  std::string edited;
  if (!editItemLine(line.text, edit, &edited, why) || !proveItemLine(edited, intended, id, why)) return false;
  d->undo.push_back(d->bytes);
  d->redo.clear();
  d->bytes.replace(start, contentEnd - start, edited);
  analyse(d);
  return true;
}

}  // namespace

bool designOpen(Design *d, const std::string &path, const std::string &name, std::string *why) {
  std::string bytes;
  int code = readBytes(path, &bytes);
  if (code) {
    *why = "cannot read " + path + ": " + strerror(code);
    return false;
  }
  d->path = path;
  d->name = name;
  d->texts.clear();
  for (LanguageFile &file : readLanguageFiles(directoryOf(path), {d->language}, 437))
    if (!file.language.empty() && d->texts.empty()) d->texts.push_back(std::move(file));
  d->bytes = d->saved = bytes;
  d->undo.clear();
  d->redo.clear();
  d->selected = 0;
  analyse(d);
  if (d->section < 0) {
    *why = path + " defines no dialog \"" + name + "\"";
    return false;
  }
  return true;
}

const std::vector<Item> &designItems(const Design &d) {
  static const std::vector<Item> kNone;
  return d.section < 0 ? kNone : d.analysis.sections[(size_t)d.section].items;
}

bool designMove(Design *d, int dx, int dy, std::string *why) {
  if (d->selected < 0 || d->selected >= (int)designItems(*d).size()) {
    *why = "no item is selected";
    return false;
  }
  const DialogItem &r = designItems(*d)[(size_t)d->selected].record;
  long long x1 = (long long)r.x1 + dx, y1 = (long long)r.y1 + dy;
  if (x1 < 0 || y1 < 0) {
    *why = "refused: the item would leave the dialog's first " + std::string(x1 < 0 ? "column" : "row");
    return false;
  }
  int32_t to[4] = {(int32_t)x1, (int32_t)y1, r.x2 != 0 ? r.x2 + dx : 0, r.y2 != 0 ? r.y2 + dy : 0};
  if (to[2] < 0 || to[3] < 0) {
    *why = "refused: the item's far edge would leave the dialog";
    return false;
  }
  return rewrite(d, to, why);
}

bool designResize(Design *d, int dx, int dy, std::string *why) {
  if (d->selected < 0 || d->selected >= (int)designItems(*d).size()) {
    *why = "no item is selected";
    return false;
  }
  const DialogItem &r = designItems(*d)[(size_t)d->selected].record;
  bool wide = layoutIsBox(r.type) || layoutIsEdit(r.type), tall = layoutIsBox(r.type);
  if ((dx != 0 && !wide) || (dy != 0 && !tall)) {
    *why = std::string("this item has no ") + (dx != 0 && !wide ? "width" : "height") + " of its own to change";
    return false;
  }
  int32_t to[4] = {r.x1, r.y1, r.x2 + dx, r.y2 + dy};
  bool box = layoutIsBox(r.type);
  if (to[2] < r.x1 + (box ? 1 : 0) || to[3] < r.y1 + (box ? 1 : 0)) {
    *why = "refused: the item cannot be made smaller";
    return false;
  }
  return rewrite(d, to, why);
}

namespace {

/* The records of the dialog's items, for comparing two versions. */
std::vector<DialogItem> recordsOf(const Design &d) {
  std::vector<DialogItem> out;
  for (const Item &item : designItems(d)) out.push_back(item.record);
  return out;
}

bool sameRecord(const DialogItem &a, const DialogItem &b) {
  return a.type == b.type && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.focus == b.focus &&
         a.selected == b.selected && a.flags == b.flags && a.defaultButton == b.defaultButton &&
         strncmp(a.data, b.data, sizeof a.data) == 0;
}

/* Takes bytes as the new version when the library reads from them the
   records expected (the old ones with one removed at index, or one copied
   to index); else restores the old version. */
bool keepIfRead(Design *d, std::string old, const std::vector<DialogItem> &expected, std::string *why) {
  analyse(d);
  std::vector<DialogItem> now = recordsOf(*d);
  bool same = now.size() == expected.size();
  for (size_t i = 0; same && i < now.size(); i++) same = sameRecord(now[i], expected[i]);
  if (!same) {
    d->bytes = old;
    analyse(d);
    *why = "refused: the library would not read the dialog's other items as before";
    return false;
  }
  d->undo.push_back(old);
  d->redo.clear();
  return true;
}

}  // namespace

bool designDelete(Design *d, std::string *why) {
  size_t start, contentEnd, end;
  if (!selectedLine(*d, &start, &contentEnd, &end, why)) return false;
  std::vector<DialogItem> expected = recordsOf(*d);
  expected.erase(expected.begin() + d->selected);
  if (expected.empty()) {
    *why = "refused: a dialog keeps one item at least";
    return false;
  }
  std::string old = d->bytes;
  d->bytes.erase(start, end - start);
  return keepIfRead(d, old, expected, why);
}

bool designDuplicate(Design *d, std::string *why) {
  size_t start, contentEnd, end;
  if (!selectedLine(*d, &start, &contentEnd, &end, why)) return false;
  if (designItems(*d).size() >= TS_MAX_ITEMS) {
    *why = "refused: the dialog already has as many items as the library loads";
    return false;
  }
  std::vector<DialogItem> expected = recordsOf(*d);
  expected.insert(expected.begin() + d->selected + 1, expected[(size_t)d->selected]);
  std::string old = d->bytes, copy = d->bytes.substr(start, end - start);
  if (copy.back() != '\n') copy = "\n" + copy; /* the last line, without a line end */
  d->bytes.insert(end, copy);
  int was = d->selected;
  if (!keepIfRead(d, old, expected, why)) return false;
  d->selected = was + 1;
  return true;
}

bool designUndo(Design *d) {
  if (d->undo.empty()) return false;
  d->redo.push_back(d->bytes);
  d->bytes = d->undo.back();
  d->undo.pop_back();
  analyse(d);
  return true;
}

bool designRedo(Design *d) {
  if (d->redo.empty()) return false;
  d->undo.push_back(d->bytes);
  d->bytes = d->redo.back();
  d->redo.pop_back();
  analyse(d);
  return true;
}

bool designChanged(const Design &d) { return d.bytes != d.saved; }

bool designSave(Design *d, std::string *why) {
  std::string onDisk;
  int read = readBytes(d->path, &onDisk);
  bool gone = read == ENOENT;
  if (gone && !d->writeAnew) {
    d->writeAnew = true;
    *why = d->path + " was deleted since it was read: not saved; save again to write it anew";
    return false;
  }
  if (!gone && (read || onDisk != d->saved)) {
    *why = d->path + " changed on disk since it was read: reload it, or your changes would replace another's";
    return false;
  }
  int code = plReplaceFile(d->path.c_str(), d->bytes.data(), d->bytes.size());
  if (code) {
    *why = "cannot write " + d->path + ": " + strerror(code);
    return false;
  }
  d->saved = d->bytes;
  d->writeAnew = false;
  return true;
}

std::string designStatus(const Design &d) {
  const std::vector<Item> &items = designItems(d);
  if (d.selected < 0 || d.selected >= (int)items.size()) return "no item selected";
  const Item &item = items[(size_t)d.selected];
  std::vector<Place> places = placeItems(d.analysis.sections[(size_t)d.section]);
  const Place &p = places[(size_t)d.selected];
  std::string status = item.fields.token[FIELD_TYPE] + " " + item.fields.token[FIELD_ID] + " at " +
                       std::to_string(p.left) + "," + std::to_string(p.top) + " size " +
                       std::to_string(p.right - p.left + 1) + "x" + std::to_string(p.bottom - p.top + 1) + ", line " +
                       std::to_string(d.analysis.lines[(size_t)item.line].number);
  if (designChanged(d)) status += ", changed";
  /* What tessel check says: of this item's line first, else how much of the dialog. */
  int number = d.analysis.lines[(size_t)item.line].number, others = 0;
  for (const Finding &f : d.analysis.findings) {
    if (!f.file.empty() || f.severity == Severity::Note) continue;
    if (f.span.line == number) return status + "; " + severityName(f.severity) + ": " + f.message;
    others++;
  }
  if (others > 0) status += "; tessel check: " + std::to_string(others) + (others == 1 ? " finding" : " findings");
  return status;
}

}  // namespace author
