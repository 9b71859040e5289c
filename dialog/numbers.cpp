/*
 * Decimal numbers of description files. Every coordinate, identifier, enum
 * value and flag position is read here, with one rule for values beyond the
 * 32-bit range: they saturate, so no input can overflow.
 */
#include "dialog/dialog_internal.h"

int32_t tsReadDecimal(const char *text, const char **end, int *digits) {
  const char *p = text;
  while (tsIsSpace((unsigned char)*p)) p++;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  /* Accumulate the magnitude in 64 bits, capped just past the 32-bit range. */
  const int64_t cap = (int64_t)INT32_MAX + 1;
  int64_t magnitude = 0;
  int count = 0;
  for (; tsIsDigit((unsigned char)*p); p++, count++) {
    magnitude = magnitude * 10 + (*p - '0');
    if (magnitude > cap) magnitude = cap;
  }
  if (end) *end = count ? p : text;
  if (digits) *digits = count;
  if (negative) return (int32_t)(-magnitude); /* -2^31 at most */
  return magnitude > INT32_MAX ? INT32_MAX : (int32_t)magnitude;
}
