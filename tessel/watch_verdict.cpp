/*
 * The verdict on a new version of a watched dialog file: its size, then what
 * tessel check finds in it and whether it defines a dialog; and the summary
 * line of its findings.
 */
#include "tessel/watch_verdict.h"

#include <sys/stat.h>

namespace {

/* "1 error", "2 warnings". */
std::string counted(int n, const char *what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

}  // namespace

std::string watchSummary(const author::Analysis &a, const std::string &shown) {
  int errors = author::countSeverity(a, author::Severity::Error);
  int warnings = author::countSeverity(a, author::Severity::Warning);
  if (errors == 0 && warnings == 0) return std::string();
  const author::Finding *first = nullptr;
  for (const author::Finding &f : a.findings)
    if (f.severity == (errors ? author::Severity::Error : author::Severity::Warning)) {
      first = &f;
      break;
    }
  std::string line = counted(errors, "error") + ", " + counted(warnings, "warning");
  if (first) line += ": " + shown + ":" + std::to_string(first->span.line) + ": " + first->message;
  return line;
}

int watchExamine(const std::string &file, const std::string &shown, const author::Options &options, author::Analysis *a,
                 std::string *problem) {
  struct stat st;
  if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kWatchMaxFileSize) {
    *problem = shown + " holds " + std::to_string((long long)(st.st_size >> 20)) + " MB, more than the " +
               std::to_string(kWatchMaxFileSize >> 20) + " MB a preview reads";
    return 0;
  }
  *a = author::analyzeFile(file, options);
  if (author::countSeverity(*a, author::Severity::Error) > 0) {
    *problem = watchSummary(*a, shown);
    return 0;
  }
  if (a->listed.empty()) {
    *problem = shown + " defines no dialog";
    return 0;
  }
  return 1;
}
