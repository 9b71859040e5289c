/*
 * The host's 8-bit code page as seen from a UTF-8 terminal: a table of 256
 * Unicode code points built once by the system (the platform layer), the reverse lookup for typed
 * text, and the small UTF-8 encoder and decoder that the screen writers and
 * the key script need.
 */
#ifndef TESSEL_CODEPAGE_CODEPAGE_H
#define TESSEL_CODEPAGE_CODEPAGE_H

#include <stdint.h>

#include <string>

/* Shown for a byte that the code page leaves undefined. */
#define CP_UNDEFINED 0xFFFDu

/* Selects the code page: a number ("437", "866", "1251") names the code
   page of that number, anything else the system's own name for one (on
   POSIX, iconv's). Returns 1 on success; 0 (the previous table kept) when
   the system does not know it.
   Until the first call the table is code page 437. */
int cpSelect(const char *name);

/* The code point that shows a byte of the code page: control bytes (below
   0x20, and 0x7F) show as '?', undefined bytes as CP_UNDEFINED. */
uint32_t cpDecode(unsigned char byte);

/* The byte of the code page that writes a code point, or -1 when the code
   page has none (control characters have none either). */
int cpEncode(uint32_t codePoint);

/* Writes the UTF-8 form of a code point (a surrogate or a value past
   U+10FFFF writes U+FFFD) into out; returns its length, 1 to 4. */
int utf8Encode(uint32_t codePoint, char out[4]);

/* Reads one UTF-8 sequence at text (which is not empty); writes its code
   point and returns the bytes read. A malformed sequence reads as one byte
   giving U+FFFD. */
int utf8Decode(const char *text, uint32_t *codePoint);

/* Bytes of the code page as UTF-8 (for the terminal, JSON and editors). */
std::string cpToUtf8(const std::string &bytes);

#endif
