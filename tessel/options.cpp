/*
 * tessel's own options: one pass over the command line that picks out the
 * command, its plain arguments and the --name VALUE (or --name=VALUE)
 * options, and the check that a command was given only the options it takes.
 */
#include "tessel/options.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "codepage/codepage.h"
#include "host/screen.h"
#include "host/slots.h"

namespace {

/* Reads "COLSxROWS" within the screen's bounds; returns 1, or 0 for
   anything else. */
int parseSize(const char *text, int *cols, int *rows) {
  char *end;
  errno = 0;
  long c = strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return 0;
  const char *second = end + 1;
  long r = strtol(second, &end, 10);
  if (end == second || *end || errno) return 0;
  if (c < SCREEN_MIN_COLS || c > SCREEN_MAX_COLS || r < SCREEN_MIN_ROWS || r > SCREEN_MAX_ROWS) return 0;
  *cols = (int)c;
  *rows = (int)r;
  return 1;
}

/* The language modes the library knows, by the names --texts takes; a
   mode's position is its number, as --lang-mode takes it. */
const char *const kTextsNames[] = {"localised", "names", "ids"};
const int kLngModeCount = (int)(sizeof kTextsNames / sizeof kTextsNames[0]);

/* Reads a language mode given as its number (0, 1 or 2); returns 1, or 0
   for anything else. */
int parseLngMode(const char *text, int *mode) {
  for (int m = 0; m < kLngModeCount; m++) {
    char digit[2] = {(char)('0' + m), 0};
    if (strcmp(text, digit) == 0) {
      *mode = m;
      return 1;
    }
  }
  return 0;
}

/* Reads a language mode given by its --texts name; returns 1, or 0 for
   anything else. */
int parseTexts(const char *text, int *mode) {
  for (int m = 0; m < kLngModeCount; m++)
    if (strcmp(text, kTextsNames[m]) == 0) {
      *mode = m;
      return 1;
    }
  return 0;
}

/* The options that take no value, and the field each one sets. */
struct Flag {
  const char *name;
  int Options::*field;
};
const Flag kFlags[] = {{"--help", &Options::help},   {"-h", &Options::help},     {"--quiet", &Options::quiet},
                       {"--watch", &Options::watch}, {"--json", &Options::json}, {"--version", &Options::version}};

const Flag *findFlag(const char *arg) {
  for (const Flag &flag : kFlags)
    if (strcmp(arg, flag.name) == 0) return &flag;
  return nullptr;
}

}  // namespace

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

int parseOptions(int argc, char **argv, Options *o) {
  memset(o, 0, sizeof *o);
  o->language = "English";
  o->codepage = "437";
  o->format = "text";
  int optionsEnded = 0; /* after "--" every argument is a command or file */
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (!optionsEnded && strcmp(arg, "--") == 0) {
      optionsEnded = 1;
      continue;
    }
    const Flag *flag = optionsEnded ? nullptr : findFlag(arg);
    if (flag) {
      o->*flag->field = 1;
      continue;
    }
    if (optionsEnded || strncmp(arg, "--", 2) != 0) {
      if (!o->command) o->command = arg;
      else if (o->argCount < MAX_ARGUMENTS) o->args[o->argCount++] = arg;
      else return fail(EXIT_USAGE, "unexpected argument \"%s\" (see tessel --help)", arg);
      continue;
    }
    static const char *const kWithValue[] = {"--keys",     "--screen",    "--size",  "--language",
                                             "--codepage", "--lang-mode", "--texts", "--format"};
    const char *name = arg, *value = nullptr;
    char nameBuffer[32];
    const char *equals = strchr(arg, '=');
    if (equals && equals - arg < (int)sizeof nameBuffer) {
      memcpy(nameBuffer, arg, (size_t)(equals - arg));
      nameBuffer[equals - arg] = 0;
      name = nameBuffer;
      value = equals + 1;
    }
    int known = 0;
    for (const char *option : kWithValue) known = known || strcmp(name, option) == 0;
    if (!known) return fail(EXIT_USAGE, "unknown option \"%s\" (see tessel --help)", arg);
    if (!value) {
      if (i + 1 >= argc) return fail(EXIT_USAGE, "option %s needs a value", name);
      value = argv[++i];
    }
    if (strcmp(name, "--keys") == 0) o->keys = value;
    else if (strcmp(name, "--screen") == 0) o->screenFile = value;
    else if (strcmp(name, "--language") == 0) o->language = value;
    else if (strcmp(name, "--codepage") == 0) o->codepage = value;
    else if (strcmp(name, "--format") == 0) o->format = value;
    else if (strcmp(name, "--size") == 0) {
      if (!parseSize(value, &o->cols, &o->rows))
        return fail(EXIT_USAGE, "bad --size \"%s\": give COLSxROWS, at least 20x5 and at most 1000x500", value);
    } else if (strcmp(name, "--lang-mode") == 0) {
      if (!parseLngMode(value, &o->lngMode))
        return fail(EXIT_USAGE, "bad --lang-mode \"%s\": give 0, 1 or 2 (or --texts localised, names or ids)", value);
      o->haveLngMode = 1;
      o->lngModeOption = "--lang-mode";
    } else if (strcmp(name, "--texts") == 0) {
      if (!parseTexts(value, &o->lngMode))
        return fail(EXIT_USAGE, "bad --texts \"%s\": give localised, names or ids", value);
      o->haveLngMode = 1;
      o->lngModeOption = "--texts";
    }
  }
  return EXIT_OK;
}

int checkOptionsFor(const Options *o, unsigned groups) {
  int session = (groups & SESSION_OPTIONS) != 0, lang = (groups & LANG_OPTIONS) != 0;
  if (!session && o->keys) return fail(EXIT_USAGE, "--keys belongs to view and config, and to try");
  if (!session && o->screenFile) return fail(EXIT_USAGE, "--screen belongs to view and config, and to try");
  if (!lang && o->haveLngMode) return fail(EXIT_USAGE, "%s belongs to render and try", o->lngModeOption);
  if (!(groups & FORMAT_OPTION) && strcmp(o->format, "text") != 0)
    return fail(EXIT_USAGE, "--format belongs to render");
  if (!lang && o->quiet) return fail(EXIT_USAGE, "--quiet belongs to render and try");
  if (!(groups & JSON_OPTION) && o->json) return fail(EXIT_USAGE, "--json belongs to try");
  if (!(groups & WATCH_OPTIONS) && o->watch) return fail(EXIT_USAGE, "--watch belongs to view, try and render");
  if (!cpSelect(o->codepage))
    return fail(EXIT_USAGE, "unknown code page \"%s\" (iconv knows none of that name)", o->codepage);
  hostSetLanguage(o->language);
  return EXIT_OK;
}

int commandUsageError(const char *command, const char *format, const char *value) {
  fprintf(stderr, "tessel %s: ", command);
  fprintf(stderr, format, value);
  fprintf(stderr, " (see tessel %s --help)\n", command);
  return EXIT_USAGE;
}
