// Fuzz target for one item line through the item interpreter, in every
// language mode, with an initialised library whose stand-in host answers
// every message. The first byte picks the language mode and the enum table.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "dialog/dialog_internal.h"
#include "tests/fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  fuzzInitLibrary();
  if (size < 1) return 0;
  int lngMode = data[0] % 4;
  // A few enum names so that symbolic identifiers and message names resolve.
  static char names[3][8] = {"MTitle", "eOk", "Mode"};
  static const int32_t values[3] = {0, 7, INT32_MAX};
  enumCount = (data[0] >> 2) % 4;
  for (int i = 0; i < enumCount; i++) {
    enumNames[i] = names[i];
    enumValues[i] = values[i];
  }
  std::string line((const char *)data + 1, size - 1);
  DialogItem item;
  memset(&item, 0x5A, sizeof item);
  int32_t id = 12345;
  char *owned = (char *)1;
  int result = ParseItemLine(lngMode, 1, &item, &id, &owned, line.c_str());
  if (result != 1 && result != 2) abort();
  if (result == 2) {
    if (memchr(item.data, 0, sizeof item.data) == nullptr) abort();  // always terminated
    if (owned && (intptr_t)owned != item.selected) abort();
    free(owned);
  }
  enumCount = 0;
  return 0;
}
