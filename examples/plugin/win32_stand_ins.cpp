/*
 * The native build's stand-ins for the Windows calls of greeter.c, on the
 * platform layer that Flens and the library use too.
 */
#include "examples/plugin/win32_stand_ins.h"

#include "platform/platform.h"

extern "C" HMODULE LoadLibraryA(const char *path) { return plLoadLibrary(path); }

extern "C" FARPROC GetProcAddress(HMODULE module, const char *name) {
  return reinterpret_cast<FARPROC>(plFindExport(module, name));
}

extern "C" DWORD GetModuleFileNameA(HMODULE module, char *path, DWORD size) {
  return (DWORD)plModuleFileName(module, path, (int)size);
}

/* The plug-in's DllMain at load and unload. */
PL_MODULE_ENTRY(DllMain)
