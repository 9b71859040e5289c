/*
 * Win32 implementation of the platform layer's services for the tools: code
 * pages through MultiByteToWideChar, the console, full paths, whole-file
 * rewrites through MoveFileEx, binary standard streams. A file of its own,
 * so that the library and the plug-in link none of it.
 */
#include <errno.h>
#include <fcntl.h>
#include <io.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "platform/platform.h"

int plCodePageTable(const char *name, uint32_t table[256]) {
  if (!name || !name[0] || strlen(name) > 9) return 0;
  for (const char *p = name; *p; p++)
    if (*p < '0' || *p > '9') return 0;
  UINT codePage = (UINT)atoi(name);
  if (!IsValidCodePage(codePage)) return 0;
  for (int b = 0; b < 256; b++) {
    if (b < 0x20 || b == 0x7F) {
      table[b] = '?';
      continue;
    }
    char in[1] = {(char)b};
    wchar_t out[2];
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in, 1, out, 2);
    table[b] = n == 1 ? (uint32_t)out[0] : 0xFFFD;
  }
  return 1;
}

int plIsTerminal(FILE *stream) { return stream && _isatty(_fileno(stream)); }

int plFullPath(const char *path, char *out, int room) {
  if (!path || room <= 0) return 0;
  DWORD length = GetFullPathNameA(path, (DWORD)room, out, nullptr);
  if (length == 0 || length >= (DWORD)room) return 0;
  return GetFileAttributesA(out) != INVALID_FILE_ATTRIBUTES;
}

namespace {

/* The errno that stands for a Windows error of a file operation. */
int errnoOf(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
      return ENOSPC;
    default:
      return EIO;
  }
}

}  // namespace

int plReplaceFile(const char *path, const void *data, size_t size) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) return EISDIR;
  std::string target = path;
  size_t slash = target.find_last_of("\\/");
  std::string dir = slash == std::string::npos ? "." : target.substr(0, slash + 1);
  char temp[MAX_PATH];
  if (!GetTempFileNameA(dir.c_str(), "tsl", 0, temp)) return errnoOf(GetLastError());
  int code = 0;
  FILE *file = fopen(temp, "wb");
  if (!file) code = errno;
  if (!code && size > 0 && fwrite(data, 1, size, file) != size) code = errno ? errno : EIO;
  if (!code && fflush(file) != 0) code = errno;
  if (!code && _commit(_fileno(file)) != 0) code = errno;
  if (file && fclose(file) != 0 && !code) code = errno;
  if (!code && !MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    code = errnoOf(GetLastError());
  if (code) DeleteFileA(temp);
  return code;
}

void plProtocolStdio(void) {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

namespace {

UINT consoleWas; /* the console's output code page before, or 0 */

void restoreConsole(void) {
  if (consoleWas) SetConsoleOutputCP(consoleWas);
}

}  // namespace

void plUtf8Console(void) {
  if (consoleWas || !_isatty(_fileno(stdout))) return;
  consoleWas = GetConsoleOutputCP();
  if (consoleWas && SetConsoleOutputCP(CP_UTF8)) atexit(restoreConsole);
  else consoleWas = 0;
}
