/*
 * Minimal edits of item lines. The fields are located by the library's own
 * pattern matcher (readItemFields); a new text replaces exactly the bytes of
 * the old one, and only the blanks beside a changed field move, to keep the
 * fields after it in their columns.
 */
#include "author/edit.h"

#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"

namespace author {

namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }

bool allBlank(const std::string &text) {
  for (char c : text)
    if (!isBlank(c)) return false;
  return true;
}

bool allDigits(const std::string &text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!tsIsDigit((unsigned char)c)) return false;
  return true;
}

/* Appends text to out at a column: the column where it is to begin (or,
   rightAligned, to end), else as near after it as the room left allows:
   at least one blank after what out holds. */
void placeAt(std::string *out, const std::string &text, size_t column, bool rightAligned) {
  size_t earliest = out->empty() ? 0 : out->size() + 1;
  size_t start = rightAligned ? (column >= text.size() ? column - text.size() : 0) : column;
  if (start < earliest) start = earliest;
  out->append(start - out->size(), ' ');
  *out += text;
}

}  // namespace

void setField(LineEdit *edit, int f, const std::string &value) {
  edit->value[f] = value;
  edit->set[f] = true;
}

bool editItemLine(const std::string &line, const LineEdit &edit, std::string *out, std::string *why) {
  ItemFields fields = readItemFields(line);
  if (fields.matched != FIELD_COUNT) {
    *why = "the library reads no item from this line";
    return false;
  }
  int last = -1;
  for (int f = 0; f < FIELD_COUNT; f++) {
    if (edit.set[f] && edit.value[f].empty()) {
      *why = std::string(kFieldNames[f]) + " cannot be empty";
      return false;
    }
    if (fields.span[f].written) last = f;
  }
  std::string result;
  size_t pos = 0; /* bytes of line consumed */
  for (int f = 0; f <= last; f++) {
    const FieldSpan &span = fields.span[f];
    if (!span.written) continue;
    std::string gap = line.substr(pos, (size_t)span.start - pos);
    std::string old = writtenField(line, span);
    const std::string &text = edit.set[f] ? edit.value[f] : old;
    bool moved = result.size() != pos; /* what came before is no longer as long as it was */
    if ((!edit.set[f] || text == old) && !moved) {
      result += gap + old;
    } else if (!allBlank(gap) || gap.find('\t') != std::string::npos || (f > 0 && gap.empty())) {
      result += gap + text; /* no column to keep (tabs are no formatter's): the bytes between stay */
    } else {
      bool right = allDigits(old) && allDigits(text);
      placeAt(&result, text, right ? (size_t)span.end : (size_t)span.start, right);
    }
    pos = (size_t)span.end;
  }
  /* Fields the line does not write yet, after its last one: those set, in
     order; the library's reading of the new line must put each where it
     belongs (an optional field left out keeps its default). */
  std::string added;
  for (int f = last + 1; f < FIELD_COUNT; f++)
    if (edit.set[f]) added += ' ' + edit.value[f];
  *out = result + added + line.substr(pos);
  if (added.empty()) return true;
  ItemFields now = readItemFields(*out);
  for (int f = last + 1; f < FIELD_COUNT; f++) {
    if (!edit.set[f]) continue;
    const FieldSpan &span = now.span[f];
    bool placed = now.matched == FIELD_COUNT && span.written &&
                  out->compare((size_t)span.start, (size_t)(span.end - span.start), edit.value[f]) == 0;
    if (!placed) {
      *why = std::string("the library would not read `") + edit.value[f] + "` as " + kFieldNames[f] +
             ": give the fields before it too";
      return false;
    }
  }
  return true;
}

std::string writeItemLine(const std::string &model, const LineEdit &values) {
  ItemFields fields = readItemFields(model);
  bool columns = fields.matched == FIELD_COUNT;
  std::string out;
  for (int f = 0; f < FIELD_COUNT; f++) {
    if (!values.set[f]) continue;
    const FieldSpan &at =
        columns && f == FIELD_TEXT && fields.span[FIELD_SOURCE].written ? fields.span[FIELD_SOURCE] : fields.span[f];
    if (!columns || !at.written) {
      placeAt(&out, values.value[f], 0, false);
      continue;
    }
    std::string old = writtenField(model, at);
    bool right = f != FIELD_TEXT && allDigits(old) && allDigits(values.value[f]);
    placeAt(&out, values.value[f], right ? (size_t)at.end : (size_t)at.start, right);
  }
  return out;
}

bool readItemLine(const std::string &line, DialogItem *record, int32_t *id) {
  char *string = nullptr;
  *id = -1;
  int read = ParseItemLine(1, 0, record, id, &string, line.c_str());
  if (string) record->selected = 1; /* a quoted selected text: the item is selected */
  free(string);
  return read == 2;
}

bool proveItemLine(const std::string &line, const DialogItem &intended, int32_t intendedId, std::string *why) {
  DialogItem got;
  int32_t id;
  if (!readItemLine(line, &got, &id)) {
    *why = "the library reads no item from the new line";
    return false;
  }
  const struct {
    const char *name;
    bool same;
  } checks[] = {
      {"type", got.type == intended.type},
      {"left column", got.x1 == intended.x1},
      {"top row", got.y1 == intended.y1},
      {"right column", got.x2 == intended.x2},
      {"bottom row", got.y2 == intended.y2},
      {"focus", got.focus == intended.focus},
      {"selected field", got.selected == intended.selected},
      {"flags", got.flags == intended.flags},
      {"default", got.defaultButton == intended.defaultButton},
      {"text", strncmp(got.data, intended.data, sizeof got.data) == 0},
      {"identifier", id == intendedId},
  };
  for (const auto &check : checks)
    if (!check.same) {
      *why = std::string("the library would read another ") + check.name + " from the new line";
      return false;
    }
  return true;
}

}  // namespace author
