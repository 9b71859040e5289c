/* The Win32 registry: placeholder until the wrappers land. Every
   call fails as a missing key would. */
#include "platform/platform.h"

long plRegOpenKey(HKEY, const char *, int, HKEY *key) { if (key) *key = nullptr; return PL_ERROR_FILE_NOT_FOUND; }
long plRegCreateKey(HKEY, const char *, HKEY *key) { if (key) *key = nullptr; return PL_ERROR_ACCESS_DENIED; }
long plRegQueryValue(HKEY, const char *, uint32_t *, void *, uint32_t *) { return PL_ERROR_FILE_NOT_FOUND; }
long plRegSetValue(HKEY, const char *, uint32_t, const void *, uint32_t) { return PL_ERROR_ACCESS_DENIED; }
long plRegDeleteValue(HKEY, const char *) { return PL_ERROR_FILE_NOT_FOUND; }
long plRegDeleteTree(HKEY, const char *) { return PL_ERROR_FILE_NOT_FOUND; }
long plRegEnumValue(HKEY, uint32_t, char *, uint32_t, uint32_t *, void *, uint32_t *) { return PL_ERROR_NO_MORE_ITEMS; }
long plRegEnumKey(HKEY, uint32_t, char *, uint32_t) { return PL_ERROR_NO_MORE_ITEMS; }
long plRegCloseKey(HKEY) { return 0; }
