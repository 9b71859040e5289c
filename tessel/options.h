/*
 * What tessel's commands share: their exit statuses, the commands by
 * identifier, the options read from the command line through one table of
 * every option (which commands take it, its help line), the help page that
 * lists a command's options from that table, and the one-line failure report.
 */
#ifndef TESSEL_TESSEL_OPTIONS_H
#define TESSEL_TESSEL_OPTIONS_H

#include <string>
#include <vector>

/* Exit statuses. */
enum {
  EXIT_OK = 0,
  EXIT_FAILED = 1,
  EXIT_USAGE = 2,
  EXIT_KEYS_RAN_OUT = 3 /* a --keys run whose plug-in kept asking for keys */
};

/* tessel's commands; a set of them is a word of the bits 1 << id. CMD_NONE
   is the command line without a command (tessel --help, tessel --version). */
enum CommandId {
  CMD_NONE,
  CMD_HELP,
  CMD_VIEW,
  CMD_CONFIG,
  CMD_RENDER,
  CMD_TRY,
  CMD_CHECK,
  CMD_FMT,
  CMD_LSP,
  CMD_HEADER,
  CMD_IMPORT,
  CMD_DESIGN,
  CMD_REG
};

/* The name of command id as typed after "tessel" ("" for CMD_NONE). */
const char *commandName(CommandId id);

/* The options as read from the command line; what was not given keeps its
   default (language English, code page 437, 0 or null). */
struct Options {
  CommandId command = CMD_NONE;
  std::vector<const char *> args; /* the plain arguments after the command's name */
  const char *keys = nullptr;
  const char *plugin = nullptr; /* view and config --plugin: the plug-in to host instead of Flens */
  const char *screenFile = nullptr;
  int cols = 0, rows = 0; /* --size; 0: the command's default */
  const char *language = "English";
  std::vector<std::string> languages; /* check and lsp --language: the languages to judge; empty: all */
  const char *codepage = "437";
  int lngMode = 0;              /* --lang-mode N or --texts NAME: 0, 1 or 2 */
  const char *format = nullptr; /* null: the command's default */
  const char *dialog = nullptr; /* check --dialog */
  const char *output = nullptr; /* header and import -o: the file to write */
  /* import --cflag: the arguments for the C front end, in order */
  std::vector<const char *> cflags;
  int help = 0;
  int quiet = 0;    /* --quiet: render and try keep their findings to themselves */
  int json = 0;     /* --json: try prints what it read back as JSON */
  int version = 0;  /* --version */
  int stdio = 0;    /* lsp --stdio: the only way it talks */
  int watch = 0;    /* --watch: reload when the file changes */
  int check = 0;    /* fmt and header --check: change nothing, say what would change */
  int toStdout = 0; /* fmt --stdout: print the formatted text */
  int force = 0;    /* import --force: replace the -o file */
};

/* What items show in language mode mode ("localised", "message
   names", "identifiers"), or null for a mode the library does not know. */
const char *lngModeText(int mode);

/* For a command's own checks of its words: writes "tessel COMMAND: ",
   format with value for its %s, and a pointer to the command's help as one
   line on stderr; returns EXIT_USAGE. */
int commandUsageError(const char *command, const char *format, const char *value);

/* Writes "tessel: " and format (with a and b for its two %s at most) as one
   line on stderr; returns status. */
int fail(int status, const char *format, const char *a = "", const char *b = "");

/* Reads argv[1...] (argv[0] is the program's name) into o: the first plain
   argument names the command, the others are its arguments; options
   (--name VALUE or --name=VALUE) may stand anywhere before "--", which ends
   them. Refuses an unknown option or command, an option that the command
   does not take and a bad value; then, unless --help was given, selects the
   code page and the language. Returns EXIT_OK, or EXIT_USAGE after reporting
   the fault. */
int parseOptions(int argc, char **argv, Options *o);

/* Prints the help of command: head (its usage line and what it does), then
   each option the command takes with its help line, then tail (the exit
   statuses; null: none), on standard output. Returns EXIT_OK. */
int printCommandHelp(CommandId command, const char *head, const char *tail);

#endif
