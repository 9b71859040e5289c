/*
 * tessel fmt: rewrites each file named in its formatted form (the fields of
 * item lines in columns, flag lists in one spelling; what the library loads
 * never changes), through a temporary file renamed over the original; or
 * only says which files would change (--check), or prints the formatted
 * text (--stdout).
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "author/file_bytes.h"
#include "author/format.h"
#include "tessel/command.h"
#include "tessel/file_io.h"
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

}  // namespace

int cmdFmt(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_FMT, kFmtUsage, kFmtExitStatus);
  if (o->args.empty()) return commandUsageError("fmt", "%s", "no file to format");
  int status = FMT_DONE;
  for (const std::string file : o->args) {
    std::string text;
    int code = author::readBytes(file, &text);
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
