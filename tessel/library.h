/*
 * What render and try share: Dialog.tsl loaded beside tessel with the entry
 * points they call, tessel's own SetLngMode (the language mode the library
 * asks for at every load), and the dialog file's directory set up as the
 * calling module's (its .lng files give the texts).
 */
#ifndef TESSEL_TESSEL_LIBRARY_H
#define TESSEL_TESSEL_LIBRARY_H

#include "dialog/dialog.h"

/* The library's file name, loaded from tessel's own directory. */
extern const char kLibraryFile[];

/* The library's entry points that tessel calls, as a plug-in binds them. */
struct Library {
  TS_InitFn init;
  LoadDialogExFn load;
  ShowDialogFn show;
  FreeDialogFn release;
  GetNumByIdFn numById;
  GetItemStatusFn itemStatus;
  GetItemDataFn itemData;
  GetItemAddrFn itemAddr;
};

/* Loads Dialog.tsl from tessel's directory; returns the module, or null
   after reporting why not. */
HMODULE loadLibraryModule(void);

/* Loads Dialog.tsl beside tessel and finds its entry points; returns 1, or
   0 after reporting what is missing. */
int loadLibrary(Library *library);

/* Registers the directory of file (an absolute path) as the module whose
   .lng files give the texts, hands the library its startup record and sets
   the language mode that tessel's SetLngMode answers from now on; adjust
   (when not null) may change the startup record first (--watch wraps its
   slots). */
void startLibrary(const Library *library, const char *file, int lngMode, void (*adjust)(StartupInfo *info) = nullptr);

/* Loads dialog name of file as a plug-in would, with tessel as the calling
   module; returns the handle, or null when the file has no such dialog. */
DialogData *loadDialog(const Library *library, const char *file, const char *name);

#endif
