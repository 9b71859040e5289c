/*
 * The formatter of dialog files: aligns the fields of each run of item lines
 * into columns and writes flag lists in one spelling, and changes nothing
 * else. Every line it rewrites is read back through the library's own item
 * interpreter, and the whole file through the engine, before it is kept: a
 * change that would alter what the library loads is never made.
 */
#ifndef TESSEL_AUTHOR_FORMAT_H
#define TESSEL_AUTHOR_FORMAT_H

#include <string>

namespace author {

/* The formatted form of a dialog file's text (bytes as read in text mode; CR LF kept as the text has it).
   Never changes what the library loads from it. */
std::string formatText(const std::string &text);

}  // namespace author

#endif
