/*
 * The plug-in's side of view and config: the plug-in loaded from tessel's
 * directory (or from --plugin's file), its module registered with the
 * host's slots, and the session opened from --keys/--screen/--size and
 * closed again with its outcome.
 */
#include "tessel/plugin.h"

#include <errno.h>
#include <limits.h>
#include <stdlib.h>
#include <string.h>

#include "host/inspector.h"
#include "host/keys.h"
#include "host/session.h"
#include "host/slots.h"
#include "host/terminal.h"

const char kPluginExitStatus[] =
    "exit status: 0 done, 1 failed (file, plug-in or library missing; file not\n"
    "taken), 2 bad arguments, 3 a --keys run whose plug-in kept waiting for keys.\n";

namespace {

const char kPluginFile[] = "Flens.so";

/* The screen size of a scripted run when --size is not given. */
enum { SCRIPT_COLS = 80, SCRIPT_ROWS = 25 };

}  // namespace

int openSession(const Options *o, FILE **dumpFile) {
  *dumpFile = nullptr;
  if (o->screenFile) {
    *dumpFile = fopen(o->screenFile, "a");
    if (!*dumpFile) return fail(EXIT_FAILED, "cannot write %s: %s", o->screenFile, strerror(errno));
  }
  int ok;
  if (o->keys) {
    size_t room = strlen(o->keys) + 1;
    int *keys = (int *)malloc(sizeof(int) * room);
    char error[128];
    int count = keys ? keyParseScript(o->keys, keys, (int)room, error, sizeof error) : -1;
    if (count < 0) {
      free(keys);
      if (*dumpFile) fclose(*dumpFile);
      return fail(EXIT_USAGE, "bad --keys: %s", keys ? error : "out of memory");
    }
    ok = sessionOpenScripted(o->cols ? o->cols : SCRIPT_COLS, o->rows ? o->rows : SCRIPT_ROWS, keys, count);
    free(keys);
  } else {
    int opened = sessionOpenTerminal(o->cols, o->rows);
    if (opened != TERMINAL_OPEN) {
      if (*dumpFile) fclose(*dumpFile);
      const char *type = getenv("TERM");
      if (opened == TERMINAL_UNKNOWN_TYPE)
        return fail(EXIT_FAILED, "unknown terminal type \"%s\" (set TERM, or give --keys for a scripted run)",
                    type ? type : "");
      if (opened == TERMINAL_NO_CURSOR)
        return fail(EXIT_FAILED,
                    "terminal type \"%s\" cannot place the cursor, so no window can be drawn (set TERM, or "
                    "give --keys for a scripted run)",
                    type ? type : "");
      return fail(EXIT_USAGE, "standard input and output are no terminal: give --keys for a scripted run");
    }
    ok = 1;
  }
  if (!ok) {
    if (*dumpFile) fclose(*dumpFile);
    return fail(EXIT_FAILED, "cannot open the screen");
  }
  sessionSetDumpFile(*dumpFile);
  return EXIT_OK;
}

int pluginLoad(PluginHost *plugin, const char *file, int *missing) {
  memset(plugin, 0, sizeof *plugin);
  const char *name = kPluginFile;
  char absolute[PATH_MAX];
  if (file) {
    /* its directory, as the host's plug-in folder, and its name in it */
    if (!readableFile(file, absolute)) return EXIT_FAILED;
    char *separator = (char *)plLastDirSep(absolute);
    name = separator + 1;
    snprintf(plugin->directory, sizeof plugin->directory, "%.*s", (int)(name - absolute), absolute);
  } else if (!programDirectory(plugin->directory, sizeof plugin->directory)) {
    return fail(EXIT_FAILED, "cannot find tessel's own directory");
  }
  plugin->module = loadBeside(plugin->directory, name, "plug-in");
  if (!plugin->module) return EXIT_FAILED;
  snprintf(plugin->path, sizeof plugin->path, "%s%s", plugin->directory, name);
  plugin->setStartupInfo = (SetStartupInfoFn)needExport(plugin->module, "SetStartupInfo", "plug-in", missing);
  return EXIT_OK;
}

int pluginStart(PluginHost *plugin, const Options *o, void (*adjust)(StartupInfo *info)) {
  hostAddModule(PLUGIN_MODULE_NUMBER, plugin->directory);
  StartupInfo info;
  hostFillStartup(&info, PLUGIN_MODULE_NUMBER, plugin->path);
  if (adjust) adjust(&info);
  int status = openSession(o, &plugin->dumpFile);
  if (status) return status;
  plugin->setStartupInfo(&info);
  /* the library takes 0 from a plug-in without the export */
  auto lngMode = (SetLngModeFn)plFindExport(plugin->module, "SetLngMode");
  plugin->lngMode = lngMode ? lngMode() : 0;
  char line[128];
  const char *texts = lngModeText(plugin->lngMode);
  const char *where = o->plugin ? "" : " (set in tessel config)"; /* Flens's setting */
  if (texts) snprintf(line, sizeof line, "texts: %s%s", texts, where);
  else snprintf(line, sizeof line, "texts: language mode %d%s", plugin->lngMode, where);
  hostSetStatusLine(line);
  return EXIT_OK;
}

int pluginFinish(PluginHost *plugin) { return closeSession(&plugin->dumpFile); }

int closeSession(FILE **dumpFile) {
  SessionState state = sessionState();
  sessionClose();
  sessionSetDumpFile(nullptr);
  if (*dumpFile) fclose(*dumpFile);
  *dumpFile = nullptr;
  if (state == SESSION_KEYS_RAN_OUT)
    return fail(EXIT_KEYS_RAN_OUT, "the --keys script ran out and the plug-in kept asking for keys");
  return EXIT_OK;
}
