/*
 * The bridge's settings (code page, root key, trace file), the conversion of
 * texts between our 8-bit code page and the host's UTF-8 through iconv, and
 * the trace that tests read to see what a dialog handed back.
 */
#include "hosts/far2l/bridge.h"

#include <errno.h>
#include <iconv.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

BridgeSettings bridgeSettings;

namespace {

const iconv_t kNoConversion = (iconv_t)-1;
iconv_t toHost = kNoConversion;   /* code page -> UTF-8 */
iconv_t fromHost = kNoConversion; /* UTF-8 -> code page */

/* The iconv name of a code-page setting: a number n is "CPn", anything else
   is taken as iconv spells it. */
std::string iconvName(const std::string &setting) {
  if (!setting.empty() && setting.find_first_not_of("0123456789") == std::string::npos) return "CP" + setting;
  return setting;
}

/* Removes blanks at both ends. */
std::string trimmed(const std::string &text) {
  size_t first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return std::string();
  size_t last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

/* One "name=value" setting into the record; unknown names are ignored. */
void applySetting(const std::string &name, const std::string &value) {
  if (name == "codepage") bridgeSettings.codePage = value;
  else if (name == "rootkey") bridgeSettings.rootKey = value;
  else if (name == "trace") bridgeSettings.trace = value;
}

void readSettingsFile(const std::string &path) {
  FILE *file = fopen(path.c_str(), "r");
  if (!file) return;
  char line[1024];
  while (fgets(line, sizeof line, file)) {
    std::string text(line);
    size_t equals = text.find('=');
    if (text.empty() || text[0] == '#' || text[0] == ';' || equals == std::string::npos) continue;
    applySetting(trimmed(text.substr(0, equals)), trimmed(text.substr(equals + 1)));
  }
  fclose(file);
}

/* Length of the UTF-8 sequence that starts at text (room bytes left), or 0
   when none starts there. Overlong forms and surrogates are refused. */
size_t utf8Sequence(const unsigned char *text, size_t room) {
  unsigned char lead = text[0];
  if (lead < 0x80) return 1;
  size_t length = lead >= 0xC2 && lead <= 0xDF   ? 2
                  : lead >= 0xE0 && lead <= 0xEF ? 3
                  : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                 : 0;
  if (length == 0 || length > room) return 0;
  for (size_t i = 1; i < length; i++)
    if ((text[i] & 0xC0) != 0x80) return 0;
  if (lead == 0xE0 && text[1] < 0xA0) return 0;
  if (lead == 0xED && text[1] > 0x9F) return 0;
  if (lead == 0xF0 && text[1] < 0x90) return 0;
  if (lead == 0xF4 && text[1] > 0x8F) return 0;
  return length;
}

/* Runs one conversion over the whole text; an input that cannot be
   converted gives '?' and is skipped (skip(in, left) bytes of it). Without
   a conversion the text is copied. */
std::string convert(iconv_t conversion, const char *text, size_t length,
                    size_t (*skip)(const unsigned char *, size_t)) {
  if (!text || length == 0) return std::string();
  if (conversion == kNoConversion) return std::string(text, length);
  iconv(conversion, nullptr, nullptr, nullptr, nullptr);
  std::string out;
  char buffer[256];
  char *in = const_cast<char *>(text);
  size_t left = length;
  while (left > 0) {
    char *to = buffer;
    size_t room = sizeof buffer;
    size_t done = iconv(conversion, &in, &left, &to, &room);
    out.append(buffer, (size_t)(to - buffer));
    if (done != (size_t)-1) break;
    if (errno == E2BIG) continue;
    /* EILSEQ or EINVAL: one character that does not convert. */
    size_t step = skip(reinterpret_cast<const unsigned char *>(in), left);
    out.push_back('?');
    in += step;
    left -= step;
    iconv(conversion, nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

size_t skipByte(const unsigned char *, size_t) { return 1; }

size_t skipUtf8(const unsigned char *text, size_t left) {
  size_t length = utf8Sequence(text, left);
  return length ? length : 1;
}

}  // namespace

void BridgeLoadSettings(const char *folder) {
  bridgeSettings = BridgeSettings();
  if (folder && folder[0]) {
    std::string path(folder);
    if (path.back() != '/') path += '/';
    readSettingsFile(path + "bridge.conf");
  }
  const struct {
    const char *variable;
    const char *name;
  } overrides[] = {
      {"TESSEL_FAR2L_CODEPAGE", "codepage"}, {"TESSEL_FAR2L_ROOTKEY", "rootkey"}, {"TESSEL_FAR2L_TRACE", "trace"}};
  for (const auto &entry : overrides) {
    const char *value = getenv(entry.variable);
    if (value) applySetting(entry.name, value);
  }
  if (toHost != kNoConversion) iconv_close(toHost);
  if (fromHost != kNoConversion) iconv_close(fromHost);
  std::string name = iconvName(bridgeSettings.codePage);
  toHost = iconv_open("UTF-8", name.c_str());
  fromHost = iconv_open(name.c_str(), "UTF-8");
  if (toHost == kNoConversion || fromHost == kNoConversion)
    BridgeTrace("code page %s unknown: texts pass unconverted", name.c_str());
}

int BridgeIsUtf8(const char *text, size_t length) {
  const unsigned char *bytes = reinterpret_cast<const unsigned char *>(text);
  int high = 0;
  for (size_t i = 0; i < length;) {
    size_t step = utf8Sequence(bytes + i, length - i);
    if (step == 0) return 0;
    if (step > 1) high = 1;
    i += step;
  }
  return high;
}

std::string BridgeToHost(const char *text, size_t length) {
  if (!text) return std::string();
  if (BridgeIsUtf8(text, length)) return std::string(text, length);
  return convert(toHost, text, length, skipByte);
}

std::string BridgeFromHost(const char *text, size_t length) {
  if (!text) return std::string();
  return convert(fromHost, text, length, skipUtf8);
}

void BridgeTrace(const char *format, ...) {
  if (bridgeSettings.trace.empty()) return;
  FILE *file = fopen(bridgeSettings.trace.c_str(), "a");
  if (!file) return;
  va_list arguments;
  va_start(arguments, format);
  vfprintf(file, format, arguments);
  va_end(arguments);
  fputc('\n', file);
  fclose(file);
}
