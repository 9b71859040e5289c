/*
 * The terminal through ncursesw: colour pairs made on demand from console
 * colour bytes (with a monochrome fallback), frame characters from the
 * alternate character set when the locale is not UTF-8, signal handlers and
 * an exit hook that put the terminal back as they found it.
 */
#ifndef NCURSES_WIDECHAR
#define NCURSES_WIDECHAR 1
#endif
#include "host/terminal.h"

#include <curses.h>
#include <langinfo.h>
#include <locale.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>
#include <termios.h>
#include <unistd.h>

#include "codepage/codepage.h"
#include "host/draw.h"
#include "host/dump.h"
#include "host/keys.h"
#include "platform/platform.h"

#include <term.h> /* last: it defines many short macros */

namespace {

volatile sig_atomic_t isOpen;
SCREEN *terminal;   /* ncurses' screen on standard output */
int hooksInstalled; /* the exit hook and signal handlers are in place */
int utf8Locale;
int colourMode;    /* 0 monochrome, 8 or 16 colours */
short pairOf[256]; /* colour byte -> pair number, 0 when not made yet */
short nextPair = 1;
volatile sig_atomic_t mouseOn; /* the terminal was asked to report the mouse */

/* The reports asked for: the buttons with moves while one is held (1002),
   in xterm's SGR form (1006), whose cells have no upper bound. */
const char kMouseOn[] = "\033[?1002h\033[?1006h";
const char kMouseOff[] = "\033[?1006l\033[?1002l";

/* How long an Esc waits for the character that makes it Alt+character. */
const int kAltDelayMs = 50;

const int kFatalSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

void onSignal(int sig) {
  terminalClose();
  signal(sig, SIG_DFL);
  raise(sig);
}

/* The ncurses colour of a console colour: its low three bits reordered, plus
   8 for a bright colour when the terminal has sixteen. */
short cursesColour(int console) {
  static const short kBase[8] = {COLOR_BLACK, COLOR_BLUE,    COLOR_GREEN,  COLOR_CYAN,
                                 COLOR_RED,   COLOR_MAGENTA, COLOR_YELLOW, COLOR_WHITE};
  short base = kBase[console & 7];
  return (short)(colourMode >= 16 && (console & 8) ? base + 8 : base);
}

/* The attributes and pair of a paint. */
attr_t attributesOf(Paint paint, short *pair) {
  *pair = 0;
  if (!colourMode) {
    attr_t a = A_NORMAL;
    if (paint.mono & MONO_REVERSE) a |= A_REVERSE;
    if (paint.mono & MONO_BOLD) a |= A_BOLD;
    if (paint.mono & MONO_UNDERLINE) a |= A_UNDERLINE;
    if (paint.mono & MONO_DIM) a |= A_DIM;
    return a;
  }
  int colour = paint.colour;
  if (!pairOf[colour] && nextPair < COLOR_PAIRS) {
    if (init_pair(nextPair, cursesColour(colour & 15), cursesColour(colour >> 4)) == OK) pairOf[colour] = nextPair++;
  }
  *pair = pairOf[colour];
  return colourMode < 16 && (colour & 8) ? A_BOLD : A_NORMAL;
}

/* The character that shows a code point on a terminal without UTF-8. */
const cchar_t *narrowFrame(uint32_t ch) {
  switch (ch) {
    case CH_H:
      return WACS_HLINE;
    case CH_V:
      return WACS_VLINE;
    case CH_TL:
      return WACS_ULCORNER;
    case CH_TR:
      return WACS_URCORNER;
    case CH_BL:
      return WACS_LLCORNER;
    case CH_BR:
      return WACS_LRCORNER;
    case CH_TEE_L:
      return WACS_LTEE;
    case CH_TEE_R:
      return WACS_RTEE;
    case CH_DH:
      return WACS_D_HLINE;
    case CH_DV:
      return WACS_D_VLINE;
    case CH_DTL:
      return WACS_D_ULCORNER;
    case CH_DTR:
      return WACS_D_URCORNER;
    case CH_DBL:
      return WACS_D_LLCORNER;
    case CH_DBR:
      return WACS_D_LRCORNER;
    case CH_DTEE_L:
      return WACS_D_LTEE;
    case CH_DTEE_R:
      return WACS_D_RTEE;
    case CH_DOWN_ARROW:
      return WACS_DARROW;
    case CH_BULLET:
      return WACS_BULLET;
    default:
      return nullptr;
  }
}

/* Whether the terminal description setupterm loaded can put the cursor on
   any cell: it has a cursor address and is no generic or printing type. */
int canAddressCursor() {
  const char *address = tigetstr((char *)"cup");
  if (!address || address == (char *)-1) return 0;
  return tigetflag((char *)"gn") <= 0 && tigetflag((char *)"hc") <= 0;
}

/* Decodes one curses key code (not a character). */
int decodeFunctionKey(wint_t code) {
  switch (code) {
    case KEY_UP:
      return TK_UP;
    case KEY_DOWN:
      return TK_DOWN;
    case KEY_LEFT:
      return TK_LEFT;
    case KEY_RIGHT:
      return TK_RIGHT;
    case KEY_HOME:
      return TK_HOME;
    case KEY_END:
      return TK_END;
    case KEY_BTAB:
      return TK_STAB;
    case KEY_ENTER:
      return TK_ENTER;
    case KEY_BACKSPACE:
      return TK_BS;
    case KEY_DC:
      return TK_DEL;
    case KEY_IC:
      return TK_INS;
    case KEY_RESIZE:
      return TK_RESIZE;
    case KEY_MOUSE: { /* a terminal type whose description has the report ncurses decodes */
      MEVENT event;
      if (getmouse(&event) != OK) return TK_NONE;
      if (event.bstate & BUTTON1_PRESSED) return keyMouse(MOUSE_PRESS, event.x, event.y);
      if (event.bstate & BUTTON1_RELEASED) return keyMouse(MOUSE_RELEASE, event.x, event.y);
      if (event.bstate & REPORT_MOUSE_POSITION) return keyMouse(MOUSE_MOVE, event.x, event.y);
      return TK_NONE;
    }
    case KEY_SR: /* Shift+Up */
      return TK_SUP;
    case KEY_SF: /* Shift+Down */
      return TK_SDOWN;
    case KEY_SLEFT:
      return TK_SLEFT;
    case KEY_SRIGHT:
      return TK_SRIGHT;
    default:
      if (code >= (wint_t)KEY_F(1) && code <= (wint_t)KEY_F(12)) return TK_F1 + (int)(code - KEY_F(1));
      return TK_NONE;
  }
}

/* Decodes one character the keyboard sent. */
int decodeCharacter(wint_t ch) {
  switch (ch) {
    case '\t':
      return TK_TAB;
    case '\r':
    case '\n':
      return TK_ENTER;
    case 27:
      return TK_ESC;
    case 8:
    case 127:
      return TK_BS;
    case 26:
      return TK_CZ;
    case 25:
      return TK_CY;
    default: {
      int byte = cpEncode((uint32_t)ch);
      return byte < 0 ? TK_NONE : byte;
    }
  }
}

/* Ctrl+Z reaches the windows as a key (undo) instead of suspending the
   program: the terminal's suspend character is turned off in the program's
   mode, which ncurses keeps from here on; leaving restores the shell's. */
void keepSuspendKey() {
  struct termios modes;
  if (tcgetattr(STDIN_FILENO, &modes) != 0) return;
  modes.c_cc[VSUSP] = _POSIX_VDISABLE;
#ifdef VDSUSP
  modes.c_cc[VDSUSP] = _POSIX_VDISABLE; /* Ctrl+Y, where the system has a delayed suspend */
#endif
  if (tcsetattr(STDIN_FILENO, TCSANOW, &modes) == 0) def_prog_mode();
}

}  // namespace

