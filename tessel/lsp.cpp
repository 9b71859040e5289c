/*
 * tessel lsp: the language server for dialog files, on standard input and
 * output. The loop reads one message, hands it to the dispatcher, and when
 * no more input waits publishes the diagnostics of the documents changed in
 * the meantime, so that a burst of changes is analysed once, at its end.
 */
#include <stdio.h>
#include <stdlib.h>

#include "lsp/server.h"
#include "lsp/transport.h"
#include "platform/platform.h"
#include "tessel/command.h"

namespace {

const char kLspUsage[] =
    "usage: tessel lsp [options]\n"
    "\n"
    "A language server for dialog files (the Language Server Protocol over standard\n"
    "input and output): diagnostics as tessel check finds them, hover, completion,\n"
    "definition and references of ENUM names, document symbols, formatting and\n"
    "quick fixes. The editor's text is read in the host's code page (--codepage).\n";

}  // namespace

int cmdLsp(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_LSP, kLspUsage, nullptr);
  if (!o->args.empty()) return fail(EXIT_USAGE, "lsp: unknown argument \"%s\" (see tessel lsp --help)", o->args[0]);
  plProtocolStdio(); /* bytes as they are; a vanished client is a failed write */

  LspServer server;
  server.store.options.codepage = atoi(o->codepage);
  server.store.languages = o->languages;
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
