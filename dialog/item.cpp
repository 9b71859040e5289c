/*
 * Item lines: one line of a dialog section becomes one DialogItem, its
 * identifier and, for a quoted selected text, an owned copy of that text. The
 * line is split by the item pattern; keywords are resolved through four
 * constant tables and symbolic names through the library's enum table; texts
 * come from the line, the host's message table, the registry or the version.
 */
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"

/* ---- Keyword tables: a name's position is its meaning ---------------------- */

const char *const itemTypeNames[TS_TYPE_COUNT] = {"TEXT",    "VTEXT",   "SINGLEBOX", "DOUBLEBOX", "EDIT",
                                                  "PSWEDIT", "FIXEDIT", "BUTTON",    "CHECKBOX",  "RADIOBUTTON"};

/* Position 0 is the colour mask 0xFF; position p >= 1 is the bit 1 << (p + 7). */
const char *const itemFlagNames[TS_FLAG_COUNT] = {
    "DIF_COLORMASK",     "DIF_SETCOLOR",    "DIF_BOXCOLOR",   "DIF_GROUP",     "DIF_LEFTTEXT", "DIF_MOVESELECT",
    "DIF_SHOWAMPERSAND", "DIF_CENTERGROUP", "DIF_NOBRACKETS", "DIF_SEPARATOR", "DIF_EDITOR",   "DIF_HISTORY"};

/* Console colour numbers 0-15: foreground in bits 0-3, background in bits 4-7. */
const char *const colorNames[TS_COLOR_COUNT] = {
    "BLACK",    "BLUE",      "GREEN",      "CYAN",      "RED",      "MAGENTA",      "BROWN",  "LIGHTGRAY",
    "DARKGRAY", "LIGHTBLUE", "LIGHTGREEN", "LIGHTCYAN", "LIGHTRED", "LIGHTMAGENTA", "YELLOW", "WHITE"};
const char *const bkColorNames[TS_COLOR_COUNT] = {"BK_BLACK",    "BK_BLUE",         "BK_GREEN",      "BK_CYAN",
                                                  "BK_RED",      "BK_MAGENTA",      "BK_BROWN",      "BK_LIGHTGRAY",
                                                  "BK_DARKGRAY", "BK_LIGHTBLUE",    "BK_LIGHTGREEN", "BK_LIGHTCYAN",
                                                  "BK_LIGHTRED", "BK_LIGHTMAGENTA", "BK_YELLOW",     "BK_WHITE"};

enum {
  TS_REG_VALUE_ROOM = 512, /* bytes a registry value may have to be read at all */
  TS_REG_PATH_SIZE = 1024, /* the joined key path and value name: the host's root key and a field */
  TS_REG_TEXT_ROOM = 200   /* room for a registry text or its fallback */
};

/* The fields of an item line, in the order of the item pattern. */
enum {
  F_TYPE,
  F_ID,
  F_X1,
  F_Y1,
  F_X2,
  F_Y2,
  F_FOCUS,
  F_SELECTED,
  F_FLAGS,
  F_DEFAULT,
  F_SOURCE,
  F_ROOT,
  F_TEXT,
  F_FALLBACK,
  F_COUNT
};
static_assert((int)F_COUNT == (int)TS_ITEM_COUNT, "one field per element of the item pattern");

/* ---- Small helpers --------------------------------------------------------- */

/* Copies text into out (room bytes, room >= 1): at most room - 1 characters
   and a NUL; a null text gives the empty string. */
static void copyBounded(char *out, const char *text, size_t room) {
  size_t length = text ? strlen(text) : 0;
  if (length >= room) length = room - 1;
  if (length) memcpy(out, text, length);
  out[length] = 0;
}

/* Nonzero when the first four characters of text, upper-cased as ASCII,
   read NULL (a shorter text never does). */
static int beginsWithNullAnyCase(const char *text) {
  static const char kNull[] = "NULL";
  for (int i = 0; i < 4; i++) {
    if (tsToUpper((unsigned char)text[i]) != kNull[i]) return 0; /* also stops at the text's NUL */
  }
  return 1;
}

/* a + b, held to the 32-bit range (coordinates and sizes never wrap). */
static int32_t addSaturated(int32_t a, int32_t b) {
  int64_t sum = (int64_t)a + b;
  if (sum > INT32_MAX) return INT32_MAX;
  if (sum < INT32_MIN) return INT32_MIN;
  return (int32_t)sum;
}

