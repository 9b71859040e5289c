/*
 * The formatter of dialog files: lays out a file's text anew without
 * changing what the library loads from it. Shared by `tessel fmt` and the
 * language server's formatting requests.
 */
#ifndef TESSEL_AUTHOR_FORMAT_H
#define TESSEL_AUTHOR_FORMAT_H

#include <string>

namespace author {

/* The text (a dialog file's bytes, as read in text mode) laid out anew. */
std::string formatText(const std::string &text);

}  // namespace author

#endif
