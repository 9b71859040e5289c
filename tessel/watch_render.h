/*
 * render --watch: the loop that draws a dialog again for each good version
 * of its file, and says on standard error why a bad one is not drawn.
 */
#ifndef TESSEL_TESSEL_WATCH_RENDER_H
#define TESSEL_TESSEL_WATCH_RENDER_H

#include "author/engine.h"

/* render --watch after the first frame: waits for changes and calls
   drawFrame(context) for each good version (the library then reads the file
   anew), after clearing the terminal when standard output is one; a bad
   version writes its status line on standard error and keeps the last
   frame. Returns only when the watch fails (EXIT_FAILED, reported), or when
   drawFrame returns nonzero (that status). */
int watchRender(const char *file, const char *shown, const char *dialog, const author::Options &options,
                int (*drawFrame)(void *context), void *context);

#endif
