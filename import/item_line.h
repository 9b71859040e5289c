/*
 * One item of a C array as an item line of the dialog file: the library's
 * own keywords for its type and flags, its coordinates, truth values,
 * selected state or history name, and its text as a literal text or a
 * message number; with what the library must read back from the line, and
 * a comment for each field the line cannot give as the compiler builds it.
 */
#ifndef TESSEL_IMPORT_ITEM_LINE_H
#define TESSEL_IMPORT_ITEM_LINE_H

#include <string>
#include <vector>

#include "import/names.h"

namespace import {

/* The item as the compiler builds it, and which fields the line gives
   exactly (the others are said in comments). */
struct Expected {
  DialogItem record;    /* type to defaultButton; data is not used */
  bool exact[F_COUNT];  /* the field reads back as the compiler builds it */
  bool history = false; /* selected is a history name: historyName */
  std::string historyName;
  bool message = false; /* the text is message number messageNumber */
  long long messageNumber = 0;
  std::string text; /* else the text itself */
  int32_t id = 0;   /* the item's index */
};

struct ItemLine {
  std::vector<std::string> comments; /* "; FILE:LINE: ..." lines that go above it */
  std::string line;
  Expected expected;
};

/* The line of item index of array. Findings go to findings, and each one
   also to the line's comments. */
ItemLine writeItemLine(const CArray &array, size_t index, const Naming &naming,
                       const std::map<std::string, std::vector<NamedValue>> &enums, std::vector<Finding> *findings);

/* A comment line for finding, to stand above the line it concerns. */
std::string commentFor(const Finding &finding);

}  // namespace import

#endif
