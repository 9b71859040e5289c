/*
 * Language files: parsing into one block of texts, and choosing the file of
 * a directory by its header's language.
 */
#include "lng/lng.h"

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

namespace {

const char kHeader[] = ".Language=";

int isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

/* Where a message line lies, for the trace. */
struct MessagePlace {
  int number; /* the message's number */
  int line;   /* 1-based line of the file */
};

/* Decodes one message line (after its opening quote, length bytes) into out,
   which has room for length + 1 bytes; returns the decoded length. Traces
   the line (and whether it had its closing quote) and each backslash kept
   as written. */
size_t decodeMessage(const char *line, size_t length, char *out, MessagePlace place) {
  while (length > 0 && isBlank(line[length - 1])) length--;
  int closed = length > 0 && line[length - 1] == '"';
  if (closed) length--;
  if (lngTrace && lngTrace->message) lngTrace->message(lngTrace->context, place.number, place.line, closed);
  size_t n = 0;
  for (size_t i = 0; i < length; i++) {
    char c = line[i];
    if (c == '\\') {
      char next = i + 1 < length ? line[i + 1] : 0;
      if (next == '\\' || next == '"') c = next, i++;
      else if (next == 'n') c = '\n', i++;
      else if (next == 't') c = '\t', i++;
      else if (lngTrace && lngTrace->escape)
        lngTrace->escape(lngTrace->context, place.number, place.line, (int)i + 2); /* after the opening quote */
    }
    out[n++] = c;
  }
  out[n] = 0;
  return n;
}

/* The language name of a header line's value: up to the comma, blanks cut. */
void headerLanguage(const char *value, size_t length, char *out, size_t room) {
  size_t n = 0;
  while (n < length && value[n] != ',') n++;
  while (n > 0 && isBlank(value[n - 1])) n--;
  if (n >= room) n = room - 1;
  memcpy(out, value, n);
  out[n] = 0;
}

/* Reads a whole file into a new block (owned by the caller) of *length
   bytes and a NUL; null when it cannot be read. */
char *readWhole(const char *path, size_t *length) {
  FILE *file = fopen(path, "rb");
  if (!file) return nullptr;
  size_t room = 4096, used = 0;
  char *data = (char *)malloc(room);
  while (data) {
    used += fread(data + used, 1, room - used - 1, file);
    if (used < room - 1) break;
    char *bigger = (char *)realloc(data, room * 2);
    if (!bigger) {
      free(data);
      data = nullptr;
      break;
    }
    data = bigger;
    room *= 2;
  }
  int failed = ferror(file);
  fclose(file);
  if (!data) return nullptr;
  if (failed) {
    free(data);
    return nullptr;
  }
  data[used] = 0;
  *length = used;
  return data;
}

/* The language of a file's header, into out; empty when it has none. */
void fileLanguage(const char *path, char *out, size_t room) {
  out[0] = 0;
  size_t length;
  char *text = readWhole(path, &length);
  if (!text) return;
  LngTable table = {};
  if (lngParse(text, length, &table)) snprintf(out, room, "%s", table.language);
  lngFree(&table);
  free(text);
}

/* Whether name ends in extension (".lng"), without regard to case. */
int endsWith(const char *name, const char *extension) {
  size_t n = strlen(name), e = strlen(extension);
  return n > e && strcasecmp(name + n - e, extension) == 0;
}

int compareNames(const void *a, const void *b) { return strcmp(*(char *const *)a, *(char *const *)b); }

}  // namespace

const LngTrace *lngTrace = nullptr;

int lngParse(const char *text, size_t length, LngTable *table) {
  memset(table, 0, sizeof *table);
  /* Messages never grow when decoded, so the block is as large as the text. */
  size_t lines = 1;
  for (size_t i = 0; i < length; i++) lines += text[i] == '\n';
  table->block = (char *)malloc(length + 1);
  table->messages = (const char **)malloc(lines * sizeof(char *));
  if (!table->block || !table->messages) {
    lngFree(table);
    return 0;
  }
  size_t used = 0;
  int lineNumber = 1;
  for (size_t start = 0; start < length; lineNumber++) {
    size_t end = start;
    while (end < length && text[end] != '\n') end++;
    const char *line = text + start;
    size_t lineLength = end - start;
    if (lineLength > 0 && line[0] == '"') {
      MessagePlace place = {table->count, lineNumber};
      table->messages[table->count++] = table->block + used;
      used += decodeMessage(line + 1, lineLength - 1, table->block + used, place) + 1;
    } else if (!table->language[0] && lineLength >= sizeof kHeader - 1 &&
               strncasecmp(line, kHeader, sizeof kHeader - 1) == 0) {
      headerLanguage(line + sizeof kHeader - 1, lineLength - (sizeof kHeader - 1), table->language,
                     sizeof table->language);
      if (lngTrace && lngTrace->header) lngTrace->header(lngTrace->context, lineNumber);
    }
    start = end + 1;
  }
  return 1;
}

int lngLoadFile(const char *path, LngTable *table) {
  memset(table, 0, sizeof *table);
  size_t length;
  char *text = readWhole(path, &length);
  if (!text) return 0;
  int ok = lngParse(text, length, table);
  free(text);
  return ok;
}

void lngFree(LngTable *table) {
  free(table->block);
  free((void *)table->messages);
  memset(table, 0, sizeof *table);
}

const char *lngMessage(const LngTable *table, int number) {
  if (!table || number < 0 || number >= table->count) return "";
  return table->messages[number];
}

int lngChooseFile(const char *directory, const char *language, char *path, int room) {
  return lngChooseFileOf(directory, ".lng", language, path, room);
}

int lngChooseFileOf(const char *directory, const char *extension, const char *language, char *path, int room) {
  DIR *dir = opendir(directory);
  if (!dir) return 0;
  enum { MAX_FILES = 256 }; /* language files looked at in one directory */
  char *names[MAX_FILES];
  int count = 0;
  for (struct dirent *entry; count < MAX_FILES && (entry = readdir(dir));)
    if (endsWith(entry->d_name, extension) && (names[count] = strdup(entry->d_name))) count++;
  closedir(dir);
  qsort(names, (size_t)count, sizeof names[0], compareNames);
  int wanted = -1, english = -1;
  for (int i = 0; i < count && wanted < 0; i++) {
    char full[4096], found[64];
    snprintf(full, sizeof full, "%s%s", directory, names[i]);
    fileLanguage(full, found, sizeof found);
    if (language && strcasecmp(found, language) == 0) wanted = i;
    else if (english < 0 && strcasecmp(found, "English") == 0) english = i;
  }
  int chosen = wanted >= 0 ? wanted : english >= 0 ? english : count > 0 ? 0 : -1;
  if (chosen >= 0) snprintf(path, (size_t)room, "%s%s", directory, names[chosen]);
  for (int i = 0; i < count; i++) free(names[i]);
  return chosen >= 0;
}
