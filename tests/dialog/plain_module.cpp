// A calling module for the loader's tests that does not export SetLngMode:
// loads through it use language mode 0.
#include "platform/wintypes.h"

extern "C" TS_EXPORT int PlainModuleMarker(void) { return 1; }
