/*
 * Laying a dialog out by sight: a change rewrites fields of item lines
 * through the minimal, proven line edits, or adds, copies, deletes or swaps
 * whole item lines where the library reads every other item as before; the
 * whole file is then read again by the engine, so that what is shown is what
 * the library loads.
 */
#include "author/design.h"

#include <ctype.h>
#include <errno.h>
#include <stdint.h>
#include <string.h>

#include <algorithm>

#include "author/checks.h"
#include "author/edit.h"
#include "author/engine.h"
#include "author/fields.h"
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

/* The versions kept to undo: at most this many, and at most this many bytes
   in all (the oldest go first; one is always kept). */
const size_t kUndoSteps = 1000, kUndoBytes = 256u << 20;

void trimUndo(Design *d) {
  size_t total = 0;
  for (const std::string &version : d->undo) total += version.size();
  size_t drop = 0;
  while (d->undo.size() - drop > 1 && (d->undo.size() - drop > kUndoSteps || total > kUndoBytes))
    total -= d->undo[drop++].size();
  d->undo.erase(d->undo.begin(), d->undo.begin() + (long)drop);
  d->undoDropped += drop;
}

/* Keeps old, the version before the one now in d->bytes, as the version to
   undo to, and forgets what could be redone; a change that left the bytes
   as they were (two like lines swapped) is no step. */
