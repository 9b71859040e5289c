/*
 * tessel import: the dialog item arrays of C sources as a dialog file, on
 * standard output or through a temporary file renamed over the -o file. The
 * importer (tessel_import.so, beside tessel) is loaded only here, since the C
 * front end it links is large; it reports what the sources' compiler
 * reports, and what it cannot translate, in the compilers' form.
 */
#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include <string>

#include "import/import.h"
#include "tessel/command.h"
#include "tessel/file_io.h"
#include "tessel/modules.h"
#include "tessel/options.h"

namespace {

const char kImportUsage[] =
    "usage: tessel import FILE.c... [-o FILE.dlg [--force]] [--cflag ARG | -I DIR | -D NAME]...\n"
    "\n"
    "Reads the dialog item arrays of C sources through a C front end (libclang),\n"
    "which compiles each source as a compiler does and evaluates every constant\n"
    "expression, and writes a dialog file that loads the same records: one dialog\n"
    "an array (named after it), one item line an element, the identifier of each\n"
    "item its index. An array counts when its elements are records with the\n"
    "item's fields in the item's order: type, x1, y1, x2, y2, focus, selected (or\n"
    "param, history, mask, or a union), flags, defaultbutton and data (or text or\n"
    "name), in any letter case; data either a char array holding the text, or a\n"
    "pointer or integer holding a string literal or a message number (as\n"
    "(const char *)MTitle). Types and flags are written with the library's own\n"
    "names; a message number written as an enum constant or macro is written as\n"
    "that name, listed at its number in the first ENUM block (%L% MTitle), and so\n"
    "is an index that a designator ([eOk] = ...) or the array's enum size names.\n"
    "What a dialog file cannot give as the compiler builds it (a text computed at\n"
    "run time, a negative column, a name whose number a gap in its enum puts out\n"
    "of place) is a finding, FILE:LINE:COL: warning|note: ... [import-...], and a\n"
    "`;` comment above the item's line; the line keeps the item's place with the\n"
    "nearest value it can give. A source that does not compile gives the C front\n"
    "end's errors, and nothing is written.\n";

const char kImportExitStatus[] =
    "Exit status: 0 written (findings may have been printed), 1 nothing written (a\n"
    "source does not compile or cannot be read, no item array, or the file cannot\n"
    "be written), 2 bad usage, or the -o file exists and --force is not given.\n";

/* The importer's entry point, from the module beside tessel; null after
   saying why it cannot be had. */
TesselImportFn loadImporter() {
#ifdef TESSEL_IMPORT_MODULE
  char directory[PATH_ROOM];
  if (!programDirectory(directory, sizeof directory)) {
    fail(EXIT_FAILED, "cannot find tessel's own directory, where %s lies", TESSEL_IMPORT_MODULE);
    return nullptr;
  }
  std::string path = std::string(directory) + TESSEL_IMPORT_MODULE;
  HMODULE module = plLoadLibrary(path.c_str());
  if (!module) {
    fail(EXIT_FAILED, "cannot load the importer %s (error %s)", path.c_str(), std::to_string(plGetLastError()).c_str());
    return nullptr;
  }
  void *entry = plFindExport(module, TESSEL_IMPORT_ENTRY);
  if (!entry) fail(EXIT_FAILED, "the importer %s has no entry %s", path.c_str(), TESSEL_IMPORT_ENTRY);
  return reinterpret_cast<TesselImportFn>(entry);
#else
  fail(EXIT_FAILED, "%s",
       "this build of tessel has no importer: tessel import runs libclang, which comes with the "
       "Linux build; run it there");
  return nullptr;
#endif
}

/* Writes text where o says; the exit status. */
int writeOutput(const Options *o, const std::string &text) {
  if (!o->output) {
    fwrite(text.data(), 1, text.size(), stdout);
    return fflush(stdout) == 0 ? EXIT_OK : fail(EXIT_FAILED, "cannot write to standard output: %s", strerror(errno));
  }
  int code = replaceFile(o->output, text);
  return code ? fail(EXIT_FAILED, "%s: cannot write the file: %s", o->output, strerror(code)) : EXIT_OK;
}

}  // namespace

int cmdImport(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_IMPORT, kImportUsage, kImportExitStatus);
  if (o->args.empty()) return commandUsageError("import", "%s", "no C source given");
  if (o->force && !o->output) return commandUsageError("import", "%s", "--force replaces the -o file: give one");
  struct stat st;
  if (o->output) {
    for (const char *file : o->args)
      if (sameFile(file, o->output))
        return fail(EXIT_FAILED, "%s: -o names a C source: it is left as it is", o->output);
    if (!o->force && stat(o->output, &st) == 0)
      return fail(EXIT_USAGE, "%s exists: it is left as it is (give --force to replace it)", o->output);
  }
  TesselImportFn importSources = loadImporter();
  if (!importSources) return EXIT_FAILED;

  import::Request request;
  request.files.assign(o->args.begin(), o->args.end());
  request.cflags.assign(o->cflags.begin(), o->cflags.end());
  import::Result result;
  importSources(&request, &result);
  for (const std::string &error : result.errors) fprintf(stderr, "%s\n", error.c_str());
  for (const import::Finding &finding : result.findings) fprintf(stderr, "%s\n", import::findingLine(finding).c_str());
  if (!result.errors.empty()) return EXIT_FAILED;
  if (result.text.empty()) return fail(EXIT_FAILED, "%s", "nothing written: the sources hold no array of dialog items");
  return writeOutput(o, result.text);
}
