/*
 * The description file loader: reads a file's ENUM blocks into the enum
 * table, finds the named dialog's section, builds its items in the scratch
 * tables and hands out a DialogData holding copies of them; it also lists a
 * file's dialog names one call at a time. Files are found by the path rule
 * (path.cpp) and read through the block reader (reader.cpp).
 */
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"

const char tsDefaultHelpTopic[] = "Contents";

/* ---- Section lines ---------------------------------------------------------------- */

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
  while (tsIsSpace((unsigned char)*line)) line++;
  return tsToLower((unsigned char)*line) == letter;
}

int tsReadHeader(const char *line, char *name) {
  char tokens[TS_TOKEN_ROOM];
  if (!beginsWithLetter(line, 'n')) return 0;
  if (sparse(line, TS_PATTERN_HEADER, tokens, sizeof tokens) != TS_HEADER_COUNT) return 0;
  parseGetStr(tokens, name, 0);
  return 1;
}

int tsIsSectionEnd(const char *line) {
  return beginsWithLetter(line, 'n') && sparse(line, TS_PATTERN_SECTION_END, nullptr, 0) == TS_SECTION_END_COUNT;
}

int tsReadHelp(const char *line, char *topic) {
  char tokens[TS_TOKEN_ROOM];
  if (!beginsWithLetter(line, 'h')) return 0;
  if (sparse(line, TS_PATTERN_HELP, tokens, sizeof tokens) != TS_HELP_COUNT) return 0;
  parseGetStr(tokens, topic, 0);
  return 1;
}

/* Reads lines up to and including the header of the dialog name (line:
   TS_LINE_SIZE bytes of room for tsReadLine); returns nonzero when it was
   found. */
static int findSection(FileReader *r, const char *dialogName, char *line) {
  char name[TS_TOKEN_ROOM];
  const char *text;
  while ((text = tsReadLine(r, line)))
    if (tsReadHeader(text, name) && strcmp(name, dialogName) == 0) return 1;
  return 0;
}

/* ---- Handles -------------------------------------------------------------------------- */

void tsWidenBounds(TsBounds *b, const DialogItem *item) {
  if (item->x1 > 0 && (b->minX == -1 || item->x1 < b->minX)) b->minX = item->x1;
  if (item->y1 > 0 && (b->minY == -1 || item->y1 < b->minY)) b->minY = item->y1;
  if (item->x2 > b->maxX) b->maxX = item->x2;
  if (item->y2 > b->maxY) b->maxY = item->y2;
}

int32_t tsDialogExtent(int32_t largestEnd, int32_t smallestStart) {
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
static DialogData *buildDialog(int n, const TsBounds *b, const char *helpTopic, int lngMode, int moduleNumber) {
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
    dialog->helpTopic = tsCopyText(helpTopic);
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
  dialog->width = tsDialogExtent(b->maxX, b->minX);
  dialog->height = tsDialogExtent(b->maxY, b->minY);
  dialog->lastId = 0;
  dialog->lngMode = lngMode;
  dialog->moduleNumber = moduleNumber;
  return dialog;
}

/* ---- Loading ------------------------------------------------------------------------- */

/* The language mode of a module without SetLngMode. */
static int defaultLngMode(void) { return 0; }

/* Loads the dialog of that name from a description file found by the path
   rule, for host module moduleNumber (-1: the library's own). Returns a new
   handle that the caller owns and releases with FreeDialog, or null: for a
   null or empty name (no message), a file that cannot be opened (its path
   shown, or its name when no whole path can be built), no section of that
   name or one without items (no message), or a failed allocation (its message shown). Rebuilds the enum table and
   overwrites the scratch tables. */
extern "C" DialogData *LoadDialogEx(HMODULE module, int moduleNumber, const char *fileName, const char *dialogName) {
  TsBounds bounds = tsNoBounds;
  if (moduleNumber == -1) moduleNumber = tsStartup.moduleNumber;
  if (!fileName || !fileName[0] || !dialogName || !dialogName[0]) return nullptr;

  SetLngModeFn askMode = module ? (SetLngModeFn)plFindExport(module, "SetLngMode") : nullptr;
  if (!askMode) askMode = defaultLngMode;
  int lngMode = askMode();

  FILE *file = tsOpenDescription(module, fileName);
  if (!file) return nullptr;

  char helpTopic[TS_TOKEN_ROOM];
  strcpy(helpTopic, tsDefaultHelpTopic);
  tsClearEnums();
  ScanEnums(file);
  rewind(file);

  FileReader reader;
  tsStartReading(&reader, file);
  char line[TS_LINE_SIZE];
  const char *text;
  int n = 0;
  if (findSection(&reader, dialogName, line)) {
    while (n < TS_MAX_ITEMS && (text = tsReadLine(&reader, line))) {
      if (tsIsSectionEnd(text)) break;
      if (tsReadHelp(text, helpTopic)) continue;
      if (ParseItemLine(lngMode, moduleNumber, &scratchItems[n], &scratchIds[n], &scratchStrings[n], text) == 2) {
        tsWidenBounds(&bounds, &scratchItems[n]);
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
  FILE *file = tsOpenDescription(module, fileName);
  if (!file) return name;
  FileReader reader;
  tsStartReading(&reader, file);
  char line[TS_LINE_SIZE];
  if (name[0]) findSection(&reader, name, line);
  char next[TS_TOKEN_ROOM];
  const char *text;
  int found = 0;
  while (!found && (text = tsReadLine(&reader, line))) found = tsReadHeader(text, next);
  fclose(file);
  if (found) strcpy(name, next);
  else name[0] = 0;
  return name;
}
