/*
 * The engine's record of a dialog file: what the library makes of every line,
 * the dialogs it defines and the items each one loads, the ENUM table with
 * where each name stands, and the findings. The engine fills it; the checks,
 * the language features and the formatter read it.
 */
#ifndef TESSEL_AUTHOR_ANALYSIS_H
#define TESSEL_AUTHOR_ANALYSIS_H

#include <stdint.h>

#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "author/fields.h"
#include "author/findings.h"
#include "dialog/dialog.h"

namespace author {

/* What the library makes of one line as it reads it (a line longer than the
   library's line buffer is read as several pieces, each a Line here). */
enum class LineKind {
  Ignored,    /* outside every section, or skipped inside one */
  Header,     /* opens a dialog section */
  SectionEnd, /* ends the section and opens none */
  Help,       /* sets the help topic */
  Item,       /* one item of the section */
  PastLimit   /* would be an item, but the section already holds 512 */
};

struct Line {
  long long offset = 0; /* of its first byte in the text */
  int number = 1;       /* 1-based line of the file */
  int column = 1;       /* 1-based byte column where this piece begins */
  std::string text;     /* as the library reads it, without its line feed */
  LineKind kind = LineKind::Ignored;
  int section = -1; /* the section it belongs to, or -1 */
  int item = -1;    /* the item it gives, index within its section, or -1 */
};

/* One item as the library loads it. */
struct Item {
  int line = -1;     /* index into Analysis::lines */
  DialogItem record; /* selected: 0/1, or 1 for a quoted text (see selectedText) */
  int32_t id = -1;
  bool quoted = false;      /* selected was a quoted text */
  std::string selectedText; /* that text */
  ItemFields fields;        /* where its fields lie in its line, read once */
};

struct Section {
  std::string name;
  int headerLine = -1; /* index into lines */
  int helpLine = -1;   /* the help line in force, or -1 */
  std::string helpTopic;
  std::vector<Item> items;
  int32_t width = 0, height = 0;
  bool loaded = true;      /* the first section of a (non-empty) name: the one a load gives */
  bool interpreted = true; /* its lines were read as the loader reads them (Options::dialog) */
  int firstOfName = -1;    /* for a later one, the section a load of its name gives */
};

struct EnumEntry {
  std::string name;
  int32_t value = 0;
  long long offset = 0;
};

struct EnumBlock {
  long long offset = 0; /* the ENUM word */
  long long end = 0;    /* the closing brace, or the end of the text */
  bool opened = true, closed = true;
  int first = 0, count = 0; /* its entries in Analysis::enums */
  long long fullAt = -1;    /* where the full table stopped reading names, or -1 */
};

/* The plug-in's dialog list holds at most this many names. */
constexpr size_t kListLimit = 100;

struct LanguageFile; /* languages.h */

struct Options {
  int lngMode = 0;    /* the language mode the items are read in */
  int codepage = 437; /* the host's 8-bit code page, for the UTF-8 check; 0 skips it */
  std::string dialog; /* when set, only sections of that name are interpreted and checked:
                         the findings are theirs and the file's */
  bool checks = true; /* false: what the library reads, without findings (the formatter's use) */
  /* When set, the layout is judged again with each file's texts (its
     language's findings added). */
  const std::vector<LanguageFile> *languages = nullptr;
};

struct Analysis {
  std::string text;                  /* the file as the library reads it */
  std::vector<long long> lineStarts; /* offset of every line of the file */
  std::vector<Line> lines;
  std::vector<Section> sections;   /* every header, in file order */
  std::vector<std::string> listed; /* the dialog list, as the plug-in builds it */
  std::vector<EnumEntry> enums;
  std::vector<EnumBlock> enumBlocks;
  std::vector<Finding> findings;                     /* in order of position */
  std::unordered_map<std::string, int> firstSection; /* name -> the section a load of it gives */
  std::unordered_set<std::string> enumNames;         /* every name of the ENUM table */
};

/* Index of the first section a load of name gives, or -1. */
int findSection(const Analysis &a, const std::string &name);

/* The text of line number (1-based) as the library read it (its first
   piece), or the empty string. */
std::string lineText(const Analysis &a, int number);

/* Counts of the findings by severity. */
int countSeverity(const Analysis &a, Severity severity);

}  // namespace author

#endif
