/*
 * The platform layer: the few operating-system operations that the library,
 * the plug-in and the host stand-in need, as flat functions named after the
 * Windows operations they stand for. On Win32 each is the Windows API itself;
 * on POSIX each is a thin implementation with the same contract. This header
 * and its two implementations are the only code that knows which platform it
 * runs on.
 */
#ifndef TESSEL_PLATFORM_H
#define TESSEL_PLATFORM_H

#include <stdint.h>
#include <stdio.h>

#include "platform/wintypes.h"

/* Separator of file paths, and of a module directory's trailing end. */
#if defined(_WIN32)
#define PL_DIR_SEP '\\'
#else
#define PL_DIR_SEP '/'
#endif

/* Windows error codes that the POSIX layer also reports, so that messages read
   the same on both platforms. */
enum {
  PL_ERROR_SUCCESS = 0,
  PL_ERROR_FILE_NOT_FOUND = 2,
  PL_ERROR_PATH_NOT_FOUND = 3,
  PL_ERROR_ACCESS_DENIED = 5,
  PL_ERROR_INVALID_HANDLE = 6,
  PL_ERROR_NOT_ENOUGH_MEMORY = 8,
  PL_ERROR_BAD_FORMAT = 11,
  PL_ERROR_INVALID_DATA = 13,
  PL_ERROR_WRITE_PROTECT = 19,
  PL_ERROR_SHARING_VIOLATION = 32,
  PL_ERROR_NOT_SUPPORTED = 50,
  PL_ERROR_DISK_FULL = 112,
  PL_ERROR_INVALID_PARAMETER = 87,
  PL_ERROR_MOD_NOT_FOUND = 126,
  PL_ERROR_PROC_NOT_FOUND = 127,
  PL_ERROR_BAD_PATHNAME = 161,
  PL_ERROR_FILENAME_EXCED_RANGE = 206,
  PL_ERROR_MORE_DATA = 234,
  PL_ERROR_NO_MORE_ITEMS = 259,
  PL_ERROR_BADDB = 1009,
  PL_ERROR_REGISTRY_IO_FAILED = 1016,
  PL_ERROR_KEY_DELETED = 1018
};

/* ---- Modules ----------------------------------------------------------- */

/* Writes the full file name of a loaded module (null: the main program) into
   buffer, at most size - 1 characters and a NUL; returns the length written,
   0 on failure (last error set). Like GetModuleFileNameA, a name that does not
   fit is cut short and still terminated. */
int plModuleFileName(HMODULE module, char *buffer, int size);

/* Loads a library by path or bare name; null on failure (last error set). */
HMODULE plLoadLibrary(const char *path);

/* The address of an export of a loaded module, found by name, or null. */
void *plFindExport(HMODULE module, const char *name);

/* The module that holds the given code or data address, or null. */
HMODULE plModuleOfAddress(const void *address);

/* Runs a module's load-time hook: on POSIX an ELF constructor and destructor
   call entry(module, 1, 0) at load and entry(module, 0, 0) at unload, as the
   system calls DllMain on Windows; on Win32 the system does it and this
   expands to nothing. Use once per module, at file scope. */
#if defined(_WIN32)
#define PL_MODULE_ENTRY(entry)
#else
#define PL_MODULE_ENTRY(entry)                                      \
  __attribute__((constructor)) static void plModuleAttach_(void) {  \
    entry(plModuleOfAddress((const void *)&plModuleAttach_), 1, 0); \
  }                                                                 \
  __attribute__((destructor)) static void plModuleDetach_(void) {   \
    entry(plModuleOfAddress((const void *)&plModuleAttach_), 0, 0); \
  }
#endif

/* ---- Errors and debug output -------------------------------------------- */

uint32_t plGetLastError(void);
void plSetLastError(uint32_t code);

/* Writes a text to the debugger's output (POSIX: appends it to the file named
   by TESSEL_DEBUG_LOG; nowhere when that is unset). */
void plDebugOutput(const char *text);

/* ---- Files --------------------------------------------------------------- */

/* Nonzero when a file name is absolute, which the path rule of description
   files does not prefix with a directory: a drive letter ("C:...") on Win32,
   a leading '/' on POSIX. */
int plIsAbsolutePath(const char *name);

/* Whether c separates the parts of a file path (Win32: '\\' or '/';
   POSIX: '/'). */
