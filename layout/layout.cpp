/*
 * The host dialog's layout rules, as the window draws them.
 */
#include "layout/layout.h"

#include <vector>

int layoutKnownType(int type) { return type >= DI_TEXT && type <= DI_RADIOBUTTON; }

int layoutIsBox(int type) { return type == DI_SINGLEBOX || type == DI_DOUBLEBOX; }

int layoutIsEdit(int type) { return type == DI_EDIT || type == DI_PSWEDIT || type == DI_FIXEDIT; }

int layoutIsFocusable(int type) {
  return layoutIsEdit(type) || type == DI_BUTTON || type == DI_CHECKBOX || type == DI_RADIOBUTTON;
}

int layoutHasHotKey(int type) { return layoutKnownType(type) && !layoutIsEdit(type); }

int layoutDrawsItem(const DialogItem *item) {
  return layoutKnownType(item->type) && !(item->type == DI_TEXT && (item->flags & DIF_SEPARATOR));
}

int layoutCentresInGroup(const DialogItem *item) {
  return (item->flags & DIF_CENTERGROUP) &&
         ((item->type == DI_TEXT && !(item->flags & DIF_SEPARATOR)) || item->type == DI_BUTTON ||
          item->type == DI_CHECKBOX || item->type == DI_RADIOBUTTON);
}

int layoutButtonFrame(const DialogItem *item) {
  if (item->flags & DIF_NOBRACKETS) return BUTTON_BARE;
  return item->defaultButton ? BUTTON_BRACES : BUTTON_BRACKETS;
}

int buttonWidth(const char *text, int length, int showAmpersand, int frame) {
  return hotWidth(text, length, showAmpersand) + (frame == BUTTON_BARE ? 0 : BUTTON_FRAME_CELLS);
}

LayoutCell layoutFieldWidth(const DialogItem *item) {
  LayoutCell width = (LayoutCell)item->x2 - item->x1 + 1;
  return width < 1 ? 1 : width;
}

LayoutCell layoutItemWidth(const DialogItem *item) {
  int amp = (item->flags & DIF_SHOWAMPERSAND) != 0;
  LayoutCell text = hotWidth(item->data, TS_ITEM_DATA_SIZE, amp);
  switch (item->type) {
    case DI_TEXT:
      return text;
    case DI_VTEXT:
      return 1;
    case DI_BUTTON:
      return buttonWidth(item->data, TS_ITEM_DATA_SIZE, amp, layoutButtonFrame(item));
    case DI_CHECKBOX:
    case DI_RADIOBUTTON:
      return text + 4;
    case DI_EDIT:
      return layoutFieldWidth(item) + (item->flags & DIF_HISTORY ? 1 : 0);
    case DI_PSWEDIT:
    case DI_FIXEDIT:
      return layoutFieldWidth(item);
    default:
      return (LayoutCell)item->x2 - item->x1 + 1;
  }
}

void layoutDialogSize(int x1, int y1, int x2, int y2, LayoutCell *width, LayoutCell *height) {
  *width = x1 < 0 ? x2 : (LayoutCell)x2 - x1 + 1;
  *height = y1 < 0 ? y2 : (LayoutCell)y2 - y1 + 1;
  if (*width < 1) *width = 1;
  if (*height < 1) *height = 1;
}

void layoutColumns(const DialogItem *items, int count, LayoutCell width, LayoutCell *column) {
  std::vector<bool> grouped((size_t)(count > 0 ? count : 0));
  for (int i = 0; i < count; i++) {
    column[i] = items[i].x1;
    if (items[i].type == DI_TEXT && items[i].x1 == -1) column[i] = (width - layoutItemWidth(&items[i])) / 2;
  }
  for (int i = 0; i < count; i++) {
    if (grouped[(size_t)i] || !layoutCentresInGroup(&items[i])) continue;
    LayoutCell total = -1;
    for (int j = i; j < count; j++)
      if (layoutCentresInGroup(&items[j]) && items[j].y1 == items[i].y1) total += layoutItemWidth(&items[j]) + 1;
    LayoutCell x = (width - total) / 2;
    for (int j = i; j < count; j++)
      if (layoutCentresInGroup(&items[j]) && items[j].y1 == items[i].y1) {
        grouped[(size_t)j] = true;
        column[j] = x;
        x += layoutItemWidth(&items[j]) + 1;
      }
  }
}
