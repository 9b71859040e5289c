/*
 * POSIX implementation of the platform layer's modules, errors, debug output
 * and text files. Modules are dlopen handles; the last-error code is a
 * per-thread Windows error code derived from errno; text files read through
 * a stdio cookie that translates as the Windows text mode does. Watches are
 * inotify descriptors.
 */
#include "platform/platform.h"

#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <link.h>
#include <poll.h>
#include <stdlib.h>
#include <string.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

thread_local uint32_t lastError = 0;

/* The Windows last-error code (plGetLastError) that stands for an errno
   value met by the module and file calls. Every errno has a code: those
   without a Windows counterpart keep their number under the customer bit,
   so a caller can still tell them apart. The registry store maps errno
   differently (registryStatusFromErrno in registry_posix.cpp), because a
   registry call may only return the statuses a registry call returns. */
uint32_t lastErrorFromErrno(int e) {
  switch (e) {
    case 0:
      return PL_ERROR_SUCCESS;
    case ENOENT:
      return PL_ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
      return PL_ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
      return PL_ERROR_ACCESS_DENIED;
    case EBADF:
      return PL_ERROR_INVALID_HANDLE;
    case ENOMEM:
      return PL_ERROR_NOT_ENOUGH_MEMORY;
    case EROFS:
      return PL_ERROR_WRITE_PROTECT;
    case ENOSPC:
    case EDQUOT:
      return PL_ERROR_DISK_FULL;
    case ENAMETOOLONG:
      return PL_ERROR_FILENAME_EXCED_RANGE;
    case EINVAL:
      return PL_ERROR_INVALID_PARAMETER;
    default:
      return 0x20000000u | (uint32_t)e; /* customer bit: a plain errno */
  }
}

/* Copies text into buffer under the GetModuleFileNameA contract. */
int copyName(const char *text, char *buffer, int size) {
  if (!buffer || size <= 0) return 0;
  size_t length = strlen(text);
  if (length >= (size_t)size) length = (size_t)size - 1;
  memcpy(buffer, text, length);
  buffer[length] = 0;
  return (int)length;
}

/* ---- text files -------------------------------------------------------- */

/* Bytes read from the file at once: a megabyte then takes 32 system calls
   (in 8 KB chunks, reading was a tenth slower). */
constexpr int kTextChunk = 32768;

struct TextFile {
  char chunk[kTextChunk]; /* first, so it is as aligned as malloc's blocks: copies out of it run fast */
  int fd;
  int ended;      /* end of file or 0x1A met: nothing more to read */
  int start, end; /* unread bytes of chunk */
  int mark;       /* the chunk's first 0x1A, or end when it has none */
};

/* Refills the chunk and finds its end-of-file mark; false at the end of the
   file or on a read error. */
bool refill(TextFile *t) {
  for (;;) {
    ssize_t got = read(t->fd, t->chunk, kTextChunk);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    t->start = 0;
    t->end = (int)got;
    const char *mark = static_cast<const char *>(memchr(t->chunk, 0x1A, (size_t)got));
    t->mark = mark ? (int)(mark - t->chunk) : t->end;
    return true;
  }
}

/* Reads as the Windows text mode does: CR LF becomes LF, a lone CR stays,
   and 0x1A ends the file. Runs without a CR are copied whole. */
ssize_t textRead(void *cookie, char *out, size_t room) {
  TextFile *t = static_cast<TextFile *>(cookie);
  size_t n = 0;
  while (n < room && !t->ended) {
    if (t->start == t->end && !refill(t)) {
      t->ended = 1;
      break;
    }
    if (t->start == t->mark) { /* the text mode's end-of-file mark */
      t->start++;
      t->ended = 1;
      break;
    }
    /* The run up to the next CR, the mark or the chunk's end, as far as the
       room allows. */
    const char *from = t->chunk + t->start;
    size_t run = (size_t)(t->mark - t->start);
    if (run > room - n) run = room - n;
    const char *cr = static_cast<const char *>(memchr(from, '\r', run));
    if (cr) run = (size_t)(cr - from);
    memcpy(out + n, from, run);
    n += run;
    t->start += (int)run;
    if (!cr) continue;
    /* CR LF reads as LF; a CR not followed by LF stays. */
    char c = t->chunk[t->start++];
    if (t->start == t->end && !refill(t)) {
      out[n++] = c;
      t->ended = 1;
      break;
    }
    if (t->chunk[t->start] == '\n') {
      c = '\n';
      t->start++;
    }
    out[n++] = c;
  }
  return (ssize_t)n;
}

