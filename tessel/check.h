/*
 * tessel check, and the printing of findings that render, try and the report
 * of a missing dialog share with it.
 */
#ifndef TESSEL_TESSEL_CHECK_H
#define TESSEL_TESSEL_CHECK_H

#include <stdio.h>

#include <string>

#include "author/engine.h"

/* Prints finding f of file, then its notes, in the compilers' form
   (FILE:LINE:COLUMN: severity: message [code]), coloured when out is a
   terminal and NO_COLOR is not set. */
void printFinding(FILE *out, const std::string &file, const author::Finding &f);

/* Prints the findings of a file as printFinding does. */
void printFindings(FILE *out, const std::string &file, const author::Analysis &a);

#endif
