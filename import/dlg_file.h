/*
 * The dialog file of imported arrays: a comment naming the sources, the
 * ENUM blocks, then one dialog an array, named after it, its items in the
 * array's order (the identifier of each is its index), comments above the
 * lines that cannot give the compiler's record; aligned by the formatter.
 */
#ifndef TESSEL_IMPORT_DLG_FILE_H
#define TESSEL_IMPORT_DLG_FILE_H

#include <map>
#include <string>
#include <vector>

#include "import/c_items.h"

namespace import {

/* The dialog file for arrays (from files), whose enum constants are in
   enums; findings get what it cannot give as the compiler builds it. */
std::string writeDialogFile(const std::vector<CArray> &arrays,
                            const std::map<std::string, std::vector<NamedValue>> &enums,
                            const std::vector<std::string> &files, std::vector<Finding> *findings);

}  // namespace import

#endif
