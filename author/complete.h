/*
 * What may be typed at one place of a dialog file, for an editor's
 * completion: the item types in an item line's first column, flag and
 * colour names in a flag list, ENUM names where the library looks one up,
 * the text sources after the default-button field; nothing after `name`,
 * where a new dialog's name goes.
 */
#ifndef TESSEL_AUTHOR_COMPLETE_H
#define TESSEL_AUTHOR_COMPLETE_H

#include <string>
#include <vector>

#include "author/navigate.h"

namespace author {

/* What the place holds, which decides the candidates. */
enum class CompleteContext { None, ItemType, Flag, EnumName, TextSource, DialogName };

/* What a candidate is. */
enum class CandidateKind { ItemType, Flag, Colour, EnumName, TextSource };

struct Candidate {
  std::string label;  /* as it is to be written */
  std::string detail; /* its meaning: type code, bits, value and position */
  CandidateKind kind;
};

struct Completion {
  CompleteContext context = CompleteContext::None;
  TextRange replace;            /* the word being typed, which a candidate replaces */
  std::vector<Candidate> items; /* every candidate of the context; the editor filters */
};

/* The candidates for the place at offset of a's text (the cursor: what lies
   before it on its line decides). */
Completion completeAt(const Analysis &a, long long offset);

}  // namespace author

#endif
