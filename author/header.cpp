/*
 * The C header of a dialog file: the macros of its ENUM table and of its
 * dialogs' names, written so that C89 and C++ compilers take them without a
 * warning, and the unified line diff that tessel header --check prints.
 */
#include "author/header.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <map>
#include <set>

#include "dialog/dialog_internal.h"

namespace author {

namespace {

/* The keywords of C (C89 to C23) and C++ (to C++20), the alternative
   spellings of C++'s operators, and `defined`, which no macro may be named:
   a macro of any of these names breaks the code that includes the header. */
const char *const kKeywords[] = {
    "alignas",      "alignof",
    "and",          "and_eq",
    "asm",          "auto",
    "bitand",       "bitor",
    "bool",         "break",
    "case",         "catch",
    "char",         "char8_t",
    "char16_t",     "char32_t",
    "class",        "co_await",
    "co_return",    "co_yield",
    "compl",        "concept",
    "const",        "const_cast",
    "consteval",    "constexpr",
    "constinit",    "continue",
    "decltype",     "default",
    "defined",      "delete",
    "do",           "double",
    "dynamic_cast", "else",
    "enum",         "explicit",
    "export",       "extern",
    "false",        "float",
    "for",          "friend",
    "goto",         "if",
    "inline",       "int",
    "long",         "mutable",
    "namespace",    "new",
    "noexcept",     "not",
    "not_eq",       "nullptr",
    "operator",     "or",
    "or_eq",        "private",
    "protected",    "public",
    "register",     "reinterpret_cast",
    "requires",     "restrict",
    "return",       "short",
    "signed",       "sizeof",
    "static",       "static_assert",
    "static_cast",  "struct",
    "switch",       "template",
    "this",         "thread_local",
    "throw",        "true",
    "try",          "typedef",
    "typeid",       "typename",
    "typeof",       "typeof_unqual",
    "union",        "unsigned",
    "using",        "virtual",
    "void",         "volatile",
    "wchar_t",      "while",
    "xor",          "xor_eq",
};

/* Why an ENUM name gets no macro; the text completes "ENUM name `x` ...". */
enum Unfit { FIT, NOT_IDENTIFIER, KEYWORD, RESERVED };
const char *const kUnfitText[] = {"", "is no C identifier", "is a keyword of C or C++",
                                  "is reserved to the C and C++ implementations"};

/* Whether name can be a macro of the header, and if not why. A C
   identifier is made of the characters of an ENUM name (the library's
   tsIsNameChar: ASCII letters, digits, '_') and does not begin with a digit.
   Names that begin with '_' are reserved in C, those holding "__" in C++. */
Unfit unfitness(const std::string &name) {
  if (name.empty() || tsIsDigit((unsigned char)name[0])) return NOT_IDENTIFIER;
  for (char c : name)
    if (!tsIsNameChar((unsigned char)c)) return NOT_IDENTIFIER;
  if (name[0] == '_' || name.find("__") != std::string::npos) return RESERVED;
  for (const char *keyword : kKeywords)
    if (name == keyword) return KEYWORD;
  return FIT;
}

/* value as a C89 integer constant: a negative one in parentheses, the
   least one as an expression (2147483648 has no type int). */
std::string cInteger(int32_t value) {
  if (value == INT32_MIN) return "(-2147483647 - 1)";
  if (value < 0) return "(" + std::to_string(value) + ")";
  return std::to_string(value);
}

/* bytes as a C string literal: quotes and backslashes escaped, control bytes
   and bytes from 0x80 on as three-digit octal escapes (so a digit after one
   never extends it), and a '?' after another '?' as "\?", so that no two
   '?' stand together to start a trigraph. */
std::string cString(const std::string &bytes) {
  std::string out = "\"";
  for (size_t i = 0; i < bytes.size(); i++) {
    unsigned char c = (unsigned char)bytes[i];
    if (c == '"' || c == '\\') {
      out += '\\';
      out += (char)c;
    } else if (c == '?' && i > 0 && bytes[i - 1] == '?') {
      out += "\\?";
    } else if (c < 0x20 || c >= 0x7F) {
      char escape[8];
      snprintf(escape, sizeof escape, "\\%03o", c);
      out += escape;
    } else {
      out += (char)c;
    }
  }
  return out + "\"";
}

/* What follows the last '/' of path (all of it when it holds none). */
std::string baseName(const std::string &path) {
  const char *separator = plLastDirSep(path.c_str());
  size_t slash = separator ? (size_t)(separator - path.c_str()) : std::string::npos;
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/* text with every byte that is no letter or digit as '_', runs of '_' as one
   (so that no "__" forms); upper case when upper is set. */
std::string macroPart(const std::string &text, bool upper) {
  std::string out;
  for (char ch : text) {
    unsigned char c = (unsigned char)ch;
    char keep = tsIsLetter(c) || tsIsDigit(c) ? (char)(upper ? tsToUpper(c) : c) : '_';
    if (keep != '_' || out.empty() || out.back() != '_') out += keep;
  }
  return out;
}

/* base, or base_2, base_3, ... : the first that taken does not hold. */
std::string freeName(const std::string &base, const std::set<std::string> &taken) {
  std::string name = base;
  for (int n = 2; taken.count(name); n++)
    name = base + (base.empty() || base.back() != '_' ? "_" : "") + std::to_string(n);
  return name;
}

/* The 1-based line of the byte at offset. */
int lineAt(const Analysis &a, long long offset) {
  return (int)(std::upper_bound(a.lineStarts.begin(), a.lineStarts.end(), offset) - a.lineStarts.begin());
}

/* One #define. */
struct Macro {
  std::string name, value;
};

/* Names past this length do not widen the column of values. */
constexpr size_t kValueColumn = 32;

/* Appends a group of macros under their heading, values in one column. */
void writeGroup(std::string *out, const char *heading, const std::vector<Macro> &macros) {
  if (macros.empty()) return;
  size_t width = 0;
  for (const Macro &m : macros) width = std::max(width, std::min(m.name.size(), kValueColumn));
  *out += std::string("\n/* ") + heading + " */\n";
  for (const Macro &m : macros)
    *out +=
        "#define " + m.name + std::string(m.name.size() < width ? width - m.name.size() + 1 : 1, ' ') + m.value + "\n";
}

/* The include guard: the base name of path in upper case, ending in _H, as
   no macro of taken is named. */
std::string guardName(const std::string &path, const std::set<std::string> &taken) {
  std::string guard = macroPart(baseName(path), true);
  if (!guard.empty() && guard[0] == '_') guard.erase(0, 1); /* reserved */
  if (guard.empty() || tsIsDigit((unsigned char)guard[0])) guard = "TESSEL_" + guard;
  if (guard.size() < 2 || guard.compare(guard.size() - 2, 2, "_H") != 0) guard += guard.back() == '_' ? "H" : "_H";
  return freeName(guard, taken);
}

/* The ENUM entries whose name no later entry repeats: those the library's
   look-ups find (the last entry of a name wins), in table order. */
std::vector<size_t> winningEntries(const std::vector<EnumEntry> &enums) {
  std::map<std::string, size_t> last;
  for (size_t i = 0; i < enums.size(); i++) last[enums[i].name] = i;
  std::vector<size_t> kept;
  for (size_t i = 0; i < enums.size(); i++)
    if (last[enums[i].name] == i) kept.push_back(i);
  return kept;
}

const char kExplanation[] =
    " *\n"
    " * For each name of the file's ENUM table: NAME is the identifier an item\n"
    " * line's identifier field gets for it, and MSG_NAME the message number that\n"
    " * a %L% text or a selected field naming it reads (its position in the\n"
    " * table). A name written twice counts with its last entry, as the library\n"
    " * looks names up. DIALOG_... is the name of each dialog a load can give,\n"
    " * to pass to the library's load.\n";

}  // namespace

Header makeHeader(const Analysis &a, const std::string &file, const std::string &guardFrom) {
  Header h;
  std::set<std::string> taken;
  std::vector<Macro> ids, messages, dialogs;
  std::string leftOut;
  std::vector<size_t> kept = winningEntries(a.enums);
  for (size_t i : kept) {
    const EnumEntry &e = a.enums[i];
    Unfit why = unfitness(e.name);
    if (why != FIT) {
      h.notes.push_back(
          {lineAt(a, e.offset), "ENUM name `" + e.name + "` " + kUnfitText[why] + ": left out of the header"});
      leftOut += " *   " + e.name + ": " + kUnfitText[why] + "\n";
      continue;
    }
    ids.push_back({e.name, cInteger(e.value)});
    taken.insert(e.name);
  }
  for (size_t i : kept) {
    const EnumEntry &e = a.enums[i];
    if (unfitness(e.name) != FIT) continue;
    std::string name = "MSG_" + e.name;
    if (taken.count(name)) {
      h.notes.push_back({lineAt(a, e.offset), "the message number macro `" + name + "` of ENUM name `" + e.name +
                                                  "` would redefine ENUM name `" + name + "`: left out of the header"});
      leftOut += " *   " + name + ": would redefine ENUM name " + name + "\n";
      continue;
    }
    messages.push_back({name, std::to_string(i)});
  }
  for (const Macro &m : messages) taken.insert(m.name);

  std::string guard = guardName(guardFrom, taken);
  taken.insert(guard);

  for (const Section &s : a.sections) {
    if (!s.loaded) continue;
    std::string name = freeName(macroPart("DIALOG_" + s.name, false), taken);
    taken.insert(name);
    dialogs.push_back({name, cString(s.name)});
  }

  /* The file's name in a comment: printable bytes but '?' (no trigraph). */
  std::string shown;
  for (char c : baseName(file)) shown += c >= 0x20 && c < 0x7F && c != '?' ? c : '_';
  std::string &out = h.text;
  out = "/* Generated by tessel header from " + shown + "; edit the dialog file, not this one.\n";
  out += kExplanation;
  if (!leftOut.empty()) out += " *\n * Left out of this header:\n" + leftOut;
  out += " */\n#ifndef " + guard + "\n#define " + guard + "\n";
  writeGroup(&out, "Item identifiers", ids);
  writeGroup(&out, "Message numbers", messages);
  writeGroup(&out, "Dialog names", dialogs);
  out += "\n#endif\n";
  return h;
}

namespace {

/* The lines of text, each with its line feed (the last may lack one). */
std::vector<std::string> splitLines(const std::string &text) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < text.size();) {
    size_t end = text.find('\n', at);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(at, end - at));
    at = end;
  }
  return lines;
}

