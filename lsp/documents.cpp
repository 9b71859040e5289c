/*
 * Open documents: incremental edits with line starts updated around the
 * edit only, the conversion of the client's Unicode text to the host code
 * page's bytes that the engine reads (line ends and the end-of-file mark as
 * the text mode reads them), and the position arithmetic of the three
 * encodings the protocol knows.
 */
#include "lsp/documents.h"

#include <ctype.h>
#include <string.h>

#include <algorithm>

#include "author/languages.h"
#include "codepage/codepage.h"
#include "platform/platform.h"

namespace {

/* Length of the UTF-8 sequence that begins with byte c (1 for a stray
   continuation byte: the client sends valid UTF-8, this only keeps walks
   finite). */
inline size_t sequenceLength(unsigned char c) { return c < 0xC0 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4; }

/* Units of one character in the encoding. */
inline long long unitsOf(size_t bytes, PositionEncoding encoding) {
  switch (encoding) {
    case PositionEncoding::Utf8:
      return (long long)bytes;
    case PositionEncoding::Utf16:
      return bytes == 4 ? 2 : 1;
    default:
      return 1;
  }
}

/* Adds the line starts that follow the bytes from..to (exclusive) of text. */
void scanLineStarts(const std::string &text, size_t from, size_t to, std::vector<size_t> *starts) {
  for (size_t q = from; q < to; q++) {
    char c = text[q];
    if (c == '\n' || (c == '\r' && (q + 1 >= text.size() || text[q + 1] != '\n'))) starts->push_back(q + 1);
  }
}

/* Where the line's characters end (before its line end). */
size_t lineContentEnd(const Document &d, size_t line) {
  size_t end = line + 1 < d.lineStarts.size() ? d.lineStarts[line + 1] : d.text.size();
  if (end > d.lineStarts[line] && d.text[end - 1] == '\n') end--;
  if (end > d.lineStarts[line] && d.text[end - 1] == '\r') end--;
  return end;
}

/* Replaces bytes start..end of the text by text, updating the line starts:
   those before start stay, those after the old end move by the change in
   length, and only the new bytes (and one on each side) are scanned. */
void replaceText(Document *d, size_t start, size_t end, const std::string &text) {
  std::vector<size_t> &old = d->lineStarts;
  std::vector<size_t> starts;
  starts.reserve(old.size() + 8);
  for (size_t s : old) {
    if (s >= start) break;
    starts.push_back(s);
  }
  d->text.replace(start, end - start, text);
  size_t newEnd = start + text.size();
  size_t from = start > 0 ? start - 1 : 0;
  size_t to = std::min(d->text.size(), newEnd + 1);
  if (starts.empty()) starts.push_back(0);
  std::vector<size_t> middle;
  scanLineStarts(d->text, from, to, &middle);
  for (size_t s : middle)
    if (s > starts.back()) starts.push_back(s);
  long long delta = (long long)text.size() - (long long)(end - start);
  for (auto it = std::upper_bound(old.begin(), old.end(), end + 1); it != old.end(); ++it)
    starts.push_back((size_t)((long long)*it + delta));
  old.swap(starts);
}

/* One code point of UTF-8 at text[i] (valid UTF-8 assumed, as JSON gives). */
uint32_t codePointAt(const std::string &text, size_t i, size_t *length) {
  uint32_t cp;
  int n = utf8Decode(text.c_str() + i, &cp);
  *length = (size_t)n;
  return cp;
}

/* The text converted to the code page's bytes as the library reads them:
   CR LF reads as LF, 0x1A ends the text; a character with no byte in the
   code page reads as '?' and gives a not-in-codepage finding. */
void convertToHost(Document *d, const DocumentStore &store, std::string *host,
                   std::vector<author::Finding> *unencodable, std::vector<long long> *unencodableAt) {
  const std::string &text = d->text;
  bool plain = true;
  for (unsigned char c : text)
    if (c >= 0x80 || c == '\r' || c == 0x1A) {
      plain = false;
      break;
    }
  d->hostToText.clear();
  d->lossy = false;
  if (plain) {
    *host = text;
    return;
  }
  host->clear();
  host->reserve(text.size());
  d->hostToText.reserve(text.size() + 1);
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = (unsigned char)text[i];
    if (c == 0x1A) break;
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      i++;
      continue;
    }
    d->hostToText.push_back((uint32_t)i);
    if (c < 0x80) {
      *host += (char)c;
      i++;
      continue;
    }
    size_t length;
    uint32_t cp = codePointAt(text, i, &length);
    auto it = store.toHost.find(cp);
    if (it != store.toHost.end()) {
      *host += (char)it->second;
    } else {
      char hexCode[16];
      snprintf(hexCode, sizeof hexCode, "%04X", (unsigned)cp);
      unencodableAt->push_back((long long)host->size());
      *host += '?';
      d->lossy = true;
      author::Finding f = author::makeFinding(author::Kind::NotInCodePage, author::Span(),
                                              {hexCode, std::to_string(store.options.codepage)});
      unencodable->push_back(f);
    }
    i += length;
  }
  d->hostToText.push_back((uint32_t)i);
}

}  // namespace

