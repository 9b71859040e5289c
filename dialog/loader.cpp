/*
 * The description file loader: finds a file by the path rule, reads its ENUM
 * blocks into the library-wide enum table, builds the named dialog's items in
 * the library-wide scratch tables and hands out a DialogData holding copies
 * of them; it also lists a file's dialog names one call at a time.
 */
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"

void *(*tsAllocate)(size_t size) = malloc;

char *enumNames[TS_MAX_ENUMS];
int32_t enumValues[TS_MAX_ENUMS];
int enumCount;

DialogItem scratchItems[TS_MAX_ITEMS];
int32_t scratchIds[TS_MAX_ITEMS];
char *scratchStrings[TS_MAX_ITEMS];

enum {
  TS_PATH_SIZE = TS_MODULE_DIR_SIZE + 1024, /* a module directory and a file name */
  TS_ENUM_NAME_SIZE = 256,  /* an enum name keeps at most 255 characters */
  TS_ENUM_NUMBER_DIGITS = 12 /* significant digits kept of an enum value: past 10 it saturates */
};

static const char kDefaultHelpTopic[] = "Contents";

/* ---- Character classes of the ENUM scan (plain ASCII) ------------------------ */

static inline int isSpace(int c) { return c == ' ' || (unsigned)(c - '\t') <= '\r' - '\t'; }
static inline int isLetter(int c) { return (unsigned)((c | 0x20) - 'a') < 26u; }
static inline int isDigit(int c) { return (unsigned)(c - '0') < 10u; }
static inline int isNameChar(int c) { return isLetter(c) || isDigit(c) || c == '_'; }

/* ---- Reading a file in blocks --------------------------------------------------- */

/* Starts reading file at its current position. */
static void startReading(FileReader *r, FILE *file) {
  r->file = file;
  r->base = 0;
  r->start = r->end = 0;
  r->ended = 0;
}

/* Refills the reader's block from its file; 0 at the end of the file or on a
   read error (the reader then stays at its end). */
static int fillBlock(FileReader *r) {
  if (r->ended) return 0;
  size_t got = fread(r->block, 1, TS_FILE_BLOCK_SIZE, r->file);
  r->base += r->end;
  r->start = 0;
  r->end = (int)got;
  if (got == 0) r->ended = 1;
  return got != 0;
}

/* Nonzero when unread bytes are in the block, after a refill if need be. */
static inline int haveBytes(FileReader *r) { return r->start < r->end || fillBlock(r); }

/* The next character as getc gives it: an unsigned char, or EOF. */
static inline int readChar(FileReader *r) {
  if (!haveBytes(r)) return EOF;
  return (unsigned char)r->block[r->start++];
}

/* Puts back the character just read (never EOF, never more than one). */
static inline void unreadChar(FileReader *r) { r->start--; }

/* Consumes white space (line ends included); the next character stays unread.
   Inline: the ENUM scan calls it after the first word of every line. */
static inline void skipSpace(FileReader *r) {
  while (haveBytes(r)) {
    const char *p = r->block + r->start, *end = r->block + r->end;
    while (p < end && isSpace((unsigned char)*p)) p++;
    r->start = (int)(p - r->block);
    if (p < end) return;
  }
}

/* Consumes the character wanted if it is the next one; returns nonzero when it was. */
static int acceptChar(FileReader *r, int wanted) {
  int c = readChar(r);
  if (c == wanted) return 1;
  if (c != EOF) unreadChar(r);
  return 0;
}

/* Consumes characters up to the next line end (which stays unread). */
static void skipToLineEnd(FileReader *r) {
  while (haveBytes(r)) {
    const char *from = r->block + r->start;
    const char *end = static_cast<const char *>(memchr(from, '\n', (size_t)(r->end - r->start)));
    if (end) {
      r->start += (int)(end - from);
      return;
    }
    r->start = r->end;
  }
}

/* Consumes at most most characters up to and including the next line feed
   (the remainder of a longer line then reads as the start of a line);
   returns 0 when the end of the file came first. */
static int discardRest(FileReader *r, int most) {
  while (most > 0) {
    if (!haveBytes(r)) return 0;
    int span = r->end - r->start;
    if (span > most) span = most;
    const char *from = r->block + r->start;
    const char *end = static_cast<const char *>(memchr(from, '\n', (size_t)span));
    if (end) {
      r->start += (int)(end - from) + 1;
      return 1;
    }
    r->start += span;
    most -= span;
  }
  return 1;
}

