// POSIX debug capture: the platform layer appends debug strings to the file
// named by TESSEL_DEBUG_LOG, and keeps the registry in TESSEL_REGISTRY; both
// are pointed into the run directory so that a test run starts from nothing.
#include <stdlib.h>

#include <fstream>
#include <sstream>

#include "debug_capture.h"

namespace {
std::string logPath;
}

void startDebugCapture(const std::string &runDir) {
  logPath = runDir + "/debug.log";
  std::string registry = runDir + "/registry.sqlite3";
  setenv("TESSEL_DEBUG_LOG", logPath.c_str(), 1);
  setenv("TESSEL_REGISTRY", registry.c_str(), 1);
}

std::string takeDebugOutput() {
  std::ifstream in(logPath, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  in.close();
  std::ofstream truncate(logPath, std::ios::binary | std::ios::trunc);
  return text.str();
}
