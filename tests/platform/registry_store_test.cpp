// The POSIX registry store under fault: where it lives, that reads never
// create it, and that a corrupt, read-only, missing, full or contended store,
// or a writer killed mid-transaction, gives failed calls or old-or-new
// values, never a crash or a half-written value.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <ftw.h>
#include <signal.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace {

int removeEntry(const char *path, const struct stat *, int, struct FTW *) { return remove(path); }

// A scratch directory for one test, removed with everything in it; the
// environment variables the store reads are saved and restored around it.
class Store : public ::testing::Test {
 protected:
  std::string dir;
  std::string saved[3];
  bool had[3] = {};
  static constexpr const char *kVars[3] = {"TESSEL_REGISTRY", "XDG_CONFIG_HOME", "HOME"};

  void SetUp() override {
    char pattern[] = "/tmp/tessel-store-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    for (int i = 0; i < 3; ++i) {
      const char *v = getenv(kVars[i]);
      had[i] = v != nullptr;
      if (v) saved[i] = v;
    }
    useStore(file("registry.sqlite3"));
  }
  void TearDown() override {
    chmod(dir.c_str(), 0700);
    nftw(dir.c_str(), removeEntry, 16, FTW_DEPTH | FTW_PHYS);
    for (int i = 0; i < 3; ++i) {
      if (had[i]) setenv(kVars[i], saved[i].c_str(), 1);
      else unsetenv(kVars[i]);
    }
  }
  std::string file(const std::string &name) const { return dir + "/" + name; }
  static void useStore(const std::string &path) { setenv("TESSEL_REGISTRY", path.c_str(), 1); }
};

bool exists(const std::string &path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string readAll(const std::string &path) {
  std::string text;
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return text;
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, got);
  fclose(f);
  return text;
}

void writeAll(const std::string &path, const std::string &bytes) {
  FILE *f = fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), f);
  fclose(f);
}

// Writes a DWORD to HKCU\Software\Tessel\Store; returns the registry status.
long setNumber(const char *name, uint32_t value) {
  HKEY key;
  long error = plRegCreateKey(PL_HKEY_CURRENT_USER, "Software\\Tessel\\Store", &key);
  if (error) return error;
  error = plRegSetValue(key, name, PL_REG_DWORD, &value, 4);
  plRegCloseKey(key);
  return error;
}

// Reads that DWORD back into *value; returns the registry status.
long getNumber(const char *name, uint32_t *value) {
  HKEY key;
  long error = plRegOpenKey(PL_HKEY_CURRENT_USER, "Software\\Tessel\\Store", PL_KEY_READ, &key);
  if (error) return error;
  uint32_t size = 4;
  error = plRegQueryValue(key, name, nullptr, value, &size);
  plRegCloseKey(key);
  return error;
}

TEST_F(Store, ReadsNeverCreateTheStore) {
  HKEY key = nullptr;
  EXPECT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, "Software", PL_KEY_READ, &key), PL_ERROR_FILE_NOT_FOUND);
  uint32_t value = 7, size = 4;
  EXPECT_EQ(plRegQueryValue(PL_HKEY_CURRENT_USER, "x", nullptr, &value, &size), PL_ERROR_FILE_NOT_FOUND);
  char name[16];
  EXPECT_EQ(plRegEnumKey(PL_HKEY_CURRENT_USER, 0, name, sizeof name), PL_ERROR_NO_MORE_ITEMS);
  EXPECT_EQ(plRegDeleteValue(PL_HKEY_CURRENT_USER, "x"), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(plRegDeleteTree(PL_HKEY_CURRENT_USER, "Software"), PL_ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, "", PL_KEY_READ, &key), 0) << "a root is always there";
  plRegCloseKey(key);
  EXPECT_FALSE(exists(file("registry.sqlite3")));

  ASSERT_EQ(setNumber("LngMode", 2), 0);
  EXPECT_TRUE(exists(file("registry.sqlite3")));
  struct stat st;
  ASSERT_EQ(stat(file("registry.sqlite3").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0077, 0u) << "the store is private to its user";
}