/* Reads a word of at most TS_ENUM_WORD_MAX ASCII letters; the character
   after it stays unread. Returns its length and sets *isEnum to whether the
   word, upper-cased, is ENUM. The letters are looked at where they lie, and
   copied only when the word runs across the end of the block. */
static int readWord(FileReader *r, int *isEnum) {
  char word[TS_ENUM_WORD_MAX];
  const char *letters = word;
  int length = 0;
  while (length < TS_ENUM_WORD_MAX && haveBytes(r)) {
    const char *p = r->block + r->start, *blockEnd = r->block + r->end;
    const char *end = blockEnd - p > TS_ENUM_WORD_MAX - length ? p + (TS_ENUM_WORD_MAX - length) : blockEnd;
    const char *q = p;
    while (q < end && isLetter((unsigned char)*q)) q++;
    int piece = (int)(q - p);
    r->start += piece;
    if (length == 0 && (q < blockEnd || piece == TS_ENUM_WORD_MAX)) {
      letters = p; /* the whole word, in the block */
      length = piece;
      break;
    }
    memcpy(word + length, p, (size_t)piece);
    length += piece;
    if (q < blockEnd) break; /* stopped on a character that is no letter, or full */
  }
  *isEnum = length == 4 && (letters[0] & ~0x20) == 'E' && (letters[1] & ~0x20) == 'N' &&
            (letters[2] & ~0x20) == 'U' && (letters[3] & ~0x20) == 'M'; /* letters only */
  return length;
}

/* Reads one line as fgets into TS_LINE_SIZE bytes would (at most
   TS_LINE_SIZE - 1 characters, the line feed included; a longer line is read
   as several) and returns it NUL-terminated without its line feed: inside the
   reader's block when it lies there whole, else copied into line
   (TS_LINE_SIZE bytes). Returns null at the end of the file. */
static const char *readLine(FileReader *r, char *line) {
  const int most = TS_LINE_SIZE - 1;
  if (!haveBytes(r)) return nullptr;
  char *from = r->block + r->start;
  int span = r->end - r->start;
  if (span > most) span = most;
  char *end = static_cast<char *>(memchr(from, '\n', (size_t)span));
  if (end) { /* the common case: the line lies in the block; its feed becomes its end */
    *end = 0;
    r->start += (int)(end - from) + 1;
    return from;
  }
  int length = 0;
  for (;;) {
    from = r->block + r->start;
    span = r->end - r->start;
    if (span > most - length) span = most - length;
    end = static_cast<char *>(memchr(from, '\n', (size_t)span));
    int piece = end ? (int)(end - from) : span;
    memcpy(line + length, from, (size_t)piece);
    length += piece;
    r->start += piece;
    if (end) {
      r->start++; /* the line feed */
      break;
    }
    if (length == most || !fillBlock(r)) break;
  }
  line[length] = 0;
  return line;
}