int textSeek(void *cookie, off64_t *offset, int whence) {
  TextFile *t = static_cast<TextFile *>(cookie);
  /* Only a rewind is meaningful on a translated stream. */
  if (whence != SEEK_SET || *offset != 0) {
    errno = EINVAL;
    return -1;
  }
  if (lseek(t->fd, 0, SEEK_SET) < 0) return -1;
  t->ended = 0;
  t->start = t->end = t->mark = 0;
  return 0;
}

int textClose(void *cookie) {
  TextFile *t = static_cast<TextFile *>(cookie);
  int result = close(t->fd);
  free(t);
  return result;
}

}  // namespace

/* ---- modules ----------------------------------------------------------- */

int plModuleFileName(HMODULE module, char *buffer, int size) {
  if (!buffer || size <= 0) {
    lastError = PL_ERROR_INVALID_PARAMETER;
    return 0;
  }
  if (module) {
    struct link_map *map = nullptr;
    if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) {
      lastError = PL_ERROR_INVALID_HANDLE;
      return 0;
    }
    if (map->l_name && map->l_name[0]) return copyName(map->l_name, buffer, size);
    /* the main program's map has no name: fall through to its file */
  }
  char exe[4096];
  ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (length < 0) {
    lastError = lastErrorFromErrno(errno);
    return 0;
  }
  exe[length] = 0;
  return copyName(exe, buffer, size);
}

HMODULE plLoadLibrary(const char *path) {
  if (!path || !path[0]) {
    lastError = PL_ERROR_MOD_NOT_FOUND;
    return nullptr;
  }
  void *handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (!handle) lastError = PL_ERROR_MOD_NOT_FOUND;
  return handle;
}

void *plFindExport(HMODULE module, const char *name) {
  if (!module || !name) {
    lastError = PL_ERROR_INVALID_HANDLE;
    return nullptr;
  }
  void *address = dlsym(module, name);
  if (!address) lastError = PL_ERROR_PROC_NOT_FOUND;
  return address;
}

HMODULE plModuleOfAddress(const void *address) {
  Dl_info info;
  struct link_map *map = nullptr;
  if (!dladdr1(address, &info, (void **)&map, RTLD_DL_LINKMAP) || !map) return nullptr;
  void *handle =
      (map->l_name && map->l_name[0]) ? dlopen(map->l_name, RTLD_LAZY | RTLD_NOLOAD) : dlopen(nullptr, RTLD_LAZY);
  /* Drop the reference just taken: the handle stays valid while the module
     is loaded, which is as long as its code can ask. */
  if (handle) dlclose(handle);
  return handle;
}

/* ---- errors and debug output ------------------------------------------ */

uint32_t plGetLastError(void) { return lastError; }

void plSetLastError(uint32_t code) { lastError = code; }

void plDebugOutput(const char *text) {
  const char *path = getenv("TESSEL_DEBUG_LOG");
  if (!path || !path[0] || !text) return;
  int saved = errno;
  int fd = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd >= 0) {
    size_t length = strlen(text);
    while (length > 0) {
      ssize_t put = write(fd, text, length);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) break;
      text += put;
      length -= (size_t)put;
    }
    close(fd);
  }
  errno = saved; /* debug output never changes what a caller sees */
}

/* ---- files ------------------------------------------------------------- */

int plIsDirSep(char c) { return c == '/'; }

const char *plLastDirSep(const char *path) { return path ? strrchr(path, '/') : nullptr; }

int plIsAbsolutePath(const char *name) { return name && name[0] == '/'; }

FILE *plOpenTextFile(const char *path) {
  if (!path) {
    lastError = PL_ERROR_INVALID_PARAMETER;
    return nullptr;
  }
  int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    lastError = lastErrorFromErrno(errno);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    lastError = PL_ERROR_ACCESS_DENIED; /* as opening a directory on Windows */
    close(fd);
    return nullptr;
  }
  TextFile *t = static_cast<TextFile *>(malloc(sizeof(TextFile)));
  if (!t) {
    close(fd);
    lastError = PL_ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  t->fd = fd;
  t->ended = 0;
  t->start = t->end = t->mark = 0;
  cookie_io_functions_t io = {textRead, nullptr, textSeek, textClose};
  FILE *file = fopencookie(t, "r", io);
  if (!file) {
    lastError = lastErrorFromErrno(errno);
    close(fd);
    free(t);
  }
  return file;
}

