/*
 * The report of a dialog that render or try cannot load: the no-such-dialog
 * finding of tessel check, with the dialogs the file does define and, as its
 * note, the line that most likely meant to open the dialog.
 */
#ifndef TESSEL_TESSEL_NO_DIALOG_H
#define TESSEL_TESSEL_NO_DIALOG_H

#include "author/engine.h"

/* Reports on stderr, as tessel check prints findings, that file (shown under
   the name shown, read as reading says) has no dialog name with items,
   naming the dialogs it does define and the nearest near miss; closes the
   session first. Returns EXIT_FAILED. */
int reportNoDialog(const char *file, const char *shown, const char *name, author::Options reading);

#endif
