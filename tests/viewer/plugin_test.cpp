// The Flens plug-in with the library beside it, driven as the host drives it:
// start-up and settings from an empty and a seeded registry, the
// configuration dialog confirmed and cancelled, and browsing description
// files with the host's menu scripted.
#include <gtest/gtest.h>

#include "plugin_host.h"

using namespace flens_test;

namespace {

std::string menuLine(const std::string &entries) {
  return "menu 7 at -1,-1 height 0 flags " + std::to_string(MENU_WRAPMODE | MENU_AUTOHIGHLIGHT) +
         " title Select Dialog bottom (null) help Contents keys (null) code (null): " + entries;
}

std::string dialogLine(int width, int height, int items) {
  return "dialog 7 at -1,-1 size " + std::to_string(width) + "x" + std::to_string(height) + " help Contents items " +
         std::to_string(items);
}

// The size of a dialog of describeDialogs.
const std::string kSmallDialog = dialogLine(3, 3, 1);

// A started plug-in with the library beside it and its own root key.
struct Started {
  Plugin plugin = installPlugin(kWithLibrary);
  Host host{freshRootKey()};
  Started() {
    if (plugin.ok()) plugin.start(host);
  }
};

// ---- Start-up and settings -------------------------------------------------------

TEST(StartUp, StoredSettings) {
  const uint32_t none = 0xFFFFFFFFu;
  struct Row {
    const char *label;
    std::vector<unsigned char> lngMode;  // bytes of "LngMode"; empty: not stored
    uint32_t lngType;
    uint32_t disable;  // "Disable", or none
    int mode;          // SetLngMode afterwards
    bool disabled;
  } rows[] = {
      {"nothing stored", {}, 0, none, 1, false},
      {"choice 0: message names", {0, 0, 0, 0}, PL_REG_DWORD, 0, 1, false},
      {"choice 1: identifiers", {1, 0, 0, 0}, PL_REG_DWORD, none, 2, false},
      {"choice 2: localised texts", {2, 0, 0, 0}, PL_REG_DWORD, none, 0, false},
      {"choice 3, which Configure never stores", {3, 0, 0, 0}, PL_REG_DWORD, none, 4, false},
      {"choice 6 keeps its two low bits", {6, 0, 0, 0}, PL_REG_DWORD, none, 0, false},
      {"a value longer than 4 bytes reads as 0", {2, 0, 0, 0, 0}, PL_REG_BINARY, none, 1, false},
      {"disabled", {1, 0, 0, 0}, PL_REG_DWORD, 1, 2, true},
      {"any non-zero Disable disables", {}, 0, 0x100, 1, true},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    Plugin plugin = installPlugin(kWithLibrary);
    ASSERT_TRUE(plugin.ok());
    Host host(freshRootKey());
    std::string path = settingsPath(host.rootKey);
    if (!row.lngMode.empty())
      storeValue(path, "LngMode", row.lngType, row.lngMode.data(), (uint32_t)row.lngMode.size());
    if (row.disable != none) storeDword(path, "Disable", row.disable);
    plugin.start(host);
    EXPECT_EQ(takeDebugOutput(), "ok\n");  // every export bound, the settings key opened
    EXPECT_TRUE(keyExists(path));
    EXPECT_EQ(plugin.setLngMode(), row.mode);
    if (row.lngMode.empty()) {
      EXPECT_EQ(storedValue(path, "LngMode"), "none");  // start-up writes nothing
    }

    // Only the size and, unless disabled, the configuration menu are written.
    PluginInfo info, expected;
    memset(&info, 0xA5, sizeof info);
    memset(&expected, 0xA5, sizeof expected);
    plugin.getPluginInfo(&info);
    expected.structSize = (int32_t)sizeof(PluginInfo);
    if (!row.disabled) {
      ASSERT_NE(info.pluginConfigStrings, expected.pluginConfigStrings);  // written at all
      EXPECT_STREQ(info.pluginConfigStrings[0], "Flens dialog viewer");
      expected.pluginConfigStrings = info.pluginConfigStrings;
      expected.pluginConfigStringsNumber = 1;
    }
    EXPECT_EQ(memcmp(&info, &expected, sizeof info), 0);
    if (row.disabled) {
      writeFile(plugin.dir / "good.dlg", describeDialogs({"One"}));
      EXPECT_EQ(plugin.open(plugin.dir / "good.dlg"), -1);
      EXPECT_TRUE(host.calls.empty());
    }
  }
}

// ---- Configuration dialog ----------------------------------------------------------

enum Close { kOk, kCancelButton, kEscape };

// Plays the user in the configuration dialog: sets the check box (unless -1),
// selects the nth radio button (unless -1) and closes the dialog.
std::function<int(DialogItem *, int)> answerConfig(int check, int radio, Close close) {
  return [=](DialogItem *items, int count) {
    int box = findItem(items, count, DI_CHECKBOX);
    if (check >= 0 && box >= 0) items[box].selected = check;
    for (int k = 0; radio >= 0 && k < 3; k++) {
      int at = findItem(items, count, DI_RADIOBUTTON, k);
      if (at >= 0) items[at].selected = (k == radio);
    }
    if (close == kEscape) return -1;
    return findItem(items, count, DI_BUTTON, close == kOk ? 0 : 1);
  };
}

// The check box state and the selected radio button (-1: none, -2: several)
// of a dialog as the host received it.
void openingStates(const std::vector<DialogItem> &items, int *check, int *radio) {
  int count = (int)items.size();
  int box = findItem(items.data(), count, DI_CHECKBOX);
  *check = box >= 0 ? (int)items[box].selected : -1;
  *radio = -1;
  for (int k = 0; k < 3; k++) {
    int at = findItem(items.data(), count, DI_RADIOBUTTON, k);
    if (at >= 0 && items[at].selected) *radio = *radio == -1 ? k : -2;
  }
}

TEST(Configure, DialogFromStoredValuesAndBack) {
  struct Row {
    const char *label;
    int storedDisable, storedLng;  // -1: not stored
    int openCheck, openRadio;      // what the dialog opens with
    int setCheck, chooseRadio;     // the user's changes (-1: none)
    Close close;
    int result;
    const char *disableAfter, *lngAfter;
    int modeAfter;
  } rows[] = {
      {"Esc keeps registry and memory", 0, 0, 0, 0, 1, 2, kEscape, 0, "dword 0", "dword 0", 1},
      {"the Cancel button closes with -1", 1, 2, 1, 2, 0, 0, kCancelButton, 0, "dword 1", "dword 2", 0},
      {"confirmed: disabled, identifiers", 0, 0, 0, 0, 1, 1, kOk, 1, "dword 1", "dword 1", 2},
      {"confirmed on an empty registry", -1, -1, 0, 0, -1, 2, kOk, 1, "dword 0", "dword 2", 0},
      {"stored 3 selects no button; none stores 0", -1, 3, 0, -1, -1, -1, kOk, 1, "dword 0", "dword 0", 1},
      {"stored 6 is choice 2", -1, 6, 0, 2, -1, -1, kOk, 1, "dword 0", "dword 2", 0},
  };
  const std::vector<std::string> &m = readLanguageFile(binFile("FlensEng.lng"));
  ASSERT_EQ(m.size(), 9u);
  // Built with the localised texts whatever the language mode.
  const std::vector<std::string> texts = {m[1], m[2], "", m[3], m[4], m[5], m[6], "", m[7], m[8]};

  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    Plugin plugin = installPlugin(kWithLibrary);
    ASSERT_TRUE(plugin.ok());
    Host host(freshRootKey());
    std::string path = settingsPath(host.rootKey);
    if (row.storedDisable >= 0) storeDword(path, "Disable", (uint32_t)row.storedDisable);
    if (row.storedLng >= 0) storeDword(path, "LngMode", (uint32_t)row.storedLng);
    plugin.start(host);
    takeDebugOutput();

    host.dialogScript.push_back(answerConfig(row.setCheck, row.chooseRadio, row.close));
    EXPECT_EQ(plugin.configure(0), row.result);
    EXPECT_EQ(takeDebugOutput(), "ok\n");
    ASSERT_EQ(host.calls, std::vector<std::string>{dialogLine(48, 12, 10)});
    std::vector<std::string> seen;
    for (const DialogItem &item : host.dialogs[0]) seen.push_back(item.data);
    EXPECT_EQ(seen, texts);
    int check, radio;
    openingStates(host.dialogs[0], &check, &radio);
    EXPECT_EQ(check, row.openCheck);
    EXPECT_EQ(radio, row.openRadio);

    EXPECT_EQ(storedValue(path, "Disable"), row.disableAfter);
    EXPECT_EQ(storedValue(path, "LngMode"), row.lngAfter);
    EXPECT_EQ(plugin.setLngMode(), row.modeAfter);
    PluginInfo info;
    memset(&info, 0, sizeof info);
    plugin.getPluginInfo(&info);
    EXPECT_EQ(info.pluginConfigStringsNumber, strcmp(row.disableAfter, "dword 1") == 0 ? 0 : 1);
  }
}

