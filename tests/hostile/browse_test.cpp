// Hostile files offered to the Flens plug-in, driven as the host drives it:
// more dialogs than its menu holds, names longer than an entry, garbage,
// directories and unreadable files named .dlg, files deleted, emptied or
// rewritten while the menu is open, and menu answers past the entries. Each
// row states the host calls it must cause, in order, and the handle value.
#include <gtest/gtest.h>

#include <climits>

#include "unreadable.h"
#include "viewer/plugin_host.h"

using namespace flens_test;

namespace {

using Calls = std::vector<std::string>;

std::string menuLine(const std::string &entries) {
  return "menu 7 at -1,-1 height 0 flags 6 title Select Dialog bottom (null) help Contents keys (null) "
         "code (null): " +
         entries;
}

const std::string kSmallDialog = "dialog 7 at -1,-1 size 3x3 help Contents items 1";

std::string errorBoxLine(uint32_t code, const std::string &path) {
  return "message 7 flags 3 help (null) buttons 2: Error (" + std::to_string(code) + ")|" + path + "|\\x01|Ok|Cancel";
}

// What the first menu call does to the offered file before it answers.
enum Change { kKeep, kDelete, kEmpty, kRewrite };
Change pendingChange = kKeep;
fs::path offered;

int TS_HOSTAPI menuThatChangesTheFile(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                                      const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                                      const MenuEntry *items, int count) {
  std::error_code ignored;
  switch (pendingChange) {
    case kKeep:
      break;
    case kDelete:
      fs::remove(offered, ignored);
      break;
    case kEmpty:
      writeFile(offered, "");
      break;
    case kRewrite:
      writeFile(offered, describeDialogs({"Other"}));
      break;
  }
  pendingChange = kKeep;
  return Host::menu(moduleNumber, x, y, maxHeight, flags, title, bottom, helpTopic, breakKeys, breakCode, items, count);
}

std::string joined(const std::vector<std::string> &names, size_t shown, size_t count, int marked) {
  std::string out;
  for (size_t i = 0; i < count; i++)
    out += (i ? "|" : "") + std::string(marked == (int)i ? "*" : "") + names[i].substr(0, shown);
  return out;
}

TEST(HostileBrowse, Rows) {
  std::vector<std::string> dialogs101;
  for (int i = 0; i <= 100; i++) {
    char name[8];
    snprintf(name, sizeof name, "D%03d", i);
    dialogs101.push_back(name);
  }
  const std::vector<std::string> longNames = {std::string(199, 'a'), std::string(1000, 'b')};
  // The plug-in lists what the library writes: names cut to 199 characters,
  // 99 underscores of 199 (each takes two characters of a token).
  const std::vector<std::string> listedLong = {std::string(199, 'a'), std::string(199, 'b')};
  std::string garbage(4096, 0);
  for (size_t i = 0; i < garbage.size(); i++) garbage[i] = (char)((i * 131 + 7) % 256);

  struct Row {
    const char *label;
    const char *file;     // its name in the plug-in's directory
    std::string content;  // written unless the row makes it a directory
    bool directory;
    std::deque<int> menu;
    Change change;  // what the first menu call does to the file
    intptr_t result;
    Calls calls;        // the host calls, in order; "@" stands for the file's path
    std::string shown;  // the first item's text of the last dialog shown
  };
  const Row rows[] = {
      {"101 dialogs: the menu holds the first 100",
       "many.dlg",
       describeDialogs(dialogs101),
       false,
       {99, -1},
       kKeep,
       -2,
       {menuLine(joined(dialogs101, 4, 100, -1)), kSmallDialog, menuLine(joined(dialogs101, 4, 100, 99))},
       "dialog 99"},
      {"names of 199 and 1000 characters: entries of 127, dialogs found by the full listed name",
       "long.dlg",
       describeDialogs(longNames),
       false,
       {1, 0, -1},
       kKeep,
       -2,
       {menuLine(joined(listedLong, 127, 2, -1)), kSmallDialog, menuLine(joined(listedLong, 127, 2, 1)), kSmallDialog,
        menuLine(joined(listedLong, 127, 2, 0))},
       "dialog 0"},
      {"199 underscores: 99 listed, and found by them",
       "under.dlg",
       describeDialogs({std::string(199, '_')}),
       false,
       {0, -1},
       kKeep,
       -2,
       {menuLine(std::string(99, '_')), kSmallDialog, menuLine("*" + std::string(99, '_'))},
       "dialog 0"},
      {"binary garbage named .dlg is declined", "garbage.dlg", garbage, false, {}, kKeep, -1, {}, "(none)"},
      {"a directory named .dlg is declined after the library's box",
       "folder.dlg",
       "",
       true,
       {},
       kKeep,
       -1,
       {errorBoxLine(PL_ERROR_ACCESS_DENIED, "@")},
       "(none)"},
      {"deleted while the menu is open: the box, and the menu again",
       "gone.dlg",
       describeDialogs({"A", "B"}),
       false,
       {1, -1},
       kDelete,
       -2,
       {menuLine("A|B"), errorBoxLine(PL_ERROR_FILE_NOT_FOUND, "@"), menuLine("A|*B")},
       "(none)"},
      {"emptied while the menu is open: nothing shown, the menu again",
       "emptied.dlg",
       describeDialogs({"A", "B"}),
       false,
       {0, -1},
       kEmpty,
       -2,
       {menuLine("A|B"), menuLine("*A|B")},
       "(none)"},
      {"rewritten without the chosen dialog",
       "rewritten.dlg",
       describeDialogs({"A", "B"}),
       false,
       {1, 0, -1},
       kRewrite,
       -2,
       {menuLine("A|B"), menuLine("A|*B"), menuLine("*A|B")},
       "(none)"},
      {"menu answers past the entries close it",
       "answers.dlg",
       describeDialogs({"A"}),
       false,
       {1, INT_MAX},
       kKeep,
       -2,
       {menuLine("A")},
       "(none)"},
      {"the most negative answer closes it too",
       "negative.dlg",
       describeDialogs({"A"}),
       false,
       {INT_MIN},
       kKeep,
       -2,
       {menuLine("A")},
       "(none)"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    Plugin plugin = installPlugin(kWithLibrary);
    ASSERT_TRUE(plugin.ok());
    Host host(freshRootKey());
    host.startup.hostMenu = menuThatChangesTheFile;
    plugin.start(host);
    offered = plugin.dir / row.file;
    if (row.directory) fs::create_directory(offered);
    else writeFile(offered, row.content);
    host.menuResults = row.menu;
    pendingChange = row.change;
    EXPECT_EQ(plugin.open(offered), row.result);
    Calls expected;
    for (std::string call : row.calls) {
      size_t at = call.find("|@|");
      if (at != std::string::npos) call.replace(at + 1, 1, offered.string());
      expected.push_back(call);
    }
    EXPECT_EQ(host.calls, expected);
    EXPECT_EQ(lastShownText(host), row.shown);
  }
}

TEST(HostileBrowse, AnUnreadableFileIsDeclinedAfterTheLibrarysBox) {
  Plugin plugin = installPlugin(kWithLibrary);
  ASSERT_TRUE(plugin.ok());
  Host host(freshRootKey());
  plugin.start(host);
  fs::path file = plugin.dir / "locked.dlg";
  writeFile(file, describeDialogs({"A"}));
  uint32_t code = beginUnreadable(file.string().c_str());
  if (code == 0) GTEST_SKIP() << "this process cannot be refused a file";
  intptr_t result = plugin.open(file);
  endUnreadable();
  EXPECT_EQ(result, -1);
  EXPECT_EQ(host.calls, Calls{errorBoxLine(code, file.string())});
  // Readable again, it is taken.
  host.calls.clear();
  EXPECT_EQ(plugin.open(file), -2);
  EXPECT_EQ(host.calls, Calls{menuLine("A")});
}

}  // namespace
