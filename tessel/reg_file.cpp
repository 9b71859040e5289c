/*
 * .reg files: writing a tree as version 5.00 text (quoted strings, dword:
 * and hex lists wrapped as the format wraps them) and reading version 5.00
 * or REGEDIT4 files, with their escapes, continued hex lines and deletions.
 * The registry's text is 8-bit; version 5.00 files hold UTF-16, one unit per
 * byte, and units past 0xFF read back as '?'.
 */
#include "tessel/reg_file.h"

#include <stdlib.h>
#include <string.h>

#include "tessel/reg_keys.h"

namespace reg {

namespace {

const char kHeader5[] = "Windows Registry Editor Version 5.00";
const char kHeader4[] = "REGEDIT4";

/* A line of hex data grows past this many characters before it wraps. */
constexpr size_t kHexLineWidth = 76;

/* ---- writing --------------------------------------------------------- */

/* 8-bit registry text as UTF-16 code units: each byte is one unit. */
std::string widen(const std::string &text) {
  std::string wide;
  for (unsigned char c : text) {
    wide.push_back((char)c);
    wide.push_back(0);
  }
  return wide;
}

std::string quoted(const std::string &text) {
  std::string q = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') q += '\\', q += c;
    else if (c == '\n') q += "\\n";
    else q += c;
  }
  return q + "\"";
}

/* hex:xx,xx,... wrapped as .reg files wrap it: a line that has grown past
   kHexLineWidth characters ends with a backslash and the next begins with
   two spaces. */
void appendHex(std::string *line, std::string *file, const std::string &bytes) {
  static const char kHex[] = "0123456789abcdef";
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = (unsigned char)bytes[i];
    *line += kHex[c >> 4];
    *line += kHex[c & 15];
    if (i + 1 == bytes.size()) break;
    *line += ',';
    if (line->size() > kHexLineWidth) {
      *file += *line + "\\\n";
      *line = "  ";
    }
  }
}

/* One value as a .reg line, appended to file. */
void writeValue(const Value &value, std::string *file) {
  std::string line = value.name.empty() ? "@=" : quoted(value.name) + "=";
  char prefix[32];
  if (value.type == PL_REG_SZ && !value.data.empty() && value.data.find('\0') == value.data.size() - 1) {
    line += quoted(textOf(value.data));
  } else if (value.type == PL_REG_DWORD && value.data.size() == 4) {
    snprintf(prefix, sizeof prefix, "dword:%08x", (unsigned)littleEndian(value.data, 4));
    line += prefix;
  } else {
    if (value.type == PL_REG_BINARY) line += "hex:";
    else {
      snprintf(prefix, sizeof prefix, "hex(%x):", (unsigned)value.type);
      line += prefix;
    }
    appendHex(&line, file, isTextType(value.type) ? widen(value.data) : value.data);
  }
  *file += line + "\n";
}

/* ---- reading --------------------------------------------------------- */

/* The state of an import: the key that value lines go to (null while the
   last key line failed or deleted a key), and the file's format. */
struct Import {
  HKEY key;
  bool unicode; /* version 5.00 of UTF-16: text types hold UTF-16 */
  std::vector<std::string> *failedKeys;
};

/* Reads a quoted string at *p (just past its opening quote), unescaping;
   leaves *p past the closing quote. False when it does not end. */
bool readQuoted(const char **p, std::string *text) {
  text->clear();
  for (const char *s = *p; *s; ++s) {
    if (*s == '"') {
      *p = s + 1;
      return true;
    }
    if (*s == '\\' && s[1]) {
      ++s;
      *text += *s == 'n' ? '\n' : *s;
    } else {
      *text += *s;
    }
  }
  return false;
}

/* Reads "xx,xx,..." into bytes; false on anything else. */
bool readHexList(const char *p, std::string *bytes) {
  bytes->clear();
  for (;;) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) return true;
    int high = hexDigit(p[0]);
    int low = high < 0 ? -1 : hexDigit(p[1]);
    if (low < 0) {
      if (high < 0) return false;
      bytes->push_back((char)high);
      ++p;
    } else {
      bytes->push_back((char)(high * 16 + low));
      p += 2;
    }
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == ',') ++p;
    else if (*p) return false;
  }
}

/* UTF-16 text bytes as the registry's 8-bit text: units past 0xFF read '?'. */
std::string narrow(const std::string &wide) {
  std::string text;
  for (size_t i = 0; i + 1 < wide.size(); i += 2) {
    unsigned unit = (unsigned char)wide[i] | ((unsigned char)wide[i + 1] << 8);
    text.push_back(unit > 0xff ? '?' : (char)unit);
  }
  return text;
}

