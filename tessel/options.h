/*
 * What tessel's commands share: their exit statuses, the options of the
 * commands that take tessel's own (--keys, --size, --format, ...), read from
 * anywhere on the command line, and the one-line failure report on stderr.
 */
#ifndef TESSEL_TESSEL_OPTIONS_H
#define TESSEL_TESSEL_OPTIONS_H

/* Exit statuses. */
enum {
  EXIT_OK = 0,
  EXIT_FAILED = 1,
  EXIT_USAGE = 2,
  EXIT_KEYS_RAN_OUT = 3 /* a --keys run whose plug-in kept asking for keys */
};

/* Most plain arguments (command and files) a command line may hold after
   the command's name. */
enum { MAX_ARGUMENTS = 3 };

/* tessel's options as read from the command line; what was not given keeps
   its default (language English, code page 437, format text, 0 or null). */
struct Options {
  const char *command; /* the first plain argument */
  const char *args[MAX_ARGUMENTS];
  int argCount;
  const char *keys;
  const char *screenFile;
  int cols, rows;
  const char *language;
  const char *codepage;
  int lngMode, haveLngMode;  /* --lang-mode N or --texts NAME: 0, 1 or 2 */
  const char *lngModeOption; /* which of the two gave it last */
  const char *format;
  int help;
  int quiet;   /* --quiet: render and try keep their findings to themselves */
  int json;    /* --json: try prints what it read back as JSON */
  int version; /* --version */
  int watch;   /* --watch: reload when the file changes */
};

/* The groups of options that only some commands take, as bits. */
enum OptionGroup {
  SESSION_OPTIONS = 1 << 0, /* --keys, --screen: view, config and try */
  LANG_OPTIONS = 1 << 1,    /* --lang-mode, --texts, --quiet: render and try */
  FORMAT_OPTION = 1 << 2,   /* --format: render */
  JSON_OPTION = 1 << 3,     /* --json: try */
  WATCH_OPTIONS = 1 << 4,   /* --watch: view, try and render */
  RENDER_OPTIONS = LANG_OPTIONS | FORMAT_OPTION,
  TRY_OPTIONS = SESSION_OPTIONS | LANG_OPTIONS | JSON_OPTION
};

/* What items show in language mode mode ("localised", "message
   names", "identifiers"), or null for a mode the library does not know. */
const char *lngModeText(int mode);

/* For a command that reads its own words (check, fmt): writes "tessel
   COMMAND: ", format with value for its %s, and a pointer to the command's
   help as one line on stderr; returns EXIT_USAGE. */
int commandUsageError(const char *command, const char *format, const char *value);

/* Writes "tessel: " and format (with a and b for its two %s at most) as one
   line on stderr; returns status. */
int fail(int status, const char *format, const char *a = "", const char *b = "");

/* Reads argv[1...] (argv[0] is the program's name) into o; returns EXIT_OK,
   or EXIT_USAGE after reporting the fault. */
int parseOptions(int argc, char **argv, Options *o);

/* Refuses, with EXIT_USAGE and a report, an option of a group the command
   does not take (groups: OptionGroup bits) and an unknown code page; then
   selects the code page and language. Returns EXIT_OK or EXIT_USAGE. */
int checkOptionsFor(const Options *o, unsigned groups);

#endif
