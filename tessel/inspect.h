/*
 * The item inspector of view and try: what the authoring engine knows of the
 * item that has the focus in a dialog the host shows (where it is written,
 * its fields decoded, its text source, tessel check's findings on its line),
 * and the names that the read-back of try shares with it.
 */
#ifndef TESSEL_TESSEL_INSPECT_H
#define TESSEL_TESSEL_INSPECT_H

#include <string>

#include "author/engine.h"

/* Installs the inspector for the dialogs of one file: shown is the file's
   name as the user gave it, analysis what the engine made of it (kept by
   address: it must outlive the session). A dialog the host shows is mapped
   to the section whose items it received; prefer names the section to take
   when several match equally (null: the first). */
void inspectDialogsOf(const char *shown, const author::Analysis *analysis, const char *prefer);

/* While the file on disk has errors (--watch keeps the last good version
   on screen), now is what the engine makes of it as it stands: the box says
   that it shows the last good version, and gives what tessel check says now
   of the item's line. Null once a good version is shown again. */
void inspectBrokenVersion(const author::Analysis *now);

/* The ENUM name that item's line writes as its identifier, or the empty
   string when it writes a number (or a name that no ENUM declares). */
std::string enumNameOf(const author::Analysis &a, const author::Item &item);

/* The type keyword of a type code (TEXT ... RADIOBUTTON), or its number. */
std::string typeName(int type);

#endif
