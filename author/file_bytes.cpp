/*
 * Whole files as bytes, read in blocks through stdio.
 */
#include "author/file_bytes.h"

#include <errno.h>
#include <stdio.h>

#include <filesystem>

namespace author {

int readBytes(const std::string &path, std::string *text) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return EISDIR;
  FILE *file = fopen(path.c_str(), "rb");
  if (!file) return errno;
  char block[1 << 16];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) text->append(block, got);
  int code = ferror(file) ? (errno ? errno : EIO) : 0;
  fclose(file);
  return code;
}

}  // namespace author
