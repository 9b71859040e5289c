/*
 * Whole files as the authoring commands write them: a rewrite through a
 * temporary file beside the target renamed over it, so that a reader sees the
 * old bytes or the new ones, never a mixture; and whether two names are one
 * file. They read files with author::readBytes.
 */
#include "tessel/file_io.h"

#include <filesystem>

#include "platform/platform.h"

bool sameFile(const char *a, const char *b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error);
}

int replaceFile(const std::string &path, const std::string &text) {
  return plReplaceFile(path.c_str(), text.data(), text.size());
}
