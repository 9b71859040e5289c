/*
 * The files and modules tessel works with: the .dlg file named on the
 * command line, and the modules (the plug-in, the library) that lie in
 * tessel's own directory, loaded as the host loads them. Every failure is
 * reported on stderr before it is returned.
 */
#ifndef TESSEL_TESSEL_MODULES_H
#define TESSEL_TESSEL_MODULES_H

#include "platform/platform.h"

/* The module number tessel gives the one module it hosts, and the room of
   the paths it builds. */
enum { PLUGIN_MODULE_NUMBER = 0, PATH_ROOM = 4096 };

/* Writes tessel's own directory, with its trailing separator, into out
   (room bytes); returns 1, or 0 when it cannot be found (not reported). */
int programDirectory(char *out, int room);

/* Writes the absolute form of name (PATH_MAX bytes of room) when the file
   exists, is readable and is no directory; returns 1, or 0 after reporting
   why not. */
int readableFile(const char *name, char *absolute);

/* Loads file from directory (which ends with its separator); what names the
   module in reports ("plug-in", "library"). Returns the module, or null
   after reporting why not. */
HMODULE loadBeside(const char *directory, const char *file, const char *what);

/* The address of the module's export name, or null. The first export found
   missing is reported and sets *missing, so that a caller can ask for all
   it needs and check once. */
void *needExport(HMODULE module, const char *name, const char *what, int *missing);

#endif
