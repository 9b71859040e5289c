/*
 * tessel fmt: rewrites each file named in its formatted form (the fields of
 * item lines in columns, flag lists in one spelling; what the library loads
 * never changes), through a temporary file renamed over the original; or
 * only says which files would change (--check), or prints the formatted
 * text (--stdout).
 */
#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "author/format.h"
#include "tessel/command.h"
#include "tessel/options.h"

namespace {

enum { FMT_DONE = 0, FMT_CHANGED_OR_FAILED = 1 }; /* bad usage: EXIT_USAGE */

const char kFmtUsage[] =
    "usage: tessel fmt FILE.dlg... [options]\n"
    "\n"
    "Aligns the fields of each run of item lines into columns and writes flag\n"
    "lists as (A+B); comments, blank lines, ENUM blocks, line ends and texts stay\n"
    "as they are, and what the library loads from the file never changes.\n";

const char kFmtExitStatus[] =
    "Exit status: 0 done, 1 a file would change (--check) or cannot be read or\n"
    "written, 2 bad usage.\n";

/* Reads the whole file as bytes into *text; 0, or the errno of the failure. */
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
    if (got < 0) {
      int code = errno;
      close(fd);
      return code;
    }
    if (got == 0) break;
    text->append(block, (size_t)got);
  }
  close(fd);
  return 0;
}

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

/* Replaces the file at path (a link: the file it names) with text: writes a
   temporary file beside it with the original's mode and renames it over the
   original, so that a reader sees the old bytes or the new ones, never a
   mixture. Returns 0, or the errno of the failure (nothing then changed). */
int replaceFile(const std::string &path, const std::string &text) {
  char *real = realpath(path.c_str(), nullptr);
  std::string target = real ? real : path;
  free(real);
  struct stat st;
  if (stat(target.c_str(), &st) != 0) return errno;
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temp = dir + "." + base + ".fmt-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back(0);
  int fd = mkstemp(name.data());
  if (fd < 0) return errno;
  int code = writeAll(fd, text);
  if (!code && fchmod(fd, st.st_mode & 07777) != 0) code = errno;
  if (!code && fsync(fd) != 0) code = errno;
  if (close(fd) != 0 && !code) code = errno;
  if (!code && rename(name.data(), target.c_str()) != 0) code = errno;
  if (code) unlink(name.data());
  return code;
}

}  // namespace

int cmdFmt(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_FMT, kFmtUsage, kFmtExitStatus);
  if (o->args.empty()) return commandUsageError("fmt", "%s", "no file to format");
  int status = FMT_DONE;
  for (const std::string file : o->args) {
    std::string text;
    int code = readBytes(file, &text);
    if (code) {
      fprintf(stderr, "tessel fmt: %s: cannot read the file: %s\n", file.c_str(), strerror(code));
      status = FMT_CHANGED_OR_FAILED;
      continue;
    }
    std::vector<author::Refusal> refused;
    std::string formatted = author::formatText(text, &refused);
    for (const author::Refusal &r : refused)
      fprintf(stderr, "tessel fmt: %s:%d: left as it is: tessel check finds the line broken [%s]\n", file.c_str(),
              r.line, r.code.c_str());
    bool changes = formatted != text || (o->check && !refused.empty());
    if (o->toStdout) fwrite(formatted.data(), 1, formatted.size(), stdout);
    if (o->check) {
      if (changes) {
        if (!o->toStdout) printf("%s\n", file.c_str());
        status = FMT_CHANGED_OR_FAILED;
      }
      continue;
    }
    if (o->toStdout || !changes) continue;
    code = replaceFile(file, formatted);
    if (code) {
      fprintf(stderr, "tessel fmt: %s: cannot write the file: %s\n", file.c_str(), strerror(code));
      status = FMT_CHANGED_OR_FAILED;
    }
  }
  fflush(stdout);
  return status;
}