FILE *plOpenMemoryFile(const void *data, size_t size) {
  /* A memory stream needs at least one byte: no bytes read as an empty file. */
  FILE *file = size ? fmemopen(const_cast<void *>(data), size, "r") : fopen("/dev/null", "r");
  if (!file) lastError = lastErrorFromErrno(errno);
  return file;
}

/* ---- watching files ------------------------------------------------------ */

/* The events a watched directory reports: every way the file or a file
   beside it can change under a reader. */
static const uint32_t kWatchMask = IN_CLOSE_WRITE | IN_MODIFY | IN_ATTRIB | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                   IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

struct PlWatch {
  int fd;
  size_t used, next; /* bytes in buffer, and where the next event starts */
  /* room for many events at once; aligned as the kernel writes them */
  alignas(struct inotify_event) char buffer[64 * (sizeof(struct inotify_event) + NAME_MAX + 1)];
};

PlWatch *plWatchOpen(void) {
  PlWatch *watch = (PlWatch *)calloc(1, sizeof(PlWatch));
  if (!watch) {
    lastError = PL_ERROR_NOT_ENOUGH_MEMORY;
    return nullptr;
  }
  watch->fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (watch->fd < 0) {
    lastError = lastErrorFromErrno(errno);
    free(watch);
    return nullptr;
  }
  return watch;
}

int plWatchAdd(PlWatch *watch, const char *directory) {
  if (!watch || !directory) {
    lastError = PL_ERROR_INVALID_PARAMETER;
    return 0;
  }
  if (inotify_add_watch(watch->fd, directory, kWatchMask) < 0) {
    lastError = lastErrorFromErrno(errno);
    return 0;
  }
  return 1;
}

int plWatchFd(const PlWatch *watch) { return watch ? watch->fd : -1; }

int plWatchRead(PlWatch *watch, char *name, int room) {
  if (!watch || !name || room <= 0) {
    lastError = PL_ERROR_INVALID_PARAMETER;
    return -1;
  }
  if (watch->next >= watch->used) {
    ssize_t got = read(watch->fd, watch->buffer, sizeof watch->buffer);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) return 0;
    if (got <= 0) {
      lastError = got < 0 ? lastErrorFromErrno(errno) : (uint32_t)PL_ERROR_INVALID_DATA;
      return -1;
    }
    watch->used = (size_t)got;
    watch->next = 0;
  }
  const struct inotify_event *event = (const struct inotify_event *)(watch->buffer + watch->next);
  watch->next += sizeof *event + event->len;
  int whole =
      (event->mask & (IN_Q_OVERFLOW | IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT)) || event->len == 0;
  size_t length = whole ? 0 : strnlen(event->name, event->len);
  if (length >= (size_t)room) length = (size_t)room - 1;
  memcpy(name, event->name, length);
  name[length] = 0;
  return 1;
}

void plWatchClose(PlWatch *watch) {
  if (!watch) return;
  close(watch->fd);
  free(watch);
}

int plWaitReadable(const int *fds, int count, int timeoutMs) {
  enum { MAX_FDS = 31 };
  if (!fds || count < 0 || count > MAX_FDS) {
    lastError = PL_ERROR_INVALID_PARAMETER;
    return -1;
  }
  struct pollfd polled[MAX_FDS];
  for (int i = 0; i < count; i++) {
    polled[i].fd = fds[i];
    polled[i].events = POLLIN;
    polled[i].revents = 0;
  }
  int ready = poll(polled, (nfds_t)count, timeoutMs < 0 ? -1 : timeoutMs);
  if (ready < 0) {
    lastError = lastErrorFromErrno(errno);
    return -1;
  }
  int bits = 0;
  for (int i = 0; i < count; i++)
    if (polled[i].fd >= 0 && (polled[i].revents & (POLLIN | POLLHUP | POLLERR))) bits |= 1 << i;
  return bits;
}
