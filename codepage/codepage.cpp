/*
 * The code page table: each of the 256 bytes decoded once through iconv into
 * a code point, so that drawing never calls iconv, and typed characters found
 * again by a reverse search of the same table.
 */
#include "codepage/codepage.h"

#include <ctype.h>
#include <iconv.h>
#include <stdio.h>
#include <string.h>

namespace {

uint32_t table[256];
int tableReady;

/* Decodes every byte of the named iconv code page into next; returns 1 when
   iconv knows the code page. */
int buildTable(const char *iconvName, uint32_t next[256]) {
  iconv_t cd = iconv_open("UTF-32LE", iconvName);
  if (cd == (iconv_t)-1) return 0;
  for (int b = 0; b < 256; b++) {
    if (b < 0x20 || b == 0x7F) {
      next[b] = '?';
      continue;
    }
    char in[1] = {(char)b};
    unsigned char out[8];
    char *inPtr = in, *outPtr = (char *)out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); /* reset the shift state */
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == (size_t)-1 || outLeft != 4) {
      next[b] = CP_UNDEFINED;
      continue;
    }
    next[b] = (uint32_t)out[0] | (uint32_t)out[1] << 8 | (uint32_t)out[2] << 16 | (uint32_t)out[3] << 24;
  }
  iconv_close(cd);
  return 1;
}

void ensureTable() {
  if (!tableReady) tableReady = buildTable("CP437", table);
  if (!tableReady) /* an iconv without CP437: plain ASCII, nothing above */
    for (int b = 0; b < 256; b++) table[b] = b < 0x20 || b == 0x7F ? '?' : b < 0x80 ? (uint32_t)b : CP_UNDEFINED;
}

}  // namespace

int cpSelect(const char *name) {
  if (!name || !name[0] || strlen(name) > 60) return 0;
  char iconvName[72];
  int digits = 1;
  for (const char *p = name; *p; p++) digits = digits && isdigit((unsigned char)*p);
  snprintf(iconvName, sizeof iconvName, digits ? "CP%s" : "%s", name);
  uint32_t next[256];
  if (!buildTable(iconvName, next)) return 0;
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
