/*
 * tessel import's importer: reads the dialog item arrays of C sources through
 * the C front end (libclang) and writes the dialog file that loads the same
 * records, one dialog an array. It is built as a module of its own
 * (tessel_import.so, beside tessel), which tessel loads only when it runs
 * `import`: the C front end is large, and no other command should pay for
 * loading it.
 */
#ifndef TESSEL_IMPORT_IMPORT_H
#define TESSEL_IMPORT_IMPORT_H

#include <string>
#include <vector>

#include "author/findings.h"
#include "dialog/dialog.h"

namespace import {

/* Where something stands in a C source: the file as the C front end names
   it, a 1-based line and byte column (0: the file as a whole). */
struct Place {
  std::string file;
  unsigned line = 0, column = 0;
};

/* What the importer says of a source: a code of the form import-..., so
   that scripts match on it. */
struct Finding {
  Place place;
  author::Severity severity;
  std::string code;
  std::string message;
};

struct Request {
  std::vector<std::string> files;  /* C sources, as named on the command line */
  std::vector<std::string> cflags; /* handed to the C front end as they are (-I, -D, -std=...) */
};

struct Result {
  /* Sources that cannot be read or do not compile: one line each in the
     compilers' form (the C front end's errors as it words them). Nothing
     is written then. */
  std::vector<std::string> errors;
  std::vector<Finding> findings;
  std::string text; /* the dialog file; empty when the sources hold no item array */
  int dialogs = 0;
};

/* Imports the sources of request. */
Result importSources(const Request &request);

/* The finding as one line in the compilers' form, without its line end
   (inline: tessel prints what the module found). */
inline std::string findingLine(const Finding &f) {
  std::string where = f.place.file + ":";
  if (f.place.line) where += std::to_string(f.place.line) + ":" + std::to_string(f.place.column) + ":";
  return where + " " + author::severityName(f.severity) + ": " + f.message + " [" + f.code + "]";
}

}  // namespace import

/* The module's one export, which tessel looks up by this name. */
#define TESSEL_IMPORT_ENTRY "tesselImportSources"
extern "C" TS_EXPORT void tesselImportSources(const import::Request *request, import::Result *result);
typedef void (*TesselImportFn)(const import::Request *request, import::Result *result);

#endif
