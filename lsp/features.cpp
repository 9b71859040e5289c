/*
 * The language features: hover, completion, definition, references,
 * document symbols, formatting and quick fixes. Each handler turns the
 * protocol's position into an offset of the analysed bytes, asks the
 * engine (author/hover, complete, navigate, format), and turns the engine's
 * offsets back into the client's positions.
 */
#include <algorithm>

#include "author/complete.h"
#include "author/format.h"
#include "author/hover.h"
#include "codepage/codepage.h"
#include "lsp/server.h"

namespace {

Outcome ok(Json result) {
  Outcome o;
  o.result = std::move(result);
  return o;
}

Json range(LspServer *server, const Document &d, author::TextRange r) {
  return rangeJson(d, r.start, r.end, server->store.encoding);
}

Json location(LspServer *server, const Document &d, author::TextRange r) {
  return Json{{"uri", d.uri}, {"range", range(server, d, r)}};
}

/* The document and the cursor's offset in its analysed bytes. */
Document *cursorOf(LspServer *server, const Json &params, long long *at, Outcome *error) {
  Document *d = documentOf(server, params, error);
  size_t offset;
  if (!d || !readCursor(server, d, params, &offset, error)) return nullptr;
  *at = hostOffset(*d, offset);
  return d;
}

/* params.range as two positions; false when it holds none. */
bool readRange(const Json &params, Position *from, Position *to) {
  const Json *r = member(params, "range");
  return r && readPosition(member(*r, "start"), from) && readPosition(member(*r, "end"), to);
}

/* CompletionItemKind of the protocol for each kind of candidate. */
int completionKind(author::CandidateKind kind) {
  switch (kind) {
    case author::CandidateKind::ItemType:
      return 14; /* Keyword */
    case author::CandidateKind::Flag:
      return 21; /* Constant */
    case author::CandidateKind::Colour:
      return 16; /* Color */
    case author::CandidateKind::EnumName:
      return 20; /* EnumMember */
    default:
      return 12; /* Value */
  }
}

/* ---- document symbols ---- */

Json symbol(LspServer *server, const Document &d, const std::string &name, const std::string &detail, int kind,
            author::TextRange whole, author::TextRange selection) {
  selection.start = std::max(selection.start, whole.start);
  selection.end = std::min(std::max(selection.end, selection.start), whole.end);
  return Json{{"name", name.empty() ? std::string("(no name)") : cpToUtf8(name)},
              {"detail", cpToUtf8(detail)},
              {"kind", kind},
              {"range", range(server, d, whole)},
              {"selectionRange", range(server, d, selection)}};
}

author::TextRange lineRange(const author::Line &line) {
  return {line.offset, line.offset + (long long)line.text.size()};
}

/* An item's name in the outline: its type and identifier as written, and
   its text or message name. */
std::string itemName(const author::Line &line) {
  std::string name;
  size_t p = 0;
  for (int word = 0; word < 2 && p < line.text.size(); word++) {
    while (p < line.text.size() && (line.text[p] == ' ' || line.text[p] == '\t')) p++;
    size_t q = p;
    while (q < line.text.size() && line.text[q] != ' ' && line.text[q] != '\t') q++;
    name += (word ? " " : "") + line.text.substr(p, q - p);
    p = q;
  }
  return name;
}

Json sectionSymbol(LspServer *server, const Document &d, size_t index) {
  const author::Analysis &a = d.analysis;
  const author::Section &s = a.sections[index];
  const author::Line &header = a.lines[(size_t)s.headerLine];
  size_t last = (size_t)s.headerLine;
  while (last + 1 < a.lines.size() && a.lines[last + 1].section == (int)index &&
         a.lines[last + 1].kind != author::LineKind::SectionEnd)
    last++;
  Json children = Json::array();
  for (const author::Item &item : s.items) {
    const author::Line &line = a.lines[(size_t)item.line];
    std::string text = item.record.data;
    children.push_back(symbol(server, d, itemName(line), text, 8 /* Field */, lineRange(line), lineRange(line)));
  }
  std::string detail = std::to_string(s.width) + " x " + std::to_string(s.height) + ", " +
                       std::to_string(s.items.size()) + (s.items.size() == 1 ? " item" : " items");
  Json out = symbol(server, d, s.name, detail, 5 /* Class */,
                    {header.offset, a.lines[last].offset + (long long)a.lines[last].text.size()}, lineRange(header));
  out["children"] = children;
  return out;
}

Json enumSymbol(LspServer *server, const Document &d, const author::EnumBlock &b) {
  const author::Analysis &a = d.analysis;
  Json children = Json::array();
  author::TextRange whole = {b.offset, std::min((long long)a.text.size(), b.end + (b.closed ? 1 : 0))};
  for (int i = 0; i < b.count; i++) {
    const author::EnumEntry &e = a.enums[(size_t)(b.first + i)];
    author::TextRange at = {e.offset, e.offset + (long long)e.name.size()};
    children.push_back(symbol(server, d, e.name, "= " + std::to_string(e.value), 22 /* EnumMember */, at, at));
  }
  Json out = symbol(server, d, "ENUM", std::to_string(b.count) + (b.count == 1 ? " entry" : " entries"), 10 /* Enum */,
                    whole, {b.offset, b.offset + 4});
  out["children"] = children;
  return out;
}

/* ---- formatting ---- */

/* The lines of a text without their line ends. */
std::vector<std::string> splitLines(const std::string &text, const std::vector<size_t> &starts) {
  std::vector<std::string> lines;
  for (size_t i = 0; i < starts.size(); i++) {
    size_t end = i + 1 < starts.size() ? starts[i + 1] : text.size();
    size_t stop = end;
    if (stop > starts[i] && text[stop - 1] == '\n') stop--;
    if (stop > starts[i] && text[stop - 1] == '\r') stop--;
    lines.push_back(text.substr(starts[i], stop - starts[i]));
  }
  return lines;
}

Json lineEdit(LspServer *server, const Document &d, size_t firstLine, size_t endLine, const std::string &newText) {
  PositionEncoding e = server->store.encoding;
  Position from{(long long)firstLine, 0};
  size_t endOffset = endLine < d.lineStarts.size() ? d.lineStarts[endLine] : d.text.size();
  return Json{{"range", {{"start", positionJson(from)}, {"end", positionJson(positionAt(d, endOffset, e))}}},
              {"newText", newText}};
}

/* The edits that turn the document into the formatter's text, limited to
   the lines first..last: one edit per changed line while the count of lines
   stays, else one edit over the changed lines. */
Outcome formatLines(LspServer *server, Document *d, size_t first, size_t last) {
  ensureAnalysis(d, server->store);
  if (d->lossy)
    return failure(RPC_REQUEST_FAILED, "the document holds characters that code page " +
                                           std::to_string(server->store.options.codepage) + " cannot: not formatted");
  std::string formatted = cpToUtf8(author::formatText(d->analysis.text));
  Document after = makeDocument(d->uri, d->version, formatted);
  std::vector<std::string> old = splitLines(d->text, d->lineStarts);
  std::vector<std::string> now = splitLines(after.text, after.lineStarts);
  std::string eol = d->text.find("\r\n") != std::string::npos ? "\r\n" : "\n";
  Json edits = Json::array();
  if (old.size() == now.size()) {
    for (size_t i = first; i <= last && i < old.size(); i++) {
      if (old[i] == now[i]) continue;
      Position end = positionAt(*d, d->lineStarts[i] + old[i].size(), server->store.encoding);
      edits.push_back(
          {{"range", {{"start", positionJson({(long long)i, 0})}, {"end", positionJson(end)}}}, {"newText", now[i]}});
    }
    return ok(edits);
  }
  size_t head = 0;
  while (head < old.size() && head < now.size() && old[head] == now[head]) head++;
  size_t tail = 0;
  while (tail < old.size() - head && tail < now.size() - head &&
         old[old.size() - 1 - tail] == now[now.size() - 1 - tail])
    tail++;
  size_t oldEnd = old.size() - tail, newEnd = now.size() - tail;
  if (head > last || oldEnd <= first) return ok(edits);
  std::string text;
  for (size_t i = head; i < newEnd; i++) text += now[i] + eol;
  if (oldEnd == old.size() && !text.empty()) text.resize(text.size() - eol.size());
  edits.push_back(lineEdit(server, *d, head, oldEnd, text));
  return ok(edits);
}

}  // namespace

