/*
 * The table of finding kinds, made from their one list in findings.h: each
 * kind's code, severity and message format. The severity says how sure we
 * are that the author did not mean what the library will do; the texts say
 * what the library does, in its own words.
 */
#include "author/findings.h"

namespace author {

namespace {

const KindInfo kKinds[] = {
#define TESSEL_FINDING_ROW(kind, code, severity, format) {code, Severity::severity, format},
    TESSEL_FINDINGS(TESSEL_FINDING_ROW)
#undef TESSEL_FINDING_ROW
};
static_assert(sizeof kKinds / sizeof kKinds[0] == (size_t)Kind::KindCount, "one row per kind");

}  // namespace

std::string substitute(const char *format, const std::vector<std::string> &args) {
  std::string out;
  for (const char *p = format; *p; p++) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '9') {
      size_t i = (size_t)(p[1] - '1');
      if (i < args.size()) out += args[i];
      p++;
    } else {
      out += *p;
    }
  }
  return out;
}

const KindInfo &kindInfo(Kind kind) { return kKinds[(int)kind]; }

Finding makeFinding(Kind kind, Span span, const std::vector<std::string> &args) {
  const KindInfo &info = kindInfo(kind);
  Finding f;
  f.kind = kind;
  f.severity = info.severity;
  f.code = info.code;
  f.message = substitute(info.format, args);
  f.span = span;
  return f;
}

const char *severityName(Severity severity) {
  switch (severity) {
    case Severity::Error:
      return "error";
    case Severity::Warning:
      return "warning";
    default:
      return "note";
  }
}

}  // namespace author
