/*
 * The code page table: each of the 256 bytes decoded once by the system (the
 * platform layer) into a code point, so that drawing never asks it again,
 * and typed characters found again by a reverse search of the same table.
 */
#include "codepage/codepage.h"

#include <stdio.h>
#include <string.h>

#include "platform/platform.h"

namespace {

uint32_t table[256];
int tableReady;

void ensureTable() {
  if (!tableReady) tableReady = plCodePageTable("437", table);
  if (!tableReady) /* a system without code page 437: plain ASCII, nothing above */
    for (int b = 0; b < 256; b++) table[b] = b < 0x20 || b == 0x7F ? '?' : b < 0x80 ? (uint32_t)b : CP_UNDEFINED;
}

}  // namespace

int cpSelect(const char *name) {
  uint32_t next[256];
  if (!plCodePageTable(name, next)) return 0;
  memcpy(table, next, sizeof table);
  tableReady = 1;
  return 1;
}

uint32_t cpDecode(unsigned char byte) {
  ensureTable();
  return table[byte];
}

int cpEncode(uint32_t codePoint) {
  ensureTable();
  if (codePoint < 0x20 || codePoint == 0x7F || codePoint == CP_UNDEFINED) return -1;
  if (codePoint < 0x7F && table[codePoint] == codePoint) return (int)codePoint;
  for (int b = 0x20; b < 256; b++)
    if (table[b] == codePoint) return b;
  return -1;
}

int utf8Encode(uint32_t cp, char out[4]) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) cp = 0xFFFD;
  if (cp < 0x80) {
    out[0] = (char)cp;
    return 1;
  }
  if (cp < 0x800) {
    out[0] = (char)(0xC0 | cp >> 6);
    out[1] = (char)(0x80 | (cp & 0x3F));
    return 2;
  }
  if (cp < 0x10000) {
    out[0] = (char)(0xE0 | cp >> 12);
    out[1] = (char)(0x80 | ((cp >> 6) & 0x3F));
    out[2] = (char)(0x80 | (cp & 0x3F));
    return 3;
  }
  out[0] = (char)(0xF0 | cp >> 18);
  out[1] = (char)(0x80 | ((cp >> 12) & 0x3F));
  out[2] = (char)(0x80 | ((cp >> 6) & 0x3F));
  out[3] = (char)(0x80 | (cp & 0x3F));
  return 4;
}

int utf8Decode(const char *text, uint32_t *codePoint) {
  const unsigned char *s = (const unsigned char *)text;
  int length = s[0] < 0x80 ? 1 : (s[0] & 0xE0) == 0xC0 ? 2 : (s[0] & 0xF0) == 0xE0 ? 3 : (s[0] & 0xF8) == 0xF0 ? 4 : 0;
  if (length == 1) {
    *codePoint = s[0];
    return 1;
  }
  if (length == 0) {
    *codePoint = 0xFFFD;
    return 1;
  }
  uint32_t cp = s[0] & (0x7F >> length);
  for (int i = 1; i < length; i++) {
    if ((s[i] & 0xC0) != 0x80) { /* also stops at the NUL */
      *codePoint = 0xFFFD;
      return 1;
    }
    cp = cp << 6 | (s[i] & 0x3F);
  }
  static const uint32_t kLeast[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (cp < kLeast[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    *codePoint = 0xFFFD;
    return 1;
  }
  *codePoint = cp;
  return length;
}

std::string cpToUtf8(const std::string &bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      out += (char)c;
      continue;
    }
    char code[4];
    int n = utf8Encode(cpDecode(c), code);
    out.append(code, (size_t)n);
  }
  return out;
}
