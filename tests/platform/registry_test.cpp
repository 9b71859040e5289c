// The registry calls of the platform layer, run alike on both platforms: on
// Win32 against the real registry (a unique key below
// HKCU\Software\Tessel\Test, deleted at the end), on POSIX against a scratch
// store that ctest names in TESSEL_REGISTRY.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

// A key path below HKCU that no other run uses.
const std::string &testKey() {
  static const std::string key = [] {
    auto ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    return "Software\\Tessel\\Test\\run" + std::to_string(ticks);
  }();
  return key;
}

std::string sub(const std::string &tail) { return testKey() + "\\" + tail; }

// Owns an open key for the length of a scope.
struct Key {
  HKEY handle = nullptr;
  ~Key() {
    if (handle) plRegCloseKey(handle);
  }
};

class Registry : public ::testing::Test {
 protected:
  static void TearDownTestSuite() { plRegDeleteTree(PL_HKEY_CURRENT_USER, testKey().c_str()); }
};

std::string bytesOf(const void *data, size_t size) { return std::string(static_cast<const char *>(data), size); }

struct ValueRow {
  const char *label;
  const char *name;
  uint32_t type;
  std::string bytes;
};

const ValueRow kValues[] = {
    // numbers and text as the library and the plug-in write them
    {"dword", "LngMode", PL_REG_DWORD, std::string("\x02\x00\x00\x00", 4)},
    {"dword high bit", "Big", PL_REG_DWORD, std::string("\xff\xff\xff\xff", 4)},
    {"text with its NUL", "Title", PL_REG_SZ, std::string("Select Dialog\0", 14)},
    {"empty text", "Empty", PL_REG_SZ, std::string("\0", 1)},
    {"default value", "", PL_REG_SZ, std::string("default\0", 8)},
    {"name with spaces", "A name with spaces", PL_REG_SZ, std::string("x\0", 2)},
    // bytes kept exactly
    {"binary with zeros", "Bin", PL_REG_BINARY, std::string("\x00\x01\x80\xff\x00", 5)},
    {"no type, no bytes", "Nothing", PL_REG_NONE, std::string()},
    {"large binary", "Large", PL_REG_BINARY, std::string(70000, '\xa5')},
};

TEST_F(Registry, ValuesRoundTripWithTypeAndBytes) {
  Key key;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("values").c_str(), &key.handle), 0);
  for (const ValueRow &row : kValues) {
    SCOPED_TRACE(row.label);
    ASSERT_EQ(plRegSetValue(key.handle, row.name, row.type, row.bytes.data(), (uint32_t)row.bytes.size()), 0);
    // size and type only
    uint32_t type = 99, size = 0;
    EXPECT_EQ(plRegQueryValue(key.handle, row.name, &type, nullptr, &size), 0);
    EXPECT_EQ(type, row.type);
    EXPECT_EQ(size, row.bytes.size());
    // the bytes, with room to spare
    std::vector<char> data(row.bytes.size() + 8, '?');
    size = (uint32_t)data.size();
    EXPECT_EQ(plRegQueryValue(key.handle, row.name, &type, data.data(), &size), 0);
    EXPECT_EQ(size, row.bytes.size());
    EXPECT_EQ(bytesOf(data.data(), size), row.bytes);
    EXPECT_EQ(data[row.bytes.size()], '?') << "wrote past the value";
    // too little room: the size needed comes back
    if (!row.bytes.empty()) {
      size = (uint32_t)row.bytes.size() - 1;
      EXPECT_EQ(plRegQueryValue(key.handle, row.name, &type, data.data(), &size), PL_ERROR_MORE_DATA);
      EXPECT_EQ(size, row.bytes.size());
    }
  }
}

TEST_F(Registry, ValueNamesIgnoreCaseAndRewritesReplaceTypeAndBytes) {
  Key key;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("rewrite").c_str(), &key.handle), 0);
  uint32_t one = 1;
  ASSERT_EQ(plRegSetValue(key.handle, "Disable", PL_REG_DWORD, &one, 4), 0);
  ASSERT_EQ(plRegSetValue(key.handle, "DISABLE", PL_REG_SZ, "yes", 4), 0);
  char data[16];
  uint32_t type = 0, size = sizeof data;
  EXPECT_EQ(plRegQueryValue(key.handle, "disable", &type, data, &size), 0);
  EXPECT_EQ(type, (uint32_t)PL_REG_SZ);
  EXPECT_EQ(bytesOf(data, size), std::string("yes\0", 4));
  // one value, under the name it was first written with
  char name[32];
  size = sizeof data;
  EXPECT_EQ(plRegEnumValue(key.handle, 0, name, sizeof name, &type, data, &size), 0);
  EXPECT_STREQ(name, "Disable");
  EXPECT_EQ(plRegEnumValue(key.handle, 1, name, sizeof name, &type, data, &size), PL_ERROR_NO_MORE_ITEMS);
}

