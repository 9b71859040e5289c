/*
 * The report of a dialog that a file does not define: the no-such-dialog
 * finding with the list of the file's dialogs, and the header line that
 * meant to open it (a misspelt `name`, a cut name, a byte-order mark) as a
 * note of that finding.
 */
#include "tessel/no_dialog.h"

#include <string>

#include "host/session.h"
#include "tessel/check.h"
#include "tessel/options.h"

namespace {

/* Room of the list of the file's dialogs in the report, in bytes. */
enum { LISTED_ROOM = 400 };

/* Whether a finding of kind concerns a line that may have meant to open a
   dialog. */
bool isHeaderKind(author::Kind kind) {
  static const author::Kind kHeaderKinds[] = {
      author::Kind::NotAHeader,       author::Kind::NotAHeaderWord, author::Kind::NotAHeaderTab,
      author::Kind::NotAHeaderRunsOn, author::Kind::NameCut,        author::Kind::EmptyDialog,
      author::Kind::NameTooLong,      author::Kind::HeaderTypo,     author::Kind::ByteOrderMark};
  for (author::Kind k : kHeaderKinds)
    if (kind == k) return true;
  return false;
}

/* The finding on the line of the file that most likely meant to open dialog
   name: a header that opens no dialog, or opens a cut name, or a section of
   that name without items, the first whose line holds the name, else the
   first of them; null when there is none. */
const author::Finding *nearMiss(const author::Analysis &a, const char *name) {
  const author::Finding *best = nullptr;
  for (const author::Finding &f : a.findings) {
    if (!isHeaderKind(f.kind)) continue;
    if (author::lineText(a, f.span.line).find(name) != std::string::npos) return &f;
    if (!best) best = &f;
  }
  return best;
}

/* The file's dialogs as the plug-in lists them, "A, B", cut with ", ..."
   where the list outgrows LISTED_ROOM. */
std::string listedNames(const author::Analysis &a) {
  std::string names;
  for (const std::string &listed : a.listed) {
    if (names.size() + listed.size() + 2 >= LISTED_ROOM) {
      names += ", ...";
      break;
    }
    names += (names.empty() ? "" : ", ") + listed;
  }
  return names;
}

}  // namespace

int reportNoDialog(const char *file, const char *shown, const char *name, author::Options reading) {
  reading.dialog.clear(); /* every line: the near miss may lie anywhere */
  author::Analysis a = author::analyzeFile(file, reading);
  std::string names = listedNames(a);
  author::Finding report = author::makeFinding(author::Kind::NoSuchDialog, author::Span(),
                                               {name, " with items" + (names.empty() ? "" : "; it defines: " + names)});
  if (const author::Finding *miss = nearMiss(a, name)) {
    author::Finding note = *miss;
    note.severity = author::Severity::Note;
    note.message = "the nearest miss: " + note.message;
    note.notes.clear();
    report.notes.push_back(note);
  }
  sessionClose();
  printFinding(stderr, shown, report);
  return EXIT_FAILED;
}
