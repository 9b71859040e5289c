/* Description file loader: placeholder until the loader lands. */
#include "dialog/dialog_internal.h"

extern "C" DialogData *LoadDialogEx(HMODULE, int, const char *, const char *) { return nullptr; }
extern "C" DialogData *LoadDialog(HMODULE, const char *, const char *) { return nullptr; }
extern "C" char *EnumDialog(HMODULE, const char *, char *name) { return name; }
