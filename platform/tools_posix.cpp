/*
 * POSIX implementation of the platform layer's services for the tools (code
 * pages through iconv, terminals, paths, whole-file rewrites, the protocol
 * streams). A file of its own, so that the library and the plug-in, which
 * need none of it, link none of it.
 */
#include <errno.h>
#include <iconv.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "platform/platform.h"

int plCodePageTable(const char *name, uint32_t table[256]) {
  if (!name || !name[0] || strlen(name) > 60) return 0;
  char iconvName[72];
  int digits = 1;
  for (const char *p = name; *p; p++) digits = digits && *p >= '0' && *p <= '9';
  snprintf(iconvName, sizeof iconvName, digits ? "CP%s" : "%s", name);
  iconv_t cd = iconv_open("UTF-32LE", iconvName);
  if (cd == (iconv_t)-1) return 0;
  for (int b = 0; b < 256; b++) {
    if (b < 0x20 || b == 0x7F) {
      table[b] = '?';
      continue;
    }
    char in[1] = {(char)b};
    unsigned char out[8];
    char *inPtr = in, *outPtr = (char *)out;
    size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr); /* reset the shift state */
    if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == (size_t)-1 || outLeft != 4) {
      table[b] = 0xFFFD;
      continue;
    }
    table[b] = (uint32_t)out[0] | (uint32_t)out[1] << 8 | (uint32_t)out[2] << 16 | (uint32_t)out[3] << 24;
  }
  iconv_close(cd);
  return 1;
}

int plIsTerminal(FILE *stream) { return stream && isatty(fileno(stream)); }

int plFullPath(const char *path, char *out, int room) {
  char *real = path ? realpath(path, nullptr) : nullptr;
  if (!real) return 0;
  bool fits = strlen(real) < (size_t)room;
  if (fits) memcpy(out, real, strlen(real) + 1);
  free(real);
  return fits;
}

namespace {

/* Writes all size bytes at data to fd; 0, or the errno of the failure. */
int writeAll(int fd, const char *data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return put < 0 ? errno : EIO;
    data += put;
    size -= (size_t)put;
  }
  return 0;
}

}  // namespace

int plReplaceFile(const char *path, const void *data, size_t size) {
  char *real = realpath(path, nullptr);
  std::string target = real ? real : path;
  free(real);
  struct stat st;
  mode_t mode;
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    if (!(st.st_mode & 0222)) return EACCES; /* read-only to everyone, whoever may rename over it */
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string name = dir + "." + base + ".tessel-XXXXXX";
  int fd = mkstemp(&name[0]);
  if (fd < 0) return errno;
  int code = writeAll(fd, (const char *)data, size);
  if (!code && fchmod(fd, mode) != 0) code = errno;
  if (!code && fsync(fd) != 0) code = errno;
  if (close(fd) != 0 && !code) code = errno;
  if (!code && rename(name.c_str(), target.c_str()) != 0) code = errno;
  if (code) unlink(name.c_str());
  return code;
}

void plProtocolStdio(void) { signal(SIGPIPE, SIG_IGN); }

void plUtf8Console(void) {}
