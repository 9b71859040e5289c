// A stand-in host for tests: its four slots record every call as one line of
// text, answer messages as "msg <module>:<number>", and return scripted
// results for dialogs and menus. One instance is current at a time; creating
// one makes it current, destroying it restores a zero library state.
#ifndef TESSEL_TESTS_RECORDING_HOST_H
#define TESSEL_TESTS_RECORDING_HOST_H

#include <stdio.h>
#include <string.h>

#include <deque>
#include <string>
#include <vector>

#include "dialog/dialog_internal.h"

struct RecordingHost {
  static constexpr int kMessageResult = 17;
  static RecordingHost *current;

  StartupInfo startup = {};
  std::vector<std::string> messages;   // one line per hostMessage
  std::vector<std::string> dialogs;    // one line per hostDialog
  std::deque<int> dialogResults;       // what hostDialog returns, in order (-1 when empty)
  std::vector<std::string> texts;      // storage behind the message texts
  std::string rootKey = "Software\\Tessel\\Test";

  RecordingHost() {
    current = this;
    texts.reserve(4096);
    startup.structSize = sizeof(StartupInfo);
    startup.rootKey = rootKey.c_str();
    startup.hostMenu = nullptr;
    startup.hostDialog = &dialog;
    startup.hostMessage = &message;
    startup.hostGetMsg = &getMsg;
  }
  ~RecordingHost() {
    current = nullptr;
    StartupInfo zero = {};
    tsStartup = zero;
    tsInitialised = 0;
  }

  // Hands the record to the library, as a plug-in does.
  void init(int moduleNumber) {
    startup.moduleNumber = moduleNumber;
    startup.rootKey = rootKey.c_str();
    TS_Init(startup);
  }

  static std::string escape(const char *text) {
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

  static int TS_HOSTAPI message(int moduleNumber, unsigned flags, const char *helpTopic,
                                const char *const *lines, int lineCount, int buttonCount) {
    std::string line = "module " + std::to_string(moduleNumber) + " flags " + std::to_string(flags) +
                       " help " + escape(helpTopic) + " buttons " + std::to_string(buttonCount) + ": ";
    for (int i = 0; i < lineCount; i++) line += (i ? "|" : "") + escape(lines[i]);
    current->messages.push_back(line);
    return kMessageResult;
  }

  static int TS_HOSTAPI dialog(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                               DialogItem *items, int count) {
    (void)items;
    char line[256];
    snprintf(line, sizeof line, "module %d at %d,%d size %dx%d help %s items %d", moduleNumber, x1, y1, x2,
             y2, escape(helpTopic).c_str(), count);
    current->dialogs.push_back(line);
    if (current->dialogResults.empty()) return -1;
    int result = current->dialogResults.front();
    current->dialogResults.pop_front();
    return result;
  }

  static const char *TS_HOSTAPI getMsg(int moduleNumber, int messageNumber) {
    current->texts.push_back("msg " + std::to_string(moduleNumber) + ":" + std::to_string(messageNumber));
    return current->texts.back().c_str();
  }
};

inline RecordingHost *RecordingHost::current = nullptr;

#endif