/* One step of the edit script: ' ' a common line, '-' one of before only,
   '+' one of after only. */
struct Step {
  char kind;
  const std::string *line;
};

/* Line pairs past which the middle of the two texts is not compared. */
constexpr size_t kMostPairs = 4u << 20;

/* The edit script from x to y through their longest common subsequence of
   lines; false when the lines between the common head and tail are too many. */
bool editScript(const std::vector<std::string> &x, const std::vector<std::string> &y, std::vector<Step> *steps) {
  size_t head = 0, tail = 0;
  while (head < x.size() && head < y.size() && x[head] == y[head]) head++;
  while (tail < x.size() - head && tail < y.size() - head && x[x.size() - 1 - tail] == y[y.size() - 1 - tail]) tail++;
  size_t n = x.size() - head - tail, m = y.size() - head - tail;
  if (n > 0 && m > 0 && n > kMostPairs / m) return false;
  /* common[i][j]: length of the longest common subsequence of the middles
     from line i of x and line j of y on. */
  std::vector<uint32_t> common((n + 1) * (m + 1), 0);
  auto at = [&](size_t i, size_t j) -> uint32_t & { return common[i * (m + 1) + j]; };
  for (size_t i = n; i-- > 0;)
    for (size_t j = m; j-- > 0;)
      at(i, j) = x[head + i] == y[head + j] ? at(i + 1, j + 1) + 1 : std::max(at(i + 1, j), at(i, j + 1));
  for (size_t k = 0; k < head; k++) steps->push_back({' ', &x[k]});
  size_t i = 0, j = 0;
  while (i < n || j < m) {
    if (i < n && j < m && x[head + i] == y[head + j]) {
      steps->push_back({' ', &x[head + i]});
      i++, j++;
    } else if (i < n && (j == m || at(i + 1, j) >= at(i, j + 1))) {
      steps->push_back({'-', &x[head + i++]}); /* removals before additions, as diff shows them */
    } else {
      steps->push_back({'+', &y[head + j++]});
    }
  }
  for (size_t k = x.size() - tail; k < x.size(); k++) steps->push_back({' ', &x[k]});
  return true;
}

