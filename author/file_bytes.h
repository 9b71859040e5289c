/*
 * Whole files as the authoring tools read them: every byte at once, as it
 * is on disk (no line-end translation).
 */
#ifndef TESSEL_AUTHOR_FILE_BYTES_H
#define TESSEL_AUTHOR_FILE_BYTES_H

#include <string>

namespace author {

/* Reads the whole file at path as bytes into *text; 0, or the errno of the
   failure (EISDIR for a directory). */
int readBytes(const std::string &path, std::string *text);

}  // namespace author

#endif
