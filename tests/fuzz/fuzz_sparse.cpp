// Fuzz target for the pattern matcher: the first byte picks the room, the
// pattern runs up to the first newline, the source is the rest. Checks that
// the token string stays within its room and that the count never depends on
// whether output is wanted.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "dialog/dialog_internal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  int room = data[0] == 0xFF ? TS_TOKEN_ROOM : data[0];
  std::string rest((const char *)data + 1, size - 1);
  size_t newline = rest.find('\n');
  std::string pattern = rest.substr(0, newline);
  std::string source = newline == std::string::npos ? std::string() : rest.substr(newline + 1);

  // An output buffer of exactly the room, so any write past it is caught.
  char *out = (char *)malloc(room > 0 ? room : 1);
  int count = sparse(source.c_str(), pattern.c_str(), out, room);
  if (room > 0 && strlen(out) >= (size_t)room) abort();
  if (sparse(source.c_str(), pattern.c_str(), nullptr, 0) != count) abort();
  if (count < 0) abort();
  free(out);
  return 0;
}
