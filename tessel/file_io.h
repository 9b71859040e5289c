/*
 * Whole files as the authoring commands (fmt, header, import) write them;
 * they read them with author::readBytes (author/file_bytes.h).
 */
#ifndef TESSEL_TESSEL_FILE_IO_H
#define TESSEL_TESSEL_FILE_IO_H

#include <string>

/* Whether a and b name one file (both exist). */
bool sameFile(const char *a, const char *b);

/* Makes the file at path hold text as plReplaceFile does (a temporary file
   beside it renamed over it). Returns 0, or the errno of the failure
   (nothing then changed). */
int replaceFile(const std::string &path, const std::string &text);

#endif