Outcome onHover(LspServer *server, const Json &params) {
  Outcome error;
  long long at;
  Document *d = cursorOf(server, params, &at, &error);
  if (!d) return error;
  author::TextRange described;
  std::string text = author::describeAt(d->analysis, at, &described);
  if (text.empty()) return ok(nullptr);
  return ok(
      {{"contents", {{"kind", "plaintext"}, {"value", cpToUtf8(text)}}}, {"range", range(server, *d, described)}});
}

Outcome onCompletion(LspServer *server, const Json &params) {
  Outcome error;
  long long at;
  Document *d = cursorOf(server, params, &at, &error);
  if (!d) return error;
  author::Completion c = author::completeAt(d->analysis, at);
  Json items = Json::array();
  Json replace = range(server, *d, c.replace);
  for (const author::Candidate &candidate : c.items)
    items.push_back({{"label", cpToUtf8(candidate.label)},
                     {"kind", completionKind(candidate.kind)},
                     {"detail", cpToUtf8(candidate.detail)},
                     {"textEdit", {{"range", replace}, {"newText", cpToUtf8(candidate.label)}}}});
  return ok({{"isIncomplete", false}, {"items", items}});
}

Outcome onDefinition(LspServer *server, const Json &params) {
  Outcome error;
  long long at;
  Document *d = cursorOf(server, params, &at, &error);
  if (!d) return error;
  author::TextRange name;
  std::string word = author::enumNameAt(d->analysis, at, &name);
  if (word.empty()) return ok(nullptr);
  std::vector<author::TextRange> declared = author::enumDeclarations(d->analysis, word);
  if (declared.empty()) return ok(nullptr);
  return ok(location(server, *d, declared.back())); /* the entry a load takes */
}

