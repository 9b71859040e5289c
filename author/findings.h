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

/* Every kind of finding, in the order of the table in findings.cpp. */
enum class Kind {
  CannotOpen,
  NotAnItem,
  UnknownType,
  IndentedItem,
  NotAHeader,
  NameCut,
  NameTooLong,
  DuplicateDialog,
  EmptyName,
  EmptyDialog,
  NoSuchDialog,
  TooManyItems,
  TooManyDialogs,
  LineTooLong,
  FieldTooLong,
  EnumTableFull,
  EnumNoBrace,
  UnterminatedEnum,
  EnumNotRead,
  DuplicateEnum,
  OneLetterField,
  UnknownIdentifier,
  UnknownFlag,
  NumberFlag,
  UnknownMessage,
  UnknownSelected,
  UnknownSource,
  OutsideDialog,
  Overlap,
  TextOverflow,
  HotkeyClash,
  DefaultButton,
  CancelId,
  Utf8Text,
  NotInCodePage,
  ByteOrderMark,
  ItemBeforeName,
  DuplicateId,
  TwoFocus,
  TabInText,
  MissingField,
  HeaderTypo,
  TextRestDropped,
  FirstDefinedHere, /* notes */
  DeclaredHere,
  KindCount
};

struct KindInfo {
  const char *code;
  Severity severity;
  const char *format; /* %1 to %4 stand for the arguments */
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
};

/* A finding of kind at span with up to four arguments substituted. */
Finding makeFinding(Kind kind, Span span, const std::vector<std::string> &args = {});

const char *severityName(Severity severity);

}  // namespace author

#endif
