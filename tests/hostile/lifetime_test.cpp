// Lifetime of dialog handles: many load/show/free cycles of a dialog with
// owned strings leave the heap exactly as it was, in the library and through
// the plug-in's menu loop; a handle owns exactly the blocks its load
// allocated (the enum table keeps the rest) and FreeDialog gives them all
// back; a load that fails at any allocation gives back what it took. The
// count of cycles is TESSEL_LEAK_CYCLES (10000 unless set; the plug-in's loop
// runs a tenth of it), so that scripts/leakcheck can run the same program
// under valgrind.
#include <gtest/gtest.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "dialog/dialog_internal.h"
#include "heap.h"
#include "tests/common/test_host.h"
#include "viewer/viewer.h"

namespace {

namespace fs = std::filesystem;

// A registry store of this program's own on POSIX; the dialog's registry
// text then reads a value that is not there and takes its fallback.
const bool kRegistryFile = [] {
  static char where[] = "TESSEL_REGISTRY=hostile_lifetime_registry.sqlite3";
  remove("hostile_lifetime_registry.sqlite3");
  return putenv(where) == 0;
}();

int cycleCount() {
  const char *text = getenv("TESSEL_LEAK_CYCLES");
  int count = text ? atoi(text) : 0;
  return count > 0 ? count : 10000;
}

const char kRunDir[] = "hostile_lifetime-run";

// Four owned strings (the quoted selected texts, an empty one among them),
// host texts, a registry text with its fallback, two ENUM blocks and a help line.
const char kDialogFile[] =
    "ENUM { MTitle, MName, MOk, MCancel }\n"
    "ENUM { eName = 10, eCase, eOk, eCancel, eMode1, eMode2 }\n"
    "name \"Leaks\"\n"
    "help LeakTopic\n"
    "DOUBLEBOX 0 3 1 50 12 F 0 0 F %L% MTitle\n"
    "TEXT 0 5 2 0 2 F 0 0 F %L% MName\n"
    "EDIT eName 5 3 40 3 T \"NameHistory\" DIF_HISTORY F %T% \"first text\"\n"
    "EDIT 20 5 4 40 4 F \"Another history\" DIF_HISTORY F %R% %HKCU% \"Leak\\Value\" fallback\n"
    "CHECKBOX eCase 5 5 0 5 F \"owned but unused\" () F %T% case\n"
    "RADIOBUTTON eMode1 5 6 0 6 F 1 (DIF_GROUP) F %T% one\n"
    "RADIOBUTTON eMode2 5 7 0 7 F 0 () F %T% two\n"
    "BUTTON eOk 0 9 0 9 F \"\" (DIF_CENTERGROUP) T %L% MOk\n"
    "BUTTON eCancel 0 9 0 9 F 0 (DIF_CENTERGROUP) F %L% MCancel\n";
constexpr int kItems = 9;
constexpr int kOwnedStrings = 4;
constexpr int kEnumEntries = 10;

// The dialog file in the run directory (written once); absolute when asked.
std::string dialogFile(bool absolute = false) {
  static const std::string relative = [] {
    fs::create_directories(kRunDir);
    std::string path = std::string(kRunDir) + "/leak.dlg";
    FILE *file = fopen(path.c_str(), "wb");
    if (file) {
      fwrite(kDialogFile, 1, sizeof kDialogFile - 1, file);
      fclose(file);
    }
    return path;
  }();
  return absolute ? fs::absolute(relative).string() : relative;
}

// ---- a host that allocates nothing ------------------------------------------------

const char *const kHostTexts[] = {"Title", "Name:", "Ok", "Cancel"};
int messageCalls;
int dialogCalls;
int menuCalls;
int menuCallsWanted;
size_t heapAtMenu[2];  // at the 101st menu call, and at the last

const char *TS_HOSTAPI hostGetMsg(int, int number) { return number >= 0 && number < 4 ? kHostTexts[number] : ""; }

int TS_HOSTAPI hostMessage(int, unsigned, const char *, const char *const *, int, int) {
  messageCalls++;
  return 0;
}

// Types into every edit field, ticks the check box every other time and
// closes the dialog on each item in turn, and by cancelling.
int TS_HOSTAPI hostDialog(int, int, int, int, int, const char *, DialogItem *items, int count) {
  dialogCalls++;
  for (int i = 0; i < count; i++) {
    if (items[i].type == DI_EDIT) snprintf(items[i].data, sizeof items[i].data, "typed %d", dialogCalls);
    if (items[i].type == DI_CHECKBOX && dialogCalls % 2) items[i].selected = !items[i].selected;
  }
  return dialogCalls % (count + 1) - 1;
}

// Chooses each entry in turn, menuCallsWanted times, then closes the menu.
int TS_HOSTAPI hostMenu(int, int, int, int, unsigned, const char *, const char *, const char *, const int *, int *,
                        const MenuEntry *, int count) {
  menuCalls++;
  if (menuCalls == 101) heapAtMenu[0] = heapInUse();
  if (menuCalls > menuCallsWanted) {
    heapAtMenu[1] = heapInUse();
    return -1;
  }
  return (menuCalls - 1) % count;
}

StartupInfo hostRecord() {
  return testStartupRecord("Flens", 4, "Software\\TesselTests\\hostile_lifetime", hostMenu, hostDialog, hostMessage,
                           hostGetMsg);
}

// The statically linked library, initialised with that host; relative names
// resolve against the working directory.
class Lifetime : public ::testing::Test {
 protected:
  void SetUp() override {
    (void)kRegistryFile;
    TS_Init(hostRecord());
    snprintf(savedDir, sizeof savedDir, "%s", tsModuleDir);
    tsModuleDir[0] = 0;
    messageCalls = dialogCalls = 0;
  }
  void TearDown() override {
    snprintf(tsModuleDir, sizeof tsModuleDir, "%s", savedDir);
    tsClearEnums();
    EXPECT_EQ(messageCalls, 0) << "no error box";
  }
  char savedDir[TS_MODULE_DIR_SIZE];
};

// One cycle: load, preset, show, read back, hide and restore, free.
bool cycle(const std::string &file) {
  DialogData *d = LoadDialogEx(nullptr, 4, file.c_str(), "Leaks");
  if (!d) return false;
  SetItemStatus(d, 11, 1);
  SetRadioStatus(d, 14, 15);
  SetItemFocus(d, 10);
  ShowDialog(d);
  (void)GetItemStatus(d, 11);
  (void)GetRadioStatus(d, 14);
  (void)strlen(GetItemData(d, 10));
  HideItem(d, 20);
  SetItemColor(d, 20, 0x1F);
  RestoreItem(d, 20);
  FreeDialog(d);
  return true;
}

// ---- cycles -----------------------------------------------------------------------

TEST_F(Lifetime, LoadShowFreeCyclesKeepTheHeapSteady) {
  const std::string file = dialogFile();
  const int cycles = cycleCount();
  for (int i = 0; i < 10; i++) ASSERT_TRUE(cycle(file));  // the enum table and stdio settle
  size_t warm = heapInUse();
  size_t afterHundred = 0;
  int failed = 0;
  for (int i = 0; i < cycles; i++) {
    failed += !cycle(file);
    if (i == 99) afterHundred = heapInUse();
  }
  size_t end = heapInUse();
  EXPECT_EQ(failed, 0);
  EXPECT_EQ(dialogCalls, 10 + cycles);
  EXPECT_EQ(afterHundred, warm);
  EXPECT_EQ(end, warm) << "bytes gained over " << cycles << " cycles";
}

// ---- what a handle owns ----------------------------------------------------------------

std::vector<std::pair<const void *, size_t>> recorded;

void *recordingAllocate(size_t size) {
  void *block = malloc(size);
  if (block) recorded.push_back({block, size});
  return block;
}

TEST_F(Lifetime, AHandleOwnsExactlyWhatItsLoadAllocated) {
  const std::string file = dialogFile();
  ASSERT_TRUE(cycle(file));
  std::vector<std::pair<const void *, size_t>> held, allocated;
  held.reserve(64);
  allocated.reserve(64);
  recorded.clear();
  recorded.reserve(64);
  size_t before = heapInUse();  // with the enum table of the same file

  void *(*saved)(size_t) = tsAllocate;
  tsAllocate = recordingAllocate;
  DialogData *d = LoadDialogEx(nullptr, 4, file.c_str(), "Leaks");
  tsAllocate = saved;
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d->itemCount, kItems);
  ASSERT_EQ(enumCount, kEnumEntries);

