/*
 * The formatter: splits a file into lines (each keeps its line end, LF or
 * CR LF, and whatever follows an end-of-file mark stays as it is), asks the
 * engine which lines the library reads as items, lays out the fields of each
 * run of them in columns, and keeps a rewritten line only when the library's
 * item interpreter reads it as the same item. The rewritten file as a whole
 * must then give the engine the same ENUM table, lines and dialogs, else the
 * changes fall back section by section, or the text stays as it was.
 */
#include "author/format.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <vector>

#include "author/engine.h"
#include "author/fields.h"
#include "dialog/dialog_internal.h"

namespace author {

namespace {

/* The longest line (line feed not counted) the library's line buffer takes
   whole with its line feed: a longer one reads as several lines. */
constexpr size_t kLongestLine = TS_LINE_SIZE - 2;

/* The byte at which a file read in text mode ends. */
constexpr char kEndOfFileMark = 0x1A;

/* One line of the file. */
struct SourceLine {
  std::string content; /* as the library reads it: without its line end */
  const char *end;     /* "\n", "\r\n", or "" for a last line without one */
};

struct Document {
  std::vector<SourceLine> lines;
  std::string tail; /* from the end-of-file mark on: the library never reads it */
};

/* Splits text into lines as the text mode reads it: CR LF is a line end, a
   CR elsewhere is part of its line. */
Document splitLines(const std::string &text) {
  Document d;
  size_t cut = std::min(text.find(kEndOfFileMark), text.size());
  d.tail = text.substr(cut);
  size_t p = 0;
  while (p < cut) {
    size_t feed = text.find('\n', p);
    if (feed == std::string::npos || feed >= cut) {
      d.lines.push_back({text.substr(p, cut - p), ""});
      break;
    }
    bool cr = feed > p && text[feed - 1] == '\r';
    d.lines.push_back({text.substr(p, feed - p - (cr ? 1 : 0)), cr ? "\r\n" : "\n"});
    p = feed + 1;
  }
  return d;
}

/* The text as the library reads it, each line's content taken from contents. */
std::string readText(const Document &d, const std::vector<std::string> &contents) {
  std::string text;
  for (size_t i = 0; i < d.lines.size(); i++) {
    text += contents[i];
    if (*d.lines[i].end) text += '\n';
  }
  return text;
}

/* The bytes of the file, each line's content taken from contents. */
std::string fileText(const Document &d, const std::vector<std::string> &contents) {
  std::string text;
  for (size_t i = 0; i < d.lines.size(); i++) {
    text += contents[i];
    text += d.lines[i].end;
  }
  return text + d.tail;
}

inline bool isSpace(char c) { return tsIsSpace((unsigned char)c) != 0; }

/* Are the bytes of s from from up to to all white space to the library? */
bool allSpace(const std::string &s, size_t from, size_t to) {
  for (size_t i = from; i < to; i++)
    if (!isSpace(s[i])) return false;
  return true;
}

/* A number as a column of numbers holds it: digits after an optional sign. */
bool isNumber(const std::string &cell) {
  size_t i = !cell.empty() && (cell[0] == '+' || cell[0] == '-') ? 1 : 0;
  if (i == cell.size()) return false;
  for (; i < cell.size(); i++)
    if (!tsIsDigit((unsigned char)cell[i])) return false;
  return true;
}

/* A flag list in parentheses written as its words joined by '+', with no
   spaces: "( DIF_GROUP + YELLOW )" gives "(DIF_GROUP+YELLOW)". The library
   reads the same words in the same order from both. A bare word, or a list
   whose closing parenthesis is missing, is kept as written. */
std::string flagList(const std::string &cell) {
  if (cell.size() < 2 || cell[0] != '(' || cell.back() != ')') return cell;
  std::string out = "(";
  for (const std::string &word : flagListWords(cell.substr(1, cell.size() - 2))) {
    if (out.size() > 1) out += '+';
    out += word;
  }
  return out + ")";
}

/* An item line cut into the cells of its fields. */
struct ItemLine {
  int line = -1;                  /* index into Document::lines */
  std::string cell[FIELD_COUNT];  /* each written field's bytes (a flag list respelled) */
  bool present[FIELD_COUNT] = {}; /* the line writes the field */
  int last = 0;                   /* the last field it writes */
  std::string rest;               /* what follows the last field, white space trimmed */
  bool restSpaced = false;        /* white space stood before the rest */
};

/* Cuts an item line into cells; false when its fields cannot be told apart
   with certainty: a mandatory field not written, or anything but white space
   between two fields. */
bool cutCells(const std::string &content, ItemLine *out) {
  ItemFields fields = readItemFields(content);
  if (fields.matched != FIELD_COUNT) return false;
  size_t at = 0;
  for (int f = 0; f < FIELD_COUNT; f++) {
    const FieldSpan &span = fields.span[f];
    if (!span.written) {
      if (f < REQUIRED_FIELDS) return false;
      continue;
    }
    size_t start = (size_t)span.start, end = (size_t)span.end;
    if (start < at || end > content.size() || end <= start) return false;
    if (f == FIELD_TYPE ? start != 0 : !allSpace(content, at, start)) return false;
    out->cell[f] = content.substr(start, end - start);
    if (f == FIELD_FLAGS) out->cell[f] = flagList(out->cell[f]);
    out->present[f] = true;
    out->last = f;
    at = end;
  }
  size_t restStart = at;
  while (restStart < content.size() && isSpace(content[restStart])) restStart++;
  size_t restEnd = content.size();
  while (restEnd > restStart && isSpace(content[restEnd - 1])) restEnd--;
  out->rest = content.substr(restStart, restEnd - restStart);
  out->restSpaced = restStart > at;
  return true;
}

/* One column of a run: whether any line writes its field, whether every
   cell in it is a number (then right-aligned), and its width. */
struct Column {
  bool used = false;
  bool numeric = true;
  size_t width = 0;
};

/* The line laid out in the run's columns, one space between columns; the
   last field is not padded. */
std::string layOut(const ItemLine &l, const Column *columns) {
  static const std::string kNone;
  std::string out;
  for (int f = 0; f <= l.last; f++) {
    const Column &c = columns[f];
    if (!c.used) continue;
    if (f > 0) out += ' ';
    const std::string &cell = l.present[f] ? l.cell[f] : kNone;
    size_t pad = c.width - cell.size();
    if (c.numeric) {
      out.append(pad, ' ');
      out += cell;
    } else {
      out += cell;
      if (f < l.last) out.append(pad, ' ');
    }
  }
  if (!l.rest.empty()) {
    if (l.restSpaced) out += ' ';
    out += l.rest;
  }
  return out;
}

/* The flags word the library makes of a flag field's text. */
uint32_t flagsOf(const std::string &field) {
  char text[TS_TOKEN_ROOM];
  snprintf(text, sizeof text, "%s", field.c_str());
  return ParseFlags(text);
}

/* Does the library's item interpreter make the same item of both lines, in
   every language mode, under the enum table it holds now? The fields must
   read the same, but for a flag list, which must give the same flags. */
bool sameItemLine(const std::string &before, const std::string &after) {
  if (after.size() > kLongestLine) return false;
  ItemFields x = readItemFields(before), y = readItemFields(after);
  if (x.matched != y.matched) return false;
  for (int f = 0; f < FIELD_COUNT; f++) {
    if (f == FIELD_FLAGS ? flagsOf(x.token[f]) != flagsOf(y.token[f]) : x.token[f] != y.token[f]) return false;
  }
  for (int mode = 0; mode <= 2; mode++) {
    DialogItem items[2];
    int32_t ids[2] = {-1, -1};
    char *strings[2] = {nullptr, nullptr};
    memset(items, 0, sizeof items);
    int r0 = ParseItemLine(mode, 0, &items[0], &ids[0], &strings[0], before.c_str());
    int r1 = ParseItemLine(mode, 0, &items[1], &ids[1], &strings[1], after.c_str());
    bool same = r0 == r1 && ids[0] == ids[1] && (strings[0] == nullptr) == (strings[1] == nullptr) &&
                (!strings[0] || strcmp(strings[0], strings[1]) == 0);
    if (strings[0]) items[0].selected = 0;
    if (strings[1]) items[1].selected = 0;
    same = same && memcmp(&items[0], &items[1], sizeof items[0]) == 0;
    free(strings[0]);
    free(strings[1]);
    if (!same) return false;
  }
  return true;
}

/* Are two items of the engine's reading the same, field for field? */
bool sameItem(const Item &x, const Item &y) {
  const DialogItem &a = x.record, &b = y.record;
  return a.type == b.type && a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.focus == b.focus &&
         a.flags == b.flags && a.defaultButton == b.defaultButton && memcmp(a.data, b.data, sizeof a.data) == 0 &&
         x.id == y.id && x.quoted == y.quoted &&
         (x.quoted ? x.selectedText == y.selectedText : a.selected == b.selected);
}

/* Does the engine read both texts alike: the same ENUM table, the same kind
   of line at every line, the same dialogs with the same items? */
bool sameReading(const Analysis &a, const Analysis &b) {
  if (a.lines.size() != b.lines.size() || a.enums.size() != b.enums.size() || a.sections.size() != b.sections.size() ||
      a.listed != b.listed)
    return false;
  for (size_t i = 0; i < a.lines.size(); i++) {
    const Line &x = a.lines[i], &y = b.lines[i];
    if (x.number != y.number || x.kind != y.kind || x.section != y.section || x.item != y.item) return false;
  }
  for (size_t i = 0; i < a.enums.size(); i++)
    if (a.enums[i].name != b.enums[i].name || a.enums[i].value != b.enums[i].value) return false;
  for (size_t i = 0; i < a.sections.size(); i++) {
    const Section &x = a.sections[i], &y = b.sections[i];
    if (x.name != y.name || x.helpTopic != y.helpTopic || x.width != y.width || x.height != y.height ||
        x.loaded != y.loaded || x.firstOfName != y.firstOfName || x.items.size() != y.items.size())
      return false;
    for (size_t k = 0; k < x.items.size(); k++)
      if (!sameItem(x.items[k], y.items[k])) return false;
  }
  return true;
}

/* What the formatter reads for its own purposes: only the lines. */
Analysis analyze(const std::string &text) {
  Options options;
  options.checks = false;
  return analyzeText(text, options);
}

/* For each line of the document, the engine's line that reads it whole, or
   -1 when the library reads it in several pieces (or not at all). */
std::vector<int> wholeLines(const Analysis &a, size_t count) {
  std::vector<int> index(count, -1), pieces(count, 0);
  for (size_t i = 0; i < a.lines.size(); i++) {
    size_t n = (size_t)a.lines[i].number - 1;
    if (n >= count) continue;
    pieces[n]++;
    index[n] = (int)i;
  }
  for (size_t n = 0; n < count; n++)
    if (pieces[n] != 1) index[n] = -1;
  return index;
}

/* Marks the lines an ENUM block touches, from its word to its closing brace
   (to the end of the text when it has none): the ENUM grammar reads them
   character by character, white space and line ends included. */
std::vector<bool> enumLines(const Analysis &a, size_t count) {
  std::vector<bool> marked(count, false);
  auto lineOf = [&](long long offset) {
    auto after = std::upper_bound(a.lineStarts.begin(), a.lineStarts.end(), offset);
    return (size_t)(after - a.lineStarts.begin()) - 1;
  };
  for (const EnumBlock &block : a.enumBlocks) {
    size_t last = block.closed ? lineOf(block.end) : count - 1;
    for (size_t n = lineOf(block.offset); n <= last && n < count; n++) marked[n] = true;
  }
  return marked;
}

/* Lays out one run of item lines and writes into contents each rewritten
   line that the library reads as the same item. */
void formatRun(const std::vector<ItemLine> &run, std::vector<std::string> *contents) {
  Column columns[FIELD_COUNT];
  for (const ItemLine &l : run)
    for (int f = 0; f < FIELD_COUNT; f++) {
      if (!l.present[f]) continue;
      columns[f].used = true;
      columns[f].numeric = columns[f].numeric && isNumber(l.cell[f]);
      columns[f].width = std::max(columns[f].width, l.cell[f].size());
    }
  for (const ItemLine &l : run) {
    std::string &content = (*contents)[(size_t)l.line];
    std::string candidate = layOut(l, columns);
    if (candidate != content && sameItemLine(content, candidate)) content = candidate;
  }
}

/* The lines the check finds broken: an error (a field left out among them),
   or words after the text that the library drops, which aligned would look
   like a column of their own. By 1-based line. */
std::map<int, std::string> brokenItemLines(const Analysis &checked) {
  std::map<int, std::string> broken;
  for (const Finding &f : checked.findings)
    if (f.severity == Severity::Error || f.kind == Kind::TextRestDropped) broken.emplace(f.span.line, f.code);
  return broken;
}

/* One formatting pass over text: the formatted text, or text itself when
   nothing could be changed safely; broken item lines stay as they are and
   are added to refused. Uses the library's enum table and leaves it empty. */
std::string formatOnce(const std::string &text, std::vector<Refusal> *refused) {
  Document d = splitLines(text);
  size_t count = d.lines.size();
  std::vector<std::string> original(count);
  for (size_t n = 0; n < count; n++) original[n] = d.lines[n].content;
  std::string before = readText(d, original);
  /* Read with the checks: their findings say which lines are broken. */
  Analysis a = analyzeText(before, Options());
  std::vector<int> whole = wholeLines(a, count);
  std::vector<bool> inEnum = enumLines(a, count);
  std::map<int, std::string> broken = brokenItemLines(a);

  /* The item interpreter resolves names through the file's ENUM table. */
  FILE *stream = plOpenMemoryFile(before.data(), before.size());
  if (!stream) return text;
  tsClearEnums();
  ScanEnums(stream);
  fclose(stream);

  std::vector<std::string> contents = original;
  std::vector<ItemLine> run;
  int runSection = -1;
  for (size_t n = 0; n <= count; n++) {
    ItemLine l;
    bool item = false;
    if (n < count && whole[n] >= 0 && !inEnum[n]) {
      const Line &line = a.lines[(size_t)whole[n]];
      const std::string &content = original[n];
      item = line.kind == LineKind::Item && line.text == content && content.size() <= kLongestLine &&
             cutCells(content, &l);
      auto b = broken.find(line.number);
      if (item && b != broken.end()) {
        if (refused) refused->push_back({line.number, b->second});
        item = false;
      }
      if (item && line.section != runSection) {
        formatRun(run, &contents);
        run.clear();
      }
      runSection = line.section;
    }
    if (!item) {
      formatRun(run, &contents);
      run.clear();
      continue;
    }
    l.line = (int)n;
    run.push_back(l);
  }
  tsClearEnums();
  if (contents == original) return text;

  /* The whole file must read as before; else keep the sections that do. */
  if (sameReading(a, analyze(readText(d, contents)))) return fileText(d, contents);
  std::vector<std::string> kept = original;
  for (size_t s = 0; s < a.sections.size(); s++) {
    std::vector<std::string> trial = original;
    bool changed = false;
    for (size_t n = 0; n < count; n++)
      if (whole[n] >= 0 && a.lines[(size_t)whole[n]].section == (int)s && contents[n] != original[n]) {
        trial[n] = contents[n];
        changed = true;
      }
    if (!changed || !sameReading(a, analyze(readText(d, trial)))) continue;
    for (size_t n = 0; n < count; n++)
      if (trial[n] != original[n]) kept[n] = trial[n];
  }
  if (kept == original || !sameReading(a, analyze(readText(d, kept)))) return text;
  return fileText(d, kept);
}

}  // namespace

std::string formatText(const std::string &text, std::vector<Refusal> *refused) {
  /* A second pass must change nothing; where it would, the text stays as
     it is, so that formatting a formatted text never changes it. */
  std::string once = formatOnce(text, refused);
  if (once == text) return text;
  return formatOnce(once, nullptr) == once ? once : text;
}

}  // namespace author
