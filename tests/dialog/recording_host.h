// A stand-in host for the library's tests: its slots record every message
// box and dialog as one line of text (tests/common/test_host.h), answer
// messages as "msg <module>:<number>", and return scripted results for
// dialogs. One instance is current at a time; creating one makes it current,
// destroying it restores a zero library state.
#ifndef TESSEL_TESTS_RECORDING_HOST_H
#define TESSEL_TESTS_RECORDING_HOST_H

#include <stdio.h>
#include <string.h>

#include <deque>
#include <string>
#include <vector>

#include "dialog/dialog_internal.h"
#include "tests/common/test_host.h"

struct RecordingHost {
  static constexpr int kMessageResult = 17;
  static RecordingHost *current;

  StartupInfo startup = {};
  std::vector<std::string> messages;  // one line per hostMessage
  std::vector<std::string> dialogs;   // one line per hostDialog
  std::deque<int> dialogResults;      // what hostDialog returns, in order (-1 when empty)
  std::vector<std::string> texts;     // storage behind the message texts
  std::string rootKey = "Software\\Tessel\\Test";

  RecordingHost() {
    current = this;
    texts.reserve(4096);
    startup = testStartupRecord("", 0, rootKey.c_str(), nullptr, &dialog, &message, &getMsg);
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

  static int TS_HOSTAPI message(int moduleNumber, unsigned flags, const char *helpTopic, const char *const *lines,
                                int lineCount, int buttonCount) {
    current->messages.push_back("module " +
                                messageCallLine(moduleNumber, flags, helpTopic, lines, lineCount, buttonCount));
    return kMessageResult;
  }

  static int TS_HOSTAPI dialog(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                               DialogItem *items, int count) {
    (void)items;
    current->dialogs.push_back("module " + dialogCallLine(moduleNumber, x1, y1, x2, y2, helpTopic, count));
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