/* A hunk's range as the header "@@ -start,count ..." writes it: a range of
   no lines starts at the line before it. */
std::string range(size_t before, size_t count) {
  std::string text = std::to_string(count ? before + 1 : before);
  return count == 1 ? text : text + "," + std::to_string(count);
}

/* Lines of context around each change. */
constexpr size_t kContext = 3;

}  // namespace

std::string unifiedDiff(const std::string &before, const std::string &after, const std::string &beforeName,
                        const std::string &afterName) {
  if (before == after) return "";
  std::string out = "--- " + beforeName + "\n+++ " + afterName + "\n";
  std::vector<std::string> x = splitLines(before), y = splitLines(after);
  std::vector<Step> steps;
  if (!editScript(x, y, &steps)) return out + "(the files differ; too many lines to compare them line by line)\n";
  /* Lines of x and y before each step. */
  std::vector<size_t> xBefore(steps.size() + 1, 0), yBefore(steps.size() + 1, 0);
  for (size_t k = 0; k < steps.size(); k++) {
    xBefore[k + 1] = xBefore[k] + (steps[k].kind != '+');
    yBefore[k + 1] = yBefore[k] + (steps[k].kind != '-');
  }
  size_t k = 0;
  while (k < steps.size()) {
    while (k < steps.size() && steps[k].kind == ' ') k++;
    if (k == steps.size()) break;
    size_t start = k >= kContext ? k - kContext : 0, last = k;
    /* A hunk goes on while at most twice the context lies between changes. */
    for (size_t s = k + 1; s < steps.size() && s - last - 1 <= 2 * kContext; s++)
      if (steps[s].kind != ' ') last = s;
    size_t end = std::min(steps.size(), last + 1 + kContext);
    out += "@@ -" + range(xBefore[start], xBefore[end] - xBefore[start]) + " +" +
           range(yBefore[start], yBefore[end] - yBefore[start]) + " @@\n";
    for (size_t s = start; s < end; s++) {
      const std::string &line = *steps[s].line;
      out += steps[s].kind + line;
      if (line.empty() || line.back() != '\n') out += "\n\\ No newline at end of file\n";
    }
    k = end;
  }
  return out;
}

}  // namespace author
