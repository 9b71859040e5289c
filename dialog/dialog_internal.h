/*
 * What the parts of the dialog library share with each other but not with
 * callers: the library's process-wide state, the dialog handle's fields, the
 * internal routines of each piece and the fixed limits they work under.
 */
#ifndef TESSEL_DIALOG_INTERNAL_H
#define TESSEL_DIALOG_INTERNAL_H

#include <stdint.h>
#include <stdio.h>

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

/* ---- Host binding and library state (host.cpp) --------------------------- */

extern StartupInfo tsStartup;          /* the copy TS_Init made; zero until then */
extern int tsInitialised;              /* 1 once TS_Init ran */
extern DialogItem tsNullItem;          /* answers every lookup that finds nothing */
extern char tsModuleDir[TS_MODULE_DIR_SIZE]; /* the library's directory, separator kept */
extern int tsModuleDirCut;             /* 1 when the library's file name did not fit: no directory */

/* Shows the error box titled "Error (<last error>)" with text (null: empty)
   through the host; returns the host's result, or -1 before TS_Init. */
int ShowErrorBox(const char *text);

/* The host's text of a message of a module (note the order), or null before
   TS_Init. */
const char *GetMsgText(int messageNumber, int moduleNumber);

/* ---- Token strings (tokens.cpp) ------------------------------------------ */


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

/* The library's own patterns, and the counts of a complete match. */
#define TS_PATTERN_HEADER "%l name%*[ ] %S(\"-\")"
#define TS_PATTERN_SECTION_END "%l name"
#define TS_PATTERN_HELP "%l help %S(\"\")"
#define TS_PATTERN_ITEM                                                          \
  "%us %s %d %d %d %d %uc %Sq(\"\") %uS(()) %uc %u(%%)~TXT~ %u(%%)~HKCU~ "      \
  "%S(\"\")~NULL~ %S(\"\")~NULL~"
#define TS_PATTERN_EXTENSION "%n .dlg"
enum {
  TS_HEADER_COUNT = 4,
  TS_SECTION_END_COUNT = 2,
  TS_HELP_COUNT = 3,
  TS_ITEM_COUNT = 14,
  TS_EXTENSION_COUNT = 2
};

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
inline int parsePut(signed char c, char *position, int room, int flags) {
  return tsPutChar(c, &position, room, flags);
}

/* ---- Numbers ---------------------------------------------------------------- */

/* Reads a decimal integer as atoi does (optional white space, an optional
   sign, digits up to the first other character; no digits give 0), except
   that a value beyond the 32-bit range saturates to INT32_MIN or INT32_MAX.
   When end is not null it receives the first character not read; *digits
   (when not null) the number of digits read. Every number the library reads
   from a description file goes through here. */
int32_t tsReadDecimal(const char *text, const char **end, int *digits);

/* ---- Allocation ------------------------------------------------------------ */

/* The allocator of every block that a load makes (enum names, quoted selected
   texts, the handle, its arrays and its help topic): malloc, unless a test
   puts another function here to make a chosen allocation fail. Every such
   block is released with free. Defined in loader.cpp. */
extern void *(*tsAllocate)(size_t size);

/* ---- Item lines (item.cpp) ------------------------------------------------ */

extern const char *const itemTypeNames[10];
extern const char *const itemFlagNames[12];
extern const char *const colorNames[16];
extern const char *const bkColorNames[16];

int FindKeyword(const char *const *names, const char *text, int count);
int FindKeywordValue(const char *const *names, const int32_t *values, const char *text, int count);
uint32_t ParseFlags(char *text);
int ParseItemLine(int lngMode, int moduleNumber, DialogItem *item, int32_t *id, char **string,
                  const char *line);
int ReadRegText(HKEY root, const char *rootPath, const char *valuePath, char *out, int outSize);

/* ---- Description file loader (loader.cpp) --------------------------------- */

extern char *enumNames[TS_MAX_ENUMS];
extern int32_t enumValues[TS_MAX_ENUMS];
extern int enumCount;

extern DialogItem scratchItems[TS_MAX_ITEMS];
extern int32_t scratchIds[TS_MAX_ITEMS];
extern char *scratchStrings[TS_MAX_ITEMS];

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

void ScanEnums(FILE *file);

/* TEMP (authoring engine): the loader's line reading and line kinds. */
void tsStartReading(FileReader *r, FILE *file);
const char *tsReadLine(FileReader *r, char *line);
inline long long tsReaderOffset(const FileReader *r) { return r->base + r->start; }
int tsReadHeader(const char *line, char *name);
int tsIsSectionEnd(const char *line);
int tsReadHelp(const char *line, char *topic);
struct TsBounds {
  int32_t minX, minY, maxX, maxY;
};
void tsWidenBounds(TsBounds *b, const DialogItem *item);
int32_t tsDialogExtent(int32_t largestEnd, int32_t smallestStart);
void tsClearEnums(void);
extern const char tsDefaultHelpTopic[];

/* Where the ENUM scan finds things, for tools that explain a file: offsets in
   the stream. Null (the loader's case) reports nothing. */
struct EnumScanTrace {
  void *context;
  void (*blockStart)(void *context, long long offset);            /* the ENUM word */
  void (*braceMissing)(void *context, long long offset);          /* no opening brace */
  void (*entry)(void *context, int index, long long offset);      /* a name stored at index */
  void (*blockEnd)(void *context, long long offset, int closed); /* at the closing brace, or the end */
};
extern const EnumScanTrace *tsEnumTrace;
void ReadEnumBlock(FileReader *reader, char **names, int32_t *values, int *count);
char *ReadEnumName(FileReader *reader);

#endif /* TESSEL_DIALOG_INTERNAL_H */
