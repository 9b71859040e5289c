/*
 * tessel check, and the printing of findings that render shares with it.
 */
#ifndef TESSEL_TESSEL_CHECK_H
#define TESSEL_TESSEL_CHECK_H

#include <stdio.h>

#include <string>

#include "author/engine.h"

/* Prints the findings of a file in the compilers' form, coloured when out is
   a terminal and NO_COLOR is not set. */
void printFindings(FILE *out, const std::string &file, const author::Analysis &a);

#endif
