/*
 * The Windows calls greeter.c makes, declared for the native build, where
 * win32_stand_ins.cpp gives them on the platform layer (dlopen, dlsym, the
 * module's path) and runs DllMain when the module is loaded and unloaded,
 * as Windows does. Windows builds take them from <windows.h>.
 */
#ifndef GREETER_WIN32_STAND_INS_H
#define GREETER_WIN32_STAND_INS_H

#include "dialog/dialog.h"

#ifdef __cplusplus
extern "C" {
#endif

/* An export's address as GetProcAddress gives it: a function of no
   particular shape, cast to the export's own before a call. */
typedef void (*FARPROC)(void);

HMODULE LoadLibraryA(const char *path);
FARPROC GetProcAddress(HMODULE module, const char *name);
DWORD GetModuleFileNameA(HMODULE module, char *path, DWORD size);

#ifdef __cplusplus
}
#endif

#endif
