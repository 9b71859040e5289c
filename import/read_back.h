/*
 * The importer's proof of each line it writes: the line read back through
 * the library's own item interpreter, with the file's ENUM table loaded by
 * the library's own ENUM scan, against the record the compiler builds.
 */
#ifndef TESSEL_IMPORT_READ_BACK_H
#define TESSEL_IMPORT_READ_BACK_H

#include <string>
#include <vector>

#include "import/item_line.h"

namespace import {

/* Loads the ENUM table that enumText (the file's ENUM blocks) gives into the
   library, as a load of the file would; until clearEnumTable. */
void loadEnumTable(const std::string &enumText);
void clearEnumTable();

/* A field of a line that reads back otherwise than expected. */
struct Difference {
  std::string field, read, expected;
};

/* Reads line as the library does (language mode 1, so that a message text
   reads as the name or number written, which the ENUM table turns into its
   number) and compares the fields that expected marks exact. */
std::vector<Difference> readBack(const std::string &line, const Expected &expected);

}  // namespace import

#endif
