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
  std::vector<int> marked;          /* items marked besides the selected one: the selection aligned */
  size_t undoDropped = 0;           /* the oldest versions to undo, dropped to keep the list bounded */
};

/* What the item form shows and changes of the selected item's line: the
   type, identifier and selected field as written, the text as written
   (without its quotes; a message name for a %L% text), and the flags the
   flag list sets (the DIF_ bits above the colour byte). */
struct ItemForm {
  std::string type, id, selected, text;
  unsigned flags = 0;
  bool message = false; /* the text is a message's name (%L%) */
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

/* The DIF_ flag a word of a flag list sets, as the library's flag reader
   reads it (a name, or a position written as a number); 0 for a colour, the
   colour mask, or a flag the library has no name for. The form's flags are
   these. */
unsigned designFlagOf(const std::string &word);

/* The item at cell x,y of the dialog (0-based, as the host places the
   items), the smallest one where several cover it; -1 for none. A box is
   at its frame only: the cells inside it are the place of new items. */
int designItemAt(const Design &d, long long x, long long y);

/* Adds an item of type (a DI_ type) with its top left corner at cell x,y
   of the dialog, on a new line right after the selected item's line (next
   in the tab order), written in the columns of that line (the first item of
   a dialog without any goes after its header or help line); the new item is
   then selected. False with *why, and nothing changed, as designDuplicate. */
bool designAdd(Design *d, int type, long long x, long long y, std::string *why);

/* The selected item's form, and the change of the fields that differ in
   form from it: each rewritten as the library reads it, the others left
   as written (true, and no step to undo, when none differs). False with
   *why, and nothing changed, for a type the library
   does not know, an empty identifier or selected field, a text the line
   cannot hold, or a line the library would read otherwise. */
ItemForm designForm(const Design &d);
bool designApplyForm(Design *d, const ItemForm &form, std::string *why);

/* Marks or unmarks the selected item (the marked items and the selected
   one are the selection an alignment changes). */
void designToggleMark(Design *d);

/* Aligns the selection: every item takes the selected item's left column
   (the boxes and fields keep their width); or makes it a centred group on
   the selected item's row (the host centres such items across the dialog,
   side by side). One change, undone at once; false with *why, and nothing
   changed, when nothing is marked or an item cannot take part. */
bool designAlignLeft(Design *d, std::string *why);
bool designCentreGroup(Design *d, std::string *why);

/* Moves the selected item's line before the previous item's line (step
   -1) or after the next one's (+1): one place earlier or later in the tab
   order. False with *why, and nothing changed, at either end or where the
   library would not read the items in the new order. */
bool designReorder(Design *d, int step, std::string *why);

/* Several changes made as one (a drag of the mouse): the changes made since
   designChangeMark gave mark become one step. (The list to undo keeps the
   last 1000 versions, and 256 MB of them at most.) */
size_t designChangeMark(const Design &d);
void designFoldChanges(Design *d, size_t mark);

/* Reads the file again (another program changed it), keeping the selected
   item's index where it still exists; the changes to undo are forgotten.
   False with *why when the file cannot be read or defines the dialog no
   more (the design then stays as it was). */
bool designReload(Design *d, std::string *why);

/* Whether the file on disk differs from what was last read or saved. */
bool designChangedOnDisk(const Design &d);

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
