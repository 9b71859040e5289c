/*
 * The C header of a dialog file, for the plug-in's C code: each name of the
 * ENUM table as the identifier an item line gets for it and the message
 * number a %L% text reads for it, and the names of the dialogs a load can
 * give, as the library computes them. Also the line diff that shows how a
 * header on disk differs from the one the file gives.
 */
#ifndef TESSEL_AUTHOR_HEADER_H
#define TESSEL_AUTHOR_HEADER_H

#include <string>
#include <vector>

#include "author/analysis.h"

namespace author {

/* Something the header leaves out: the 1-based line of the ENUM entry it
   comes from and why, as "ENUM name `int` is a keyword of C or C++: left out
   of the header". */
struct HeaderNote {
  int line;
  std::string message;
};

struct Header {
  std::string text;              /* the header, lines ending in "\n" */
  std::vector<HeaderNote> notes; /* in the order of the table */
};

/* The header for analysis a of the dialog file file. Its first comment names
   file's base name (never a directory, so the text is the same on every
   machine); its include guard is the base name of guardFrom (the output
   file, or file itself) in upper case, ending in _H. Macros: NAME for the identifier of each ENUM
   name, MSG_NAME for its message number (a repeated name counts with its
   last entry, as the library's look-ups do), DIALOG_NAME for the name of each
   dialog a load gives, with bytes outside letters, digits and '_' as '_' and
   a numeric suffix (_2, _3, ...) where two would be alike. A name that is no
   C identifier, is a keyword of C or C++ or is reserved to their
   implementations, and a MSG_ macro that would redefine an ENUM name, are
   left out, named in a comment and in the notes. */
Header makeHeader(const Analysis &a, const std::string &file, const std::string &guardFrom);

/* A unified diff of the lines of before (named beforeName) and after (named
   afterName): "--- beforeName", "+++ afterName", then hunks with three lines
   of context; the empty string when the texts are equal. A comparison too
   large for the line-by-line table (past some millions of line pairs once
   the common head and tail are set aside) gives the two name lines and one
   line saying the files differ. */
std::string unifiedDiff(const std::string &before, const std::string &after, const std::string &beforeName,
                        const std::string &afterName);

}  // namespace author

#endif
