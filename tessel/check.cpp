/*
 * tessel check: the findings of the authoring engine for each file named,
 * one line each in the form compilers use (FILE:LINE:COLUMN: severity:
 * message [code]) or as one JSON array; the exit status says whether any
 * error or warning was found.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "author/engine.h"
#include "codepage/codepage.h"
#include "tessel/check.h"
#include "tessel/command.h"
#include "tessel/options.h"

namespace {

enum { CHECK_CLEAN = 0, CHECK_FINDINGS = 1 }; /* bad usage: EXIT_USAGE */

const char kCheckUsage[] =
    "usage: tessel check FILE.dlg... [--dialog NAME] [--format gcc|json] [--codepage CP]\n"
    "  --dialog NAME     only that dialog's findings, and those of the file as a whole\n"
    "  --format FORMAT   gcc (default): FILE:LINE:COLUMN: severity: message [code];\n"
    "                    json: one array of {file, line, column, endLine, endColumn,\n"
    "                    severity, code, message, dialog}\n"
    "  --codepage CP     the host's 8-bit code page (default 437)\n"
    "Exit status: 0 no finding, 1 an error or warning, 2 bad usage.\n";

struct CheckOptions {
  std::vector<std::string> files;
  std::string dialog;
  bool json = false;
  std::string codepage = "437";
};

/* Reads the options; returns -1 to go on, or the exit status. */
int readOptions(int argc, char **argv, CheckOptions *o) {
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0) {
      fputs(kCheckUsage, stdout);
      return CHECK_CLEAN;
    }
    bool takesValue = strcmp(arg, "--dialog") == 0 || strcmp(arg, "--format") == 0 || strcmp(arg, "--codepage") == 0;
    if (takesValue) {
      if (i + 1 >= argc) return commandUsageError("check", "option %s needs a value", arg);
      const char *value = argv[++i];
      if (strcmp(arg, "--dialog") == 0) {
        o->dialog = value;
      } else if (strcmp(arg, "--format") == 0) {
        if (strcmp(value, "gcc") != 0 && strcmp(value, "json") != 0)
          return commandUsageError("check", "bad --format \"%s\": give gcc or json", value);
        o->json = strcmp(value, "json") == 0;
      } else {
        o->codepage = value;
      }
    } else if (arg[0] == '-' && arg[1]) {
      return commandUsageError("check", "unknown option \"%s\"", arg);
    } else {
      o->files.push_back(arg);
    }
  }
  if (o->files.empty()) return commandUsageError("check", "%s", "no file to check");
  if (!cpSelect(o->codepage.c_str()))
    return commandUsageError("check", "unknown code page \"%s\" (iconv knows none of that name)", o->codepage.c_str());
  return -1;
}

struct Colours {
  const char *bold, *reset, *error, *warning, *note;
};

Colours coloursFor(FILE *stream) {
  const char *noColor = getenv("NO_COLOR");
  if (isatty(fileno(stream)) && !(noColor && noColor[0]))
    return {"\033[1m", "\033[0m", "\033[1;31m", "\033[1;35m", "\033[1;36m"};
  return {"", "", "", "", ""};
}

void printFinding(FILE *out, const Colours &c, const std::string &file, const author::Finding &f, const char *code) {
  const char *tint = f.severity == author::Severity::Error     ? c.error
                     : f.severity == author::Severity::Warning ? c.warning
                                                               : c.note;
  fprintf(out, "%s%s:%d:%d:%s %s%s:%s %s", c.bold, file.c_str(), f.span.line, f.span.column, c.reset, tint,
          author::severityName(f.severity), c.reset, cpToUtf8(f.message).c_str());
  if (code && code[0]) fprintf(out, " [%s]", code);
  fputc('\n', out);
}

nlohmann::ordered_json findingJson(const std::string &file, const author::Analysis &a, const author::Finding &f,
                                   const char *code) {
  nlohmann::ordered_json j = {{"file", file},
                              {"line", f.span.line},
                              {"column", f.span.column},
                              {"endLine", f.span.endLine},
                              {"endColumn", f.span.endColumn},
                              {"severity", author::severityName(f.severity)},
                              {"code", code},
                              {"message", cpToUtf8(f.message)}};
  j["dialog"] =
      f.section >= 0 ? nlohmann::ordered_json(cpToUtf8(a.sections[(size_t)f.section].name)) : nlohmann::ordered_json();
  return j;
}

}  // namespace

void printFindings(FILE *out, const std::string &file, const author::Analysis &a) {
  Colours c = coloursFor(out);
  for (const author::Finding &f : a.findings) {
    printFinding(out, c, file, f, f.code);
    for (const author::Finding &note : f.notes) printFinding(out, c, file, note, "");
  }
}

int cmdCheck(const CommandLine *line) {
  CheckOptions o;
  int status = readOptions(line->argc, line->argv, &o);
  if (status >= 0) return status;
  author::Options options;
  options.dialog = o.dialog;
  options.codepage = atoi(o.codepage.c_str());
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  bool found = false;
  for (const std::string &file : o.files) {
    author::Analysis a = author::analyzeFile(file, options);
    found = found || !a.findings.empty();
    if (!o.json) {
      printFindings(stdout, file, a);
      continue;
    }
    for (const author::Finding &f : a.findings) {
      all.push_back(findingJson(file, a, f, f.code));
      for (const author::Finding &note : f.notes) all.push_back(findingJson(file, a, note, f.code));
    }
  }
  /* A file name need not be UTF-8: such bytes come out as U+FFFD. */
  if (o.json) printf("%s\n", all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
  return found ? CHECK_FINDINGS : CHECK_CLEAN;
}
