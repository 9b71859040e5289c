/*
 * The language server's transport: messages framed by a header block
 * (Content-Length: N, a blank line) and a body of N bytes, read from one
 * file descriptor and written to another. It knows nothing of JSON; it only
 * says whether the stream can be read any further.
 */
#ifndef TESSEL_LSP_TRANSPORT_H
#define TESSEL_LSP_TRANSPORT_H

#include <stddef.h>

#include <string>

/* The largest body read; a larger one is skipped (so that memory stays
   bounded) and reported as TooLarge. */
constexpr size_t kLspMaxBody = 64u << 20;
/* The largest header block: past it the stream is given up. */
constexpr size_t kLspMaxHeader = 64u << 10;

struct LspReader {
  int fd = 0;
  std::string buffer; /* bytes read and not yet taken: buffer[start...] */
  size_t start = 0;
  bool ended = false; /* the input reached its end (or failed) */
};

enum class ReadResult {
  Message,  /* *body holds one message's body */
  TooLarge, /* a body past kLspMaxBody was skipped */
  End,      /* the input ended between two messages */
  Broken    /* the stream cannot be read any further; *why says why */
};

/* Reads the next message. Header lines other than Content-Length are
   ignored, and so is anything before "Content-Length:" on its line, which
   finds the next header again after a body of the wrong length. */
ReadResult readMessage(LspReader *reader, std::string *body, std::string *why);

/* Whether bytes of the input are waiting: buffered, or readable at once. */
bool inputWaiting(LspReader *reader);

/* Writes body as one message to fd; false when the other end is gone. */
bool writeMessage(int fd, const std::string &body);

#endif
