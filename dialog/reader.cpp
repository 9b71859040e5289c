/*
 * The block reader: a description file read front to back through a block
 * of TS_FILE_BLOCK_SIZE bytes, as lines (fgets' cut at TS_LINE_SIZE - 1
 * characters kept) or as characters for the ENUM grammar. Lines that lie in
 * the block whole are handed out in place. What runs per character or per
 * line is inline in dialog_internal.h; here are the refills and the pieces
 * that cross the block's end.
 */
#include <string.h>

#include "dialog/dialog_internal.h"

void tsStartReading(FileReader *r, FILE *file) {
  r->file = file;
  r->base = 0;
  r->start = r->end = 0;
  r->ended = 0;
}

int tsFillBlock(FileReader *r) {
  if (r->ended) return 0;
  size_t got = fread(r->block, 1, TS_FILE_BLOCK_SIZE, r->file);
  r->base += r->end;
  r->start = 0;
  r->end = (int)got;
  if (got == 0) r->ended = 1;
  return got != 0;
}

void tsSkipToLineEnd(FileReader *r) {
  while (tsHaveBytes(r)) {
    const char *from = r->block + r->start;
    const char *end = static_cast<const char *>(memchr(from, '\n', (size_t)(r->end - r->start)));
    if (end) {
      r->start += (int)(end - from);
      return;
    }
    r->start = r->end;
  }
}

int tsDiscardRestRefilling(FileReader *r, int most) {
  while (most > 0) {
    if (!tsHaveBytes(r)) return 0;
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

int tsReadLettersRefilling(FileReader *r, int most, char *copy, const char **letters) {
  int length = 0;
  *letters = copy;
  while (length < most && tsHaveBytes(r)) {
    const char *p = r->block + r->start, *blockEnd = r->block + r->end;
    const char *end = blockEnd - p > most - length ? p + (most - length) : blockEnd;
    const char *q = p;
    while (q < end && tsIsLetter((unsigned char)*q)) q++;
    int piece = (int)(q - p);
    r->start += piece;
    if (length == 0 && (q < blockEnd || piece == most)) {
      *letters = p; /* the whole run, in the block */
      return piece;
    }
    memcpy(copy + length, p, (size_t)piece);
    length += piece;
    if (q < blockEnd) break; /* stopped on a character that is no letter, or full */
  }
  return length;
}

const char *tsReadLineRefilling(FileReader *r, char *line) {
  const int most = TS_LINE_SIZE - 1;
  if (!tsHaveBytes(r)) return nullptr;
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
    if (length == most || !tsFillBlock(r)) break;
  }
  line[length] = 0;
  return line;
}
