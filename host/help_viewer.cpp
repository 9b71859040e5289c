/*
 * The help viewer: the topic read from the help file (host/help.h), its
 * lines wrapped to the screen's width and run as a tight message box, or a
 * box naming the topic when the module has no help for it.
 */
#include "host/help_viewer.h"

#include <stdio.h>

#include <string>
#include <vector>

#include "host/help.h"
#include "host/msgbox.h"
#include "host/session.h"

namespace {

/* Where F1 looks for help: a module's directory and the language. */
std::string helpDirectory, helpLanguage = "English";

/* A line broken at spaces into pieces of at most width bytes (a longer word
   is cut); its leading spaces stay on the first piece. */
std::vector<std::string> wrapped(const std::string &line, int width) {
  std::vector<std::string> pieces;
  std::string rest = line;
  while (width > 0 && (int)rest.size() > width) {
    size_t cut = rest.rfind(' ', (size_t)width);
    if (cut == std::string::npos || cut == 0 || rest.find_first_not_of(' ') >= cut) cut = (size_t)width;
    pieces.push_back(rest.substr(0, cut));
    size_t next = rest.find_first_not_of(' ', cut);
    rest = next == std::string::npos ? "" : rest.substr(next);
  }
  pieces.push_back(rest);
  return pieces;
}

}  // namespace

void helpViewerSetFiles(const char *directory, const char *language) {
  helpDirectory = directory ? directory : "";
  helpLanguage = language ? language : "English";
}

void helpViewerShow(const char *topic) {
  HelpTopic help;
  Screen *s = sessionScreen();
  if (!helpDirectory.empty() && helpFind(helpDirectory.c_str(), helpLanguage.c_str(), topic, &help)) {
    /* the topic's text, as much as the screen holds */
    int most = s->rows - 6, width = s->cols - 8;
    if (most > MSG_MAX_LINES - 3) most = MSG_MAX_LINES - 3;
    std::vector<std::string> text;
    text.push_back(help.heading.empty() ? std::string("Help") : help.heading);
    for (const std::string &line : help.lines)
      for (const std::string &piece : wrapped(line, width)) text.push_back(piece);
    if ((int)text.size() > most + 1) text.resize((size_t)most + 1);
    text.push_back(MSG_SEPARATOR);
    text.push_back("Ok");
    std::vector<const char *> lines;
    for (const std::string &line : text) lines.push_back(line.c_str());
    msgBoxRunTight(MSG_LEFTALIGN, lines.data(), (int)lines.size(), 1);
    return;
  }
  char line[300];
  snprintf(line, sizeof line, "Help topic: %.200s", topic && topic[0] ? topic : "(none)");
  const char *lines[] = {"Help", line, "no help file of the plug-in holds this topic", MSG_SEPARATOR, "Ok"};
  msgBoxRunTight(0, lines, 5, 1);
}
