/*
 * The library exports the Flens plug-in binds, in binding order: the one list
 * from which the plug-in's slot table, its stand-bys and its binding calls are
 * generated. Each entry names an export whose shape dialog/dialog.h gives as
 * <name>Fn. The order is the order of the "Missed function" lines when no
 * library is found.
 */
#ifndef TESSEL_VIEWER_LIBRARY_EXPORTS_H
#define TESSEL_VIEWER_LIBRARY_EXPORTS_H

#define FL_LIBRARY_EXPORTS(X) \
  X(LoadDialogEx)             \
  X(EnumDialog)               \
  X(FreeDialog)               \
  X(GetNumById)               \
  X(GetItemStatus)            \
  X(ShowDialog)               \
  X(GetItemData)              \
  X(GetItemAddr)              \
  X(GetRadioStatus)           \
  X(TS_Init)                  \
  X(SetItemColor)             \
  X(SetItemStatus)            \
  X(SetRadioStatus)           \
  X(HideItem)                 \
  X(RestoreItem)              \
  X(GetItemNULL)              \
  X(TesselVersion)            \
  X(parseNum)                 \
  X(parseGetStr)              \
  X(parseGet)                 \
  X(sparse)                   \
  X(SetItemFocus)

#endif /* TESSEL_VIEWER_LIBRARY_EXPORTS_H */
