/*
 * Locating item fields: the library's pattern matcher, traced, says how many
 * fields a line has, what each reads and from which bytes of the line; this
 * only gathers what it reports.
 */
#include "author/fields.h"

#include <string.h>

#include <algorithm>

#include "dialog/dialog_internal.h"

namespace author {

const char *const kFieldNames[FIELD_COUNT] = {
    "the type",        "the identifier",    "the left column", "the top row",      "the right column",
    "the bottom row",  "the focus",         "the selected",    "the flags",        "the default button",
    "the text source", "the registry root", "the text",        "the fallback text"};

namespace {

/* Where the pattern matcher read each element, gathered from its trace. */
struct SpanSink {
  FieldSpan *spans;
  int count;
};

void onElement(void *context, int index, long long start, long long end, int defaulted) {
  SpanSink *sink = static_cast<SpanSink *>(context);
  if (index < 0 || index >= sink->count) return;
  sink->spans[index].start = (int)start;
  sink->spans[index].end = (int)end;
  sink->spans[index].written = !defaulted && end > start;
}

void onStopped(void *context, int index, long long at) {
  SpanSink *sink = static_cast<SpanSink *>(context);
  for (int f = std::max(index, 0); f < sink->count; f++) sink->spans[f].start = sink->spans[f].end = (int)at;
}

}  // namespace

int tracePattern(const std::string &line, const char *pattern, FieldSpan *spans, int count, char *tokens, int room) {
  SpanSink sink = {spans, count};
  SparseTrace trace = {&sink, onElement, onStopped};
  tsSparseTrace = &trace;
  int matched = sparse(line.c_str(), pattern, tokens, room);
  tsSparseTrace = nullptr;
  return matched;
}

ItemFields readItemFields(const std::string &line) {
  ItemFields fields;
  char tokens[TS_TOKEN_ROOM];
  fields.matched = tracePattern(line, TS_PATTERN_ITEM, fields.span, FIELD_COUNT, tokens, sizeof tokens);
  fields.tokensLength = strlen(tokens);
  char field[TS_TOKEN_ROOM];
  for (int f = 0; f < fields.matched && f < FIELD_COUNT; f++) {
    parseGetStr(tokens, field, f);
    fields.token[f] = field;
  }
  return fields;
}

std::vector<std::string> flagListWords(const std::string &list) {
  std::vector<std::string> words;
  std::string word;
  for (char c : list + " ") {
    if (!tsIsFlagSeparator(c)) {
      word += c;
    } else if (!word.empty()) {
      words.push_back(word);
      word.clear();
    }
  }
  return words;
}

std::string writtenField(const std::string &line, const FieldSpan &span) {
  return span.written ? line.substr((size_t)span.start, (size_t)(span.end - span.start)) : std::string();
}

int failedFieldStart(const std::string &line, const ItemFields &fields) {
  if (fields.matched >= FIELD_COUNT) return (int)line.size();
  return fields.span[fields.matched].start;
}

}  // namespace author
