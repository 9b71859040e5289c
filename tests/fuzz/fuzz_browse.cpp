// Fuzz target for the plug-in's browsing of an arbitrary file. A copy of the
// fuzz build's Flens, its library, description and language files, in a
// directory of the target's own, is loaded by path as the host loads it and
// started once with a scripted stand-in host. Each input sets the language
// mode through the configuration dialog, is written to a file offered to
// OpenFilePlugin, and scripts the menu (which entry is chosen, whether the
// file is deleted or cut first) and every dialog (what the user types, ticks
// and which index closes it). An input may also stand in for the plug-in's
// own FL_main.dlg for one configuration dialog first.
//
// Input: byte 0 options (bits 0-1 the language choice, 3 cancelling the
// configuration first; bits 2-3 the file's extension; bit 4 the input as
// FL_main.dlg too), bytes 1-8 the script, one byte per menu or dialog call,
// the rest the file.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <string>

#include "tests/common/test_host.h"
#include "tests/fuzz/fuzz_file.h"
#include "viewer/viewer.h"

namespace {

constexpr size_t kScriptBytes = 8;
constexpr size_t kHeaderBytes = 1 + kScriptBytes;
constexpr int kModuleNumber = 7;
constexpr int kMenuCallsMax = 16;  // a menu loop longer than the script is a fault

const char *const kExtensions[4] = {".dlg", ".DLG", ".dlgx", ".txt"};

struct Plugin {
  SetStartupInfoFn setStartupInfo;
  ConfigureFn configure;
  OpenFilePluginFn openFilePlugin;
  SetLngModeFn setLngMode;
};

Plugin plugin;
LoadDialogExFn libraryLoad;  // the plug-in's copy of the library
std::string emptyFile;
std::string workDir;
std::string pluginDir;
std::string configFile;     // the plug-in's FL_main.dlg
std::string configContent;  // as the build made it
std::string filePath;
std::string fileContent;

// The script of the current input and where it stands.
const uint8_t *script;
size_t scriptLeft;
int menuCalls;
bool inConfigure;
int configureRadio;  // radio button to select in the configuration dialog, -1 none
bool configureCancel;

bool nextByte(uint8_t *b) {
  if (scriptLeft == 0) return false;
  *b = *script++;
  scriptLeft--;
  return true;
}

// Aborts unless text is terminated within room bytes.
void checkTerminated(const char *text, size_t room) {
  if (!text || !memchr(text, 0, room)) abort();
}

// ---- the stand-in host --------------------------------------------------------

int TS_HOSTAPI menu(int moduleNumber, int, int, int, unsigned, const char *title, const char *, const char *helpTopic,
                    const int *, int *, const MenuEntry *items, int count) {
  if (moduleNumber != kModuleNumber || strcmp(title, "Select Dialog") != 0) abort();
  checkTerminated(helpTopic, 64);
  if (count < 1 || count > 100) abort();
  int marked = 0;
  for (int i = 0; i < count; i++) {
    checkTerminated(items[i].text, sizeof items[i].text);
    if (!items[i].text[0] || items[i].checked || items[i].separator) abort();
    marked += items[i].selected != 0;
  }
  if (marked > 1) abort();
  if (++menuCalls > kMenuCallsMax) abort();

  uint8_t b;
  if (!nextByte(&b)) return -1;
  if (b & 0x80) {
    // The file changes behind the plug-in's back while the menu is open.
    int changed = (b & 1) ? truncate(filePath.c_str(), (off_t)(fileContent.size() / 2)) : unlink(filePath.c_str());
    (void)changed; /* gone already: no matter */
  }
  int v = b & 0x7F;
  if (v < 100) return v;               // an entry, or an index past them
  if (v < 120) return -1 - (v - 100);  // closed
  if (v < 124) return count - 1;       // the last entry
  return v < 126 ? INT_MAX : INT_MIN;
}

int TS_HOSTAPI dialog(int moduleNumber, int, int, int, int, const char *helpTopic, DialogItem *items, int count) {
  if (moduleNumber != kModuleNumber) abort();
  checkTerminated(helpTopic, TS_ITEM_DATA_SIZE);
  if (count < 1 || count > 512) abort();
  for (int i = 0; i < count; i++) checkTerminated(items[i].data, sizeof items[i].data);

  if (inConfigure) {
    int radios = 0, firstButton = -1;
    for (int i = 0; i < count; i++) {
      if (items[i].type == DI_CHECKBOX) items[i].selected = 0;  // never disabled
      if (items[i].type == DI_RADIOBUTTON) items[i].selected = radios++ == configureRadio;
      if (items[i].type == DI_BUTTON && firstButton < 0) firstButton = i;
    }
    return configureCancel ? -1 : firstButton;
  }

  uint8_t b;
  if (!nextByte(&b)) return -1;
  // What the user types: 0 to 511 characters, as a host keeps them.
  size_t typed = (size_t)(b & 7) * 73;
  for (int i = 0; i < count; i++) {
    DialogItem &item = items[i];
    if (item.type == DI_EDIT || item.type == DI_PSWEDIT || item.type == DI_FIXEDIT) {
      memset(item.data, 'a' + (i % 26), typed);
      item.data[typed] = 0;
    } else if ((item.type == DI_CHECKBOX || item.type == DI_RADIOBUTTON) && (b & 8)) {
      item.selected = !item.selected;
    }
  }
  switch (b >> 4) {
    case 0:
      return -1;
    case 1:
      return count;
    case 2:
      return INT_MAX;
    case 3:
      return INT_MIN;
    default:
      return (b >> 4) - 4;  // an index, in range or not
  }
}

int TS_HOSTAPI message(int moduleNumber, unsigned, const char *, const char *const *lines, int lineCount,
                       int buttonCount) {
  if (moduleNumber != kModuleNumber || lineCount < 1 || buttonCount < 0 || buttonCount > lineCount) abort();
  for (int i = 0; i < lineCount; i++) checkTerminated(lines[i], 4096);
  return 0;
}

// Message texts: short ones, and every seventh one longer than an item holds.
const char *TS_HOSTAPI getMsg(int, int number) {
  static std::string text;
  if (number >= 0 && number % 7 == 3) text.assign(700, (char)('A' + number % 26));
  else text = "message " + std::to_string(number);
  return text.c_str();
}

// ---- set-up, once -------------------------------------------------------------

bool readFile(const std::string &path, std::string *content) {
  FILE *f = fopen(path.c_str(), "rb");
  if (!f) return false;
  content->clear();
  char chunk[4096];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) content->append(chunk, got);
  fclose(f);
  return true;
}

