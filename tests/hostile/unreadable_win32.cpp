// Win32: an unreadable file is one that another handle holds open without
// sharing it; every later open, of this process too, is a sharing violation.
#include <windows.h>

#include "unreadable.h"

namespace {
HANDLE holder = INVALID_HANDLE_VALUE;
}

uint32_t beginUnreadable(const char *path) {
  holder = CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return holder == INVALID_HANDLE_VALUE ? 0 : ERROR_SHARING_VIOLATION;
}

void endUnreadable(void) {
  if (holder != INVALID_HANDLE_VALUE) CloseHandle(holder);
  holder = INVALID_HANDLE_VALUE;
}
