/*
 * The language server's state and its table of methods: one struct holds
 * the lifecycle and the open documents and is passed to every handler; a
 * handler reads its parameters and returns a result or an error, and the
 * dispatcher alone decides what the lifecycle allows and writes answers.
 */
#ifndef TESSEL_LSP_SERVER_H
#define TESSEL_LSP_SERVER_H

#include <stdio.h>

#include <string>

#include "author/findings.h"
#include "lsp/documents.h"
#include "lsp/rpc.h"

enum class Lifecycle { Uninitialized, Running, ShutDown };

struct LspServer {
  Lifecycle lifecycle = Lifecycle::Uninitialized;
  DocumentStore store;
  int outFd = 1;
  bool outputGone = false; /* a write failed: the client has gone */
  int exitStatus = -1;     /* set by the exit notification */
  FILE *log = stderr;      /* where a failed notification is reported; null: nowhere */
};

/* What a handler gives: a result, or an error code and message. */
struct Outcome {
  Json result;
  int code = 0;
  std::string message;
};

Outcome failure(int code, const std::string &message);

/* Handles one message body, writing its answer (if any). */
void handleMessage(LspServer *server, const std::string &body);

/* Publishes the diagnostics of documents changed since they were last
   published: all of them, or (all false) those whose current text a request
   has analysed already and those changed longer ago than the latency
   bound, so that a flood of changes still sees diagnostics. */
void publishPending(LspServer *server, bool all);

/* Writes one message to the client. */
void sendMessage(LspServer *server, const Json &message);

/* The open document that params.textDocument.uri names, or null with
 *error set. */
Document *documentOf(LspServer *server, const Json &params, Outcome *error);

/* The position params.position as an offset of the document's text, its
   analysis made; false with *error set when params hold none. */
bool readCursor(LspServer *server, Document *d, const Json &params, size_t *offset, Outcome *error);

/* The language features (features.cpp). */
Outcome onHover(LspServer *server, const Json &params);
Outcome onCompletion(LspServer *server, const Json &params);
Outcome onDefinition(LspServer *server, const Json &params);
Outcome onReferences(LspServer *server, const Json &params);
Outcome onDocumentSymbol(LspServer *server, const Json &params);
Outcome onFormatting(LspServer *server, const Json &params);
Outcome onRangeFormatting(LspServer *server, const Json &params);
Outcome onCodeAction(LspServer *server, const Json &params);

/* Appends finding f of document d's analysis to *out as the protocol's
   Diagnostic, in JSON text: its range, severity, code, source, message,
   and its notes as related information. Every Diagnostic the server sends,
   published or in a quick fix, is made here. */
void appendDiagnostic(std::string *out, const Document &d, const author::Finding &f, PositionEncoding encoding);

/* The diagnostics of a document's analysis, as publishDiagnostics sends
   them: the text of a JSON array. */
std::string diagnosticsOf(const Document &d, PositionEncoding encoding);

#endif
