/*
 * tessel's options: one table of every option (its name, the name of its
 * value, the commands that take it, where it goes, its help line), the one
 * pass over the command line that reads it, and the help page of a command
 * built from the same table.
 */
#include "tessel/options.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "codepage/codepage.h"
#include "host/screen.h"
#include "host/slots.h"

namespace {

/* The commands by name, in the order of CommandId. */
const char *const kCommandNames[] = {"",    "help", "view",   "config", "render", "try", "check",
                                     "fmt", "lsp",  "header", "import", "design", "reg"};
const int kCommandCount = (int)(sizeof kCommandNames / sizeof kCommandNames[0]);
static_assert(kCommandCount == CMD_REG + 1, "one name per command");

/* Sets of commands, for the table below. */
constexpr unsigned bit(CommandId id) { return 1u << id; }
constexpr unsigned kSession = bit(CMD_VIEW) | bit(CMD_CONFIG) | bit(CMD_TRY); /* a session of keys */
constexpr unsigned kHostTexts = kSession | bit(CMD_RENDER);                   /* texts of .lng files */
constexpr unsigned kEvery = ~bit(CMD_REG);                                    /* reg reads its own words */

/* Reads "COLSxROWS" within the screen's bounds into --size's fields. */
int readSize(const char *text, Options *o) {
  char *end;
  errno = 0;
  long c = strtol(text, &end, 10);
  bool good = end != text && (*end == 'x' || *end == 'X');
  const char *second = end + 1;
  long r = good ? strtol(second, &end, 10) : 0;
  good = good && end != second && !*end && !errno;
  if (!good || c < SCREEN_MIN_COLS || c > SCREEN_MAX_COLS || r < SCREEN_MIN_ROWS || r > SCREEN_MAX_ROWS)
    return fail(EXIT_USAGE, "bad --size \"%s\": give COLSxROWS, at least 20x5 and at most 1000x500", text);
  o->cols = (int)c;
  o->rows = (int)r;
  return EXIT_OK;
}

/* The language modes the library knows, by the names --texts takes; a
   mode's position is its number, as --lang-mode takes it. */
const char *const kTextsNames[] = {"localised", "names", "ids"};
const int kLngModeCount = (int)(sizeof kTextsNames / sizeof kTextsNames[0]);

/* Reads a language mode given as its number (0, 1 or 2). */
int readLngMode(const char *text, Options *o) {
  for (int m = 0; m < kLngModeCount; m++)
    if (text[0] == '0' + m && !text[1]) {
      o->lngMode = m;
      return EXIT_OK;
    }
  return fail(EXIT_USAGE, "bad --lang-mode \"%s\": give 0, 1 or 2 (or --texts localised, names or ids)", text);
}

/* Reads a language mode given by its --texts name. */
int readTexts(const char *text, Options *o) {
  for (int m = 0; m < kLngModeCount; m++)
    if (strcmp(text, kTextsNames[m]) == 0) {
      o->lngMode = m;
      return EXIT_OK;
    }
  return fail(EXIT_USAGE, "bad --texts \"%s\": give localised, names or ids", text);
}

/* Adds the languages of a comma-separated list to --language's list. */
int readLanguages(const char *text, Options *o) {
  std::string name;
  for (const char *p = text;; p++) {
    if (*p && *p != ',') {
      name += *p;
      continue;
    }
    if (name.empty()) return fail(EXIT_USAGE, "bad --language \"%s\": give NAME or NAME,NAME", text);
    o->languages.push_back(name);
    name.clear();
    if (!*p) return EXIT_OK;
  }
}

/* Adds one argument for the C front end (import --cflag), in order; -I and
   -D add theirs with their value after them. */
int readCflag(const char *text, Options *o) {
  o->cflags.push_back(text);
  return EXIT_OK;
}
int readInclude(const char *text, Options *o) {
  o->cflags.push_back("-I");
  return readCflag(text, o);
}
int readDefine(const char *text, Options *o) {
  o->cflags.push_back("-D");
  return readCflag(text, o);
}

/* One option for some commands. An option that means something else to
   another command has a row for each meaning; all rows of one name agree on
   whether it takes a value. Its value goes to text, or through read (which
   reports a bad one and returns EXIT_USAGE); an option without a value sets
   flag. */
struct OptionRow {
  const char *name;
  const char *valueName; /* as the help shows the value; null: no value */
  unsigned commands;     /* the commands that take it: bits 1 << CommandId */
  const char *Options::*text;
  int (*read)(const char *value, Options *o);
  int Options::*flag;
  const char *help; /* null: an alias the help leaves out */
};

/* Every option, in the order of the help pages. */
const OptionRow kOptions[] = {
    {"--json", nullptr, bit(CMD_TRY), nullptr, nullptr, &Options::json,
     "print the read-back as one JSON object: {\"exitId\": N, \"items\": [{\"index\", \"id\", \"name\", \"type\", "
     "\"state\", \"text\"}, ...]} (name and state null where there is none)"},
    {"--dialog", "NAME", bit(CMD_CHECK), &Options::dialog, nullptr, nullptr,
     "only that dialog's findings, and those of the file as a whole"},
    {"--format", "FORMAT", bit(CMD_CHECK), &Options::format, nullptr, nullptr,
     "gcc (default): FILE:LINE:COLUMN: severity: message [code]; json: one array of {file, line, column, endLine, "
     "endColumn, severity, code, message, dialog}"},
    {"--format", "F", bit(CMD_RENDER), &Options::format, nullptr, nullptr,
     "text (default), ansi (with colours) or html"},
    {"--texts", "T", bit(CMD_RENDER) | bit(CMD_TRY), nullptr, readTexts, nullptr,
     "which texts items show: localised (default), names (the message names written in the file) or ids (the "
     "identifiers)"},
    {"--lang-mode", "N", bit(CMD_RENDER) | bit(CMD_TRY), nullptr, readLngMode, nullptr,
     "the same by the library's language mode: 0, 1 or 2"},
    {"--quiet", nullptr, bit(CMD_RENDER) | bit(CMD_TRY), nullptr, nullptr, &Options::quiet,
     "no findings: by default those of tessel check for the dialog are printed on standard error"},
    {"--check", nullptr, bit(CMD_FMT), nullptr, nullptr, &Options::check,
     "change nothing; name each file that would change or holds a broken item line"},
    {"--stdout", nullptr, bit(CMD_FMT), nullptr, nullptr, &Options::toStdout,
     "print the formatted text instead of rewriting the file"},
    {"--output", "FILE", bit(CMD_HEADER), &Options::output, nullptr, nullptr,
     "write the header to FILE (through a temporary file renamed over it; left untouched when it is up to date) "
     "instead of standard output (also -o FILE)"},
    {"-o", "FILE", bit(CMD_HEADER), &Options::output, nullptr, nullptr, nullptr},
    {"--output", "FILE", bit(CMD_IMPORT), &Options::output, nullptr, nullptr,
     "write the dialog file to FILE (through a temporary file renamed over it) instead of standard output; an "
     "existing FILE is left as it is unless --force is given (also -o FILE)"},
    {"-o", "FILE", bit(CMD_IMPORT), &Options::output, nullptr, nullptr, nullptr},
    {"--force", nullptr, bit(CMD_IMPORT), nullptr, nullptr, &Options::force, "replace the -o file when it exists"},
    {"--cflag", "ARG", bit(CMD_IMPORT), nullptr, readCflag, nullptr,
     "hand ARG to the C front end, as to a compiler; once for each argument (--cflag -Iinclude --cflag "
     "-DUNICODE --cflag -std=c99)"},
    {"-I", "DIR", bit(CMD_IMPORT), nullptr, readInclude, nullptr,
     "look for included headers in DIR too (--cflag -IDIR; the directory stands apart from -I)"},
    {"-D", "NAME[=VALUE]", bit(CMD_IMPORT), nullptr, readDefine, nullptr,
     "define the macro NAME (--cflag -DNAME; the name stands apart from -D)"},
    {"--check", nullptr, bit(CMD_HEADER), nullptr, nullptr, &Options::check,
     "write nothing; exit 1 with a unified diff on standard error when the -o file differs from the header (or is "
     "missing)"},
    {"--keys", "\"KEYS\"", kSession | bit(CMD_DESIGN), &Options::keys, nullptr, nullptr,
     "take keys from KEYS instead of the keyboard (no terminal needed); Esc once they run out. Names: Tab S-Tab Up "
     "Down Left Right Home End Space Enter Esc BS Del F1-F12, A-x for Alt+x, \"text\" to type, or one character"},
    {"--screen", "FILE", kSession | bit(CMD_DESIGN), &Options::screenFile, nullptr, nullptr,
     "append a text dump of the screen each time a key is awaited"},
    {"--plugin", "FILE", bit(CMD_VIEW) | bit(CMD_CONFIG), &Options::plugin, nullptr, nullptr,
     "host the plug-in FILE instead of the Flens beside tessel; its messages come from the .lng files beside it"},
    {"--watch", nullptr, bit(CMD_VIEW) | bit(CMD_TRY), nullptr, nullptr, &Options::watch,
     "reload when FILE or a language file beside it changes: the menu or dialog shown reopens on the new version, "
     "with the input kept; while FILE has errors the last good version stays and the bottom row says why. In "
     "--keys, Reload waits for the next change (at most ten seconds)"},
    {"--watch", nullptr, bit(CMD_RENDER), nullptr, nullptr, &Options::watch,
     "draw again each time FILE or a language file beside it changes (the terminal is cleared between frames), "
     "until interrupted; a version with errors keeps the last frame and says why on standard error"},
    {"--size", "COLSxROWS", kSession | bit(CMD_DESIGN), nullptr, readSize, nullptr,
     "screen size (default: the terminal's, or 80x25 with --keys)"},
    {"--size", "COLSxROWS", bit(CMD_RENDER), nullptr, readSize, nullptr,
     "screen size (default: the dialog and its shadow)"},
    {"--language", "NAME", kHostTexts | bit(CMD_DESIGN), &Options::language, nullptr, nullptr,
     "language of the .lng files to read (default English)"},
    {"--codepage", "CP", kHostTexts | bit(CMD_CHECK) | bit(CMD_LSP) | bit(CMD_DESIGN), &Options::codepage, nullptr,
     nullptr, "the host's 8-bit code page (default 437)"},
    {"--language", "NAME", bit(CMD_CHECK) | bit(CMD_LSP), nullptr, readLanguages, nullptr,
     "judge the texts of these languages' .lng files only (names separated by commas, or the option again); by "
     "default every language of the .lng files beside the dialog file"},
    {"--stdio", nullptr, bit(CMD_LSP), nullptr, nullptr, &Options::stdio,
     "talk over standard input and output (what the server always does; editors' clients may ask for it)"},
    {"--version", nullptr, bit(CMD_NONE), nullptr, nullptr, &Options::version, "tessel's version and the library's"},
    {"--help", nullptr, kEvery, nullptr, nullptr, &Options::help, "print this help (also -h)"},
    {"-h", nullptr, kEvery, nullptr, nullptr, &Options::help, nullptr},
};

/* The first row of the option whose name is name (length length), or null. */
const OptionRow *findOption(const char *name, size_t length) {
  for (const OptionRow &row : kOptions)
    if (strlen(row.name) == length && strncmp(row.name, name, length) == 0) return &row;
  return nullptr;
}

/* The row of option for command, or null when the command does not take it. */
const OptionRow *optionFor(const OptionRow *option, CommandId command) {
  for (const OptionRow &row : kOptions)
    if (strcmp(row.name, option->name) == 0 && (row.commands & bit(command))) return &row;
  return nullptr;
}

/* Refuses option, which command does not take, naming the commands that do
   ("view, config and try"); returns EXIT_USAGE. */
int refuseOption(const OptionRow *option) {
  unsigned commands = 0;
  for (const OptionRow &row : kOptions)
    if (strcmp(row.name, option->name) == 0) commands |= row.commands;
  if (commands == bit(CMD_NONE))
    return fail(EXIT_USAGE, "%s goes without a command (tessel %s)", option->name, option->name);
  std::vector<const char *> names;
  for (int id = CMD_HELP; id < kCommandCount; id++)
    if ((commands >> id) & 1) names.push_back(kCommandNames[id]);
  std::string list;
  for (size_t i = 0; i < names.size(); i++)
    list += std::string(i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
  return fail(EXIT_USAGE, "%s belongs to %s", option->name, list.c_str());
}

/* An option as the command line gives it. */
struct Given {
  const OptionRow *option;
  const char *value; /* null for an option without one */
};

/* Reads one option (argv[*at], which starts with '-') into *given, taking its
   value from the next argument when it has no "=VALUE"; advances *at past
   what it read. Returns EXIT_OK, or EXIT_USAGE with *fault set to the
   one-line report (without "tessel: "). */
int readOption(int argc, char **argv, int *at, Given *given, std::string *fault) {
  const char *arg = argv[*at];
  const char *equals = strchr(arg, '=');
  size_t length = equals ? (size_t)(equals - arg) : strlen(arg);
  given->option = findOption(arg, length);
  given->value = equals ? equals + 1 : nullptr;
  std::string name(arg, length);
  if (!given->option) *fault = "unknown option \"" + std::string(arg) + "\"";
  else if (!given->option->valueName && equals) *fault = "option " + name + " takes no value";
  else if (given->option->valueName && !equals && *at + 1 >= argc) *fault = "option " + name + " needs a value";
  else if (given->option->valueName && !equals) given->value = argv[++*at];
  return fault->empty() ? EXIT_OK : EXIT_USAGE;
}

/* The command line split into its options, the command's word (null when
   there is none) and the plain arguments after it; fault is the report of
   the first option that cannot be read, or empty. */
struct Words {
  std::vector<Given> given;
  const char *command = nullptr;
  std::string fault;
};

/* Splits argv[1...] into *words, the plain arguments after the command's
   word going to *args; "--" ends the options. An option that cannot be read
   is left out, after its fault is noted. */
void splitWords(int argc, char **argv, Words *words, std::vector<const char *> *args) {
  bool optionsEnded = false;
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    Given g;
    std::string fault;
    if (!optionsEnded && strcmp(arg, "--") == 0) {
      optionsEnded = true;
    } else if (optionsEnded || arg[0] != '-' || !arg[1]) {
      if (words->command) args->push_back(arg);
      else words->command = arg;
    } else if (readOption(argc, argv, &i, &g, &fault) == EXIT_OK) {
      words->given.push_back(g);
    } else if (words->fault.empty()) {
      words->fault = fault;
    }
  }
}

/* The command named word, or CMD_NONE (for null too). */
CommandId commandNamed(const char *word) {
  for (int id = CMD_HELP; word && id < kCommandCount; id++)
    if (strcmp(kCommandNames[id], word) == 0) return (CommandId)id;
  return CMD_NONE;
}

/* Whether words give the option that sets flag. */
bool given(const Words &words, int Options::*flag) {
  for (const Given &g : words.given)
    if (g.option->flag == flag) return true;
  return false;
}

/* Keeps one option's value as its row for the command says. */
int applyOption(const OptionRow *row, const char *value, Options *o) {
  if (row->flag) o->*row->flag = 1;
  if (row->text) o->*row->text = value;
  return row->read ? row->read(value, o) : EXIT_OK;
}

/* The column where an option's help line starts, and the width of the page. */
enum { HELP_COLUMN = 20, HELP_WIDTH = 80 };

/* Writes text from HELP_COLUMN on, its words wrapped before HELP_WIDTH, and
   ends the line; the line stands at column (the option's name written). */
void printWrapped(const char *text, int column) {
  if (column < HELP_COLUMN) printf("%*s", HELP_COLUMN - column, "");
  else printf("\n%*s", HELP_COLUMN, ""); /* a long name: the text starts below it */
  column = HELP_COLUMN;
  for (const char *p = text; *p;) {
    int word = (int)strcspn(p, " ");
    if (column > HELP_COLUMN && column + 1 + word > HELP_WIDTH) {
      printf("\n%*s", HELP_COLUMN, "");
      column = HELP_COLUMN;
    } else if (column > HELP_COLUMN) {
      putchar(' ');
      column++;
    }
    column += printf("%.*s", word, p);
    p += word;
    while (*p == ' ') p++;
  }
  putchar('\n');
}

}  // namespace

