// Win32 debug capture: OutputDebugStringA raises DBG_PRINTEXCEPTION_C with the
// text; a first vectored handler takes the text and lets the caller go on, as
// a debugger would. The registry is the system's (the tests use keys of
// their own).
#include <windows.h>

#include "debug_capture.h"

namespace {

std::string captured;

LONG CALLBACK onDebugString(EXCEPTION_POINTERS *pointers) {
  const EXCEPTION_RECORD *record = pointers->ExceptionRecord;
  if (record->ExceptionCode != DBG_PRINTEXCEPTION_C || record->NumberParameters < 2) return EXCEPTION_CONTINUE_SEARCH;
  const char *text = reinterpret_cast<const char *>(record->ExceptionInformation[1]);
  if (text) captured += text;
  return EXCEPTION_CONTINUE_EXECUTION;
}

}  // namespace

void startDebugCapture(const std::string &runDir) {
  (void)runDir;
  AddVectoredExceptionHandler(1, onDebugString);
}

std::string takeDebugOutput() {
  std::string text;
  text.swap(captured);
  return text;
}
