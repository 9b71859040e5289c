/*
 * What the parts of the dialog library share with each other and with tools
 * that link its core, but not with plug-ins: the fixed limits, the character
 * classes, the library's process-wide state, the dialog handle's fields and
 * the internal routines of each piece (block reader, ENUM grammar, path rule,
 * section lines, item lines). One header, one section per source file.
 */
#ifndef TESSEL_DIALOG_INTERNAL_H
#define TESSEL_DIALOG_INTERNAL_H

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "dialog/dialog.h"
#include "platform/platform.h"

/* ---- Fixed limits -------------------------------------------------------- */

enum {
  TS_LINE_SIZE = 1000,      /* a description line is read in at most this many bytes */
  TS_TOKEN_ROOM = 200,      /* room of every token string the library builds */
  TS_MAX_ITEMS = 512,       /* items a dialog may hold: the scratch tables */
  TS_MAX_ENUMS = 100,       /* symbolic names a file may declare */
  TS_MODULE_DIR_SIZE = 256, /* module file names and directories */
  TS_ENUM_WORD_MAX = 49,    /* letters of the word that may be ENUM */
  TS_ENUM_REST_MAX = 499,   /* characters of a line's rest the ENUM scan discards at once */
  TS_SAVE_AREA = 504,       /* first byte of an item's save area */
  TS_SAVED_TYPE = 508       /* where HideItem keeps the item's type */
};

/* Sizes of the four keyword tables of item lines (item.cpp). */
enum { TS_TYPE_COUNT = 10, TS_FLAG_COUNT = 12, TS_COLOR_COUNT = 16 };

/* ---- Character classes (plain ASCII; every byte above 127 is in none) ------ */

/* The arguments are characters as unsigned char, or EOF. */
inline int tsIsSpace(int c) { return c == ' ' || (unsigned)(c - '\t') <= '\r' - '\t'; }
inline int tsIsDigit(int c) { return (unsigned)(c - '0') < 10u; }
inline int tsIsLetter(int c) { return (unsigned)((c | 0x20) - 'a') < 26u; }
/* Letters, digits and the underscore: the characters of an enum name. */
inline int tsIsNameChar(int c) { return tsIsLetter(c) || tsIsDigit(c) || c == '_'; }
/* The letter in the other case; every other character unchanged. */
inline int tsToLower(int c) { return (unsigned)(c - 'A') < 26u ? c + ('a' - 'A') : c; }
inline int tsToUpper(int c) { return (unsigned)(c - 'a') < 26u ? c - ('a' - 'A') : c; }

/* ---- The dialog handle ---------------------------------------------------- */

struct DialogData {
  DialogItem *items;
  int32_t *ids;
  char **strings;
  char *helpTopic;
  int32_t itemCount;
  int32_t width;
  int32_t height;
  int32_t lastId;
  int32_t lngMode;
  int32_t moduleNumber;
};

/* ---- Process-wide state (state.cpp) --------------------------------------- */

extern StartupInfo tsStartup;                /* the copy TS_Init made; zero until then */
extern int tsInitialised;                    /* 1 once TS_Init ran */
extern DialogItem tsNullItem;                /* answers every lookup that finds nothing */
extern char tsModuleDir[TS_MODULE_DIR_SIZE]; /* the library's directory, separator kept */
extern int tsModuleDirCut;                   /* 1 when the library's file name did not fit: no directory */

/* The enum table: the names (owned, from tsAllocate) and values of the ENUM
   blocks of the file loaded last, in file order; enumCount entries. */
extern char *enumNames[TS_MAX_ENUMS];
extern int32_t enumValues[TS_MAX_ENUMS];
extern int enumCount;

/* The scratch tables a load builds a dialog's items in before the handle
   takes copies (the strings pass to the handle). */
extern DialogItem scratchItems[TS_MAX_ITEMS];
extern int32_t scratchIds[TS_MAX_ITEMS];
extern char *scratchStrings[TS_MAX_ITEMS];

