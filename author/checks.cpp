/*
 * Checks of the file, its ENUM blocks, its lines and its items. Each one
 * starts from a verdict the library made (a line the loader skipped, a name
 * its table lacks, a value its interpreter gave) and says why, at the field
 * that caused it.
 */
#include "author/checks.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>

#include "author/fields.h"
#include "author/navigate.h"
#include "dialog/dialog_internal.h"
#include "layout/layout.h"
#include "platform/platform.h"

namespace author {

namespace {

/* The library's own character classes, on the bytes of a std::string. */
inline bool isSpaceByte(char c) { return tsIsSpace((unsigned char)c); }
inline bool isLetterByte(char c) { return tsIsLetter((unsigned char)c); }
inline bool isDigitByte(char c) { return tsIsDigit((unsigned char)c); }
inline bool isNameByte(char c) { return tsIsNameChar((unsigned char)c); }
inline char upper(char c) { return (char)tsToUpper((unsigned char)c); }

std::string upperCase(std::string s) {
  for (char &c : s) c = upper(c);
  return s;
}

/* Optimal string alignment distance, ASCII case ignored. */
int distance(const std::string &a, const std::string &b) {
  size_t n = a.size(), m = b.size();
  std::vector<std::vector<int>> d(n + 1, std::vector<int>(m + 1));
  for (size_t i = 0; i <= n; i++) d[i][0] = (int)i;
  for (size_t j = 0; j <= m; j++) d[0][j] = (int)j;
  for (size_t i = 1; i <= n; i++)
    for (size_t j = 1; j <= m; j++) {
      int cost = upper(a[i - 1]) == upper(b[j - 1]) ? 0 : 1;
      d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
      if (i > 1 && j > 1 && upper(a[i - 1]) == upper(b[j - 2]) && upper(a[i - 2]) == upper(b[j - 1]))
        d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
    }
  return d[n][m];
}

/* A text that reads whole as a signed decimal number. */
bool isInteger(const std::string &text) {
  size_t i = text[0] == '+' || text[0] == '-' ? 1 : 0;
  if (i >= text.size()) return false;
  for (; i < text.size(); i++)
    if (!isDigitByte(text[i])) return false;
  return true;
}

/* f with the name its message proposes, for the editor's quick fix. */
Finding suggesting(Finding f, const std::string &name) {
  f.suggestion = name;
  return f;
}

std::vector<std::string> tableNames(const char *const *names, int count) {
  return std::vector<std::string>(names, names + count);
}

/* ---- the file's ENUM blocks ---- */

/* Line index of the line holding a text offset (the first piece). */
int lineAt(const Analysis &a, long long offset) {
  auto it =
      std::upper_bound(a.lines.begin(), a.lines.end(), offset, [](long long o, const Line &l) { return o < l.offset; });
  return it == a.lines.begin() ? 0 : (int)(it - a.lines.begin()) - 1;
}

Span spanAt(const Analysis &a, long long offset, int length) {
  int i = lineAt(a, offset);
  if (a.lines.empty()) return Span();
  int start = (int)(offset - a.lines[(size_t)i].offset);
  return spanOf(a, i, start, start + length);
}

int nameLength(const Analysis &a, long long offset) {
  long long p = offset;
  while (p < (long long)a.text.size() && isNameByte(a.text[(size_t)p])) p++;
  return (int)(p - offset);
}

/* Where the first name that a full table dropped from block b begins, or
   -1: the library's own name reader, run from where the full table stopped
   reading, finds it within the block. */
long long droppedName(const Analysis &a, const EnumBlock &b) {
  if (b.fullAt < 0 || b.fullAt >= (long long)a.text.size()) return -1;
  FILE *stream = plOpenMemoryFile(a.text.data() + b.fullAt, a.text.size() - (size_t)b.fullAt);
  if (!stream) return -1;
  FileReader reader;
  tsStartReading(&reader, stream);
  long long at = 0;
  char *name = tsReadEnumNameAt(&reader, &at);
  fclose(stream);
  bool found = name != nullptr;
  free(name);
  return found && b.fullAt + at < b.end ? b.fullAt + at : -1;
}

void checkEnums(Analysis *a) {
  /* Names read from a block that never closes are whatever text followed
     it: their repeats are no news. */
  std::vector<bool> unclosed(a->enums.size());
  for (const EnumBlock &b : a->enumBlocks)
    for (int i = 0; i < b.count; i++)
      if (!b.closed && (size_t)(b.first + i) < unclosed.size()) unclosed[(size_t)(b.first + i)] = true;
  std::map<std::string, size_t> first;
  for (size_t i = 0; i < a->enums.size(); i++) {
    const EnumEntry &e = a->enums[i];
    if (unclosed[i]) continue;
    auto it = first.find(e.name);
    if (it == first.end()) {
      first[e.name] = i;
      continue;
    }
    Finding f =
        makeFinding(Kind::DuplicateEnum, spanAt(*a, e.offset, (int)e.name.size()), {e.name, std::to_string(e.value)});
    const EnumEntry &earlier = a->enums[it->second];
    f.notes.push_back(makeFinding(Kind::DeclaredHere, spanAt(*a, earlier.offset, (int)earlier.name.size())));
    addFinding(a, f, -1);
  }
  for (const EnumBlock &b : a->enumBlocks) {
    Span at = spanAt(*a, b.offset, 4);
    if (!b.opened) addFinding(a, makeFinding(Kind::EnumNoBrace, at), -1);
    if (!b.closed) {
      long long last = b.count ? a->enums[(size_t)(b.first + b.count - 1)].offset : b.offset;
      addFinding(a, makeFinding(Kind::UnterminatedEnum, at, {std::to_string(spanAt(*a, last, 0).line)}), -1);
    }
    if (b.first + b.count >= TS_MAX_ENUMS) {
      long long dropped = droppedName(*a, b);
      if (dropped >= 0) {
        int length = nameLength(*a, dropped);
        addFinding(a,
                   makeFinding(Kind::EnumTableFull, spanAt(*a, dropped, length),
                               {a->text.substr((size_t)dropped, (size_t)length), std::to_string(TS_MAX_ENUMS)}),
                   -1);
      }
    }
    for (long long i = 0; i < b.count; i++) {
      const EnumEntry &e = a->enums[(size_t)(b.first + i)];
      int length = nameLength(*a, e.offset);
      if (length > (int)e.name.size())
        addFinding(a,
                   makeFinding(Kind::EnumNameTooLong, spanAt(*a, e.offset, length),
                               {std::to_string(length), std::to_string(e.name.size())}),
                   -1);
    }
  }
  /* Lines that begin with the word ENUM but that the scan did not take as a
     block. */
  for (long long start : a->lineStarts) {
    const std::string &t = a->text;
    if (start + 4 > (long long)t.size() || upperCase(t.substr((size_t)start, 4)) != "ENUM") continue;
    if (start + 4 < (long long)t.size() && isLetterByte(t[(size_t)start + 4])) continue;
    bool read =
        std::any_of(a->enumBlocks.begin(), a->enumBlocks.end(), [&](const EnumBlock &b) { return b.offset == start; });
    bool inside = std::any_of(a->enumBlocks.begin(), a->enumBlocks.end(),
                              [&](const EnumBlock &b) { return start > b.offset && start <= b.end; });
    if (!read && !inside) addFinding(a, makeFinding(Kind::EnumNotRead, spanAt(*a, start, 4)), -1);
  }
}

/* ---- lines ---- */

/* The first word of a line (after white space), and where it begins. */
std::string firstWord(const std::string &text, int *start) {
  int p = 0;
  while (p < (int)text.size() && isSpaceByte(text[(size_t)p])) p++;
  int q = p;
  while (q < (int)text.size() && !isSpaceByte(text[(size_t)q])) q++;
  *start = p;
  return text.substr((size_t)p, (size_t)(q - p));
}

/* The finding of a line that ends a section and opens no dialog: the kind
   that says why. */
Finding noHeaderFinding(const Analysis &a, int index) {
  const std::string &text = a.lines[(size_t)index].text;
  Span span = spanOf(a, index, 0, (int)text.size());
  int p = 0;
  while (p < (int)text.size() && isSpaceByte(text[(size_t)p])) p++;
  int q = p;
  while (q < (int)text.size() && isLetterByte(text[(size_t)q])) q++;
  std::string word = text.substr((size_t)p, (size_t)(q - p));
  if (word.size() != 4) {
    int start;
    return makeFinding(Kind::NotAHeaderWord, span, {quoted(firstWord(text, &start))});
  }
  char c = q < (int)text.size() ? text[(size_t)q] : ' ';
  if (c == '\t') return makeFinding(Kind::NotAHeaderTab, span, {word});
  if (!isSpaceByte(c)) return makeFinding(Kind::NotAHeaderRunsOn, span, {word, quoted(text.substr((size_t)q))});
  return makeFinding(Kind::NotAHeader, span, {word});
}

/* Where the name of a header line lies, as the library's header pattern
   reads it: [*start, *end), and whether it is quoted. */
void headerName(const std::string &text, int *start, int *end, bool *isQuoted) {
  FieldSpan spans[TS_HEADER_COUNT];
  char tokens[TS_TOKEN_ROOM];
  tracePattern(text, TS_PATTERN_HEADER, spans, TS_HEADER_COUNT, tokens, sizeof tokens);
  const FieldSpan &name = spans[TS_HEADER_COUNT - 1];
  *start = name.start;
  *end = name.end;
  *isQuoted = name.end > name.start && text[(size_t)name.start] == '"';
}

void checkHeader(Analysis *a, int index) {
  const Line &line = a->lines[(size_t)index];
  int start, end;
  bool isQuoted;
  headerName(line.text, &start, &end, &isQuoted);
  const std::string &name = a->sections[(size_t)line.section].name;
  int written = end - start - (isQuoted ? 2 : 0);
  if (written > (int)name.size()) {
    addFinding(a,
               makeFinding(Kind::NameTooLong, spanOf(*a, index, start, end),
                           {std::to_string(written), std::to_string(name.size())}),
               line.section);
    return;
  }
  int rest = end;
  while (rest < (int)line.text.size() && isSpaceByte(line.text[(size_t)rest])) rest++;
  if (!isQuoted && rest < (int)line.text.size() && line.text[(size_t)rest] != ';') {
    std::string more = line.text.substr((size_t)rest);
    while (!more.empty() && isSpaceByte(more.back())) more.pop_back();
    addFinding(a, makeFinding(Kind::NameCut, spanOf(*a, index, rest, rest + (int)more.size()), {name, quoted(more)}),
               line.section);
  }
}

/* A line of a section that the library skipped: said only when it looks
   meant as an item. */
void checkSkippedLine(Analysis *a, int index, int section) {
  const Line &line = a->lines[(size_t)index];
  int start;
  std::string word = firstWord(line.text, &start);
  if (word.empty() || word[0] == ';') return;
  std::string upperWord = upperCase(word);
  static const std::vector<std::string> kTypes = tableNames(itemTypeNames, 10);
  bool keyword = std::find(kTypes.begin(), kTypes.end(), upperWord) != kTypes.end();
  bool number = FindKeyword(itemTypeNames, upperWord.c_str(), 0) != -1;
  std::vector<std::string> candidates = kTypes;
  candidates.push_back("help");
  candidates.push_back("name");
  std::string guess = keyword || number ? "" : nearest(word, candidates);
  Span wordSpan = spanOf(*a, index, start, start + (int)word.size());

  if (start > 0) {
    if (keyword || number || !guess.empty())
      addFinding(a, makeFinding(Kind::IndentedItem, spanOf(*a, index, 0, start + (int)word.size())), section);
    return;
  }
  ItemFields fields = readItemFields(line.text);
  if (!keyword && !number) {
    if (!guess.empty() || fields.matched >= FIELD_COUNT)
      addFinding(a, suggesting(makeFinding(Kind::UnknownType, wordSpan, {quoted(word), didYouMean(guess)}), guess),
                 section);
    return;
  }
  if (fields.matched >= FIELD_COUNT) { /* a type that reads as -1 */
    addFinding(a, makeFinding(Kind::UnknownType, wordSpan, {quoted(word), ""}), section);
    return;
  }
  int f = fields.matched;
  int at = failedFieldStart(line.text, fields);
  if (at >= (int)line.text.size()) {
    addFinding(a,
               makeFinding(Kind::NotAnItem, spanOf(*a, index, at, at + 1),
                           {std::to_string(f), std::to_string(REQUIRED_FIELDS), kFieldNames[f]}),
               section);
    return;
  }
  int end = at;
  while (end < (int)line.text.size() && !isSpaceByte(line.text[(size_t)end])) end++;
  std::string found = quoted(line.text.substr((size_t)at, (size_t)(end - at)));
  bool coordinate = f >= FIELD_X1 && f <= FIELD_Y2;
  addFinding(a,
             makeFinding(coordinate ? Kind::NotDigits : Kind::FieldUnread, spanOf(*a, index, at, end),
                         {std::to_string(f), kFieldNames[f], found}),
             section);
}

/* The first of the lines of a section past its item limit. */
void checkPastLimit(Analysis *a, int index, int section) {
  int more = 0;
  for (size_t i = (size_t)index + 1; i < a->lines.size() && a->lines[i].section == section; i++)
    more += a->lines[i].kind == LineKind::PastLimit;
  addFinding(a,
             makeFinding(Kind::TooManyItems, spanOf(*a, index, 0, (int)a->lines[(size_t)index].text.size()),
                         {a->sections[(size_t)section].name, std::to_string(more), std::to_string(TS_MAX_ITEMS)}),
             section);
}

/* Physical lines longer than the library's line buffer, where a piece of
   them means something or they lie in a section. */
void checkLongLines(Analysis *a) {
  for (size_t i = 0; i < a->lines.size(); i++) {
    const Line &line = a->lines[i];
    if (line.column == 1) continue;
    const Line &head = a->lines[i - 1];
    if (head.column != 1) continue; /* said once, at the first piece */
    bool matters = head.section >= 0 || line.kind != LineKind::Ignored;
    size_t end = a->text.find('\n', (size_t)head.offset);
    long long length = (end == std::string::npos ? (long long)a->text.size() : (long long)end) - head.offset;
    if (!matters || length < TS_LINE_SIZE) continue;
    addFinding(a,
               makeFinding(Kind::LineTooLong, spanOf(*a, (int)i - 1, 0, (int)head.text.size()),
                           {std::to_string(length), std::to_string(TS_LINE_SIZE - 1), std::to_string(TS_LINE_SIZE)}),
               head.section);
  }
}

/* ---- items ---- */

/* A word of a flag list and whether it is a name of the flag or colour tables. */
/* Every name a flag list may hold: the flag table, then the two colour
   tables. */
const std::vector<std::string> &flagListNames() {
  static const std::vector<std::string> kNames = [] {
    std::vector<std::string> names = tableNames(itemFlagNames, TS_FLAG_COUNT);
    for (int i = 0; i < TS_COLOR_COUNT; i++) names.push_back(colorNames[i]);
    for (int i = 0; i < TS_COLOR_COUNT; i++) names.push_back(bkColorNames[i]);
    return names;
  }();
  return kNames;
}

bool isFlagName(const std::string &word) {
  const std::vector<std::string> &names = flagListNames();
  return std::find(names.begin(), names.end(), word) != names.end();
}

/* Finds word (ASCII case ignored) in text from p; -1 when absent. */
int findFolded(const std::string &text, const std::string &word, int p) {
  for (int i = p; i + (int)word.size() <= (int)text.size(); i++) {
    bool same = true;
    for (size_t j = 0; j < word.size() && same; j++) same = upper(text[(size_t)i + j]) == upper(word[j]);
    if (same) return i;
  }
  return -1;
}

void checkFlags(Analysis *a, int index, int section, const ItemFields &fields) {
  const std::string &text = a->lines[(size_t)index].text;
  std::vector<std::string> words = flagListWords(fields.token[FIELD_FLAGS]);
  int cursor = fields.span[FIELD_FLAGS].start;
  for (const std::string &w : words) {
    int at = findFolded(text, w, cursor);
    if (at < 0) at = fields.span[FIELD_FLAGS].start;
    else cursor = at + (int)w.size();
    Span span = spanOf(*a, index, at, at + (int)w.size());
    if (isFlagName(w)) continue;
    uint32_t value = tsFlagWordValue(w.c_str());
    if (value != 0) {
      if (words.size() == 1 && w == "0") continue; /* "no flags" */
      char hex[16];
      snprintf(hex, sizeof hex, "0x%X", (unsigned)value);
      addFinding(a, makeFinding(Kind::NumberFlag, span, {w, hex}), section);
    } else {
      std::string guess = nearest(w, flagListNames());
      addFinding(a, suggesting(makeFinding(Kind::UnknownFlag, span, {quoted(w), didYouMean(guess)}), guess), section);
    }
  }
}

std::vector<std::string> enumNameList(const Analysis &a) {
  std::vector<std::string> names;
  for (const EnumEntry &e : a.enums) names.push_back(e.name);
  return names;
}

bool isEnumName(const Analysis &a, const std::string &name) { return a.enumNames.count(name) != 0; }

void checkItem(Analysis *a, int index, int section, const Options &options) {
  const Line &line = a->lines[(size_t)index];
  const Item &item = a->sections[(size_t)section].items[(size_t)line.item];
  const std::string &text = line.text;
  const ItemFields &fields = item.fields;
  auto span = [&](int f) { return spanOf(*a, index, fields.span[f].start, fields.span[f].end); };

  /* A field left out shifts every field after it: the first field that
     holds what the next one should is said, and the knock-on findings of
     the fields after it are not. */
  const std::string &selectedToken = fields.token[FIELD_SELECTED], &flagsToken = fields.token[FIELD_FLAGS];
  int shifted = -1;
  auto startsWith = [&](int f, const char *bytes) {
    int at = fields.span[f].start;
    return fields.span[f].written && at >= 0 && at < (int)text.size() && text[(size_t)at] &&
           strchr(bytes, text[(size_t)at]) != nullptr;
  };
  if (!selectedToken.empty() && startsWith(FIELD_SELECTED, "(")) shifted = FIELD_SELECTED; /* a flag list */
  else if (flagsToken.size() == 1 && strchr("TtFf", flagsToken[0]) && startsWith(FIELD_DEFAULT, "\"%"))
    shifted = FIELD_FLAGS; /* a default letter, and a text where the default goes */
  if (shifted >= 0) {
    const FieldSpan &s = fields.span[shifted];
    int wordEnd = s.start;
    while (wordEnd < (int)text.size() && !isSpaceByte(text[(size_t)wordEnd])) wordEnd++;
    addFinding(a,
               makeFinding(Kind::MissingField, spanOf(*a, index, s.start, wordEnd),
                           {kFieldNames[shifted],
                            "`" + quoted(text.substr((size_t)s.start, (size_t)(wordEnd - s.start))) + "`"}),
               section);
    return;
  }

  /* A one-letter field written longer shifts every field after it: said
     once, and the fields after it are not judged. */
  for (int f : {FIELD_FOCUS, FIELD_DEFAULT}) {
    int end = fields.span[f].end;
    if (end <= 0 || end >= (int)text.size() || isSpaceByte(text[(size_t)end])) continue;
    int wordStop = end;
    while (wordStop < (int)text.size() && !isSpaceByte(text[(size_t)wordStop])) wordStop++;
    std::string written = text.substr((size_t)fields.span[f].start, (size_t)(wordStop - fields.span[f].start));
    addFinding(a,
               makeFinding(Kind::OneLetterField, spanOf(*a, index, fields.span[f].start, wordStop),
                           {f == FIELD_FOCUS ? "focus" : "default button", quoted(written), fields.token[f],
                            quoted(written.substr(1))}),
               section);
    return;
  }

  const std::string &id = fields.token[FIELD_ID];
  if (!isEnumName(*a, id) && !isInteger(id)) {
    std::string guess = nearest(id, enumNameList(*a));
    Finding f = item.id == -1 ? makeFinding(Kind::UnknownIdentifier, span(FIELD_ID), {quoted(id), didYouMean(guess)})
                              : makeFinding(Kind::IdentifierAsNumber, span(FIELD_ID),
                                            {quoted(id), std::to_string(item.id), didYouMean(guess)});
    addFinding(a, suggesting(f, guess), section);
  }

  const std::string &selected = fields.token[FIELD_SELECTED];
  bool truth = tsIsTruthValue(selected.c_str()) != 0;
  if (!selected.empty() && selected[0] != '"' && !truth && !isEnumName(*a, selected) && !isInteger(selected)) {
    int g = messageNumberOf(*a, selected);
    std::string guess = nearest(selected, enumNameList(*a));
    Finding f = g == -1
                    ? makeFinding(Kind::UnknownSelected, span(FIELD_SELECTED), {quoted(selected), didYouMean(guess)})
                    : makeFinding(Kind::SelectedAsMessage, span(FIELD_SELECTED),
                                  {quoted(selected), std::to_string(g), didYouMean(guess)});
    addFinding(a, suggesting(f, guess), section);
  }

  checkFlags(a, index, section, fields);

  const std::string &source = fields.token[FIELD_SOURCE];
  if (fields.span[FIELD_SOURCE].written && !tsIsTextSource(source.c_str()[0]))
    addFinding(a, makeFinding(Kind::UnknownSource, span(FIELD_SOURCE), {quoted(source)}), section);
  const std::string &message = fields.token[FIELD_TEXT];
  if (source.c_str()[0] == TS_SOURCE_LNG && !isEnumName(*a, message) && !isInteger(message)) {
    std::string guess = nearest(message, enumNameList(*a));
    addFinding(
        a, suggesting(makeFinding(Kind::UnknownMessage, span(FIELD_TEXT), {quoted(message), didYouMean(guess)}), guess),
        section);
  }

  if (fields.tokensLength + 1 >= TS_TOKEN_ROOM) {
    for (int f = 0; f < FIELD_COUNT; f++) {
      const FieldSpan &s = fields.span[f];
      if (!s.written) continue;
      int written = s.end - s.start;
      char open = text[(size_t)s.start];
      if (open == '"' && f != FIELD_SELECTED) written -= 2;
      if (open == '(' && f == FIELD_FLAGS) written -= 2;
      if (open == '%') written -= 2;
      if ((int)fields.token[f].size() >= written) continue;
      addFinding(a,
                 makeFinding(Kind::FieldTooLong, spanOf(*a, index, s.start, s.end),
                             {std::to_string(TS_TOKEN_ROOM - 1), kFieldNames[f], std::to_string(fields.token[f].size()),
                              std::to_string(written)}),
                 section);
      break;
    }
  }

  /* A button written -1 on purpose as its cancel button says so in its text. */
  if (item.record.type == DI_BUTTON && item.id == -1 && isInteger(id) &&
      findFolded(fields.token[FIELD_TEXT], "cancel", 0) < 0)
    addFinding(a, makeFinding(Kind::CancelId, span(FIELD_ID), {quoted(item.record.data)}), section);

  /* Words after the last field: the library reads no further. */
  bool registry = fields.token[FIELD_SOURCE].c_str()[0] == TS_SOURCE_REG;
  int last = registry && fields.span[FIELD_FALLBACK].written ? FIELD_FALLBACK : FIELD_TEXT;
  if (fields.span[last].written) {
    size_t end = text.size(), p = std::min((size_t)std::max(fields.span[last].end, 0), end);
    while (p < end && isSpaceByte(text[p])) p++;
    while (end > p && isSpaceByte(text[end - 1])) end--;
    if (p < end && text[p] != ';')
      addFinding(a,
                 makeFinding(Kind::TextRestDropped, spanOf(*a, index, (int)p, (int)end),
                             {quoted(text.substr(p, end - p)), last == FIELD_TEXT ? "the text" : "the fallback text"}),
                 section);
  }

  if (strchr(item.record.data, '\t')) addFinding(a, makeFinding(Kind::TabInText, span(FIELD_TEXT)), section);

  if (options.codepage != 0 && hasUtf8(item.record.data))
    addFinding(
        a, makeFinding(Kind::Utf8Text, span(FIELD_TEXT), {std::to_string(options.codepage), quoted(item.record.data)}),
        section);
}

/* Whether the library would read the line as an item, were it in a dialog. */
bool readsAsItem(const std::string &text) {
  DialogItem record;
  int32_t id = -1;
  char *string = nullptr;
  bool item = ParseItemLine(0, 0, &record, &id, &string, text.c_str()) == 2;
  free(string);
  return item;
}

/* A line before any dialog that was meant to open one: a first word that
   is `name` misspelt or in other letter case, one more word, and an item
   line next. */
bool isHeaderTypo(const Analysis &a, size_t index) {
  const std::string &text = a.lines[index].text;
  int start;
  std::string word = firstWord(text, &start);
  if (word.size() < 3 || word == "name" || distance(word, "name") > 1) return false;
  size_t p = (size_t)start + word.size();
  while (p < text.size() && isSpaceByte(text[p])) p++;
  if (p >= text.size()) return false;
  size_t rest = text[p] == '"' ? text.find('"', p + 1) : text.find_first_of(" \t", p);
  if (rest != std::string::npos && text[p] == '"') rest++;
  while (rest != std::string::npos && rest < text.size() && isSpaceByte(text[rest])) rest++;
  if (rest != std::string::npos && rest < text.size()) return false;
  return index + 1 < a.lines.size() && readsAsItem(a.lines[index + 1].text);
}

/* A UTF-8 byte-order mark at the start of the file: what it does to the
   first line. */
bool checkByteOrderMark(Analysis *a) {
  if (a->lines.empty() || a->lines[0].text.compare(0, 3, "\xEF\xBB\xBF") != 0) return false;
  /* Before a comment or prose the mark does no harm: only a header or an
     ENUM block read differently. */
  std::string rest = a->lines[0].text.substr(3);
  bool header = rest.compare(0, 4, "name") == 0, enumBlock = rest.compare(0, 4, "ENUM") == 0;
  if (!header && !enumBlock) return false;
  addFinding(a, makeFinding(header ? Kind::ByteOrderMark : Kind::MarkBeforeEnum, spanOf(*a, 0, 0, 3)), -1);
  return true;
}

void checkLines(Analysis *a, const Options &options) {
  std::vector<bool> pastSaid(a->sections.size(), false);
  /* Items before the first dialog are said once, and not when a mark or a
     broken header already explains them. */
  bool strayItemSaid = checkByteOrderMark(a);
  for (size_t i = 0; i < a->lines.size(); i++) {
    const Line &line = a->lines[i];
    int index = (int)i;
    if (line.section >= 0 && !a->sections[(size_t)line.section].interpreted && line.kind != LineKind::Header) continue;
    switch (line.kind) {
      case LineKind::Header:
        checkHeader(a, index);
        break;
      case LineKind::Item:
        checkItem(a, index, line.section, options);
        break;
      case LineKind::PastLimit:
        if (!pastSaid[(size_t)line.section]) checkPastLimit(a, index, line.section);
        pastSaid[(size_t)line.section] = true;
        break;
      case LineKind::SectionEnd:
        addFinding(a, noHeaderFinding(*a, index), a->lines[i - 1].section);
        break;
      case LineKind::Ignored:
        if (line.column != 1) break; /* a piece of a long line: said there */
        if (line.section >= 0) {
          checkSkippedLine(a, index, line.section);
        } else if (tsIsSectionEnd(line.text.c_str())) {
          addFinding(a, noHeaderFinding(*a, index), -1);
          strayItemSaid = true;
        } else if (isHeaderTypo(*a, i)) {
          int start;
          std::string word = firstWord(line.text, &start);
          addFinding(a,
                     suggesting(makeFinding(Kind::HeaderTypo, spanOf(*a, index, start, start + (int)word.size()),
                                            {quoted(word), didYouMean("name")}),
                                "name"),
                     -1);
          strayItemSaid = true;
        } else if (!strayItemSaid && readsAsItem(line.text)) {
          strayItemSaid = true;
          int more = 0;
          for (size_t j = i + 1; j < a->lines.size() && a->lines[j].section < 0; j++)
            more += a->lines[j].kind == LineKind::Ignored && a->lines[j].column == 1 && readsAsItem(a->lines[j].text);
          std::string tail = more ? ", nor the " + std::to_string(more) + " more after it" : "";
          addFinding(a, makeFinding(Kind::ItemBeforeName, spanOf(*a, index, 0, (int)line.text.size()), {tail}), -1);
        }
        break;
      default:
        break;
    }
  }
  checkLongLines(a);
}

/* ---- sections ---- */

std::string unlistedNames(const Analysis &a) {
  std::vector<std::string> missing;
  for (const Section &s : a.sections)
    if (s.loaded && std::find(a.listed.begin(), a.listed.end(), s.name) == a.listed.end()) missing.push_back(s.name);
  if (missing.empty()) return "this section is never shown";
  std::string names;
  for (size_t i = 0; i < missing.size() && i < 3; i++) names += (i ? ", \"" : "\"") + missing[i] + "\"";
  if (missing.size() > 3) names += " and " + std::to_string(missing.size() - 3) + " more";
  return names + (missing.size() == 1 ? " is" : " are") + " never listed";
}

/* Identifiers that look-ups cannot tell apart (0, for items nobody reads
   back, and -1, the cancel, are shared on purpose), and a second item with
   the focus set. */
void checkIdentifiers(Analysis *a, int section) {
  const Section &s = a->sections[(size_t)section];
  std::map<int32_t, size_t> seen;
  int focused = -1;
  for (size_t i = 0; i < s.items.size(); i++) {
    const Item &item = s.items[i];
    auto span = [&](int f) { return spanOf(*a, item.line, item.fields.span[f].start, item.fields.span[f].end); };
    if (item.id != 0 && item.id != -1) {
      auto it = seen.find(item.id);
      if (it == seen.end()) {
        seen[item.id] = i;
      } else {
        const Item &first = s.items[it->second];
        addFinding(a,
                   makeFinding(Kind::DuplicateId, span(FIELD_ID),
                               {std::to_string(item.id), describeItem(first),
                                std::to_string(a->lines[(size_t)first.line].number)}),
                   section);
      }
    }
    if (item.record.focus && layoutIsFocusable(item.record.type)) {
      if (focused < 0) {
        focused = (int)i;
      } else {
        const Item &first = s.items[(size_t)focused];
        addFinding(a,
                   makeFinding(Kind::TwoFocus, span(FIELD_FOCUS),
                               {describeItem(first), std::to_string(a->lines[(size_t)first.line].number)}),
                   section);
      }
    }
  }
}

void checkSections(Analysis *a) {
  for (size_t i = 0; i < a->sections.size(); i++) {
    const Section &s = a->sections[i];
    if (!s.interpreted) continue;
    Span header = spanOf(*a, s.headerLine, 0, (int)a->lines[(size_t)s.headerLine].text.size());
    if (s.name.empty()) {
      addFinding(a, makeFinding(Kind::EmptyName, header), (int)i);
      continue;
    }
    if (!s.loaded) {
      Finding f = makeFinding(Kind::DuplicateDialog, header, {s.name, unlistedNames(*a)});
      const Section &first = a->sections[(size_t)s.firstOfName];
      f.notes.push_back(
          makeFinding(Kind::FirstDefinedHere,
                      spanOf(*a, first.headerLine, 0, (int)a->lines[(size_t)first.headerLine].text.size())));
      addFinding(a, f, (int)i);
      continue;
    }
    if (s.items.empty()) {
      addFinding(a, makeFinding(Kind::EmptyDialog, header, {s.name}), (int)i);
      continue;
    }
    checkIdentifiers(a, (int)i);
    checkLayout(a, (int)i);
  }
  if (a->listed.size() >= kListLimit) {
    for (const Section &s : a->sections)
      if (s.loaded && std::find(a->listed.begin(), a->listed.end(), s.name) == a->listed.end()) {
        addFinding(a,
                   makeFinding(Kind::TooManyDialogs,
                               spanOf(*a, s.headerLine, 0, (int)a->lines[(size_t)s.headerLine].text.size()),
                               {s.name, std::to_string(kListLimit)}),
                   -1);
        break;
      }
  }
}

}  // namespace

bool hasUtf8(const char *text) {
  for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
    if (*p < 0x80) continue;
    int extra = (*p & 0xE0) == 0xC0 ? 1 : (*p & 0xF0) == 0xE0 ? 2 : (*p & 0xF8) == 0xF0 ? 3 : 0;
    if (!extra) continue;
    int k = 1;
    while (k <= extra && (p[k] & 0xC0) == 0x80) k++;
    if (k > extra) return true;
  }
  return false;
}

