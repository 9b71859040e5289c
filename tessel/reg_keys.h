/*
 * The registry as `tessel reg` sees it, shared by the command and the .reg
 * file format: the roots by name, the types beyond the platform layer's
 * four, values read whole, and the one walk over a key and its subkeys.
 */
#ifndef TESSEL_TESSEL_REG_KEYS_H
#define TESSEL_TESSEL_REG_KEYS_H

#include <stdint.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace reg {

/* Registry types beyond the platform layer's four, by their Windows numbers. */
enum { kRegExpandSz = 2, kRegDwordBigEndian = 5, kRegLink = 6, kRegMultiSz = 7, kRegQword = 11 };

/* Longest names the registry keeps: a value name, a key name. */
constexpr uint32_t kValueNameRoom = 16384;
constexpr uint32_t kKeyNameRoom = 256;

/* A root the registry keeps, by both its names. */
struct RootName {
  const char *longName;
  const char *shortName;
  HKEY key;
};

/* The root whose long or short name ("HKEY_CURRENT_USER", "HKCU"; any
   case) text begins with, followed by the end or a backslash; null for
   none. *below is set to the text after the root's name: empty, or the
   backslash and what follows it. */
const RootName *readRootName(const char *text, const char **below);

/* True when a and b are equal but for ASCII case. */
bool sameText(const char *a, const char *b);

/* True when text begins with prefix, ASCII case ignored. */
bool startsWith(const char *text, const char *prefix);

/* The value of a hexadecimal digit, or -1. */
int hexDigit(char c);

/* Text up to the first NUL of data. */
std::string textOf(const std::string &data);

/* The number in the first bytes of data, least significant first (data
   holds at least that many). */
uint64_t littleEndian(const std::string &data, size_t bytes);

/* True for the types that hold text: REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ. */
bool isTextType(uint32_t type);

/* A value read whole. */
struct Value {
  std::string name;
  uint32_t type;
  std::string data;
};

/* Reads the index-th value of key into *value. Returns the registry status
   (PL_ERROR_NO_MORE_ITEMS past the last). */
long readValueAt(HKEY key, uint32_t index, Value *value);

/* Reads the named value of key into *value (its name as given); returns
   the registry status. */
long readValue(HKEY key, const char *name, Value *value);

/* The names of key's immediate subkeys, in the registry's order. */
std::vector<std::string> subkeyNames(HKEY key);

/* Called for each key of a walk: its open handle, its name as reg shows it
   (the shown name of the walk's key, then "\subkey" per level) and its
   depth (0 for the walk's own key). */
typedef std::function<void(HKEY key, const std::string &shown, int depth)> KeyVisitor;

/* Visits key, then each subkey's tree in the registry's order, depth
   first; a subkey that cannot be opened for reading is passed over. */
void walkKeys(HKEY key, const std::string &shown, const KeyVisitor &visit);

}  // namespace reg

#endif
