/*
 * The key name table and the --keys script reader built on it.
 */
#include "host/keys.h"

#include <stdio.h>
#include <string.h>
#include <strings.h>

#include "codepage/codepage.h"

namespace {

/* The host's modifier bits of a key code. */
enum { HOST_ALT = 0x20000, HOST_SHIFT = 0x40000, HOST_CTRL = 0x10000 };

struct KeyName {
  const char *name;
  int key;
  int hostCode; /* virtual key code, with modifier bits */
};

const KeyName kKeyNames[] = {
    {"Tab", TK_TAB, 0x09},
    {"S-Tab", TK_STAB, 0x09 | HOST_SHIFT},
    {"Up", TK_UP, 0x26},
    {"Down", TK_DOWN, 0x28},
    {"Left", TK_LEFT, 0x25},
    {"Right", TK_RIGHT, 0x27},
    {"Home", TK_HOME, 0x24},
    {"End", TK_END, 0x23},
    {"Space", ' ', 0x20},
    {"Enter", TK_ENTER, 0x0D},
    {"Esc", TK_ESC, 0x1B},
    {"BS", TK_BS, 0x08},
    {"Del", TK_DEL, 0x2E},
    {"F1", TK_F1, 0x70},
    {"F2", TK_F1 + 1, 0x71},
    {"F3", TK_F1 + 2, 0x72},
    {"F4", TK_F1 + 3, 0x73},
    {"F5", TK_F1 + 4, 0x74},
    {"F6", TK_F1 + 5, 0x75},
    {"F7", TK_F1 + 6, 0x76},
    {"F8", TK_F1 + 7, 0x77},
    {"F9", TK_F1 + 8, 0x78},
    {"F10", TK_F1 + 9, 0x79},
    {"F11", TK_F1 + 10, 0x7A},
    {"F12", TK_F1 + 11, 0x7B},
    {"S-Up", TK_SUP, 0x26 | HOST_SHIFT},
    {"S-Down", TK_SDOWN, 0x28 | HOST_SHIFT},
    {"S-Left", TK_SLEFT, 0x25 | HOST_SHIFT},
    {"S-Right", TK_SRIGHT, 0x27 | HOST_SHIFT},
    {"C-Z", TK_CZ, 0x5A | HOST_CTRL},
    {"C-Y", TK_CY, 0x59 | HOST_CTRL},
    {"Ins", TK_INS, 0x2D},
    {"Reload", TK_WAIT_RELOAD, 0},
};

/* The mouse events of a script, by name: one action, or a click (press and
   release) or a drag (press, move, release) made of several. */
const struct {
  const char *name;
  int actions[3];
  int count;
  int cells; /* 1: "X,Y"; 2: "X,Y-X2,Y2" (the press at the first) */
} kMouseNames[] = {
    {"Press", {MOUSE_PRESS}, 1, 1},
    {"Move", {MOUSE_MOVE}, 1, 1},
    {"Release", {MOUSE_RELEASE}, 1, 1},
    {"Click", {MOUSE_PRESS, MOUSE_RELEASE}, 2, 1},
    {"Drag", {MOUSE_PRESS, MOUSE_MOVE, MOUSE_RELEASE}, 3, 2},
};
const int kKeyNameCount = (int)(sizeof kKeyNames / sizeof kKeyNames[0]);

const KeyName *findKey(int key) {
  for (int i = 0; i < kKeyNameCount; i++)
    if (kKeyNames[i].key == key) return &kKeyNames[i];
  return nullptr;
}

int isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

/* Reads one UTF-8 character at text as a key of the code page; -1 when the
   code page has no byte for it. Advances *used by the bytes read. */
int characterKey(const char *text, int *used) {
  uint32_t cp;
  *used = utf8Decode(text, &cp);
  return cpEncode(cp);
}

/* Writes "<what> <token>" as the error, the token cut to a readable length. */
void fail(char *error, int room, const char *what, const char *token, int length) {
  if (error && room > 0) snprintf(error, (size_t)room, "%s \"%.*s\"", what, length > 40 ? 40 : length, token);
}

/* Reads a cell "X,Y" at *p (decimal, 0 to MOUSE_MAX_CELL each); advances *p. */
int readCell(const char **p, const char *end, int *x, int *y) {
  int *v[2] = {x, y};
  for (int i = 0; i < 2; i++) {
    if (i == 1 && (*p >= end || *(*p)++ != ',')) return 0;
    if (*p >= end || **p < '0' || **p > '9') return 0;
    *v[i] = 0;
    while (*p < end && **p >= '0' && **p <= '9') {
      *v[i] = *v[i] * 10 + (**p - '0');
      if (*v[i] > MOUSE_MAX_CELL) return 0;
      (*p)++;
    }
  }
  return 1;
}

/* The mouse events a token names ("Click:3,4"), at most 3 into out; 0 when
   it names none, -1 when it names one with a malformed cell. */
int mouseFromName(const char *token, int length, int *out) {
  for (const auto &m : kMouseNames) {
    int n = (int)strlen(m.name);
    if (length <= n || token[n] != ':' || strncasecmp(token, m.name, (size_t)n) != 0) continue;
    const char *p = token + n + 1, *end = token + length;
    int x, y, x2, y2;
    if (!readCell(&p, end, &x, &y)) return -1;
    x2 = x;
    y2 = y;
    if (m.cells == 2 && (p >= end || *p++ != '-' || !readCell(&p, end, &x2, &y2))) return -1;
    if (p != end) return -1;
    for (int i = 0; i < m.count; i++)
      out[i] = m.actions[i] == MOUSE_PRESS ? keyMouse(MOUSE_PRESS, x, y) : keyMouse(m.actions[i], x2, y2);
    return m.count;
  }
  return 0;
}

}  // namespace