void buildCodePageMap(DocumentStore *store) {
  store->toHost.clear();
  for (int b = 0x80; b < 0x100; b++) {
    uint32_t cp = cpDecode((unsigned char)b);
    if (cp == CP_UNDEFINED || cp == '?') continue;
    store->toHost.emplace(cp, (unsigned char)b);
  }
}

Document makeDocument(const std::string &uri, long long version, std::string text) {
  Document d;
  d.uri = uri;
  if (pathOfUri(uri, &d.path)) d.language = author::isLanguagePath(d.path);
  d.version = version;
  d.text = std::move(text);
  d.lineStarts.push_back(0);
  scanLineStarts(d.text, 0, d.text.size(), &d.lineStarts);
  return d;
}

bool readPosition(const Json *json, Position *p) {
  long long line, character;
  if (!json || !readInteger(*json, "line", &line) || !readInteger(*json, "character", &character)) return false;
  if (line < 0 || character < 0) return false;
  p->line = line;
  p->character = character;
  return true;
}

bool applyChange(Document *d, const Json &change, PositionEncoding encoding, std::string *why) {
  std::string text;
  if (!readString(change, "text", &text)) {
    *why = "a content change without text";
    return false;
  }
  const Json *range = member(change, "range");
  if (!range) {
    *d = makeDocument(d->uri, d->version, std::move(text));
    return true;
  }
  Position from, to;
  if (!readPosition(member(*range, "start"), &from) || !readPosition(member(*range, "end"), &to)) {
    *why = "a content change with a malformed range";
    return false;
  }
  size_t start = textOffset(*d, from, encoding), end = textOffset(*d, to, encoding);
  if (end < start) std::swap(start, end);
  replaceText(d, start, end, text);
  d->analysed = false;
  return true;
}

