/*
 * Win32 implementation of the platform layer's modules, errors, debug output
 * and text files: each operation is the Windows API call it is named after.
 */
#include "platform/platform.h"

#include <io.h>
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

int plIsDirSep(char c) { return c == '\\' || c == '/'; }

const char *plLastDirSep(const char *path) {
  const char *back = path ? strrchr(path, '\\') : nullptr, *slash = path ? strrchr(path, '/') : nullptr;
  return back > slash ? back : slash;
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
  /* No memory streams here: a temporary file holds the bytes, in the user's
     temporary directory (tmpfile would make it in the root of the drive,
     which a user may not write), removed when the stream is closed. */
  char directory[MAX_PATH], name[MAX_PATH];
  DWORD length = GetTempPathA(sizeof directory, directory);
  if (length == 0 || length >= sizeof directory || !GetTempFileNameA(directory, "tsl", 0, name)) return nullptr;
  FILE *file = fopen(name, "w+bD");
  if (!file) {
    DeleteFileA(name);
    return nullptr;
  }
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

namespace {

/* Whether a descriptor has something to read (or its end) now: a pipe with
   bytes in it or without a writer, a file always, a console with input
   events pending. */
bool readableNow(int fd) {
  HANDLE h = (HANDLE)_get_osfhandle(fd);
  if (h == INVALID_HANDLE_VALUE) return false;
  switch (GetFileType(h)) {
    case FILE_TYPE_PIPE: {
      DWORD waiting = 0;
      if (PeekNamedPipe(h, nullptr, 0, nullptr, &waiting, nullptr)) return waiting > 0;
      return GetLastError() == ERROR_BROKEN_PIPE; /* closed: the read sees the end; else nothing known */
    }
    case FILE_TYPE_DISK:
      return true;
    case FILE_TYPE_CHAR:
      return WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
    default:
      return false;
  }
}

}  // namespace

int plWaitReadable(const int *fds, int count, int timeoutMs) {
  enum { MAX_FDS = 31, POLL_MS = 10 };
  if (!fds || count < 0 || count > MAX_FDS) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  /* Pipes cannot be waited on: look, and look again every few milliseconds. */
  DWORD start = GetTickCount();
  for (;;) {
    int bits = 0;
    for (int i = 0; i < count; i++)
      if (fds[i] >= 0 && readableNow(fds[i])) bits |= 1 << i;
    if (bits || timeoutMs == 0) return bits;
    if (timeoutMs > 0 && GetTickCount() - start >= (DWORD)timeoutMs) return 0;
    Sleep(POLL_MS);
  }
}
