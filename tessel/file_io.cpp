/*
 * Whole files as the authoring commands read and write them: all bytes at
 * once, and a rewrite through a temporary file beside the target renamed over
 * it, so that a reader sees the old bytes or the new ones, never a mixture.
 */
#include "tessel/file_io.h"

#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

/* Writes all of text to fd; 0, or the errno of the failure. */
int writeAll(int fd, const std::string &text) {
  const char *p = text.data();
  size_t left = text.size();
  while (left > 0) {
    ssize_t put = write(fd, p, left);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return put < 0 ? errno : EIO;
    p += put;
    left -= (size_t)put;
  }
  return 0;
}

}  // namespace

/* Reads the whole file at path into *text; 0, or the errno of the failure. */
int readBytes(const std::string &path, std::string *text) {
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    int code = S_ISDIR(st.st_mode) ? EISDIR : errno;
    close(fd);
    return code;
  }
  char block[1 << 16];
  for (;;) {
    ssize_t got = read(fd, block, sizeof block);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      int code = got < 0 ? errno : 0;
      close(fd);
      return code;
    }
    text->append(block, (size_t)got);
  }
}

/* Makes the file at path (a link: the file it names) hold text: writes a
   temporary file beside it and renames it over the target, so that a reader
   sees the old bytes or the new ones, never a mixture. A new file gets the
   mode 0666 less the umask, an existing one keeps its mode. Returns 0, or the
   errno of the failure (nothing then changed). */
int replaceFile(const std::string &path, const std::string &text) {
  char *real = realpath(path.c_str(), nullptr);
  std::string target = real ? real : path;
  free(real);
  struct stat st;
  mode_t mode;
  if (stat(target.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return EISDIR;
    mode = st.st_mode & 07777;
  } else {
    mode_t mask = umask(0);
    umask(mask);
    mode = 0666 & ~mask;
  }
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = dir + "." + base + ".tessel-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back(0);
  int fd = mkstemp(name.data());
  if (fd < 0) return errno;
  int code = writeAll(fd, text);
  if (!code && fchmod(fd, mode) != 0) code = errno;
  if (!code && fsync(fd) != 0) code = errno;
  if (close(fd) != 0 && !code) code = errno;
  if (!code && rename(name.data(), target.c_str()) != 0) code = errno;
  if (code) unlink(name.data());
  return code;
}