TEST_F(Store, AReadOnlyHandleCreatesNothing) {
  // Stricter than Wine, as Windows is: creating a subkey needs write access.
  ASSERT_EQ(setNumber("x", 1), 0);
  HKEY key, child = nullptr;
  ASSERT_EQ(plRegOpenKey(PL_HKEY_CURRENT_USER, "Software\\Tessel", PL_KEY_READ, &key), 0);
  EXPECT_EQ(plRegCreateKey(key, "Child", &child), PL_ERROR_ACCESS_DENIED);
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(plRegDeleteTree(key, "Store"), PL_ERROR_ACCESS_DENIED);
  plRegCloseKey(key);
  uint32_t value = 0;
  EXPECT_EQ(getNumber("x", &value), 0);
}

TEST_F(Store, LocationFollowsTheEnvironmentAtEveryCall) {
  struct Row {
    const char *label;
    const char *registry, *xdg, *home;  // relative to the scratch directory; null: unset
    const char *expected;
  };
  const Row rows[] = {
      {"TESSEL_REGISTRY first", "named.db", "xdg", "home", "named.db"},
      {"then XDG_CONFIG_HOME", nullptr, "xdg", "home", "xdg/tessel/registry.sqlite3"},
      {"an empty TESSEL_REGISTRY counts as unset", "", "xdg2", "home", "xdg2/tessel/registry.sqlite3"},
      {"then HOME", nullptr, nullptr, "home", "home/.config/tessel/registry.sqlite3"},
  };
  uint32_t number = 1;
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    auto set = [&](const char *var, const char *value) {
      if (!value) unsetenv(var);
      else setenv(var, *value ? file(value).c_str() : "", 1);
    };
    set("TESSEL_REGISTRY", row.registry);
    set("XDG_CONFIG_HOME", row.xdg);
    set("HOME", row.home);
    ASSERT_EQ(setNumber("Which", number), 0);
    EXPECT_TRUE(exists(file(row.expected)));
    uint32_t read = 0;
    EXPECT_EQ(getNumber("Which", &read), 0);
    EXPECT_EQ(read, number) << "each store keeps its own values";
    ++number;
  }
  // back to the first store: its value is still its own
  setenv("TESSEL_REGISTRY", file("named.db").c_str(), 1);
  uint32_t read = 0;
  EXPECT_EQ(getNumber("Which", &read), 0);
  EXPECT_EQ(read, 1u);
}

