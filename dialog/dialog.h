/*
 * Public interface of the dialog library Dialog.tsl: the host's records that
 * a plug-in exchanges with the library and with the host, the four host
 * slots, and every export of the library. The exports use C linkage and the C
 * calling convention; the host slots use the host's (WINAPI on Win32).
 *
 * In the 32-bit Windows build the records have exactly the host's sizes and
 * offsets; in the native build every field keeps its order and fields that
 * hold a pointer take the native pointer width.
 */
#ifndef TESSEL_DIALOG_H
#define TESSEL_DIALOG_H

#include <stddef.h>
#include <stdint.h>

#include "platform/wintypes.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Item type codes: positions in the type keyword table of the library. */
enum {
  DI_TEXT = 0,
  DI_VTEXT = 1,
  DI_SINGLEBOX = 2,
  DI_DOUBLEBOX = 3,
  DI_EDIT = 4,
  DI_PSWEDIT = 5,
  DI_FIXEDIT = 6,
  DI_BUTTON = 7,
  DI_CHECKBOX = 8,
  DI_RADIOBUTTON = 9
};

/* Flag bits of DialogItem.flags. */
#define DIF_COLORMASK 0x000FFu
#define DIF_SETCOLOR 0x00100u
#define DIF_BOXCOLOR 0x00200u
#define DIF_GROUP 0x00400u
#define DIF_LEFTTEXT 0x00800u
#define DIF_MOVESELECT 0x01000u
#define DIF_SHOWAMPERSAND 0x02000u
#define DIF_CENTERGROUP 0x04000u
#define DIF_NOBRACKETS 0x08000u
#define DIF_SEPARATOR 0x10000u
#define DIF_EDITOR 0x20000u
#define DIF_HISTORY 0x40000u

/* Size of an item's text, its NUL included; the last eight bytes are the save
   area of HideItem and RestoreItem. */
#define TS_ITEM_DATA_SIZE 512

/* The host's dialog item record. */
typedef struct DialogItem {
  int32_t type;
  int32_t x1, y1, x2, y2;
  int32_t focus;
  intptr_t selected; /* state, or a pointer to a history name */
  uint32_t flags;
  int32_t defaultButton;
  char data[TS_ITEM_DATA_SIZE];
} DialogItem;

/* The host's menu entry record. */
typedef struct MenuEntry {
  char text[128];
  int32_t selected;
  int32_t checked;
  int32_t separator;
} MenuEntry;

/* Flags of the host's menu operation (HostMenu). */
enum {
  MENU_SHOWAMPERSAND = 0x01,       /* '&' is shown, not a hot-key mark */
  MENU_WRAPMODE = 0x02,            /* Up on the first entry goes to the last, and back */
  MENU_AUTOHIGHLIGHT = 0x04,       /* entries without a hot key get one */
  MENU_REVERSEAUTOHIGHLIGHT = 0x08 /* ... handed out from the last entry up */
};

/* Flags of the host's message operation (HostMessage). */
enum {
  MSG_WARNING = 0x01,   /* white on red */
  MSG_ERRORTYPE = 0x02, /* the system's text for the last error code comes first */
  MSG_KEEPBACKGROUND = 0x04,
  MSG_DOWN = 0x08,     /* stands in the lower half of the screen */
  MSG_LEFTALIGN = 0x10 /* lines start at the left instead of centred */
};

/* Host operations reached through the startup record. */
typedef int(TS_HOSTAPI *HostMenu)(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                                  const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                                  const MenuEntry *items, int count);
typedef int(TS_HOSTAPI *HostDialog)(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                                    DialogItem *items, int count);
typedef int(TS_HOSTAPI *HostMessage)(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                                     int lineCount, int buttonCount);
typedef const char *(TS_HOSTAPI *HostGetMsg)(int moduleNumber, int messageNumber);

/* The host's startup record; always copied whole. */
typedef struct StartupInfo {
  int32_t structSize;
  char moduleName[260];
  int32_t moduleNumber;
  const char *rootKey;
  HostMenu hostMenu;
  HostDialog hostDialog;
  HostMessage hostMessage;
  HostGetMsg hostGetMsg;
  void *reserved[12];
} StartupInfo;

/* The host's plug-in information record, filled by a plug-in's GetPluginInfo. */
typedef struct PluginInfo {
  int32_t structSize;
  uint32_t flags;
  const char *const *diskMenuStrings;
  int *diskMenuNumbers;
  int32_t diskMenuStringsNumber;
  const char *const *pluginMenuStrings;
  int32_t pluginMenuStringsNumber;
  const char *const *pluginConfigStrings;
  int32_t pluginConfigStringsNumber;
  const char *commandPrefix;
} PluginInfo;

