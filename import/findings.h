/*
 * What the importer says of a C source, declared once: each kind's code,
 * severity and message format. Warnings mark a record that the dialog file
 * cannot give as the compiler builds it (or cannot know, when it is built at
 * run time); notes mark a record that loads exactly, but spelt otherwise
 * than the source spells it.
 */
#ifndef TESSEL_IMPORT_FINDINGS_H
#define TESSEL_IMPORT_FINDINGS_H

#include <string>
#include <vector>

#include "import/import.h"

namespace import {

/* X(kind, code, severity, format); %1 to %9 stand for the arguments. */
#define TESSEL_IMPORT_FINDINGS(X)                                                                                      \
  X(NoArrays, "import-no-arrays", Warning,                                                                             \
    "no array of dialog items: no array here has elements with the item's fields (type, x1, y1, x2, y2, focus, "       \
    "selected, flags, default button, data)")                                                                          \
  X(NotConstant, "import-not-constant", Warning,                                                                       \
    "the %1 of %2 is not a constant (`%3`): it is known only at run time; written as %4")                              \
  X(Unreadable, "import-unreadable", Warning, "the %1 of %2 is %3, which the importer does not read; written as %4")   \
  X(OutOfReach, "import-out-of-reach", Warning,                                                                        \
    "the %1 of %2 is %3, which a dialog file cannot give: %4; written as %5")                                          \
  X(TextOutOfReach, "import-out-of-reach", Warning,                                                                    \
    "the %1 of %2 cannot be written in a dialog file: %3; written as an empty text")                                   \
  X(TypeNumber, "import-type-number", Note, "item type %1 of %2 has no keyword in the library: written as the number") \
  X(FlagNumber, "import-flag-number", Note,                                                                            \
    "flag bits %1 of %2 have no name in the library: written as their flag positions, %3 (a number in a flag list "    \
    "gives the bit of that position)")                                                                                 \
  X(MessageNumber, "import-name-as-number", Note, "message `%1` of %2 is written as its number %3: %4")                \
  X(IdentifierNumber, "import-name-as-number", Note, "identifier `%1` of %2 is written as its number %3: %4")          \
  X(TooManyItems, "import-too-many-items", Warning,                                                                    \
    "%1 has %2 items, and the library loads %3: the items from %1[%3] on are left out")                                \
  X(ReadsDifferently, "import-reads-differently", Warning,                                                             \
    "the library reads the %1 of %2 from its line as %3, not as %4")                                                   \
  X(Renamed, "import-dialog-name", Note, "the dialog name `%1` is taken by an earlier array: this one is `%2`")

enum class Kind {
#define TESSEL_IMPORT_KIND(kind, code, severity, format) kind,
  TESSEL_IMPORT_FINDINGS(TESSEL_IMPORT_KIND)
#undef TESSEL_IMPORT_KIND
};

/* A finding of kind at place with its arguments substituted. */
Finding makeFinding(Kind kind, const Place &place, const std::vector<std::string> &args);

}  // namespace import

#endif
