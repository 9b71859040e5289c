/*
 * tessel check: the findings of the authoring engine for each file named,
 * one line each in the form compilers use (FILE:LINE:COLUMN: severity:
 * message [code]) or as one JSON array; the exit status says whether any
 * error or warning was found.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <vector>

#include "author/engine.h"
#include "author/languages.h"
#include "codepage/codepage.h"
#include "platform/platform.h"
#include "tessel/check.h"
#include "tessel/command.h"
#include "tessel/options.h"

namespace {

enum { CHECK_CLEAN = 0, CHECK_FINDINGS = 1 }; /* bad usage: EXIT_USAGE */

const char kCheckUsage[] =
    "usage: tessel check FILE.dlg|FILE.lng... [options]\n"
    "\n"
    "What the library makes of each line of each FILE: its errors and warnings in\n"
    "the form compilers use, or as JSON. The .lng files beside a dialog file that\n"
    "gives texts from them are checked with it: their slips, their messages against\n"
    "its first ENUM, and its layout with each language's texts. A FILE.lng is\n"
    "checked against the dialog files beside it.\n";

const char kCheckExitStatus[] = "Exit status: 0 no finding, 1 an error or warning, 2 bad usage.\n";

/* Reads check's words from the options: whether to print JSON; returns -1 to
   go on, or the exit status. */
int readWords(const Options *o, bool *json) {
  if (o->help) return printCommandHelp(CMD_CHECK, kCheckUsage, kCheckExitStatus);
  const char *format = o->format ? o->format : "gcc";
  if (strcmp(format, "gcc") != 0 && strcmp(format, "json") != 0)
    return commandUsageError("check", "bad --format \"%s\": give gcc or json", format);
  *json = strcmp(format, "json") == 0;
  if (o->args.empty()) return commandUsageError("check", "%s", "no file to check");
  return -1;
}

struct Colours {
  const char *bold, *reset, *error, *warning, *note;
};

Colours coloursFor(FILE *stream) {
  const char *noColor = getenv("NO_COLOR");
  if (plIsTerminal(stream) && !(noColor && noColor[0]))
    return {"\033[1m", "\033[0m", "\033[1;31m", "\033[1;35m", "\033[1;36m"};
  return {"", "", "", "", ""};
}

/* Prints one line of finding f: code, when not empty, in brackets at its end. */
void printLine(FILE *out, const Colours &c, const std::string &file, const author::Finding &f, const char *code) {
  const char *tint = f.severity == author::Severity::Error     ? c.error
                     : f.severity == author::Severity::Warning ? c.warning
                                                               : c.note;
  const std::string &where = f.file.empty() ? file : f.file;
  fprintf(out, "%s%s:%d:%d:%s %s%s:%s %s", c.bold, where.c_str(), f.span.line, f.span.column, c.reset, tint,
          author::severityName(f.severity), c.reset, cpToUtf8(f.message).c_str());
  if (code && code[0]) fprintf(out, " [%s]", code);
  fputc('\n', out);
}

nlohmann::ordered_json findingJson(const std::string &file, const author::Analysis &a, const author::Finding &f,
                                   const char *code) {
  nlohmann::ordered_json j = {{"file", f.file.empty() ? file : f.file},
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

/* Prints f and its notes in the colours c. */
void printWithNotes(FILE *out, const Colours &c, const std::string &file, const author::Finding &f) {
  printLine(out, c, file, f, f.code);
  for (const author::Finding &note : f.notes) printLine(out, c, file, note, "");
}

void printFinding(FILE *out, const std::string &file, const author::Finding &f) {
  printWithNotes(out, coloursFor(out), file, f);
}

void printFindings(FILE *out, const std::string &file, const author::Analysis &a) {
  Colours c = coloursFor(out); /* asked once: a file may have thousands */
  for (const author::Finding &f : a.findings) printWithNotes(out, c, file, f);
}

/* The findings of language file path: its own, then those of the dialogs
   beside it with its texts. */
author::Analysis checkLanguageFile(const std::string &path, const author::Options &options) {
  author::Analysis report;
  std::vector<author::Finding> judged;
  report.findings = author::checkLanguageFile(path, options.codepage, nullptr, &judged);
  report.findings.insert(report.findings.begin(), judged.begin(), judged.end());
  return report;
}

/* Keeps the findings of a not yet in seen: language files are shared by
   the dialog files beside them, and each is reported once. */
void dropSeen(author::Analysis *a, std::set<std::string> *seen) {
  std::vector<author::Finding> kept;
  for (author::Finding &f : a->findings) {
    if (f.file.empty()) {
      kept.push_back(std::move(f));
      continue;
    }
    std::string key =
        f.file + ":" + std::to_string(f.span.line) + ":" + std::to_string(f.span.column) + ":" + f.message;
    if (seen->insert(key).second) kept.push_back(std::move(f));
  }
  a->findings.swap(kept);
}

int cmdCheck(const CommandLine *line) {
  const Options *o = line->options;
  bool json = false;
  int status = readWords(o, &json);
  if (status >= 0) return status;
  author::Options options;
  options.dialog = o->dialog ? o->dialog : "";
  options.codepage = atoi(o->codepage);
  nlohmann::ordered_json all = nlohmann::ordered_json::array();
  bool found = false;
  std::set<std::string> seen;
  for (const std::string file : o->args) {
    author::Analysis a = author::isLanguagePath(file) ? checkLanguageFile(file, options)
                                                      : author::analyzeWithLanguages(file, options, o->languages);
    dropSeen(&a, &seen);
    found = found || !a.findings.empty();
    if (!json) {
      printFindings(stdout, file, a);
      continue;
    }
    for (const author::Finding &f : a.findings) {
      all.push_back(findingJson(file, a, f, f.code));
      for (const author::Finding &note : f.notes) all.push_back(findingJson(file, a, note, f.code));
    }
  }
  /* A file name need not be UTF-8: such bytes come out as U+FFFD. */
  if (json) printf("%s\n", all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
  return found ? CHECK_FINDINGS : CHECK_CLEAN;
}
