/*
 * The authoring engine: reads a dialog file once and records what the
 * library makes of every line (ENUM block, section header, section end, help
 * line, item, ignored), the dialogs it defines and the items each one loads,
 * and the findings that explain why. Every verdict comes from the library's
 * own functions (its line reader, its line patterns, its ENUM scan, its item
 * interpreter and its size rule); the engine adds where and why.
 */
#ifndef TESSEL_AUTHOR_ENGINE_H
#define TESSEL_AUTHOR_ENGINE_H

#include <string>

#include "author/analysis.h"

namespace author {

/* Analyses text (a dialog file's bytes as read in text mode). */
Analysis analyzeText(std::string text, const Options &options);

/* Reads the file at path in text mode and analyses it; a file that cannot be
   read gives one cannot-open finding (a directory: "is a directory"). */
Analysis analyzeFile(const std::string &path, const Options &options);

/* Keeps the findings of the sections named dialog and of the file as a
   whole; a name that no section has adds a no-such-dialog finding. */
void keepFindingsOf(Analysis *a, const std::string &dialog);

}  // namespace author

#endif
