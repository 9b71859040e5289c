/*
 * `tessel render FILE.dlg NAME`: one dialog loaded through Dialog.tsl, as
 * the plug-in would load it, and drawn once to standard output as text,
 * ANSI colours or HTML. No plug-in and no terminal are involved; the
 * library asks tessel itself (its export SetLngMode, tessel/library.cpp)
 * for the language mode.
 */
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "author/languages.h"
#include "host/dump.h"
#include "host/session.h"
#include "host/slots.h"
#include "tessel/check.h"
#include "tessel/command.h"
#include "tessel/library.h"
#include "tessel/modules.h"
#include "tessel/no_dialog.h"
#include "tessel/watch_render.h"

namespace {

/* The screen drawn on when --size is not given; the dump then fits the
   dialog and its shadow. */
enum { DEFAULT_COLS = 80, DEFAULT_ROWS = 25 };

const char kRenderHelp[] =
    "usage: tessel render FILE.dlg NAME [options]\n"
    "\n"
    "Loads dialog NAME of FILE through Dialog.tsl and draws it once to standard\n"
    "output, as the host would show it. Localised texts come from the .lng files\n"
    "beside FILE.\n";

const char kRenderExitStatus[] =
    "exit status: 0 drawn, 1 failed (file, dialog or library missing), 2 bad\n"
    "arguments.\n";

/* What a --watch frame needs to load and draw the dialog again. */
struct Frame {
  const Library *library;
  const char *file, *shown, *name, *format;
  const author::Options *checking;
  int quiet;
};

/* Writes the session's screen to standard output in the format asked for;
   returns EXIT_OK, or EXIT_FAILED (reported) when it cannot be written. */
int writeScreen(const char *format, const char *name) {
  Screen *screen = sessionScreen();
  if (strcmp(format, "ansi") == 0) dumpAnsi(screen, stdout);
  else if (strcmp(format, "html") == 0) dumpHtml(screen, stdout, name);
  else dumpText(screen, stdout);
  if (fflush(stdout) != 0) return fail(EXIT_FAILED, "cannot write the output: %s", strerror(errno));
  return EXIT_OK;
}

/* One --watch frame of a new version: its findings, then the dialog. A
   dialog the library no longer loads draws nothing. */
int drawAgain(void *context) {
  const Frame *f = static_cast<const Frame *>(context);
  DialogData *dialog = loadDialog(f->library, f->file, f->name);
  if (!dialog) return EXIT_OK;
  if (!f->quiet) {
    author::Analysis analysis = author::analyzeWithLanguages(f->file, *f->checking, {});
    printFindings(stderr, f->shown, analysis);
  }
  f->library->show(dialog);
  f->library->release(dialog);
  return writeScreen(f->format, f->name);
}

}  // namespace

int cmdRender(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_RENDER, kRenderHelp, kRenderExitStatus);
  if (o->args.size() != 2) return fail(EXIT_USAGE, "render takes a file and a dialog name (see tessel render --help)");
  const char *format = o->format ? o->format : "text";
  if (strcmp(format, "text") != 0 && strcmp(format, "ansi") != 0 && strcmp(format, "html") != 0)
    return fail(EXIT_USAGE, "bad --format \"%s\": give text, ansi or html", format);
  char file[PATH_MAX];
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;
  const char *name = o->args[1];
  Library library;
  if (!loadLibrary(&library)) return EXIT_FAILED;

  startLibrary(&library, file, o->lngMode);
  if (!sessionOpenScripted(o->cols ? o->cols : DEFAULT_COLS, o->rows ? o->rows : DEFAULT_ROWS, nullptr, 0))
    return fail(EXIT_FAILED, "cannot open the screen");
  hostSetDrawOnly(1, o->cols == 0); /* on; the screen fits the dialog unless --size was given */
  /* What tessel check says of this dialog and of the file as a whole. */
  author::Options checking;
  checking.codepage = atoi(o->codepage);
  checking.dialog = name; /* the dialog drawn, and the file as a whole */
  DialogData *dialog = loadDialog(&library, file, name);
  if (!dialog) return reportNoDialog(file, o->args[0], name, checking);
  if (!o->quiet) /* --quiet: not read */
    printFindings(stderr, o->args[0], author::analyzeWithLanguages(file, checking, {}));
  library.show(dialog);
  library.release(dialog);
  int status = writeScreen(format, name);
  if (status == EXIT_OK && o->watch) {
    Frame frame = {&library, file, o->args[0], name, format, &checking, o->quiet};
    author::Options whole = checking; /* a version is good when the whole file is */
    whole.dialog.clear();
    status = watchRender(file, o->args[0], name, whole, drawAgain, &frame);
  }
  sessionClose();
  return status;
}