Outcome onReferences(LspServer *server, const Json &params) {
  Outcome error;
  long long at;
  Document *d = cursorOf(server, params, &at, &error);
  if (!d) return error;
  author::TextRange name;
  std::string word = author::enumNameAt(d->analysis, at, &name);
  if (word.empty()) return ok(nullptr);
  bool declarations = false;
  const Json *context = member(params, "context");
  if (context) readBool(*context, "includeDeclaration", &declarations);
  std::vector<author::TextRange> found = author::enumUses(d->analysis, word);
  if (declarations) {
    std::vector<author::TextRange> declared = author::enumDeclarations(d->analysis, word);
    found.insert(found.end(), declared.begin(), declared.end());
  }
  std::sort(found.begin(), found.end(),
            [](const author::TextRange &x, const author::TextRange &y) { return x.start < y.start; });
  Json out = Json::array();
  for (const author::TextRange &r : found) out.push_back(location(server, *d, r));
  return ok(out);
}

Outcome onDocumentSymbol(LspServer *server, const Json &params) {
  Outcome error;
  Document *d = documentOf(server, params, &error);
  if (!d) return error;
  ensureAnalysis(d, server->store);
  const author::Analysis &a = d->analysis;
  std::vector<std::pair<long long, Json>> symbols;
  for (size_t i = 0; i < a.sections.size(); i++)
    symbols.emplace_back(a.lines[(size_t)a.sections[i].headerLine].offset, sectionSymbol(server, *d, i));
  for (const author::EnumBlock &b : a.enumBlocks) symbols.emplace_back(b.offset, enumSymbol(server, *d, b));
  std::stable_sort(
      symbols.begin(), symbols.end(),
      [](const std::pair<long long, Json> &x, const std::pair<long long, Json> &y) { return x.first < y.first; });
  Json out = Json::array();
  for (auto &s : symbols) out.push_back(std::move(s.second));
  return ok(out);
}

Outcome onFormatting(LspServer *server, const Json &params) {
  Outcome error;
  Document *d = documentOf(server, params, &error);
  if (!d) return error;
  return formatLines(server, d, 0, d->lineStarts.size());
}

Outcome onRangeFormatting(LspServer *server, const Json &params) {
  Outcome error;
  Document *d = documentOf(server, params, &error);
  if (!d) return error;
  Position from, to;
  if (!readRange(params, &from, &to)) return failure(RPC_INVALID_PARAMS, "no valid range");
  if (to.line < from.line) std::swap(from, to);
  /* A range that ends at the start of a line leaves that line out. */
  size_t last = (size_t)std::max(from.line, to.character == 0 && to.line > from.line ? to.line - 1 : to.line);
  return formatLines(server, d, (size_t)from.line, last);
}

Outcome onCodeAction(LspServer *server, const Json &params) {
  Outcome error;
  Document *d = documentOf(server, params, &error);
  if (!d) return error;
  Position from, to;
  if (!readRange(params, &from, &to)) return failure(RPC_INVALID_PARAMS, "no valid range");
  ensureAnalysis(d, server->store);
  const Json *context = member(params, "context");
  const Json *only = context ? member(*context, "only") : nullptr;
  if (only && only->is_array() && std::find(only->begin(), only->end(), Json("quickfix")) == only->end())
    return ok(Json::array());
  PositionEncoding e = server->store.encoding;
  long long start = hostOffset(*d, textOffset(*d, from, e)), end = hostOffset(*d, textOffset(*d, to, e));
  if (end < start) std::swap(start, end);
  Json actions = Json::array();
  const author::Analysis &a = d->analysis;
  for (const author::Finding &f : a.findings) {
    if (f.suggestion.empty()) continue;
    long long fs = hostOffsetOfSpan(a, f.span.line, f.span.column);
    long long fe = hostOffsetOfSpan(a, f.span.endLine, f.span.endColumn);
    if (fe < start || fs > end) continue;
    std::string diagnostic;
    appendDiagnostic(&diagnostic, *d, f, e);
    Json edit = {{"range", range(server, *d, {fs, fe})}, {"newText", cpToUtf8(f.suggestion)}};
    actions.push_back({{"title", "Replace `" + cpToUtf8(a.text.substr((size_t)fs, (size_t)(fe - fs))) + "` with `" +
                                     cpToUtf8(f.suggestion) + "`"},
                       {"kind", "quickfix"},
                       {"isPreferred", true},
                       {"diagnostics", Json::array({Json::parse(diagnostic)})},
                       {"edit", {{"changes", {{d->uri, Json::array({edit})}}}}}});
  }
  return ok(actions);
}
