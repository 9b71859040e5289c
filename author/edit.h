/*
 * Minimal edits of item lines: new texts for some fields of a line, written
 * in place of the old ones so that every other byte stays as it was (the
 * columns of a formatted file kept where the new text fits), and proven by
 * the library's own item interpreter before they are kept. A dialog laid
 * out by sight changes its file through these.
 */
#ifndef TESSEL_AUTHOR_EDIT_H
#define TESSEL_AUTHOR_EDIT_H

#include <stdint.h>

#include <string>

#include "author/fields.h"
#include "dialog/dialog.h"

namespace author {

/* New texts for some fields of an item line: value[f] where set[f]. */
struct LineEdit {
  std::string value[FIELD_COUNT];
  bool set[FIELD_COUNT] = {};
};

/* Sets field f of edit to value. */
void setField(LineEdit *edit, int f, const std::string &value);

/* Writes the fields of item line line that edit sets into *out, changing
   nothing else. A new text takes the old one's place; a field in a column
   keeps it (a number's column ends where it ended, anything else's begins
   where it began) by taking or giving back the blanks beside it, so that the
   fields after it stay in their columns; where the blanks do not suffice the
   rest of the line moves right, one blank between two fields at least. An
   optional field the line does not write yet is added after the last one,
   with the ones before it that it needs. False, with *why, when line is no
   complete item line (or edit sets an empty text). */
bool editItemLine(const std::string &line, const LineEdit &edit, std::string *out, std::string *why);

/* A whole new item line with the fields values sets (the type, the
   identifier, the four coordinates, focus, selected, flags and default,
   and optionally the text), each in the column the same field takes in
   model, an item line of the same file, so that a formatted file stays
   formatted; a field model does not write follows one blank after the one
   before. The text goes where model's text source begins, if it writes
   one. */
std::string writeItemLine(const std::string &model, const LineEdit &values);

/* What the library reads from an item line in language mode 1 (texts as
   written): the record and the identifier; false when it reads no item. */
bool readItemLine(const std::string &line, DialogItem *record, int32_t *id);

/* Whether the library reads from line the item intended (every field of the
   record: type, rectangle, focus, selected, flags, default, text in
   language mode 1, and the identifier); else false with *why naming the
   first field that differs. */
bool proveItemLine(const std::string &line, const DialogItem &intended, int32_t intendedId, std::string *why);

}  // namespace author

#endif
