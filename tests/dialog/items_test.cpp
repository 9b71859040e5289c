// Operations on a loaded dialog, on handles built directly from item rows.
#include <gtest/gtest.h>

#include <stdlib.h>
#include <string>

#include "dialog/dialog_internal.h"
#include "tests/dialog/recording_host.h"

namespace {

struct ItemRow {
  int type;
  int id;
  int selected;
};

// A handle as the loader builds one: separate heap blocks throughout.
DialogData *makeDialog(std::initializer_list<ItemRow> rows) {
  int n = (int)rows.size();
  DialogData *d = (DialogData *)calloc(1, sizeof(DialogData));
  d->items = (DialogItem *)calloc(n, sizeof(DialogItem));
  d->ids = (int32_t *)calloc(n, sizeof(int32_t));
  d->strings = (char **)calloc(n, sizeof(char *));
  d->helpTopic = strdup("Contents");
  d->itemCount = n;
  d->width = 40;
  d->height = 10;
  int i = 0;
  for (const ItemRow &r : rows) {
    d->items[i].type = r.type;
    d->items[i].selected = r.selected;
    snprintf(d->items[i].data, sizeof d->items[i].data, "item %d", i);
    d->ids[i] = r.id;
    i++;
  }
  return d;
}

// The `selected` fields, one digit per item.
std::string states(DialogData *d) {
  std::string s;
  for (int i = 0; i < d->itemCount; i++) s += std::to_string(d->items[i].selected);
  return s;
}

TEST(Items, NullHandleIsNeutral) {
  EXPECT_EQ(GetNumById(nullptr, 1, 0), -1);
  EXPECT_EQ(GetItemStatus(nullptr, 1), 0);
  EXPECT_EQ(ShowDialog(nullptr), -1);
  EXPECT_EQ(GetItemData(nullptr, 1), GetItemNULL()->data);
  EXPECT_EQ(GetItemAddr(nullptr, 1), GetItemNULL());
  EXPECT_EQ(GetRadioStatus(nullptr, 1), -1);
  SetItemColor(nullptr, 1, 2);
  HideItem(nullptr, 1);
  RestoreItem(nullptr, 1);
  SetItemStatus(nullptr, 1, 1);
  SetRadioStatus(nullptr, 1, 1);
  SetItemFocus(nullptr, 1);
  FreeDialog(nullptr);
}

TEST(Items, LookupsByIdentifier) {
  DialogData *d = makeDialog({{DI_TEXT, 1, 0}, {DI_CHECKBOX, 5, 0}, {DI_EDIT, 5, 0}, {DI_TEXT, 1, 0}});
  EXPECT_EQ(GetNumById(d, 5, 0), 1);
  EXPECT_EQ(GetNumById(d, 1, 1), 3);
  EXPECT_EQ(GetNumById(d, 1, 3), 3);
  EXPECT_EQ(GetNumById(d, 1, 4), -1);
  EXPECT_EQ(GetNumById(d, 1, -1), -1);
  EXPECT_EQ(GetNumById(d, 9, 0), -1);
  EXPECT_STREQ(GetItemData(d, 5), "item 1");
  EXPECT_EQ(GetItemAddr(d, 1), &d->items[0]);
  // Shared identifier: every item is set, the first one is read.
  SetItemStatus(d, 5, 5);
  EXPECT_EQ(states(d), "0550");
  EXPECT_EQ(GetItemStatus(d, 5), 1);
  d->items[1].selected = 0;
  EXPECT_EQ(GetItemStatus(d, 5), 0);
  FreeDialog(d);
}

TEST(Items, UnknownIdentifierGivesTheNullItem) {
  RecordingHost host;
  host.init(1);
  DialogData *d = makeDialog({{DI_TEXT, 1, 0}});
  char *text = GetItemData(d, 77);
  EXPECT_STREQ(text, "");
  strcpy(text, "stays");
  EXPECT_STREQ(GetItemData(d, 78), "stays");
  host.init(1);  // TS_Init zeroes the null item again
  EXPECT_STREQ(GetItemData(d, 78), "");
  FreeDialog(d);
}

TEST(Items, ColourKeepsOtherFlags) {
  DialogData *d = makeDialog({{DI_TEXT, 3, 0}, {DI_TEXT, 3, 0}, {DI_TEXT, 4, 0}});
  d->items[0].flags = DIF_GROUP | 0x12;
  SetItemColor(d, 3, 0x1F4);
  EXPECT_EQ(d->items[0].flags, DIF_GROUP | DIF_SETCOLOR | 0xF4u);
  EXPECT_EQ(d->items[1].flags, DIF_SETCOLOR | 0xF4u);
  EXPECT_EQ(d->items[2].flags, 0u);
  FreeDialog(d);
}

TEST(Items, ShowDialogMapsIndexToIdentifier) {
  RecordingHost host;
  host.init(3);
  DialogData *d = makeDialog({{DI_BUTTON, 12, 0}, {DI_BUTTON, -1, 0}, {DI_BUTTON, 12, 0}, {DI_CHECKBOX, 12, 1}});
  d->moduleNumber = 99;  // the record's module number is used, not the handle's
  host.dialogResults = {2, -1, 7};
  EXPECT_EQ(ShowDialog(d), 12);
  EXPECT_EQ(states(d), "1011");
  EXPECT_EQ(GetRadioStatus(d, -1), 12);  // a button reads lastId
  EXPECT_EQ(ShowDialog(d), -1);
  EXPECT_EQ(states(d), "0101");
  EXPECT_EQ(ShowDialog(d), -1);  // not an item index: cancelled
  ASSERT_EQ(host.dialogs.size(), 3u);
  EXPECT_EQ(host.dialogs[0], "module 3 at -1,-1 size 40x10 help Contents items 4");
  FreeDialog(d);
}

TEST(Items, ShowDialogBeforeInitCallsNoHost) {
  RecordingHost host;  // not initialised
  DialogData *d = makeDialog({{DI_BUTTON, 4, 1}});
  EXPECT_EQ(ShowDialog(d), -1);
  EXPECT_TRUE(host.dialogs.empty());
  FreeDialog(d);
}

struct RadioRow {
  const char *name;
  int id, chosen;
  const char *after;  // states after SetRadioStatus
  int readId;         // identifier GetRadioStatus(readId...) is asked about
  int read;           // its answer
};

TEST(Items, RadioGroupsByAdjacency) {
  // index:       0 radio 1, 1 radio 2, 2 radio 3, 3 text 9, 4 radio 4, 5 radio 5, 6 button 6, 7 button 7
  static const RadioRow rows[] = {
      {"choose inside the first run", 2, 3, "00100000", 1, 3},    {"group starts at index 0", 1, 1, "10000000", 3, 1},
      {"no button of the group has it", 1, 8, "00000000", 2, -1}, {"second run only", 5, 4, "00001000", 5, 4},
      {"on a button: marks the buttons", 6, 7, "00000001", 9, 0}, {"on a text: nothing", 9, 1, "00000000", 9, 0},
  };
  for (const RadioRow &r : rows) {
    SCOPED_TRACE(r.name);
    DialogData *d = makeDialog({{DI_RADIOBUTTON, 1, 0},
                                {DI_RADIOBUTTON, 2, 0},
                                {DI_RADIOBUTTON, 3, 0},
                                {DI_TEXT, 9, 0},
                                {DI_RADIOBUTTON, 4, 0},
                                {DI_RADIOBUTTON, 5, 0},
                                {DI_BUTTON, 6, 0},
                                {DI_BUTTON, 7, 0}});
    SetRadioStatus(d, r.id, r.chosen);
    EXPECT_EQ(states(d), r.after);
    EXPECT_EQ(d->lastId, 0);  // SetRadioStatus leaves lastId alone
    EXPECT_EQ(GetRadioStatus(d, r.readId), r.read);
    FreeDialog(d);
  }
}

TEST(Items, TouchingGroupsAreOne) {
  DialogData *d = makeDialog({{DI_TEXT, 0, 0},
                              {DI_RADIOBUTTON, 1, 1},
                              {DI_RADIOBUTTON, 2, 0},
                              {DI_RADIOBUTTON, 3, 0},
                              {DI_RADIOBUTTON, 4, 1}});
  d->items[3].flags = DIF_GROUP;  // flags play no part
  SetRadioStatus(d, 4, 2);
  EXPECT_EQ(states(d), "00100");
  EXPECT_EQ(GetRadioStatus(d, 1), 2);
  FreeDialog(d);
}

TEST(Items, FocusAndLastId) {
  DialogData *d = makeDialog({{DI_EDIT, 1, 0}, {DI_EDIT, 2, 0}, {DI_EDIT, 2, 0}});
  d->items[0].focus = 1;
  SetItemFocus(d, 2);
  EXPECT_EQ(d->items[0].focus + d->items[1].focus * 10 + d->items[2].focus * 100, 110);
  EXPECT_EQ(d->lastId, 2);
  SetItemFocus(d, 9);
  EXPECT_EQ(d->items[0].focus + d->items[1].focus + d->items[2].focus, 0);
  EXPECT_EQ(d->lastId, 9);
  EXPECT_EQ(GetRadioStatus(d, 1), 9);  // an edit item reads lastId too
  FreeDialog(d);
}

TEST(Items, HideAndRestore) {
  DialogData *d = makeDialog({{DI_CHECKBOX, 1, 1}, {DI_EDIT, 2, 0}});
  d->items[0].data[0] = (char)0xC4;  // all eight bits of the first text byte are kept
  HideItem(d, 1);
  EXPECT_EQ(d->items[0].type, DI_TEXT);
  EXPECT_EQ(d->items[0].data[0], 0);
  EXPECT_EQ((unsigned char)d->items[0].data[TS_SAVED_TYPE], DI_CHECKBOX);
  EXPECT_EQ((unsigned char)d->items[0].data[TS_SAVE_AREA] & 0xF0, 0xF0);
  RestoreItem(d, 1);
  EXPECT_EQ(d->items[0].type, DI_CHECKBOX);
  EXPECT_EQ((unsigned char)d->items[0].data[0], 0xC4);
  EXPECT_STREQ(d->items[0].data + 1, "tem 0");
  EXPECT_EQ(d->items[0].data[TS_SAVE_AREA], 0);
  RestoreItem(d, 1);  // a second restore does nothing
  EXPECT_EQ(d->items[0].type, DI_CHECKBOX);
  RestoreItem(d, 2);  // never hidden: unchanged
  EXPECT_EQ(d->items[1].type, DI_EDIT);
  EXPECT_STREQ(d->items[1].data, "item 1");
  // Hidden twice, restored once: an empty text item.
  HideItem(d, 2);
  HideItem(d, 2);
  RestoreItem(d, 2);
  EXPECT_EQ(d->items[1].type, DI_TEXT);
  EXPECT_STREQ(d->items[1].data, "");
  FreeDialog(d);
}

TEST(Items, FreeReleasesOwnedStrings) {
  DialogData *d = makeDialog({{DI_EDIT, 1, 0}, {DI_EDIT, 2, 0}});
  d->strings[1] = strdup("History");
  d->items[1].selected = (intptr_t)d->strings[1];
  FreeDialog(d);  // the sanitizer build reports a leak if anything stays
}

}  // namespace