int terminalOpen(void) {
  if (isOpen) return TERMINAL_OPEN;
  if (!isatty(STDIN_FILENO) || !isatty(STDOUT_FILENO)) return TERMINAL_NONE;
  setlocale(LC_CTYPE, ""); /* wide characters only; numbers keep the C locale */
  const char *codeset = nl_langinfo(CODESET);
  utf8Locale = codeset && (strcmp(codeset, "UTF-8") == 0 || strcmp(codeset, "utf8") == 0);
  if (!getenv("ESCDELAY")) set_escdelay(25);
  /* newterm, unlike initscr, reports an unknown terminal type instead of
     ending the program; the type is probed first, since a newterm that fails
     leaves ncurses' half-made screen behind */
  if (!terminal) {
    int error = 0;
    if (setupterm(nullptr, STDOUT_FILENO, &error) != OK) return TERMINAL_UNKNOWN_TYPE;
    int addressable = canAddressCursor();
    del_curterm(cur_term);
    if (!addressable) return TERMINAL_NO_CURSOR;
    terminal = newterm(nullptr, stdout, stdin);
  }
  if (!terminal) return TERMINAL_UNKNOWN_TYPE;
  set_term(terminal);
  isOpen = 1;
  if (!hooksInstalled) {
    hooksInstalled = 1;
    atexit(terminalClose);
    for (int sig : kFatalSignals) {
      struct sigaction action;
      memset(&action, 0, sizeof action);
      action.sa_handler = onSignal;
      sigemptyset(&action.sa_mask);
      sigaction(sig, &action, nullptr);
    }
  }
  cbreak();
  noecho();
  nonl();
  keepSuspendKey();
  intrflush(stdscr, FALSE);
  keypad(stdscr, TRUE);
  colourMode = 0;
  if (coloursWanted() && has_colors() && start_color() == OK) colourMode = COLORS >= 16 ? 16 : 8;
  memset(pairOf, 0, sizeof pairOf);
  nextPair = 1;
  return TERMINAL_OPEN;
}

