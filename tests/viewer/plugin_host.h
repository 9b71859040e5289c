// Drives the Flens plug-in as the host does: copies the plug-in (with or
// without the library beside it) into a directory of its own, loads it by
// file name, binds its exports by name and hands it a startup record whose
// four slots record every call as one line of text. Menus and dialogs answer
// from scripts; messages come from the plug-in's language file.
#ifndef TESSEL_TESTS_VIEWER_PLUGIN_HOST_H
#define TESSEL_TESTS_VIEWER_PLUGIN_HOST_H

#include <gtest/gtest.h>
#include <string.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "debug_capture.h"
#include "tests/common/test_host.h"
#include "viewer/viewer.h"

namespace flens_test {

namespace fs = std::filesystem;

// ---- Files ------------------------------------------------------------------

// The test program's file name without its extension.
inline std::string programName() {
  char name[1024];
  plModuleFileName(nullptr, name, sizeof name);
  return fs::path(name).stem().string();
}

// <working directory>/<program>-run, emptied at the first call of a run; the
// debug capture starts there. Holds no dot, so the only dots of a test file's
// path are those the test writes.
inline const fs::path &runRoot() {
  static const fs::path root = [] {
    fs::path dir = fs::current_path() / (programName() + "-run");
    std::error_code ignored;
    fs::remove_all(dir, ignored);
    fs::create_directories(dir);
    startDebugCapture(dir.string());
    return dir;
  }();
  return root;
}

// A new, empty directory below the run directory.
inline fs::path freshDir() {
  static int made = 0;
  fs::path dir = runRoot() / std::to_string(++made);
  fs::create_directories(dir);
  return dir;
}

inline void writeFile(const fs::path &path, const std::string &text) { std::ofstream(path, std::ios::binary) << text; }

// A file of the plug-in's folder: the build's bin directory, or the folder
// named by TESSEL_PLUGIN_DIR (with its separator), where the release archive
// was unpacked.
inline std::string binFile(const char *name) {
  const char *dir = getenv("TESSEL_PLUGIN_DIR");
  return std::string(dir && dir[0] ? dir : TESSEL_TEST_BIN_DIR) + name;
}

inline void copyFromBin(const char *name, const fs::path &dir) { fs::copy_file(binFile(name), dir / name); }

// The message texts of a language file: every line that begins with a double
// quote, numbered from 0, without its quotes.
inline std::vector<std::string> readLanguageFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> messages;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] != '"') continue;
    size_t end = line.rfind('"');
    messages.push_back(line.substr(1, end > 0 ? end - 1 : 0));
  }
  return messages;
}

// ---- Registry -----------------------------------------------------------------

// A root key no other test uses (the branch of this program is removed at the
// first call of a run).
inline std::string freshRootKey() {
  static const std::string base = [] {
    runRoot();
    std::string key = "Software\\TesselTests\\" + programName();
    plRegDeleteTree(PL_HKEY_CURRENT_USER, key.c_str());
    return key;
  }();
  static int made = 0;
  return base + "\\" + std::to_string(++made);
}

inline std::string settingsPath(const std::string &rootKey) { return rootKey + "\\Formlens\\Config"; }

inline void storeValue(const std::string &path, const char *name, uint32_t type, const void *data, uint32_t size) {
  HKEY key = nullptr;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, path.c_str(), &key), 0) << path;
  EXPECT_EQ(plRegSetValue(key, name, type, data, size), 0) << name;
  plRegCloseKey(key);
}

inline void storeDword(const std::string &path, const char *name, uint32_t value) {
  storeValue(path, name, PL_REG_DWORD, &value, sizeof value);
}

// A stored value as text: "none" (no key or value), "dword N", or its type
// and size.
inline std::string storedValue(const std::string &path, const char *name) {
  HKEY key = nullptr;
  if (plRegOpenKey(PL_HKEY_CURRENT_USER, path.c_str(), PL_KEY_READ, &key) != 0) return "none";
  unsigned char data[64];
  uint32_t type = 0, size = sizeof data;
  long status = plRegQueryValue(key, name, &type, data, &size);
  plRegCloseKey(key);
  if (status != 0) return "none";
  if (type == PL_REG_DWORD && size == 4) {
    uint32_t value;
    memcpy(&value, data, 4);
    return "dword " + std::to_string(value);
  }
  return "type " + std::to_string(type) + " size " + std::to_string(size);
}

inline bool keyExists(const std::string &path) {
  HKEY key = nullptr;
  if (plRegOpenKey(PL_HKEY_CURRENT_USER, path.c_str(), PL_KEY_READ, &key) != 0) return false;
  plRegCloseKey(key);
  return true;
}

// ---- The host -------------------------------------------------------------------

struct Host {
  static Host *&current() {
    static Host *host = nullptr;
    return host;
  }

  StartupInfo startup = {};
  std::string rootKey;
  std::vector<std::string> messages;  // the plug-in's language file
  std::vector<std::string> calls;     // one line per menu, dialog and message call
  std::deque<int> menuResults;        // what each menu returns (-1 once they run out)
  // What each dialog does with its items and returns (-1 once they run out).
  std::deque<std::function<int(DialogItem *, int)>> dialogScript;
  std::vector<std::vector<DialogItem>> dialogs;  // the items as each dialog received them

  static constexpr int kModuleNumber = 7;

