// What every stand-in host of the tests shares: a startup record built from
// its four slots, texts escaped into one printable line, and the one-line
// records of menu, dialog and message calls that recording hosts keep (each
// host puts its own word for the call in front).
#ifndef TESSEL_TESTS_COMMON_TEST_HOST_H
#define TESSEL_TESTS_COMMON_TEST_HOST_H

#include <stdio.h>
#include <string.h>

#include <string>

#include "dialog/dialog.h"

// text with every control character written as \xNN; "(null)" for null.
inline std::string escapedText(const char *text) {
  if (!text) return "(null)";
  std::string out;
  for (const unsigned char *p = (const unsigned char *)text; *p; p++) {
    if (*p < 0x20) {
      char hex[8];
      snprintf(hex, sizeof hex, "\\x%02x", *p);
      out += hex;
    } else {
      out += (char)*p;
    }
  }
  return out;
}

// A startup record of the right size that hands out the slots given (any may
// be null); the root key must outlive the record's use.
inline StartupInfo testStartupRecord(const char *moduleName, int moduleNumber, const char *rootKey, HostMenu menu,
                                     HostDialog dialog, HostMessage message, HostGetMsg getMsg) {
  StartupInfo info;
  memset(&info, 0, sizeof info);
  info.structSize = (int32_t)sizeof info;
  snprintf(info.moduleName, sizeof info.moduleName, "%s", moduleName);
  info.moduleNumber = moduleNumber;
  info.rootKey = rootKey;
  info.hostMenu = menu;
  info.hostDialog = dialog;
  info.hostMessage = message;
  info.hostGetMsg = getMsg;
  return info;
}

// A message box call: "<module> flags <f> help <topic> buttons <n>: line|line".
inline std::string messageCallLine(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                                   int lineCount, int buttonCount) {
  std::string line = std::to_string(moduleNumber) + " flags " + std::to_string(flags) + " help " +
                     escapedText(helpTopic) + " buttons " + std::to_string(buttonCount) + ":";
  for (int i = 0; i < lineCount; i++) line += (i ? "|" : " ") + escapedText(lines[i]);
  return line;
}

// A dialog call: "<module> at <x>,<y> size <w>x<h> help <topic> items <n>".
inline std::string dialogCallLine(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic, int count) {
  return std::to_string(moduleNumber) + " at " + std::to_string(x1) + "," + std::to_string(y1) + " size " +
         std::to_string(x2) + "x" + std::to_string(y2) + " help " + escapedText(helpTopic) + " items " +
         std::to_string(count);
}

// A menu call: its placement, texts and whether break keys were given, then
// the entries after "|" (a '*' before the selected one, '!' before a checked
// one or a separator; "<unterminated>" after a text that fills its field).
inline std::string menuCallLine(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                                const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                                const MenuEntry *items, int count) {
  std::string line = std::to_string(moduleNumber) + " at " + std::to_string(x) + "," + std::to_string(y) + " height " +
                     std::to_string(maxHeight) + " flags " + std::to_string(flags) + " title " + escapedText(title) +
                     " bottom " + escapedText(bottom) + " help " + escapedText(helpTopic) + " keys " +
                     (breakKeys ? "set" : "(null)") + " code " + (breakCode ? "set" : "(null)") + ":";
  for (int i = 0; i < count; i++) {
    line += i ? "|" : " ";
    if (items[i].selected) line += "*";
    if (items[i].checked || items[i].separator) line += "!";
    size_t length = strnlen(items[i].text, sizeof items[i].text);
    line += std::string(items[i].text, length);
    if (length == sizeof items[i].text) line += "<unterminated>";
  }
  return line;
}

#endif
