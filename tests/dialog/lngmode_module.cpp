// A calling module for the loader's tests: it exports SetLngMode, which the
// library asks for the language mode at every load, and a setter the tests
// use to choose the mode it answers.
#include "platform/wintypes.h"

namespace {
int mode = 0;
int calls = 0;
}  // namespace

// The language mode of the next loads; also resets the count of questions.
extern "C" TS_EXPORT void SetTestLngMode(int value) {
  mode = value;
  calls = 0;
}

// How often SetLngMode was asked since the last SetTestLngMode.
extern "C" TS_EXPORT int TestLngModeCalls(void) { return calls; }

extern "C" TS_EXPORT int SetLngMode(void) {
  calls++;
  return mode;
}
