/*
 * Internal declarations of the Flens plug-in: its exports and their shapes,
 * the process-wide state shared by binding, settings and browsing, and the
 * table of function slots through which it calls the dialog library, which it
 * loads at run time and never links against.
 */
#ifndef TESSEL_VIEWER_H
#define TESSEL_VIEWER_H

#include <stdint.h>

#include "dialog/dialog.h"
#include "platform/platform.h"
#include "viewer/library_exports.h"

/* ---- Exports ------------------------------------------------------------- */

/* DllMain (declared in dialog/dialog.h with the same shape) and these five are
   the plug-in's whole export table. The four host entry points use the host's
   calling convention; SetLngMode the C one, as the library calls it. */
extern "C" {
TS_EXPORT void TS_HOSTAPI SetStartupInfo(const StartupInfo *info);
TS_EXPORT void TS_HOSTAPI GetPluginInfo(PluginInfo *info);
TS_EXPORT int TS_HOSTAPI Configure(int itemNumber);
TS_EXPORT HANDLE TS_HOSTAPI OpenFilePlugin(const char *name, const unsigned char *data, int dataSize);
TS_EXPORT int SetLngMode(void);
}

/* Their shapes, for hosts that bind them by name, are in dialog/dialog.h
   (SetStartupInfoFn, GetPluginInfoFn, ConfigureFn, OpenFilePluginFn,
   SetLngModeFn, DllMainFn). */

/* Values OpenFilePlugin hands back: the file is not taken, or it was dealt
   with and no panel opens. */
#define FL_DECLINED ((HANDLE)(intptr_t)-1)
#define FL_HANDLED ((HANDLE)(intptr_t)-2)

/* ---- Library binding (binding.cpp) --------------------------------------- */

/* The library's exports the plug-in binds, one slot each, in the binding
   order of FL_LIBRARY_EXPORTS (viewer/library_exports.h). After start-up
   every slot holds the library's function or a stand-by of the same shape
   (returns 0 or null, or does nothing); before start-up every slot holds its
   stand-by, so no slot is ever null. */
struct FlensLibrary {
#define FL_SLOT(name) name##Fn name;
  FL_LIBRARY_EXPORTS(FL_SLOT)
#undef FL_SLOT
};

/* A function address of no particular shape: what ResolveFunction passes on.
   It is always cast back to the slot's own shape before a call. */
typedef void (*FlProc)(void);

extern FlensLibrary flLib;
extern HMODULE flModule;      /* the plug-in's own module, from DllMain */
extern StartupInfo flStartup; /* the host's record; rootKey points to flRootKey */
extern char *flRootKey;       /* owned duplicate of the host's root key, or null */
extern int flStarted;         /* 1 once SetStartupInfo ran */
extern HMODULE flLibrary;     /* the loaded Dialog.tsl, or null; never unloaded */

/* Loads the library (beside the plug-in's file, beside the host program,
   then by bare name), fills every slot of flLib and hands info to the
   library's TS_Init. Returns 1 when a library was loaded, 0 otherwise (every
   slot then holds its stand-by). */
int BindLibrary(HMODULE module, StartupInfo info);

/* The address of the loaded library's export of that name, or standBy when
   there is none (a "Missed function" debug line then says so). */
FlProc ResolveFunction(const char *name, FlProc standBy);

/* ---- Settings (settings.cpp) --------------------------------------------- */

extern int32_t flLngMode;  /* what SetLngMode answers; 1 until settings are read */
extern int32_t flDisable;  /* non-zero: no configuration entry, every file declined */
extern HKEY flSettingsKey; /* the held settings key, or null; never closed at unload */

/* Closes the held key and opens HKEY_CURRENT_USER\<root key>\Formlens\<subkey>,
   creating what is missing. Returns the key (the caller holds it as
   flSettingsKey), or null: no root key, a path longer than the settings
   path's 88 bytes (said in the debug output), or a registry failure. */
HKEY OpenSettingsKey(const char *subkey);

/* Reads a value of the held key into destination (size bytes of room); a
   shorter value replaces only the bytes it covers. On any failure the whole
   destination is zeroed. Returns the registry status (0: read). */
long ReadSetting(const char *name, void *destination, uint32_t size);

/* Stores value as a 32-bit registry number in the held key; returns the
   registry status. */
long WriteSetting(const char *name, int32_t value);

/* The language mode for a stored "LngMode" choice: its two low bits, with 2
   giving 0 (localised texts) and v giving v + 1 otherwise. */
int32_t LngModeFromStored(int32_t stored);

/* The start-up step: opens the settings key and reads both settings. */
void LoadSettings(void);

/* The host's text of one of the plug-in's messages, or null before start-up. */
const char *GetPluginMsg(int messageNumber);

/* ---- Browsing (browse.cpp) ----------------------------------------------- */

/* Lists the dialogs of a description file in the host's menu and shows each
   chosen one until the menu is closed. Returns 1 when the file was taken (its
   extension begins with ".dlg" and it lists a dialog), 0 otherwise. */
int BrowseDialogFile(const char *fileName);

#endif /* TESSEL_VIEWER_H */