bool writeFile(const std::string &path, const std::string &content) {
  FILE *f = fopen(path.c_str(), "wb");
  if (!f) return false;
  fwrite(content.data(), 1, content.size(), f);
  return fclose(f) == 0;
}

bool copyFile(const std::string &from, const std::string &to) {
  std::string content;
  return readFile(from, &content) && writeFile(to, content);
}

// Removes the target's directory and what it holds, at exit.
void removeWorkDir() {
  for (const char *name : {FUZZ_FLENS_FILE, "Dialog.tsl", "FL_main.dlg", "FlensEng.lng"})
    unlink((pluginDir + "/" + name).c_str());
  rmdir(pluginDir.c_str());
  for (const char *extension : kExtensions) unlink((workDir + "/offered" + extension).c_str());
  unlink((workDir + "/no-store").c_str());
  unlink(emptyFile.c_str());
  rmdir(workDir.c_str());
}

void loadPlugin() {
  std::string pattern = fuzzScratchDir() + "/tessel-fuzz-browse-XXXXXX";
  if (!mkdtemp(&pattern[0])) abort();
  workDir = pattern;
  atexit(removeWorkDir);
  // Registry calls fail at once: the store's directory is a plain file.
  std::string blocker = workDir + "/no-store";
  FILE *f = fopen(blocker.c_str(), "w");
  if (!f) abort();
  fclose(f);
  setenv("TESSEL_REGISTRY", (blocker + "/registry.sqlite3").c_str(), 1);
  unsetenv("TESSEL_DEBUG_LOG");

  // The plug-in's directory of this target, so that its FL_main.dlg can be
  // rewritten without touching the build's.
  pluginDir = workDir + "/plugin";
  if (mkdir(pluginDir.c_str(), 0700) != 0) abort();
  std::string bin = FUZZ_BIN_DIR;
  for (const char *name : {FUZZ_FLENS_FILE, "Dialog.tsl", "FL_main.dlg", "FlensEng.lng"})
    if (!copyFile(bin + name, pluginDir + "/" + name)) abort();
  configFile = pluginDir + "/FL_main.dlg";
  if (!readFile(configFile, &configContent)) abort();
  std::string flens = pluginDir + "/" + FUZZ_FLENS_FILE;
  HMODULE module = plLoadLibrary(flens.c_str());
  if (!module) {
    fprintf(stderr, "cannot load %s\n", flens.c_str());
    abort();
  }
  plugin.setStartupInfo = (SetStartupInfoFn)plFindExport(module, "SetStartupInfo");
  plugin.configure = (ConfigureFn)plFindExport(module, "Configure");
  plugin.openFilePlugin = (OpenFilePluginFn)plFindExport(module, "OpenFilePlugin");
  plugin.setLngMode = (SetLngModeFn)plFindExport(module, "SetLngMode");
  if (!plugin.setStartupInfo || !plugin.configure || !plugin.openFilePlugin || !plugin.setLngMode) abort();

  // The library the plug-in loaded from its directory (the same handle).
  emptyFile = workDir + "/empty.dlg";
  if (!writeFile(emptyFile, "")) abort();
  HMODULE library = plLoadLibrary((pluginDir + "/Dialog.tsl").c_str());
  libraryLoad = library ? (LoadDialogExFn)plFindExport(library, "LoadDialogEx") : nullptr;
  if (!libraryLoad) abort();

  static const StartupInfo info =
      testStartupRecord("Flens", kModuleNumber, "Software\\Tessel\\FuzzBrowse", menu, dialog, message, getMsg);
  plugin.setStartupInfo(&info);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  loadPlugin();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size < 1) return 0;
  uint8_t options = data[0];
  script = data + 1;
  scriptLeft = size - 1 < kScriptBytes ? size - 1 : kScriptBytes;
  size_t skip = size < kHeaderBytes ? size : kHeaderBytes;
  fileContent.assign((const char *)data + skip, size - skip);

  // The language mode: radio button 0, 1 or 2 of the configuration dialog
  // (modes 1, 2, 0); 3 cancels once, then confirms with none selected (1).
  static const int kModeOfChoice[4] = {1, 2, 0, 1};
  int choice = options & 3;
  inConfigure = true;
  if (options & 0x10) {
    // The plug-in's own description, hostile for once: any result, then the
    // real one back.
    if (!writeFile(configFile, fileContent)) abort();
    configureCancel = false;
    configureRadio = choice;
    int configured = plugin.configure(0);
    if (configured != 0 && configured != 1) abort();
    if (!writeFile(configFile, configContent)) abort();
  }
  if (choice == 3) {
    configureCancel = true;
    configureRadio = -1;
    if (plugin.configure(0) != 0) abort();
  }
  // Confirming the real configuration dialog with the choice the plug-in
  // already holds from the previous input changes nothing (its settings
  // store is unreachable), so it runs only when something differs.
  static int settledChoice = -1;
  if (choice != settledChoice || (options & 0x10) || choice == 3) {
    configureCancel = false;
    configureRadio = choice == 3 ? -1 : choice;
    if (plugin.configure(0) != 1) abort();
    settledChoice = choice;
  }
  inConfigure = false;
  if (plugin.setLngMode() != kModeOfChoice[choice]) abort();

  const char *extension = kExtensions[(options >> 2) & 3];
  filePath = workDir + "/offered" + extension;
  FILE *file = fopen(filePath.c_str(), "wb");
  if (!file) abort();
  fwrite(fileContent.data(), 1, fileContent.size(), file);
  fclose(file);

  menuCalls = 0;
  intptr_t result = (intptr_t)plugin.openFilePlugin(filePath.c_str(), data, (int)size);
  if (result != -1 && result != -2) abort();
  // A menu shown means the file was taken; a name not ending in .dlg never is.
  if ((menuCalls > 0) != (result == -2)) abort();
  if (strcmp(extension, ".txt") == 0 && result != -1) abort();
  // The offered file stays until the next input with its extension rewrites
  // it, or the run ends.
  // The library keeps the enum names of its last load until the next one: a
  // load from an empty file frees them, so that each input ends with the heap
  // it began with and libFuzzer need not run it again to look for a leak.
  if (libraryLoad(nullptr, -1, emptyFile.c_str(), "none")) abort();
  return 0;
}
