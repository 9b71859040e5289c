// Where the Flens plug-in finds the library: beside its own file first, then
// beside the host program (this test program, which runs from a directory of
// its own holding a copy of the library). Which copy was bound shows in the
// first dialog name listed, since the library looks up a relative file name
// in its own directory when no module is given.
#include <gtest/gtest.h>

#include "plugin_host.h"

using namespace flens_test;

namespace {

// The directory of this program, with a library and a probe.dlg listing the
// dialog "Host" in it (put there once a run, before any copy is loaded).
const fs::path &prepareProgramDirectory() {
  static const fs::path dir = [] {
    char name[1024];
    EXPECT_GT(plModuleFileName(nullptr, name, sizeof name), 0);
    fs::path where = fs::path(name).parent_path();
    runRoot();
    fs::remove(where / "Dialog.tsl");
    copyFromBin("Dialog.tsl", where);
    writeFile(where / "probe.dlg", describeDialogs({"Host"}));
    return where;
  }();
  return dir;
}

std::string menuLine(const std::string &entries) {
  return "menu 7 at -1,-1 height 0 flags " + std::to_string(MENU_WRAPMODE | MENU_AUTOHIGHLIGHT) +
         " title Select Dialog bottom (null) help Contents keys (null) code (null): " + entries;
}

TEST(Search, TheCopyBesideThePluginComesFirst) {
  prepareProgramDirectory();
  Plugin plugin = installPlugin(kWithLibrary);
  ASSERT_TRUE(plugin.ok());
  writeFile(plugin.dir / "probe.dlg", describeDialogs({"Beside", "Second"}));
  Host host(freshRootKey());
  plugin.start(host);
  EXPECT_EQ(takeDebugOutput(), "ok\n");
  EXPECT_EQ(plugin.open("probe.dlg"), -2);
  EXPECT_EQ(host.calls, std::vector<std::string>{menuLine("Beside|Second")});
}

// Without a copy beside it, the plug-in binds the one beside the program. The
// listing's first step then reads the program's probe.dlg and the next ones
// the plug-in's directory, which has none: the library reports that and
// leaves the name as it was, and the listing ends there.
TEST(Search, TheProgramsDirectoryComesNext) {
  prepareProgramDirectory();
  Plugin plugin = installPlugin(kWithoutLibrary);
  ASSERT_TRUE(plugin.ok());
  Host host(freshRootKey());
  plugin.start(host);
  EXPECT_EQ(takeDebugOutput(), "ok\n");
  EXPECT_EQ(plugin.open("probe.dlg"), -2);
  ASSERT_EQ(host.calls.size(), 2u);
  EXPECT_NE(host.calls[0].find((plugin.dir / "probe.dlg").string()), std::string::npos) << host.calls[0];
  EXPECT_EQ(host.calls[1], menuLine("Host"));
}

}  // namespace