namespace {

/* Writes terminal modes straight to the terminal (from a signal handler too). */
void writeModes(const char *modes) {
  ssize_t written = write(STDOUT_FILENO, modes, strlen(modes));
  (void)written;
}

}  // namespace

void terminalMouse(int on) {
  if (!isOpen || !on == !mouseOn) return;
  mousemask(on ? BUTTON1_PRESSED | BUTTON1_RELEASED | REPORT_MOUSE_POSITION : 0, nullptr);
  mouseinterval(0); /* presses and releases as they come, never folded into clicks */
  fflush(stdout);
  writeModes(on ? kMouseOn : kMouseOff);
  mouseOn = on;
}

void terminalClose(void) {
  if (!isOpen) return;
  isOpen = 0;
  if (mouseOn) { /* from a signal handler too: write alone */
    writeModes(kMouseOff);
    mouseOn = 0;
  }
  curs_set(1);
  endwin();
}

void terminalSize(int *cols, int *rows) {
  *cols = COLS;
  *rows = LINES;
}

void terminalPresent(const Screen *screen) {
  if (!isOpen) return;
  int cols = screen->cols < COLS ? screen->cols : COLS;
  int rows = screen->rows < LINES ? screen->rows : LINES;
  for (int y = 0; y < rows; y++)
    for (int x = 0; x < cols; x++) {
      const Cell *cell = screenCellAt(screen, x, y);
      short pair;
      attr_t attributes = attributesOf(cell->paint, &pair);
      cchar_t shown;
      const cchar_t *frame = utf8Locale ? nullptr : narrowFrame(cell->ch);
      if (frame) {
        wchar_t text[CCHARW_MAX + 1] = {0};
        attr_t frameAttributes;
        short framePair;
        getcchar(frame, text, &frameAttributes, &framePair, nullptr);
        setcchar(&shown, text, (frameAttributes & A_ALTCHARSET) | attributes, pair, nullptr);
      } else {
        wchar_t text[2] = {(wchar_t)(utf8Locale || cell->ch < 0x7F ? cell->ch : '?'), 0};
        setcchar(&shown, text, attributes, pair, nullptr);
      }
      mvadd_wch(y, x, &shown);
    }
  if (screen->cursorVisible && screen->cursorX < cols && screen->cursorY < rows) {
    move(screen->cursorY, screen->cursorX);
    curs_set(1);
  } else {
    curs_set(0);
  }
  refresh();
}