void remember(Design *d, std::string old) {
  if (old == d->bytes) return;
  d->undo.push_back(std::move(old));
  d->redo.clear();
  trimUndo(d);
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

/* Where the line whose content ends at contentEnd ends, its line end
   included. */
size_t lineEnd(const std::string &bytes, size_t contentEnd) {
  size_t feed = bytes.find('\n', contentEnd);
  return feed == std::string::npos ? bytes.size() : feed + 1;
}

/* Where item index's line lies in bytes (the design's bytes, or a copy
   whose other lines changed): its content [start, contentEnd) and the whole
   line with its line end [start, end); false (with *why) when it cannot be
   edited whole. */
bool itemLine(const Design &d, const std::string &bytes, int index, size_t *start, size_t *contentEnd, size_t *end,
              std::string *why) {
  if (index < 0 || index >= (int)designItems(d).size()) {
    *why = "no item is selected";
    return false;
  }
  const Line &line = d.analysis.lines[(size_t)designItems(d)[(size_t)index].line];
  if (line.column != 1) {
    *why = "this item is a piece of a line too long for the library's buffer: edit it by hand";
    return false;
  }
  if (!lineBytes(bytes, line.number, start, contentEnd) ||
      bytes.compare(*start, *contentEnd - *start, line.text) != 0) {
    *why = "the line's bytes are not what the library reads from them: edit it by hand";
    return false;
  }
  *end = lineEnd(bytes, *contentEnd);
  return true;
}

bool selectedLine(const Design &d, size_t *start, size_t *contentEnd, size_t *end, std::string *why) {
  return itemLine(d, d.bytes, d.selected, start, contentEnd, end, why);
}

const std::string &lineTextOf(const Design &d, int index) {
  return d.analysis.lines[(size_t)designItems(d)[(size_t)index].line].text;
}

/* A change of some fields of one item's line: the new texts, and the record
   and identifier the library must read from the new line. */
struct LineChange {
  int index = 0;
  LineEdit edit;
  DialogItem intended;
  int32_t id = -1;
};

/* A change of item index's line that starts from what the library reads
   from it now; false (*why) when it reads no item. */
bool startChange(const Design &d, int index, LineChange *change, std::string *why) {
  change->index = index;
  if (index < 0 || index >= (int)designItems(d).size()) {
    *why = "no item is selected";
    return false;
  }
  if (!readItemLine(lineTextOf(d, index), &change->intended, &change->id)) {
    *why = "the library reads no item from this line";
    return false;
  }
  return true;
}

/* Sets the coordinates of a change to x1, y1, x2, y2 (the fields that
   differ only). */
void setCoordinates(LineChange *change, const int32_t to[4]) {
  int32_t *fields[4] = {&change->intended.x1, &change->intended.y1, &change->intended.x2, &change->intended.y2};
  const int names[4] = {FIELD_X1, FIELD_Y1, FIELD_X2, FIELD_Y2};
  for (int i = 0; i < 4; i++)
    if (*fields[i] != to[i]) {
      *fields[i] = to[i];
      setField(&change->edit, names[i], std::to_string(to[i]));
    }
}

/* Writes every change into its line, each proven by the library, as one
   step to undo; nothing changes (false, *why) unless all of them hold. */
bool applyChanges(Design *d, const std::vector<LineChange> &changes, std::string *why) {
  std::string bytes = d->bytes;
  for (const LineChange &c : changes) {
    size_t start, contentEnd, end;
    if (!itemLine(*d, bytes, c.index, &start, &contentEnd, &end, why)) return false;
    std::string edited;
    if (!editItemLine(lineTextOf(*d, c.index), c.edit, &edited, why) || !proveItemLine(edited, c.intended, c.id, why))
      return false;
    bytes.replace(start, contentEnd - start, edited);
  }
  std::string old = std::move(d->bytes);
  d->bytes = std::move(bytes);
  remember(d, std::move(old));
  analyse(d);
  return true;
}

/* The coordinates want as the library's numbers; false (*why) for one past
   the largest it reads. */
bool fitCoordinates(const long long want[4], int32_t to[4], std::string *why) {
  for (int i = 0; i < 4; i++) {
    if (want[i] > INT32_MAX) {
      *why = "refused: the item would reach past the largest number the library reads";
      return false;
    }
    to[i] = (int32_t)want[i];
  }
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
  d->undoDropped = 0;
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

namespace {

/* The change that moves item index by dx columns and dy rows; false (*why)
   when the item would leave the dialog's first row or column (the dialog
   grows with its items on the other sides). */
bool moveChange(const Design &d, int index, int dx, int dy, LineChange *change, std::string *why) {
  if (!startChange(d, index, change, why)) return false;
  const DialogItem &r = change->intended;
  long long x1 = (long long)r.x1 + dx, y1 = (long long)r.y1 + dy;
  if (x1 < 0 || y1 < 0) {
    *why = "refused: the item would leave the dialog's first " + std::string(x1 < 0 ? "column" : "row");
    return false;
  }
  if (dx != 0 && layoutCentresInGroup(&r)) {
    *why = "refused: the host centres this item on its row (DIF_CENTERGROUP): clear the flag to place it";
    return false;
  }
  const long long want[4] = {x1, y1, r.x2 != 0 ? (long long)r.x2 + dx : 0, r.y2 != 0 ? (long long)r.y2 + dy : 0};
  int32_t to[4];
  if (!fitCoordinates(want, to, why)) return false;
  if (to[2] < 0 || to[3] < 0) {
    *why = "refused: the item's far edge would leave the dialog";
    return false;
  }
  setCoordinates(change, to);
  return true;
}

}  // namespace

bool designMove(Design *d, int dx, int dy, std::string *why) {
  LineChange change;
  return moveChange(*d, d->selected, dx, dy, &change, why) && applyChanges(d, {change}, why);
}

bool designResize(Design *d, int dx, int dy, std::string *why) {
  LineChange change;
  if (!startChange(*d, d->selected, &change, why)) return false;
  const DialogItem &r = change.intended;
  bool wide = layoutIsBox(r.type) || layoutIsEdit(r.type), tall = layoutIsBox(r.type);
  if ((dx != 0 && !wide) || (dy != 0 && !tall)) {
    *why = std::string("this item has no ") + (dx != 0 && !wide ? "width" : "height") + " of its own to change";
    return false;
  }
  const long long want[4] = {r.x1, r.y1, (long long)r.x2 + dx, (long long)r.y2 + dy};
  int32_t to[4];
  if (!fitCoordinates(want, to, why)) return false;
  bool box = layoutIsBox(r.type);
  if (to[2] < r.x1 + (box ? 1 : 0) || to[3] < r.y1 + (box ? 1 : 0)) {
    *why = "refused: the item cannot be made smaller";
    return false;
  }
  setCoordinates(&change, to);
  return applyChanges(d, {change}, why);
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

/* Whether the dialog has room for one more item; else false (*why). */
bool roomForOneMore(const Design &d, std::string *why) {
  if (designItems(d).size() < TS_MAX_ITEMS) return true;
  *why = "refused: the dialog already has as many items as the library loads";
  return false;
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
  remember(d, std::move(old));
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
  if (!selectedLine(*d, &start, &contentEnd, &end, why) || !roomForOneMore(*d, why)) return false;
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

int designItemAt(const Design &d, long long x, long long y) {
  if (d.section < 0) return -1;
  std::vector<Place> places = placeItems(d.analysis.sections[(size_t)d.section]);
  int best = -1;
  long long bestArea = 0;
  for (size_t i = 0; i < places.size(); i++) {
    const Place &p = places[i];
    if (!p.drawn || x < p.left || x > p.right || y < p.top || y > p.bottom) continue;
    const DialogItem &r = designItems(d)[i].record;
    if (layoutIsBox(r.type) && x > p.left && x < p.right && y > p.top && y < p.bottom) continue; /* inside */
    long long area = (p.right - p.left + 1) * (p.bottom - p.top + 1);
    if (best < 0 || area < bestArea) {
      best = (int)i;
      bestArea = area;
    }
  }
  return best;
}

namespace {

/* What a new item of each type looks like: its size from its corner (a
   right column or bottom row of 0 where the host sizes it) and its text. */
struct NewItem {
  int width, height; /* 0: the field is written 0 */
  const char *text;
};
const NewItem kNewItems[TS_TYPE_COUNT] = {
    {0, 1, "\"Text\""},         /* TEXT */
    {0, 4, "\"Text\""},         /* VTEXT */
    {20, 4, "\"Box\""},         /* SINGLEBOX */
    {20, 4, "\"Box\""},         /* DOUBLEBOX */
    {20, 1, "\"\""},            /* EDIT */
    {20, 1, "\"\""},            /* PSWEDIT */
    {20, 1, "\"\""},            /* FIXEDIT */
    {0, 1, "\"Button\""},       /* BUTTON */
    {0, 1, "\"Check box\""},    /* CHECKBOX */
    {0, 1, "\"Radio button\""}, /* RADIOBUTTON */
};

/* Where a new item's line goes in a dialog without items: after its header
   line, or its help line when it has one. False (*why) when that line is
   not whole in the file's bytes. */
bool firstItemPlace(const Design &d, size_t *start, size_t *contentEnd, size_t *end, std::string *why) {
  const Section &s = d.analysis.sections[(size_t)d.section];
  int after = s.helpLine >= 0 ? s.helpLine : s.headerLine;
  if (after < 0 || d.analysis.lines[(size_t)after].column != 1 ||
      !lineBytes(d.bytes, d.analysis.lines[(size_t)after].number, start, contentEnd)) {
    *why = "the dialog's header line is not whole in the file: add its first item by hand";
    return false;
  }
  *end = lineEnd(d.bytes, *contentEnd);
  return true;
}

}  // namespace

bool designAdd(Design *d, int type, long long x, long long y, std::string *why) {
  size_t start, contentEnd, end;
  bool none = designItems(*d).empty(); /* the first item goes after the header */
  if (none ? !firstItemPlace(*d, &start, &contentEnd, &end, why) : !selectedLine(*d, &start, &contentEnd, &end, why))
    return false;
  if (type < 0 || type >= TS_TYPE_COUNT) {
    *why = "no item type " + std::to_string(type);
    return false;
  }
  if (x < 0 || y < 0 || x > 9999 || y > 9999) {
    *why = "refused: the new item would lie outside the dialog";
    return false;
  }
  if (!roomForOneMore(*d, why)) return false;
  const NewItem &kind = kNewItems[type];
  int32_t to[4] = {(int32_t)x, (int32_t)y, kind.width ? (int32_t)x + kind.width - 1 : 0,
                   kind.height ? (int32_t)y + kind.height - 1 : 0};
  const char *fixed[] = {itemTypeNames[type], "0", nullptr, nullptr, nullptr, nullptr, "F", "0", "()", "F"};
  LineEdit values;
  for (int f = 0; f < REQUIRED_FIELDS; f++)
    setField(&values, f, fixed[f] ? fixed[f] : std::to_string(to[f - FIELD_X1]));
  setField(&values, FIELD_TEXT, kind.text);
  std::string line = writeItemLine(none ? std::string() : lineTextOf(*d, d->selected), values);
  DialogItem intended;
  memset(&intended, 0, sizeof intended);
  intended.type = type;
  intended.x1 = to[0];
  intended.y1 = to[1];
  intended.x2 = to[2];
  intended.y2 = to[3];
  std::string text = std::string(kind.text).substr(1, strlen(kind.text) - 2);
  memcpy(intended.data, text.c_str(), text.size() + 1);
  if (!proveItemLine(line, intended, 0, why)) return false;
  std::vector<DialogItem> expected = recordsOf(*d);
  int at = none ? 0 : d->selected + 1;
  expected.insert(expected.begin() + at, intended);
  size_t firstFeed = d->bytes.find('\n'); /* the file's line ends: those of its first line */
  std::string old = d->bytes,
              eol = firstFeed != std::string::npos && firstFeed > 0 && d->bytes[firstFeed - 1] == '\r' ? "\r\n" : "\n";
  d->bytes.insert(end, end == contentEnd ? eol + line : line + eol); /* after the last line, without a line end */
  if (!keepIfRead(d, old, expected, why)) return false;
  d->selected = at;
  d->marked.clear();
  return true;
}

namespace {

/* What the library's flag reader makes of a text (it may split its own copy). */
unsigned flagsRead(const std::string &text) {
  std::string copy = text;
  return ParseFlags(&copy[0]);
}

}  // namespace

unsigned designFlagOf(const std::string &word) {
  static const unsigned named = [] { /* the bits of the flags the library names */
                                     unsigned bits = 0;
                                     for (int p = 1; p < TS_FLAG_COUNT; p++) bits |= flagsRead(itemFlagNames[p]);
                                     return bits;
  }();
  /* a word the flag table does not know is a colour to the reader, or nothing */
  if (FindKeyword(itemFlagNames, word.c_str(), TS_FLAG_COUNT) < 0) return 0;
  return flagsRead(word) & named;
}

namespace {

bool isQuoted(const std::string &text) { return text.size() >= 2 && text.front() == '"' && text.back() == '"'; }

/* The flag list written with the flags of form: the words that name other
   things kept in order, those of flags now cleared dropped, those of flags
   now set added by name; written as the old list was (in parentheses or one
   bare word, joined with + unless it used blanks). */
std::string flagListWith(const std::string &written, unsigned was, unsigned now) {
  std::vector<std::string> words;
  unsigned have = 0;
  for (const std::string &word : flagListWords(written)) {
    unsigned flag = designFlagOf(word);
    if (flag && (was & flag) && !(now & flag)) continue;
    have |= flag;
    words.push_back(word);
  }
  for (int p = 1; p < TS_FLAG_COUNT; p++) {
    unsigned flag = designFlagOf(itemFlagNames[p]);
    if ((now & flag) && !(was & flag) && !(have & flag)) words.push_back(itemFlagNames[p]);
  }
  bool bare = !written.empty() && written[0] != '(' && words.size() == 1;
  if (bare) return words[0];
  bool blanks = written.find('+') == std::string::npos && written.find(' ') != std::string::npos;
  std::string list = "(";
  for (size_t i = 0; i < words.size(); i++) list += (i ? (blanks ? " " : "+") : "") + words[i];
  return list + ")";
}

/* The DIF_ flags a flag list's words set (not the colour byte's bits). */
unsigned flagsOfList(const std::string &list) {
  unsigned flags = 0;
  for (const std::string &word : flagListWords(list)) flags |= designFlagOf(word);
  return flags;
}

}  // namespace

ItemForm designForm(const Design &d) {
  ItemForm form;
  if (d.selected < 0 || d.selected >= (int)designItems(d).size()) return form;
  const std::string &line = lineTextOf(d, d.selected);
  ItemFields fields = readItemFields(line);
  form.type = writtenField(line, fields.span[FIELD_TYPE]);
  form.id = writtenField(line, fields.span[FIELD_ID]);
  form.selected = writtenField(line, fields.span[FIELD_SELECTED]);
  std::string text = writtenField(line, fields.span[FIELD_TEXT]);
  form.text = isQuoted(text) ? text.substr(1, text.size() - 2) : text;
  form.flags = flagsOfList(fields.token[FIELD_FLAGS]);
  form.message = fields.token[FIELD_SOURCE].c_str()[0] == TS_SOURCE_LNG;
  return form;
}

bool designApplyForm(Design *d, const ItemForm &form, std::string *why) {
  LineChange change;
  if (!startChange(*d, d->selected, &change, why)) return false;
  const std::string &line = lineTextOf(*d, d->selected);
  ItemFields fields = readItemFields(line);
  ItemForm was = designForm(*d);
  if (form.type != was.type) {
    std::string upper = form.type;
    for (char &c : upper) c = (char)toupper((unsigned char)c);
    if (FindKeyword(itemTypeNames, upper.c_str(), TS_TYPE_COUNT) < 0) {
      *why = "the library knows no item type \"" + form.type + "\"";
      return false;
    }
    setField(&change.edit, FIELD_TYPE, form.type);
  }
  if (form.id != was.id) setField(&change.edit, FIELD_ID, form.id);
  if (form.selected != was.selected) setField(&change.edit, FIELD_SELECTED, form.selected);
  if (form.flags != was.flags)
    setField(&change.edit, FIELD_FLAGS,
             flagListWith(writtenField(line, fields.span[FIELD_FLAGS]), was.flags, form.flags));
  if (form.text != was.text) {
    if (form.text.find('"') != std::string::npos) {
      *why = "a text of an item line cannot hold a double quote";
      return false;
    }
    const FieldSpan &span = fields.span[FIELD_TEXT];
    bool quoted = !span.written || line[(size_t)span.start] == '"' || form.text.empty() ||
                  form.text.find_first_of(" \t%") != std::string::npos;
    setField(&change.edit, FIELD_TEXT, quoted ? "\"" + form.text + "\"" : form.text);
  }
  for (int f = 0; f < FIELD_COUNT; f++)
    if (change.edit.set[f] && change.edit.value[f].empty()) {
      *why = std::string(kFieldNames[f]) + " cannot be empty";
      return false;
    }
  bool any = false;
  for (bool set : change.edit.set) any = any || set;
  if (!any) return true;
  /* The record intended is what the library reads from the same fields
     written out plainly, one blank apart: the minimal edit must read the
     same, or it moved a field. */
  std::string edited;
  if (!editItemLine(line, change.edit, &edited, why)) return false;
  ItemFields now = readItemFields(edited);
  LineEdit plain;
  for (int f = 0; f < FIELD_COUNT; f++) {
    if (now.span[f].written) setField(&plain, f, writtenField(edited, now.span[f]));
    bool wanted = change.edit.set[f] || fields.span[f].written;
    std::string expect = change.edit.set[f] ? change.edit.value[f] : writtenField(line, fields.span[f]);
    if (wanted != now.span[f].written || (wanted && plain.value[f] != expect)) {
      *why = std::string("refused: the library would not read the new ") + kFieldNames[f] + " as written";
      return false;
    }
  }
  if (!readItemLine(writeItemLine("", plain), &change.intended, &change.id)) {
    *why = "refused: the library would read no item from the new line";
    return false;
  }
  return applyChanges(d, {change}, why);
}

void designToggleMark(Design *d) {
  auto at = std::find(d->marked.begin(), d->marked.end(), d->selected);
  if (at != d->marked.end()) d->marked.erase(at);
  else d->marked.push_back(d->selected);
}

namespace {

/* The marked items and the selected one, in the order of their lines; false
   (*why) when nothing else is marked. */
bool selection(const Design &d, std::vector<int> *items, std::string *why) {
  *items = d.marked;
  if (std::find(items->begin(), items->end(), d.selected) == items->end()) items->push_back(d.selected);
  std::sort(items->begin(), items->end());
  if (items->size() < 2) {
    *why = "mark the items to align with Space first: they line up with the selected one";
    return false;
  }
  return true;
}

}  // namespace

bool designAlignLeft(Design *d, std::string *why) {
  std::vector<int> items;
  if (!selection(*d, &items, why)) return false;
  int32_t left = designItems(*d)[(size_t)d->selected].record.x1;
  std::vector<LineChange> changes;
  for (int i : items) {
    int dx = left - designItems(*d)[(size_t)i].record.x1;
    if (dx == 0) continue;
    LineChange change;
    if (!moveChange(*d, i, dx, 0, &change, why)) return false;
    changes.push_back(change);
  }
  if (changes.empty()) {
    *why = "the selection is aligned already";
    return false;
  }
  return applyChanges(d, changes, why);
}

bool designCentreGroup(Design *d, std::string *why) {
  std::vector<int> items;
  if (!selection(*d, &items, why)) return false;
  int32_t row = designItems(*d)[(size_t)d->selected].record.y1;
  std::vector<LineChange> changes;
  for (int i : items) {
    LineChange change;
    if (!startChange(*d, i, &change, why)) return false;
    DialogItem probe = change.intended;
    probe.flags |= DIF_CENTERGROUP;
    if (!layoutCentresInGroup(&probe)) {
      *why = "refused: the host centres texts, buttons, check boxes and radio buttons in a group, not a " +
             std::string(itemTypeNames[probe.type < TS_TYPE_COUNT ? probe.type : 0]);
      return false;
    }
    int dy = row - change.intended.y1;
    if (dy != 0 && !moveChange(*d, i, 0, dy, &change, why)) return false;
    if (!(change.intended.flags & DIF_CENTERGROUP)) {
      const std::string &line = lineTextOf(*d, i);
      std::string written = writtenField(line, readItemFields(line).span[FIELD_FLAGS]);
      setField(&change.edit, FIELD_FLAGS, flagListWith(written, 0, DIF_CENTERGROUP));
      change.intended.flags |= DIF_CENTERGROUP;
    }
    if (change.edit.set[FIELD_FLAGS] || change.edit.set[FIELD_Y1]) changes.push_back(change);
  }
  if (changes.empty()) {
    *why = "the selection is a centred group already";
    return false;
  }
  return applyChanges(d, changes, why);
}

bool designReorder(Design *d, int step, std::string *why) {
  int other = d->selected + (step < 0 ? -1 : 1), count = (int)designItems(*d).size();
  if (other < 0 || other >= count) {
    *why = std::string("the item is ") + (step < 0 ? "first" : "last") + " in the tab order already";
    return false;
  }
  int first = std::min(d->selected, other), second = std::max(d->selected, other);
  size_t s1, c1, e1, s2, c2, e2;
  if (!itemLine(*d, d->bytes, first, &s1, &c1, &e1, why) || !itemLine(*d, d->bytes, second, &s2, &c2, &e2, why))
    return false;
  std::vector<DialogItem> expected = recordsOf(*d);
  std::swap(expected[(size_t)first], expected[(size_t)second]);
  std::string old = d->bytes, a = d->bytes.substr(s1, c1 - s1), b = d->bytes.substr(s2, c2 - s2);
  d->bytes.replace(s2, c2 - s2, a); /* the later line first: the earlier one's place stays */
  d->bytes.replace(s1, c1 - s1, b);
  if (!keepIfRead(d, old, expected, why)) return false;
  d->selected = other;
  d->marked.clear();
  return true;
}

size_t designChangeMark(const Design &d) { return d.undoDropped + d.undo.size(); }

void designFoldChanges(Design *d, size_t mark) {
  size_t depth = mark > d->undoDropped ? mark - d->undoDropped : 0;
  if (d->undo.size() > depth + 1) d->undo.resize(depth + 1);
}

bool designChangedOnDisk(const Design &d) {
  std::string onDisk;
  return readBytes(d.path, &onDisk) != 0 || onDisk != d.saved;
}

bool designReload(Design *d, std::string *why) {
  Design fresh;
  fresh.language = d->language;
  if (!designOpen(&fresh, d->path, d->name, why)) return false;
  int selected = d->selected;
  *d = std::move(fresh);
  int count = (int)designItems(*d).size();
  d->selected = selected < count ? selected : count > 0 ? count - 1 : 0;
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
  trimUndo(d);
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
