/*
 * tessel header: writes the C header of a dialog file (its ENUM names as
 * identifiers and message numbers, its dialogs' names) to standard output or
 * through a temporary file renamed over the -o file; or, with --check, only
 * says whether the -o file on disk is what would be written.
 */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "author/engine.h"
#include "author/file_bytes.h"
#include "author/header.h"
#include "tessel/command.h"
#include "tessel/file_io.h"
#include "tessel/options.h"

namespace {

const char kHeaderUsage[] =
    "usage: tessel header FILE.dlg [-o FILE.h] [--check]\n"
    "\n"
    "Writes a C header for the plug-in's code: for each ENUM name NAME the\n"
    "identifier an item line gets for it (#define NAME) and the message number a\n"
    "%L% text naming it reads (#define MSG_NAME), and each dialog's name\n"
    "(#define DIALOG_NAME \"...\"), as the library computes them. Names that C or\n"
    "C++ cannot take as macros are left out, with a warning each.\n";

const char kHeaderExitStatus[] =
    "Exit status: 0 done (--check: the file is up to date), 1 the file cannot be\n"
    "read or written (--check: the header on disk differs, or is missing), 2 bad\n"
    "usage.\n";

/* --check: 0 when the file at output holds text, else 1 with the difference
   (or why it cannot be compared) on stderr. */
int checkOutput(const char *output, const std::string &text) {
  std::string onDisk;
  int code = author::readBytes(output, &onDisk);
  if (code == ENOENT) return fail(EXIT_FAILED, "%s: no such file: tessel header would write it", output);
  if (code) return fail(EXIT_FAILED, "%s: cannot read the file: %s", output, strerror(code));
  if (onDisk == text) return EXIT_OK;
  fputs(author::unifiedDiff(onDisk, text, output, std::string(output) + " (generated)").c_str(), stderr);
  return EXIT_FAILED;
}

}  // namespace

int cmdHeader(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_HEADER, kHeaderUsage, kHeaderExitStatus);
  if (o->args.empty()) return commandUsageError("header", "%s", "no dialog file given");
  if (o->args.size() > 1) return commandUsageError("header", "one dialog file at a time, not \"%s\" too", o->args[1]);
  if (o->check && !o->output) return commandUsageError("header", "%s", "--check compares with the -o file: give one");
  const char *file = o->args[0];
  if (o->output && sameFile(file, o->output))
    return fail(EXIT_FAILED, "%s: -o names the dialog file itself: it is left as it is", o->output);

  author::Options options;
  options.checks = false; /* only what the library reads */
  options.codepage = 0;
  author::Analysis a = author::analyzeFile(file, options);
  for (const author::Finding &f : a.findings)
    if (f.kind == author::Kind::CannotOpen) return fail(EXIT_FAILED, "%s: %s", file, f.message.c_str());

  author::Header h = author::makeHeader(a, file, o->output ? o->output : file);
  for (const author::HeaderNote &note : h.notes)
    fprintf(stderr, "tessel: %s:%d: %s\n", file, note.line, note.message.c_str());
  if (o->check) return checkOutput(o->output, h.text);
  if (!o->output) {
    fwrite(h.text.data(), 1, h.text.size(), stdout);
    return fflush(stdout) == 0 ? EXIT_OK : fail(EXIT_FAILED, "cannot write to standard output: %s", strerror(errno));
  }
  std::string onDisk;
  if (author::readBytes(o->output, &onDisk) == 0 && onDisk == h.text) return EXIT_OK; /* up to date: left untouched */
  int code = replaceFile(o->output, h.text);
  if (code) return fail(EXIT_FAILED, "%s: cannot write the file: %s", o->output, strerror(code));
  return EXIT_OK;
}
