/*
 * render --watch: waits on the file watch of the dialog file and the
 * language files beside it, judges each new version and has render draw
 * the good ones; no session and no windows are involved.
 */
#include "tessel/watch_render.h"

#include <stdio.h>

#include <string>

#include "host/slots.h"
#include "host/watch.h"
#include "platform/platform.h"
#include "tessel/options.h"
#include "tessel/watch_verdict.h"

int watchRender(const char *file, const char *shown, const char *dialog, const author::Options &options,
                int (*drawFrame)(void *context), void *context) {
  FileWatch files;
  if (!fileWatchOpen(&files, file))
    return fail(EXIT_FAILED, "cannot watch %s for changes (error %s)", shown, std::to_string(plGetLastError()).c_str());
  int onTerminal = plIsTerminal(stdout);
  int status = EXIT_OK;
  while (status == EXIT_OK) {
    if (!fileWatchWait(&files, -1)) continue;
    author::Analysis a;
    std::string problem;
    if (!watchExamine(file, shown, options, &a, &problem)) {
      fprintf(stderr, "tessel: %s\n", problem.c_str());
      continue;
    }
    if (author::findSection(a, dialog) < 0) {
      fprintf(stderr, "tessel: %s no longer defines dialog \"%s\"\n", shown, dialog);
      continue;
    }
    hostRelease(); /* the language files are read anew */
    if (onTerminal) fputs("\x1b[H\x1b[2J", stdout);
    status = drawFrame(context);
  }
  fileWatchClose(&files);
  return status;
}
