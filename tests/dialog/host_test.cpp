// The library's host binding: TS_Init, the null item, the error box and
// message texts through a recording stand-in host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "tests/dialog/recording_host.h"

namespace {

TEST(Host, VersionAndNullItem) {
  EXPECT_EQ(TesselVersion(), 256);
  DialogItem *null = GetItemNULL();
  EXPECT_EQ(null, GetItemNULL());
  EXPECT_EQ(null, &tsNullItem);
}

TEST(Host, ModuleDirectoryEndsWithSeparator) {
  // The test program links the library statically: its directory is this
  // program's own, recorded with the separator kept.
  tsModuleDir[0] = 0;
  EXPECT_EQ(DllMain(plModuleOfAddress((const void *)&TesselVersion), 1, nullptr), 1);
  char self[TS_MODULE_DIR_SIZE];
  ASSERT_GT(plModuleFileName(nullptr, self, sizeof self), 0);
  std::string expected(self);
  expected.erase(expected.rfind(PL_DIR_SEP) + 1);
  EXPECT_EQ(std::string(tsModuleDir), expected);
  // Other reasons change nothing.
  for (DWORD reason : {0u, 2u, 3u}) {
    tsModuleDir[0] = 'x';
    tsModuleDir[1] = 0;
    EXPECT_EQ(DllMain(nullptr, reason, nullptr), 1);
    EXPECT_STREQ(tsModuleDir, "x");
  }
  tsModuleDir[0] = 0;
  DllMain(plModuleOfAddress((const void *)&TesselVersion), 1, nullptr);
}

TEST(Host, ErrorBoxBeforeInitShowsNothing) {
  RecordingHost host;
  StartupInfo zero = {};
  tsStartup = zero;
  tsInitialised = 0;
  EXPECT_EQ(ShowErrorBox("x"), -1);
  EXPECT_EQ(GetMsgText(1, 2), nullptr);
  EXPECT_TRUE(RecordingHost::current->messages.empty());
}

TEST(Host, ErrorBoxLines) {
  RecordingHost host;
  host.init(7);
  plSetLastError(5);
  EXPECT_EQ(ShowErrorBox("C:\\x.dlg"), RecordingHost::kMessageResult);
  plSetLastError(0);
  EXPECT_EQ(ShowErrorBox(nullptr), RecordingHost::kMessageResult);
  ASSERT_EQ(host.messages.size(), 2u);
  EXPECT_EQ(host.messages[0], "module 7 flags 3 help (null) buttons 2: Error (5)|C:\\x.dlg|\\x01|Ok|Cancel");
  EXPECT_EQ(host.messages[1], "module 7 flags 3 help (null) buttons 2: Error (0)||\\x01|Ok|Cancel");
}

TEST(Host, MessageTextOrder) {
  RecordingHost host;
  host.init(1);
  EXPECT_STREQ(GetMsgText(7, 2), "msg 2:7");
}

TEST(Host, InitReplacesRecordAndClearsNullItem) {
  RecordingHost host;
  host.init(1);
  GetItemNULL()->type = 9;
  strcpy(GetItemNULL()->data, "dirty");
  StartupInfo second = host.startup;
  second.moduleNumber = 42;
  second.hostMessage = nullptr;
  TS_Init(second);
  EXPECT_EQ(tsStartup.moduleNumber, 42);
  EXPECT_EQ(tsStartup.hostMessage, nullptr);
  EXPECT_EQ(GetItemNULL()->type, 0);
  EXPECT_STREQ(GetItemNULL()->data, "");
  // A record without a message slot shows nothing rather than crash.
  EXPECT_EQ(ShowErrorBox("x"), -1);
}

}  // namespace