TEST_F(Store, MissingDirectories) {
  useStore(file("a/b/c/registry.sqlite3"));
  uint32_t value = 0;
  EXPECT_EQ(getNumber("x", &value), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(exists(file("a")));
  ASSERT_EQ(setNumber("x", 5), 0) << "a write makes the directories";
  EXPECT_EQ(getNumber("x", &value), 0);
  EXPECT_EQ(value, 5u);

  // a regular file where a directory should be
  writeAll(file("plain"), "not a directory");
  useStore(file("plain/registry.sqlite3"));
  EXPECT_EQ(getNumber("x", &value), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(setNumber("x", 5), PL_ERROR_PATH_NOT_FOUND);
  // the store named is a directory
  useStore(dir);
  EXPECT_EQ(setNumber("x", 5), PL_ERROR_ACCESS_DENIED);
  EXPECT_EQ(getNumber("x", &value), PL_ERROR_ACCESS_DENIED);
}

TEST_F(Store, CorruptStoresAreRefusedAndLeftAlone) {
  ASSERT_EQ(setNumber("Good", 1), 0);
  std::string good = readAll(file("registry.sqlite3"));
  ASSERT_GT(good.size(), 1024u);

  struct Row {
    const char *label;
    std::string bytes;
  };
  std::string garbage(8192, 'x');
  std::string badPages = good;
  for (size_t i = 100; i < badPages.size(); ++i) badPages[i] = (char)(i * 7);
  const Row rows[] = {
      {"not a database at all", garbage},
      {"a store cut short", good.substr(0, 600)},
      {"pages overwritten", badPages},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    writeAll(file("registry.sqlite3"), row.bytes);
    uint32_t value = 0;
    EXPECT_EQ(getNumber("Good", &value), PL_ERROR_BADDB);
    EXPECT_EQ(setNumber("Good", 2), PL_ERROR_BADDB);
    HKEY key;
    EXPECT_EQ(plRegCreateKey(PL_HKEY_LOCAL_MACHINE, "Software", &key), PL_ERROR_BADDB);
    EXPECT_EQ(readAll(file("registry.sqlite3")), row.bytes) << "a corrupt store is never written over";
  }
}

TEST_F(Store, AnotherProgramsDatabaseIsRefused) {
  sqlite3 *db;
  ASSERT_EQ(sqlite3_open(file("registry.sqlite3").c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr), SQLITE_OK);
  sqlite3_close(db);
  uint32_t value;
  EXPECT_EQ(getNumber("x", &value), PL_ERROR_BADDB);
  EXPECT_EQ(setNumber("x", 1), PL_ERROR_BADDB);
}

TEST_F(Store, AnEmptyFileIsAnEmptyStore) {
  writeAll(file("registry.sqlite3"), "");
  uint32_t value;
  EXPECT_EQ(getNumber("x", &value), PL_ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(setNumber("x", 9), 0);
  EXPECT_EQ(getNumber("x", &value), 0);
  EXPECT_EQ(value, 9u);
}

// Runs body in a child process and returns what it wrote to the pipe: one
// registry status per call. With unprivileged set the child cannot override
// file permissions (it runs as nobody when the tests run as root).
std::vector<long> inChild(void (*body)(int fd), bool unprivileged) {
  int pipes[2];
  if (pipe(pipes) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    close(pipes[0]);
    if (unprivileged && geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0)) _exit(2);
    body(pipes[1]);
    _exit(0);
  }
  close(pipes[1]);
  std::vector<long> codes;
  long code;
  while (read(pipes[0], &code, sizeof code) == (ssize_t)sizeof code) codes.push_back(code);
  close(pipes[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
  return codes;
}

void report(int fd, long code) {
  if (write(fd, &code, sizeof code) != (ssize_t)sizeof code) _exit(3);
}

void readThenWrite(int fd) {
  uint32_t value = 0;
  report(fd, getNumber("Kept", &value));
  report(fd, value);
  report(fd, setNumber("Kept", 2));
  report(fd, setNumber("New", 3));
}

TEST_F(Store, ReadOnlyStoresReadButRefuseWrites) {
  struct Row {
    const char *label;
    mode_t fileMode, dirMode;
  };
  const Row rows[] = {
      {"read-only file", 0444, 0755},
      {"read-only directory", 0666, 0555},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    chmod(dir.c_str(), 0700);
    remove(file("registry.sqlite3").c_str());
    ASSERT_EQ(setNumber("Kept", 1), 0);
    chmod(file("registry.sqlite3").c_str(), row.fileMode);
    chmod(dir.c_str(), row.dirMode);
    std::vector<long> codes = inChild(readThenWrite, true);
    ASSERT_EQ(codes.size(), 4u);
    EXPECT_EQ(codes[0], 0) << "reads still work";
    EXPECT_EQ(codes[1], 1);
    EXPECT_EQ(codes[2], PL_ERROR_ACCESS_DENIED);
    EXPECT_EQ(codes[3], PL_ERROR_ACCESS_DENIED);
    chmod(dir.c_str(), 0700);
    uint32_t value = 0;
    EXPECT_EQ(getNumber("Kept", &value), 0);
    EXPECT_EQ(value, 1u);
  }
}

// A value of many pages, every byte the same, so that a torn write shows.
constexpr uint32_t kBlobSize = 512 * 1024;

long setBlob(char fill) {
  std::string bytes(kBlobSize, fill);
  HKEY key;
  long error = plRegCreateKey(PL_HKEY_CURRENT_USER, "Software\\Tessel\\Store", &key);
  if (error) return error;
  error = plRegSetValue(key, "Blob", PL_REG_BINARY, bytes.data(), kBlobSize);
  plRegCloseKey(key);
  return error;
}

// Returns the blob's fill byte, or 0 when it is missing, torn or unreadable.
char blobFill() {
  std::string bytes(kBlobSize + 1, 0);
  HKEY key;
  if (plRegOpenKey(PL_HKEY_CURRENT_USER, "Software\\Tessel\\Store", PL_KEY_READ, &key)) return 0;
  uint32_t size = kBlobSize + 1;
  long error = plRegQueryValue(key, "Blob", nullptr, &bytes[0], &size);
  plRegCloseKey(key);
  if (error || size != kBlobSize) return 0;
  for (uint32_t i = 1; i < kBlobSize; ++i)
    if (bytes[i] != bytes[0]) return 0;
  return bytes[0];
}

TEST_F(Store, AWriterKilledMidWriteLeavesOldOrNew) {
  ASSERT_EQ(setBlob('A'), 0);
  // Kills spread over the first 60 ms of writing, so that some land inside
  // a transaction (a hot journal left behind) and some between two.
  for (int delay = 0; delay < 60000; delay += 2000) {
    SCOPED_TRACE("killed after " + std::to_string(delay) + " us");
    pid_t pid = fork();
    if (pid == 0) {
      for (int i = 0;; ++i) setBlob(i % 2 ? 'A' : 'B');
    }
    ASSERT_GT(pid, 0);
    usleep(delay);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    char fill = blobFill();
    EXPECT_TRUE(fill == 'A' || fill == 'B') << "fill " << (int)fill;
    EXPECT_EQ(setNumber("After", 1), 0) << "the store takes writes again";
  }
  sqlite3 *db;
  ASSERT_EQ(sqlite3_open(file("registry.sqlite3").c_str(), &db), SQLITE_OK);
  std::string verdict;
  sqlite3_exec(
      db, "PRAGMA integrity_check",
      [](void *out, int, char **values, char **) {
        *static_cast<std::string *>(out) += values[0] ? values[0] : "";
        return 0;
      },
      &verdict, nullptr);
  sqlite3_close(db);
  EXPECT_EQ(verdict, "ok");
}

// Four processes writing and reading their own values of one key at once:
// every write waits its turn, none is lost and none reports an error.
TEST_F(Store, ConcurrentWritersLoseNoWrite) {
  constexpr int kWriters = 4, kWrites = 60;
  ASSERT_EQ(setNumber("Start", 1), 0);
  std::vector<pid_t> children;
  for (int w = 0; w < kWriters; ++w) {
    pid_t pid = fork();
    if (pid == 0) {
      int failures = 0;
      for (int i = 0; i < kWrites; ++i) {
        std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
        uint32_t value = 0;
        failures += setNumber(name.c_str(), (uint32_t)(w * 1000 + i)) != 0;
        failures += getNumber(name.c_str(), &value) != 0 || value != (uint32_t)(w * 1000 + i);
      }
      _exit(failures > 100 ? 100 : failures);
    }
    ASSERT_GT(pid, 0);
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "failures " << WEXITSTATUS(status);
  }
  for (int w = 0; w < kWriters; ++w)
    for (int i = 0; i < kWrites; ++i) {
      std::string name = "W" + std::to_string(w) + "_" + std::to_string(i);
      uint32_t value = 0;
      EXPECT_EQ(getNumber(name.c_str(), &value), 0) << name;
      EXPECT_EQ(value, (uint32_t)(w * 1000 + i)) << name;
    }
}

void writeBeyondTheFileLimit(int fd) {
  signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = {64 * 1024, 64 * 1024};
  setrlimit(RLIMIT_FSIZE, &limit);
  report(fd, setBlob('B'));
}

TEST_F(Store, AFullDiskFailsTheWriteAndKeepsTheOldValue) {
  ASSERT_EQ(setNumber("Small", 1), 0);
  std::vector<long> codes = inChild(writeBeyondTheFileLimit, false);
  chmod(dir.c_str(), 0700);
  ASSERT_EQ(codes.size(), 1u);
  EXPECT_EQ(codes[0], PL_ERROR_DISK_FULL);
  uint32_t value = 0;
  EXPECT_EQ(getNumber("Small", &value), 0);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(blobFill(), 0) << "no half of the blob";
}

TEST_F(Store, AWriterWaitsForAnotherProcesssTransaction) {
  ASSERT_EQ(setNumber("Shared", 1), 0);
  int ready[2];
  ASSERT_EQ(pipe(ready), 0);
  pid_t pid = fork();
  if (pid == 0) {
    sqlite3 *db;
    if (sqlite3_open(file("registry.sqlite3").c_str(), &db) != SQLITE_OK) _exit(1);
    if (sqlite3_exec(db, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK) _exit(1);
    char c = 1;
    if (write(ready[1], &c, 1) != 1) _exit(1);
    usleep(300 * 1000);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    _exit(0);
  }
  char c;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(setNumber("Shared", 2), 0) << "waits out the other transaction";
  uint32_t value = 0;
  EXPECT_EQ(getNumber("Shared", &value), 0);
  EXPECT_EQ(value, 2u);
  waitpid(pid, nullptr, 0);
  close(ready[0]);
  close(ready[1]);
}

}  // namespace
