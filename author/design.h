/*
 * A dialog of a file laid out by sight: the file's bytes as they are being
 * changed, the dialog's items as the library reads them, the selected item,
 * the versions to undo and redo, and the file as it was last read or saved.
 * Every change goes through the minimal, proven line edits (edit.h): only
 * the fields that change are rewritten, and the library must read the
 * intended item from the new line, else the change is refused.
 */
#ifndef TESSEL_AUTHOR_DESIGN_H
#define TESSEL_AUTHOR_DESIGN_H

#include <string>
#include <vector>

#include "author/analysis.h"
#include "author/languages.h"

namespace author {

struct Design {
  std::string path;  /* the dialog file */
  std::string name;  /* the dialog laid out */
  std::string bytes; /* the file as changed so far */
  std::string saved; /* the file as last read or saved */
  std::vector<std::string> undo, redo;
  Analysis analysis;                /* of bytes */
  int section = -1;                 /* the dialog's section in analysis */
  int selected = 0;                 /* index of the selected item */
  std::string language = "English"; /* whose texts %L% items show (set before designOpen) */
  std::vector<LanguageFile> texts;  /* the language file the host picks for it, if any */
  bool writeAnew = false;           /* the file was found deleted at a save: the next one writes it */
};

/* Reads the file at path and finds dialog name in it; the texts of %L%
   items come from the language file beside it that the host picks for
   d->language (message names when there is none). False with *why. */
bool designOpen(Design *d, const std::string &path, const std::string &name, std::string *why);

/* The dialog's items as the library reads them (empty when it has none). */
const std::vector<Item> &designItems(const Design &d);

/* Moves the selected item by dx columns and dy rows, or (resize) its
   right and bottom edges, for the items whose width or height the line
   gives. False with *why, and nothing changed, when the item would leave
   the dialog's first row or column, has no such edge, or the library would
   read another item from the new line. */
bool designMove(Design *d, int dx, int dy, std::string *why);
bool designResize(Design *d, int dx, int dy, std::string *why);

/* Deletes the selected item's line, or writes a copy of it right after it
   (the copy is then selected). False with *why, and nothing changed, when
   the line is a piece of a longer one or the library would not read the
   other items as before. */
bool designDelete(Design *d, std::string *why);
bool designDuplicate(Design *d, std::string *why);

/* Steps back or forward through the changes; false when there is none. */
bool designUndo(Design *d);
bool designRedo(Design *d);

/* Whether bytes differ from the file as last read or saved. */
bool designChanged(const Design &d);

/* Writes the changes through a temporary file renamed over the file.
   Refuses (false, *why) when the file on disk is no longer what was last
   read or saved: another program changed it. A file deleted meanwhile is
   refused once, said so, and written anew by the next save. */
bool designSave(Design *d, std::string *why);

/* The status line: the selected item's type, identifier, place and size in
   cells and line ("BUTTON eOk at 10,5 size 6x1, line 12"), whether there
   are unsaved changes, and what tessel check says of the item's line (else
   how many findings the dialog has). */
std::string designStatus(const Design &d);

}  // namespace author

#endif