// The settings path must fit 88 bytes with its terminating zero; a longer one
// is not cut to some other key: the plug-in keeps its defaults and says so.
TEST(Configure, RootKeyTooLongForTheSettingsPath) {
  for (bool fits : {true, false}) {
    SCOPED_TRACE(fits ? "87 characters" : "88 characters");
    Plugin plugin = installPlugin(kWithLibrary);
    ASSERT_TRUE(plugin.ok());
    std::string root = freshRootKey() + "\\";
    root += std::string(71 + (fits ? 0 : 1) - root.size(), 'k');
    Host host(root);
    std::string path = settingsPath(root);
    ASSERT_EQ(path.size(), fits ? 87u : 88u);
    storeDword(path, "LngMode", 2);
    storeDword(path, "Disable", 0);
    plugin.start(host);
    const char *debug = fits ? "ok\n" : "Settings key too long\n";
    EXPECT_EQ(takeDebugOutput(), debug);
    EXPECT_EQ(plugin.setLngMode(), fits ? 0 : 1);
    if (fits) continue;

    // The dialog opens as described; confirmed, memory takes its values and
    // nothing is written anywhere.
    host.dialogScript.push_back(answerConfig(1, 1, kOk));
    EXPECT_EQ(plugin.configure(0), 1);
    EXPECT_EQ(takeDebugOutput(), debug);
    ASSERT_EQ(host.dialogs.size(), 1u);
    int check, radio;
    openingStates(host.dialogs[0], &check, &radio);
    EXPECT_EQ(check, 0);
    EXPECT_EQ(radio, 0);
    EXPECT_EQ(plugin.setLngMode(), 2);
    EXPECT_EQ(storedValue(path, "LngMode"), "dword 2");
    EXPECT_EQ(storedValue(path, "Disable"), "dword 0");
    EXPECT_FALSE(keyExists(path.substr(0, 87)));
  }
}