/* Position of text among the first count names, searched from the last one
   down, or -1. A null table entry never matches. The first characters are
   compared before the call to strcmp, which most names then never need. */
static int findName(const char *const *names, const char *text, int count) {
  if (!names) return -1;
  for (int i = count - 1; i >= 0; i--)
    if (names[i] && names[i][0] == text[0] && strcmp(names[i], text) == 0) return i;
  return -1;
}

/* The numeric fallback of a keyword search: text read as a decimal integer,
   if that is nonzero or text begins with 0; otherwise -1. */
static int numberOrNone(const char *text) {
  int32_t number = tsReadDecimal(text, nullptr, nullptr);
  return (number != 0 || text[0] == '0') ? number : -1;
}

/* ---- Keyword lookup --------------------------------------------------------- */

/* Returns the position of text among the first count names (the last match in
   table order wins), else text read as a decimal number when that is nonzero
   or text begins with 0, else -1. A null text gives -1. */
int FindKeyword(const char *const *names, const char *text, int count) {
  if (!text) return -1;
  int position = findName(names, text, count);
  return position >= 0 ? position : numberOrNone(text);
}

/* As FindKeyword, but a matching name gives values[position] instead of its
   position; the numeric fallback is the same. */
int FindKeywordValue(const char *const *names, const int32_t *values, const char *text, int count) {
  if (!text) return -1;
  int position = findName(names, text, count);
  if (position >= 0) return values ? values[position] : -1;
  return numberOrNone(text);
}

/* ---- Flags ------------------------------------------------------------------ */

int tsIsFlagSeparator(char c) { return c == '(' || c == '+' || c == ')' || c == ' '; }

/* The bits one word of a flag list contributes: a flag name or number, else a
   colour, else a background colour (each with DIF_SETCOLOR), else nothing. */
uint32_t tsFlagWordValue(const char *word) {
  int p = FindKeyword(itemFlagNames, word, TS_FLAG_COUNT);
  if (p != -1) {
    if (p == 0) return DIF_COLORMASK;
    /* Any written number is a flag position; the shift is taken modulo 32 as
       a mathematical modulus, so no position gives a negative shift. */
    int shift = (int)((((int64_t)p + 7) % 32 + 32) % 32);
    return (uint32_t)1 << shift;
  }
  int k = FindKeyword(colorNames, word, TS_COLOR_COUNT);
  if (k != -1) return ((uint32_t)k & DIF_COLORMASK) | DIF_SETCOLOR;
  k = FindKeyword(bkColorNames, word, TS_COLOR_COUNT);
  if (k != -1) return (((uint32_t)k << 4) & DIF_COLORMASK) | DIF_SETCOLOR;
  return 0; /* a word in no table is ignored */
}

/* Returns the flags word of a flag list such as "(DIF_BOXCOLOR+YELLOW)": the
   OR of its words' values; 0 for a null text or one without words. The words
   are split at '(', '+', ')' and spaces by writing NULs into text. */
uint32_t ParseFlags(char *text) {
  uint32_t flags = 0;
  if (!text) return 0;
  char *p = text;
  for (;;) {
    while (*p && tsIsFlagSeparator(*p)) p++;
    if (!*p) break;
    char *word = p;
    while (*p && !tsIsFlagSeparator(*p)) p++;
    int last = *p == 0;
    *p = 0;
    flags |= tsFlagWordValue(word);
    if (last) break;
    p++;
  }
  return flags;
}

/* ---- Registry texts ----------------------------------------------------------- */

/* Reads the value named by rootPath "\" valuePath (the part after the last
   backslash names the value, the part before it the key below root) and writes
   it as text into out (outSize bytes): a 32-bit number as signed decimal when
   outSize > 3, anything else as its bytes, cut to outSize - 1 characters and
   never more than 511, terminated. Returns 0 when out was written (or out is
   null, which reads nothing), else the nonzero error code of the failed step;
   out is then not to be relied on. The key is opened for reading only. */
