/*
 * The .reg file format of `tessel reg export` and `import`: a key's tree
 * written as the text of version 5.00 and encoded as UTF-16LE, and a file
 * of version 5.00 (UTF-16LE) or REGEDIT4 (8-bit) read back into the
 * registry line by line.
 */
#ifndef TESSEL_TESSEL_REG_FILE_H
#define TESSEL_TESSEL_REG_FILE_H

#include <string>
#include <vector>

#include "platform/platform.h"

namespace reg {

/* The text of a .reg file (its header, then a "[shown\sub...]" block per
   key, lines ending in \n) of key's tree; shown is key's name as written. */
std::string regFileText(HKEY key, const std::string &shown);

/* The bytes of a version 5.00 file of text: UTF-16LE with its byte-order
   mark, each byte one unit, line ends CR LF. */
std::string regFileBytes(const std::string &text);

/* Imports the bytes of a .reg file into the registry: key lines create (or
   with "[-...]" delete) keys, value lines set (or with =- delete) values of
   the last key; malformed value lines are passed over. Returns false, with
   nothing imported, when the bytes are no registry file (no header line);
   else true, with the names of key lines that could not be created added to
   *failedKeys. */
bool regFileImport(const std::string &bytes, std::vector<std::string> *failedKeys);

}  // namespace reg

#endif
