/*
 * Hosting a plug-in for view and config: loading it (Flens from tessel's
 * directory, or the one --plugin names), handing it the startup record, and
 * the session it shows its windows in (scripted with --keys, else on the
 * terminal).
 */
#ifndef TESSEL_TESSEL_PLUGIN_H
#define TESSEL_TESSEL_PLUGIN_H

#include <stdio.h>

#include "dialog/dialog.h"
#include "tessel/modules.h"
#include "tessel/options.h"

/* The exit statuses of a command that hosts the plug-in, as its help gives
   them. */
extern const char kPluginExitStatus[];

/* A loaded plug-in and the session it runs in. */
struct PluginHost {
  HMODULE module;
  char directory[PATH_ROOM]; /* the plug-in's, with its separator */
  char path[PATH_ROOM + 16]; /* the plug-in's file */
  SetStartupInfoFn setStartupInfo;
  FILE *dumpFile; /* the --screen file, owned while open */
  int lngMode;    /* what its SetLngMode answers once started */
};

/* Loads the plug-in file (null: Flens beside tessel) and looks up
   SetStartupInfo as needExport does (a missing one sets *missing). Returns
   EXIT_OK, or EXIT_FAILED after reporting why the plug-in is not there. */
int pluginLoad(PluginHost *plugin, const char *file, int *missing);

/* Registers the plug-in's module with its directory's language files, opens
   the session as o asks, hands the plug-in its startup record (after adjust,
   when not null, changed it), asks it for its language mode and says on the
   status line which texts that gives. Returns EXIT_OK, or the status of a
   session that could not be opened (reported). */
int pluginStart(PluginHost *plugin, const Options *o, void (*adjust)(StartupInfo *info) = nullptr);

/* Opens the session as o asks: scripted with --keys, else on the terminal;
   the --screen file (opened here, into *dumpFile) receives the dumps.
   Returns EXIT_OK, or the status after reporting, with nothing left open. */
int openSession(const Options *o, FILE **dumpFile);

/* Closes the session and the --screen file *dumpFile (then null). Returns
   as pluginFinish. */
int closeSession(FILE **dumpFile);

/* Closes the session and the --screen file. Returns EXIT_OK, or
   EXIT_KEYS_RAN_OUT (reported) when the session gave up on a plug-in that
   kept asking for keys after the --keys script ran out. */
int pluginFinish(PluginHost *plugin);

#endif
