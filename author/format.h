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
#include <vector>

namespace author {

/* An item line the formatter leaves as it is because the check finds it
   broken: its 1-based line and the finding's code. */
struct Refusal {
  int line;
  std::string code;
};

/* The formatted form of a dialog file's text (bytes as read in text mode; CR LF kept as the text has it).
   Never changes what the library loads from it. An item line the check
   finds an error in (a field left out, say) is left as it is, since aligned
   it would look valid: each such line is added to refused when it is given. */
std::string formatText(const std::string &text, std::vector<Refusal> *refused = nullptr);

}  // namespace author

#endif
