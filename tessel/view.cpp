/*
 * `tessel view FILE.dlg`: offers the file to the Flens plug-in as the host
 * does (OpenFilePlugin), which lists the file's dialogs in its menu and
 * shows each chosen one until the menu is closed.
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
    "plug-in's setting gives.\n"
    "\n";

}  // namespace

int cmdView(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) {
    printf("%s%s", kViewHelp, kSessionOptionsHelp);
    return EXIT_OK;
  }
  if (o->argCount != 1) return fail(EXIT_USAGE, "view takes one file (see tessel view --help)");
  int status = checkOptionsFor(o, SESSION_OPTIONS);
  if (status) return status;
  char file[PATH_MAX] = "";
  unsigned char data[FILE_DATA_SIZE];
  int dataSize = 0;
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;
  FILE *in = fopen(file, "rb");
  if (in) {
    dataSize = (int)fread(data, 1, sizeof data, in);
    fclose(in);
  }

  PluginHost plugin;
  int missing = 0;
  status = pluginLoad(&plugin, &missing);
  if (status) return status;
  auto openFile = (OpenFilePluginFn)needExport(plugin.module, "OpenFilePlugin", "plug-in", &missing);
  if (missing) return EXIT_FAILED;
  status = pluginStart(&plugin, o);
  if (status) return status;
  /* the item inspector (F3) reads the file as the plug-in's language mode does */
  author::Options reading;
  reading.lngMode = plugin.lngMode;
  reading.codepage = atoi(o->codepage);
  author::Analysis analysis = author::analyzeFile(file, reading);
  inspectDialogsOf(o->args[0], &analysis, nullptr);
  HANDLE result = openFile(file, data, dataSize);
  hostSetInspector(nullptr);
  status = pluginFinish(&plugin);
  if (status) return status;
  if (result == (HANDLE)(intptr_t)-1)
    return fail(EXIT_FAILED, "the plug-in did not take %s (it takes .dlg files that define a dialog, "
                             "unless its Disable setting is on)", file);
  return EXIT_OK;
}
