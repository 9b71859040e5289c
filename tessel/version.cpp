/*
 * `tessel --version`: tessel's own version, and the library's as Dialog.tsl
 * beside it gives it through its export TesselVersion.
 */
#include <stdio.h>

#include "tessel/command.h"
#include "tessel/library.h"
#include "tessel/modules.h"

int cmdVersion(const CommandLine *) {
  HMODULE module = loadLibraryModule();
  int missing = 0;
  TesselVersionFn version =
      module ? (TesselVersionFn)needExport(module, "TesselVersion", "library", &missing) : nullptr;
  if (!version) {
    printf("tessel %s\n", TESSEL_PROGRAM_VERSION);
    return EXIT_OK;
  }
  unsigned v = (unsigned)version();
  /* the library writes its version as "%x.%02x" of its two bytes (1.00) */
  printf("tessel %s (%s %x.%02x)\n", TESSEL_PROGRAM_VERSION, kLibraryFile, v >> 8, v & 0xFFu);
  return EXIT_OK;
}