Span spanOf(const Analysis &a, int lineIndex, int start, int end) {
  Span s;
  if (lineIndex < 0 || lineIndex >= (int)a.lines.size()) return s;
  const Line &line = a.lines[(size_t)lineIndex];
  if (end < start) end = start;
  s.line = s.endLine = line.number;
  s.column = line.column + start;
  s.endColumn = line.column + end;
  return s;
}

void addFinding(Analysis *a, Finding f, int section) {
  f.section = section;
  for (Finding &note : f.notes) note.section = section;
  a->findings.push_back(std::move(f));
}

std::string nearest(const std::string &word, const std::vector<std::string> &candidates) {
  if (word.size() < 3) return "";
  int limit = word.size() < 5 ? 1 : 2;
  std::string best;
  int bestDistance = limit + 1;
  for (const std::string &c : candidates) {
    if (c == word) return "";
    if (c.size() > word.size() + (size_t)limit || word.size() > c.size() + (size_t)limit) continue;
    int d = distance(word, c);
    if (d < bestDistance) {
      bestDistance = d;
      best = c;
    }
  }
  return best;
}

std::string didYouMean(const std::string &suggestion) {
  return suggestion.empty() ? "" : "; did you mean `" + suggestion + "`?";
}

std::string quoted(const std::string &text) {
  std::string out;
  for (size_t i = 0; i < text.size() && i < 40; i++) {
    unsigned char c = (unsigned char)text[i];
    out += c < 0x20 || c == 0x7F ? '?' : (char)c;
  }
  if (text.size() > 40) out += "...";
  return out;
}

void checkAll(Analysis *a, const Options &options) {
  checkEnums(a);
  checkLines(a, options);
  checkSections(a);
}

void noSuchDialog(Analysis *a, const std::string &name) {
  std::string known;
  for (size_t i = 0; i < a->listed.size() && i < 10; i++) known += (i ? ", \"" : "\"") + a->listed[i] + "\"";
  std::string tail =
      a->listed.empty() ? " (it defines none)" : " (it defines " + known + (a->listed.size() > 10 ? ", ..." : "") + ")";
  addFinding(a, makeFinding(Kind::NoSuchDialog, Span(), {name, tail}), -1);
}

}  // namespace author
