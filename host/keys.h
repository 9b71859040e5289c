/*
 * Key codes of the host stand-in and their names. One table holds every key
 * name that a --keys script may use; the same names describe keys in screen
 * dumps, and each key also has the host's own code, which a menu's break
 * keys are written in. Turning terminal input into key codes is the
 * terminal's business; acting on them is the menu's, dialog's and message
 * box's.
 */
#ifndef TESSEL_HOST_KEYS_H
#define TESSEL_HOST_KEYS_H

/* A key code: 0x20-0xFF is a character of the host's code page as typed;
   the named keys follow; TK_ALT ORed with a character is that character
   typed with Alt. */
enum {
  TK_NONE = 0,
  TK_TAB = 0x100,
  TK_STAB,
  TK_UP,
  TK_DOWN,
  TK_LEFT,
  TK_RIGHT,
  TK_HOME,
  TK_END,
  TK_ENTER,
  TK_ESC,
  TK_BS,
  TK_DEL,
  TK_F1,
  TK_F10 = TK_F1 + 9,
  TK_F12 = TK_F1 + 11,
  TK_SUP, /* the arrows with Shift */
  TK_SDOWN,
  TK_SLEFT,
  TK_SRIGHT,
  TK_CZ, /* Ctrl+Z and Ctrl+Y */
  TK_CY,
  TK_RESIZE,      /* the terminal changed its size: draw again */
  TK_RELOAD,      /* the watched file changed: every window closes, to reopen on the new version */
  TK_WAIT_RELOAD, /* "Reload" in a --keys script: wait for the next change of the watched file */
  TK_ALT = 0x10000,
  TK_INS = TK_WAIT_RELOAD + 1 /* Insert */
};

/* Events of the mouse's left button, where the terminal reports them: a key
   code of its own carrying the action and the screen cell (0-based column
   and row). The bits of Alt and of the characters stay clear, so that a
   window that knows no mouse takes such a code for no key at all. */
enum { TK_MOUSE = 0x40000000, MOUSE_PRESS = 0, MOUSE_MOVE = 1, MOUSE_RELEASE = 2, MOUSE_MAX_CELL = 2047 };

/* The code of a mouse event (action one of MOUSE_*; x and y clamped to
   0..MOUSE_MAX_CELL). */
int keyMouse(int action, int x, int y);

/* Whether key is a mouse event, and its action and cell. */
int keyIsMouse(int key);
int keyMouseAction(int key);
int keyMouseX(int key);
int keyMouseY(int key);

/* The key with the given name (compared without regard to case; length
   bytes of name), or -1. "Space" is the character ' '. */
int keyFromName(const char *name, int length);

/* Writes the key's name as a script would write it ("Tab", "A-x", "\"x\"",
   characters of the code page in UTF-8) into out (room bytes, terminated);
   returns out. */
char *keyDescribe(int key, char *out, int room);

/* Reads a --keys script into at most room key codes: names from the table
   separated by white space, "A-" and one character for Alt, a double-quoted
   text typed character by character (\" and \\ inside stand for " and \), or
   one bare character; mouse events as "Press:X,Y", "Move:X,Y" and
   "Release:X,Y" (a screen cell, 0-based), "Click:X,Y" for a press and a
   release there, and "Drag:X,Y-X2,Y2" for a press, a move and a release. Characters are UTF-8 and are typed in the
   host's code page. Returns the number of keys, or -1 with a one-line reason in error (errorRoom bytes) for an unknown
   name, an unterminated quote, a character the code page lacks or a script longer than room. */
int keyParseScript(const char *script, int *keys, int room, char *error, int errorRoom);

/* The host's code of a key, as break keys of a menu are given: the virtual
   key code in the low 16 bits (letters upper case), Alt and Shift as the
   modifier bits 0x20000 and 0x40000; 0 for a key without one. */
int keyHostCode(int key);

#endif
