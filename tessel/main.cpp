/*
 * tessel: the host stand-in's program. main reads the options through the
 * option table (options.cpp) and dispatches through one table of {command,
 * function, syntax}; each command lives in a file of its own and returns its
 * exit status. Every failure is one line on stderr and a non-zero status.
 */
#include <stdio.h>
#include <string.h>

#include "host/slots.h"
#include "platform/platform.h"
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
int cmdHeader(const CommandLine *line);
int cmdImport(const CommandLine *line);
int cmdDesign(const CommandLine *line);

namespace {

/* How a command reads its command line. */
enum CommandSyntax {
  TESSEL_OPTIONS, /* tessel's options (--keys, --size, ...), anywhere on the line */
  OWN_SYNTAX      /* words of its own, right after "tessel NAME" and handed on as typed */
};

struct Command {
  CommandId id; /* its name: commandName(id) */
  CommandFn run;
  CommandSyntax syntax;
};

int cmdNone(const CommandLine *line);
int cmdHelp(const CommandLine *line);

const Command kCommands[] = {
    {CMD_NONE, cmdNone, TESSEL_OPTIONS},     {CMD_HELP, cmdHelp, TESSEL_OPTIONS},
    {CMD_VIEW, cmdView, TESSEL_OPTIONS},     {CMD_CONFIG, cmdConfig, TESSEL_OPTIONS},
    {CMD_RENDER, cmdRender, TESSEL_OPTIONS}, {CMD_TRY, cmdTry, TESSEL_OPTIONS},
    {CMD_CHECK, cmdCheck, TESSEL_OPTIONS},   {CMD_FMT, cmdFmt, TESSEL_OPTIONS},
    {CMD_LSP, cmdLsp, TESSEL_OPTIONS},       {CMD_HEADER, cmdHeader, TESSEL_OPTIONS},
    {CMD_IMPORT, cmdImport, TESSEL_OPTIONS}, {CMD_DESIGN, cmdDesign, TESSEL_OPTIONS},
    {CMD_REG, cmdReg, OWN_SYNTAX},
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
    "  header FILE.dlg        a C header of FILE's ENUM names and dialog names\n"
    "  import FILE.c...       a dialog file of the dialog item arrays of C sources\n"
    "  design FILE.dlg NAME   lay dialog NAME out by sight, each change written to FILE\n"
    "  reg OPERATION ...      the registry store, as reg.exe (add, query, delete, import, export)\n"
    "\n"
    "`tessel COMMAND --help` describes each command and its options; `tessel\n"
    "--version` gives tessel's version and the library's.\n";

/* `tessel help`. */
int cmdHelp(const CommandLine *) {
  fputs(kUsage, stdout);
  return EXIT_OK;
}

/* The command line without a command: `tessel --help` or `tessel --version`. */
int cmdNone(const CommandLine *line) { return line->options->version ? cmdVersion(line) : cmdHelp(line); }

/* The command of that identifier. */
const Command &commandOf(CommandId id) {
  for (const Command &command : kCommands)
    if (command.id == id) return command;
  return kCommands[0];
}

}  // namespace

int main(int argc, char **argv) {
  plUtf8Console(); /* findings and dialogs are written in UTF-8 */
  CommandLine line = {argc - 1, argv + 1, nullptr};
  for (const Command &command : kCommands) /* reg: its own words, as typed after its name */
    if (argc >= 2 && command.syntax == OWN_SYNTAX && strcmp(argv[1], commandName(command.id)) == 0)
      return command.run(&line);

  Options o;
  int status = parseOptions(argc, argv, &o);
  if (status) return status;
  line.options = &o;
  const Command &command = commandOf(o.command);
  if (command.syntax == OWN_SYNTAX)
    return fail(EXIT_USAGE, "%s reads words of its own: give them right after \"tessel %s\"", commandName(command.id),
                commandName(command.id));
  status = command.run(&line);
  hostRelease();
  return status;
}