/* Copies a text into a new block from tsAllocate; null when none can be had. */
static char *copyText(const char *text) {
  size_t size = strlen(text) + 1;
  char *copy = static_cast<char *>(tsAllocate(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

/* ---- ENUM blocks ------------------------------------------------------------------ */

/* Reads an optional sign and a run of digits into *value through the
   library's saturating reader; returns nonzero when digits were read. Every
   digit is consumed, however many there are; a sign without digits is
   consumed too. */
static int readEnumNumber(FileReader *r, int32_t *value) {
  char text[1 + TS_ENUM_NUMBER_DIGITS + 1];
  int length = 0, significant = 0, zeros = 0;
  int c = readChar(r);
  if (c == '+' || c == '-') {
    text[length++] = (char)c;
    c = readChar(r);
  }
  for (; isDigit(c); c = readChar(r)) {
    if (significant == 0 && c == '0') {
      zeros++; /* leading zeros add nothing */
      continue;
    }
    if (significant < TS_ENUM_NUMBER_DIGITS) text[length++] = (char)c;
    significant++;
  }
  if (c != EOF) unreadChar(r);
  if (significant == 0 && zeros == 0) return 0;
  if (significant == 0) text[length++] = '0';
  text[length] = 0;
  *value = tsReadDecimal(text, nullptr, nullptr);
  return 1;
}

/* Reads the next entry name of an ENUM block: clears the last-error code,
   skips comments (a ';', the one character after it, the white space after
   that and the rest of that line) and white space, then takes a run of
   letters, digits and underscores and the white space after it. Returns the
   name as a new block from tsAllocate (the caller owns it; at most 255
   characters are kept, a longer run is consumed whole), or null when no name
   character follows or the copy cannot be made ("StrDup" shown). */
static char *ReadEnumNameAt(FileReader *r, long long *at) {
  plSetLastError(0);
  for (;;) {
    skipSpace(r);
    if (!acceptChar(r, ';')) break;
    if (readChar(r) == EOF) break; /* the character after ';', whatever it is */
    skipSpace(r);
    skipToLineEnd(r);
  }
  skipSpace(r);
  if (haveBytes(r)) *at = tsReaderOffset(r);
  char name[TS_ENUM_NAME_SIZE];
  size_t length = 0;
  int c;
  while ((c = readChar(r)) != EOF && isNameChar(c))
    if (length < sizeof name - 1) name[length++] = (char)c;
  if (c != EOF) unreadChar(r);
  if (length == 0) return nullptr;
  name[length] = 0;
  skipSpace(r);
  char *copy = copyText(name);
  if (!copy) ShowErrorBox("StrDup");
  return copy;
}

char *ReadEnumName(FileReader *r) {
  long long at;
  return ReadEnumNameAt(r, &at);
}

/* Reads one brace-enclosed list of entries NAME or NAME = number, separated
   by optional commas, appending each name (owned by the table from then on)
   and value at *count while the table holds fewer than TS_MAX_ENUMS entries.
   Values count on from 0 and an explicit value restarts the count; they stop
   at the 32-bit maximum instead of wrapping. Whatever follows the last entry
   read is skipped up to the closing brace, which is consumed. Shows "Enum
   error" when the opening brace is missing (the entries are read all the
   same) and "Enum closing error" when the closing brace is. */
void ReadEnumBlock(FileReader *r, char **names, int32_t *values, int *count) {
  skipSpace(r);
  int opened = 0;
  while (acceptChar(r, '{')) opened = 1; /* a run of braces counts as one */
  skipSpace(r);
  if (!opened) {
    if (tsEnumTrace) tsEnumTrace->braceMissing(tsEnumTrace->context, tsReaderOffset(r));
    ShowErrorBox("Enum error");
  }

  int32_t value = 0;
  while (*count < TS_MAX_ENUMS) {
    long long at = 0;
    char *name = ReadEnumNameAt(r, &at);
    if (!name) break;
    names[*count] = name;
    if (tsEnumTrace) tsEnumTrace->entry(tsEnumTrace->context, *count, at);
    skipSpace(r);
    if (acceptChar(r, '=')) {
      skipSpace(r);
      readEnumNumber(r, &value);
    }
    values[*count] = value;
    if (value < INT32_MAX) value++;
    (*count)++;
    skipSpace(r);
    acceptChar(r, ',');
    skipSpace(r);
  }

  int c;
  while ((c = readChar(r)) != EOF && c != '}') {
  }
  if (tsEnumTrace) tsEnumTrace->blockEnd(tsEnumTrace->context, tsReaderOffset(r) - (c == '}'), c == '}');
  if (c != '}') ShowErrorBox("Enum closing error");
}

/* Reads every ENUM block of an open file, from its current position (the
   start of a line) to its end, into the enum table. A block counts when the
   word ENUM, in any case, stands in the first column; the white space after
   that word (line ends included) is skipped, and after a block or any other
   line start the rest of the line is discarded, in pieces of at most
   TS_ENUM_REST_MAX characters. The file is read in blocks to its end, so the
   caller rewinds it before reading it again. */
void ScanEnums(FILE *file) {
  FileReader reader;
  startReading(&reader, file);
  for (;;) {
    int isEnum;
    long long lineStart = tsReaderOffset(&reader);
    if (readWord(&reader, &isEnum) > 0) {
      skipSpace(&reader);
      if (isEnum && tsEnumTrace) tsEnumTrace->blockStart(tsEnumTrace->context, lineStart);
      if (isEnum) ReadEnumBlock(&reader, enumNames, enumValues, &enumCount);
    }
    /* The rest of the line, at most TS_ENUM_REST_MAX characters of it; the end
       of the file, or a read error, ends the scan. */
    if (!discardRest(&reader, TS_ENUM_REST_MAX)) break;
  }
}

const EnumScanTrace *tsEnumTrace;
const char tsDefaultHelpTopic[] = "Contents";

/* Frees every name of the enum table and empties it. */
void tsClearEnums(void) {
  for (int i = 0; i < enumCount; i++) {
    free(enumNames[i]);
    enumNames[i] = nullptr;
  }
  enumCount = 0;
}

/* ---- Files and lines ----------------------------------------------------------------- */

/* Writes the path at which a description file is opened into path (size
   bytes): the directory of the module's file when a module is given and the
   name is not absolute; nothing for an absolute name; otherwise the library's
   own directory; then the file name. Returns nonzero when path holds the
   whole path; 0 (path then cut short, but terminated) when it does not fit
   or when the directory cannot be had whole: a module file name that fills
   its 256 bytes may have been cut, and its last separator would end some
   ancestor directory, where another file of that name could be opened. */
static int buildPath(HMODULE module, const char *fileName, char *path, size_t size) {
  char directory[TS_MODULE_DIR_SIZE];
  const char *prefix = tsModuleDir; /* no module, no drive letter */
  if (plIsAbsolutePath(fileName)) {
    prefix = ""; /* used unchanged */
  } else if (module) {
    directory[0] = 0;
    int length = plModuleFileName(module, directory, sizeof directory);
    if (length >= (int)sizeof directory - 1) return 0;
    if (length > 0) {
      char *last = strrchr(directory, PL_DIR_SEP);
      if (last) last[1] = 0;
      else directory[0] = 0; /* a bare module name: no directory */
    }
    prefix = directory;
  } else if (tsModuleDirCut) {
    return 0;
  }
  int written = snprintf(path, size, "%s%s", prefix, fileName);
  return written >= 0 && (size_t)written < size;
}

/* Opens a description file found by the path rule. Returns the file, or null
   after the error box: naming the path tried when it cannot be opened, or
   the file name as given, with the code of a name too long, when no whole
   path can be built for it. */
static FILE *openDescription(HMODULE module, const char *fileName) {
  char path[TS_PATH_SIZE];
  if (!buildPath(module, fileName, path, sizeof path)) {
    plSetLastError(PL_ERROR_FILENAME_EXCED_RANGE);
    ShowErrorBox(fileName);
    return nullptr;
  }
  FILE *file = plOpenTextFile(path);
  if (!file) ShowErrorBox(path);
  return file;
}

/* The header, section-end and help patterns begin "%l name" and "%l help":
   they match only a line whose first character after white space is that
   word's first letter in either case. A line that begins otherwise (almost
   every line of a file) is told apart by that one character, and the pattern
   matcher runs only on the lines that may match. */
static_assert(TS_PATTERN_HEADER[0] == '%' && TS_PATTERN_HEADER[1] == 'l' && TS_PATTERN_HEADER[2] == ' ' &&
                  TS_PATTERN_HEADER[3] == 'n',
              "the header pattern begins with %l name");
static_assert(TS_PATTERN_SECTION_END[0] == '%' && TS_PATTERN_SECTION_END[1] == 'l' &&
                  TS_PATTERN_SECTION_END[2] == ' ' && TS_PATTERN_SECTION_END[3] == 'n',
              "the section-end pattern begins with %l name");
static_assert(TS_PATTERN_HELP[0] == '%' && TS_PATTERN_HELP[1] == 'l' && TS_PATTERN_HELP[2] == ' ' &&
                  TS_PATTERN_HELP[3] == 'h',
              "the help pattern begins with %l help");

/* Nonzero when the first character of line after white space is the letter
   (lower case) in either case. */
static inline int beginsWithLetter(const char *line, char letter) {
  while (isSpace((unsigned char)*line)) line++;
  return (*line | 0x20) == letter;
}

/* Nonzero when line is a section header; its dialog name goes to name (at
   least TS_TOKEN_ROOM bytes). */
static int readHeader(const char *line, char *name) {
  char tokens[TS_TOKEN_ROOM];
  if (!beginsWithLetter(line, 'n')) return 0;
  if (sparse(line, TS_PATTERN_HEADER, tokens, sizeof tokens) != TS_HEADER_COUNT) return 0;
  parseGetStr(tokens, name, 0);
  return 1;
}

/* Reads lines up to and including the header of the dialog name (line:
   TS_LINE_SIZE bytes of room for readLine); returns nonzero when it was
   found. */
static int findSection(FileReader *r, const char *dialogName, char *line) {
  char name[TS_TOKEN_ROOM];
  const char *text;
  while ((text = readLine(r, line)))
    if (readHeader(text, name) && strcmp(name, dialogName) == 0) return 1;
  return 0;
}

/* ---- Loading ------------------------------------------------------------------------- */

/* The language mode of a module without SetLngMode. */
static int defaultLngMode(void) { return 0; }

/* The bounds of a dialog's items: the smallest positive left column and top
   row (-1 while there is none) and the largest right column and bottom row. */
struct Bounds {
  int32_t minX, minY, maxX, maxY;
};

static void widenBounds(Bounds *b, const DialogItem *item) {
  if (item->x1 > 0 && (b->minX == -1 || item->x1 < b->minX)) b->minX = item->x1;
  if (item->y1 > 0 && (b->minY == -1 || item->y1 < b->minY)) b->minY = item->y1;
  if (item->x2 > b->maxX) b->maxX = item->x2;
  if (item->y2 > b->maxY) b->maxY = item->y2;
}

/* The extent of a dialog along one axis: its largest end coordinate plus a
   margin as wide as its smallest positive start (-1: none) plus one, held to
   the 32-bit range. */
static int32_t dialogExtent(int32_t largestEnd, int32_t smallestStart) {
  int64_t extent = (int64_t)largestEnd + smallestStart + 1;
  return extent > INT32_MAX ? INT32_MAX : (int32_t)extent;
}

/* Frees the owned strings of scratch slots 0 to n-1 and clears the slots. */
static void releaseScratchStrings(int n) {
  for (int i = 0; i < n; i++) {
    free(scratchStrings[i]);
    scratchStrings[i] = nullptr;
  }
}

/* Builds the handle from scratch slots 0 to n-1, whose strings pass to it.
   On a failed allocation shows its message, releases everything built so far
   and the slots' strings, and returns null. */
static DialogData *buildDialog(int n, const Bounds *b, const char *helpTopic, int lngMode,
                               int moduleNumber) {
  DialogData *dialog = static_cast<DialogData *>(tsAllocate(sizeof(DialogData)));
  if (!dialog) {
    ShowErrorBox("pData don't allocated");
    releaseScratchStrings(n);
    return nullptr;
  }
  memset(dialog, 0, sizeof *dialog);
  const char *failure = nullptr;
  dialog->items = static_cast<DialogItem *>(tsAllocate((size_t)n * sizeof(DialogItem)));
  if (!dialog->items) failure = "Items copy";
  if (!failure) {
    dialog->ids = static_cast<int32_t *>(tsAllocate((size_t)n * sizeof(int32_t)));
    if (!dialog->ids) failure = "Ids copy error";
  }
  if (!failure) {
    dialog->strings = static_cast<char **>(tsAllocate((size_t)n * sizeof(char *)));
    if (!dialog->strings) failure = "Strs copy error";
  }
  if (!failure) {
    dialog->helpTopic = copyText(helpTopic);
    if (!dialog->helpTopic) failure = "StrDup";
  }
  if (failure) {
    ShowErrorBox(failure);
    free(dialog->items);
    free(dialog->ids);
    free(dialog->strings);
    free(dialog);
    releaseScratchStrings(n);
    return nullptr;
  }
  memcpy(dialog->items, scratchItems, (size_t)n * sizeof(DialogItem));
  memcpy(dialog->ids, scratchIds, (size_t)n * sizeof(int32_t));
  memcpy(dialog->strings, scratchStrings, (size_t)n * sizeof(char *));
  for (int i = 0; i < n; i++) scratchStrings[i] = nullptr; /* now the handle's */
  dialog->itemCount = n;
  dialog->width = dialogExtent(b->maxX, b->minX);
  dialog->height = dialogExtent(b->maxY, b->minY);
  dialog->lastId = 0;
  dialog->lngMode = lngMode;
  dialog->moduleNumber = moduleNumber;
  return dialog;
}

/* Loads the dialog of that name from a description file found by the path
   rule, for host module moduleNumber (-1: the library's own). Returns a new
   handle that the caller owns and releases with FreeDialog, or null: for a
   null or empty name (no message), a file that cannot be opened (its path
   shown, or its name when no whole path can be built), no section of that name or one without items (no message), or a
   failed allocation (its message shown). Rebuilds the enum table and
   overwrites the scratch tables. */
extern "C" DialogData *LoadDialogEx(HMODULE module, int moduleNumber, const char *fileName,
                                    const char *dialogName) {
  Bounds bounds = {-1, -1, 0, 0};
  if (moduleNumber == -1) moduleNumber = tsStartup.moduleNumber;
  if (!fileName || !fileName[0] || !dialogName || !dialogName[0]) return nullptr;

  SetLngModeFn askMode = module ? (SetLngModeFn)plFindExport(module, "SetLngMode") : nullptr;
  if (!askMode) askMode = defaultLngMode;
  int lngMode = askMode();

  FILE *file = openDescription(module, fileName);
  if (!file) return nullptr;

  char helpTopic[TS_TOKEN_ROOM];
  strcpy(helpTopic, kDefaultHelpTopic);
  tsClearEnums();
  ScanEnums(file);
  rewind(file);

  FileReader reader;
  startReading(&reader, file);
  char line[TS_LINE_SIZE];
  const char *text;
  int n = 0;
  if (findSection(&reader, dialogName, line)) {
    char tokens[TS_TOKEN_ROOM];
    while (n < TS_MAX_ITEMS && (text = readLine(&reader, line))) {
      if (beginsWithLetter(text, 'n') && sparse(text, TS_PATTERN_SECTION_END, nullptr, 0) == TS_SECTION_END_COUNT)
        break;
      if (beginsWithLetter(text, 'h') && sparse(text, TS_PATTERN_HELP, tokens, sizeof tokens) == TS_HELP_COUNT) {
        parseGetStr(tokens, helpTopic, 0);
        continue;
      }
      if (ParseItemLine(lngMode, moduleNumber, &scratchItems[n], &scratchIds[n], &scratchStrings[n],
                        text) == 2) {
        widenBounds(&bounds, &scratchItems[n]);
        n++;
      }
    }
  }
  fclose(file);
  if (n == 0) return nullptr;
  return buildDialog(n, &bounds, helpTopic, lngMode, moduleNumber);
}

/* LoadDialogEx for the library's own host module number. */
extern "C" DialogData *LoadDialog(HMODULE module, const char *fileName, const char *dialogName) {
  return LoadDialogEx(module, -1, fileName, dialogName);
}

/* Replaces name (in and out; room for the file's longest dialog name) by the
   dialog name of the header that follows the first header of that name (the
   file's first header when name is empty), or by the empty name when there is
   none. Returns name; when the file cannot be opened, shows its path (or its
   name, when no whole path can be built) and leaves name unchanged. */
extern "C" char *EnumDialog(HMODULE module, const char *fileName, char *name) {
  if (!fileName || !name) return name;
  FILE *file = openDescription(module, fileName);
  if (!file) return name;
  FileReader reader;
  startReading(&reader, file);
  char line[TS_LINE_SIZE];
  if (name[0]) findSection(&reader, name, line);
  char next[TS_TOKEN_ROOM];
  const char *text;
  int found = 0;
  while (!found && (text = readLine(&reader, line))) found = readHeader(text, next);
  fclose(file);
  if (found) strcpy(name, next);
  else name[0] = 0;
  return name;
}

/* TEMP wrappers for the authoring engine. */
void tsStartReading(FileReader *r, FILE *file) { startReading(r, file); }
const char *tsReadLine(FileReader *r, char *line) { return readLine(r, line); }
int tsReadHeader(const char *line, char *name) { return readHeader(line, name); }
int tsIsSectionEnd(const char *line) {
  return beginsWithLetter(line, 'n') && sparse(line, TS_PATTERN_SECTION_END, nullptr, 0) == TS_SECTION_END_COUNT;
}
int tsReadHelp(const char *line, char *topic) {
  char tokens[TS_TOKEN_ROOM];
  if (!(beginsWithLetter(line, 'h') && sparse(line, TS_PATTERN_HELP, tokens, sizeof tokens) == TS_HELP_COUNT)) return 0;
  parseGetStr(tokens, topic, 0);
  return 1;
}
void tsWidenBounds(TsBounds *b, const DialogItem *item) { widenBounds((Bounds *)b, item); }
int32_t tsDialogExtent(int32_t largestEnd, int32_t smallestStart) { return dialogExtent(largestEnd, smallestStart); }