/* The allocator of every block that a load makes (enum names, quoted selected
   texts, the handle, its arrays and its help topic): malloc, unless a test
   puts another function here to make a chosen allocation fail. Every such
   block is released with free. */
extern void *(*tsAllocate)(size_t size);

/* Copies text into a new block from tsAllocate; null when none can be had. */
char *tsCopyText(const char *text);

/* Frees every name of the enum table and empties it. */
void tsClearEnums(void);

/* ---- Host binding (startup.cpp) ------------------------------------------- */

/* Shows the error box titled "Error (<last error>)" with text (null: empty)
   through the host; returns the host's result, or -1 before TS_Init. */
int ShowErrorBox(const char *text);

/* The host's text of a message of a module (note the order), or null before
   TS_Init. */
const char *GetMsgText(int messageNumber, int moduleNumber);

/* ---- Pattern matcher (sparse.cpp) ---------------------------------------- */

enum {
  SP_FAIL = 0x001,
  SP_LOWER = 0x010,
  SP_UPPER = 0x020,
  SP_NOCASE = 0x040,
  SP_SKIP = 0x080,
  SP_JOIN = 0x100,
  SP_KEEP = 0x200,
  SP_WORD = 0x400
};

/* Where the pattern matcher reads each element of its pattern, for tools
   that explain a line: offsets in the source. element is called for every
   element that counts (so index runs as sparse's result does) once it is
   done: start and end (exclusive) bound the source it read, and defaulted
   is nonzero when the source did not match and the element's default token
   stood in for it. stopped is called for the element that ends the scan by
   failing, with where it was sought. sparse leaves tsSparseTrace alone; the
   library never sets it, and then nothing is reported. */
struct SparseTrace {
  void *context;
  void (*element)(void *context, int index, long long start, long long end, int defaulted);
  void (*stopped)(void *context, int index, long long at);
};
extern const SparseTrace *tsSparseTrace;

/* The library's own patterns, and the counts of a complete match. */
#define TS_PATTERN_HEADER "%l name%*[ ] %S(\"-\")"
#define TS_PATTERN_SECTION_END "%l name"
#define TS_PATTERN_HELP "%l help %S(\"\")"
#define TS_PATTERN_ITEM                                                    \
  "%us %s %d %d %d %d %uc %Sq(\"\") %uS(()) %uc %u(%%)~TXT~ %u(%%)~HKCU~ " \
  "%S(\"\")~NULL~ %S(\"\")~NULL~"
#define TS_PATTERN_EXTENSION "%n .dlg"
enum { TS_HEADER_COUNT = 4, TS_SECTION_END_COUNT = 2, TS_HELP_COUNT = 3, TS_ITEM_COUNT = 14, TS_EXTENSION_COUNT = 2 };

/* ---- Token strings (tokens.cpp) ------------------------------------------ */

/* Appends one character (0: a field end) at *position, the string's NUL,
   under the room, and moves *position on to the string's new NUL (a null
   position stays null); returns the room left, 0 when it ran out at this
   character, -1 when nothing could be written. Only SP_SKIP of flags is
   looked at. Inline: the pattern matcher emits every character through it,
   and knowing where the string now ends spares it a walk to the NUL. */
inline int tsPutChar(signed char c, char **position, int room, int flags) {
  char *p = *position;
  if (!p || room == 0) return -1;
  if (flags & SP_SKIP) return room;
  if ((c == '_' || c == '\\') && room > 1) {
    *p++ = '\\';
    *p = 0;
    room--;
    *position = p;
  }
  if (room <= 1) return 0; /* a backslash written above stays last */
  p[0] = c == ' ' ? '_' : c == 0 ? ' ' : (char)c;
  p[1] = 0;
  *position = p + 1;
  return room - 1;
}

