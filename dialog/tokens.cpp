/*
 * Token strings: the readers that count the fields of a token string and
 * decode one of them. A field ends with one space; inside it a space is '_',
 * an underscore "\_" and a backslash "\\".
 */
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"

extern "C" int parseNum(const char *tokens) {
  if (!tokens) return 0;
  int spaces = 0;
  for (; *tokens; tokens++)
    if (*tokens == ' ') spaces++;
  return spaces;
}

/* The start of field index: past as many spaces as the index, or the end of
   the string for a negative index or one past the last field. */
static const char *fieldStart(const char *tokens, int index) {
  if (index < 0) return tokens + strlen(tokens);
  for (; index > 0 && *tokens; tokens++)
    if (*tokens == ' ') index--;
  return tokens;
}

/* Decodes the field at p into out, NUL-terminated. A backslash that stands
   last or before a space escapes nothing and is dropped: the field ends
   where field selection says it does, so out never takes more bytes than the
   field's raw length. */
static void decodeField(const char *p, char *out) {
  while (*p && *p != ' ') {
    char c = *p++;
    if (c == '_') {
      c = ' ';
    } else if (c == '\\') {
      if (!*p || *p == ' ') break;
      c = *p++;
    }
    *out++ = c;
  }
  *out = 0;
}

extern "C" char *parseGetStr(const char *tokens, char *buffer, int index) {
  if (!tokens) return nullptr;
  decodeField(fieldStart(tokens, index), buffer);
  return buffer;
}

extern "C" char *parseGet(const char *tokens, int index) {
  if (!tokens) return nullptr;
  const char *start = fieldStart(tokens, index);
  size_t length = 0;
  while (start[length] && start[length] != ' ') length++;
  char *block = static_cast<char *>(malloc(length + 1));
  if (!block) return nullptr;
  decodeField(start, block);
  return block;
}