struct PathRow {
  const char *label;
  const char *create;  // created first (null: nothing)
  const char *open;    // then opened for reading
  long expected;
};

const PathRow kPaths[] = {
    {"missing parents are created", "a\\b\\c", "a\\b\\c", 0},
    {"each parent exists afterwards", "d\\e\\f", "d\\e", 0},
    {"keys compare without case", "MixedCase\\Key", "mixedcase\\KEY", 0},
    {"a trailing separator is ignored", "t\\u", "t\\u\\", 0},
    {"doubled separators count as one", "v\\\\w", "v\\w", 0},
    {"a leading separator is a bad path", nullptr, "\\lead", PL_ERROR_BAD_PATHNAME},
    {"a missing key", nullptr, "nowhere", PL_ERROR_FILE_NOT_FOUND},
    {"a missing key below an existing one", "g", "g\\h", PL_ERROR_FILE_NOT_FOUND},
    {"a name is no prefix", "prefix", "pre", PL_ERROR_FILE_NOT_FOUND},
};

TEST_F(Registry, KeyPaths) {
  for (const PathRow &row : kPaths) {
    SCOPED_TRACE(row.label);
    if (row.create) {
      Key made;
      ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub(std::string("paths\\") + row.create).c_str(), &made.handle),
                0);
      EXPECT_NE(made.handle, nullptr);
    }
    Key opened;
    std::string path = row.open[0] == '\\' ? row.open : sub(std::string("paths\\") + row.open);
    EXPECT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, path.c_str(), PL_KEY_READ, &opened.handle), row.expected);
    EXPECT_EQ(opened.handle == nullptr, row.expected != 0);
  }
}

TEST_F(Registry, KeysOpenRelativeToAnOpenKey) {
  Key base, child, again;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("relative").c_str(), &base.handle), 0);
  ASSERT_EQ(plRegCreateKey(base.handle, "Formlens\\Config", &child.handle), 0);
  uint32_t two = 2;
  ASSERT_EQ(plRegSetValue(child.handle, "LngMode", PL_REG_DWORD, &two, 4), 0);
  ASSERT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, sub("relative\\formlens\\config").c_str(), PL_KEY_READ, &again.handle),
            0);
  uint32_t value = 0, size = 4;
  EXPECT_EQ(plRegQueryValue(again.handle, "LngMode", nullptr, &value, &size), 0);
  EXPECT_EQ(value, 2u);
}

TEST_F(Registry, MissingValues) {
  Key key;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("missing").c_str(), &key.handle), 0);
  uint32_t type = 0, size = 4, data = 0;
  EXPECT_EQ(plRegQueryValue(key.handle, "Nope", &type, &data, &size), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plRegQueryValue(key.handle, nullptr, &type, &data, &size), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plRegDeleteValue(key.handle, "Nope"), PL_ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(plRegSetValue(key.handle, "Here", PL_REG_DWORD, &data, 4), 0);
  EXPECT_EQ(plRegDeleteValue(key.handle, "HERE"), 0);
  EXPECT_EQ(plRegQueryValue(key.handle, "Here", &type, &data, &size), PL_ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, EnumerationListsEachValueAndSubkeyOnce) {
  Key key;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("enum").c_str(), &key.handle), 0);
  const std::vector<std::string> values = {"Zeta", "alpha", "Mid"};
  const std::vector<std::string> keys = {"Sub2", "sub1", "Another"};
  for (const std::string &v : values) ASSERT_EQ(plRegSetValue(key.handle, v.c_str(), PL_REG_SZ, "v", 2), 0);
  for (const std::string &k : keys) {
    Key made;
    ASSERT_EQ(plRegCreateKey(key.handle, (k + "\\deeper").c_str(), &made.handle), 0);
  }
  std::vector<std::string> seen;
  char name[64];
  uint32_t index = 0;
  for (;; ++index) {
    char data[8];
    uint32_t type = 0, size = sizeof data;
    long error = plRegEnumValue(key.handle, index, name, sizeof name, &type, data, &size);
    if (error) {
      EXPECT_EQ(error, PL_ERROR_NO_MORE_ITEMS);
      break;
    }
    EXPECT_EQ(type, (uint32_t)PL_REG_SZ);
    EXPECT_EQ(bytesOf(data, size), std::string("v\0", 2));
    seen.push_back(name);
  }
  std::vector<std::string> expected = values;
  std::sort(seen.begin(), seen.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected);

  seen.clear();
  for (index = 0;; ++index) {
    long error = plRegEnumKey(key.handle, index, name, sizeof name);
    if (error) {
      EXPECT_EQ(error, PL_ERROR_NO_MORE_ITEMS);
      break;
    }
    seen.push_back(name);
  }
  expected = keys;
  std::sort(seen.begin(), seen.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(seen, expected) << "only the immediate subkeys";

  // a name longer than the room is refused, not cut
  char small[3];
  EXPECT_EQ(plRegEnumKey(key.handle, 0, small, sizeof small), PL_ERROR_MORE_DATA);
  EXPECT_EQ(plRegEnumValue(key.handle, 0, small, sizeof small, nullptr, nullptr, nullptr), PL_ERROR_MORE_DATA);
}

