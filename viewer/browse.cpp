/*
 * Browsing a dialog description file: the host offers a file, the plug-in
 * takes it when its extension begins with ".dlg", lists the file's dialogs in
 * the host's menu "Select Dialog" and shows each chosen one through the
 * library until the menu is closed.
 */
#include <string.h>

#include "viewer/viewer.h"

namespace {

/* The extension test: a complete match yields two directives. */
const char kExtensionPattern[] = "%n .dlg";
enum { FL_EXTENSION_MATCH = 2 };

/* Entries of one menu. A listing stops there, at the first name it has
   already listed (the library's listing then cycles, or stalls on a file it
   can no longer read) and at the end of the file's dialogs. */
enum { FL_MAX_ENTRIES = 100 };

/* Room for any dialog name the library writes: a name is at most 199
   characters, its terminating zero included here. A menu entry shows at most
   127 characters of it (its text's room); the full name is kept beside the
   entry and is what a chosen entry loads. */
enum { FL_NAME_ROOM = 200 };

/* The host's menu, as the plug-in calls it: Up and Down wrap around, and
   every dialog name gets a hot key. */
const char kMenuTitle[] = "Select Dialog";
const char kMenuHelp[] = "Contents";
enum { FL_MENU_FLAGS = MENU_WRAPMODE | MENU_AUTOHIGHLIGHT };

/* Nonzero when name is among the first count names. */
int isListed(char (*names)[FL_NAME_ROOM], int count, const char *name) {
  for (int i = 0; i < count; i++)
    if (strcmp(names[i], name) == 0) return 1;
  return 0;
}

/* Asks the library for the dialog after the one named in name (empty: the
   first), in place; always leaves name terminated within its room. */
void nextDialogName(HMODULE module, const char *fileName, char *name) {
  flLib.EnumDialog(module, fileName, name);
  name[FL_NAME_ROOM - 1] = 0;
}

}  // namespace

int BrowseDialogFile(const char *fileName) {
  MenuEntry entries[FL_MAX_ENTRIES];
  char names[FL_MAX_ENTRIES][FL_NAME_ROOM];
  char name[FL_NAME_ROOM];
  memset(name, 0, sizeof name);
  int count = 0;
  if (!fileName || !fileName[0]) return 0;

  /* The extension runs from the name's last dot, which may lie in a
     directory part. */
  const char *extension = strrchr(fileName, '.');
  if (!extension) return 0;
  if (flLib.sparse(extension, kExtensionPattern, nullptr, 0) != FL_EXTENSION_MATCH) return 0;

  /* No module for the first name, on purpose: the library then reads a
     relative file name in its own directory (an absolute one as it stands),
     while the later calls pass the plug-in's module and read a relative name
     in the plug-in's directory. The host offers files by their full names,
     so every call reads the same file; with a relative name the first name
     comes from beside the copy of the library that was bound, which callers
     rely on. */
  nextDialogName(nullptr, fileName, name);
  while (name[0] && count < FL_MAX_ENTRIES && !isListed(names, count, name)) {
    memcpy(names[count], name, sizeof name);
    MenuEntry *entry = &entries[count];
    memset(entry, 0, sizeof *entry);
    size_t shown = strlen(name);
    if (shown > sizeof entry->text - 1) shown = sizeof entry->text - 1;
    memcpy(entry->text, name, shown);
    count++;
    nextDialogName(flModule, fileName, name);
  }
  if (count == 0) return 0;

  for (;;) {
    int chosen = flStartup.hostMenu ? flStartup.hostMenu(flStartup.moduleNumber, -1, -1, 0, FL_MENU_FLAGS, kMenuTitle,
                                                         nullptr, kMenuHelp, nullptr, nullptr, entries, count)
                                    : -1;
    /* Negative: the menu was closed; past the entries: nothing to show. */
    if (chosen < 0 || chosen >= count) break;
    DialogData *dialog = flLib.LoadDialogEx(flModule, flStartup.moduleNumber, fileName, names[chosen]);
    plDebugOutput("ShowDialog\n");
    flLib.ShowDialog(dialog);
    flLib.FreeDialog(dialog);
    for (int i = 0; i < count; i++) entries[i].selected = 0;
    entries[chosen].selected = 1;
  }
  return 1;
}

extern "C" HANDLE TS_HOSTAPI OpenFilePlugin(const char *name, const unsigned char *data, int dataSize) {
  (void)data;
  (void)dataSize;
  if (!name || flDisable) return FL_DECLINED;
  return BrowseDialogFile(name) ? FL_HANDLED : FL_DECLINED;
}
