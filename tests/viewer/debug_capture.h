// What the modules of a test process write through the platform's debug
// output, captured so that tests can compare it line for line. The build
// picks the implementation: on POSIX the debug output (and the registry
// store) are pointed at files of the test's run directory; on Win32 the
// debug strings are caught as the system raises them.
#ifndef TESSEL_TESTS_VIEWER_DEBUG_CAPTURE_H
#define TESSEL_TESTS_VIEWER_DEBUG_CAPTURE_H

#include <string>

// Starts capturing; runDir is an existing directory the process owns (POSIX
// keeps the debug log and the registry store there). Call once, before any
// module is loaded.
void startDebugCapture(const std::string &runDir);

// Everything written since the last call (or the start), in order.
std::string takeDebugOutput();

#endif
