/*
 * Finding one's way in an analysed dialog file, by byte offsets of its text:
 * which line piece holds an offset, which ENUM name stands there, where a
 * name is declared and which item fields use it. The editor's hover,
 * completion, definition and references build on these.
 */
#ifndef TESSEL_AUTHOR_NAVIGATE_H
#define TESSEL_AUTHOR_NAVIGATE_H

#include <string>
#include <vector>

#include "author/analysis.h"

namespace author {

/* Bytes start to end (exclusive) of an analysis's text. */
struct TextRange {
  long long start = 0, end = 0;
};

/* Index of the line piece that holds offset (the last piece that begins at
   or before it), or -1 when the text has no line. */
int lineIndexAt(const Analysis &a, long long offset);

/* The ENUM name at offset, in an ENUM block's entry or in an item field
   that the library looks up in the ENUM table (the identifier, the selected
   word, the message name of a %L% text); the empty string when none stands
   there. *at receives the name's bytes. */
std::string enumNameAt(const Analysis &a, long long offset, TextRange *at);

/* The entries that declare name, in file order (a load uses the last). */
std::vector<TextRange> enumDeclarations(const Analysis &a, const std::string &name);

/* Every item field that names name, in file order. */
std::vector<TextRange> enumUses(const Analysis &a, const std::string &name);

/* The index of the table entry a load takes for name (the last of that
   name), or -1. */
int enumEntryOf(const Analysis &a, const std::string &name);

/* What the library's message lookup gives for a text: the table position of
   the last entry named so, else the number it reads as, else -1. */
int messageNumberOf(const Analysis &a, const std::string &text);

}  // namespace author

#endif
