// The Greeter example plug-in, loaded from its folder in the build and driven
// as the host drives it: its configuration entry, then its dialog answered by
// a script. What it reads back by identifier shows in the message box it
// opens. The host gives message n as "#n", so a line shows which message
// stands where.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "tests/common/test_host.h"

namespace {

// The items of the dialog Greeter, in the order of greeter.dlg.
enum { kEdit = 2, kHello = 3, kGoodDay = 4, kShout = 5, kOk = 7, kCancel = 8, kItemCount = 9 };

const int kModuleNumber = 7;

// What the host's dialog does with the items and returns; the calls made.
std::function<int(DialogItem *)> dialogScript;
std::vector<std::string> calls;

int TS_HOSTAPI dialogSlot(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic, DialogItem *items,
                          int count) {
  calls.push_back("dialog " + dialogCallLine(moduleNumber, x1, y1, x2, y2, helpTopic, count));
  return count == kItemCount ? dialogScript(items) : -1;
}

int TS_HOSTAPI messageSlot(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                           int lineCount, int buttonCount) {
  calls.push_back("message " + messageCallLine(moduleNumber, flags, helpTopic, lines, lineCount, buttonCount));
  return 0;
}

const char *TS_HOSTAPI getMsgSlot(int moduleNumber, int number) {
  static std::vector<std::string> texts;
  if (moduleNumber != kModuleNumber || number < 0 || number > 99) return nullptr;
  while ((int)texts.size() <= number) texts.push_back("#" + std::to_string(texts.size()));
  return texts[number].c_str();
}

// The plug-in, loaded and started once for the whole program.
struct Greeter {
  HMODULE module = plLoadLibrary(TESSEL_GREETER_FILE);
  GetPluginInfoFn getPluginInfo = (GetPluginInfoFn)plFindExport(module, "GetPluginInfo");
  ConfigureFn configure = (ConfigureFn)plFindExport(module, "Configure");
  SetLngModeFn setLngMode = (SetLngModeFn)plFindExport(module, "SetLngMode");
  StartupInfo startup = testStartupRecord("Greeter", kModuleNumber, "Software\\TesselTests\\greeter", nullptr,
                                          dialogSlot, messageSlot, getMsgSlot);
  Greeter() {
    auto setStartupInfo = (SetStartupInfoFn)plFindExport(module, "SetStartupInfo");
    if (setStartupInfo) setStartupInfo(&startup);
  }
};

Greeter &greeter() {
  static Greeter loaded;
  return loaded;
}

TEST(Greeter, OffersItsConfigurationEntryAndAsksForLocalisedTexts) {
  Greeter &g = greeter();
  ASSERT_NE(g.module, nullptr) << TESSEL_GREETER_FILE;
  ASSERT_TRUE(g.getPluginInfo && g.configure && g.setLngMode);
  PluginInfo info;
  memset(&info, 0, sizeof info);
  g.getPluginInfo(&info);
  ASSERT_EQ(info.pluginConfigStringsNumber, 1);
  EXPECT_STREQ(info.pluginConfigStrings[0], "#0");
  EXPECT_EQ(g.setLngMode(), 0);
}

// Each row answers the dialog: a name typed over the loaded "World", the
// radio button and check box as the user left them, the item that closed it.
struct Row {
  const char *label;
  const char *name;  // null: as loaded
  bool goodDay, shout;
  int closedBy;       // an item index, or -1 (Esc)
  int configured;     // Configure's result
  const char *shown;  // the message box's lines, or null for none
};

const Row kRows[] = {
    {"as loaded, OK", nullptr, false, false, kOk, 1, "#0|#7, World!|#5"},
    {"typed name, the other greeting", "Alice", true, false, kOk, 1, "#0|#8, Alice!|#5"},
    {"shouted", "Alice", false, true, kOk, 1, "#0|#7, ALICE!|#5"},
    {"Cancel reads nothing back", "Alice", true, true, kCancel, 0, nullptr},
    {"Esc reads nothing back", "Alice", false, false, -1, 0, nullptr},
};

TEST(Greeter, GreetsWithWhatTheDialogReadsBack) {
  Greeter &g = greeter();
  ASSERT_TRUE(g.configure);
  for (const Row &row : kRows) {
    SCOPED_TRACE(row.label);
    std::vector<DialogItem> shown;
    dialogScript = [&](DialogItem *items) {
      shown.assign(items, items + kItemCount);
      if (row.name) snprintf(items[kEdit].data, sizeof items[kEdit].data, "%s", row.name);
      items[kHello].selected = !row.goodDay;
      items[kGoodDay].selected = row.goodDay;
      items[kShout].selected = row.shout;
      return row.closedBy;
    };
    calls.clear();
    EXPECT_EQ(g.configure(0), row.configured);
    std::vector<std::string> expected = {"dialog 7 at -1,-1 size 44x12 help Contents items 9"};
    if (row.shown) expected.push_back("message 7 flags 0 help (null) buttons 1: " + std::string(row.shown));
    EXPECT_EQ(calls, expected);
    // every showing starts from the file: localised texts, nothing carried over
    ASSERT_EQ(shown.size(), (size_t)kItemCount);
    EXPECT_STREQ(shown[kEdit].data, "World");
    EXPECT_STREQ(shown[kHello].data, "#2");
    EXPECT_EQ(shown[kHello].selected, 1);
    EXPECT_EQ(shown[kShout].selected, 0);
  }
}

}  // namespace
