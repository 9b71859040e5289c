/*
 * The dialog item arrays of C sources as the C front end reads them: each
 * field of each item as a number, a text, or why it is neither, with the
 * enum constant or macro it is written as; the arrays with their items as
 * the compiler lays them out (by index, designated or not, zero where no
 * initialiser stands); the enums whose constants may name message numbers
 * and indexes. The reader (c_source.cpp) fills them, the writer of the
 * dialog file (dlg_file.cpp) reads them.
 */
#ifndef TESSEL_IMPORT_C_ITEMS_H
#define TESSEL_IMPORT_C_ITEMS_H

#include <map>
#include <string>
#include <vector>

#include "import/import.h"

namespace import {

/* The fields of the item record, in its order. */
enum ItemField { F_TYPE, F_X1, F_Y1, F_X2, F_Y2, F_FOCUS, F_SELECTED, F_FLAGS, F_DEFAULT, F_DATA, F_COUNT };

/* How the fields are called in messages. */
extern const char *const kItemFieldNames[F_COUNT];

/* One field's initialiser. */
struct CValue {
  enum Kind {
    Zero,        /* no initialiser: the compiler fills 0 */
    Number,      /* an integer constant (a pointer cast from one counts as it) */
    Text,        /* a string literal: its bytes up to its first NUL */
    NotConstant, /* known only at run time (a call, a variable) */
    Unreadable   /* a form the importer does not read; why says which */
  } kind = Zero;
  long long number = 0;
  std::string text;
  std::string name;    /* Number: the enum constant or macro it is written as, or empty */
  std::string enumKey; /* name is a constant of this enum (a key of CSource::enums), or empty */
  std::string written; /* the initialiser as written, on one line */
  std::string why;     /* Unreadable: what the form is */
  Place place;
};

struct CItem {
  CValue field[F_COUNT];
  std::string indexName; /* the designator's name ([eOk] = ...), or empty */
  Place place;           /* of its initialiser; the array's for an item the compiler fills with 0 */
};

/* How the record keeps its text: a char array holds the text itself; a
   pointer or an integer holds a string literal or a message number. */
enum class DataForm { Array, Pointer, Integer };

struct CArray {
  std::string name; /* the variable's */
  Place place;
  std::string elementType; /* as written in C, for comments */
  DataForm data = DataForm::Array;
  long long length = 0;                /* its elements */
  std::vector<CItem> items;            /* the first of them, as many as a dialog holds */
  std::vector<std::string> indexEnums; /* enums whose constants index it (its size, its designators) */
};

/* One enum constant. */
struct NamedValue {
  std::string name;
  long long value;
};

/* What one C source gives. */
struct CSource {
  std::vector<std::string> errors; /* the C front end's errors, in compilers' form */
  std::vector<CArray> arrays;
  std::vector<Finding> findings;                        /* arrays left out, and why */
  std::map<std::string, std::vector<NamedValue>> enums; /* by key: the constants of each enum met, in order */
};

/* Reads the item arrays of file (as named on the command line) with the C
   front end, given the flags it gets. The arrays are those of the file
   itself, not of the headers it includes. */
CSource readSource(const std::string &file, const std::vector<std::string> &cflags);

}  // namespace import

#endif