// ---- Browsing ------------------------------------------------------------------------

TEST(Browse, TheExtensionDecides) {
  Started s;
  ASSERT_TRUE(s.plugin.ok());
  struct Row {
    const char *file;
    bool taken;
  } rows[] = {
      {"NAMES.DLG", true},
      {"names.Dlg", true},
      {"names.dlgx", true},
      {"names.dl", false},
      {"names", false},
      {"names.txt", false},
      // The last dot of the whole name counts, also in a directory part.
      {"work.dlg/readme", true},
      {"work.dlg/readme.txt", false},
  };
  fs::create_directories(s.plugin.dir / "work.dlg");
  for (const Row &row : rows) {
    SCOPED_TRACE(row.file);
    fs::path file = s.plugin.dir / fs::path(row.file).make_preferred();
    writeFile(file, describeDialogs({"Only"}));
    s.host.calls.clear();
    EXPECT_EQ(s.plugin.open(file), row.taken ? -2 : -1);
    if (row.taken) EXPECT_EQ(s.host.calls, std::vector<std::string>{menuLine("Only")});
    else EXPECT_TRUE(s.host.calls.empty());
  }
  EXPECT_EQ((intptr_t)s.plugin.openFilePlugin(nullptr, nullptr, 0), -1);
  EXPECT_EQ((intptr_t)s.plugin.openFilePlugin("", nullptr, 0), -1);
  EXPECT_TRUE(s.host.calls.empty());
}

TEST(Browse, MenuComesBackOnTheDialogJustShown) {
  Started s;
  ASSERT_TRUE(s.plugin.ok());
  // The second dialog shows a message name: language mode 1 from the empty
  // registry reaches the library through SetLngMode.
  fs::path file = s.plugin.dir / "three.dlg";
  writeFile(file,
            "ENUM { MHello }\n"
            "name First\nTEXT 0 2 1 0 1 F 0 () F %T% first\n"
            "name Second\nTEXT 0 2 1 0 1 F 0 () F %L% MHello\n"
            "name Third\nTEXT 0 2 1 0 1 F 0 () F %T% third\n");
  takeDebugOutput();
  s.host.menuResults = {1, 2, -1};
  EXPECT_EQ(s.plugin.open(file), -2);
  EXPECT_EQ(s.host.calls, (std::vector<std::string>{
                              menuLine("First|Second|Third"),
                              kSmallDialog,
                              menuLine("First|*Second|Third"),
                              kSmallDialog,
                              menuLine("First|Second|*Third"),
                          }));
  ASSERT_EQ(s.host.dialogs.size(), 2u);
  EXPECT_STREQ(s.host.dialogs[0][0].data, "MHello");
  EXPECT_STREQ(s.host.dialogs[1][0].data, "third");
  EXPECT_EQ(takeDebugOutput(), "ShowDialog\nShowDialog\n");

  // Opening the file again starts unmarked; closing at once still counts.
  s.host.calls.clear();
  EXPECT_EQ(s.plugin.open(file), -2);
  EXPECT_EQ(s.host.calls, std::vector<std::string>{menuLine("First|Second|Third")});
}

