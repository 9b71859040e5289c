/*
 * The far2l bridge: lets a far2l multibyte plug-in hand our dialog library and
 * plug-ins a startup record of our own shape, whose four host slots are thunks
 * that translate every call to the host's API (module number, records, UTF-8
 * texts, colours). Compiled against the host's SDK headers; GPL-2.0 like them.
 */
#ifndef TESSEL_FAR2L_BRIDGE_H
#define TESSEL_FAR2L_BRIDGE_H

#include <stddef.h>
#include <stdint.h>

#include <WinCompat.h>
#include <farplug-mb.h>

#include <string>

/* Our records live in namespace ts: the host's headers define HKEY and
   friends differently at global scope. */
namespace ts {
#include "dialog/dialog.h"

/* Our item flag bits under names of their own: the macros of dialog.h would
   otherwise rewrite the host's enumerators of the same names. */
const uint32_t kColourMask = DIF_COLORMASK, kSetColour = DIF_SETCOLOR, kBoxColour = DIF_BOXCOLOR, kGroup = DIF_GROUP,
               kLeftText = DIF_LEFTTEXT, kMoveSelect = DIF_MOVESELECT, kShowAmpersand = DIF_SHOWAMPERSAND,
               kCentreGroup = DIF_CENTERGROUP, kNoBrackets = DIF_NOBRACKETS, kSeparator = DIF_SEPARATOR,
               kEditor = DIF_EDITOR, kHistory = DIF_HISTORY;
}  // namespace ts
#undef DIF_COLORMASK
#undef DIF_SETCOLOR
#undef DIF_BOXCOLOR
#undef DIF_GROUP
#undef DIF_LEFTTEXT
#undef DIF_MOVESELECT
#undef DIF_SHOWAMPERSAND
#undef DIF_CENTERGROUP
#undef DIF_NOBRACKETS
#undef DIF_SEPARATOR
#undef DIF_EDITOR
#undef DIF_HISTORY

/* The bridge's settings: read from bridge.conf in the plug-in's folder
   (lines "name=value"), then from the environment, which wins. */
struct BridgeSettings {
  std::string codePage = "437";                    /* TESSEL_FAR2L_CODEPAGE, "codepage" */
  std::string rootKey = "Software\\Far2\\Plugins"; /* TESSEL_FAR2L_ROOTKEY, "rootkey" */
  std::string trace;                               /* TESSEL_FAR2L_TRACE, "trace": a file */
};
extern BridgeSettings bridgeSettings;

/* Reads the settings for a plug-in whose folder is folder (with or without a
   trailing slash) and opens the code-page conversions. Safe to call again. */
void BridgeLoadSettings(const char *folder);

/* Registers the host's startup record and fills ours: a small token as the
   module number, the root key of the settings, the host's module name, and
   the four slots as thunks. Returns the token (from 1), or 0 when host is
   null or every token is taken (ours then holds no slots). */
int BridgeStartup(const oldfar::PluginStartupInfo *host, ts::StartupInfo *ours);

/* Copies our plug-in information record into the host's field by field,
   with every text converted; the texts stay valid until the next call. */
void BridgePluginInfo(const ts::PluginInfo *ours, oldfar::PluginInfo *host);

/* Copies back from the host's items what the user can change: focus, check
   and radio states, edit texts (converted to our code page unless
   utf8Dialog, cut to the 503 bytes before the library's save area). Texts
   of other items, positions and bytes from 504 of every text stay ours. */
void BridgeCopyBack(ts::DialogItem *items, const oldfar::FarDialogItem *hostItems, int count, int utf8Dialog);

/* Text conversions: our code page to the host's UTF-8 and back. A text
   that is valid UTF-8 with a byte above 127 already goes to the host as it
   stands. Unconvertible characters become '?'. */
std::string BridgeToHost(const char *text, size_t length);
std::string BridgeFromHost(const char *text, size_t length);

/* Nonzero when text (length bytes) has a byte above 127 and is valid UTF-8. */
int BridgeIsUtf8(const char *text, size_t length);

/* Appends one line to the trace file when one is set. */
void BridgeTrace(const char *format, ...) __attribute__((format(printf, 1, 2)));

#endif /* TESSEL_FAR2L_BRIDGE_H */