int keyMouse(int action, int x, int y) {
  x = x < 0 ? 0 : x > MOUSE_MAX_CELL ? MOUSE_MAX_CELL : x;
  y = y < 0 ? 0 : y > MOUSE_MAX_CELL ? MOUSE_MAX_CELL : y;
  return TK_MOUSE | (action & 3) << 28 | x << 17 | y;
}

int keyIsMouse(int key) { return (key & TK_MOUSE) != 0; }

int keyMouseAction(int key) { return key >> 28 & 3; }

int keyMouseX(int key) { return key >> 17 & MOUSE_MAX_CELL; }

int keyMouseY(int key) { return key & MOUSE_MAX_CELL; }

int keyFromName(const char *name, int length) {
  for (int i = 0; i < kKeyNameCount; i++)
    if ((int)strlen(kKeyNames[i].name) == length && strncasecmp(kKeyNames[i].name, name, (size_t)length) == 0)
      return kKeyNames[i].key;
  return -1;
}

char *keyDescribe(int key, char *out, int room) {
  if (room <= 0) return out;
  const KeyName *named = findKey(key);
  char utf8[5] = {0};
  if (keyIsMouse(key)) {
    static const char *const actions[] = {"Press", "Move", "Release", "Release"};
    snprintf(out, (size_t)room, "%s:%d,%d", actions[keyMouseAction(key)], keyMouseX(key), keyMouseY(key));
  } else if (named) {
    snprintf(out, (size_t)room, "%s", named->name);
  } else if (key & TK_ALT) {
    utf8[utf8Encode(cpDecode((unsigned char)(key & 0xFF)), utf8)] = 0;
    snprintf(out, (size_t)room, "A-%s", utf8);
  } else if (key >= 0x20 && key <= 0xFF) {
    utf8[utf8Encode(cpDecode((unsigned char)key), utf8)] = 0;
    snprintf(out, (size_t)room, key == '"' || key == '\\' ? "\"\\%s\"" : "\"%s\"", utf8);
  } else {
    snprintf(out, (size_t)room, "key %d", key);
  }
  return out;
}

int keyParseScript(const char *script, int *keys, int room, char *error, int errorRoom) {
  int count = 0;
  const char *p = script ? script : "";
  if (error && errorRoom > 0) error[0] = 0;
  for (;;) {
    while (isBlank(*p)) p++;
    if (!*p) return count;
    const char *token = p;
    if (*p == '"') { /* text to type */
      p++;
      while (*p && *p != '"') {
        if (*p == '\\' && (p[1] == '"' || p[1] == '\\')) p++;
        int used, key = characterKey(p, &used);
        if (key < 0) {
          fail(error, errorRoom, "no character of the code page for", p, used);
          return -1;
        }
        if (count >= room) {
          fail(error, errorRoom, "too many keys at", token, 12);
          return -1;
        }
        keys[count++] = key;
        p += used;
      }
      if (*p != '"') {
        fail(error, errorRoom, "unterminated text in --keys:", token, (int)(p - token));
        return -1;
      }
      p++;
      continue;
    }
    while (*p && !isBlank(*p)) p++;
    int length = (int)(p - token), key = keyFromName(token, length);
    int mouse[3], events = key < 0 ? mouseFromName(token, length, mouse) : 0;
    if (events < 0) {
      fail(error, errorRoom, "a mouse event needs a cell (\"Click:X,Y\", \"Drag:X,Y-X2,Y2\"):", token, length);
      return -1;
    }
    if (events > 0) {
      if (count + events > room) {
        fail(error, errorRoom, "too many keys at", token, length);
        return -1;
      }
      for (int i = 0; i < events; i++) keys[count++] = mouse[i];
      continue;
    }
    if (key < 0) {
      int used = 0;
      uint32_t cp;
      int skip = (length > 2 && (token[0] == 'A' || token[0] == 'a') && token[1] == '-') ? 2 : 0;
      if (length > skip) used = utf8Decode(token + skip, &cp);
      if (length > skip && used == length - skip) { /* one character, with A- or bare */
        key = cpEncode(cp);
        if (key < 0) {
          fail(error, errorRoom, "no character of the code page for", token, length);
          return -1;
        }
        if (skip) key |= TK_ALT;
      }
    }
    if (key < 0) {
      fail(error, errorRoom, "unknown key name", token, length);
      return -1;
    }
    if (count >= room) {
      fail(error, errorRoom, "too many keys at", token, length);
      return -1;
    }
    keys[count++] = key;
  }
}

int keyHostCode(int key) {
  const KeyName *named = findKey(key);
  if (named) return named->hostCode;
  int alt = key & TK_ALT ? HOST_ALT : 0, ch = key & 0xFF;
  if (key & ~(TK_ALT | 0xFF)) return 0;
  if (ch >= 'a' && ch <= 'z') ch -= 'a' - 'A';
  return ch | alt;
}