namespace {

/* The next key code or character within kAltDelayMs, or ERR. */
int readSoon(wint_t *ch) {
  timeout(kAltDelayMs);
  int kind = get_wch(ch);
  timeout(-1);
  return kind;
}

/* The rest of an SGR mouse report after Esc [ < ("B;X;YM" for a press or
   a move, "B;X;Ym" for a release; cells 1-based): the left button's event,
   else TK_NONE (other buttons, the wheel, a report cut short). */
int sgrMouseReport() {
  int values[3] = {0, 0, 0}, at = 0;
  for (int read = 0; read < 24; read++) {
    wint_t ch;
    if (readSoon(&ch) != OK) return TK_NONE;
    if (ch >= '0' && ch <= '9') {
      if (values[at] < 100000) values[at] = values[at] * 10 + (int)(ch - '0');
    } else if (ch == ';' && at < 2) {
      at++;
    } else if ((ch == 'M' || ch == 'm') && at == 2) {
      int button = values[0] & ~(4 | 8 | 16); /* Shift, Alt and Ctrl do not matter */
      int x = values[1] - 1, y = values[2] - 1;
      if (ch == 'm') return button == 0 ? keyMouse(MOUSE_RELEASE, x, y) : TK_NONE;
      if (button == 0) return keyMouse(MOUSE_PRESS, x, y);
      if (button == 32) return keyMouse(MOUSE_MOVE, x, y);
      return TK_NONE;
    } else {
      return TK_NONE;
    }
  }
  return TK_NONE;
}

/* What Esc followed at once by '[' stands for. A terminal type without
   back-tab in its description (vt100) still gets Esc [ Z from a terminal
   that sends it for Shift-Tab, and one without the SGR mouse report in its
   description (screen, tmux) still gets its report decoded; any other
   character goes back to be read next, and Esc [ is Alt+[. */
int escapeBracket() {
  wint_t next;
  int kind = readSoon(&next);
  if (kind == OK && next == 'Z') return TK_STAB;
  if (kind == OK && next == '<' && mouseOn) return sgrMouseReport();
  if (kind == OK) unget_wch((wchar_t)next);
  else if (kind == KEY_CODE_YES) ungetch((int)next);
  return TK_ALT | '[';
}

}  // namespace

int terminalReadKey(void) { return terminalReadKeyOr(-1); }

int terminalReadKeyOr(int fd) {
  for (;;) {
    wint_t ch;
    int kind;
    if (fd < 0) {
      kind = get_wch(&ch);
    } else {
      /* what ncurses holds already, without waiting; else wait for the
         keyboard or the descriptor (a signal, a resize, ends the wait too) */
      timeout(0);
      kind = get_wch(&ch);
      timeout(-1);
      if (kind == ERR) {
        int fds[2] = {STDIN_FILENO, fd};
        int ready = plWaitReadable(fds, 2, -1);
        if (ready > 0 && !(ready & 1)) return TK_NONE;
        continue;
      }
    }
    if (kind == ERR) continue;
    int key = kind == KEY_CODE_YES ? decodeFunctionKey(ch) : decodeCharacter(ch);
    if (key == TK_ESC) {
      wint_t next;
      int nextKind = readSoon(&next);
      if (nextKind == OK && next == '[') {
        int bracket = escapeBracket();
        if (bracket != TK_NONE) return bracket;
        continue;
      }
      if (nextKind == OK) {
        int alt = decodeCharacter(next);
        if (alt >= 0x20 && alt <= 0xFF) return TK_ALT | alt;
        if (alt != TK_NONE) return alt;
      } else if (nextKind == KEY_CODE_YES) {
        return decodeFunctionKey(next);
      }
      return TK_ESC;
    }
    if (key != TK_NONE) return key;
  }
}
