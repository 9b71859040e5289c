/*
 * Framing of the language server's messages over a pair of pipes. The
 * reader keeps one buffer, reads in blocks, and hands out whole bodies;
 * every way the stream can end or go wrong is a result, never an exit.
 */
#include "lsp/transport.h"

#include <errno.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>

#include "platform/platform.h"

namespace {

constexpr size_t kBlock = 1 << 16;

/* Reads one more block into the buffer; false at the end of the input. */
bool fill(LspReader *r) {
  if (r->ended) return false;
  if (r->start > 0 && r->start >= r->buffer.size() / 2) {
    r->buffer.erase(0, r->start);
    r->start = 0;
  }
  size_t had = r->buffer.size();
  r->buffer.resize(had + kBlock);
  ssize_t got;
  do {
    got = read(r->fd, &r->buffer[had], kBlock);
  } while (got < 0 && errno == EINTR);
  r->buffer.resize(had + (got > 0 ? (size_t)got : 0));
  if (got <= 0) r->ended = true;
  return got > 0;
}

size_t available(const LspReader *r) { return r->buffer.size() - r->start; }

inline char lower(char c) { return c >= 'A' && c <= 'Z' ? (char)(c + 32) : c; }

/* The value of "Content-Length:" in a header line (case ignored, anything
   before it skipped): the length, or -1 when the line has none or its value
   is no number. */
long long contentLength(const std::string &line) {
  static const std::string kName = "content-length:";
  auto at =
      std::search(line.begin(), line.end(), kName.begin(), kName.end(), [](char a, char b) { return lower(a) == b; });
  if (at == line.end()) return -1;
  size_t p = (size_t)(at - line.begin()) + kName.size();
  while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) p++;
  if (p >= line.size() || line[p] < '0' || line[p] > '9') return -1;
  long long n = 0;
  for (; p < line.size() && line[p] >= '0' && line[p] <= '9'; p++) {
    n = n * 10 + (line[p] - '0');
    if (n > (1LL << 40)) return (1LL << 40); /* far past any limit */
  }
  while (p < line.size() && (line[p] == ' ' || line[p] == '\t')) p++;
  return p == line.size() ? n : -1;
}

/* Takes the next header line (without its line end); false when the input
   ended first or the header grew past its limit (*why set). */
bool takeLine(LspReader *r, std::string *line, size_t *headerBytes, std::string *why) {
  for (;;) {
    const char *begin = r->buffer.data() + r->start;
    const char *newline = static_cast<const char *>(memchr(begin, '\n', available(r)));
    if (newline) {
      size_t length = (size_t)(newline - begin);
      *headerBytes += length + 1;
      if (*headerBytes > kLspMaxHeader) break;
      line->assign(begin, length);
      if (!line->empty() && line->back() == '\r') line->pop_back();
      r->start += length + 1;
      return true;
    }
    if (*headerBytes + available(r) > kLspMaxHeader) break;
    if (!fill(r)) {
      *why = "the input ended inside a message header";
      return false;
    }
  }
  *why = "a message header longer than " + std::to_string(kLspMaxHeader) + " bytes";
  return false;
}

/* Skips n bytes of the input; false when it ends first. */
bool skip(LspReader *r, size_t n) {
  while (available(r) < n) {
    n -= available(r);
    r->start = r->buffer.size();
    if (!fill(r)) return false;
  }
  r->start += n;
  return true;
}

}  // namespace

ReadResult readMessage(LspReader *r, std::string *body, std::string *why) {
  long long length = -1;
  size_t headerBytes = 0;
  bool anyLine = false;
  for (;;) {
    if (available(r) == 0 && !anyLine && !fill(r)) return ReadResult::End;
    std::string line;
    if (!takeLine(r, &line, &headerBytes, why)) {
      if (!anyLine && available(r) == 0 && headerBytes == 0) return ReadResult::End;
      return ReadResult::Broken;
    }
    if (line.empty()) {
      if (!anyLine) continue; /* a blank line between messages */
      break;
    }
    anyLine = true;
    long long n = contentLength(line);
    if (n >= 0) length = n;
  }
  if (length < 0) {
    *why = "a message header without Content-Length";
    return ReadResult::Broken;
  }
  if ((size_t)length > kLspMaxBody) {
    if (!skip(r, (size_t)length)) {
      *why = "the input ended inside a message body of " + std::to_string(length) + " bytes";
      return ReadResult::Broken;
    }
    return ReadResult::TooLarge;
  }
  while (available(r) < (size_t)length)
    if (!fill(r)) {
      *why = "the input ended " + std::to_string(available(r)) + " bytes into a message body of " +
             std::to_string(length) + " bytes";
      return ReadResult::Broken;
    }
  body->assign(r->buffer, r->start, (size_t)length);
  r->start += (size_t)length;
  return ReadResult::Message;
}

bool inputWaiting(LspReader *r) {
  if (available(r) > 0 || r->ended) return true;
  return plWaitReadable(&r->fd, 1, 0) > 0;
}

bool writeMessage(int fd, const std::string &body) {
  std::string message = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
  size_t done = 0;
  while (done < message.size()) {
    ssize_t n = write(fd, message.data() + done, message.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += (size_t)n;
  }
  return true;
}
