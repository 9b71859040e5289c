/*
 * The plug-in's language files (*.lng) as the check sees them: which files
 * the host reads for a dialog file's directory, each read by the host's own
 * reader with the slips it passes over silently (no language line, a message
 * without its closing quote, an escape it keeps as written, bytes its code
 * page cannot show), its messages counted against the dialog file's first
 * ENUM, and the layout of the dialogs judged again on each language's texts.
 */
#ifndef TESSEL_AUTHOR_LANGUAGES_H
#define TESSEL_AUTHOR_LANGUAGES_H

#include <map>
#include <string>
#include <vector>

#include "author/analysis.h"

namespace author {

/* One language file as the host reads it. */
struct LanguageFile {
  std::string path;                  /* as found: the directory and the file's name */
  std::string language;              /* its header's language, or empty */
  std::vector<std::string> messages; /* as the host shows them */
  std::vector<int> lines;            /* the 1-based line of each message */
  std::vector<Finding> findings;     /* its own, each with file set to path */
};

/* Texts of files that stand in for what is on disk (an editor's open
   documents), by path. */
typedef std::map<std::string, std::string> LanguageTexts;

/* The language files of directory (ending in a separator, or empty for the
   current one) that the host reads: for each language present, or for each
   of languages when it is not empty, the file the host picks for it, in
   name order, each once. Files that no language reaches are read too, with a
   finding that says why the host passes them over. */
std::vector<LanguageFile> readLanguageFiles(const std::string &directory, const std::vector<std::string> &languages,
                                            int codepage, const LanguageTexts *open = nullptr);

/* One language file from its bytes (a file that cannot be read: a
   cannot-open finding), with its own findings; codepage 0 skips the code
   page's. */
LanguageFile readLanguageText(const std::string &path, const std::string &bytes, int codepage);
LanguageFile readLanguageFile(const std::string &path, int codepage);

/* Whether the dialogs of a take any text from the language files: a %L%
   text or a selected field naming a message. */
bool usesLanguageFiles(const Analysis &a);

/* Adds to file the finding of a message count that differs from the number
   of names of the first ENUM of a (analysed from dialogPath), when a has
   one; the lost message's likely place is found against reference, a file
   of another language with the right count, when there is one. */
void checkMessageCount(LanguageFile *file, const Analysis &a, const std::string &dialogPath,
                       const std::vector<LanguageFile> &others);

/* Judges the layout of every loaded dialog of a again with the texts of
   file, as the host shows them, adding each finding that these texts make
   and the empty ones do not, worded with the language and with a note at
   the language file's line. The library's ENUM table must still hold a's
   (the engine calls it before it clears the table). */
void judgeLanguage(Analysis *a, const LanguageFile &file);

/* Adds the findings of the language files that a's dialogs read texts
   from (their own, and their message counts against a's first ENUM), each
   with its file set; nothing when a reads no text from them. */
void addLanguageFindings(Analysis *a, const std::string &dialogPath, std::vector<LanguageFile> *files);

/* Analyses the dialog file at path as a part of its plug-in: the language
   files beside it (of languages, or of every language present) are read,
   the layout is judged with each one's texts, and their findings are added
   as addLanguageFindings does. */
Analysis analyzeWithLanguages(const std::string &path, Options options, const std::vector<std::string> &languages);

/* Whether path names a language file (*.lng, in any case) or a dialog
   file (*.dlg). */
bool isLanguagePath(const std::string &path);
bool isDialogPath(const std::string &path);

/* The findings of language file path (its bytes from open when there, else
   from disk), each with its file set: its own, as the host reads its
   directory, and its message counts against each dialog file beside it that
   reads texts from it (also read from open when there). When judged is not
   null, those dialogs' layout findings with its texts go there, with their
   files set. */
std::vector<Finding> checkLanguageFile(const std::string &path, int codepage, const LanguageTexts *open,
                                       std::vector<Finding> *judged);

/* Analyses text in language mode 0 with the library's messages answered
   from file's texts, as the host shows them (file null: message names,
   language mode 1). */
Analysis analyzeTextIn(std::string text, Options options, const LanguageFile *file);

/* The directory part of path, with its separator ("" for none). */
std::string directoryOf(const std::string &path);

}  // namespace author

#endif