/* Appends one character (0: a field end) at position, the string's NUL,
   under the room; returns the room left, 0 when it ran out at this character,
   -1 when nothing could be written. Only SP_SKIP of flags is looked at. The
   caller moves its position on to the string's NUL itself. */
inline int parsePut(signed char c, char *position, int room, int flags) { return tsPutChar(c, &position, room, flags); }

/* ---- Numbers (numbers.cpp) ------------------------------------------------ */

/* Reads a decimal integer as atoi does (optional white space, an optional
   sign, digits up to the first other character; no digits give 0), except
   that a value beyond the 32-bit range saturates to INT32_MIN or INT32_MAX.
   When end is not null it receives the first character not read; *digits
   (when not null) the number of digits read. Every number the library reads
   from a description file goes through here. */
int32_t tsReadDecimal(const char *text, const char **end, int *digits);

/* ---- Item lines (item.cpp) ------------------------------------------------ */

/* The keyword tables: a name's position is its meaning. */
extern const char *const itemTypeNames[TS_TYPE_COUNT]; /* position: the DI_ type code */
extern const char *const itemFlagNames[TS_FLAG_COUNT]; /* 0: the colour mask; p: bit 1 << (p + 7) */
extern const char *const colorNames[TS_COLOR_COUNT];   /* foreground colour numbers */
extern const char *const bkColorNames[TS_COLOR_COUNT]; /* background colour numbers */

/* The position of text among the first count names (the last match wins),
   else text read as a number when nonzero or written from 0, else -1. */
int FindKeyword(const char *const *names, const char *text, int count);
/* As FindKeyword, but a matching name gives values[position]. */
int FindKeywordValue(const char *const *names, const int32_t *values, const char *text, int count);
/* The flags word of a flag list such as "(DIF_BOXCOLOR+YELLOW)"; splits text in place. */
uint32_t ParseFlags(char *text);
/* Nonzero for the characters that separate the words of a flag list:
   '(', '+', ')' and the space. */
int tsIsFlagSeparator(char c);
/* The bits one word of a flag list gives: a flag name or number (a flag
   position), else a colour or background colour with DIF_SETCOLOR, else 0. */
uint32_t tsFlagWordValue(const char *word);
/* Nonzero when a one-character field reads as true: T, t or 1 (the focus,
   default and selected fields). */
int tsReadsTrue(char c);
/* Nonzero when a selected field is a truth value: one of T t F f 1 0 alone. */
int tsIsTruthValue(const char *field);
/* The text sources, by the first letter of the source field's token. */
enum { TS_SOURCE_LNG = 'L', TS_SOURCE_REG = 'R', TS_SOURCE_TEXT = 'T', TS_SOURCE_VERSION = 'V' };
/* Nonzero when c begins a text source the library knows. */
int tsIsTextSource(char c);
/* Nonzero when a registry root field names the current user's root (it
   begins with HKCU); any other root is the machine's. */
int tsRootIsCurrentUser(const char *root);
/* Nonzero when a registry fallback text stands for no text (it begins with
   NULL). */
int tsFallbackIsNull(const char *fallback);
/* Interprets one line of a dialog section: 2 when *item, *id and *string (an
   owned quoted text, or null) were written, 1 when it is no item line. */
int ParseItemLine(int lngMode, int moduleNumber, DialogItem *item, int32_t *id, char **string, const char *line);
/* Reads a registry value below root as text into out (outSize bytes); 0 on success. */
int ReadRegText(HKEY root, const char *rootPath, const char *valuePath, char *out, int outSize);

/* ---- Block reader (reader.cpp) --------------------------------------------- */

/* The loader reads a file through a block of its own, so that the
   character-at-a-time grammar of ENUM blocks costs no library call per
   character and lines need not be copied out; the file is still read front
   to back, once per pass. */
enum { TS_FILE_BLOCK_SIZE = 8192 };
struct FileReader {
  FILE *file;
  long long base; /* offset in the stream of the block's first byte */
  int start, end; /* unread bytes of block */
  int ended;      /* the file gave its end (or an error): nothing more to read */
  char block[TS_FILE_BLOCK_SIZE];
};

