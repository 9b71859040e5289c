/*
 * tessel's own options: one pass over the command line that picks out the
 * command, its plain arguments and the --name VALUE (or --name=VALUE)
 * options, and the check that a command was given only the options it takes.
 */
#include "tessel/options.h"

#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "host/codepage.h"
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

/* Reads a whole decimal int; returns 1, or 0 for anything else. */
int parseInt(const char *text, int *value) {
  char *end;
  errno = 0;
  long v = strtol(text, &end, 10);
  if (end == text || *end || errno || v < INT_MIN || v > INT_MAX) return 0;
  *value = (int)v;
  return 1;
}

}  // namespace

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
    if (!optionsEnded && (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0)) {
      o->help = 1;
      continue;
    }
    if (!optionsEnded && strcmp(arg, "--quiet") == 0) {
      o->quiet = 1;
      continue;
    }
    if (!optionsEnded && strcmp(arg, "--watch") == 0) {
      o->watch = 1;
      continue;
    }
    if (optionsEnded || strncmp(arg, "--", 2) != 0) {
      if (!o->command) o->command = arg;
      else if (o->argCount < MAX_ARGUMENTS) o->args[o->argCount++] = arg;
      else return fail(EXIT_USAGE, "unexpected argument \"%s\" (see tessel --help)", arg);
      continue;
    }
    static const char *const kWithValue[] = {"--keys", "--screen", "--size", "--language", "--codepage",
                                             "--lang-mode", "--format"};
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
      if (!parseInt(value, &o->lngMode)) return fail(EXIT_USAGE, "bad --lang-mode \"%s\": give a number", value);
      o->haveLngMode = 1;
    }
  }
  return EXIT_OK;
}

int checkOptionsFor(const Options *o, unsigned groups) {
  int session = (groups & SESSION_OPTIONS) != 0, render = (groups & RENDER_OPTIONS) != 0;
  if (!session && o->keys) return fail(EXIT_USAGE, "--keys belongs to view and config");
  if (!session && o->screenFile) return fail(EXIT_USAGE, "--screen belongs to view and config");
  if (!render && o->haveLngMode) return fail(EXIT_USAGE, "--lang-mode belongs to render");
  if (!render && strcmp(o->format, "text") != 0) return fail(EXIT_USAGE, "--format belongs to render");
  if (!render && o->quiet) return fail(EXIT_USAGE, "--quiet belongs to render");
  if (!(groups & WATCH_OPTIONS) && o->watch) return fail(EXIT_USAGE, "--watch belongs to view, try and render");
  if (!cpSelect(o->codepage))
    return fail(EXIT_USAGE, "unknown code page \"%s\" (iconv knows none of that name)", o->codepage);
  hostSetLanguage(o->language);
  return EXIT_OK;
}
