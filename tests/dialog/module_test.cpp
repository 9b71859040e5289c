// Dialog.tsl as plug-ins meet it: loaded by file name, every export bound by
// name, and a few calls made through the bound pointers.
#include <gtest/gtest.h>

#include <string>

#include "dialog/dialog.h"
#include "platform/platform.h"

namespace {

const char *const kExports[] = {
    "TS_Init",     "TesselVersion", "GetItemNULL",  "DllMain",        "parseNum",       "parseGetStr",
    "parseGet",    "sparse",        "LoadDialogEx", "LoadDialog",     "EnumDialog",     "FreeDialog",
    "GetNumById",  "GetItemStatus", "ShowDialog",   "GetItemData",    "SetItemColor",   "HideItem",
    "RestoreItem", "SetItemStatus", "GetItemAddr",  "SetRadioStatus", "GetRadioStatus", "SetItemFocus",
};

HMODULE library() {
  static HMODULE module = plLoadLibrary(TESSEL_TEST_BIN_DIR "Dialog.tsl");
  return module;
}

TEST(Module, EveryExportByName) {
  ASSERT_NE(library(), nullptr) << "cannot load " TESSEL_TEST_BIN_DIR "Dialog.tsl";
  for (const char *name : kExports) EXPECT_NE(plFindExport(library(), name), nullptr) << name;
  EXPECT_EQ(plFindExport(library(), "ShowErrorBox"), nullptr);
  EXPECT_EQ(plFindExport(library(), "parsePut"), nullptr);
}

TEST(Module, CallsThroughBoundPointers) {
  ASSERT_NE(library(), nullptr);
  auto version = (TesselVersionFn)plFindExport(library(), "TesselVersion");
  auto scan = (sparseFn)plFindExport(library(), "sparse");
  auto field = (parseGetStrFn)plFindExport(library(), "parseGetStr");
  auto nullItem = (GetItemNULLFn)plFindExport(library(), "GetItemNULL");
  ASSERT_TRUE(version && scan && field && nullItem);
  EXPECT_EQ(version(), 256);
  char tokens[200], value[200];
  EXPECT_EQ(scan("name \"Select Dialog\"", "%l name%*[ ] %S(\"-\")", tokens, sizeof tokens), 4);
  EXPECT_STREQ(field(tokens, value, 0), "Select Dialog");
  EXPECT_EQ(nullItem(), nullItem());
  EXPECT_EQ(nullItem()->type, 0);
}

TEST(Module, LibraryKnowsItsDirectory) {
  ASSERT_NE(library(), nullptr);
  char name[260];
  ASSERT_GT(plModuleFileName(library(), name, sizeof name), 0);
  std::string path(name);
  EXPECT_EQ(path.substr(path.rfind(PL_DIR_SEP) + 1), "Dialog.tsl");
}

}  // namespace
