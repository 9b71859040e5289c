/*
 * The dispatcher and the handlers of the lifecycle and of document
 * synchronisation. One table maps each method to its handler and says
 * whether it is a request or a notification; unknown requests get
 * MethodNotFound here and nowhere else, unknown notifications are dropped.
 */
#include "lsp/server.h"

#include <stdio.h>

#include <algorithm>
#include <new>

#include "author/findings.h"
#include "codepage/codepage.h"
#include "lsp/transport.h"

namespace {

/* How long a changed document may wait for its diagnostics while changes
   keep coming. */
constexpr std::chrono::milliseconds kPublishLatency(100);

Outcome ok(Json result = nullptr) {
  Outcome o;
  o.result = std::move(result);
  return o;
}

/* ---- lifecycle ---- */

/* The encoding to count positions in: UTF-8 when the client offers it
   (general.positionEncodings, or the older offsetEncoding that some clients
   send), else UTF-16, the protocol's default. */
PositionEncoding negotiateEncoding(const Json *capabilities, bool *legacy) {
  *legacy = false;
  if (!capabilities) return PositionEncoding::Utf16;
  const Json *general = member(*capabilities, "general");
  const Json *offered = general ? member(*general, "positionEncodings") : nullptr;
  *legacy = false;
  if (!offered || !offered->is_array()) {
    offered = member(*capabilities, "offsetEncoding");
    *legacy = offered && offered->is_array();
  }
  if (!offered || !offered->is_array()) return PositionEncoding::Utf16;
  bool utf16 = false, utf32 = false;
  for (const Json &name : *offered) {
    if (name == "utf-8") return PositionEncoding::Utf8;
    utf16 = utf16 || name == "utf-16";
    utf32 = utf32 || name == "utf-32";
  }
  return !utf16 && utf32 ? PositionEncoding::Utf32 : PositionEncoding::Utf16;
}

const char *encodingName(PositionEncoding e) {
  return e == PositionEncoding::Utf8 ? "utf-8" : e == PositionEncoding::Utf16 ? "utf-16" : "utf-32";
}

Outcome onInitialize(LspServer *server, const Json &params) {
  if (!params.is_object()) return failure(RPC_INVALID_PARAMS, "initialize takes an object");
  bool legacy;
  const Json *capabilities = member(params, "capabilities");
  server->store.encoding = negotiateEncoding(capabilities, &legacy);
  server->lifecycle = Lifecycle::Running;
  Json caps = {
      {"positionEncoding", encodingName(server->store.encoding)},
      {"textDocumentSync", {{"openClose", true}, {"change", 2}, {"save", {{"includeText", false}}}}},
      {"hoverProvider", true},
      {"completionProvider", {{"triggerCharacters", {"(", "+", "%"}}, {"resolveProvider", false}}},
      {"definitionProvider", true},
      {"referencesProvider", true},
      {"documentSymbolProvider", true},
      {"documentFormattingProvider", true},
      {"documentRangeFormattingProvider", true},
      {"codeActionProvider", {{"codeActionKinds", {"quickfix"}}}},
  };
  Json result = {{"capabilities", caps}, {"serverInfo", {{"name", "tessel"}}}};
  if (legacy) result["offsetEncoding"] = encodingName(server->store.encoding);
  return ok(result);
}

Outcome onInitialized(LspServer *, const Json &) { return ok(); }

Outcome onShutdown(LspServer *server, const Json &) {
  server->lifecycle = Lifecycle::ShutDown;
  return ok();
}

Outcome onExit(LspServer *server, const Json &) {
  server->exitStatus = server->lifecycle == Lifecycle::ShutDown ? 0 : 1;
  return ok();
}

/* $/cancelRequest: every request is answered before the next is read, so
   there is nothing left to cancel. */
Outcome onCancel(LspServer *, const Json &) { return ok(); }

/* ---- documents ---- */

void markChanged(Document *d) {
  if (!d->unpublished) d->changedAt = std::chrono::steady_clock::now();
  d->unpublished = true;
}

/* A change to d (or its closing) changes the verdicts on the open files
   judged with it: the dialog files beside a language file, and back. */
void markJudgedWith(LspServer *server, const Document &d) {
  for (auto &entry : server->store.documents)
    if (judgedTogether(d, entry.second)) {
      entry.second.analysed = false;
      markChanged(&entry.second);
    }
}

Outcome onDidOpen(LspServer *server, const Json &params) {
  const Json *item = member(params, "textDocument");
  std::string uri, text;
  long long version = 0;
  if (!item || !readString(*item, "uri", &uri) || !readString(*item, "text", &text))
    return failure(RPC_INVALID_PARAMS, "didOpen without a text document");
  readInteger(*item, "version", &version);
  Document &d = server->store.documents[uri];
  d = makeDocument(uri, version, std::move(text));
  markChanged(&d);
  markJudgedWith(server, d);
  return ok();
}

Outcome onDidChange(LspServer *server, const Json &params) {
  Outcome error;
  Document *d = documentOf(server, params, &error);
  if (!d) return error;
  const Json *changes = member(params, "contentChanges");
  if (!changes || !changes->is_array()) return failure(RPC_INVALID_PARAMS, "didChange without contentChanges");
  long long version;
  if (readInteger(params["textDocument"], "version", &version)) d->version = version;
  std::string why;
  for (const Json &change : *changes)
    if (!applyChange(d, change, server->store.encoding, &why)) return failure(RPC_INVALID_PARAMS, why);
  d->analysed = false;
  markChanged(d);
  markJudgedWith(server, *d);
  return ok();
}

Outcome onDidClose(LspServer *server, const Json &params) {
  Outcome error;
  Document *d = documentOf(server, params, &error);
  if (!d) return error;
  std::string uri = d->uri;
  Document closed = makeDocument(uri, 0, std::string()); /* now read from disk by the files judged with it */
  server->store.documents.erase(uri);
  markJudgedWith(server, closed);
  sendMessage(server,
              notificationMessage("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}}));
  return ok();
}

Outcome onDidSave(LspServer *, const Json &) { return ok(); }

/* ---- the table ---- */

enum MethodKind { REQUEST, NOTIFICATION };

struct Method {
  const char *name;
  Outcome (*handler)(LspServer *server, const Json &params);
  MethodKind kind;
  const char *onLanguageFile; /* a feature of dialog files: its answer (JSON) for a language file */
};

const Method kMethods[] = {
    {"initialize", onInitialize, REQUEST, nullptr},
    {"initialized", onInitialized, NOTIFICATION, nullptr},
    {"shutdown", onShutdown, REQUEST, nullptr},
    {"exit", onExit, NOTIFICATION, nullptr},
    {"$/cancelRequest", onCancel, NOTIFICATION, nullptr},
    {"textDocument/didOpen", onDidOpen, NOTIFICATION, nullptr},
    {"textDocument/didChange", onDidChange, NOTIFICATION, nullptr},
    {"textDocument/didClose", onDidClose, NOTIFICATION, nullptr},
    {"textDocument/didSave", onDidSave, NOTIFICATION, nullptr},
    {"textDocument/hover", onHover, REQUEST, "null"},
    {"textDocument/completion", onCompletion, REQUEST, "[]"},
    {"textDocument/definition", onDefinition, REQUEST, "null"},
    {"textDocument/references", onReferences, REQUEST, "null"},
    {"textDocument/documentSymbol", onDocumentSymbol, REQUEST, "[]"},
    {"textDocument/formatting", onFormatting, REQUEST, "[]"},
    {"textDocument/rangeFormatting", onRangeFormatting, REQUEST, "[]"},
    {"textDocument/codeAction", onCodeAction, REQUEST, "[]"},
};

const Method *findMethod(const std::string &name, MethodKind kind) {
  for (const Method &m : kMethods)
    if (m.kind == kind && name == m.name) return &m;
  return nullptr;
}

/* Runs a handler; an exception of the JSON library (a parameter of an
   unexpected shape that a reader missed) or a failed allocation becomes an
   error answer instead of ending the server. */
Outcome run(const Method *m, LspServer *server, const Json &params) {
  try {
    return m->handler(server, params);
  } catch (const std::bad_alloc &) {
    return failure(RPC_INTERNAL_ERROR, "out of memory");
  } catch (const std::exception &e) {
    return failure(RPC_INVALID_PARAMS, e.what());
  }
}

/* Whether the request's document is an open language file. */
bool isLanguageDocument(LspServer *server, const Json &params) {
  const Json *item = member(params, "textDocument");
  std::string uri;
  if (!item || !readString(*item, "uri", &uri)) return false;
  auto it = server->store.documents.find(uri);
  return it != server->store.documents.end() && it->second.language;
}

void answer(LspServer *server, const Json &id, const Outcome &o) {
  sendMessage(server, o.code ? errorMessage(id, o.code, o.message) : resultMessage(id, o.result));
}

void handleRequest(LspServer *server, const Incoming &in) {
  const Method *m = findMethod(in.method, REQUEST);
  if (server->lifecycle == Lifecycle::Uninitialized && in.method != "initialize") {
    answer(server, in.id, failure(RPC_SERVER_NOT_INITIALIZED, "the server is not initialized"));
  } else if (server->lifecycle != Lifecycle::Uninitialized && in.method == "initialize") {
    answer(server, in.id, failure(RPC_INVALID_REQUEST, "the server is already initialized"));
  } else if (server->lifecycle == Lifecycle::ShutDown) {
    answer(server, in.id, failure(RPC_INVALID_REQUEST, "the server is shut down"));
  } else if (!m) {
    answer(server, in.id, failure(RPC_METHOD_NOT_FOUND, "no method " + in.method));
  } else if (m->onLanguageFile && isLanguageDocument(server, in.params)) {
    answer(server, in.id, ok(Json::parse(m->onLanguageFile)));
  } else {
    answer(server, in.id, run(m, server, in.params));
  }
}

void handleNotification(LspServer *server, const Incoming &in) {
  const Method *m = findMethod(in.method, NOTIFICATION);
  if (!m) return;
  bool allowed = in.method == "exit" || server->lifecycle == Lifecycle::Running;
  if (!allowed) return;
  Outcome o = run(m, server, in.params);
  if (o.code && server->log) fprintf(server->log, "tessel lsp: %s: %s\n", in.method.c_str(), o.message.c_str());
}

/* ---- diagnostics ---- */

/* The protocol's DiagnosticSeverity for a finding's severity: an error 1,
   a warning 2, a note 3 (Information). */
int severityNumber(author::Severity s) {
  switch (s) {
    case author::Severity::Error:
      return 1;
    case author::Severity::Warning:
      return 2;
    default:
      return 3;
  }
}

/* ---- diagnostics, written as text: a file may have thousands, and
   building them as JSON values first costs more than the analysis ---- */

void appendString(std::string *out, const std::string &text) {
  static const char kHex[] = "0123456789abcdef";
  *out += '"';
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      *out += '\\';
      *out += (char)c;
    } else if (c < 0x20) {
      *out += "\\u00";
      *out += kHex[c >> 4];
      *out += kHex[c & 15];
    } else {
      *out += (char)c;
    }
  }
  *out += '"';
}

void appendPosition(std::string *out, Position p) {
  *out += "{\"line\":" + std::to_string(p.line) + ",\"character\":" + std::to_string(p.character) + "}";
}

void appendRange(std::string *out, const Document &d, const author::Span &span, PositionEncoding encoding) {
  const author::Analysis &a = d.analysis;
  long long start = hostOffsetOfSpan(a, span.line, span.column);
  long long end = std::max(start, hostOffsetOfSpan(a, span.endLine, span.endColumn));
  *out += "{\"start\":";
  appendPosition(out, positionAt(d, textOffsetOfHost(d, start), encoding));
  *out += ",\"end\":";
  appendPosition(out, positionAt(d, textOffsetOfHost(d, end), encoding));
  *out += '}';
}

}  // namespace