const char *commandName(CommandId id) { return id >= 0 && id < kCommandCount ? kCommandNames[id] : ""; }

const char *lngModeText(int mode) {
  static const char *const kTexts[] = {"localised", "message names", "identifiers"};
  static_assert(sizeof kTexts / sizeof kTexts[0] == sizeof kTextsNames / sizeof kTextsNames[0], "one per mode");
  return mode >= 0 && mode < kLngModeCount ? kTexts[mode] : nullptr;
}

int fail(int status, const char *format, const char *a, const char *b) {
  fputs("tessel: ", stderr);
  fprintf(stderr, format, a, b);
  fputc('\n', stderr);
  return status;
}

int commandUsageError(const char *command, const char *format, const char *value) {
  fprintf(stderr, "tessel %s: ", command);
  fprintf(stderr, format, value);
  fprintf(stderr, " (see tessel %s --help)\n", command);
  return EXIT_USAGE;
}

int parseOptions(int argc, char **argv, Options *o) {
  *o = Options();
  Words words;
  splitWords(argc, argv, &words, &o->args);
  o->command = commandNamed(words.command);
  if (!words.fault.empty())
    return fail(EXIT_USAGE, "%s (see tessel %s--help)", words.fault.c_str(),
                o->command == CMD_NONE ? "" : (std::string(words.command) + " ").c_str());
  if (words.command && o->command == CMD_NONE)
    return fail(EXIT_USAGE, "unknown command \"%s\" (see tessel --help)", words.command);
  o->help = given(words, &Options::help);
  if (o->help) return EXIT_OK; /* the help page, whatever else the line holds */
  if (o->command == CMD_NONE && !given(words, &Options::version))
    return fail(EXIT_USAGE, "no command given (see tessel --help)");
  for (const Given &g : words.given) {
    const OptionRow *row = optionFor(g.option, o->command);
    if (!row) return refuseOption(g.option);
    if (applyOption(row, g.value, o) != EXIT_OK) return EXIT_USAGE;
  }
  if (!cpSelect(o->codepage))
    return fail(EXIT_USAGE, "unknown code page \"%s\" (iconv knows none of that name)", o->codepage);
  hostSetLanguage(o->language);
  return EXIT_OK;
}

int printCommandHelp(CommandId command, const char *head, const char *tail) {
  fputs(head, stdout);
  fputs("\noptions:\n", stdout);
  for (const OptionRow &row : kOptions) {
    if (!row.help || !(row.commands & bit(command))) continue;
    int column = printf("  %s", row.name);
    if (row.valueName) column += printf(" %s", row.valueName);
    printWrapped(row.help, column);
  }
  if (tail) printf("\n%s", tail);
  return EXIT_OK;
}
