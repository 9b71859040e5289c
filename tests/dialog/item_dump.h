// One canonical line per dialog item (type, coordinates, focus, selected,
// flags, default button, text), so that a failed comparison shows the whole
// item rather than one field. A `selected` that points to the item's owned
// string or to a text of the recording host is shown as that text.
#ifndef TESSEL_TESTS_ITEM_DUMP_H
#define TESSEL_TESTS_ITEM_DUMP_H

#include <stdio.h>

#include <string>

#include "dialog/dialog_internal.h"
#include "tests/dialog/recording_host.h"

// The host text that selected points to, or null when it points to none.
inline const char *recordedHostText(intptr_t selected) {
  if (!RecordingHost::current || selected == 0) return nullptr;
  for (const std::string &text : RecordingHost::current->texts)
    if ((intptr_t)text.c_str() == selected) return text.c_str();
  return nullptr;
}

// "type x1,y1,x2,y2 focus F sel S flags 0xF default D 'data'", where S is
// str"..." for the owned string, host"..." for a host text, else a number.
inline std::string dumpItem(const DialogItem &item, const char *owned) {
  std::string selected;
  if (owned && item.selected == (intptr_t)owned) {
    selected = "str\"" + escapedText(owned) + "\"";
  } else if (const char *text = recordedHostText(item.selected)) {
    selected = "host\"" + escapedText(text) + "\"";
  } else {
    selected = std::to_string((long long)item.selected);
    if (owned) selected += " (owned string not referenced)";
  }
  char head[256];
  snprintf(head, sizeof head, "%d %d,%d,%d,%d focus %d sel ", (int)item.type, (int)item.x1, (int)item.y1, (int)item.x2,
           (int)item.y2, (int)item.focus);
  char tail[128];
  snprintf(tail, sizeof tail, " flags 0x%x default %d '", (unsigned)item.flags, (int)item.defaultButton);
  return head + selected + tail + escapedText(item.data) + "'";
}

#endif