/* Starts reading file at its current position. */
void tsStartReading(FileReader *r, FILE *file);

/* Where the next unread byte lies in the stream, counted from where the
   reading started: tools that explain a file map the loader's lines back to
   the file's. */
inline long long tsReaderOffset(const FileReader *r) { return r->base + r->start; }

/* Refills the reader's block from its file; 0 at the end of the file or on a
   read error (the reader then stays at its end). */
int tsFillBlock(FileReader *r);

/* Nonzero when unread bytes are in the block, after a refill if need be. */
inline int tsHaveBytes(FileReader *r) { return r->start < r->end || tsFillBlock(r); }

/* The next character as getc gives it: an unsigned char, or EOF. */
inline int tsReadChar(FileReader *r) {
  if (!tsHaveBytes(r)) return EOF;
  return (unsigned char)r->block[r->start++];
}

/* Puts back the character just read (never EOF, never more than one). */
inline void tsUnreadChar(FileReader *r) { r->start--; }

/* Consumes the character wanted if it is the next one; nonzero when it was. */
inline int tsAcceptChar(FileReader *r, int wanted) {
  int c = tsReadChar(r);
  if (c == wanted) return 1;
  if (c != EOF) tsUnreadChar(r);
  return 0;
}

/* Consumes white space (line ends included); the next character stays unread.
   Inline: the ENUM scan calls it after the first word of every line. */
inline void tsSkipSpace(FileReader *r) {
  while (tsHaveBytes(r)) {
    const char *p = r->block + r->start, *end = r->block + r->end;
    while (p < end && tsIsSpace((unsigned char)*p)) p++;
    r->start = (int)(p - r->block);
    if (p < end) return;
  }
}

/* Consumes characters up to the next line end (which stays unread). */
void tsSkipToLineEnd(FileReader *r);

/* The three readers below run once per line of a file: each is inline for
   the common case, where what it reads lies in the block's unread bytes, and
   hands every other case (a refill, a piece across the block's end) to its
   whole version in reader.cpp, which gives the same result from any state. */

/* Consumes at most most characters up to and including the next line feed
   (the remainder of a longer line then reads as the start of a line);
   returns 0 when the end of the file came first. */
int tsDiscardRestRefilling(FileReader *r, int most);
inline int tsDiscardRest(FileReader *r, int most) {
  int span = r->end - r->start;
  if (span > most) span = most;
  if (span > 0) {
    const char *from = r->block + r->start;
    const char *end = static_cast<const char *>(memchr(from, '\n', (size_t)span));
    if (end) {
      r->start += (int)(end - from) + 1;
      return 1;
    }
  }
  return tsDiscardRestRefilling(r, most);
}

/* Consumes a run of at most most ASCII letters (the character after it stays
   unread) and returns its length; *letters points to them: into the block
   when they lie there whole, else into copy (most bytes, not terminated). */
int tsReadLettersRefilling(FileReader *r, int most, char *copy, const char **letters);
inline int tsReadLetters(FileReader *r, int most, char *copy, const char **letters) {
  const char *p = r->block + r->start, *blockEnd = r->block + r->end;
  if (p < blockEnd) {
    const char *end = blockEnd - p > most ? p + most : blockEnd;
    const char *q = p;
    while (q < end && tsIsLetter((unsigned char)*q)) q++;
    if (q < blockEnd || q - p == most) { /* the whole run, in the block */
      r->start += (int)(q - p);
      *letters = p;
      return (int)(q - p);
    }
  }
  return tsReadLettersRefilling(r, most, copy, letters);
}

/* Reads one line as fgets into TS_LINE_SIZE bytes would (at most
   TS_LINE_SIZE - 1 characters, the line feed included; a longer line is read
   as several) and returns it NUL-terminated without its line feed: inside the
   reader's block when it lies there whole, else copied into line
   (TS_LINE_SIZE bytes). Returns null at the end of the file. The text stays
   valid until the next read. */