  explicit Host(std::string root) : rootKey(std::move(root)) {
    current() = this;
    messages = readLanguageFile(binFile("FlensEng.lng"));
    startup = testStartupRecord("Flens", kModuleNumber, rootKey.c_str(), &menu, &dialog, &message, &getMsg);
  }
  ~Host() { current() = nullptr; }
  Host(const Host &) = delete;
  Host &operator=(const Host &) = delete;

  static int TS_HOSTAPI menu(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                             const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                             const MenuEntry *items, int count) {
    Host *host = current();
    host->calls.push_back("menu " + menuCallLine(moduleNumber, x, y, maxHeight, flags, title, bottom, helpTopic,
                                                 breakKeys, breakCode, items, count));
    if (host->menuResults.empty()) return -1;
    int result = host->menuResults.front();
    host->menuResults.pop_front();
    return result;
  }

  static int TS_HOSTAPI dialog(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                               DialogItem *items, int count) {
    Host *host = current();
    host->calls.push_back("dialog " + dialogCallLine(moduleNumber, x1, y1, x2, y2, helpTopic, count));
    host->dialogs.emplace_back(items, items + count);
    if (host->dialogScript.empty()) return -1;
    auto step = host->dialogScript.front();
    host->dialogScript.pop_front();
    return step(items, count);
  }

  static int TS_HOSTAPI message(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                                int lineCount, int buttonCount) {
    current()->calls.push_back("message " +
                               messageCallLine(moduleNumber, flags, helpTopic, lines, lineCount, buttonCount));
    return 1;
  }

  static const char *TS_HOSTAPI getMsg(int moduleNumber, int messageNumber) {
    (void)moduleNumber;
    Host *host = current();
    static const char empty[] = "";
    if (messageNumber < 0 || messageNumber >= (int)host->messages.size()) return empty;
    return host->messages[messageNumber].c_str();
  }
};

// The index of the nth item (from 0) of a type, or -1.
inline int findItem(const DialogItem *items, int count, int type, int nth = 0) {
  for (int i = 0; i < count; i++)
    if (items[i].type == type && nth-- == 0) return i;
  return -1;
}

// ---- The plug-in ------------------------------------------------------------------

struct Plugin {
  fs::path dir;
  HMODULE module = nullptr;
  DllMainFn dllMain = nullptr;
  SetStartupInfoFn setStartupInfo = nullptr;
  GetPluginInfoFn getPluginInfo = nullptr;
  ConfigureFn configure = nullptr;
  OpenFilePluginFn openFilePlugin = nullptr;
  SetLngModeFn setLngMode = nullptr;

  bool ok() const { return dllMain && setStartupInfo && getPluginInfo && configure && openFilePlugin && setLngMode; }
  // The host's start-up call; the debug output before it is dropped.
  void start(Host &host) {
    takeDebugOutput();
    setStartupInfo(&host.startup);
  }
  intptr_t open(const fs::path &file) { return (intptr_t)openFilePlugin(file.string().c_str(), nullptr, 0); }
};

enum Library { kWithoutLibrary, kWithLibrary };

// A fresh copy of the plug-in, its description and language files and, when
// asked, the library, in a directory of its own, loaded as the host loads it.
// Every copy is a module of its own, with its state as at load.
inline Plugin installPlugin(Library library) {
  Plugin plugin;
  plugin.dir = freshDir();
  copyFromBin(TESSEL_FLENS_FILE, plugin.dir);
  copyFromBin("FL_main.dlg", plugin.dir);
  copyFromBin("FlensEng.lng", plugin.dir);
  if (library == kWithLibrary) copyFromBin("Dialog.tsl", plugin.dir);
  plugin.module = plLoadLibrary((plugin.dir / TESSEL_FLENS_FILE).string().c_str());
  EXPECT_NE(plugin.module, nullptr) << (plugin.dir / TESSEL_FLENS_FILE).string();
  if (!plugin.module) return plugin;
  plugin.dllMain = (DllMainFn)plFindExport(plugin.module, "DllMain");
  plugin.setStartupInfo = (SetStartupInfoFn)plFindExport(plugin.module, "SetStartupInfo");
  plugin.getPluginInfo = (GetPluginInfoFn)plFindExport(plugin.module, "GetPluginInfo");
  plugin.configure = (ConfigureFn)plFindExport(plugin.module, "Configure");
  plugin.openFilePlugin = (OpenFilePluginFn)plFindExport(plugin.module, "OpenFilePlugin");
  plugin.setLngMode = (SetLngModeFn)plFindExport(plugin.module, "SetLngMode");
  return plugin;
}

// A description file with one dialog per name, in order; the one text item
// of the nth section shows "dialog <n>".
inline std::string describeDialogs(const std::vector<std::string> &names) {
  std::string text = "; generated by the test\n";
  for (size_t i = 0; i < names.size(); i++)
    text += "name \"" + names[i] + "\"\nTEXT 0 2 1 0 1 F 0 () F %T% \"dialog " + std::to_string(i) + "\"\n";
  return text;
}

// The text of the first item of the last dialog shown, or "(none)".
inline std::string lastShownText(const Host &host) {
  if (host.dialogs.empty() || host.dialogs.back().empty()) return "(none)";
  return host.dialogs.back()[0].data;
}

}  // namespace flens_test

#endif