int ReadRegText(HKEY root, const char *rootPath, const char *valuePath, char *out, int outSize) {
  if (!out) return 0;
  if (!rootPath || !valuePath) return PL_ERROR_INVALID_PARAMETER;
  char path[TS_REG_PATH_SIZE];
  size_t rootLength = strlen(rootPath), valueLength = strlen(valuePath);
  if (rootLength + 1 + valueLength >= sizeof path) return PL_ERROR_FILENAME_EXCED_RANGE;
  memcpy(path, rootPath, rootLength);
  path[rootLength] = '\\';
  memcpy(path + rootLength + 1, valuePath, valueLength + 1);

  char *split = strrchr(path, '\\'); /* never null: one was just written */
  *split = 0;
  const char *valueName = split + 1;

  HKEY key = nullptr;
  long error = plRegOpenKey(root, path, PL_KEY_READ, &key);
  if (error) return (int)error;
  unsigned char value[TS_REG_VALUE_ROOM];
  memset(value, 0, sizeof value);
  uint32_t type = PL_REG_NONE, size = sizeof value;
  error = plRegQueryValue(key, valueName, &type, value, &size);
  plRegCloseKey(key);
  if (error) return (int)error;
  if (size > sizeof value) size = sizeof value;

  if (type == PL_REG_DWORD && outSize > 3) {
    /* Stored little-endian; a shorter value reads as if zero-padded. */
    uint32_t bits = (uint32_t)value[0] | (uint32_t)value[1] << 8 | (uint32_t)value[2] << 16 | (uint32_t)value[3] << 24;
    snprintf(out, (size_t)outSize, "%d", (int)(int32_t)bits);
    return 0;
  }
  if (outSize <= 0) return 0; /* no room for even the terminator */
  /* The text ends at its NUL or at the value's size, whichever comes first. */
  size_t limit = (size_t)outSize - 1;
  if (limit > TS_REG_VALUE_ROOM - 1) limit = TS_REG_VALUE_ROOM - 1;
  if (limit > size) limit = size;
  size_t length = 0;
  while (length < limit && value[length]) length++;
  memcpy(out, value, length);
  out[length] = 0;
  return 0;
}

/* ---- Item lines ------------------------------------------------------------------ */

int tsReadsTrue(char c) { return c == 'T' || c == 't' || c == '1'; }

int tsIsTruthValue(const char *field) { return field[0] && !field[1] && strchr("TtFf10", field[0]) != nullptr; }

int tsRootIsCurrentUser(const char *root) { return strncmp(root, "HKCU", 4) == 0; }

int tsFallbackIsNull(const char *fallback) { return strncmp(fallback, "NULL", 4) == 0; }

int tsIsTextSource(char c) {
  return c == TS_SOURCE_LNG || c == TS_SOURCE_REG || c == TS_SOURCE_TEXT || c == TS_SOURCE_VERSION;
}

/* The `selected` column: a quoted text (copied, owned through *string), a
   one-character truth value, or an enum name or number standing for a host
   message. Writes item->selected and *string. */
static void readSelected(int lngMode, int moduleNumber, const char *field, DialogItem *item, char **string) {
  *string = nullptr;
  if (field[0] == '"') {
    /* Drop the quotes. A field cut short by the token room may be a lone
       quote: then nothing is left, never a negative length. */
    size_t length = strlen(field);
    length = length >= 2 ? length - 2 : 0;
    char *copy = static_cast<char *>(tsAllocate(length + 1));
    if (copy) {
      memcpy(copy, field + 1, length);
      copy[length] = 0;
    }
    item->selected = (intptr_t)copy; /* null when the copy failed */
    *string = copy;
    return;
  }
  if (tsIsTruthValue(field)) {
    item->selected = tsReadsTrue(field[0]);
    return;
  }
  int g = FindKeyword((const char *const *)enumNames, field, enumCount);
  if (g == -1) {
    item->selected = 0;
    return;
  }
  /* The name's table position (or the number written) is the message number;
     outside language mode 0 every name shows message 1. */
  item->selected = (intptr_t)GetMsgText(lngMode == 0 ? g : 1, moduleNumber);
}