  // Every block the load allocated, and who holds it.
  held.push_back({d, sizeof *d});
  held.push_back({d->items, kItems * sizeof(DialogItem)});
  held.push_back({d->ids, kItems * sizeof(int32_t)});
  held.push_back({d->strings, kItems * sizeof(char *)});
  held.push_back({d->helpTopic, strlen(d->helpTopic) + 1});
  int owned = 0;
  for (int i = 0; i < d->itemCount; i++)
    if (d->strings[i]) {
      held.push_back({d->strings[i], strlen(d->strings[i]) + 1});
      owned++;
    }
  for (int i = 0; i < enumCount; i++) held.push_back({enumNames[i], strlen(enumNames[i]) + 1});
  allocated = recorded;  // fits the room reserved before
  std::sort(held.begin(), held.end());
  std::sort(allocated.begin(), allocated.end());

  ShowDialog(d);
  FreeDialog(d);
  size_t after = heapInUse();
  EXPECT_EQ(owned, kOwnedStrings);
  EXPECT_EQ(allocated, held);
  EXPECT_EQ(after, before) << "FreeDialog left bytes behind";
}

// Makes the allocation numbered failAt (from 0) fail; counts them all.
int allocations;
int failAt;
void *failingAllocate(size_t size) {
  if (allocations++ == failAt) return nullptr;
  return malloc(size);
}

