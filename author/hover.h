/*
 * What the library makes of the thing at one place of a dialog file, said
 * in a few lines for an editor's hover: an item line's field (which field,
 * and the value the library derives from it), a dialog header (its size and
 * items), an ENUM block (its entries) or an ENUM entry (value and position).
 */
#ifndef TESSEL_AUTHOR_HOVER_H
#define TESSEL_AUTHOR_HOVER_H

#include <string>

#include "author/navigate.h"

namespace author {

/* The description of what stands at offset of a's text, lines separated by
   '\n', in bytes of the host's code page; the empty string when nothing
   there has one. *at receives the bytes described. Reads the analysis
   only: nothing is analysed again. */
std::string describeAt(const Analysis &a, long long offset, TextRange *at);

}  // namespace author

#endif