const char *tsReadLineRefilling(FileReader *r, char *line);
inline const char *tsReadLine(FileReader *r, char *line) {
  int span = r->end - r->start;
  if (span > TS_LINE_SIZE - 1) span = TS_LINE_SIZE - 1;
  if (span > 0) {
    char *from = r->block + r->start;
    char *end = static_cast<char *>(memchr(from, '\n', (size_t)span));
    if (end) { /* its feed becomes its end */
      *end = 0;
      r->start += (int)(end - from) + 1;
      return from;
    }
  }
  return tsReadLineRefilling(r, line);
}

/* ---- ENUM grammar (enums.cpp) ---------------------------------------------- */

/* Reads every ENUM block of an open file, from its current position (the
   start of a line) to its end, appending to the enum table; the caller
   rewinds the file before reading it again. */
void ScanEnums(FILE *file);
/* Reads one brace-enclosed ENUM list into names and values from *count on. */
void ReadEnumBlock(FileReader *reader, char **names, int32_t *values, int *count);
/* Reads the next name of an ENUM list as a new block (caller owns), or null. */
char *ReadEnumName(FileReader *reader);
/* The same, writing into *at where the name begins in the stream. */
char *tsReadEnumNameAt(FileReader *reader, long long *at);

/* Where the ENUM scan finds things, for tools that explain a file: offsets
   in the stream as tsReaderOffset counts them. The loader leaves tsEnumTrace
   null, and then nothing is reported. */
struct EnumScanTrace {
  void *context;
  void (*blockStart)(void *context, long long offset);           /* a block's ENUM word */
  void (*braceMissing)(void *context, long long offset);         /* no opening brace follows it */
  void (*entry)(void *context, int index, long long offset);     /* a name stored at index */
  void (*blockEnd)(void *context, long long offset, int closed); /* its closing brace, or the end */
  void (*full)(void *context, long long offset); /* the table is full: where the next name would be read */
};
extern const EnumScanTrace *tsEnumTrace;

/* ---- Path rule (path.cpp) -------------------------------------------------- */

/* Writes the path at which a description file of a module (null: the
   library's own directory) is opened into path (size bytes); nonzero when it
   holds the whole path. */
int tsBuildPath(HMODULE module, const char *fileName, char *path, size_t size);
/* Opens a description file found by the path rule; null after the error box. */
FILE *tsOpenDescription(HMODULE module, const char *fileName);

/* ---- Section lines and handles (loader.cpp) -------------------------------- */

/* The help topic of a dialog whose section has no help line. */
extern const char tsDefaultHelpTopic[];

/* Nonzero when line is a section header; name (TS_TOKEN_ROOM bytes) then
   gets its dialog name. */
int tsReadHeader(const char *line, char *name);
/* Nonzero when line ends a section: it begins with the word name. */
int tsIsSectionEnd(const char *line);
/* Nonzero when line is a help line; topic (TS_TOKEN_ROOM bytes) then gets
   its topic. */
int tsReadHelp(const char *line, char *topic);

/* The bounds of a dialog's items: the smallest positive left column and top
   row (-1 while there is none) and the largest right column and bottom row. */
struct TsBounds {
  int32_t minX, minY, maxX, maxY;
};
/* The bounds before the first item. */
constexpr TsBounds tsNoBounds = {-1, -1, 0, 0};
/* Widens b to take in the item's coordinates. */
void tsWidenBounds(TsBounds *b, const DialogItem *item);
/* The extent of a dialog along one axis: its largest end coordinate plus a
   margin as wide as its smallest positive start (-1: none) plus one, held to
   the 32-bit range. */
int32_t tsDialogExtent(int32_t largestEnd, int32_t smallestStart);

#endif /* TESSEL_DIALOG_INTERNAL_H */
