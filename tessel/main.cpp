/*
 * tessel: the host stand-in's program. main only finds the command and
 * dispatches through one table of {name, function, syntax}; each command
 * lives in a file of its own and returns its exit status. Every failure is
 * one line on stderr and a non-zero exit status.
 */
#include <stdio.h>
#include <string.h>

#include "host/slots.h"
#include "tessel/command.h"

/* The commands, one file each. */
int cmdView(const CommandLine *line);
int cmdConfig(const CommandLine *line);
int cmdRender(const CommandLine *line);
int cmdTry(const CommandLine *line);
int cmdVersion(const CommandLine *line);
int cmdReg(const CommandLine *line);
int cmdCheck(const CommandLine *line);
int cmdFmt(const CommandLine *line);
int cmdLsp(const CommandLine *line);

namespace {

/* How a command reads its command line. */
enum CommandSyntax {
  TESSEL_OPTIONS, /* tessel's options (--keys, --size, ...), anywhere on the line */
  OWN_SYNTAX      /* words of its own, right after "tessel NAME" and handed on as typed */
};

struct Command {
  const char *name;
  CommandFn run;
  CommandSyntax syntax;
};

int cmdHelp(const CommandLine *line);

const Command kCommands[] = {
    {"help", cmdHelp, TESSEL_OPTIONS},     {"view", cmdView, TESSEL_OPTIONS}, {"config", cmdConfig, TESSEL_OPTIONS},
    {"render", cmdRender, TESSEL_OPTIONS}, {"try", cmdTry, TESSEL_OPTIONS},   {"reg", cmdReg, OWN_SYNTAX},
    {"check", cmdCheck, OWN_SYNTAX},       {"fmt", cmdFmt, OWN_SYNTAX},       {"lsp", cmdLsp, OWN_SYNTAX},
};

const char kUsage[] =
    "usage: tessel <command> [options]\n"
    "\n"
    "Previews and tries dialog description files (.dlg) as the Flens plug-in shows\n"
    "them inside the host, in this terminal.\n"
    "\n"
    "commands:\n"
    "  view FILE.dlg          the plug-in's menu of FILE's dialogs, then each chosen one\n"
    "  config                 the plug-in's configuration dialog\n"
    "  render FILE.dlg NAME   draw dialog NAME once to standard output\n"
    "  try FILE.dlg NAME      use dialog NAME, then print what the plug-in reads back\n"
    "  check FILE.dlg...      what the library makes of each line: errors and warnings\n"
    "  fmt FILE.dlg...        align the fields of item lines into columns; loads stay the same\n"
    "  lsp                    a language server for editors, on standard input and output\n"
    "  reg OPERATION ...      the registry store, as reg.exe (add, query, delete, import, export)\n"
    "\n"
    "`tessel COMMAND --help` describes each command and its options; `tessel\n"
    "--version` gives tessel's version and the library's.\n";

/* `tessel help`, and `tessel --help` without a command. */
int cmdHelp(const CommandLine *) {
  fputs(kUsage, stdout);
  return EXIT_OK;
}

/* The command of that name and syntax, or null. */
const Command *findCommand(const char *name, CommandSyntax syntax) {
  for (const Command &command : kCommands)
    if (command.syntax == syntax && strcmp(command.name, name) == 0) return &command;
  return nullptr;
}

}  // namespace

int main(int argc, char **argv) {
  CommandLine line = {argc - 1, argv + 1, nullptr};
  const Command *command = argc >= 2 ? findCommand(argv[1], OWN_SYNTAX) : nullptr;
  if (command) return command->run(&line);

  Options o;
  int status = parseOptions(argc, argv, &o);
  if (status) return status;
  line.options = &o;
  if (o.version) return cmdVersion(&line);
  if (!o.command && !o.help) return fail(EXIT_USAGE, "no command given (see tessel --help)");
  command = findCommand(o.command ? o.command : "help", TESSEL_OPTIONS);
  if (!command) return fail(EXIT_USAGE, "unknown command \"%s\" (see tessel --help)", o.command);
  status = command->run(&line);
  hostRelease();
  return status;
}
