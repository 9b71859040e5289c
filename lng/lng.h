/*
 * The host's language files (*.lng): a header line ".Language=Name,Description"
 * and the messages, one per line that begins with a double quote, numbered
 * from 0 in order. A plug-in's messages come from the file beside it whose
 * language is the one asked for, else English.
 */
#ifndef TESSEL_LNG_LNG_H
#define TESSEL_LNG_LNG_H

#include <stddef.h>

/* The messages of one language file. */
typedef struct LngTable {
  char *block;           /* every message, each NUL-terminated; owned */
  const char **messages; /* count pointers into block; owned */
  int count;
  char language[64]; /* the header's language name ("English"), or empty */
} LngTable;

/* What lngParse reads, and where: a check traces it to say where each
   message and each slip lies. Lines are 1-based, columns 1-based bytes. */
typedef struct LngTrace {
  void *context;
  /* Each message line: its number, its line, and whether it ends with its
     closing quote (without one, the text runs to the line's end). */
  void (*message)(void *context, int number, int line, int closed);
  /* The header line whose language the table takes (a header line whose
     language comes out empty is traced too: a later one may still count). */
  void (*header)(void *context, int line);
  /* A backslash that starts none of the four escapes, kept as written. */
  void (*escape)(void *context, int number, int line, int column);
} LngTrace;

/* The trace lngParse reports to; null (the default) traces nothing. */
extern const LngTrace *lngTrace;

/* Reads a language file's text (length bytes, CR LF or LF lines) into
   table, which must be zero or freed: every line that begins with '"' is the
   next message, its trailing blanks and then its closing quote dropped and
   the escapes \\, \", \n and \t decoded; the first ".Language=" line names
   the language (the part before the comma). Returns 1, or 0 when memory runs
   out (the table is then empty). */
int lngParse(const char *text, size_t length, LngTable *table);

/* lngParse of a whole file; 0 when it cannot be read. */
int lngLoadFile(const char *path, LngTable *table);

/* Releases a table's storage; the table is then empty. */
void lngFree(LngTable *table);

/* Message number of the table, or "" past its end (or for a negative
   number). The text belongs to the table. */
const char *lngMessage(const LngTable *table, int number);

/* Picks the language file of a directory (ending in '/'): the first, in name
   order, of the *.lng files whose language equals language (without regard
   to case), else the first whose language is English, else the first of
   all. Writes its path into path (room bytes); returns 1, or 0 when the
   directory holds no language file. */
int lngChooseFile(const char *directory, const char *language, char *path, int room);

/* As lngChooseFile, for the files of another extension (".hlf": help files,
   which name their language in the same header line). */
int lngChooseFileOf(const char *directory, const char *extension, const char *language, char *path, int room);

#endif
