/*
 * `tessel render FILE.dlg NAME`: one dialog loaded through Dialog.tsl, as
 * the plug-in would load it, and drawn once to standard output as text,
 * ANSI colours or HTML. No plug-in and no terminal are involved; the
 * library asks tessel itself (its export SetLngMode) for the language mode.
 */
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "dialog/dialog.h"
#include "host/dump.h"
#include "host/session.h"
#include "host/slots.h"
#include "tessel/check.h"
#include "tessel/command.h"
#include "tessel/modules.h"
#include "tessel/watch.h"

/* The language mode that render hands to the library. */
static int renderLngMode;

extern "C" TS_EXPORT int SetLngMode(void) { return renderLngMode; }

namespace {

const char kLibraryFile[] = "Dialog.tsl";

/* The screen drawn on when --size is not given; the dump then fits the
   dialog and its shadow. */
enum { DEFAULT_COLS = 80, DEFAULT_ROWS = 25 };

const char kRenderHelp[] =
    "usage: tessel render FILE.dlg NAME [options]\n"
    "\n"
    "Loads dialog NAME of FILE through Dialog.tsl and draws it once to standard\n"
    "output, as the host would show it. Localised texts come from the .lng files\n"
    "beside FILE.\n"
    "\n"
    "options:\n"
    "  --lang-mode N     language mode: 0 localised texts (default), 1 the message\n"
    "                    names written in the file, 2 the identifiers\n"
    "  --format F        text (default), ansi (with colours) or html\n"
    "  --size COLSxROWS  screen size (default: the dialog and its shadow)\n"
    "  --language NAME   language of the .lng files to read (default English)\n"
    "  --codepage CP     the host's 8-bit code page (default 437)\n"
    "  --quiet           no findings: by default those of tessel check for the\n"
    "                    dialog drawn are printed on standard error\n"
    "  --watch           draw again each time FILE or a language file beside it\n"
    "                    changes (the terminal is cleared between frames), until\n"
    "                    interrupted; a version with errors keeps the last frame\n"
    "                    and says why on standard error\n"
    "\n"
    "exit status: 0 drawn, 1 failed (file, dialog or library missing), 2 bad\n"
    "arguments.\n";

/* The library's entry points that render calls. */
struct Library {
  TS_InitFn init;
  LoadDialogExFn load;
  ShowDialogFn show;
  FreeDialogFn release;
};

/* Loads Dialog.tsl beside tessel and finds its entry points; returns 1, or
   0 after reporting what is missing. */
int loadLibrary(Library *library) {
  char directory[PATH_ROOM];
  if (!programDirectory(directory, sizeof directory)) {
    fail(EXIT_FAILED, "cannot find tessel's own directory");
    return 0;
  }
  HMODULE module = loadBeside(directory, kLibraryFile, "library");
  if (!module) return 0;
  int missing = 0;
  library->init = (TS_InitFn)needExport(module, "TS_Init", "library", &missing);
  library->load = (LoadDialogExFn)needExport(module, "LoadDialogEx", "library", &missing);
  library->show = (ShowDialogFn)needExport(module, "ShowDialog", "library", &missing);
  library->release = (FreeDialogFn)needExport(module, "FreeDialog", "library", &missing);
  return !missing;
}

/* The line of the file that most likely meant to open dialog name: a header
   that opens no dialog, or opens a cut name, or a section of that name
   without items; the empty string when there is none. */
std::string nearMiss(const author::Analysis &a, const char *shown, const char *name) {
  const author::Finding *best = nullptr;
  for (const author::Finding &f : a.findings) {
    bool header = f.kind == author::Kind::NotAHeader || f.kind == author::Kind::NameCut ||
                  f.kind == author::Kind::EmptyDialog || f.kind == author::Kind::NameTooLong;
    if (!header) continue;
    if (author::lineText(a, f.span.line).find(name) != std::string::npos) return std::string(shown) + ":" + std::to_string(f.span.line) + ": " + f.message;
    if (!best) best = &f;
  }
  return best ? std::string(shown) + ":" + std::to_string(best->span.line) + ": " + best->message : std::string();
}

/* Reports that file has no dialog name with items, naming the dialogs it
   does define, each once (at most a line's worth), and the nearest near
   miss; returns EXIT_FAILED. */
int reportNoDialog(const author::Analysis &a, const char *shown, const char *name) {
  std::string names;
  for (const std::string &listed : a.listed) {
    if (names.size() + listed.size() + 2 >= 400) {
      names += ", ...";
      break;
    }
    names += (names.empty() ? "" : ", ") + listed;
  }
  sessionClose();
  std::string near = nearMiss(a, shown, name);
  if (names.empty()) fail(EXIT_FAILED, "%s defines no dialog with items (no \"%s\")", shown, name);
  else fprintf(stderr, "tessel: %s has no dialog \"%s\" with items; it defines: %s\n", shown, name, names.c_str());
  if (!near.empty()) fprintf(stderr, "tessel: the nearest miss: %s\n", near.c_str());
  return EXIT_FAILED;
}

/* What a --watch frame needs to load and draw the dialog again. */
struct Frame {
  Library *library;
  HMODULE own;
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
  DialogData *dialog = f->library->load(f->own, PLUGIN_MODULE_NUMBER, f->file, f->name);
  if (!dialog) return EXIT_OK;
  if (!f->quiet) {
    author::Analysis analysis = author::analyzeFile(f->file, *f->checking);
    author::keepFindingsOf(&analysis, f->name);
    printFindings(stderr, f->shown, analysis);
  }
  f->library->show(dialog);
  f->library->release(dialog);
  return writeScreen(f->format, f->name);
}

}  // namespace

