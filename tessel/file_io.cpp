/*
 * Whole files as the authoring commands read and write them: all bytes at
 * once, and a rewrite through a temporary file beside the target renamed over
 * it, so that a reader sees the old bytes or the new ones, never a mixture.
 */
#include "tessel/file_io.h"

#include <errno.h>
#include <stdio.h>

#include <filesystem>

#include "platform/platform.h"

/* Reads the whole file at path into *text; 0, or the errno of the failure. */
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

bool sameFile(const char *a, const char *b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

int replaceFile(const std::string &path, const std::string &text) {
  return plReplaceFile(path.c_str(), text.data(), text.size());
}
