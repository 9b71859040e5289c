/*
 * Names of the registry's roots and types, values read whole through the
 * platform layer's two-step query (size, then data), and the walk over a
 * key's tree that query /s, query /v /s and export share.
 */
#include "tessel/reg_keys.h"

#include <string.h>

namespace reg {

namespace {

/* The roots this registry keeps. */
const RootName kRoots[] = {
    {"HKEY_CURRENT_USER", "HKCU", PL_HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", PL_HKEY_LOCAL_MACHINE},
};

void walkFrom(HKEY key, const std::string &shown, int depth, const KeyVisitor &visit) {
  visit(key, shown, depth);
  for (const std::string &sub : subkeyNames(key)) {
    HKEY child;
    if (plRegOpenKey(key, sub.c_str(), PL_KEY_READ, &child)) continue;
    walkFrom(child, shown + "\\" + sub, depth + 1, visit);
    plRegCloseKey(child);
  }
}

}  // namespace

const RootName *readRootName(const char *text, const char **below) {
  for (const RootName &root : kRoots) {
    for (const char *name : {root.longName, root.shortName}) {
      if (!startsWith(text, name)) continue;
      const char *rest = text + strlen(name);
      if (*rest != 0 && *rest != '\\') continue;
      *below = rest;
      return &root;
    }
  }
  return nullptr;
}

bool sameText(const char *a, const char *b) {
  for (; *a && *b; ++a, ++b) {
    char x = *a, y = *b;
    if (x >= 'A' && x <= 'Z') x = (char)(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = (char)(y - 'A' + 'a');
    if (x != y) return false;
  }
  return *a == *b;
}

bool startsWith(const char *text, const char *prefix) {
  size_t n = strlen(prefix);
  if (strlen(text) < n) return false;
  std::string head(text, n);
  return sameText(head.c_str(), prefix);
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string textOf(const std::string &data) { return data.substr(0, data.find('\0')); }

uint64_t littleEndian(const std::string &data, size_t bytes) {
  uint64_t v = 0;
  for (size_t i = bytes; i-- > 0;) v = (v << 8) | (unsigned char)data[i];
  return v;
}

bool isTextType(uint32_t type) { return type == PL_REG_SZ || type == kRegExpandSz || type == kRegMultiSz; }

long readValueAt(HKEY key, uint32_t index, Value *value) {
  std::vector<char> name(kValueNameRoom);
  uint32_t size = 0;
  long error = plRegEnumValue(key, index, name.data(), kValueNameRoom, &value->type, nullptr, &size);
  if (error) return error;
  value->name = name.data();
  value->data.assign(size, 0);
  error = plRegQueryValue(key, value->name.c_str(), &value->type, size ? &value->data[0] : nullptr, &size);
  if (!error) value->data.resize(size);
  return error;
}

long readValue(HKEY key, const char *name, Value *value) {
  uint32_t size = 0;
  long error = plRegQueryValue(key, name, &value->type, nullptr, &size);
  if (error) return error;
  value->name = name;
  value->data.assign(size, 0);
  error = plRegQueryValue(key, name, &value->type, size ? &value->data[0] : nullptr, &size);
  if (!error) value->data.resize(size);
  return error;
}

std::vector<std::string> subkeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[kKeyNameRoom + 1];
  for (uint32_t i = 0; plRegEnumKey(key, i, name, sizeof name) == 0; ++i) names.push_back(name);
  return names;
}

void walkKeys(HKEY key, const std::string &shown, const KeyVisitor &visit) { walkFrom(key, shown, 0, visit); }

}  // namespace reg
