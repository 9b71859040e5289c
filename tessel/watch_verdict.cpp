/*
 * The verdict on a new version of a watched dialog file: its size, then what
 * tessel check finds in it and whether it defines a dialog; and the summary
 * line of its findings.
 */
#include "tessel/watch_verdict.h"

#include <sys/stat.h>

#include <algorithm>

#include "author/languages.h"

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
  if (first)
    line += ": " + (first->file.empty() ? shown : first->file) + ":" + std::to_string(first->span.line) + ": " +
            first->message;
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
  *a = author::analyzeWithLanguages(file, options, {});
  /* The language files' own errors do not keep the last version: the new one
     shows what they do. */
  bool broken = std::any_of(a->findings.begin(), a->findings.end(), [](const author::Finding &f) {
    return f.severity == author::Severity::Error && f.file.empty();
  });
  if (broken) {
    *problem = watchSummary(*a, shown);
    return 0;
  }
  if (a->listed.empty()) {
    *problem = shown + " defines no dialog";
    return 0;
  }
  return 1;
}