TEST_F(Registry, DeleteTreeRemovesEverythingBelow) {
  Key top, inner;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("tree\\x\\y").c_str(), &inner.handle), 0);
  ASSERT_EQ(plRegSetValue(inner.handle, "v", PL_REG_SZ, "1", 2), 0);
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("tree\\keep").c_str(), &top.handle), 0);

  EXPECT_EQ(plRegDeleteTree(PL_HKEY_CURRENT_USER, sub("TREE\\X").c_str()), 0);
  Key probe;
  EXPECT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, sub("tree\\x").c_str(), PL_KEY_READ, &probe.handle),
            PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, sub("tree\\x\\y").c_str(), PL_KEY_READ, &probe.handle),
            PL_ERROR_FILE_NOT_FOUND);
  // a handle on a deleted key reads as deleted; its sibling is untouched
  char data[4];
  uint32_t size = sizeof data;
  EXPECT_EQ(plRegQueryValue(inner.handle, "v", nullptr, data, &size), PL_ERROR_KEY_DELETED);
  Key kept;
  EXPECT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, sub("tree\\keep").c_str(), PL_KEY_READ, &kept.handle), 0);

  EXPECT_EQ(plRegSetValue(inner.handle, "v", PL_REG_SZ, "2", 2), PL_ERROR_KEY_DELETED);
  EXPECT_EQ(plRegCreateKey(inner.handle, "z", &probe.handle), PL_ERROR_KEY_DELETED);
  EXPECT_EQ(plRegEnumKey(inner.handle, 0, data, sizeof data), PL_ERROR_KEY_DELETED);

  EXPECT_EQ(plRegDeleteTree(PL_HKEY_CURRENT_USER, sub("tree\\x").c_str()), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plRegDeleteTree(PL_HKEY_CURRENT_USER, ""), PL_ERROR_INVALID_PARAMETER) << "never a whole root";
}

TEST_F(Registry, AReadOnlyKeyRefusesWrites) {
  {
    Key made;
    ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("readonly").c_str(), &made.handle), 0);
    ASSERT_EQ(plRegSetValue(made.handle, "v", PL_REG_SZ, "1", 2), 0);
  }
  Key key;
  ASSERT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, sub("readonly").c_str(), PL_KEY_READ, &key.handle), 0);
  EXPECT_EQ(plRegSetValue(key.handle, "w", PL_REG_SZ, "1", 2), PL_ERROR_ACCESS_DENIED);
  EXPECT_EQ(plRegDeleteValue(key.handle, "v"), PL_ERROR_ACCESS_DENIED);
  char data[4];
  uint32_t size = sizeof data;
  EXPECT_EQ(plRegQueryValue(key.handle, "v", nullptr, data, &size), 0);
}

TEST_F(Registry, BadArguments) {
  HKEY key = reinterpret_cast<HKEY>(1);
  EXPECT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, testKey().c_str(), 0, &key), PL_ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key, nullptr);
  Key made;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, sub("bad").c_str(), &made.handle), 0);
  char data[4];
  EXPECT_EQ(plRegQueryValue(made.handle, "v", nullptr, data, nullptr), PL_ERROR_INVALID_PARAMETER);
  EXPECT_EQ(plRegSetValue(made.handle, "v", PL_REG_BINARY, nullptr, 4), PL_ERROR_INVALID_PARAMETER);
  EXPECT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, "\\Software", &key), PL_ERROR_BAD_PATHNAME);
  EXPECT_EQ(plRegCloseKey(PL_HKEY_CURRENT_USER), 0) << "closing a root does nothing";
  EXPECT_EQ(plRegCloseKey(PL_HKEY_LOCAL_MACHINE), 0);
}

}  // namespace
