/*
 * The four host operations that a plug-in (and the dialog library, through
 * the plug-in's startup record) calls: menus, dialogs, message boxes and
 * message texts. Messages come from the language files of each module's
 * directory, which the host registers by module number.
 */
#ifndef TESSEL_HOST_SLOTS_H
#define TESSEL_HOST_SLOTS_H

#include "dialog/dialog.h"

/* Modules whose messages the host serves at once. */
enum { HOST_MAX_MODULES = 8 };

/* The registry path under which the host keeps plug-in settings. */
#define HOST_ROOT_KEY "Software\\Far\\Plugins"

/* Registers a module number with the directory (ending in '/') whose
   language files hold its messages; the file is read at the first message
   asked for. Returns 1, or 0 when the table is full or the path too long. */
int hostAddModule(int number, const char *directory);

/* The language whose files are preferred (English when null or not set). */
void hostSetLanguage(const char *language);

/* Draw-only mode, for render: a dialog is drawn once into the session's
   screen (resized to fit it when fit is set) and returns -1 at once, and a
   message box is written to standard error as one line. */
void hostSetDrawOnly(int on, int fit);

/* Fills a startup record as the host hands it to a plug-in: its size, the
   module's file name and number, the root key and the four slots. */
void hostFillStartup(StartupInfo *info, int moduleNumber, const char *moduleName);

/* Releases every language table; the modules stay registered. */
void hostRelease(void);

int TS_HOSTAPI hostMenuSlot(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                            const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                            const MenuEntry *items, int count);
int TS_HOSTAPI hostDialogSlot(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                              DialogItem *items, int count);
int TS_HOSTAPI hostMessageSlot(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                               int lineCount, int buttonCount);
const char *TS_HOSTAPI hostGetMsgSlot(int moduleNumber, int messageNumber);

#endif