/* A key line "[ROOT\path]" or "[-ROOT\path]". */
void importKeyLine(Import *state, const std::string &line) {
  if (state->key) plRegCloseKey(state->key);
  state->key = nullptr;
  size_t close = line.rfind(']');
  if (close == std::string::npos) return;
  bool remove = line.size() > 1 && line[1] == '-';
  std::string name = line.substr(remove ? 2 : 1, close - (remove ? 2 : 1));
  const char *rest;
  const RootName *root = readRootName(name.c_str(), &rest);
  if (root) {
    if (*rest == '\\') ++rest;
    if (remove) {
      if (*rest) plRegDeleteTree(root->key, rest);
      return;
    }
    if (plRegCreateKey(root->key, rest, &state->key) == 0) return;
    state->key = nullptr;
  }
  if (!remove) state->failedKeys->push_back(name);
}

/* A value line: "name"=data or @=data; malformed lines are skipped. */
void importValueLine(Import *state, const std::string &line) {
  if (!state->key) return;
  const char *p = line.c_str();
  std::string name;
  if (*p == '@') {
    ++p;
  } else if (*p == '"') {
    ++p;
    if (!readQuoted(&p, &name)) return;
  } else {
    return;
  }
  while (*p == ' ' || *p == '\t') ++p;
  if (*p++ != '=') return;
  while (*p == ' ' || *p == '\t') ++p;

  std::string data;
  uint32_t type;
  if (!strcmp(p, "-")) {
    plRegDeleteValue(state->key, name.c_str());
    return;
  } else if (*p == '"') {
    ++p;
    if (!readQuoted(&p, &data)) return;
    type = PL_REG_SZ;
    data.push_back(0);
  } else if (startsWith(p, "dword:")) {
    p += 6;
    uint64_t number = 0;
    size_t digits = strlen(p);
    if (digits == 0 || digits > 8) return;
    for (; *p; ++p) {
      int d = hexDigit(*p);
      if (d < 0) return;
      number = number * 16 + (uint64_t)d;
    }
    type = PL_REG_DWORD;
    for (int i = 0; i < 4; ++i) data.push_back((char)(number >> (8 * i)));
  } else if (startsWith(p, "hex:")) {
    type = PL_REG_BINARY;
    if (!readHexList(p + 4, &data)) return;
  } else if (startsWith(p, "hex(")) {
    p += 4;
    char *end;
    unsigned long t = strtoul(p, &end, 16);
    if (end == p || end[0] != ')' || end[1] != ':' || t > 0xffffffffUL) return;
    type = (uint32_t)t;
    if (!readHexList(end + 2, &data)) return;
    if (isTextType(type) && state->unicode) data = narrow(data);
  } else {
    return;
  }
  plRegSetValue(state->key, name.c_str(), type, data.data(), (uint32_t)data.size());
}

/* The file's lines as 8-bit text: UTF-16LE (with its byte-order mark) read
   unit by unit, anything else byte by byte; line ends CR LF or LF. */
std::vector<std::string> fileLines(const std::string &bytes, bool *unicode) {
  std::string text;
  *unicode = bytes.size() >= 2 && (unsigned char)bytes[0] == 0xff && (unsigned char)bytes[1] == 0xfe;
  if (*unicode) text = narrow(bytes.substr(2));
  else if (bytes.compare(0, 3, "\xef\xbb\xbf") == 0) text = bytes.substr(3);
  else text = bytes;
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

}  // namespace

std::string regFileText(HKEY key, const std::string &shown) {
  std::string text = std::string(kHeader5) + "\n\n";
  walkKeys(key, shown, [&text](HKEY each, const std::string &eachShown, int) {
    text += "[" + eachShown + "]\n";
    Value value;
    for (uint32_t i = 0; readValueAt(each, i, &value) == 0; ++i) writeValue(value, &text);
    text += "\n";
  });
  return text;
}

std::string regFileBytes(const std::string &text) {
  std::string bytes = "\xff\xfe";
  for (char c : text) {
    if (c == '\n') bytes += widen("\r");
    bytes += widen(std::string(1, c));
  }
  return bytes;
}

bool regFileImport(const std::string &bytes, std::vector<std::string> *failedKeys) {
  Import state = {nullptr, false, failedKeys};
  std::vector<std::string> lines = fileLines(bytes, &state.unicode);
  size_t i = 0;
  while (i < lines.size() && lines[i].empty()) ++i;
  if (i == lines.size() || (lines[i] != kHeader5 && lines[i] != kHeader4)) return false;
  if (lines[i] == kHeader4) state.unicode = false;
  for (++i; i < lines.size(); ++i) {
    std::string line = lines[i];
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == ';') continue;
    line = line.substr(start);
    /* hex data goes on over lines that end with a backslash */
    while (!line.empty() && line.back() == '\\' && i + 1 < lines.size()) {
      line.pop_back();
      std::string next = lines[++i];
      size_t first = next.find_first_not_of(" \t");
      line += first == std::string::npos ? "" : next.substr(first);
    }
    if (line[0] == '[') importKeyLine(&state, line);
    else importValueLine(&state, line);
  }
  if (state.key) plRegCloseKey(state.key);
  return true;
}

}  // namespace reg
