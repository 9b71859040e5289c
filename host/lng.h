/*
 * The host's language files (*.lng): a header line ".Language=Name,Description"
 * and the messages, one per line that begins with a double quote, numbered
 * from 0 in order. A plug-in's messages come from the file beside it whose
 * language is the one asked for, else English.
 */
#ifndef TESSEL_HOST_LNG_H
#define TESSEL_HOST_LNG_H

#include <stddef.h>

/* The messages of one language file. */
typedef struct LngTable {
  char *block;           /* every message, each NUL-terminated; owned */
  const char **messages; /* count pointers into block; owned */
  int count;
  char language[64]; /* the header's language name ("English"), or empty */
} LngTable;

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
