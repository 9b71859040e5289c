/*
 * Where the fields of an item line lie: the library's pattern matcher, traced,
 * says how many fields match, what each one reads and from which bytes of the
 * line, so that a finding, a hover or a completion can point at it.
 */
#ifndef TESSEL_AUTHOR_FIELDS_H
#define TESSEL_AUTHOR_FIELDS_H

#include <string>
#include <vector>

namespace author {

/* The fields of an item line, in the order of the item pattern. */
enum Field {
  FIELD_TYPE,
  FIELD_ID,
  FIELD_X1,
  FIELD_Y1,
  FIELD_X2,
  FIELD_Y2,
  FIELD_FOCUS,
  FIELD_SELECTED,
  FIELD_FLAGS,
  FIELD_DEFAULT,
  FIELD_SOURCE,
  FIELD_ROOT,
  FIELD_TEXT,
  FIELD_FALLBACK,
  FIELD_COUNT
};
enum { REQUIRED_FIELDS = 10 };

/* What each field is, as an author would name it. */
extern const char *const kFieldNames[FIELD_COUNT];

struct FieldSpan {
  int start = 0, end = 0; /* byte offsets in the line, end exclusive */
  bool written = false;   /* the line writes the field (else its default applies) */
};

struct ItemFields {
  int matched = 0;                /* what the item pattern returned */
  std::string token[FIELD_COUNT]; /* each field as the library reads it */
  FieldSpan span[FIELD_COUNT];    /* where it lies; the failed field's span is where it was sought */
  size_t tokensLength = 0;        /* length of the token string */
};

/* Runs the library's pattern matcher on line with pattern, traced: returns
   what it returns (the elements matched) and writes where each of the first
   count elements lies into spans (an element the scan stopped at, and those
   after it, lie empty where it was sought); the token string goes to tokens
   (room bytes). */
int tracePattern(const std::string &line, const char *pattern, FieldSpan *spans, int count, char *tokens, int room);

/* Matches line against the library's item pattern and locates each field. */
ItemFields readItemFields(const std::string &line);

/* The words of a flag list as the library splits it (at '(', '+', ')' and
   spaces), in order. */
std::vector<std::string> flagListWords(const std::string &list);

/* The bytes of line that a field's span covers, as written; empty where
   the line does not write the field. */
std::string writtenField(const std::string &line, const FieldSpan &span);

/* The byte offset where the library's reading of the failed field
   (fields.matched) begins: after the fields that matched. */
int failedFieldStart(const std::string &line, const ItemFields &fields);

}  // namespace author

#endif
