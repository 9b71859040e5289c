/*
 * Completion candidates. The place is read from the line's text before the
 * cursor, word by word as the item pattern takes its fields (a quoted text
 * or a parenthesised flag list is one word, the optional %source% and
 * %root% words only where they stand); the candidates are the library's own
 * keyword tables and the file's ENUM table.
 */
#include "author/complete.h"

#include <stdio.h>

#include <algorithm>

#include "author/fields.h"
#include "dialog/dialog_internal.h"

namespace author {

namespace {

inline bool space(char c) { return tsIsSpace((unsigned char)c); }
inline char upper(char c) { return (char)tsToUpper((unsigned char)c); }

/* The words of a line's beginning: each one's start, a quoted text or a
   parenthesised list (at the flags) counted as one word even with spaces
   inside. */
std::vector<int> wordStarts(const std::string &prefix) {
  std::vector<int> starts;
  int p = 0, n = (int)prefix.size();
  while (p < n) {
    while (p < n && space(prefix[(size_t)p])) p++;
    if (p >= n) break;
    starts.push_back(p);
    char close = prefix[(size_t)p] == '"'                                       ? '"'
                 : prefix[(size_t)p] == '(' && starts.size() == FIELD_FLAGS + 1 ? ')'
                                                                                : 0;
    if (close) {
      size_t end = prefix.find(close, (size_t)p + 1);
      p = end == std::string::npos ? n : (int)end + 1;
    }
    while (p < n && !space(prefix[(size_t)p])) p++;
  }
  return starts;
}

/* The field that word w of the words starts stands for: the first ten in
   order, then %source% and %root% only when written with percent signs. */
int fieldOfWord(const std::string &prefix, const std::vector<int> &starts, size_t w) {
  if (w < FIELD_SOURCE) return (int)w;
  int field = FIELD_SOURCE;
  for (size_t i = FIELD_SOURCE; i <= w; i++) {
    /* The word being begun (past the last one) may still become either. */
    bool percent = i >= starts.size() || prefix[(size_t)starts[i]] == '%';
    if (field <= FIELD_ROOT && !percent) field = FIELD_TEXT;
    if (i == w) return field;
    field++;
  }
  return field;
}

/* The text source written on a line's beginning, upper-cased, or "TXT". */
std::string sourceOf(const std::string &prefix, const std::vector<int> &starts) {
  if (starts.size() <= FIELD_SOURCE) return "TXT";
  int p = starts[FIELD_SOURCE];
  if (prefix[(size_t)p] != '%') return "TXT";
  std::string source;
  for (p++; p < (int)prefix.size() && prefix[(size_t)p] != '%' && !space(prefix[(size_t)p]); p++)
    source += upper(prefix[(size_t)p]);
  return source;
}

bool startsWithFolded(const std::string &text, const char *word) {
  size_t i = 0;
  for (; word[i]; i++)
    if (i >= text.size() || upper(text[i]) != upper(word[i])) return false;
  return true;
}

std::string hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%X", (unsigned)value);
  return text;
}

void addTypes(Completion *c) {
  for (int t = 0; t < TS_TYPE_COUNT; t++)
    c->items.push_back({itemTypeNames[t], "item type " + std::to_string(t), CandidateKind::ItemType});
}

void addFlags(Completion *c) {
  for (int p = 0; p < TS_FLAG_COUNT; p++)
    c->items.push_back({itemFlagNames[p], hex(p == 0 ? 0xFFu : 1u << (p + 7)), CandidateKind::Flag});
  for (int k = 0; k < TS_COLOR_COUNT; k++)
    c->items.push_back(
        {colorNames[k], "foreground " + std::to_string(k) + ": " + hex((uint32_t)k | 0x100u), CandidateKind::Colour});
  for (int k = 0; k < TS_COLOR_COUNT; k++)
    c->items.push_back({bkColorNames[k], "background " + std::to_string(k) + ": " + hex((uint32_t)(k << 4) | 0x100u),
                        CandidateKind::Colour});
}

void addSources(Completion *c) {
  static const char *const kSources[][2] = {{"%L%", "a message of the language file, named by the text field"},
                                            {"%R%", "a registry value, at the path of the text field"},
                                            {"%T%", "the text field as written"},
                                            {"%V%", "the library's version"}};
  for (const auto &s : kSources) c->items.push_back({s[0], s[1], CandidateKind::TextSource});
}

/* Each name a load resolves, once, with the value and position of the entry
   it resolves to. */
void addEnumNames(const Analysis &a, Completion *c) {
  std::vector<std::string> seen;
  for (size_t i = a.enums.size(); i-- > 0;) {
    const EnumEntry &e = a.enums[i];
    if (std::find(seen.begin(), seen.end(), e.name) != seen.end()) continue;
    seen.push_back(e.name);
    c->items.push_back(
        {e.name, "= " + std::to_string(e.value) + ", position " + std::to_string(i), CandidateKind::EnumName});
  }
  std::reverse(c->items.begin(), c->items.end());
}

}  // namespace

Completion completeAt(const Analysis &a, long long offset) {
  Completion c;
  c.replace = {offset, offset};
  int index = lineIndexAt(a, offset);
  if (index < 0) return c;
  const Line &line = a.lines[(size_t)index];
  long long end = line.offset + (long long)line.text.size();
  /* The cursor on an empty last line that the reader never returned. */
  bool past = offset > end;
  std::string prefix = past ? std::string() : line.text.substr(0, (size_t)(offset - line.offset));
  long long lineStart = past ? offset : line.offset;
  bool inSection = line.section >= 0 && !(past && line.kind == LineKind::SectionEnd);

  int first = 0;
  while (first < (int)prefix.size() && space(prefix[(size_t)first])) first++;
  if (startsWithFolded(prefix.substr((size_t)first), "name") && prefix.size() > (size_t)first + 4 &&
      space(prefix[(size_t)first + 4])) {
    c.context = CompleteContext::DialogName; /* a new name: nothing to offer */
    return c;
  }

  std::vector<int> starts = wordStarts(prefix);
  bool inWord = !prefix.empty() && !space(prefix.back());
  size_t w = inWord ? starts.size() - 1 : starts.size();
  int wordStart = inWord ? starts.back() : (int)prefix.size();
  c.replace = {lineStart + wordStart, offset};
  if (!inSection) return c;
  if (w == 0) {
    if (wordStart == 0) {
      c.context = CompleteContext::ItemType;
      addTypes(&c);
    }
    return c;
  }
  int field = fieldOfWord(prefix, starts, w);
  std::string word = prefix.substr((size_t)wordStart);
  if (field == FIELD_FLAGS) {
    size_t cut = word.find_last_of("(+ ");
    if (cut != std::string::npos) c.replace.start = lineStart + wordStart + (long long)cut + 1;
    c.context = CompleteContext::Flag;
    addFlags(&c);
  } else if (field == FIELD_SOURCE) {
    c.context = CompleteContext::TextSource;
    addSources(&c);
  } else if (field == FIELD_ID || field == FIELD_SELECTED ||
             (field == FIELD_TEXT && sourceOf(prefix, starts)[0] == 'L')) {
    if (!word.empty() && word[0] == '"') c.replace.start++;
    c.context = CompleteContext::EnumName;
    addEnumNames(a, &c);
  }
  return c;
}

}  // namespace author