namespace {

int hexValue(char c) {
  return c >= '0' && c <= '9'   ? c - '0'
         : c >= 'a' && c <= 'f' ? c - 'a' + 10
         : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                : -1;
}

/* The host's bytes of another open document's text. */
std::string hostBytesOf(const Document &d, const DocumentStore &store) {
  Document copy = d;
  std::string host;
  std::vector<author::Finding> unencodable;
  std::vector<long long> at;
  convertToHost(&copy, store, &host, &unencodable, &at);
  return host;
}

/* The open documents of directory, as the host's bytes, by path. */
author::LanguageTexts openFilesOf(const DocumentStore &store, const std::string &directory, const Document *except) {
  author::LanguageTexts open;
  for (const auto &entry : store.documents) {
    const Document &d = entry.second;
    if (&d != except && !d.path.empty() && author::directoryOf(d.path) == directory)
      open[d.path] = hostBytesOf(d, store);
  }
  return open;
}

/* A language document's findings, in its own analysis (which holds only its
   bytes and their lines). */
void analyzeLanguage(Document *d, const DocumentStore &store, std::string host) {
  author::Analysis &a = d->analysis;
  a = author::Analysis();
  a.text = std::move(host);
  a.lineStarts.push_back(0);
  for (size_t i = 0; i < a.text.size(); i++)
    if (a.text[i] == '\n' && i + 1 < a.text.size()) a.lineStarts.push_back((long long)i + 1);
  if (d->path.empty()) return;
  author::LanguageTexts open = openFilesOf(store, author::directoryOf(d->path), d);
  open[d->path] = a.text;
  for (author::Finding &f : author::checkLanguageFile(d->path, store.options.codepage, &open, nullptr)) {
    if (f.file == d->path) f.file.clear();
    for (author::Finding &note : f.notes)
      if (note.file == d->path) note.file.clear();
    a.findings.push_back(std::move(f));
  }
}

/* A dialog document's analysis, with the language files beside it. */
void analyzeDialog(Document *d, const DocumentStore &store, std::string host) {
  if (d->path.empty()) {
    d->analysis = author::analyzeText(std::move(host), store.options);
    return;
  }
  std::string directory = author::directoryOf(d->path);
  author::LanguageTexts open = openFilesOf(store, directory, d);
  std::vector<author::LanguageFile> files =
      author::readLanguageFiles(directory, store.languages, store.options.codepage, &open);
  author::Options options = store.options;
  options.languages = &files;
  d->analysis = author::analyzeText(std::move(host), options);
  /* The language files' own findings are theirs: published on them when open. */
  author::Analysis &a = d->analysis;
  a.findings.erase(
      std::remove_if(a.findings.begin(), a.findings.end(), [](const author::Finding &f) { return !f.file.empty(); }),
      a.findings.end());
}

}  // namespace

bool pathOfUri(const std::string &uri, std::string *path) {
  const std::string scheme = "file://";
  if (uri.compare(0, scheme.size(), scheme) != 0) return false;
  size_t start = uri.find('/', scheme.size()); /* past an authority ("localhost") */
  if (start == std::string::npos) return false;
  std::string out;
  for (size_t i = start; i < uri.size(); i++) {
    int high = i + 2 < uri.size() ? hexValue(uri[i + 1]) : -1, low = i + 2 < uri.size() ? hexValue(uri[i + 2]) : -1;
    if (uri[i] == '%' && high >= 0 && low >= 0) {
      out += (char)(high * 16 + low);
      i += 2;
    } else {
      out += uri[i];
    }
  }
  if (out.find('\0') != std::string::npos) return false;
  /* "/c:/dir/file.dlg": a path with a drive letter, where the system has them */
  if (out.size() > 2 && plIsAbsolutePath(out.c_str() + 1)) out.erase(0, 1);
  *path = out;
  return true;
}

std::string uriOfPath(const std::string &path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string uri = "file://";
  if (!path.empty() && !plIsDirSep(path[0])) uri += '/'; /* before a drive letter */
  for (unsigned char c : path) {
    bool plain = isalnum(c) || strchr("-._~", c);
    if (plIsDirSep((char)c)) {
      uri += '/';
    } else if (plain) {
      uri += (char)c;
    } else {
      uri += '%';
      uri += kHex[c >> 4];
      uri += kHex[c & 15];
    }
  }
  return uri;
}

bool judgedTogether(const Document &x, const Document &y) {
  return &x != &y && x.language != y.language && !x.path.empty() && !y.path.empty() &&
         author::directoryOf(x.path) == author::directoryOf(y.path);
}

