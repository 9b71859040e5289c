// Fuzz target for the language server's message handling: a session of
// messages read as tessel lsp reads them, by the same transport, dispatcher
// and handlers, with a fresh server for each input. Every message the server
// writes must be framed and its body valid JSON-RPC, whatever came in.
//
// Input: byte 0 selects the framing. Even: the rest is a list of message
// bodies separated by NUL bytes, each framed here with its exact length, so
// that mutations reach the handlers. Odd: the rest is the raw stream, headers
// and all, so that they reach the transport.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <string>

#include "codepage/codepage.h"
#include "lsp/server.h"
#include "lsp/transport.h"

namespace {

int inFd = -1;   // the stream the server reads, rewritten for each input
int outFd = -1;  // what it writes

void fail(const char *what, const std::string &detail) {
  fprintf(stderr, "lsp: %s: %.300s\n", what, detail.c_str());
  abort();
}

// Replaces the content of the in-memory file fd with text and rewinds it.
void refill(int fd, const std::string &text) {
  if (ftruncate(fd, 0) != 0 || lseek(fd, 0, SEEK_SET) != 0) abort();
  if (!text.empty() && write(fd, text.data(), text.size()) != (ssize_t)text.size()) abort();
  if (lseek(fd, 0, SEEK_SET) != 0) abort();
}

std::string readAll(int fd) {
  std::string text;
  if (lseek(fd, 0, SEEK_SET) != 0) abort();
  char chunk[65536];
  ssize_t got;
  while ((got = read(fd, chunk, sizeof chunk)) > 0) text.append(chunk, (size_t)got);
  return text;
}

// Every message written is "Content-Length: N\r\n\r\n" and N bytes of a JSON
// object of version 2.0.
void checkOutput(const std::string &out) {
  size_t at = 0;
  static const char kHeader[] = "Content-Length: ";
  while (at < out.size()) {
    if (out.compare(at, sizeof kHeader - 1, kHeader) != 0) fail("a message without its header", out.substr(at));
    char *end = nullptr;
    unsigned long long length = strtoull(out.c_str() + at + sizeof kHeader - 1, &end, 10);
    size_t bodyAt = (size_t)(end - out.c_str());
    if (out.compare(bodyAt, 4, "\r\n\r\n") != 0) fail("a header not ended by a blank line", out.substr(at));
    bodyAt += 4;
    if (length > out.size() - bodyAt) fail("a body shorter than its length", out.substr(at));
    std::string body = out.substr(bodyAt, (size_t)length);
    Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded() || !message.is_object()) fail("a body that is not a JSON object", body);
    const Json *version = member(message, "jsonrpc");
    if (!version || *version != "2.0") fail("a message without \"jsonrpc\": \"2.0\"", body);
    at = bodyAt + (size_t)length;
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  inFd = memfd_create("tessel-fuzz-lsp-in", 0);
  outFd = memfd_create("tessel-fuzz-lsp-out", 0);
  if (inFd < 0 || outFd < 0 || !cpSelect("437")) abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  std::string rest(reinterpret_cast<const char *>(data) + 1, size - 1);
  std::string stream;
  if (data[0] & 1) {
    stream = rest;
  } else {
    size_t at = 0;
    while (at <= rest.size()) {
      size_t end = rest.find('\0', at);
      if (end == std::string::npos) end = rest.size();
      stream += "Content-Length: " + std::to_string(end - at) + "\r\n\r\n";
      stream.append(rest, at, end - at);
      at = end + 1;
    }
  }
  refill(inFd, stream);
  refill(outFd, "");

  // The server's loop, as tessel lsp runs it.
  LspServer server;
  server.outFd = outFd;
  server.log = nullptr;  // failed notifications are answered by nothing; not worth a line each
  server.store.options.codepage = 437;
  buildCodePageMap(&server.store);
  LspReader reader;
  reader.fd = inFd;
  std::string body, why;
  for (bool reading = true; reading && server.exitStatus < 0;) {
    publishPending(&server, !inputWaiting(&reader));
    switch (readMessage(&reader, &body, &why)) {
      case ReadResult::Message:
        handleMessage(&server, body);
        break;
      case ReadResult::TooLarge:
        sendMessage(&server, errorMessage(nullptr, RPC_INVALID_REQUEST, "message body too large"));
        break;
      case ReadResult::End:
      case ReadResult::Broken:
        reading = false;
        break;
    }
  }
  publishPending(&server, true);
  if (server.outputGone) fail("a write failed", "");
  checkOutput(readAll(outFd));
  return 0;
}
