/*
 * The system's wording of the Windows error codes that the platform layer
 * reports (PL_ERROR_*): one table, the same on both platforms, read by the
 * host's message boxes and by `tessel reg`.
 */
#ifndef TESSEL_PLATFORM_ERROR_TEXT_H
#define TESSEL_PLATFORM_ERROR_TEXT_H

#include <stdint.h>

/* The system's text for a Windows error code ("Access is denied." for
   PL_ERROR_ACCESS_DENIED), a static string; null for a code the table does
   not hold. */
const char *plErrorText(uint32_t code);

#endif
