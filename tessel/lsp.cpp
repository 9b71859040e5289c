/*
 * tessel lsp: the language server for dialog files, on standard input and
 * output. The loop reads one message, hands it to the dispatcher, and when
 * no more input waits publishes the diagnostics of the documents changed in
 * the meantime, so that a burst of changes is analysed once, at its end.
 */
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "codepage/codepage.h"
#include "tessel/command.h"
#include "lsp/server.h"
#include "lsp/transport.h"

namespace {

const char kLspUsage[] =
    "usage: tessel lsp [--codepage CP]\n"
    "A language server for dialog files (the Language Server Protocol over standard\n"
    "input and output): diagnostics as tessel check finds them, hover, completion,\n"
    "definition and references of ENUM names, document symbols, formatting and\n"
    "quick fixes.\n"
    "  --codepage CP   the host's 8-bit code page the editor's text is read in (default 437)\n";

/* Reads the options; returns -1 to go on, or the exit status. */
int readOptions(int argc, char **argv, std::string *codepage) {
  for (int i = 1; i < argc; i++) {
    if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
      fputs(kLspUsage, stdout);
      return EXIT_OK;
    }
    if (strcmp(argv[i], "--codepage") == 0 && i + 1 < argc) {
      *codepage = argv[++i];
      continue;
    }
    return fail(EXIT_USAGE, "lsp: unknown argument \"%s\" (see tessel lsp --help)", argv[i]);
  }
  if (!cpSelect(codepage->c_str()))
    return fail(EXIT_USAGE, "lsp: unknown code page \"%s\" (iconv knows none of that name)", codepage->c_str());
  return -1;
}

}  // namespace

int cmdLsp(const CommandLine *line) {
  std::string codepage = "437";
  int status = readOptions(line->argc, line->argv, &codepage);
  if (status >= 0) return status;
  signal(SIGPIPE, SIG_IGN); /* a vanished client is a failed write, not a signal */

  LspServer server;
  server.store.options.codepage = atoi(codepage.c_str());
  buildCodePageMap(&server.store);
  LspReader reader;
  reader.fd = 0;
  std::string body, why;
  for (;;) {
    publishPending(&server, !inputWaiting(&reader));
    if (server.outputGone) return fail(EXIT_FAILED, "lsp: the client stopped reading");
    switch (readMessage(&reader, &body, &why)) {
      case ReadResult::Message:
        handleMessage(&server, body);
        break;
      case ReadResult::TooLarge:
        sendMessage(&server, errorMessage(nullptr, RPC_INVALID_REQUEST, "message body too large"));
        break;
      case ReadResult::End:
        return fail(EXIT_FAILED, "lsp: the input ended without an exit notification");
      case ReadResult::Broken:
        return fail(EXIT_FAILED, "lsp: %s", why.c_str());
    }
    if (server.exitStatus >= 0) return server.exitStatus;
  }
}
