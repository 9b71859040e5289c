/*
 * `tessel view FILE.dlg`: offers the file to the Flens plug-in as the host
 * does (OpenFilePlugin), which lists the file's dialogs in its menu and
 * shows each chosen one until the menu is closed. With --watch, a change of
 * the file offers it again, and the watch reopens what was shown.
 */
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include "author/engine.h"
#include "host/inspector.h"
#include "tessel/command.h"
#include "tessel/inspect.h"
#include "tessel/plugin.h"
#include "tessel/watch.h"

namespace {

/* How much of the file's head the host hands to OpenFilePlugin. */
enum { FILE_DATA_SIZE = 4096 };

const char kViewHelp[] =
    "usage: tessel view FILE.dlg [options]\n"
    "\n"
    "Offers FILE to the Flens plug-in (OpenFilePlugin), which lists its dialogs in\n"
    "the menu \"Select Dialog\" and shows each chosen one until the menu is closed.\n"
    "Texts follow the plug-in's language setting (see `tessel config`).\n"
    "\n"
    "keys: Tab, S-Tab and the arrows move, Space toggles or presses, Enter closes\n"
    "with the focused or default button, Esc or F10 cancels, Alt+letter (or the\n"
    "letter outside an edit field) uses the item of that hot key; F3 shows and\n"
    "hides the item inspector: where the focused item is written, its fields and\n"
    "tessel check's findings on its line. The bottom row says which texts the\n"
    "plug-in's setting gives.\n";

/* What OpenFilePlugin returns for a file it does not take. */
const HANDLE kDeclined = (HANDLE)(intptr_t)-1;

/* The item inspector (F3) of the file on view: the file read as the
   plug-in's language mode reads it, again at each offer (a reload changes
   it). */
struct Inspector {
  const char *shown = nullptr, *file = nullptr;
  author::Options reading;
  author::Analysis analysis;
} inspector;

/* Offers the file to the plug-in with its head, as the host does. */
HANDLE offer(OpenFilePluginFn openFile, const char *file) {
  inspector.analysis = author::analyzeFile(inspector.file, inspector.reading);
  inspectDialogsOf(inspector.shown, &inspector.analysis, nullptr);
  unsigned char data[FILE_DATA_SIZE];
  int dataSize = 0;
  FILE *in = fopen(file, "rb");
  if (in) {
    dataSize = (int)fread(data, 1, sizeof data, in);
    fclose(in);
  }
  return openFile(file, data, dataSize);
}

/* --watch: offers the file again after each reload that closed the
   plug-in's windows, and waits for a change when the plug-in did not take
   a new version, until the user closes the menu; returns the result of the
   first offer when the plug-in never took the file. */
HANDLE offerWhileWatching(OpenFilePluginFn openFile, const char *file, HANDLE first) {
  if (first == kDeclined) return first;
  for (HANDLE result = first;;) {
    if (result == kDeclined) {
      if (!watchIdle("the plug-in did not take the new version; waiting for a change")) return first;
    } else if (!watchReopen()) {
      return result;
    }
    result = offer(openFile, file);
  }
}

}  // namespace

int cmdView(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_VIEW, kViewHelp, kPluginExitStatus);
  if (o->args.size() != 1) return fail(EXIT_USAGE, "view takes one file (see tessel view --help)");
  char file[PATH_MAX] = "";
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;

  PluginHost plugin;
  int missing = 0;
  int status = pluginLoad(&plugin, o->plugin, &missing);
  if (status) return status;
  auto openFile = (OpenFilePluginFn)needExport(plugin.module, "OpenFilePlugin", "plug-in", &missing);
  if (missing) return EXIT_FAILED;
  if (o->watch && (status = watchStart(file, o->args[0], o)) != EXIT_OK) return status;
  status = pluginStart(&plugin, o, o->watch ? watchWrapStartup : nullptr);
  if (status) {
    watchStop();
    return status;
  }
  watchAttach();
  inspector.shown = o->args[0];
  inspector.file = file;
  inspector.reading.lngMode = plugin.lngMode;
  inspector.reading.codepage = atoi(o->codepage);
  HANDLE result = offer(openFile, file);
  if (o->watch) result = offerWhileWatching(openFile, file, result);
  hostSetInspector(nullptr);
  watchStop();
  status = pluginFinish(&plugin);
  if (status) return status;
  if (result == kDeclined && o->plugin) return fail(EXIT_FAILED, "the plug-in %s did not take %s", o->plugin, file);
  if (result == kDeclined)
    return fail(EXIT_FAILED,
                "the plug-in did not take %s (it takes .dlg files that define a dialog, "
                "unless its Disable setting is on)",
                file);
  return EXIT_OK;
}