Outcome failure(int code, const std::string &message) {
  Outcome o;
  o.code = code;
  o.message = message;
  return o;
}

void appendDiagnostic(std::string *out, const Document &d, const author::Finding &f, PositionEncoding encoding) {
  *out += "{\"range\":";
  appendRange(out, d, f.span, encoding);
  *out += ",\"severity\":" + std::to_string(severityNumber(f.severity)) + ",\"code\":";
  appendString(out, f.code);
  *out += ",\"source\":\"tessel\",\"message\":";
  appendString(out, cpToUtf8(f.message));
  if (!f.notes.empty()) {
    *out += ",\"relatedInformation\":[";
    for (size_t i = 0; i < f.notes.size(); i++) {
      const author::Finding &note = f.notes[i];
      *out += i ? ",{\"location\":{\"uri\":" : "{\"location\":{\"uri\":";
      appendString(out, note.file.empty() ? d.uri : uriOfPath(note.file));
      *out += ",\"range\":";
      if (note.file.empty()) {
        appendRange(out, d, note.span, encoding);
      } else { /* a line of a language file: its start */
        Position p;
        p.line = note.span.line - 1;
        *out += "{\"start\":";
        appendPosition(out, p);
        *out += ",\"end\":";
        appendPosition(out, p);
        *out += '}';
      }
      *out += "},\"message\":";
      appendString(out, cpToUtf8(f.notes[i].message));
      *out += '}';
    }
    *out += ']';
  }
  *out += '}';
}