void ensureAnalysis(Document *d, const DocumentStore &store) {
  if (d->analysed) return;
  std::string host;
  std::vector<author::Finding> unencodable;
  std::vector<long long> at;
  convertToHost(d, store, &host, &unencodable, &at);
  if (d->language) analyzeLanguage(d, store, std::move(host));
  else analyzeDialog(d, store, std::move(host));
  author::Analysis &a = d->analysis;
  if (!unencodable.empty()) {
    for (size_t i = 0; i < unencodable.size(); i++) {
      auto after = std::upper_bound(a.lineStarts.begin(), a.lineStarts.end(), at[i]);
      int line = (int)(after - a.lineStarts.begin());
      int column = (int)(at[i] - a.lineStarts[(size_t)line - 1]) + 1;
      unencodable[i].span = {line, column, line, column + 1};
      a.findings.push_back(unencodable[i]);
    }
    std::stable_sort(a.findings.begin(), a.findings.end(), [](const author::Finding &x, const author::Finding &y) {
      return x.span.line != y.span.line ? x.span.line < y.span.line : x.span.column < y.span.column;
    });
  }
  d->analysed = true;
}

size_t textOffset(const Document &d, Position p, PositionEncoding encoding) {
  if (p.line >= (long long)d.lineStarts.size()) return d.text.size();
  size_t line = (size_t)p.line;
  size_t i = d.lineStarts[line], end = lineContentEnd(d, line);
  if (encoding == PositionEncoding::Utf8) {
    i = std::min(end, i + (size_t)std::min<long long>(p.character, (long long)(end - i)));
    while (i > d.lineStarts[line] && i < end && ((unsigned char)d.text[i] & 0xC0) == 0x80) i--;
    return i;
  }
  long long units = 0;
  while (i < end) {
    size_t length = std::min(sequenceLength((unsigned char)d.text[i]), end - i);
    long long u = unitsOf(length, encoding);
    if (units + u > p.character) break;
    units += u;
    i += length;
  }
  return i;
}

Position positionAt(const Document &d, size_t offset, PositionEncoding encoding) {
  offset = std::min(offset, d.text.size());
  auto after = std::upper_bound(d.lineStarts.begin(), d.lineStarts.end(), offset);
  size_t line = (size_t)(after - d.lineStarts.begin()) - 1;
  size_t i = d.lineStarts[line];
  offset = std::min(offset, lineContentEnd(d, line));
  Position p;
  p.line = (long long)line;
  if (encoding == PositionEncoding::Utf8) {
    p.character = (long long)(offset - i);
    return p;
  }
  while (i < offset) {
    size_t length = sequenceLength((unsigned char)d.text[i]);
    p.character += unitsOf(length, encoding);
    i += length;
  }
  return p;
}

long long hostOffset(const Document &d, size_t offset) {
  const std::vector<uint32_t> &map = d.hostToText;
  if (map.empty()) return (long long)std::min(offset, d.analysis.text.size());
  auto at = std::lower_bound(map.begin(), map.end(), (uint32_t)std::min<size_t>(offset, UINT32_MAX));
  return std::min((long long)(at - map.begin()), (long long)d.analysis.text.size());
}

size_t textOffsetOfHost(const Document &d, long long offset) {
  offset = std::max(0LL, std::min(offset, (long long)d.analysis.text.size()));
  if (d.hostToText.empty()) return std::min((size_t)offset, d.text.size());
  return d.hostToText[(size_t)offset];
}

long long hostOffsetOfSpan(const author::Analysis &a, int line, int column) {
  if (a.lineStarts.empty()) return 0;
  size_t index = (size_t)std::max(1, std::min(line, (int)a.lineStarts.size())) - 1;
  long long offset = a.lineStarts[index] + std::max(column, 1) - 1;
  return std::min(offset, (long long)a.text.size());
}

Json positionJson(Position p) { return Json{{"line", p.line}, {"character", p.character}}; }

Json rangeJson(const Document &d, long long start, long long end, PositionEncoding encoding) {
  size_t from = textOffsetOfHost(d, start), to = textOffsetOfHost(d, std::max(start, end));
  return Json{{"start", positionJson(positionAt(d, from, encoding))},
              {"end", positionJson(positionAt(d, to, encoding))}};
}
