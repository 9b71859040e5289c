/*
 * Locating item fields: the library's pattern matcher decides how many fields
 * a line has and what each reads; the spans found here only follow the
 * field texts it returned through the line, field by field.
 */
#include "author/fields.h"

#include <string.h>

#include "dialog/dialog_internal.h"

namespace author {

const char *const kFieldNames[FIELD_COUNT] = {
    "the type",        "the identifier",    "the left column", "the top row",      "the right column",
    "the bottom row",  "the focus",         "the selected",    "the flags",        "the default button",
    "the text source", "the registry root", "the text",        "the fallback text"};

namespace {

inline bool space(char c) { return tsIsSpace((unsigned char)c); }

int skipSpace(const std::string &line, int p) {
  while (p < (int)line.size() && space(line[(size_t)p])) p++;
  return p;
}

/* End of a run of non-space bytes from p. */
int wordEnd(const std::string &line, int p) {
  while (p < (int)line.size() && !space(line[(size_t)p])) p++;
  return p;
}

/* End of a text that opens with the byte at p and closes with close (the
   closing byte included), or the line's end. */
int enclosedEnd(const std::string &line, int p, char close) {
  size_t end = line.find(close, (size_t)p + 1);
  return end == std::string::npos ? (int)line.size() : (int)end + 1;
}

/* Where field f, sought from p, ends. */
int fieldEnd(const std::string &line, int f, int p) {
  char c = p < (int)line.size() ? line[(size_t)p] : 0;
  switch (f) {
    case FIELD_FOCUS:
    case FIELD_DEFAULT:
      return p < (int)line.size() ? p + 1 : p;
    case FIELD_X1:
    case FIELD_Y1:
    case FIELD_X2:
    case FIELD_Y2: {
      int q = p;
      if (q < (int)line.size() && (line[(size_t)q] == '+' || line[(size_t)q] == '-')) q++;
      while (q < (int)line.size() && line[(size_t)q] >= '0' && line[(size_t)q] <= '9') q++;
      return q;
    }
    case FIELD_SELECTED:
    case FIELD_TEXT:
    case FIELD_FALLBACK:
      return c == '"' ? enclosedEnd(line, p, '"') : wordEnd(line, p);
    case FIELD_FLAGS:
      return c == '(' ? enclosedEnd(line, p, ')') : wordEnd(line, p);
    case FIELD_SOURCE:
    case FIELD_ROOT:
      return c == '%' ? enclosedEnd(line, p, '%') : p;
    default:
      return wordEnd(line, p);
  }
}

}  // namespace

ItemFields readItemFields(const std::string &line) {
  ItemFields fields;
  char tokens[TS_TOKEN_ROOM];
  fields.matched = sparse(line.c_str(), TS_PATTERN_ITEM, tokens, sizeof tokens);
  fields.tokensLength = strlen(tokens);
  char field[TS_TOKEN_ROOM];
  int p = 0;
  for (int f = 0; f < FIELD_COUNT; f++) {
    if (f < fields.matched) {
      parseGetStr(tokens, field, f);
      fields.token[f] = field;
    }
    if (f > 0) p = skipSpace(line, p);
    int end = fieldEnd(line, f, p);
    fields.span[f].start = p;
    fields.span[f].end = end;
    fields.span[f].written = end > p && f < fields.matched;
    if (f < fields.matched) p = end;
  }
  return fields;
}

int failedFieldStart(const std::string &line, const ItemFields &fields) {
  if (fields.matched >= FIELD_COUNT) return (int)line.size();
  return fields.span[fields.matched].start;
}

}  // namespace author
