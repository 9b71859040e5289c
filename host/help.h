/*
 * The host's help files (*.hlf), as F1 shows them: a plug-in's help file in
 * its own directory, in the language asked for, holds topics that begin
 * with a line "@Name"; a line beginning with '$' is the topic's heading,
 * #text# is highlighted and ~text~@Topic@ is a link to another topic.
 */
#ifndef TESSEL_HOST_HELP_H
#define TESSEL_HOST_HELP_H

#include <string>
#include <vector>

/* One topic as F1 shows it: its heading and its lines, markup removed. */
struct HelpTopic {
  std::string heading;
  std::vector<std::string> lines;
};

/* Reads topic (compared without regard to case) from the help file of
   directory (ending in '/') in language (else English, else the first one);
   returns 1 with *out filled, 0 when there is no such file or topic. */
int helpFind(const char *directory, const char *language, const char *topic, HelpTopic *out);

/* A help line without its markup: #text# shows text, ~text~@Topic@ shows
   text, and ## and ~~ stand for # and ~. */
std::string helpPlainLine(const std::string &line);

#endif
