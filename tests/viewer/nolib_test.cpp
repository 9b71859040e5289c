// The Flens plug-in where no copy of the library can be found: not beside it,
// not beside this program, not by name. It stays loaded and answers every
// entry point through its stand-by functions. (A process of its own: once any
// copy of the library is loaded, Windows finds it by its bare name.)
#include <gtest/gtest.h>

#include "plugin_host.h"

using namespace flens_test;

namespace {

const char *const kBoundNames[] = {
    "LoadDialogEx",   "EnumDialog",  "FreeDialog",     "GetNumById",   "GetItemStatus", "ShowDialog",
    "GetItemData",    "GetItemAddr", "GetRadioStatus", "TS_Init",      "SetItemColor",  "SetItemStatus",
    "SetRadioStatus", "HideItem",    "RestoreItem",    "GetItemNULL",  "TesselVersion", "parseNum",
    "parseGetStr",    "parseGet",    "sparse",         "SetItemFocus",
};

TEST(NoLibrary, EntryPointsBeforeStartUp) {
  Plugin plugin = installPlugin(kWithoutLibrary);
  ASSERT_TRUE(plugin.ok());
  Host host(freshRootKey());
  writeFile(plugin.dir / "good.dlg", describeDialogs({"One"}));

  PluginInfo info;
  memset(&info, 0, sizeof info);
  plugin.getPluginInfo(&info);
  EXPECT_EQ(info.structSize, (int32_t)sizeof(PluginInfo));
  ASSERT_EQ(info.pluginConfigStringsNumber, 1);
  EXPECT_EQ(info.pluginConfigStrings[0], nullptr);  // no host to ask yet
  EXPECT_EQ(plugin.configure(0), 0);
  EXPECT_EQ(plugin.open(plugin.dir / "good.dlg"), -1);
  EXPECT_EQ(plugin.setLngMode(), 1);
  for (DWORD reason : {2u, 3u, 0u}) EXPECT_EQ(plugin.dllMain(plugin.module, reason, nullptr), 1);
  EXPECT_EQ(plugin.setLngMode(), 1);
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(takeDebugOutput(), "");
}

TEST(NoLibrary, StandBysAnswerEveryEntryPoint) {
  Plugin plugin = installPlugin(kWithoutLibrary);
  ASSERT_TRUE(plugin.ok());
  Host host(freshRootKey());
  std::string path = settingsPath(host.rootKey);
  storeDword(path, "LngMode", 2);
  storeDword(path, "Disable", 0);
  plugin.start(host);
  std::string expected;
  for (const char *name : kBoundNames) expected += "Missed function \"" + std::string(name) + "\"\n";
  EXPECT_EQ(takeDebugOutput(), expected + "ok\n");
  EXPECT_EQ(plugin.setLngMode(), 0);  // the settings are read all the same

  PluginInfo info;
  memset(&info, 0, sizeof info);
  plugin.getPluginInfo(&info);
  ASSERT_EQ(info.pluginConfigStringsNumber, 1);
  EXPECT_STREQ(info.pluginConfigStrings[0], "Flens dialog viewer");

  // The stand-by sparse matches nothing: every file is declined.
  writeFile(plugin.dir / "good.dlg", describeDialogs({"One"}));
  EXPECT_EQ(plugin.open(plugin.dir / "good.dlg"), -1);

  // No dialog could be built, so none was shown and nothing is taken over.
  EXPECT_EQ(plugin.configure(0), 0);
  EXPECT_EQ(takeDebugOutput(), "ok\n");
  EXPECT_EQ(storedValue(path, "LngMode"), "dword 2");
  EXPECT_EQ(storedValue(path, "Disable"), "dword 0");
  EXPECT_EQ(plugin.setLngMode(), 0);
  EXPECT_TRUE(host.calls.empty());

  // Process detach frees the root key once; a second one finds nothing.
  EXPECT_EQ(plugin.dllMain(plugin.module, 0, nullptr), 1);
  EXPECT_EQ(plugin.dllMain(plugin.module, 0, nullptr), 1);
}

}  // namespace