int cmdRender(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) {
    fputs(kRenderHelp, stdout);
    return EXIT_OK;
  }
  if (o->argCount != 2) return fail(EXIT_USAGE, "render takes a file and a dialog name (see tessel render --help)");
  int status = checkOptionsFor(o, RENDER_OPTIONS | WATCH_OPTIONS);
  if (status) return status;
  const char *format = o->format;
  if (strcmp(format, "text") != 0 && strcmp(format, "ansi") != 0 && strcmp(format, "html") != 0)
    return fail(EXIT_USAGE, "bad --format \"%s\": give text, ansi or html", format);
  char file[PATH_MAX];
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;
  const char *name = o->args[1];
  Library library;
  if (!loadLibrary(&library)) return EXIT_FAILED;

  char fileDirectory[PATH_MAX], self[PATH_ROOM];
  snprintf(fileDirectory, sizeof fileDirectory, "%s", file);
  strrchr(fileDirectory, '/')[1] = 0; /* realpath gave an absolute path */
  hostAddModule(PLUGIN_MODULE_NUMBER, fileDirectory);
  if (plModuleFileName(nullptr, self, sizeof self) <= 0) self[0] = 0;
  StartupInfo info;
  hostFillStartup(&info, PLUGIN_MODULE_NUMBER, self);
  if (!sessionOpenScripted(o->cols ? o->cols : DEFAULT_COLS, o->rows ? o->rows : DEFAULT_ROWS, nullptr, 0))
    return fail(EXIT_FAILED, "cannot open the screen");
  hostSetDrawOnly(1, o->cols == 0); /* on; the screen fits the dialog unless --size was given */
  library.init(info);
  renderLngMode = o->lngMode;
  HMODULE own = plModuleOfAddress((const void *)&SetLngMode);
  /* What tessel check says of this dialog and of the file as a whole. */
  author::Options checking;
  checking.codepage = atoi(o->codepage);
  author::Analysis analysis = author::analyzeFile(file, checking);
  DialogData *dialog = library.load(own, PLUGIN_MODULE_NUMBER, file, name);
  if (!dialog) return reportNoDialog(analysis, o->args[0], name);
  author::keepFindingsOf(&analysis, name);
  if (!o->quiet) printFindings(stderr, o->args[0], analysis);
  library.show(dialog);
  library.release(dialog);
  status = writeScreen(format, name);
  if (status == EXIT_OK && o->watch) {
    Frame frame = {&library, own, file, o->args[0], name, format, &checking, o->quiet};
    status = watchRender(file, o->args[0], name, checking, drawAgain, &frame);
  }
  sessionClose();
  return status;
}
