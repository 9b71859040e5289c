// Fuzz target for the token-string readers on arbitrary strings: the first
// byte picks a field index, the rest is the token string. Both readers must
// agree, stay inside a buffer of the string's own length and never read past
// its end.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  int index = (int)(int8_t)data[0];
  // The token string in a block of exactly its size, NUL included.
  char *tokens = (char *)malloc(size);
  memcpy(tokens, data + 1, size - 1);
  tokens[size - 1] = 0;
  size_t length = strlen(tokens);
  int spaces = parseNum(tokens);
  if (spaces < 0 || (size_t)spaces > length) abort();
  char *buffer = (char *)malloc(length + 1);  // every field fits the string's own length
  if (parseGetStr(tokens, buffer, index) != buffer) abort();
  char *owned = parseGet(tokens, index);
  if (!owned || strcmp(owned, buffer) != 0) abort();
  free(owned);
  free(buffer);
  free(tokens);
  return 0;
}
