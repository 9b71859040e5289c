/*
 * Help files: choosing the file of a directory by its language (as language
 * files are chosen), finding a topic, and taking the markup off its lines.
 */
#include "host/help.h"

#include <strings.h>

#include <fstream>

#include "lng/lng.h"

namespace {

/* Room for a help file's path. */
enum { HELP_PATH_ROOM = 4096 };

/* Whether line opens topic: "@" and the topic's name, nothing after it. */
bool opensTopic(const std::string &line, const char *topic) {
  return line.size() > 1 && line[0] == '@' && strcasecmp(line.c_str() + 1, topic) == 0;
}

}  // namespace

std::string helpPlainLine(const std::string &line) {
  std::string out;
  for (size_t i = 0; i < line.size(); i++) {
    char c = line[i];
    if ((c == '#' || c == '~') && i + 1 < line.size() && line[i + 1] == c) {
      out += c; /* a doubled mark is the character itself */
      i++;
    } else if (c == '#') {
      continue; /* highlight on or off */
    } else if (c == '~') {
      size_t close = line.find('~', i + 1);
      if (close == std::string::npos) continue;
      out += line.substr(i + 1, close - i - 1); /* the link's text */
      i = close;
      if (i + 1 < line.size() && line[i + 1] == '@') {
        size_t end = line.find('@', i + 2);
        i = end == std::string::npos ? line.size() : end; /* its target is not shown */
      }
    } else {
      out += c;
    }
  }
  return out;
}

int helpFind(const char *directory, const char *language, const char *topic, HelpTopic *out) {
  char path[HELP_PATH_ROOM];
  if (!directory || !topic || !topic[0]) return 0;
  if (!lngChooseFileOf(directory, ".hlf", language, path, sizeof path)) return 0;
  std::ifstream file(path, std::ios::binary);
  std::string line;
  bool inTopic = false;
  out->heading.clear();
  out->lines.clear();
  while (std::getline(file, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!inTopic) {
      inTopic = opensTopic(line, topic);
      continue;
    }
    if (!line.empty() && line[0] == '@') break; /* the next topic */
    if (!line.empty() && line[0] == '$') {
      if (out->heading.empty()) {
        size_t start = line.find_first_not_of(' ', 1);
        out->heading = helpPlainLine(start == std::string::npos ? "" : line.substr(start));
      }
      continue;
    }
    out->lines.push_back(helpPlainLine(line));
  }
  while (!out->lines.empty() && out->lines.back().find_first_not_of(' ') == std::string::npos) out->lines.pop_back();
  return inTopic;
}