int plIsDirSep(char c);

/* The last separator of a file path (Win32: '\\' or '/'; POSIX: '/'), or
   null when it has none. */
const char *plLastDirSep(const char *path);

/* Opens a file for reading as text, as the Windows text mode reads it: CR LF
   reads as LF and a 0x1A byte ends the file. rewind works; close with fclose.
   Null on failure (last error set); a directory is a failure too. */
FILE *plOpenTextFile(const char *path);

/* Opens size bytes at data for reading as a stream (the bytes are read as
   they are: no line-end translation). The caller keeps data alive and
   unchanged until it closes the stream with fclose. Returns null on
   failure. */
FILE *plOpenMemoryFile(const void *data, size_t size);

/* ---- Watching files ------------------------------------------------------ */

/* A watch over directories: it reports, by name, the entries that were
   written, created, deleted, renamed in or out, or changed their
   permissions. An editor that saves by writing a new file and renaming it
   over the old one shows as the old name renamed in; one that truncates and
   writes shows as writes. POSIX: inotify; Win32: not available (plWatchOpen
   fails with PL_ERROR_NOT_SUPPORTED). */
typedef struct PlWatch PlWatch;

/* Opens a watch over no directory yet; null on failure (last error set).
   Close with plWatchClose. */
PlWatch *plWatchOpen(void);

/* Adds a directory to the watch. Returns 1, or 0 on failure (last error
   set). */
int plWatchAdd(PlWatch *watch, const char *directory);

/* A descriptor that is readable while the watch has events pending, for
   plWaitReadable; -1 for a null watch. It belongs to the watch. */
int plWatchFd(const PlWatch *watch);

/* Takes the next pending event without waiting: writes the name of the
   entry it concerns into name (room bytes, cut short and terminated) and
   returns 1; the name is empty when events were lost or a watched directory
   itself went away, so that anything may have changed. Returns 0 when no
   event is pending, -1 on failure (last error set). */
int plWatchRead(PlWatch *watch, char *name, int room);

/* Closes a watch (null: nothing). */
void plWatchClose(PlWatch *watch);

/* Waits until one of count descriptors is readable, at most timeoutMs
   milliseconds (negative: without limit). Returns a bit mask, bit i set when
   fds[i] is readable (count at most 31; a negative descriptor is skipped),
   0 when the time ran out, -1 on failure or when a signal interrupted the
   wait (last error set). Win32: pipes, files and the console only (a pipe
   whose writer closed it is readable: the read sees its end). */
int plWaitReadable(const int *fds, int count, int timeoutMs);

/* ---- The tools' files, streams and text ---------------------------------- */

/* Decodes each of the 256 bytes of a code page into table: a name of digits
   is the code page of that number ("437", "1251"), any other the system's
   own name for one (POSIX: iconv's; Win32 knows numbers only). Control bytes
   (below 0x20, and 0x7F) decode as '?', a byte the code page leaves
   undefined as 0xFFFD. Returns 1, or 0 when the system does not know the
   code page (table is then not to be relied on). */
int plCodePageTable(const char *name, uint32_t table[256]);

/* Nonzero when stream is a terminal (on Win32, a console). */
int plIsTerminal(FILE *stream);

/* The absolute path of an existing file or directory (on POSIX with its
   links resolved) into out, room bytes; 0 when it does not exist or the
   path does not fit. */
int plFullPath(const char *path, char *out, int room);

/* Makes the file at path (on POSIX, a link: the file it names) hold size
   bytes at data: a temporary file beside it is written, flushed to the disk
   and renamed over it, so that a reader sees the old bytes or the new ones,
   never a mixture. On POSIX an existing file keeps its mode, a new one gets
   the umask's. Returns 0, or an errno value (nothing then changed): EACCES
   too when the file is read-only or another program holds it open. */
int plReplaceFile(const char *path, const void *data, size_t size);

/* Standard input and output carry a byte protocol from here on: bytes pass
   as they are (Win32: binary mode, no CR LF translation), and a reader that
   went away makes a write fail instead of ending the process. */
void plProtocolStdio(void);

/* Text written to the terminal from here on is read as UTF-8 (Win32: the
   console's output code page is UTF-8 while the process runs). */
void plUtf8Console(void);

/* ---- Registry ------------------------------------------------------------ */

