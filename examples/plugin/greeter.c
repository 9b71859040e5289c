/*
 * Greeter: an example plug-in that calls the dialog library. Its entry in the
 * host's plug-in configuration menu loads the dialog "Greeter" of
 * greeter.dlg, shows it, reads back by identifier what the user entered and
 * greets them in the host's message box. Like any plug-in, it loads
 * Dialog.tsl at run time by file name and finds its exports by name.
 */
#include <stdio.h>
#include <string.h>

#include "dialog/dialog.h"
/* The names of greeter.dlg (item identifiers, MSG_ message numbers, DIALOG_
   names), written by `tessel header greeter.dlg -o greeter.h`. In angle
   brackets, so that the build's include path picks the copy: the one it
   generates, or the committed one where there is no tessel. */
#include <greeter.h>

#ifdef _WIN32
#define DIR_SEP '\\'
#else
/* The native build: stand-ins for the Windows calls below. */
#include "examples/plugin/win32_stand_ins.h"
#define DIR_SEP '/'
#endif

/* Room for this module's path, and for the greeting: at most 100 bytes of
   the greeting word, ", ", the name (an item's text has at most 511), "!"
   and the NUL. */
enum { PATH_ROOM = 512, GREETING_ROOM = 100 + 2 + 511 + 2 };

static HMODULE thisModule; /* where the library finds greeter.dlg and SetLngMode */
static StartupInfo host;   /* the host's startup record */
static int bound;          /* 1 once every export below was found */
static const char *configEntry[1];

/* The exports of Dialog.tsl that this plug-in calls. */
static struct {
  TS_InitFn TS_Init;
  LoadDialogExFn LoadDialogEx;
  ShowDialogFn ShowDialog;
  GetItemDataFn GetItemData;
  GetItemStatusFn GetItemStatus;
  GetRadioStatusFn GetRadioStatus;
  FreeDialogFn FreeDialog;
} lib;

int WINAPI DllMain(HMODULE module, DWORD reason, void *reserved) {
  (void)reserved;
  if (reason == 1) thisModule = module; /* loaded into the host */
  return 1;
}

/* Loads Dialog.tsl from this plug-in's directory, else by bare name. */
static HMODULE loadLibrary(void) {
  char path[PATH_ROOM];
  char *name;
  HMODULE library = NULL;
  size_t length = GetModuleFileNameA(thisModule, path, PATH_ROOM);
  if (length > 0 && length < PATH_ROOM - 1) { /* else unknown, or maybe cut short */
    name = strrchr(path, DIR_SEP);
    name = name ? name + 1 : path;
    if ((size_t)(name - path) + sizeof "Dialog.tsl" <= sizeof path) {
      strcpy(name, "Dialog.tsl");
      library = LoadLibraryA(path);
    }
  }
  return library ? library : LoadLibraryA("Dialog.tsl");
}

/* An export by name, as a function of no particular shape (cast to the
   export's own shape before it is called); null when there is none. */
typedef void (*Export)(void);
static Export findExport(HMODULE library, const char *name) { return (Export)GetProcAddress(library, name); }

/* Finds the exports and hands the library the host's record; 1 when all
   were found. */
static int bindLibrary(void) {
  HMODULE library = loadLibrary();
  if (!library) return 0;
  lib.TS_Init = (TS_InitFn)findExport(library, "TS_Init");
  lib.LoadDialogEx = (LoadDialogExFn)findExport(library, "LoadDialogEx");
  lib.ShowDialog = (ShowDialogFn)findExport(library, "ShowDialog");
  lib.GetItemData = (GetItemDataFn)findExport(library, "GetItemData");
  lib.GetItemStatus = (GetItemStatusFn)findExport(library, "GetItemStatus");
  lib.GetRadioStatus = (GetRadioStatusFn)findExport(library, "GetRadioStatus");
  lib.FreeDialog = (FreeDialogFn)findExport(library, "FreeDialog");
  if (!lib.TS_Init || !lib.LoadDialogEx || !lib.ShowDialog || !lib.GetItemData || !lib.GetItemStatus ||
      !lib.GetRadioStatus || !lib.FreeDialog)
    return 0;
  lib.TS_Init(host);
  return 1;
}

/* The host's text of one of this plug-in's messages ("" when it has none). */
static const char *message(int number) {
  const char *text = host.hostGetMsg ? host.hostGetMsg(host.moduleNumber, number) : NULL;
  return text ? text : "";
}

/* "<greeting>, <name>!" in the host's message box: the name as typed, the
   greeting of the chosen radio button, in capitals when "Shout" is ticked. */
static void greet(DialogData *dialog) {
  char greeting[GREETING_ROOM];
  const char *lines[3];
  char *c;
  int word = lib.GetRadioStatus(dialog, eHello) == eGoodDay ? MSG_MSayGoodDay : MSG_MSayHello;
  sprintf(greeting, "%.100s, %.511s!", message(word), lib.GetItemData(dialog, eName));
  /* capitals of ASCII letters only: texts are in the host's code page */
  if (lib.GetItemStatus(dialog, eShout))
    for (c = greeting; *c; c++)
      if (*c >= 'a' && *c <= 'z') *c = (char)(*c - 'a' + 'A');
  lines[0] = message(MSG_MTitle); /* the title, one line of text, one button */
  lines[1] = greeting;
  lines[2] = message(MSG_MOk);
  host.hostMessage(host.moduleNumber, 0, NULL, lines, 3, 1);
}

TS_EXPORT void TS_HOSTAPI SetStartupInfo(const StartupInfo *info) {
  host = *info;
  bound = bindLibrary();
}

TS_EXPORT void TS_HOSTAPI GetPluginInfo(PluginInfo *info) {
  configEntry[0] = message(MSG_MTitle);
  info->structSize = (int32_t)sizeof *info;
  info->pluginConfigStrings = configEntry;
  info->pluginConfigStringsNumber = 1;
}

/* The configuration entry: load, show, read back, free. Returns 1 when the
   user confirmed with OK. */
TS_EXPORT int TS_HOSTAPI Configure(int itemNumber) {
  DialogData *dialog;
  int exitId;
  (void)itemNumber;
  if (!bound) return 0;
  dialog = lib.LoadDialogEx(thisModule, host.moduleNumber, "greeter.dlg", DIALOG_Greeter);
  if (!dialog) return 0; /* no such file (the library has said so) or dialog */
  /* the identifier of the button that closed the dialog, -1 for Esc */
  exitId = lib.ShowDialog(dialog);
  if (exitId == eOk) greet(dialog);
  lib.FreeDialog(dialog);
  return exitId == eOk;
}

/* Asked by the library at every load: 0, the localised texts (%L% reads the
   .lng file of the host's language). */
TS_EXPORT int SetLngMode(void) { return 0; }