TEST(Browse, FilesWithoutDialogsAreDeclined) {
  Started s;
  ASSERT_TRUE(s.plugin.ok());
  writeFile(s.plugin.dir / "empty.dlg", "; nothing but a comment\n");
  EXPECT_EQ(s.plugin.open(s.plugin.dir / "empty.dlg"), -1);
  EXPECT_TRUE(s.host.calls.empty());

  // A file that cannot be read: the library reports it, no menu.
  fs::path missing = s.plugin.dir / "missing.dlg";
  EXPECT_EQ(s.plugin.open(missing), -1);
  ASSERT_EQ(s.host.calls.size(), 1u);
  const std::string errorBox =
      "message 7 flags " + std::to_string(MSG_WARNING | MSG_ERRORTYPE) + " help (null) buttons 2: Error (";
  EXPECT_EQ(s.host.calls[0].rfind(errorBox, 0), 0u) << s.host.calls[0];
  EXPECT_NE(s.host.calls[0].find(missing.string()), std::string::npos) << s.host.calls[0];
}

TEST(Browse, ADialogThatCannotBeLoadedIsStillMarked) {
  Started s;
  ASSERT_TRUE(s.plugin.ok());
  fs::path file = s.plugin.dir / "hollow.dlg";
  writeFile(file, "name Hollow\n; no items\nname Full\nTEXT 0 2 1 0 1 F 0 () F %T% full\n");
  takeDebugOutput();
  s.host.menuResults = {0, -1};
  EXPECT_EQ(s.plugin.open(file), -2);
  EXPECT_EQ(s.host.calls, (std::vector<std::string>{menuLine("Hollow|Full"), menuLine("*Hollow|Full")}));
  EXPECT_EQ(takeDebugOutput(), "ShowDialog\n");
}

// Listings the library cannot end by itself, and names longer than a menu
// entry: the menu stays within its 100 entries of 127 characters, and every
// listed dialog opens by its full name.
TEST(Browse, ListingLimits) {
  std::string longName(150, 'n');
  longName += "end";
  std::vector<std::string> many;
  std::string manyEntries;
  for (int i = 0; i < 120; i++) {
    char name[8];
    snprintf(name, sizeof name, "D%03d", i);
    many.push_back(name);
    if (i < 100) manyEntries += (i ? "|" : "") + std::string(name);
  }
  std::string many99 = manyEntries.substr(0, manyEntries.size() - 4) + "*D099";
  struct Row {
    const char *label;
    std::vector<std::string> dialogs;
    int choice;
    std::string entries, marked;  // the first menu, and the one after the choice
    const char *shown;
  } rows[] = {
      {"a name longer than an entry",
       {"Short", longName},
       1,
       "Short|" + longName.substr(0, 127),
       "Short|*" + longName.substr(0, 127),
       "dialog 1"},
      {"two dialogs of one name make the listing cycle", {"A", "B", "A", "C"}, 1, "A|B", "A|*B", "dialog 1"},
      {"more than 100 dialogs", many, 99, manyEntries, many99, "dialog 99"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    Started s;
    ASSERT_TRUE(s.plugin.ok());
    fs::path file = s.plugin.dir / "limits.dlg";
    writeFile(file, describeDialogs(row.dialogs));
    s.host.menuResults = {row.choice, -1};
    EXPECT_EQ(s.plugin.open(file), -2);
    EXPECT_EQ(s.host.calls, (std::vector<std::string>{menuLine(row.entries), kSmallDialog, menuLine(row.marked)}));
    EXPECT_EQ(lastShownText(s.host), row.shown);
  }
}

// The library's copy of the startup record points to the plug-in's duplicate
// of the root key: a host that reuses its own string changes nothing.
TEST(Browse, TheLibraryKeepsThePluginsRootKey) {
  Started s;
  ASSERT_TRUE(s.plugin.ok());
  std::string probe = s.host.rootKey + "\\Probe";
  const char text[] = "from the registry";
  storeValue(probe, "Text", PL_REG_SZ, text, sizeof text);
  std::fill(s.host.rootKey.begin(), s.host.rootKey.end(), 'X');

  fs::path file = s.plugin.dir / "probe.dlg";
  writeFile(file, "name Probe\nTEXT 0 2 1 0 1 F 0 () F %R% %HKCU% \"Probe\\Text\" missing\n");
  s.host.menuResults = {0, -1};
  EXPECT_EQ(s.plugin.open(file), -2);
  EXPECT_EQ(lastShownText(s.host), text);
}

}  // namespace