TEST_F(Lifetime, ALoadThatFailsAtAnyAllocationGivesEverythingBack) {
  const std::string file = dialogFile();
  void *(*saved)(size_t) = tsAllocate;
  tsAllocate = failingAllocate;
  allocations = 0;
  failAt = -1;
  DialogData *d = LoadDialogEx(nullptr, 4, file.c_str(), "Leaks");
  const int total = allocations;
  FreeDialog(d);
  tsClearEnums();
  ASSERT_NE(d, nullptr);
  std::vector<long long> gained(total), boxes(total);  // per failing allocation
  size_t empty = heapInUse();

  for (failAt = 0; failAt < total; failAt++) {
    allocations = 0;
    messageCalls = 0;
    d = LoadDialogEx(nullptr, 4, file.c_str(), "Leaks");
    ShowDialog(d);
    FreeDialog(d);
    tsClearEnums();
    gained[failAt] = (long long)heapInUse() - (long long)empty;
    boxes[failAt] = messageCalls;
  }
  tsAllocate = saved;
  messageCalls = 0;
  for (int i = 0; i < total; i++) {
    SCOPED_TRACE("allocation " + std::to_string(i) + " of " + std::to_string(total) + " fails");
    EXPECT_EQ(gained[i], 0);
    // One box for the allocation that failed, none for a quoted text that
    // could not be copied (its item just has no history name).
    EXPECT_LE(boxes[i], 1);
  }
}

// ---- through the plug-in ------------------------------------------------------------

TEST_F(Lifetime, ThePluginsMenuLoopKeepsTheHeapSteady) {
  HMODULE flens = plLoadLibrary(TESSEL_TEST_BIN_DIR TESSEL_FLENS_FILE);
  ASSERT_NE(flens, nullptr) << TESSEL_TEST_BIN_DIR TESSEL_FLENS_FILE;
  auto setStartupInfo = (SetStartupInfoFn)plFindExport(flens, "SetStartupInfo");
  auto openFilePlugin = (OpenFilePluginFn)plFindExport(flens, "OpenFilePlugin");
  ASSERT_TRUE(setStartupInfo && openFilePlugin);
  static const StartupInfo record = hostRecord();
  setStartupInfo(&record);

  const std::string file = dialogFile(true);
  // A first browsing settles what the plug-in and the library set up once.
  menuCalls = 0;
  menuCallsWanted = 101;
  EXPECT_EQ((intptr_t)openFilePlugin(file.c_str(), nullptr, 0), -2);

  // A tenth as many: here every dialog reads the registry store, which the
  // plug-in's start-up made.
  const int cycles = std::max(cycleCount() / 10, 201);
  menuCalls = 0;
  menuCallsWanted = cycles;
  dialogCalls = 0;
  EXPECT_EQ((intptr_t)openFilePlugin(file.c_str(), nullptr, 0), -2);
  EXPECT_EQ(menuCalls, cycles + 1);
  EXPECT_EQ(dialogCalls, cycles);
  EXPECT_EQ(heapAtMenu[1], heapAtMenu[0]) << "bytes gained over " << cycles - 100 << " dialogs shown";
}

}  // namespace
