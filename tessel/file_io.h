/*
 * Whole files as the authoring commands (fmt, header) read and write them.
 */
#ifndef TESSEL_TESSEL_FILE_IO_H
#define TESSEL_TESSEL_FILE_IO_H

#include <string>

/* Reads the whole file at path as bytes into *text; 0, or the errno of the
   failure (EISDIR for a directory). */
int readBytes(const std::string &path, std::string *text);

/* Whether a and b name one file (both exist). */
bool sameFile(const char *a, const char *b);

/* Makes the file at path hold text as plReplaceFile does (a temporary file
   beside it renamed over it). Returns 0, or the errno of the failure
   (nothing then changed). */
int replaceFile(const std::string &path, const std::string &text);

#endif
