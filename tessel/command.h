/*
 * The shape of a tessel command: what it is handed and what it returns.
 * main.cpp maps each command to its function in one table; each command
 * lives in a file of its own and returns its exit status.
 */
#ifndef TESSEL_TESSEL_COMMAND_H
#define TESSEL_TESSEL_COMMAND_H

#include "tessel/options.h"

/* What a command is handed: the words after "tessel" as typed (argv[0] is
   the first of them), and tessel's options read from all of them, or null
   for a command that reads its words in a syntax of its own. */
struct CommandLine {
  int argc;
  char **argv;
  const Options *options;
};

/* A command: runs, reports its failures on stderr, returns the exit
   status. */
typedef int (*CommandFn)(const CommandLine *line);

#endif
