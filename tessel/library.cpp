/*
 * The library as render and try reach it: Dialog.tsl loaded from tessel's
 * own directory, its entry points bound by name, and tessel standing in for
 * the calling plug-in (its module, its SetLngMode, the dialog file's
 * directory for the language files).
 */
#include "tessel/library.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include <string>

#include "host/session.h"
#include "host/slots.h"
#include "tessel/modules.h"

/* The language mode that tessel hands to the library, as a plug-in's
   SetLngMode does. */
static int tesselLngMode;

extern "C" TS_EXPORT int SetLngMode(void) { return tesselLngMode; }

namespace {

const char kLibraryFile[] = "Dialog.tsl";

/* The line of the file that most likely meant to open dialog name: a header
   that opens no dialog, or opens a cut name, or a section of that name
   without items; the empty string when there is none. */
std::string nearMiss(const author::Analysis &a, const char *shown, const char *name) {
  const author::Finding *best = nullptr;
  for (const author::Finding &f : a.findings) {
    bool header = f.kind == author::Kind::NotAHeader || f.kind == author::Kind::NameCut ||
                  f.kind == author::Kind::EmptyDialog || f.kind == author::Kind::NameTooLong ||
                  f.kind == author::Kind::HeaderTypo || f.kind == author::Kind::ByteOrderMark;
    if (!header) continue;
    if (author::lineText(a, f.span.line).find(name) != std::string::npos)
      return std::string(shown) + ":" + std::to_string(f.span.line) + ": " + f.message;
    if (!best) best = &f;
  }
  return best ? std::string(shown) + ":" + std::to_string(best->span.line) + ": " + best->message : std::string();
}

/* Loads Dialog.tsl from tessel's directory; null after reporting why not. */
HMODULE loadLibraryModule() {
  char directory[PATH_ROOM];
  if (!programDirectory(directory, sizeof directory)) {
    fail(EXIT_FAILED, "cannot find tessel's own directory");
    return nullptr;
  }
  return loadBeside(directory, kLibraryFile, "library");
}

}  // namespace

int loadLibrary(Library *library) {
  HMODULE module = loadLibraryModule();
  if (!module) return 0;
  int missing = 0;
  library->init = (TS_InitFn)needExport(module, "TS_Init", "library", &missing);
  library->load = (LoadDialogExFn)needExport(module, "LoadDialogEx", "library", &missing);
  library->show = (ShowDialogFn)needExport(module, "ShowDialog", "library", &missing);
  library->release = (FreeDialogFn)needExport(module, "FreeDialog", "library", &missing);
  library->numById = (GetNumByIdFn)needExport(module, "GetNumById", "library", &missing);
  library->itemStatus = (GetItemStatusFn)needExport(module, "GetItemStatus", "library", &missing);
  library->itemData = (GetItemDataFn)needExport(module, "GetItemData", "library", &missing);
  library->itemAddr = (GetItemAddrFn)needExport(module, "GetItemAddr", "library", &missing);
  return !missing;
}

void startLibrary(const Library *library, const char *file, int lngMode, void (*adjust)(StartupInfo *info)) {
  char fileDirectory[PATH_MAX], self[PATH_ROOM];
  snprintf(fileDirectory, sizeof fileDirectory, "%s", file);
  char *last = strrchr(fileDirectory, '/');
  if (last) last[1] = 0; /* realpath gave an absolute path */
  hostAddModule(PLUGIN_MODULE_NUMBER, fileDirectory);
  if (plModuleFileName(nullptr, self, sizeof self) <= 0) self[0] = 0;
  StartupInfo info;
  hostFillStartup(&info, PLUGIN_MODULE_NUMBER, self);
  if (adjust) adjust(&info);
  library->init(info);
  tesselLngMode = lngMode;
}

DialogData *loadDialog(const Library *library, const char *file, const char *name) {
  HMODULE own = plModuleOfAddress((const void *)&SetLngMode);
  return library->load(own, PLUGIN_MODULE_NUMBER, file, name);
}

int reportNoDialog(const char *file, const char *shown, const char *name, author::Options reading) {
  reading.dialog.clear(); /* every line: the near miss may lie anywhere */
  author::Analysis a = author::analyzeFile(file, reading);
  std::string names;
  for (const std::string &listed : a.listed) {
    if (names.size() + listed.size() + 2 >= 400) {
      names += ", ...";
      break;
    }
    names += (names.empty() ? "" : ", ") + listed;
  }
  sessionClose();
  std::string near = nearMiss(a, shown, name);
  if (names.empty()) fail(EXIT_FAILED, "%s defines no dialog with items (no \"%s\")", shown, name);
  else fprintf(stderr, "tessel: %s has no dialog \"%s\" with items; it defines: %s\n", shown, name, names.c_str());
  if (!near.empty()) fprintf(stderr, "tessel: the nearest miss: %s\n", near.c_str());
  return EXIT_FAILED;
}

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
