/*
 * Win32 implementation of the platform layer's modules, errors, debug output
 * and text files: each operation is the Windows API call it is named after.
 */
#include "platform/platform.h"

#include <string.h>

int plModuleFileName(HMODULE module, char *buffer, int size) {
  if (!buffer || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  DWORD length = GetModuleFileNameA(module, buffer, (DWORD)size);
  if (length == 0) {
    buffer[0] = 0;
    return 0;
  }
  buffer[size - 1] = 0; /* older systems leave a cut name unterminated */
  return (int)strlen(buffer);
}

HMODULE plLoadLibrary(const char *path) { return LoadLibraryA(path); }

void *plFindExport(HMODULE module, const char *name) { return (void *)GetProcAddress(module, name); }

HMODULE plModuleOfAddress(const void *address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          (LPCSTR)address, &module))
    return nullptr;
  return module;
}

uint32_t plGetLastError(void) { return GetLastError(); }

void plSetLastError(uint32_t code) { SetLastError(code); }

void plDebugOutput(const char *text) {
  if (text) OutputDebugStringA(text);
}

int plIsAbsolutePath(const char *name) { return name && name[0] && name[1] == ':'; }

FILE *plOpenTextFile(const char *path) {
  if (!path) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return fopen(path, "rt");
}

FILE *plOpenMemoryFile(const void *data, size_t size) {
  /* No memory streams here: a temporary file holds the bytes. */
  FILE *file = tmpfile();
  if (!file) return nullptr;
  if (fwrite(data, 1, size, file) != size) {
    fclose(file);
    return nullptr;
  }
  rewind(file);
  return file;
}

/* Watching files is a POSIX service of the host stand-in: the Win32 build
   has no caller, and every call fails. */
PlWatch *plWatchOpen(void) {
  SetLastError(PL_ERROR_NOT_SUPPORTED);
  return nullptr;
}

int plWatchAdd(PlWatch *watch, const char *directory) {
  (void)watch;
  (void)directory;
  SetLastError(PL_ERROR_NOT_SUPPORTED);
  return 0;
}

int plWatchFd(const PlWatch *watch) {
  (void)watch;
  return -1;
}

int plWatchRead(PlWatch *watch, char *name, int room) {
  (void)watch;
  if (name && room > 0) name[0] = 0;
  SetLastError(PL_ERROR_NOT_SUPPORTED);
  return -1;
}

void plWatchClose(PlWatch *watch) { (void)watch; }

int plWaitReadable(const int *fds, int count, int timeoutMs) {
  (void)fds;
  (void)count;
  (void)timeoutMs;
  SetLastError(PL_ERROR_NOT_SUPPORTED);
  return -1;
}
