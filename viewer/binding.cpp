/*
 * Start-up of the Flens plug-in: its module entry point, the copy of the
 * host's startup record with an owned root key, and the run-time binding of
 * the dialog library Dialog.tsl, whose 22 exports the plug-in reaches only
 * through typed slots that fall back to stand-by functions of the same shape.
 */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "viewer/viewer.h"

namespace {

/* The library's file name, and the room of every module path built from it. */
const char kLibraryName[] = "Dialog.tsl";
enum { FL_PATH_SIZE = 256 };

/* Room of a "Missed function" line: the longest export name fits. */
enum { FL_MISSED_LINE_SIZE = 124 };

/* The stand-by of a slot: takes the slot's arguments and returns a zero value
   of its result (0, a null pointer) or, for a void result, nothing. One
   instance per slot shape, so every call goes through the callee's own type. */
template <typename R, typename... A>
R standBy(A...) {
  return R();
}

/* The stand-by for a slot of the shape of fn (fn's value is not used). */
template <typename R, typename... A>
constexpr R (*standByFor(R (*)(A...)))(A...) {
  return &standBy<R, A...>;
}

/* Fills one slot: the export of that name, or the slot's stand-by. */
template <typename R, typename... A>
void bindSlot(R (*&slot)(A...), const char *name) {
  FlProc found = ResolveFunction(name, reinterpret_cast<FlProc>(&standBy<R, A...>));
  slot = reinterpret_cast<R (*)(A...)>(found);
}

/* A heap copy of text, or null when there is no text or no memory. */
char *duplicate(const char *text) {
  if (!text) return nullptr;
  size_t size = strlen(text) + 1;
  char *copy = static_cast<char *>(malloc(size));
  if (copy) memcpy(copy, text, size);
  return copy;
}

/* Loads the library from the directory of a module's file (null: the host
   program). A place whose name cannot be had, may have been cut short, or
   whose directory and library name do not fit the path's room is skipped. */
HMODULE loadFromDirectoryOf(HMODULE module) {
  char path[FL_PATH_SIZE];
  int length = plModuleFileName(module, path, sizeof path);
  if (length <= 0 || length >= FL_PATH_SIZE - 1) return nullptr;
  const char *separator = strrchr(path, PL_DIR_SEP);
  size_t directory = separator ? (size_t)(separator + 1 - path) : 0;
  if (directory + sizeof kLibraryName > sizeof path) return nullptr;
  memcpy(path + directory, kLibraryName, sizeof kLibraryName);
  return plLoadLibrary(path);
}

}  // namespace

FlensLibrary flLib = {
#define FL_STAND_BY(name) standByFor(name##Fn()),
    FL_LIBRARY_EXPORTS(FL_STAND_BY)
#undef FL_STAND_BY
};
HMODULE flModule;
StartupInfo flStartup;
char *flRootKey;
int flStarted;
HMODULE flLibrary;

extern "C" int WINAPI DllMain(HMODULE module, DWORD reason, void *reserved) {
  (void)reserved;
  if (reason == 1) {
    flModule = module;
  } else if (reason == 0) {
    free(flRootKey);
    flRootKey = nullptr;
    flStartup.rootKey = nullptr;
  }
  return 1;
}

PL_MODULE_ENTRY(DllMain)

FlProc ResolveFunction(const char *name, FlProc standByFunction) {
  /* Without a library there is nothing to search (a null handle would make
     the Windows lookup search the host program instead). */
  void *address = flLibrary ? plFindExport(flLibrary, name) : nullptr;
  if (!address) {
    char line[FL_MISSED_LINE_SIZE];
    snprintf(line, sizeof line, "Missed function \"%s\"\n", name);
    plDebugOutput(line);
    return standByFunction;
  }
  return reinterpret_cast<FlProc>(address);
}

int BindLibrary(HMODULE module, StartupInfo info) {
  HMODULE library = module ? loadFromDirectoryOf(module) : nullptr;
  if (!library) library = loadFromDirectoryOf(nullptr);
  if (!library) library = plLoadLibrary(kLibraryName);
  flLibrary = library;

#define FL_BIND(name) bindSlot(flLib.name, #name);
  FL_LIBRARY_EXPORTS(FL_BIND)
#undef FL_BIND

  if (!flLibrary) return 0;
  flLib.TS_Init(info);
  return 1;
}

extern "C" void TS_HOSTAPI SetStartupInfo(const StartupInfo *info) {
  if (!info) return;
  char *previous = flRootKey;
  /* The whole record, whatever size it declares. */
  memcpy(&flStartup, info, sizeof flStartup);
  flRootKey = duplicate(info->rootKey);
  flStartup.rootKey = flRootKey;
  flStarted = 1;
  BindLibrary(flModule, flStartup);
  /* A repeated start-up: the library now holds the new duplicate. */
  free(previous);
  LoadSettings();
}