std::string diagnosticsOf(const Document &d, PositionEncoding encoding) {
  std::string out = "[";
  for (const author::Finding &f : d.analysis.findings) {
    if (out.size() > 1) out += ',';
    appendDiagnostic(&out, d, f, encoding);
  }
  return out + "]";
}

Document *documentOf(LspServer *server, const Json &params, Outcome *error) {
  const Json *item = member(params, "textDocument");
  std::string uri;
  if (!item || !readString(*item, "uri", &uri)) {
    *error = failure(RPC_INVALID_PARAMS, "no textDocument.uri");
    return nullptr;
  }
  auto it = server->store.documents.find(uri);
  if (it == server->store.documents.end()) {
    *error = failure(RPC_INVALID_PARAMS, "the document is not open: " + uri);
    return nullptr;
  }
  return &it->second;
}

bool readCursor(LspServer *server, Document *d, const Json &params, size_t *offset, Outcome *error) {
  const Json *position = member(params, "position");
  Position p;
  if (!readPosition(position, &p)) {
    *error = failure(RPC_INVALID_PARAMS, "no valid position");
    return false;
  }
  ensureAnalysis(d, server->store);
  *offset = textOffset(*d, p, server->store.encoding);
  return true;
}

void sendMessage(LspServer *server, const Json &message) {
  if (server->outputGone) return;
  if (!writeMessage(server->outFd, serialize(message))) server->outputGone = true;
}

void publishPending(LspServer *server, bool all) {
  auto now = std::chrono::steady_clock::now();
  for (auto &entry : server->store.documents) {
    Document &d = entry.second;
    bool due = all || d.analysed || now - d.changedAt >= kPublishLatency;
    if (!d.unpublished || !due) continue;
    ensureAnalysis(&d, server->store);
    d.unpublished = false;
    std::string message = "{\"jsonrpc\":\"2.0\",\"method\":\"textDocument/publishDiagnostics\",\"params\":{\"uri\":";
    appendString(&message, d.uri);
    message += ",\"version\":" + std::to_string(d.version) + ",\"diagnostics\":";
    message += diagnosticsOf(d, server->store.encoding) + "}}";
    if (!server->outputGone && !writeMessage(server->outFd, message)) server->outputGone = true;
  }
}

void handleMessage(LspServer *server, const std::string &body) {
  Incoming in = classify(body);
  switch (in.kind) {
    case MessageKind::Request:
      handleRequest(server, in);
      break;
    case MessageKind::Notification:
      handleNotification(server, in);
      break;
    case MessageKind::Response:
      break;
    case MessageKind::Invalid:
      sendMessage(server, errorMessage(in.id, in.code, in.why));
      break;
  }
}
