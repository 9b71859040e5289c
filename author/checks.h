/*
 * The checks that turn the engine's record of a file into findings, and the
 * small helpers they share: spans of a line, nearest-name suggestions and
 * what the host's dialog makes of an item's text.
 */
#ifndef TESSEL_AUTHOR_CHECKS_H
#define TESSEL_AUTHOR_CHECKS_H

#include <string>
#include <vector>

#include "author/analysis.h"

namespace author {

/* Runs every check and adds its findings to a. */
void checkAll(Analysis *a, const Options &options);

/* The finding for a --dialog name that the file does not define. */
void noSuchDialog(Analysis *a, const std::string &name);

/* Layout checks of one section (layout.cpp): outside-dialog, overlap,
   text-overflow, hotkey-clash, default-button. */
void checkLayout(Analysis *a, int section);

/* Where the host's dialog puts an item of a section shown at its size: its
   cells in the dialog (inclusive), and whether it shows anything. */
struct Place {
  long long left = 0, right = 0, top = 0, bottom = 0;
  bool drawn = true;
};
std::vector<Place> placeItems(const Section &s);

/* An item as a message names it: its text in quotes, or the text field as
   written (a message name, say) when the text is empty, or its type. */
std::string describeItem(const Item &item);

/* Bytes start to end of line index lineIndex as a span. */
Span spanOf(const Analysis &a, int lineIndex, int start, int end);

/* Adds f to a, as a finding of section (-1: the file). */
void addFinding(Analysis *a, Finding f, int section);

/* The candidate nearest to word (ASCII case ignored) when it is near enough
   to be a likely typing slip, else the empty string. */
std::string nearest(const std::string &word, const std::vector<std::string> &candidates);

/* "; did you mean `X`?" for a suggestion, or nothing. */
std::string didYouMean(const std::string &suggestion);

/* Whether text holds a whole UTF-8 sequence of two or more bytes: text
   written in UTF-8, which the host shows byte by byte in its code page. */
bool hasUtf8(const char *text);

/* A text quoted for a message: at most 40 bytes, control bytes shown as '?'. */
std::string quoted(const std::string &text);

}  // namespace author

#endif
