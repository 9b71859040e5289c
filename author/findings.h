/*
 * The findings of the authoring tools: one table of finding kinds (a stable
 * code, a severity and a message format), and the finding record that the
 * engine emits by kind with its arguments, so that wording, severity and
 * code never drift apart between check, render, watch and the editor.
 */
#ifndef TESSEL_AUTHOR_FINDINGS_H
#define TESSEL_AUTHOR_FINDINGS_H

#include <string>
#include <vector>

namespace author {

enum class Severity { Error, Warning, Note };

/* Every kind of finding, declared once: X(kind, code, severity, format).
   %1 to %9 in a format stand for the arguments, given in that order at the
   call site, limits among them, so no finding is worded where it is made.
   Several kinds may share a code: they are one mistake said for different
   places (past the dialog, past a box, outside its frame). A code of its
   own is stable: editors and scripts match on it. Notes have no code. */
#define TESSEL_FINDINGS(X)                                                                                             \
  X(CannotOpen, "cannot-open", Error, "cannot read the file: %1")                                                      \
  X(NotAnItem, "not-an-item", Error,                                                                                   \
    "not an item, the library skips this line: it has %1 of the %2 required fields and lacks field %1, %3")            \
  X(NotDigits, "not-an-item", Error,                                                                                   \
    "not an item, the library skips this line: field %1, %2, must be decimal digits: found `%3`")                      \
  X(FieldUnread, "not-an-item", Error,                                                                                 \
    "not an item, the library skips this line: field %1, %2, cannot be read: found `%3`")                              \
  X(UnknownType, "unknown-type", Error, "`%1` is no item type, the library skips this line%2")                         \
  X(IndentedItem, "indented-item", Error,                                                                              \
    "item line begins with white space: the type must stand in the first column, the library skips this line")         \
  X(NotAHeader, "not-a-header", Error, "this line ends the section but opens no dialog: no dialog name follows `%1`")  \
  X(NotAHeaderWord, "not-a-header", Error,                                                                             \
    "this line ends the section but opens no dialog: its first word `%1` only begins with `name`")                     \
  X(NotAHeaderTab, "not-a-header", Error,                                                                              \
    "this line ends the section but opens no dialog: a tab follows `%1`, and only a space may")                        \
  X(NotAHeaderRunsOn, "not-a-header", Error, "this line ends the section but opens no dialog: `%1` runs on into `%2`") \
  X(NameCut, "name-cut", Warning, "the dialog name is one word: this line opens \"%1\" and ignores `%2`")              \
  X(NameTooLong, "name-too-long", Error,                                                                               \
    "dialog name is %1 bytes long: the library keeps %2 of them, so a load by the whole name finds nothing")           \
  X(EnumNameTooLong, "name-too-long", Error, "ENUM name is %1 bytes long: the library keeps %2 of them")               \
  X(DuplicateDialog, "duplicate-dialog", Error,                                                                        \
    "dialog \"%1\" is defined again: loading it always gives the first, and the dialog list goes back to the "         \
    "dialog after the first, so %2")                                                                                   \
  X(EmptyName, "empty-name", Error,                                                                                    \
    "this header opens a dialog without a name: no load can ask for it, and the dialog list ends here")                \
  X(EmptyDialog, "empty-dialog", Error, "dialog \"%1\" has no items: loading it gives nothing")                        \
  X(NoSuchDialog, "no-such-dialog", Error, "the file defines no dialog \"%1\"%2")                                      \
  X(TooManyItems, "too-many-items", Error,                                                                             \
    "dialog \"%1\" already has %3 items: this item and the %2 after it are not loaded")                                \
  X(TooManyDialogs, "too-many-dialogs", Warning,                                                                       \
    "the plug-in's dialog list holds %2 dialogs: \"%1\" and the dialogs after it are not listed")                      \
  X(LineTooLong, "line-too-long", Error,                                                                               \
    "line is %1 bytes long: the library reads lines %2 bytes at a time, so from column %3 on it reads as a line of "   \
    "its own")                                                                                                         \
  X(FieldTooLong, "field-too-long", Error,                                                                             \
    "the fields of an item line share %1 bytes: %2 is cut to %3 of its %4 bytes")                                      \
  X(EnumTableFull, "enum-table-full", Error,                                                                           \
    "the ENUM table is full (%2 names): `%1` and the names after it in this block are dropped")                        \
  X(EnumNoBrace, "enum-no-brace", Error,                                                                               \
    "ENUM is not followed by `{`: every load shows \"Enum error\" (the names are read all the same)")                  \
  X(UnterminatedEnum, "unterminated-enum", Error,                                                                      \
    "ENUM block never closes: every load shows \"Enum closing error\"; the scan read names up to line %1 and then "    \
    "skipped to the end of the file")                                                                                  \
  X(EnumNotRead, "enum-not-read", Warning,                                                                             \
    "this ENUM block is not read: the line before holds a lone word, so the ENUM scan takes this line as that "        \
    "word's rest")                                                                                                     \
  X(DuplicateEnum, "duplicate-enum", Warning, "`%1` is declared again: the later one (%2) wins")                       \
  X(OneLetterField, "one-letter-field", Warning,                                                                       \
    "the %1 field takes one character: `%2` gives `%3`, and `%4` is read as the next field")                           \
  X(UnknownIdentifier, "unknown-identifier", Warning,                                                                  \
    "identifier `%1` is no ENUM name and no number: the item gets -1%2")                                               \
  X(IdentifierAsNumber, "unknown-identifier", Warning,                                                                 \
    "identifier `%1` is no ENUM name and no number: it reads as the number %2%3")                                      \
  X(UnknownFlag, "unknown-flag", Warning, "`%1` is no flag or colour name, it is ignored%2")                           \
  X(NumberFlag, "number-flag", Warning, "the number %1 in a flag list counts as a flag position: it gives %2")         \
  X(UnknownMessage, "unknown-message", Warning,                                                                        \
    "message name `%1` is not in the ENUM table: the text is empty in language mode 0%2")                              \
  X(UnknownSelected, "unknown-selected", Warning,                                                                      \
    "selected `%1` is none of T, F, 1, 0, an ENUM name or a number: it gives 0%2")                                     \
  X(SelectedAsMessage, "unknown-selected", Warning,                                                                    \
    "selected `%1` is none of T, F, 1, 0, an ENUM name or a number: it reads as message %2%3")                         \
  X(UnknownSource, "unknown-source", Warning, "text source `%%1%` is none of %L%, %R%, %T%, %V%: the text is empty")   \
  X(PastDialog, "outside-dialog", Warning, "%1 reaches column %2, row %3: past the dialog, which is %4 by %5")         \
  X(TextPastDialog, "text-overflow", Warning, "%1 reaches column %2, row %3: past the dialog, which is %4 by %5")      \
  X(BottomRowGrows, "outside-dialog", Warning,                                                                         \
    "%1 is one row high, on row %2, but its bottom row %3 counts for the dialog's size: the dialog grows by rows "     \
    "that nothing is drawn on")                                                                                        \
  X(BoxPastBox, "outside-dialog", Warning,                                                                             \
    "%1 reaches column %2, row %3: past the box of line %4, which ends at column %5, row %6")                          \
  X(OutsideFrame, "outside-dialog", Warning,                                                                           \
    "%1 at column %2, row %3 lies outside the dialog's frame, the box of line %4 (rows %5 to %6)")                     \
  X(PastBox, "outside-dialog", Warning,                                                                                \
    "%1 reaches column %2: past the box of line %3, whose inside ends at column %4")                                   \
  X(TextPastBox, "text-overflow", Warning,                                                                             \
    "%1 reaches column %2: past the box of line %3, whose inside ends at column %4")                                   \
  X(FixedTextTooLong, "text-overflow", Warning,                                                                        \
    "the fixed field's text is %1 long, but the field holds %2: the user sees and edits the first %2, and the "        \
    "plug-in reads back the rest unseen")                                                                              \
  X(BoxTitleTooWide, "text-overflow", Warning, "box title %1 is %2 wide: the box's top edge has room for %3")          \
  X(OnFrameRow, "overlap", Warning, "%1 stands on row %2, the frame of the box of line %3, and is drawn over it")      \
  X(Overlap, "overlap", Warning, "%1 shares row %2, columns %3 to %4, with %5 of line %6")                             \
  X(HotkeyClash, "hotkey-clash", Warning, "hot key `%1` is also the hot key of item %2 (line %3)")                     \
  X(NoDefaultButton, "default-button", Warning,                                                                        \
    "dialog \"%1\" has buttons but no default one: Enter has no button to press")                                      \
  X(SecondDefault, "default-button", Warning, "a second default item: %1 of line %2 is one already")                   \
  X(CancelId, "cancel-id", Warning, "button \"%1\" has the identifier -1: pressing it reads as a cancel")              \
  X(Utf8Text, "utf8-text", Warning, "text holds UTF-8 bytes, but the host shows code page %1, so it reads `%2`")       \
  X(NotInCodePage, "not-in-codepage", Error,                                                                           \
    "the character U+%1 has no byte in code page %2: the file cannot hold it as the host reads it, and the library "   \
    "would read `?` here")                                                                                             \
  X(ByteOrderMark, "byte-order-mark", Error,                                                                           \
    "the file begins with a UTF-8 byte-order mark: the library reads its three bytes as the start of the first line, " \
    "so the `name` line there opens no dialog, and its items belong to none")                                          \
  X(MarkBeforeEnum, "byte-order-mark", Error,                                                                          \
    "the file begins with a UTF-8 byte-order mark: the library reads its three bytes as the start of the first line, " \
    "so the ENUM block there is not read")                                                                             \
  X(ItemBeforeName, "item-before-name", Error,                                                                         \
    "item line before any `name` line: it belongs to no dialog, and no load reads it%1")                               \
  X(DuplicateId, "duplicate-id", Warning,                                                                              \
    "identifier %1 is also that of %2 (line %3): reading back or changing an item by identifier reaches only the "     \
    "first")                                                                                                           \
  X(TwoFocus, "two-focus", Warning,                                                                                    \
    "a second item with the focus: %1 (line %2) has it already, and the host focuses the first")                       \
  X(TabInText, "tab-in-text", Warning,                                                                                 \
    "the text holds a tab: the host's window draws it as one character cell, not as blanks up to a tab stop")          \
  X(MissingField, "missing-field", Error,                                                                              \
    "a field seems to be missing: %2 stands where %1 field goes, so it and every field after it are read one place "   \
    "early")                                                                                                           \
  X(HeaderTypo, "header-typo", Error,                                                                                  \
    "`%1` is not `name`: this line opens no dialog, and the library passes over it and the item lines after it%2")     \
  X(TextRestDropped, "text-rest-dropped", Warning,                                                                     \
    "`%1` after %2 is dropped: the library reads one word, or one quoted text, there; quote a text of several words")  \
  X(LngNoHeader, "lng-header", Error,                                                                                  \
    "no `.Language=` line: the host picks this file for no language, only when none names the language asked for, "    \
    "none is English and it comes first by name")                                                                      \
  X(LngEmptyLanguage, "lng-header", Error,                                                                             \
    "`.Language=` names no language before its comma: the host picks this file for no language")                       \
  X(LngShadowed, "lng-unused", Warning, "the host never reads this file: %1 is %2 too and comes first by name")        \
  X(LngMissingMessages, "lng-message-count", Error,                                                                    \
    "%1, but the first ENUM (line %2 of %3) names %4: from `%5` (message %6) on, the %7 texts show empty")             \
  X(LngExtraMessages, "lng-message-count", Warning,                                                                    \
    "%1, but the first ENUM (line %2 of %3) names %4: this message (number %4) and the %5 after it belong to no name") \
  X(LngExtraMessage, "lng-message-count", Warning,                                                                     \
    "%1, but the first ENUM (line %2 of %3) names %4: this last message (number %4) belongs to no name")               \
  X(LngUnclosed, "lng-unclosed-quote", Warning,                                                                        \
    "message %1 has no closing quote: its text runs to the end of the line, `%2`")                                     \
  X(LngUnknownEscape, "lng-unknown-escape", Warning,                                                                   \
    "`\\%1` is no escape the host knows (\\\\, \\\", \\n, \\t): message %2 shows the backslash as written")            \
  X(LngNulByte, "lng-binary", Error, "a NUL byte: is this a language file? The host's text of message %1 ends here")   \
  X(LngUndefinedByte, "not-in-codepage", Warning,                                                                      \
    "byte 0x%1 is no character of code page %2: message %3 cannot show it")                                            \
  X(LngMore, "", Note, "and %1 more `%2` findings in this file, not listed, the last on this line")                    \
  X(InLanguage, "", Note, "with the %1 texts of %2: %3")                                                               \
  X(LanguageText, "", Note, "the %1 text of `%2` (message %3) is `%4`")                                                \
  X(LngProbablyLost, "", Note,                                                                                         \
    "from here on, the texts match the %1 texts one message later: the message lost is probably `%2` (message %3)")    \
  X(FirstDefinedHere, "", Note, "first defined here")                                                                  \
  X(DeclaredHere, "", Note, "first declared here")

enum class Kind {
#define TESSEL_FINDING_KIND(kind, code, severity, format) kind,
  TESSEL_FINDINGS(TESSEL_FINDING_KIND)
#undef TESSEL_FINDING_KIND
      KindCount
};

struct KindInfo {
  const char *code;
  Severity severity;
  const char *format; /* %1 to %9 stand for the arguments */
};

/* The table row of a kind. */
const KindInfo &kindInfo(Kind kind);

/* A span of a file: 1-based lines, 1-based byte columns, end exclusive. */
struct Span {
  int line = 1, column = 1, endLine = 1, endColumn = 1;
};

struct Finding {
  Kind kind;
  Severity severity;
  const char *code;
  std::string message;
  Span span;
  int section = -1;           /* index of the dialog section, -1 for the file */
  std::string suggestion;     /* the name the message proposes instead of the one at span, or empty */
  std::vector<Finding> notes; /* printed after it, as "note:" */
  std::string file;           /* the file it lies in, when another than the one analysed (a language file) */
  bool fromLanguage = false;  /* the layout judged with a language file's texts made it */
};

/* format with %1 to %9 replaced by args (a missing one by nothing): the
   wording of every finding table (the importer's too). */
std::string substitute(const char *format, const std::vector<std::string> &args);

/* A finding of kind at span with its arguments substituted. */
Finding makeFinding(Kind kind, Span span, const std::vector<std::string> &args = {});

const char *severityName(Severity severity);

}  // namespace author

#endif
