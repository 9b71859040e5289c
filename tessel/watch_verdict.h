/*
 * The verdict on a new version of a watched dialog file: whether --watch may
 * show it (no errors, a dialog defined, not too large to read) and the
 * one-line summary of its findings that the status line and render --watch
 * give.
 */
#ifndef TESSEL_TESSEL_WATCH_VERDICT_H
#define TESSEL_TESSEL_WATCH_VERDICT_H

#include <string>

#include "author/engine.h"

/* Files larger than this are not read on a change: the status line says so
   and the last good version stays. */
constexpr long long kWatchMaxFileSize = 16ll << 20;

/* Reads and analyses file (shown: its name as typed, for messages). Returns
   1 with the analysis in *a when the file has no errors and defines a
   dialog; else 0 with *problem set to a one-line status (`N errors, M
   warnings: FILE:LINE: message`, or what keeps the file from being read). */
int watchExamine(const std::string &file, const std::string &shown, const author::Options &options, author::Analysis *a,
                 std::string *problem);

/* The one-line summary of findings for a status line: "" when there are
   none, else `N errors, M warnings: FILE:LINE: first message` (the first
   error, else the first warning). */
std::string watchSummary(const author::Analysis &a, const std::string &shown);

#endif