#if defined(_WIN32) && !defined(_WIN64)
TS_STATIC_ASSERT(sizeof(DialogItem) == 548, "host dialog item is 548 bytes");
TS_STATIC_ASSERT(offsetof(DialogItem, selected) == 24, "selected at 24");
TS_STATIC_ASSERT(offsetof(DialogItem, flags) == 28, "flags at 28");
TS_STATIC_ASSERT(offsetof(DialogItem, data) == 36, "data at 36");
TS_STATIC_ASSERT(sizeof(StartupInfo) == 336, "startup record is 84 words");
TS_STATIC_ASSERT(offsetof(StartupInfo, moduleNumber) == 264, "moduleNumber at 264");
TS_STATIC_ASSERT(offsetof(StartupInfo, rootKey) == 268, "rootKey at 268");
TS_STATIC_ASSERT(offsetof(StartupInfo, hostMenu) == 272, "hostMenu at 272");
TS_STATIC_ASSERT(offsetof(StartupInfo, hostDialog) == 276, "hostDialog at 276");
TS_STATIC_ASSERT(offsetof(StartupInfo, hostMessage) == 280, "hostMessage at 280");
TS_STATIC_ASSERT(offsetof(StartupInfo, hostGetMsg) == 284, "hostGetMsg at 284");
TS_STATIC_ASSERT(sizeof(PluginInfo) == 40, "plug-in information record is 40 bytes");
TS_STATIC_ASSERT(offsetof(PluginInfo, pluginConfigStrings) == 28, "config strings at 28");
TS_STATIC_ASSERT(offsetof(PluginInfo, pluginConfigStringsNumber) == 32, "config count at 32");
#endif
TS_STATIC_ASSERT(sizeof(MenuEntry) == 140, "menu entry is 140 bytes");

/* The dialog handle; opaque to callers. */
typedef struct DialogData DialogData;

/* Version 1.00: major number in the high byte, minor in the low byte. */
#define TS_VERSION 0x0100

TS_EXPORT void TS_Init(StartupInfo info);
TS_EXPORT int TesselVersion(void);
TS_EXPORT DialogItem *GetItemNULL(void);
TS_EXPORT int WINAPI DllMain(HMODULE module, DWORD reason, void *reserved);

TS_EXPORT int parseNum(const char *tokens);
TS_EXPORT char *parseGetStr(const char *tokens, char *buffer, int index);
TS_EXPORT char *parseGet(const char *tokens, int index);

TS_EXPORT int sparse(const char *source, const char *pattern, char *out, int room);

TS_EXPORT DialogData *LoadDialogEx(HMODULE module, int moduleNumber, const char *fileName, const char *dialogName);
TS_EXPORT DialogData *LoadDialog(HMODULE module, const char *fileName, const char *dialogName);
TS_EXPORT char *EnumDialog(HMODULE module, const char *fileName, char *name);

TS_EXPORT void FreeDialog(DialogData *dialog);
TS_EXPORT int GetNumById(DialogData *dialog, int id, int start);
TS_EXPORT int GetItemStatus(DialogData *dialog, int id);
TS_EXPORT int ShowDialog(DialogData *dialog);
TS_EXPORT char *GetItemData(DialogData *dialog, int id);
TS_EXPORT void SetItemColor(DialogData *dialog, int id, int colour);
TS_EXPORT void HideItem(DialogData *dialog, int id);
TS_EXPORT void RestoreItem(DialogData *dialog, int id);
TS_EXPORT void SetItemStatus(DialogData *dialog, int id, int value);
TS_EXPORT DialogItem *GetItemAddr(DialogData *dialog, int id);
TS_EXPORT void SetRadioStatus(DialogData *dialog, int id, int chosen);
TS_EXPORT int GetRadioStatus(DialogData *dialog, int id);
TS_EXPORT void SetItemFocus(DialogData *dialog, int id);

/* Shapes of the exports, for callers that bind them by name. */
typedef void (*TS_InitFn)(StartupInfo);
typedef int (*TesselVersionFn)(void);
typedef DialogItem *(*GetItemNULLFn)(void);
typedef int (*parseNumFn)(const char *);
typedef char *(*parseGetStrFn)(const char *, char *, int);
typedef char *(*parseGetFn)(const char *, int);
typedef int (*sparseFn)(const char *, const char *, char *, int);
typedef DialogData *(*LoadDialogExFn)(HMODULE, int, const char *, const char *);
typedef DialogData *(*LoadDialogFn)(HMODULE, const char *, const char *);
typedef char *(*EnumDialogFn)(HMODULE, const char *, char *);
typedef void (*FreeDialogFn)(DialogData *);
typedef int (*GetNumByIdFn)(DialogData *, int, int);
typedef int (*GetItemStatusFn)(DialogData *, int);
typedef int (*ShowDialogFn)(DialogData *);
typedef char *(*GetItemDataFn)(DialogData *, int);
typedef void (*SetItemColorFn)(DialogData *, int, int);
typedef void (*HideItemFn)(DialogData *, int);
typedef void (*RestoreItemFn)(DialogData *, int);
typedef void (*SetItemStatusFn)(DialogData *, int, int);
typedef DialogItem *(*GetItemAddrFn)(DialogData *, int);
typedef void (*SetRadioStatusFn)(DialogData *, int, int);
typedef int (*GetRadioStatusFn)(DialogData *, int);
typedef void (*SetItemFocusFn)(DialogData *, int);

/* Shapes of a plug-in's exports, for hosts that bind them by name. The host's
   four entry points use the host's calling convention; SetLngMode, which the
   library asks for the language mode, the C one. DllMain has the same shape
   in a plug-in as in the library. */
typedef void(TS_HOSTAPI *SetStartupInfoFn)(const StartupInfo *);
typedef void(TS_HOSTAPI *GetPluginInfoFn)(PluginInfo *);
typedef int(TS_HOSTAPI *ConfigureFn)(int);
typedef HANDLE(TS_HOSTAPI *OpenFilePluginFn)(const char *, const unsigned char *, int);
typedef int (*SetLngModeFn)(void);
typedef int(WINAPI *DllMainFn)(HMODULE, DWORD, void *);

#ifdef __cplusplus
}
#endif

#endif /* TESSEL_DIALOG_H */