/* Fills item->data (512 bytes) from the text source of the line. */
static void readText(int lngMode, int moduleNumber, char fields[F_COUNT][TS_TOKEN_ROOM], DialogItem *item) {
  char *data = item->data;
  const size_t room = sizeof item->data;
  switch (fields[F_SOURCE][0]) {
    case TS_SOURCE_LNG: /* localised text, or what the file wrote in modes 1 and 2 */
      if (lngMode == 1) {
        copyBounded(data, fields[F_TEXT], room);
      } else if (lngMode == 2) {
        copyBounded(data, fields[F_ID], room);
      } else {
        int m = FindKeyword((const char *const *)enumNames, fields[F_TEXT], enumCount);
        copyBounded(data, m == -1 ? nullptr : GetMsgText(m, moduleNumber), room);
      }
      break;
    case TS_SOURCE_REG: { /* registry, under the host's root key, with a fallback text */
      HKEY root = tsRootIsCurrentUser(fields[F_ROOT]) ? PL_HKEY_CURRENT_USER : PL_HKEY_LOCAL_MACHINE;
      char text[TS_REG_TEXT_ROOM];
      if (ReadRegText(root, tsStartup.rootKey, fields[F_TEXT], text, sizeof text) != 0) {
        const char *fallback = fields[F_FALLBACK];
        copyBounded(text, tsFallbackIsNull(fallback) ? nullptr : fallback, sizeof text);
      }
      copyBounded(data, text, room);
      break;
    }
    case TS_SOURCE_TEXT: /* literal text; one beginning with null in any case is empty */
      copyBounded(data, beginsWithNullAnyCase(fields[F_TEXT]) ? nullptr : fields[F_TEXT], room);
      break;
    case TS_SOURCE_VERSION: /* the library's version, " 1.00 " */
      snprintf(data, room, " %x.%02x ", (unsigned)(TS_VERSION >> 8), (unsigned)(TS_VERSION & 0xFF));
      break;
    default:
      data[0] = 0;
      break;
  }
}

/* Interprets one line of a dialog section. Returns 1 when it is no item line
   (fewer than TS_ITEM_COUNT fields matched, or a type that is neither keyword nor number):
   nothing is written. Returns 2 when *item (every field, data as its text
   source says, the rest of data zero), *id and *string have been written;
   *string is then an owned copy of a quoted selected text (item->selected
   points to the same block) or null, and passes to the caller. */
int ParseItemLine(int lngMode, int moduleNumber, DialogItem *item, int32_t *id, char **string, const char *line) {
  char tokens[TS_TOKEN_ROOM];
  if (sparse(line, TS_PATTERN_ITEM, tokens, sizeof tokens) < TS_ITEM_COUNT) return 1;
  /* A token string of a 200-byte room holds at most 199 characters, so each
     decoded field fits 200 bytes. */
  char fields[F_COUNT][TS_TOKEN_ROOM];
  for (int i = 0; i < F_COUNT; i++) parseGetStr(tokens, fields[i], i);

  int type = FindKeyword(itemTypeNames, fields[F_TYPE], TS_TYPE_COUNT);
  if (type == -1) return 1;

  memset(item, 0, sizeof *item);
  item->type = type;
  *id = FindKeywordValue((const char *const *)enumNames, enumValues, fields[F_ID], enumCount);

  item->x1 = tsReadDecimal(fields[F_X1], nullptr, nullptr);
  item->y1 = tsReadDecimal(fields[F_Y1], nullptr, nullptr);
  item->x2 = tsReadDecimal(fields[F_X2], nullptr, nullptr);
  item->y2 = tsReadDecimal(fields[F_Y2], nullptr, nullptr);
  /* Boxes and edit fields may give a width instead of a right column, and
     boxes a height instead of a bottom row: a value less than the start. */
  if (type >= DI_SINGLEBOX && type <= DI_FIXEDIT && item->x2 < item->x1) item->x2 = addSaturated(item->x1, item->x2);
  if ((type == DI_SINGLEBOX || type == DI_DOUBLEBOX) && item->y2 < item->y1)
    item->y2 = addSaturated(item->y1, item->y2);

  item->focus = tsReadsTrue(fields[F_FOCUS][0]); /* upper-cased by the pattern */
  readSelected(lngMode, moduleNumber, fields[F_SELECTED], item, string);
  item->flags = ParseFlags(fields[F_FLAGS]);
  item->defaultButton = tsReadsTrue(fields[F_DEFAULT][0]);
  readText(lngMode, moduleNumber, fields, item);
  return 2;
}
