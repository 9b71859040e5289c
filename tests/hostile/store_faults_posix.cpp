// The Flens plug-in on a POSIX registry store that cannot serve it: corrupt,
// another program's database, read-only, or on a disk that takes no more
// bytes. What cannot be read leaves the plug-in on its defaults; what cannot
// be written leaves the store as it was while memory takes the new choice. Each row runs the plug-in in a child process
// of its own (one that may not override file permissions, or may not grow any file), starts it, confirms its
// configuration dialog with new choices, and reports; the row states what the plug-in then works with and what the
// store holds after.
#include <gtest/gtest.h>

#include <signal.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "viewer/plugin_host.h"

using namespace flens_test;

namespace {

const uid_t kNobody = 65534;

enum Fault { kNoFault, kReadOnly, kFullDisk };

std::string readBytes(const fs::path &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// What the child saw, one line per step.
std::string runPlugin(Plugin &plugin, const std::string &rootKey, const std::string &debugLog) {
  std::string report;
  Host host(rootKey);
  plugin.start(host);  // the parent's debug output was taken before the fork
  // Registry lines of the start-up: "ok" when the settings key opened.
  report += "start " + escapedText(readBytes(debugLog).c_str()) + " mode " + std::to_string(plugin.setLngMode());
  PluginInfo info;
  memset(&info, 0, sizeof info);
  plugin.getPluginInfo(&info);
  report += info.pluginConfigStringsNumber == 1 ? " enabled" : " disabled";

  // The user chooses item identifiers (the second radio button), leaves the
  // check box clear and confirms.
  host.dialogScript.push_back([](DialogItem *items, int count) {
    int box = findItem(items, count, DI_CHECKBOX);
    if (box >= 0) items[box].selected = 0;
    for (int k = 0; k < 3; k++) {
      int at = findItem(items, count, DI_RADIOBUTTON, k);
      if (at >= 0) items[at].selected = k == 1;
    }
    return findItem(items, count, DI_BUTTON, 0);
  });
  int result = plugin.configure(0);
  std::string opening = "(no dialog)";
  if (!host.dialogs.empty()) {
    const std::vector<DialogItem> &items = host.dialogs[0];
    int box = findItem(items.data(), (int)items.size(), DI_CHECKBOX);
    int radio = -1;
    for (int k = 0; k < 3; k++) {
      int at = findItem(items.data(), (int)items.size(), DI_RADIOBUTTON, k);
      if (at >= 0 && items[at].selected) radio = k;
    }
    opening = "check " + std::to_string(box >= 0 ? (int)items[box].selected : -1) + " radio " + std::to_string(radio);
  }
  report +=
      "; configure " + std::to_string(result) + " opened " + opening + " mode " + std::to_string(plugin.setLngMode());
  memset(&info, 0, sizeof info);
  plugin.getPluginInfo(&info);
  report += info.pluginConfigStringsNumber == 1 ? " enabled" : " disabled";
  return report;
}

// Forks; the child takes on the fault, runs the plug-in and writes its
// report to the parent.
std::string inChild(Plugin &plugin, const std::string &rootKey, const std::string &store, const std::string &debugLog,
                    Fault fault) {
  int pipes[2];
  if (pipe(pipes) != 0) return "no pipe";
  pid_t pid = fork();
  if (pid == 0) {
    close(pipes[0]);
    setenv("TESSEL_REGISTRY", store.c_str(), 1);
    setenv("TESSEL_DEBUG_LOG", debugLog.c_str(), 1);
    if (fault == kReadOnly && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(2);
    if (fault == kFullDisk) {
      // No file may reach past its first 512 bytes: room for the debug
      // lines, none for a database page or a journal.
      signal(SIGXFSZ, SIG_IGN);
      struct rlimit full = {512, 512};
      if (setrlimit(RLIMIT_FSIZE, &full) != 0) _exit(3);
    }
    std::string report = runPlugin(plugin, rootKey, debugLog);
    ssize_t put = write(pipes[1], report.data(), report.size());
    _exit(put == (ssize_t)report.size() ? 0 : 4);
  }
  close(pipes[1]);
  std::string report;
  char chunk[512];
  ssize_t got;
  while ((got = read(pipes[0], chunk, sizeof chunk)) > 0) report.append(chunk, (size_t)got);
  close(pipes[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) report += " [child status " + std::to_string(status) + "]";
  return report;
}

// The settings a store holds for a root key, read as the parent (whatever
// the fault was): "LngMode <value> Disable <value>".
std::string storedSettings(const std::string &store, const std::string &rootKey) {
  std::string saved = getenv("TESSEL_REGISTRY") ? getenv("TESSEL_REGISTRY") : "";
  setenv("TESSEL_REGISTRY", store.c_str(), 1);
  std::string path = settingsPath(rootKey);
  std::string out = "LngMode " + storedValue(path, "LngMode") + ", Disable " + storedValue(path, "Disable");
  setenv("TESSEL_REGISTRY", saved.c_str(), 1);
  return out;
}

// A store holding LngMode 2 (localised texts) and Disable 1 for a root key.
void seedStore(const std::string &store, const std::string &rootKey) {
  std::string saved = getenv("TESSEL_REGISTRY") ? getenv("TESSEL_REGISTRY") : "";
  setenv("TESSEL_REGISTRY", store.c_str(), 1);
  storeDword(settingsPath(rootKey), "LngMode", 2);
  storeDword(settingsPath(rootKey), "Disable", 1);
  setenv("TESSEL_REGISTRY", saved.c_str(), 1);
}

TEST(StoreFaults, ThePluginKeepsItsDefaultsAndTheStoreItsBytes) {
  enum Prepare { kGarbage, kCutShort, kForeignDatabase, kSeeded, kSeededElsewhere, kNothing };
  struct Row {
    const char *label;
    Prepare prepare;
    Fault fault;
    const char *report;
    const char *storedAfter;
    bool bytesKept;  // the store file is byte for byte as before
  };
  // Without the store, start-up keeps mode 1 and the plug-in enabled; a
  // confirmed dialog opens as described (check 0, first radio button), and
  // memory takes the user's choice (identifiers: mode 2) though nothing can
  // be written.
  const char *kDefaults = "start  mode 1 enabled; configure 1 opened check 0 radio 0 mode 2 enabled";
  const char *kStoredThenMemory = "start ok\\x0a mode 0 disabled; configure 1 opened check 1 radio 2 mode 2 enabled";
  const Row rows[] = {
      {"not a database", kGarbage, kNoFault, kDefaults, "LngMode none, Disable none", true},
      {"a store cut short", kCutShort, kNoFault, kDefaults, "LngMode none, Disable none", true},
      {"another program's database", kForeignDatabase, kNoFault, kDefaults, "LngMode none, Disable none", true},
      {"a full disk, no store yet", kNothing, kFullDisk, kDefaults, "LngMode none, Disable none", false},
      // The settings key would have to be made: refused.
      {"a read-only store without the plug-in's key", kSeededElsewhere, kReadOnly, kDefaults,
       "LngMode none, Disable none", true},
      // A store that can be read but not written: the key exists, so opening
      // it writes nothing and the stored settings (localised texts, disabled)
      // are read; the confirmed choice lives in memory only.
      {"a read-only store holding settings", kSeeded, kReadOnly, kStoredThenMemory, "LngMode dword 2, Disable dword 1",
       true},
      {"a full disk under stored settings", kSeeded, kFullDisk, kStoredThenMemory, "LngMode dword 2, Disable dword 1",
       true},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    fs::path dir = freshDir();
    std::string store = (dir / "store" / "registry.sqlite3").string();
    fs::create_directories(dir / "store");
    std::string rootKey = "Software\\TesselTests\\StoreFaults";
    switch (row.prepare) {
      case kGarbage:
        writeFile(store, std::string(8192, 'x'));
        break;
      case kCutShort: {
        seedStore(store, rootKey);
        std::string good = readBytes(store);
        writeFile(store, good.substr(0, 600));
        break;
      }
      case kForeignDatabase: {
        sqlite3 *db = nullptr;
        ASSERT_EQ(sqlite3_open(store.c_str(), &db), SQLITE_OK);
        sqlite3_exec(db, "CREATE TABLE notes(text)", nullptr, nullptr, nullptr);
        sqlite3_close(db);
        break;
      }
      case kSeeded:
        seedStore(store, rootKey);
        break;
      case kSeededElsewhere:
        seedStore(store, "Software\\TesselTests\\SomeoneElse");
        break;
      case kNothing:
        break;
    }
    std::string before = readBytes(store);
    if (row.fault == kReadOnly) {
      chmod(store.c_str(), 0444);
      chmod((dir / "store").c_str(), 0555);
    }
    // A debug log the child can write whoever it runs as.
    std::string debugLog = (dir / "debug.log").string();
    writeFile(debugLog, "");
    chmod(debugLog.c_str(), 0666);

    Plugin plugin = installPlugin(kWithLibrary);
    ASSERT_TRUE(plugin.ok());
    takeDebugOutput();
    EXPECT_EQ(inChild(plugin, rootKey, store, debugLog, row.fault), row.report);

    chmod((dir / "store").c_str(), 0755);
    if (row.bytesKept) {
      EXPECT_EQ(readBytes(store), before) << "the store was written";
    }
    EXPECT_EQ(storedSettings(store, rootKey), row.storedAfter);
  }
}

}  // namespace
