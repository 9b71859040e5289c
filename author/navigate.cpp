/*
 * Offsets to lines, names and uses. The name lookups follow the library's
 * own: a use is an item field whose token, as the item pattern returns it,
 * is looked up in the ENUM table, and a name resolves to the last entry of
 * that name.
 */
#include "author/navigate.h"

#include <algorithm>

#include "author/fields.h"
#include "dialog/dialog_internal.h"

namespace author {

namespace {

/* The item fields that the library looks up in the ENUM table. */
bool namesEnum(const ItemFields &fields, int f) {
  if (f == FIELD_ID || f == FIELD_SELECTED) return true;
  const std::string &source = fields.token[FIELD_SOURCE];
  return f == FIELD_TEXT && source.c_str()[0] == TS_SOURCE_LNG;
}

/* The bytes of field f of an item line beginning at lineOffset, its quotes
   left out. */
TextRange fieldRange(const std::string &text, long long lineOffset, const FieldSpan &span) {
  int start = span.start, end = span.end;
  if (end - start >= 2 && text[(size_t)start] == '"') {
    start++;
    if (text[(size_t)end - 1] == '"') end--;
  }
  return {lineOffset + start, lineOffset + end};
}

}  // namespace

int lineIndexAt(const Analysis &a, long long offset) {
  auto after =
      std::upper_bound(a.lines.begin(), a.lines.end(), offset, [](long long o, const Line &l) { return o < l.offset; });
  return after == a.lines.begin() ? -1 : (int)(after - a.lines.begin()) - 1;
}

int enumEntryOf(const Analysis &a, const std::string &name) {
  for (size_t i = a.enums.size(); i-- > 0;)
    if (a.enums[i].name == name) return (int)i;
  return -1;
}

int messageNumberOf(const Analysis &a, const std::string &text) {
  std::vector<const char *> names;
  for (const EnumEntry &e : a.enums) names.push_back(e.name.c_str());
  return FindKeyword(names.data(), text.c_str(), (int)names.size());
}

std::string enumNameAt(const Analysis &a, long long offset, TextRange *at) {
  for (const EnumEntry &e : a.enums)
    if (offset >= e.offset && offset <= e.offset + (long long)e.name.size()) {
      *at = {e.offset, e.offset + (long long)e.name.size()};
      return e.name;
    }
  int index = lineIndexAt(a, offset);
  if (index < 0 || a.lines[(size_t)index].kind != LineKind::Item) return "";
  const Line &line = a.lines[(size_t)index];
  ItemFields fields = readItemFields(line.text);
  for (int f : {FIELD_ID, FIELD_SELECTED, FIELD_TEXT}) {
    if (!fields.span[f].written || !namesEnum(fields, f)) continue;
    TextRange range = fieldRange(line.text, line.offset, fields.span[f]);
    if (offset < range.start || offset > range.end) continue;
    const std::string &token = fields.token[f];
    if (enumEntryOf(a, token) < 0) return "";
    *at = range;
    return token;
  }
  return "";
}

std::vector<TextRange> enumDeclarations(const Analysis &a, const std::string &name) {
  std::vector<TextRange> out;
  for (const EnumEntry &e : a.enums)
    if (e.name == name) out.push_back({e.offset, e.offset + (long long)e.name.size()});
  return out;
}

std::vector<TextRange> enumUses(const Analysis &a, const std::string &name) {
  std::vector<TextRange> out;
  for (const Line &line : a.lines) {
    if (line.kind != LineKind::Item || line.text.find(name) == std::string::npos) continue;
    ItemFields fields = readItemFields(line.text);
    for (int f : {FIELD_ID, FIELD_SELECTED, FIELD_TEXT})
      if (fields.span[f].written && namesEnum(fields, f) && fields.token[f] == name)
        out.push_back(fieldRange(line.text, line.offset, fields.span[f]));
  }
  return out;
}

}  // namespace author
