/*
 * Where the fields of an item line lie: the library's item pattern says how
 * many fields match and what each one reads; this locates each field's bytes
 * in the line so that a finding can point at it.
 */
#ifndef TESSEL_AUTHOR_FIELDS_H
#define TESSEL_AUTHOR_FIELDS_H

#include <string>

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

/* Matches line against the library's item pattern and locates each field. */
ItemFields readItemFields(const std::string &line);

/* The byte offset where the library's reading of the failed field
   (fields.matched) begins: after the fields that matched. */
int failedFieldStart(const std::string &line, const ItemFields &fields);

}  // namespace author

#endif
