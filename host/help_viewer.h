/*
 * The help viewer: F1 in a window shows a topic of the help file (.hlf) of
 * the module that opened the window, in a message box whose frame is its
 * edge. Windows hand helpViewerShow to the modal loop as their help hook.
 */
#ifndef TESSEL_HOST_HELP_VIEWER_H
#define TESSEL_HOST_HELP_VIEWER_H

/* Where help is looked for from now on: the help file of directory (ending
   in '/'; null: none) in language (null: English). The host sets it for
   each window, from the module that opens it. */
void helpViewerSetFiles(const char *directory, const char *language);

/* Shows topic in the session's modal loop until a key closes it: the
   topic's heading and text, wrapped to the screen and cut to what it holds;
   without a help file or such a topic, a box that names the topic (null or
   empty: "(none)"). */
void helpViewerShow(const char *topic);

#endif
