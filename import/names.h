/*
 * The names a dialog file keeps from the C sources: the message numbers of
 * texts and the indexes of items, where the sources write them as enum
 * constants or macros. The library numbers a message by its name's position
 * in the file's ENUM table and an identifier by its name's value, so the
 * message names make the first ENUM block, one at each number from 0, and
 * the identifiers a second block with their values. A name that cannot make
 * its number come out right is written as the number, and why is said.
 */
#ifndef TESSEL_IMPORT_NAMES_H
#define TESSEL_IMPORT_NAMES_H

#include <map>
#include <string>
#include <vector>

#include "import/c_items.h"

namespace import {

struct Naming {
  std::vector<NamedValue> messages;    /* the first ENUM block: the name at position p has number p */
  std::vector<NamedValue> identifiers; /* the second: names with their values */
};

/* Plans the ENUM blocks for arrays, whose enum constants are in enums. */
Naming planNames(const std::vector<CArray> &arrays, const std::map<std::string, std::vector<NamedValue>> &enums);

/* The ENUM blocks as the dialog file writes them (empty when there are no
   names). */
std::string enumBlocks(const Naming &naming);

/* The name of the item at index of array, as the source gives it (its
   designator, or a constant of an enum that indexes the array), or empty. */
std::string indexName(const CArray &array, size_t index, const std::map<std::string, std::vector<NamedValue>> &enums);

/* How the text field writes message number number, which the source writes
   as name (empty: none): the name when it stands at that number in the
   ENUM table, else the number, with why it is no name into *why. */
std::string messageToken(const Naming &naming, const std::string &name, long long number, std::string *why);

/* How the identifier field writes index, which the source names name (empty:
   none): the name when the ENUM table gives it that value, else the number,
   with why it is no name into *why. */
std::string identifierToken(const Naming &naming, const std::string &name, long long index, std::string *why);

}  // namespace import

#endif
