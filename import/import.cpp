/*
 * The importer's entry: each C source read through the C front end, and,
 * when every one compiles and some hold item arrays, the dialog file of all
 * their arrays.
 */
#include "import/import.h"

#include <errno.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>

#include "import/c_items.h"
#include "import/dlg_file.h"
#include "import/findings.h"

namespace import {

namespace {

/* 0 when file can be read, else the errno of why not (EISDIR for a directory,
   which opens for reading here and fails only when read). */
int readable(const std::string &file) {
  struct stat st;
  if (stat(file.c_str(), &st) != 0) return errno;
  if (S_ISDIR(st.st_mode)) return EISDIR;
  FILE *f = fopen(file.c_str(), "rb");
  if (!f) return errno;
  fclose(f);
  return 0;
}

}  // namespace

Result importSources(const Request &request) {
  Result result;
  std::vector<CArray> arrays;
  std::map<std::string, std::vector<NamedValue>> enums;
  for (const std::string &file : request.files) {
    if (int code = readable(file)) {
      result.errors.push_back(file +
                              ": error: cannot read the file: " + (code == EISDIR ? "is a directory" : strerror(code)));
      continue;
    }
    CSource source = readSource(file, request.cflags);
    result.errors.insert(result.errors.end(), source.errors.begin(), source.errors.end());
    result.findings.insert(result.findings.end(), source.findings.begin(), source.findings.end());
    arrays.insert(arrays.end(), source.arrays.begin(), source.arrays.end());
    enums.insert(source.enums.begin(), source.enums.end());
    if (source.errors.empty() && source.arrays.empty() && source.findings.empty())
      result.findings.push_back(makeFinding(Kind::NoArrays, {file, 0, 0}, {}));
  }
  if (!result.errors.empty() || arrays.empty()) return result;
  result.text = writeDialogFile(arrays, enums, request.files, &result.findings);
  result.dialogs = (int)arrays.size();
  return result;
}

}  // namespace import

extern "C" void tesselImportSources(const import::Request *request, import::Result *result) {
  *result = import::importSources(*request);
}
