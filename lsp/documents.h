/*
 * The language server's open documents: each one's text as the client has
 * it (UTF-8), kept in step with incremental changes, its line starts, and
 * the analysis of its current version with the map between the client's
 * text and the host code page's bytes that the engine read. Positions of
 * the protocol (line, character in the negotiated encoding) convert to and
 * from offsets of either text here, and nowhere else.
 */
#ifndef TESSEL_LSP_DOCUMENTS_H
#define TESSEL_LSP_DOCUMENTS_H

#include <stdint.h>

#include <chrono>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "author/engine.h"
#include "author/navigate.h"
#include "lsp/rpc.h"

/* How the protocol counts the characters of a position. */
enum class PositionEncoding { Utf8, Utf16, Utf32 };

struct Position {
  long long line = 0, character = 0;
};

struct Document {
  std::string uri;
  std::string path;      /* the file the URI names (a file: URI), or empty */
  bool language = false; /* a language file (*.lng): checked, with no other features */
  long long version = 0;
  std::string text;               /* as the client has it, UTF-8 */
  std::vector<size_t> lineStarts; /* of text; a line ends at \n, \r\n or \r */

  /* The analysis of the current text, when analysed is set. */
  bool analysed = false;
  author::Analysis analysis;        /* of host, the text in the code page's bytes */
  std::vector<uint32_t> hostToText; /* text offset of each byte of host, and of its end; empty: the same bytes */
  bool lossy = false;               /* a character had no byte in the code page */

  /* Diagnostics not yet sent for the current text, and since when. */
  bool unpublished = false;
  std::chrono::steady_clock::time_point changedAt;
};

struct DocumentStore {
  std::map<std::string, Document> documents;
  PositionEncoding encoding = PositionEncoding::Utf16;
  author::Options options;                            /* for every analysis */
  std::vector<std::string> languages;                 /* the languages to judge the layout in; empty: all */
  std::unordered_map<uint32_t, unsigned char> toHost; /* the code page's bytes 0x80-0xFF by code point */
};

/* Fills store->toHost from the selected code page (codepage/codepage.h). */
void buildCodePageMap(DocumentStore *store);

/* A new document of that text. */
Document makeDocument(const std::string &uri, long long version, std::string text);

/* Applies one change of a didChange notification: {range, text} or {text}
   for the whole document. Positions past the end are clamped. False (and
   *why) for a change of another shape. */
bool applyChange(Document *d, const Json &change, PositionEncoding encoding, std::string *why);

/* The file a file: URI names (its %XX escapes decoded; "file:///c%3A/dir"
   is "c:/dir" where paths have drive letters), or false. */
bool pathOfUri(const std::string &uri, std::string *path);

/* The file: URI of an absolute path (a drive letter's path gets a '/'
   before it, and its separators are '/'). */
std::string uriOfPath(const std::string &path);

/* Whether two open documents are files of one directory, a dialog file and
   a language file: a change to one changes what the other is judged by. */
bool judgedTogether(const Document &x, const Document &y);

/* Analyses the current text unless its analysis is at hand: a dialog file
   with the language files beside it (open ones as the editor has them), a
   language file as tessel check FILE.lng does. */
void ensureAnalysis(Document *d, const DocumentStore &store);

/* Offset of text of a position, clamped to the end of its line and of the
   document, on the start of a character. */
size_t textOffset(const Document &d, Position p, PositionEncoding encoding);

/* The position of an offset of text. */
Position positionAt(const Document &d, size_t offset, PositionEncoding encoding);

/* The offset of the analysed bytes that stands for an offset of text, and
   back. */
long long hostOffset(const Document &d, size_t offset);
size_t textOffsetOfHost(const Document &d, long long offset);

/* The offset of the analysed bytes at a 1-based line and byte column of the
   engine, clamped to the text. */
long long hostOffsetOfSpan(const author::Analysis &a, int line, int column);

/* LSP JSON of a range of host bytes. */
Json rangeJson(const Document &d, long long start, long long end, PositionEncoding encoding);
Json positionJson(Position p);

/* Reads a Position object (json may be null); false when it is not one
   (negative numbers included). */
bool readPosition(const Json *json, Position *p);

#endif