/* Root keys. */
#if defined(_WIN32)
#define PL_HKEY_CURRENT_USER HKEY_CURRENT_USER
#define PL_HKEY_LOCAL_MACHINE HKEY_LOCAL_MACHINE
#else
#define PL_HKEY_CURRENT_USER ((HKEY)(uintptr_t)0x80000001u)
#define PL_HKEY_LOCAL_MACHINE ((HKEY)(uintptr_t)0x80000002u)
#endif

/* Value types. */
enum { PL_REG_NONE = 0, PL_REG_SZ = 1, PL_REG_BINARY = 3, PL_REG_DWORD = 4 };

/* Access wanted when a key is opened. */
enum { PL_KEY_READ = 1, PL_KEY_ALL_ACCESS = 2 };

/* Every registry call returns 0 on success, else a Windows error code:
   PL_ERROR_FILE_NOT_FOUND for a missing key or value, PL_ERROR_MORE_DATA for
   a value or name larger than the room, PL_ERROR_KEY_DELETED for a handle
   whose key was deleted since, PL_ERROR_ACCESS_DENIED for a write through a
   key opened with PL_KEY_READ (or a store that cannot be written),
   PL_ERROR_BAD_PATHNAME for a path that begins with '\'. Key paths use '\'
   (doubled and trailing separators count as one), and key and value names
   compare without regard to ASCII case; a name keeps the case it was first
   written with. A null value name is the key's default value, as "" is.
   The roots are handles too; a returned key is closed with plRegCloseKey.
   On POSIX the store is the SQLite file named by TESSEL_REGISTRY, else
   $XDG_CONFIG_HOME/tessel/registry.sqlite3, else
   ~/.config/tessel/registry.sqlite3, looked up at every call; a read never
   creates it (a missing store holds no keys), the first write does. A
   corrupt store reads PL_ERROR_BADDB, a full disk PL_ERROR_DISK_FULL, a
   store another process holds for longer than a few seconds
   PL_ERROR_SHARING_VIOLATION. */

/* Opens an existing key below root (any open key, or a root), or root
   itself for an empty or null path; *key is null on failure. */
long plRegOpenKey(HKEY root, const char *path, int access, HKEY *key);

/* Opens a key below root with all access, creating it and every missing
   key along the path; *key is null on failure. */
long plRegCreateKey(HKEY root, const char *path, HKEY *key);

/* Reads a value. type may be null; data may be null to ask only for the type
   and the size. On entry *size is the room of data; on return it is the
   value's size (also when the room was too small: PL_ERROR_MORE_DATA, and
   data is then not to be relied on). Data without size is
   PL_ERROR_INVALID_PARAMETER. The bytes come back exactly as written: a
   REG_SZ holds its NUL only when the writer included it. */
long plRegQueryValue(HKEY key, const char *name, uint32_t *type, void *data, uint32_t *size);

/* Writes a value (size bytes at data; data may be null only when size is 0)
   in one transaction: afterwards it holds the new type and bytes or, after
   a failure or a crash, still the old ones. */
long plRegSetValue(HKEY key, const char *name, uint32_t type, const void *data, uint32_t size);

/* Deletes a value of a key. */
long plRegDeleteValue(HKEY key, const char *name);

/* Deletes the key path below root with everything below it, in one
   transaction. An empty or null path is PL_ERROR_INVALID_PARAMETER: a key
   never deletes its own contents this way, and a root is never deleted. */
long plRegDeleteTree(HKEY root, const char *path);

/* The index-th value of a key: its name (into name, room nameRoom, NUL
   included) and, as plRegQueryValue, its type and data.
   PL_ERROR_NO_MORE_ITEMS past the last. Values come in the order of their
   names, case ignored, on POSIX as under Wine. */
long plRegEnumValue(HKEY key, uint32_t index, char *name, uint32_t nameRoom, uint32_t *type, void *data,
                    uint32_t *size);

/* The index-th immediate subkey's name of a key (room nameRoom, NUL
   included), in the order of names; PL_ERROR_NO_MORE_ITEMS past the last. */
long plRegEnumKey(HKEY key, uint32_t index, char *name, uint32_t nameRoom);

/* Closes a key opened by plRegOpenKey or plRegCreateKey, freeing it;
   closing a root does nothing. */
long plRegCloseKey(HKEY key);

#endif /* TESSEL_PLATFORM_H */
