/*
 * Operations on a loaded dialog: show it through the host, find items by
 * identifier, read and change their state, text, colour, focus and
 * visibility, treat radio buttons and buttons as groups, and free the handle.
 * Every lookup is a linear scan of the identifier array.
 */
#include <stdlib.h>

#include "dialog/dialog_internal.h"

/* The hidden mark of the save area: the high four bits of data[504] all ones.
   HideItem keeps the whole first text byte in data[505]. */
enum { TS_HIDDEN_MARK = 0xF0, TS_SAVED_TEXT = TS_SAVE_AREA + 1 };

/* The item with the identifier at the lowest index, or null. */
static DialogItem *firstItem(DialogData *dialog, int id) {
  int index = GetNumById(dialog, id, 0);
  return index < 0 ? nullptr : &dialog->items[index];
}

/* Sets `selected` of every BUTTON to 1 where its identifier is id, else 0. */
static void MarkButtons(DialogData *dialog, int id) {
  for (int i = 0; i < dialog->itemCount; i++)
    if (dialog->items[i].type == DI_BUTTON) dialog->items[i].selected = dialog->ids[i] == id;
}

/* The first index of the run of radio buttons that holds index n. */
static int radioGroupStart(const DialogData *dialog, int n) {
  while (n > 0 && dialog->items[n].type == DI_RADIOBUTTON) n--;
  if (dialog->items[n].type != DI_RADIOBUTTON) n++;
  return n;
}

extern "C" void FreeDialog(DialogData *dialog) {
  if (!dialog) return;
  if (dialog->strings)
    for (int i = 0; i < dialog->itemCount; i++) free(dialog->strings[i]);
  free(dialog->strings);
  free(dialog->items);
  free(dialog->ids);
  free(dialog->helpTopic);
  free(dialog);
}

extern "C" int GetNumById(DialogData *dialog, int id, int start) {
  if (!dialog || start < 0 || !dialog->ids) return -1;
  for (int i = start; i < dialog->itemCount; i++)
    if (dialog->ids[i] == id) return i;
  return -1;
}

extern "C" int GetItemStatus(DialogData *dialog, int id) {
  DialogItem *item = firstItem(dialog, id);
  return item && item->selected != 0;
}

extern "C" int ShowDialog(DialogData *dialog) {
  if (!dialog) return -1;
  /* Before TS_Init there is no host to call: the dialog counts as cancelled. */
  int index = -1;
  if (tsInitialised && tsStartup.hostDialog)
    index = tsStartup.hostDialog(tsStartup.moduleNumber, -1, -1, dialog->width, dialog->height, dialog->helpTopic,
                                 dialog->items, dialog->itemCount);
  dialog->lastId = index >= 0 && index < dialog->itemCount ? dialog->ids[index] : -1;
  MarkButtons(dialog, dialog->lastId);
  return dialog->lastId;
}

extern "C" char *GetItemData(DialogData *dialog, int id) {
  DialogItem *item = firstItem(dialog, id);
  return item ? item->data : tsNullItem.data;
}

extern "C" void SetItemColor(DialogData *dialog, int id, int colour) {
  for (int i = GetNumById(dialog, id, 0); i >= 0; i = GetNumById(dialog, id, i + 1)) {
    DialogItem *item = &dialog->items[i];
    item->flags = (item->flags & ~DIF_COLORMASK) | ((uint32_t)colour & DIF_COLORMASK) | DIF_SETCOLOR;
  }
}

extern "C" void HideItem(DialogData *dialog, int id) {
  DialogItem *item = firstItem(dialog, id);
  if (!item) return;
  item->data[TS_SAVED_TYPE] = (char)item->type;
  item->data[TS_SAVED_TEXT] = item->data[0];
  item->data[TS_SAVE_AREA] = (char)TS_HIDDEN_MARK;
  item->data[0] = 0;
  item->type = DI_TEXT;
}

extern "C" void RestoreItem(DialogData *dialog, int id) {
  DialogItem *item = firstItem(dialog, id);
  if (!item || ((unsigned char)item->data[TS_SAVE_AREA] & TS_HIDDEN_MARK) != TS_HIDDEN_MARK) return;
  item->type = (unsigned char)item->data[TS_SAVED_TYPE];
  item->data[0] = item->data[TS_SAVED_TEXT];
  item->data[TS_SAVE_AREA] = 0;
}

extern "C" void SetItemStatus(DialogData *dialog, int id, int value) {
  for (int i = GetNumById(dialog, id, 0); i >= 0; i = GetNumById(dialog, id, i + 1)) dialog->items[i].selected = value;
}

extern "C" DialogItem *GetItemAddr(DialogData *dialog, int id) {
  DialogItem *item = firstItem(dialog, id);
  return item ? item : &tsNullItem;
}

extern "C" void SetRadioStatus(DialogData *dialog, int id, int chosen) {
  int n = GetNumById(dialog, id, 0);
  if (n < 0) return;
  if (dialog->items[n].type == DI_BUTTON) {
    MarkButtons(dialog, chosen);
    return;
  }
  if (dialog->items[n].type != DI_RADIOBUTTON) return;
  for (n = radioGroupStart(dialog, n); n < dialog->itemCount && dialog->items[n].type == DI_RADIOBUTTON; n++)
    dialog->items[n].selected = dialog->ids[n] == chosen;
}

extern "C" int GetRadioStatus(DialogData *dialog, int id) {
  int n = GetNumById(dialog, id, 0);
  if (n < 0) return -1;
  if (dialog->items[n].type != DI_RADIOBUTTON) return dialog->lastId;
  for (n = radioGroupStart(dialog, n); n < dialog->itemCount && dialog->items[n].type == DI_RADIOBUTTON; n++)
    if (dialog->items[n].selected) return dialog->ids[n];
  return -1;
}

extern "C" void SetItemFocus(DialogData *dialog, int id) {
  if (!dialog) return;
  for (int i = 0; i < dialog->itemCount; i++) dialog->items[i].focus = dialog->ids[i] == id;
  dialog->lastId = id;
}
