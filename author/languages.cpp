/*
 * Language files for the check: read by the host's reader (lng/) with its
 * trace, so that each verdict says what the host will show; chosen the way
 * the host chooses them; and the dialogs' layout judged again with each
 * language's texts through the library's own item interpreter.
 */
#include "author/languages.h"

#include <string.h>
#include <strings.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "author/checks.h"
#include "author/engine.h"
#include "author/file_bytes.h"
#include "author/navigate.h"
#include "codepage/codepage.h"
#include "dialog/dialog_internal.h"
#include "lng/lng.h"

namespace author {

namespace {

/* A span of one line of a language file. */
Span lineSpan(int line, int column, int endColumn) {
  Span s;
  s.line = s.endLine = line;
  s.column = column;
  s.endColumn = endColumn;
  return s;
}

void addFileFinding(LanguageFile *file, Finding f) {
  f.file = file->path;
  for (Finding &note : f.notes) note.file = file->path;
  file->findings.push_back(std::move(f));
}

/* Collects lngParse's trace of one file. */
struct TraceSink {
  std::vector<int> lines;                   /* of each message */
  std::vector<int> unclosed;                /* messages without their closing quote */
  std::vector<std::pair<int, int>> escapes; /* (message, column) of each escape kept as written */
  int header = 0;                           /* the header line taken, or 0 */
};

void onMessage(void *context, int number, int line, int closed) {
  TraceSink *sink = static_cast<TraceSink *>(context);
  (void)number;
  sink->lines.push_back(line);
  if (!closed) sink->unclosed.push_back((int)sink->lines.size() - 1);
}

void onHeader(void *context, int line) {
  TraceSink *sink = static_cast<TraceSink *>(context);
  if (!sink->header) sink->header = line;
}

void onEscape(void *context, int number, int line, int column) {
  (void)line;
  static_cast<TraceSink *>(context)->escapes.push_back({number, column});
}

/* Byte offsets of the start of every line of bytes. */
std::vector<size_t> lineStartsOf(const std::string &bytes) {
  std::vector<size_t> starts = {0};
  for (size_t i = 0; i < bytes.size(); i++)
    if (bytes[i] == '\n') starts.push_back(i + 1);
  return starts;
}

/* Line number (1-based) of bytes, without its line end. */
std::string lineOf(const std::string &bytes, const std::vector<size_t> &starts, int line) {
  size_t start = starts[(size_t)line - 1];
  size_t end = (size_t)line < starts.size() ? starts[(size_t)line] - 1 : bytes.size();
  if (end > start && bytes[end - 1] == '\r') end--;
  return bytes.substr(start, end - start);
}

/* A language file's slips of one kind past the first hundred are counted,
   not listed: a file of a million lines with the same slip on each says
   so in a hundred and one findings, not a million. */
constexpr int kListedPerKind = 100;

struct Slips {
  std::map<Kind, int> count;    /* of each kind met */
  std::map<Kind, int> lastLine; /* of the last one not listed */
};

/* Counts a slip of kind on line; whether it is to be listed. */
bool listed(Slips *slips, Kind kind, int line) {
  if (++slips->count[kind] <= kListedPerKind) return true;
  slips->lastLine[kind] = line;
  return false;
}

/* The code page's findings of one message line: a NUL byte (the first of
   the file only), a byte the code page has no character for, UTF-8. */
void checkBytes(LanguageFile *file, const std::string &line, int lineNumber, int message, int codepage, Slips *slips) {
  size_t nul = line.find('\0');
  if (nul != std::string::npos && slips->count[Kind::LngNulByte]++ == 0) {
    addFileFinding(file, makeFinding(Kind::LngNulByte, lineSpan(lineNumber, (int)nul + 1, (int)nul + 2),
                                     {std::to_string(message)}));
  }
  if (codepage == 0) return;
  for (size_t i = 0; i < line.size(); i++) {
    unsigned char c = (unsigned char)line[i];
    if (c < 0x80 || cpDecode(c) != CP_UNDEFINED) continue;
    if (!listed(slips, Kind::LngUndefinedByte, lineNumber)) break;
    char hex[4];
    snprintf(hex, sizeof hex, "%02X", c);
    addFileFinding(file, makeFinding(Kind::LngUndefinedByte, lineSpan(lineNumber, (int)i + 1, (int)i + 2),
                                     {hex, std::to_string(codepage), std::to_string(message)}));
    break;
  }
  const std::string &text = file->messages[(size_t)message];
  if (hasUtf8(text.c_str()) && listed(slips, Kind::Utf8Text, lineNumber))
    addFileFinding(file, makeFinding(Kind::Utf8Text, lineSpan(lineNumber, 1, (int)line.size() + 1),
                                     {std::to_string(codepage), author::quoted(text)}));
}

/* The header's findings: none, or one with an empty language. */
void checkHeader(LanguageFile *file, const std::string &bytes, const std::vector<size_t> &starts, int header) {
  if (!file->language.empty()) return;
  if (!header) {
    addFileFinding(file, makeFinding(Kind::LngNoHeader, lineSpan(1, 1, 1)));
    return;
  }
  std::string line = lineOf(bytes, starts, header);
  addFileFinding(file, makeFinding(Kind::LngEmptyLanguage, lineSpan(header, 1, (int)line.size() + 1)));
}

bool sameLanguage(const std::string &x, const std::string &y) { return strcasecmp(x.c_str(), y.c_str()) == 0; }

/* The name a message names a language by: its own, else its file's. */
std::string languageName(const LanguageFile &file) {
  return file.language.empty() ? std::filesystem::path(file.path).filename().string() : file.language;
}

std::string fileName(const std::string &path) { return std::filesystem::path(path).filename().string(); }

/* The features of a text that survive translation: a hot key, how it ends,
   blanks around it, emptiness. Two texts of the same message in two
   languages mostly agree in them. */
std::string shapeOf(const std::string &text) {
  std::string shape;
  shape += text.find('&') != std::string::npos ? '&' : '-';
  shape += text.empty() ? 'e' : text[0] == ' ' ? 'b' : 'w';
  char last = text.empty() ? 0 : text.back();
  shape += last == ':' || last == '.' || last == ' ' || last == '?' || last == '!' ? last : 'w';
  return shape;
}

/* Where one lost message most likely was: the position k from which the
   texts of file match reference's one message later (better, by at least
   two texts, than any other place and than the end). -1 when no place
   stands out. */
int likelyLostAt(const LanguageFile &file, const LanguageFile &reference) {
  size_t n = file.messages.size();
  if (reference.messages.size() != n + 1 || n == 0) return -1;
  std::vector<int> same(n), shifted(n);
  for (size_t i = 0; i < n; i++) {
    same[i] = shapeOf(file.messages[i]) == shapeOf(reference.messages[i]);
    shifted[i] = shapeOf(file.messages[i]) == shapeOf(reference.messages[i + 1]);
  }
  /* score(k) = same[0..k) + shifted[k..n) */
  int shiftedAll = 0;
  for (int v : shifted) shiftedAll += v;
  int best = -1, bestScore = -1, second = -1, atEnd = 0, before = 0, after = shiftedAll;
  for (size_t k = 0; k <= n; k++) {
    int score = before + after;
    if (k == n) atEnd = score;
    else if (score > bestScore) second = bestScore, bestScore = score, best = (int)k;
    else if (score > second) second = score;
    if (k < n) before += same[k], after -= shifted[k];
  }
  if (best < 0 || bestScore < atEnd + 2 || bestScore == second) return -1;
  return best;
}

/* The language whose messages GetMsgText answers with while a language is
   judged. */
const LanguageFile *currentTexts = nullptr;

const char *TS_HOSTAPI messageOfCurrent(int moduleNumber, int messageNumber) {
  (void)moduleNumber;
  if (!currentTexts || messageNumber < 0 || (size_t)messageNumber >= currentTexts->messages.size()) return "";
  return currentTexts->messages[(size_t)messageNumber].c_str();
}

/* While it lives, the library runs as started by a host whose messages are
   file's: GetMsgText answers from them. The library's start-up state, and
   the texts in force before, come back when it ends. */
struct TextsInForce {
  StartupInfo saved = tsStartup;
  int wasInitialised = tsInitialised;
  const LanguageFile *wasCurrent = currentTexts;
  explicit TextsInForce(const LanguageFile *file) {
    tsStartup.hostGetMsg = messageOfCurrent;
    tsInitialised = 1;
    currentTexts = file;
  }
  ~TextsInForce() {
    currentTexts = wasCurrent;
    tsStartup = saved;
    tsInitialised = wasInitialised;
  }
};

/* Whether an item takes its text or its selected field from the messages. */
bool takesMessage(const Analysis &a, const Item &item) {
  const ItemFields &f = item.fields;
  if (!f.token[FIELD_SOURCE].empty() && f.token[FIELD_SOURCE][0] == TS_SOURCE_LNG) return true;
  const std::string &selected = f.token[FIELD_SELECTED];
  return !item.quoted && !selected.empty() && !tsIsTruthValue(selected.c_str()) && a.enumNames.count(selected);
}

/* The items of section s read again by the library with file's texts. */
std::vector<Item> itemsIn(const Analysis &a, const Section &s) {
  std::vector<Item> items = s.items;
  for (Item &item : items) {
    DialogItem record;
    int32_t id = -1;
    char *string = nullptr;
    if (ParseItemLine(0, 0, &record, &id, &string, a.lines[(size_t)item.line].text.c_str()) == 2) {
      item.record = record;
      if (string) item.record.selected = 1;
    }
    free(string);
  }
  return items;
}

bool sameFinding(const Finding &x, const Finding &y) {
  return x.kind == y.kind && x.span.line == y.span.line && x.span.column == y.span.column && x.message == y.message;
}

/* The note at the language file's line of the message that the item of
   section s on the finding's line shows, if it shows one. */
void addTextNote(const Analysis &a, const Section &s, const LanguageFile &file, Finding *f) {
  for (const Item &item : s.items) {
    if (a.lines[(size_t)item.line].number != f->span.line) continue;
    const ItemFields &fields = item.fields;
    if (fields.token[FIELD_SOURCE].empty() || fields.token[FIELD_SOURCE][0] != TS_SOURCE_LNG) return;
    int m = messageNumberOf(a, fields.token[FIELD_TEXT]);
    if (m < 0 || (size_t)m >= file.messages.size()) return;
    int line = file.lines[(size_t)m];
    Finding note = makeFinding(
        Kind::LanguageText, lineSpan(line, 1, 1),
        {languageName(file), fields.token[FIELD_TEXT], std::to_string(m), author::quoted(file.messages[(size_t)m])});
    note.file = file.path;
    f->notes.push_back(note);
    return;
  }
}

/* The layout findings of section index with file's texts that the section
   does not have already. */
std::vector<Finding> layoutWith(Analysis *a, int index, const LanguageFile &file) {
  Section &s = a->sections[(size_t)index];
  std::vector<Item> own = s.items;
  int32_t width = s.width, height = s.height;
  s.items = itemsIn(*a, s);
  TsBounds bounds = {-1, -1, 0, 0};
  for (const Item &item : s.items) tsWidenBounds(&bounds, &item.record);
  s.width = tsDialogExtent(bounds.maxX, bounds.minX);
  s.height = tsDialogExtent(bounds.maxY, bounds.minY);
  size_t before = a->findings.size();
  checkLayout(a, index);
  std::vector<Finding> made(a->findings.begin() + (long)before, a->findings.end());
  a->findings.resize(before);
  s.items.swap(own);
  s.width = width;
  s.height = height;

  std::vector<Finding> fresh;
  for (Finding &f : made) {
    bool known = std::any_of(a->findings.begin(), a->findings.end(),
                             [&](const Finding &g) { return g.section == index && sameFinding(f, g); });
    if (known) continue;
    f.fromLanguage = true;
    f.message = makeFinding(Kind::InLanguage, Span(), {languageName(file), fileName(file.path), f.message}).message;
    addTextNote(*a, s, file, &f);
    fresh.push_back(std::move(f));
  }
  return fresh;
}

}  // namespace

std::string directoryOf(const std::string &path) {
  const char *separator = plLastDirSep(path.c_str());
  size_t slash = separator ? (size_t)(separator - path.c_str()) : std::string::npos;
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

LanguageFile readLanguageText(const std::string &path, const std::string &bytes, int codepage) {
  LanguageFile file;
  file.path = path;
  TraceSink sink;
  LngTrace trace = {&sink, onMessage, onHeader, onEscape};
  LngTable table = {};
  lngTrace = &trace;
  int ok = lngParse(bytes.data(), bytes.size(), &table);
  lngTrace = nullptr;
  if (!ok) {
    addFileFinding(&file, makeFinding(Kind::CannotOpen, Span(), {"out of memory"}));
    return file;
  }
  file.language = table.language;
  for (int i = 0; i < table.count; i++) file.messages.push_back(table.messages[i]);
  lngFree(&table);
  file.lines = sink.lines;

  std::vector<size_t> starts = lineStartsOf(bytes);
  checkHeader(&file, bytes, starts, sink.header);
  /* The line's own slips, in line order: quote, escapes, bytes. */
  size_t unclosed = 0, escape = 0;
  Slips slips;
  for (size_t m = 0; m < file.lines.size(); m++) {
    int lineNumber = file.lines[m];
    std::string line = lineOf(bytes, starts, lineNumber);
    if (unclosed < sink.unclosed.size() && sink.unclosed[unclosed] == (int)m) {
      unclosed++;
      if (listed(&slips, Kind::LngUnclosed, lineNumber))
        addFileFinding(&file, makeFinding(Kind::LngUnclosed, lineSpan(lineNumber, 1, (int)line.size() + 1),
                                          {std::to_string(m), author::quoted(file.messages[m])}));
    }
    for (; escape < sink.escapes.size() && sink.escapes[escape].first == (int)m; escape++) {
      int column = sink.escapes[escape].second;
      std::string after = (size_t)column < line.size() ? line.substr((size_t)column, 1) : "";
      if (listed(&slips, Kind::LngUnknownEscape, lineNumber))
        addFileFinding(&file,
                       makeFinding(Kind::LngUnknownEscape, lineSpan(lineNumber, column, column + 1 + !after.empty()),
                                   {author::quoted(after), std::to_string(m)}));
    }
    checkBytes(&file, line, lineNumber, (int)m, codepage, &slips);
  }
  for (const auto &last : slips.lastLine)
    addFileFinding(&file,
                   makeFinding(Kind::LngMore, lineSpan(last.second, 1, 1),
                               {std::to_string(slips.count[last.first] - kListedPerKind), kindInfo(last.first).code}));
  return file;
}

LanguageFile readLanguageFile(const std::string &path, int codepage) {
  std::string bytes;
  int code = readBytes(path, &bytes);
  if (!code) return readLanguageText(path, bytes, codepage);
  LanguageFile file;
  file.path = path;
  addFileFinding(&file, makeFinding(Kind::CannotOpen, Span(), {code == EISDIR ? "is a directory" : strerror(code)}));
  return file;
}

std::vector<LanguageFile> readLanguageFiles(const std::string &directory, const std::vector<std::string> &languages,
                                            int codepage, const LanguageTexts *open) {
  std::string where = directory.empty() ? "./" : directory;
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator it(where, error), end; !error && it != end; it.increment(error)) {
    std::string name = it->path().filename().string();
    if (isLanguagePath(name)) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  std::vector<LanguageFile> all;
  for (const std::string &name : names) {
    auto it = open ? open->find(directory + name) : LanguageTexts::const_iterator();
    bool isOpen = open && it != open->end();
    all.push_back(isOpen ? readLanguageText(it->first, it->second, codepage)
                         : readLanguageFile(directory + name, codepage));
  }

  /* The file the host picks for each language asked for (or present). */
  std::vector<std::string> wanted = languages;
  if (wanted.empty())
    for (const LanguageFile &f : all)
      if (!f.language.empty() &&
          std::none_of(wanted.begin(), wanted.end(), [&](const std::string &w) { return sameLanguage(w, f.language); }))
        wanted.push_back(f.language);
  std::vector<std::string> chosen;
  for (const std::string &language : wanted) {
    char path[4096];
    if (!lngChooseFile(where.c_str(), language.c_str(), path, sizeof path)) continue;
    std::string name = fileName(path);
    if (std::find(chosen.begin(), chosen.end(), name) == chosen.end()) chosen.push_back(name);
  }

  std::vector<LanguageFile> read;
  for (size_t i = 0; i < all.size(); i++) {
    LanguageFile &f = all[i];
    if (std::find(chosen.begin(), chosen.end(), names[i]) != chosen.end()) {
      read.push_back(std::move(f));
      continue;
    }
    if (!languages.empty()) continue; /* only the languages asked for */
    if (!f.language.empty()) {
      /* The host picks the first file of a language by name: an earlier one. */
      std::string first;
      for (const LanguageFile &r : read)
        if (first.empty() && sameLanguage(r.language, f.language)) first = fileName(r.path);
      addFileFinding(&f, makeFinding(Kind::LngShadowed, lineSpan(1, 1, 1), {first, f.language}));
      f.language.clear(); /* judged as no language: the host never shows its texts */
    }
    read.push_back(std::move(f)); /* its finding says why the host passes it over */
  }
  return read;
}

bool usesLanguageFiles(const Analysis &a) {
  for (const Section &s : a.sections)
    for (const Item &item : s.items)
      if (takesMessage(a, item)) return true;
  return false;
}

void checkMessageCount(LanguageFile *file, const Analysis &a, const std::string &dialogPath,
                       const std::vector<LanguageFile> &others) {
  if (a.enumBlocks.empty() || file->language.empty()) return;
  const EnumBlock &first = a.enumBlocks[0];
  size_t named = (size_t)first.count, have = file->messages.size();
  if (named == 0 || have == named || (size_t)first.first + named > a.enums.size()) return;
  std::string enumLine =
      std::to_string(std::upper_bound(a.lineStarts.begin(), a.lineStarts.end(), first.offset) - a.lineStarts.begin());
  std::string dialog = fileName(dialogPath);
  std::string counted = std::to_string(have) + (have == 1 ? " message" : " messages");
  if (have > named) {
    size_t after = have - named - 1;
    addFileFinding(
        file, makeFinding(after ? Kind::LngExtraMessages : Kind::LngExtraMessage, lineSpan(file->lines[named], 1, 1),
                          {counted, enumLine, dialog, std::to_string(named), std::to_string(after)}));
    return;
  }
  int line = have > 0 ? file->lines[have - 1] : 1;
  Finding f = makeFinding(Kind::LngMissingMessages, lineSpan(line, 1, 1),
                          {counted, enumLine, dialog, std::to_string(named), a.enums[(size_t)first.first + have].name,
                           std::to_string(have), languageName(*file)});
  for (const LanguageFile &other : others) {
    if (&other == file || other.language.empty() || other.messages.size() != named) continue;
    int k = likelyLostAt(*file, other);
    if (k >= 0)
      f.notes.push_back(
          makeFinding(Kind::LngProbablyLost, lineSpan(file->lines[(size_t)k], 1, 1),
                      {languageName(other), a.enums[(size_t)first.first + (size_t)k].name, std::to_string(k)}));
    break;
  }
  addFileFinding(file, f);
}

Analysis analyzeTextIn(std::string text, Options options, const LanguageFile *file) {
  options.languages = nullptr;
  options.lngMode = file ? 0 : 1;
  if (!file) return analyzeText(std::move(text), options);
  TextsInForce texts(file);
  return analyzeText(std::move(text), options);
}

void judgeLanguage(Analysis *a, const LanguageFile &file) {
  if (file.language.empty()) return;
  std::vector<Finding> fresh;
  TextsInForce texts(&file);
  for (size_t i = 0; i < a->sections.size(); i++) {
    const Section &s = a->sections[i];
    if (!s.interpreted || !s.loaded || s.items.empty()) continue;
    if (std::none_of(s.items.begin(), s.items.end(), [&](const Item &item) { return takesMessage(*a, item); }))
      continue;
    for (Finding &f : layoutWith(a, (int)i, file)) fresh.push_back(std::move(f));
  }
  for (Finding &f : fresh) a->findings.push_back(std::move(f));
}

void addLanguageFindings(Analysis *a, const std::string &dialogPath, std::vector<LanguageFile> *files) {
  if (!usesLanguageFiles(*a)) return;
  for (LanguageFile &file : *files) checkMessageCount(&file, *a, dialogPath, *files);
  for (const LanguageFile &file : *files)
    for (const Finding &f : file.findings) a->findings.push_back(f);
}

Analysis analyzeWithLanguages(const std::string &path, Options options, const std::vector<std::string> &languages) {
  std::vector<LanguageFile> files = readLanguageFiles(directoryOf(path), languages, options.codepage);
  options.languages = &files;
  Analysis a = analyzeFile(path, options);
  addLanguageFindings(&a, path, &files);
  return a;
}

bool isLanguagePath(const std::string &path) {
  return path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, ".lng") == 0;
}

bool isDialogPath(const std::string &path) {
  return path.size() > 4 && strcasecmp(path.c_str() + path.size() - 4, ".dlg") == 0;
}

std::vector<Finding> checkLanguageFile(const std::string &path, int codepage, const LanguageTexts *open,
                                       std::vector<Finding> *judged) {
  std::string directory = directoryOf(path);
  /* As the host reads the directory (a file it passes over says why), else on its own. */
  std::vector<LanguageFile> others = readLanguageFiles(directory, {}, codepage, open);
  std::vector<LanguageFile> files;
  for (const LanguageFile &f : others)
    if (fileName(f.path) == fileName(path)) files.push_back(f);
  if (files.empty()) {
    auto it = open ? open->find(path) : LanguageTexts::const_iterator();
    files.push_back(open && it != open->end() ? readLanguageText(path, it->second, codepage)
                                              : readLanguageFile(path, codepage));
  }
  LanguageFile &file = files[0];
  file.path = path;
  for (Finding &f : file.findings) f.file = path;

  std::vector<std::string> dialogs;
  std::error_code error;
  for (std::filesystem::directory_iterator it(directory.empty() ? "." : directory, error), end; !error && it != end;
       it.increment(error))
    if (isDialogPath(it->path().filename().string())) dialogs.push_back(it->path().filename().string());
  if (open) /* a dialog file not yet saved counts too */
    for (const auto &entry : *open)
      if (directoryOf(entry.first) == directory && isDialogPath(entry.first) &&
          std::find(dialogs.begin(), dialogs.end(), fileName(entry.first)) == dialogs.end())
        dialogs.push_back(fileName(entry.first));
  std::sort(dialogs.begin(), dialogs.end());
  Options judging;
  judging.codepage = codepage;
  judging.languages = &files;
  judging.checks = judged != nullptr;
  for (const std::string &name : dialogs) {
    std::string dialog = directory + name;
    auto it = open ? open->find(dialog) : LanguageTexts::const_iterator();
    Analysis a = open && it != open->end() ? analyzeText(it->second, judging) : analyzeFile(dialog, judging);
    if (!usesLanguageFiles(a)) continue;
    checkMessageCount(&file, a, dialog, others);
    if (!judged) continue;
    for (Finding &f : a.findings) {
      if (!f.fromLanguage) continue;
      f.file = dialog;
      f.section = -1; /* of another analysis */
      for (Finding &note : f.notes) {
        note.section = -1;
        if (note.file.empty()) note.file = dialog;
      }
      judged->push_back(std::move(f));
    }
  }
  return file.findings;
}

}  // namespace author
