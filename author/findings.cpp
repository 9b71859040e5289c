/*
 * The table of finding kinds: each code's severity and message format. The
 * severity says how sure we are that the author did not mean what the library
 * will do; the texts say what the library does, in its own words.
 */
#include "author/findings.h"

namespace author {

namespace {

const KindInfo kKinds[] = {
    {"cannot-open", Severity::Error, "cannot read the file: %1"},
    {"not-an-item", Severity::Error, "not an item, the library skips this line: %1"},
    {"unknown-type", Severity::Error, "`%1` is no item type, the library skips this line%2"},
    {"indented-item", Severity::Error,
     "item line begins with white space: the type must stand in the first column, the library skips this line"},
    {"not-a-header", Severity::Error, "this line ends the section but opens no dialog: %1"},
    {"name-cut", Severity::Warning, "the dialog name is one word: this line opens \"%1\" and ignores `%2`"},
    {"name-too-long", Severity::Error, "%1"},
    {"duplicate-dialog", Severity::Error,
     "dialog \"%1\" is defined again: loading it always gives the first, and the dialog list goes back to "
     "the dialog after the first, so %2"},
    {"empty-name", Severity::Error,
     "this header opens a dialog without a name: no load can ask for it, and the dialog list ends here"},
    {"empty-dialog", Severity::Error, "dialog \"%1\" has no items: loading it gives nothing"},
    {"no-such-dialog", Severity::Error, "the file defines no dialog \"%1\"%2"},
    {"too-many-items", Severity::Error,
     "dialog \"%1\" already has 512 items: this item and the %2 after it are not loaded"},
    {"too-many-dialogs", Severity::Warning,
     "the plug-in's dialog list holds 100 dialogs: \"%1\" and the dialogs after it are not listed"},
    {"line-too-long", Severity::Error,
     "line is %1 bytes long: the library reads lines 999 bytes at a time, so from column 1000 on it reads as "
     "a line of its own%2"},
    {"field-too-long", Severity::Error, "%1"},
    {"enum-table-full", Severity::Error,
     "the ENUM table is full (100 names): `%1` and the names after it in this block are dropped"},
    {"enum-no-brace", Severity::Error,
     "ENUM is not followed by `{`: every load shows \"Enum error\" (the names are read all the same)"},
    {"unterminated-enum", Severity::Error,
     "ENUM block never closes: every load shows \"Enum closing error\"; the scan read names up to line %1 and "
     "then skipped to the end of the file"},
    {"enum-not-read", Severity::Warning,
     "this ENUM block is not read: the line before holds a lone word, so the ENUM scan takes this line as "
     "that word's rest"},
    {"duplicate-enum", Severity::Warning, "`%1` is declared again: the later one (%2) wins"},
    {"one-letter-field", Severity::Warning,
     "the %1 field takes one character: `%2` gives `%3`, and `%4` is read as the next field"},
    {"unknown-identifier", Severity::Warning, "identifier `%1` is no ENUM name and no number: %2%3"},
    {"unknown-flag", Severity::Warning, "`%1` is no flag or colour name, it is ignored%2"},
    {"number-flag", Severity::Warning, "the number %1 in a flag list counts as a flag position: it gives %2"},
    {"unknown-message", Severity::Warning,
     "message name `%1` is not in the ENUM table: the text is empty in language mode 0%2"},
    {"unknown-selected", Severity::Warning, "selected `%1` is none of T, F, 1, 0, an ENUM name or a number: %2%3"},
    {"unknown-source", Severity::Warning, "text source `%%1%` is none of %L%, %R%, %T%, %V%: the text is empty"},
    {"outside-dialog", Severity::Warning, "%1"},
    {"overlap", Severity::Warning, "%1"},
    {"text-overflow", Severity::Warning, "%1"},
    {"hotkey-clash", Severity::Warning, "hot key `%1` is also the hot key of item %2 (line %3)"},
    {"default-button", Severity::Warning, "%1"},
    {"cancel-id", Severity::Warning, "button \"%1\" has the identifier -1: pressing it reads as a cancel"},
    {"utf8-text", Severity::Warning, "text holds UTF-8 bytes, but the host shows code page %1, so it reads `%2`"},
    {"not-in-codepage", Severity::Error,
     "the character U+%1 has no byte in code page %2: the file cannot hold it as the host reads it, and the "
     "library would read `?` here"},
    {"byte-order-mark", Severity::Error,
     "the file begins with a UTF-8 byte-order mark: the library reads its three bytes as the start of the first "
     "line, so %1"},
    {"item-before-name", Severity::Error,
     "item line before any `name` line: it belongs to no dialog, and no load reads it%1"},
    {"duplicate-id", Severity::Warning,
     "identifier %1 is also that of %2 (line %3): reading back or changing an item by identifier reaches only "
     "the first"},
    {"two-focus", Severity::Warning,
     "a second item with the focus: %1 (line %2) has it already, and the host focuses the first"},
    {"tab-in-text", Severity::Warning,
     "the text holds a tab: the host's window draws it as one character cell, not as blanks up to a tab stop"},
    {"missing-field", Severity::Error,
     "a field seems to be missing: %2 stands where %1 field goes, so it and every field after it are read "
     "one place early"},
    {"header-typo", Severity::Error,
     "`%1` is not `name`: this line opens no dialog, and the library passes over it and the item lines after it%2"},
    {"text-rest-dropped", Severity::Warning,
     "`%1` after %2 is dropped: the library reads one word, or one quoted text, there; quote a text of "
     "several words"},
    {"", Severity::Note, "first defined here"},
    {"", Severity::Note, "first declared here"},
};
static_assert(sizeof kKinds / sizeof kKinds[0] == (size_t)Kind::KindCount, "one row per kind");

/* format with %1..%4 replaced by args (missing ones by nothing). */
std::string substitute(const char *format, const std::vector<std::string> &args) {
  std::string out;
  for (const char *p = format; *p; p++) {
    if (p[0] == '%' && p[1] >= '1' && p[1] <= '4') {
      size_t i = (size_t)(p[1] - '1');
      if (i < args.size()) out += args[i];
      p++;
    } else {
      out += *p;
    }
  }
  return out;
}

}  // namespace

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
