/*
 * Completion candidates. The place is where the library's item pattern,
 * traced over the line's text before the cursor, reads or seeks a field;
 * the candidates are the library's own keyword tables (with the bits each
 * word gives) and the file's ENUM table.
 */
#include "author/complete.h"

#include <stdio.h>

#include <algorithm>

#include "author/fields.h"
#include "dialog/dialog_internal.h"

namespace author {

namespace {

inline bool space(char c) { return tsIsSpace((unsigned char)c); }
std::string hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%X", (unsigned)value);
  return text;
}

void addTypes(Completion *c) {
  for (int t = 0; t < TS_TYPE_COUNT; t++)
    c->items.push_back({itemTypeNames[t], "item type " + std::to_string(t), CandidateKind::ItemType});
}

void addFlags(Completion *c) {
  for (int p = 0; p < TS_FLAG_COUNT; p++)
    c->items.push_back({itemFlagNames[p], hex(tsFlagWordValue(itemFlagNames[p])), CandidateKind::Flag});
  for (int k = 0; k < TS_COLOR_COUNT; k++)
    c->items.push_back({colorNames[k], "foreground " + std::to_string(k) + ": " + hex(tsFlagWordValue(colorNames[k])),
                        CandidateKind::Colour});
  for (int k = 0; k < TS_COLOR_COUNT; k++)
    c->items.push_back({bkColorNames[k],
                        "background " + std::to_string(k) + ": " + hex(tsFlagWordValue(bkColorNames[k])),
                        CandidateKind::Colour});
}

void addSources(Completion *c) {
  static const char *const kSources[][2] = {{"%L%", "a message of the language file, named by the text field"},
                                            {"%R%", "a registry value, at the path of the text field"},
                                            {"%T%", "the text field as written"},
                                            {"%V%", "the library's version"}};
  for (const auto &s : kSources) c->items.push_back({s[0], s[1], CandidateKind::TextSource});
}

/* Each name a load resolves, once, with the value and position of the entry
   it resolves to. */
void addEnumNames(const Analysis &a, Completion *c) {
  std::vector<std::string> seen;
  for (size_t i = a.enums.size(); i-- > 0;) {
    const EnumEntry &e = a.enums[i];
    if (std::find(seen.begin(), seen.end(), e.name) != seen.end()) continue;
    seen.push_back(e.name);
    c->items.push_back(
        {e.name, "= " + std::to_string(e.value) + ", position " + std::to_string(i), CandidateKind::EnumName});
  }
  std::reverse(c->items.begin(), c->items.end());
}

}  // namespace

Completion completeAt(const Analysis &a, long long offset) {
  Completion c;
  c.replace = {offset, offset};
  int index = lineIndexAt(a, offset);
  if (index < 0) return c;
  const Line &line = a.lines[(size_t)index];
  long long end = line.offset + (long long)line.text.size();
  /* The cursor on an empty last line that the reader never returned. */
  bool past = offset > end;
  std::string prefix = past ? std::string() : line.text.substr(0, (size_t)(offset - line.offset));
  long long lineStart = past ? offset : line.offset;
  bool inSection = line.section >= 0 && !(past && line.kind == LineKind::SectionEnd);

  char tokens[TS_TOKEN_ROOM];
  FieldSpan header[TS_HEADER_COUNT];
  if (tracePattern(prefix, TS_PATTERN_HEADER, header, TS_HEADER_COUNT, tokens, sizeof tokens) >= TS_HEADER_COUNT - 1) {
    c.context = CompleteContext::DialogName; /* a new name: nothing to offer */
    return c;
  }

  /* The field the cursor is in, as the library's item pattern reads the
     line up to it: within a word, the last field written up to the cursor;
     after white space, the first field sought there. */
  ItemFields fields = readItemFields(prefix);
  const int cursor = (int)prefix.size();
  bool inWord = !prefix.empty() && !space(prefix.back());
  int field = -1;
  for (int f = 0; f < FIELD_COUNT; f++) {
    const FieldSpan &span = fields.span[f];
    if (inWord && span.written && span.end == cursor) field = f;
    if (!inWord && !span.written && span.start == cursor) {
      field = f;
      break;
    }
  }
  int wordStart = inWord && field >= 0 ? fields.span[field].start : cursor;
  c.replace = {lineStart + wordStart, offset};
  if (!inSection || field < 0) return c;
  if (field == FIELD_TYPE) {
    if (wordStart == 0) {
      c.context = CompleteContext::ItemType;
      addTypes(&c);
    }
    return c;
  }
  std::string word = prefix.substr((size_t)wordStart);
  if (field == FIELD_FLAGS) {
    for (size_t cut = word.size(); cut-- > 0;)
      if (tsIsFlagSeparator(word[cut])) {
        c.replace.start = lineStart + wordStart + (long long)cut + 1;
        break;
      }
    c.context = CompleteContext::Flag;
    addFlags(&c);
  } else if (field == FIELD_SOURCE) {
    c.context = CompleteContext::TextSource;
    addSources(&c);
  } else if (field == FIELD_ID || field == FIELD_SELECTED ||
             (field == FIELD_TEXT && fields.token[FIELD_SOURCE].c_str()[0] == TS_SOURCE_LNG)) {
    if (!word.empty() && word[0] == '"') c.replace.start++;
    c.context = CompleteContext::EnumName;
    addEnumNames(a, &c);
  }
  return c;
}

}  // namespace author
