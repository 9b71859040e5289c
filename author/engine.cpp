/*
 * The engine's pass over a file: the library's ENUM scan (with its trace of
 * where blocks and names lie), then the library's line reader and line
 * patterns in the loader's order, every candidate item line through the
 * library's item interpreter. Afterwards the checks add the findings.
 */
#include "author/engine.h"

#include <errno.h>
#include <string.h>

#include <algorithm>
#include <filesystem>

#include "author/checks.h"
#include "author/languages.h"
#include "dialog/dialog_internal.h"

namespace author {

namespace {

/* Collects the ENUM scan's trace into the analysis. */
struct TraceSink {
  Analysis *a;
};

void onBlockStart(void *context, long long offset) {
  Analysis *a = static_cast<TraceSink *>(context)->a;
  EnumBlock block;
  block.offset = offset;
  block.first = (int)a->enums.size();
  a->enumBlocks.push_back(block);
}

void onBraceMissing(void *context, long long) {
  Analysis *a = static_cast<TraceSink *>(context)->a;
  if (!a->enumBlocks.empty()) a->enumBlocks.back().opened = false;
}

void onEntry(void *context, int index, long long offset) {
  Analysis *a = static_cast<TraceSink *>(context)->a;
  EnumEntry entry;
  entry.offset = offset;
  (void)index;
  a->enums.push_back(entry);
  if (!a->enumBlocks.empty()) a->enumBlocks.back().count++;
}

void onFull(void *context, long long offset) {
  Analysis *a = static_cast<TraceSink *>(context)->a;
  if (!a->enumBlocks.empty()) a->enumBlocks.back().fullAt = offset;
}

void onBlockEnd(void *context, long long offset, int closed) {
  Analysis *a = static_cast<TraceSink *>(context)->a;
  if (a->enumBlocks.empty()) return;
  a->enumBlocks.back().end = offset;
  a->enumBlocks.back().closed = closed != 0;
}

/* Runs the library's ENUM scan over the stream and keeps its table (names,
   values) beside the traced offsets. The library's table stays filled for
   the item pass. */
void scanEnums(Analysis *a, FILE *stream) {
  TraceSink sink = {a};
  EnumScanTrace trace = {&sink, onBlockStart, onBraceMissing, onEntry, onBlockEnd, onFull};
  tsClearEnums();
  tsEnumTrace = &trace;
  ScanEnums(stream);
  tsEnumTrace = nullptr;
  /* The table holds exactly the traced entries, in order. */
  size_t n = std::min(a->enums.size(), (size_t)enumCount);
  a->enums.resize(n);
  for (size_t i = 0; i < n; i++) {
    a->enums[i].name = enumNames[i] ? enumNames[i] : "";
    a->enums[i].value = enumValues[i];
    a->enumNames.insert(a->enums[i].name);
  }
}

void recordLineStarts(Analysis *a) {
  a->lineStarts.push_back(0);
  const std::string &t = a->text;
  for (size_t i = 0; i < t.size(); i++)
    if (t[i] == '\n' && i + 1 < t.size()) a->lineStarts.push_back((long long)i + 1);
}

/* Opens a new section for a header line. */
void openSection(Analysis *a, int lineIndex, const char *name, const Options &options) {
  Section s;
  s.name = name;
  s.headerLine = lineIndex;
  s.helpTopic = tsDefaultHelpTopic;
  s.interpreted = options.dialog.empty() || s.name == options.dialog;
  s.firstOfName = findSection(*a, s.name);
  s.loaded = s.firstOfName < 0 && !s.name.empty(); /* an empty name is never loaded */
  if (s.firstOfName < 0) a->firstSection.emplace(s.name, (int)a->sections.size());
  a->sections.push_back(s);
}

/* The item of a line that ParseItemLine accepted; its owned string freed. */
Item takeItem(int lineIndex, const DialogItem &record, int32_t id, char *string) {
  Item item;
  item.line = lineIndex;
  item.record = record;
  item.id = id;
  if (string) {
    item.quoted = true;
    item.selectedText = string;
    item.record.selected = 1;
    free(string);
  }
  return item;
}

/* Reads every line with the library's reader, in the loader's order of
   questions: in a section, a section end (which may be a header), then a
   help line, then an item while the section holds fewer than the limit;
   outside one, a header. */
void readLines(Analysis *a, FILE *stream, const Options &options) {
  FileReader reader;
  tsStartReading(&reader, stream);
  char buffer[TS_LINE_SIZE];
  char word[TS_TOKEN_ROOM];
  int current = -1;
  for (;;) {
    long long offset = tsReaderOffset(&reader);
    const char *text = tsReadLine(&reader, buffer);
    if (!text) break;
    Line line;
    line.offset = offset;
    auto after = std::upper_bound(a->lineStarts.begin(), a->lineStarts.end(), offset);
    line.number = (int)(after - a->lineStarts.begin());
    line.column = (int)(offset - a->lineStarts[(size_t)line.number - 1]) + 1;
    line.text = text;
    int index = (int)a->lines.size();

    if (current >= 0 && tsIsSectionEnd(text)) {
      current = -1;
      line.kind = LineKind::SectionEnd;
    }
    if (current < 0) {
      if (tsReadHeader(text, word)) {
        openSection(a, index, word, options);
        current = (int)a->sections.size() - 1;
        line.kind = LineKind::Header;
      }
      line.section = current;
      a->lines.push_back(line);
      continue;
    }
    line.section = current;
    Section &s = a->sections[(size_t)current];
    if (!s.interpreted) {
      /* another dialog than the one asked for: only where it ends counts */
    } else if (s.items.size() >= TS_MAX_ITEMS) {
      /* The loader has stopped reading this section: nothing more counts. */
      DialogItem record;
      int32_t id = -1;
      char *string = nullptr;
      if (ParseItemLine(options.lngMode, 0, &record, &id, &string, text) == 2) line.kind = LineKind::PastLimit;
      free(string);
    } else if (tsReadHelp(text, word)) {
      line.kind = LineKind::Help;
      s.helpTopic = word;
      s.helpLine = index;
    } else {
      DialogItem record;
      int32_t id = -1;
      char *string = nullptr;
      if (ParseItemLine(options.lngMode, 0, &record, &id, &string, text) == 2) {
        line.kind = LineKind::Item;
        line.item = (int)s.items.size();
        s.items.push_back(takeItem(index, record, id, string));
        s.items.back().fields = readItemFields(line.text);
      }
    }
    a->lines.push_back(line);
  }
}

/* Each section's size by the library's rule. */
void measureSections(Analysis *a) {
  for (Section &s : a->sections) {
    TsBounds bounds = {-1, -1, 0, 0};
    for (const Item &item : s.items) tsWidenBounds(&bounds, &item.record);
    s.width = tsDialogExtent(bounds.maxX, bounds.minX);
    s.height = tsDialogExtent(bounds.maxY, bounds.minY);
  }
}

/* The dialog list as the plug-in builds it: the first dialog, then each time
   the one after the first section of the name just listed, until a name
   comes back, the list holds 100 names or the file has no more. */
void listDialogs(Analysis *a) {
  size_t next = 0;
  while (next < a->sections.size() && a->listed.size() < kListLimit) {
    const std::string &name = a->sections[next].name;
    if (name.empty()) break; /* the list's end, to the plug-in */
    if (std::find(a->listed.begin(), a->listed.end(), name) != a->listed.end()) break;
    a->listed.push_back(name);
    next = (size_t)findSection(*a, name) + 1;
  }
}

}  // namespace

void keepFindingsOf(Analysis *a, const std::string &dialog) {
  int wanted = findSection(*a, dialog);
  std::vector<Finding> kept;
  for (Finding &f : a->findings) {
    int s = f.section;
    if (s < 0 || a->sections[(size_t)s].name == dialog) kept.push_back(std::move(f));
  }
  a->findings.swap(kept);
  if (wanted < 0) noSuchDialog(a, dialog);
}

Analysis analyzeText(std::string text, const Options &options) {
  Analysis a;
  a.text = std::move(text);
  recordLineStarts(&a);
  a.lines.reserve(a.lineStarts.size());
  FILE *stream = plOpenMemoryFile(a.text.data(), a.text.size());
  if (!stream) {
    a.findings.push_back(makeFinding(Kind::CannotOpen, Span(), {"out of memory"}));
    return a;
  }
  scanEnums(&a, stream);
  rewind(stream);
  readLines(&a, stream, options);
  fclose(stream);
  measureSections(&a);
  listDialogs(&a);
  if (options.checks) checkAll(&a, options);
  if (options.checks && options.languages)
    for (const LanguageFile &file : *options.languages) judgeLanguage(&a, file);
  tsClearEnums();
  std::stable_sort(a.findings.begin(), a.findings.end(), [](const Finding &x, const Finding &y) {
    return x.span.line != y.span.line ? x.span.line < y.span.line : x.span.column < y.span.column;
  });
  if (!options.dialog.empty()) keepFindingsOf(&a, options.dialog);
  return a;
}

Analysis analyzeFile(const std::string &path, const Options &options) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) {
    Analysis a;
    a.findings.push_back(makeFinding(Kind::CannotOpen, Span(), {"is a directory"}));
    return a;
  }
  FILE *file = plOpenTextFile(path.c_str());
  if (!file) {
    int code = errno;
    Analysis a;
    a.findings.push_back(makeFinding(Kind::CannotOpen, Span(), {strerror(code)}));
    return a;
  }
  std::string text;
  char block[1 << 16];
  size_t got;
  while ((got = fread(block, 1, sizeof block, file)) > 0) text.append(block, got);
  int failed = ferror(file);
  int code = errno;
  fclose(file);
  if (failed) {
    Analysis a;
    a.findings.push_back(makeFinding(Kind::CannotOpen, Span(), {strerror(code)}));
    return a;
  }
  return analyzeText(std::move(text), options);
}

}  // namespace author
