/*
 * The table of the importer's finding kinds, made from their one list in
 * findings.h.
 */
#include "import/findings.h"

namespace import {

namespace {

struct KindRow {
  const char *code;
  author::Severity severity;
  const char *format;
};

const KindRow kKinds[] = {
#define TESSEL_IMPORT_ROW(kind, code, severity, format) {code, author::Severity::severity, format},
    TESSEL_IMPORT_FINDINGS(TESSEL_IMPORT_ROW)
#undef TESSEL_IMPORT_ROW
};

}  // namespace

Finding makeFinding(Kind kind, const Place &place, const std::vector<std::string> &args) {
  const KindRow &row = kKinds[(int)kind];
  return Finding{place, row.severity, row.code, author::substitute(row.format, args)};
}

}  // namespace import
