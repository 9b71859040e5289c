/*
 * The ENUM grammar: a scan of a whole description file for lines that begin
 * with the word ENUM, and the brace-enclosed lists of names and values after
 * that word, read character by character through the block reader into the
 * library's enum table.
 */
#include <stdlib.h>

#include "dialog/dialog_internal.h"

enum {
  TS_ENUM_NAME_SIZE = 256,   /* an enum name keeps at most 255 characters */
  TS_ENUM_NUMBER_DIGITS = 12 /* significant digits kept of an enum value: past 10 it saturates */
};

/* Reads an optional sign and a run of digits into *value through the
   library's saturating reader; returns nonzero when digits were read. Every
   digit is consumed, however many there are; a sign without digits is
   consumed too. */
static int readEnumNumber(FileReader *r, int32_t *value) {
  char text[1 + TS_ENUM_NUMBER_DIGITS + 1];
  int length = 0, significant = 0, zeros = 0;
  int c = tsReadChar(r);
  if (c == '+' || c == '-') {
    text[length++] = (char)c;
    c = tsReadChar(r);
  }
  for (; tsIsDigit(c); c = tsReadChar(r)) {
    if (significant == 0 && c == '0') {
      zeros++; /* leading zeros add nothing */
      continue;
    }
    if (significant < TS_ENUM_NUMBER_DIGITS) text[length++] = (char)c;
    significant++;
  }
  if (c != EOF) tsUnreadChar(r);
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
   character follows or the copy cannot be made ("StrDup" shown). *at gets
   where the name begins in the stream. */
char *tsReadEnumNameAt(FileReader *r, long long *at) {
  plSetLastError(0);
  for (;;) {
    tsSkipSpace(r);
    if (!tsAcceptChar(r, ';')) break;
    if (tsReadChar(r) == EOF) break; /* the character after ';', whatever it is */
    tsSkipSpace(r);
    tsSkipToLineEnd(r);
  }
  tsSkipSpace(r);
  *at = tsReaderOffset(r);
  char name[TS_ENUM_NAME_SIZE];
  size_t length = 0;
  int c;
  while ((c = tsReadChar(r)) != EOF && tsIsNameChar(c))
    if (length < sizeof name - 1) name[length++] = (char)c;
  if (c != EOF) tsUnreadChar(r);
  if (length == 0) return nullptr;
  name[length] = 0;
  tsSkipSpace(r);
  char *copy = tsCopyText(name);
  if (!copy) ShowErrorBox("StrDup");
  return copy;
}

char *ReadEnumName(FileReader *r) {
  long long at;
  return tsReadEnumNameAt(r, &at);
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
  tsSkipSpace(r);
  int opened = 0;
  while (tsAcceptChar(r, '{')) opened = 1; /* a run of braces counts as one */
  tsSkipSpace(r);
  if (!opened) {
    if (tsEnumTrace) tsEnumTrace->braceMissing(tsEnumTrace->context, tsReaderOffset(r));
    ShowErrorBox("Enum error");
  }

  int32_t value = 0;
  while (*count < TS_MAX_ENUMS) {
    long long at;
    char *name = tsReadEnumNameAt(r, &at);
    if (!name) break;
    names[*count] = name;
    if (tsEnumTrace) tsEnumTrace->entry(tsEnumTrace->context, *count, at);
    tsSkipSpace(r);
    if (tsAcceptChar(r, '=')) {
      tsSkipSpace(r);
      readEnumNumber(r, &value);
    }
    values[*count] = value;
    if (value < INT32_MAX) value++;
    (*count)++;
    tsSkipSpace(r);
    tsAcceptChar(r, ',');
    tsSkipSpace(r);
  }

  if (*count >= TS_MAX_ENUMS && tsEnumTrace) tsEnumTrace->full(tsEnumTrace->context, tsReaderOffset(r));
  int c;
  while ((c = tsReadChar(r)) != EOF && c != '}') {}
  if (tsEnumTrace) tsEnumTrace->blockEnd(tsEnumTrace->context, tsReaderOffset(r) - (c == '}'), c == '}');
  if (c != '}') ShowErrorBox("Enum closing error");
}

/* Nonzero when the letters (length of them) are the word ENUM in any case. */
static int isEnumWord(const char *letters, int length) {
  return length == 4 && tsToUpper((unsigned char)letters[0]) == 'E' && tsToUpper((unsigned char)letters[1]) == 'N' &&
         tsToUpper((unsigned char)letters[2]) == 'U' && tsToUpper((unsigned char)letters[3]) == 'M';
}

/* A block counts when the word ENUM, in any case, stands in the first
   column; the white space after that word (line ends included) is skipped,
   and after a block or any other line start the rest of the line is
   discarded, in pieces of at most TS_ENUM_REST_MAX characters. The file is
   read in blocks to its end. */
void ScanEnums(FILE *file) {
  FileReader reader;
  tsStartReading(&reader, file);
  for (;;) {
    char copy[TS_ENUM_WORD_MAX];
    const char *letters;
    long long lineStart = tsReaderOffset(&reader);
    int length = tsReadLetters(&reader, TS_ENUM_WORD_MAX, copy, &letters);
    if (length > 0) {
      tsSkipSpace(&reader);
      if (isEnumWord(letters, length)) {
        if (tsEnumTrace) tsEnumTrace->blockStart(tsEnumTrace->context, lineStart);
        ReadEnumBlock(&reader, enumNames, enumValues, &enumCount);
      }
    }
    /* The rest of the line, at most TS_ENUM_REST_MAX characters of it; the end
       of the file, or a read error, ends the scan. */
    if (!tsDiscardRest(&reader, TS_ENUM_REST_MAX)) break;
  }
}
