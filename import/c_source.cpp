/*
 * Reading the dialog item arrays of one C source through libclang. The
 * source is compiled as the compiler compiles it (with the user's flags);
 * every array variable of the file whose elements are records with the
 * item's fields is then read element by element. Only the shape of the tree
 * is walked here (initialiser lists, designators, casts); every value comes
 * from the C front end's own evaluation of the constant expression.
 */
#include <clang-c/Index.h>
#include <string.h>
#include <strings.h>

#include <algorithm>

#include "dialog/dialog_internal.h"
#include "import/c_items.h"
#include "import/findings.h"

namespace import {

const char *const kItemFieldNames[F_COUNT] = {"type",  "left column",    "top row", "right column",   "bottom row",
                                              "focus", "selected state", "flags",   "default button", "text"};

namespace {

/* The names plug-ins give the fields of their item records, in the record's
   order, compared without regard to case: the host's record itself and the
   helper records whose text is a string or a message number. */
const char *const kFieldSpellings[F_COUNT][4] = {{"type", "itemtype"},
                                                 {"x1"},
                                                 {"y1"},
                                                 {"x2"},
                                                 {"y2"},
                                                 {"focus"},
                                                 {"selected", "param", "history", "mask"},
                                                 {"flags"},
                                                 {"defaultbutton", "defbutton"},
                                                 {"data", "text", "name", "ptrdata"}};

/* Names that stand for a number in C but are no name of a message or an
   item: the null pointer and the truth values. */
const char *const kNotNames[] = {"NULL", "TRUE", "FALSE", "true", "false"};

std::string take(CXString s) {
  const char *c = clang_getCString(s);
  std::string text = c ? c : "";
  clang_disposeString(s);
  return text;
}

bool spelledAs(const std::string &name, ItemField field) {
  for (const char *spelling : kFieldSpellings[field])
    if (spelling && strcasecmp(name.c_str(), spelling) == 0) return true;
  return false;
}

std::vector<CXCursor> childrenOf(CXCursor c) {
  std::vector<CXCursor> children;
  clang_visitChildren(
      c,
      [](CXCursor child, CXCursor, CXClientData data) {
        static_cast<std::vector<CXCursor> *>(data)->push_back(child);
        return CXChildVisit_Continue;
      },
      &children);
  return children;
}

/* The children of c that are expressions (a cast's type is a child too). */
std::vector<CXCursor> expressionsIn(CXCursor c) {
  std::vector<CXCursor> expressions;
  for (CXCursor child : childrenOf(c))
    if (clang_isExpression(clang_getCursorKind(child))) expressions.push_back(child);
  return expressions;
}

bool isInteger(CXType t) {
  t = clang_getCanonicalType(t);
  return (t.kind >= CXType_Bool && t.kind <= CXType_Int128) || t.kind == CXType_Enum;
}

bool isCharArray(CXType t) {
  t = clang_getCanonicalType(t);
  if (t.kind != CXType_ConstantArray) return false;
  CXTypeKind e = clang_getCanonicalType(clang_getArrayElementType(t)).kind;
  return e == CXType_Char_S || e == CXType_Char_U || e == CXType_SChar || e == CXType_UChar;
}

bool isRecord(CXType t, CXCursorKind kind) {
  t = clang_getCanonicalType(t);
  return t.kind == CXType_Record && clang_getCursorKind(clang_getTypeDeclaration(t)) == kind;
}

/* Where c stands; inside a macro, where the macro was used. */
Place placeOf(CXCursor c) {
  CXFile file;
  unsigned line, column;
  clang_getExpansionLocation(clang_getCursorLocation(c), &file, &line, &column, nullptr);
  return {file ? take(clang_getFileName(file)) : "", line, column};
}

/* c as written in the source, on one line: the bytes from where its first
   token was expanded to where its last one ends; empty when they lie in
   different files. */
std::string writtenText(CXTranslationUnit tu, CXCursor c) {
  CXSourceRange range = clang_getCursorExtent(c);
  CXFile first, last;
  unsigned start, end;
  clang_getExpansionLocation(clang_getRangeStart(range), &first, nullptr, nullptr, &start);
  clang_getExpansionLocation(clang_getRangeEnd(range), &last, nullptr, nullptr, &end);
  size_t size = 0;
  const char *bytes = first ? clang_getFileContents(tu, first, &size) : nullptr;
  if (!bytes || !last || !clang_File_isEqual(first, last) || end < start || end > size) return "";
  std::string text;
  for (const char *p = bytes + start; p < bytes + end; p++) {
    bool blank = *p == ' ' || *p == '\t' || *p == '\n' || *p == '\r';
    if (!blank) text += *p;
    else if (!text.empty() && text.back() != ' ') text += ' ';
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

bool isIdentifier(const std::string &text) {
  if (text.empty() || (text[0] >= '0' && text[0] <= '9')) return false;
  for (char c : text)
    if (!(c == '_' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z'))) return false;
  for (const char *word : kNotNames)
    if (text == word) return false;
  return true;
}

/* The bytes of a string literal from the C front end's spelling of it, which
   writes every byte that is not printable ASCII as a named or a three-digit
   octal escape. The text ends at its first NUL, as the item's text does.
   False for a literal of wide characters. */
bool literalBytes(const std::string &spelling, std::string *text) {
  size_t open = spelling.find('"');
  if (open == std::string::npos || (open != 0 && spelling.compare(0, open, "u8") != 0)) return false;
  static const char kNamed[] = "n\nt\tr\ra\ab\bf\fv\ve\x1b";
  for (size_t i = open + 1; i + 1 < spelling.size(); i++) {
    char c = spelling[i];
    if (c == '\\' && i + 2 < spelling.size()) {
      c = spelling[++i];
      const char *named = c >= 'a' && c <= 'z' ? strchr(kNamed, c) : nullptr;
      if (named && (named - kNamed) % 2 == 0) {
        c = named[1];
      } else if (c >= '0' && c <= '7') {
        int value = 0;
        for (int digits = 0; digits < 3 && i < spelling.size() && spelling[i] >= '0' && spelling[i] <= '7'; digits++)
          value = value * 8 + (spelling[i++] - '0');
        i--;
        c = (char)value;
      }
    }
    if (c == 0) break;
    *text += c;
  }
  return true;
}

/* Whether the C front end tells the language of file by its extension. */
bool hasSourceExtension(const std::string &file) {
  static const char *const kExtensions[] = {".c", ".h", ".cc", ".cpp", ".cxx", ".C", ".hh", ".hpp", ".hxx"};
  size_t dot = file.rfind('.');
  if (dot == std::string::npos || file.find('/', dot) != std::string::npos) return false;
  for (const char *extension : kExtensions)
    if (file.compare(dot, std::string::npos, extension) == 0) return true;
  return false;
}

/* What the visitors share. */
struct Reader {
  CXTranslationUnit tu;
  CSource *out;
};

/* The key of the enum that constant belongs to, its constants kept in the
   source's table. */
std::string enumOf(Reader *r, CXCursor constant) {
  CXCursor decl = clang_getCursorSemanticParent(constant);
  std::string key = take(clang_getCursorUSR(decl));
  if (key.empty() || r->out->enums.count(key)) return key;
  std::vector<NamedValue> &values = r->out->enums[key];
  for (CXCursor c : childrenOf(decl))
    if (clang_getCursorKind(c) == CXCursor_EnumConstantDecl)
      values.push_back({take(clang_getCursorSpelling(c)), clang_getEnumConstantDeclValue(c)});
  return key;
}

/* The enum constant c refers to, or a null cursor. */
CXCursor constantOf(CXCursor c) {
  if (clang_getCursorKind(c) != CXCursor_DeclRefExpr) return clang_getNullCursor();
  CXCursor decl = clang_getCursorReferenced(c);
  return clang_getCursorKind(decl) == CXCursor_EnumConstantDecl ? decl : clang_getNullCursor();
}

/* Evaluates c as the compiler does: a number or a text into *v. */
bool evaluate(CXCursor c, CValue *v) {
  CXEvalResult result = clang_Cursor_Evaluate(c);
  if (!result) return false;
  bool got = true;
  switch (clang_EvalResult_getKind(result)) {
    case CXEval_Int:
      v->kind = CValue::Number;
      v->number = clang_EvalResult_isUnsignedInt(result) ? (long long)clang_EvalResult_getAsUnsigned(result)
                                                         : clang_EvalResult_getAsLongLong(result);
      break;
    case CXEval_StrLiteral: {
      const char *text = clang_EvalResult_getAsStr(result);
      v->kind = CValue::Text;
      v->text = text ? text : "";
      break;
    }
    default:
      got = false;
  }
  clang_EvalResult_dispose(result);
  return got;
}

/* The name the number value at c is written as: the enum constant or macro
   that is all of the expression (inside parentheses and casts that keep the
   value), or empty. *enumKey gets the enum of an enum constant. */
std::string nameOf(Reader *r, CXCursor c, long long value, std::string *enumKey) {
  std::string written = writtenText(r->tu, c);
  CXCursor constant = constantOf(c);
  if (isIdentifier(written)) {
    if (!clang_Cursor_isNull(constant) && take(clang_getCursorSpelling(constant)) == written)
      *enumKey = enumOf(r, constant);
    return written;
  }
  if (!clang_Cursor_isNull(constant)) { /* a macro's argument: its text lies in the macro */
    *enumKey = enumOf(r, constant);
    return take(clang_getCursorSpelling(constant));
  }
  std::vector<CXCursor> inner = expressionsIn(c);
  CValue same;
  if (inner.size() == 1 && evaluate(inner[0], &same) && same.kind == CValue::Number && same.number == value)
    return nameOf(r, inner[0], value, enumKey);
  return "";
}

/* Whether c is a designated initialiser of the kind that begins with first
   ('.' a field, '[' an index). */
bool isDesignator(Reader *r, CXCursor c, char first) {
  if (clang_getCursorKind(c) != CXCursor_UnexposedExpr) return false;
  std::string written = writtenText(r->tu, c);
  return !written.empty() && written[0] == first && childrenOf(c).size() >= 2;
}

CValue readValue(Reader *r, CXCursor c, bool bytes);

/* A brace-enclosed initialiser of one field: a union's member, a braced
   scalar, or the bytes of a text. */
CValue readBraced(Reader *r, CXCursor c, bool bytes, CValue v) {
  std::vector<CXCursor> parts = childrenOf(c);
  if (parts.empty()) return v; /* {}: zero */
  if (bytes) {
    for (CXCursor part : parts) {
      CValue byte = readValue(r, part, false);
      if (byte.kind != CValue::Number) return byte;
      if (byte.number == 0) break;
      v.text += (char)byte.number;
    }
    v.kind = CValue::Text;
    return v;
  }
  if (parts.size() > 1) {
    v.kind = CValue::Unreadable;
    v.why = "a list of several values";
    return v;
  }
  CXCursor part = parts[0];
  if (isDesignator(r, part, '.')) part = childrenOf(part).back(); /* a union's member by name */
  return readValue(r, part, false);
}

/* The initialiser c of one field; bytes: the field is a char array. */
CValue readValue(Reader *r, CXCursor c, bool bytes) {
  CValue v;
  v.place = placeOf(c);
  v.written = writtenText(r->tu, c);
  CXCursorKind kind = clang_getCursorKind(c);
  if (kind == CXCursor_InitListExpr) return readBraced(r, c, bytes, v);
  if (evaluate(c, &v)) {
    if (v.kind == CValue::Number) v.name = nameOf(r, c, v.number, &v.enumKey);
    return v;
  }
  if (kind == CXCursor_StringLiteral) {
    v.kind = literalBytes(take(clang_getCursorSpelling(c)), &v.text) ? CValue::Text : CValue::Unreadable;
    if (v.kind == CValue::Unreadable) v.why = "a string of wide characters";
    return v;
  }
  std::vector<CXCursor> inner = expressionsIn(c);
  if ((kind == CXCursor_UnexposedExpr || kind == CXCursor_ParenExpr || kind == CXCursor_CStyleCastExpr) &&
      inner.size() == 1) {
    /* a cast to a pointer: what is cast is the value (a text, a message number) */
    CValue cast = readValue(r, inner[0], bytes);
    cast.place = v.place;
    cast.written = v.written;
    return cast;
  }
  v.kind = CValue::NotConstant;
  return v;
}

/* Reads an item's initialiser list into item; fields names the record's
   fields as C spells them. */
void readItem(Reader *r, CXCursor list, const std::vector<std::string> &fields, DataForm data, CItem *item) {
  size_t at = 0;
  for (CXCursor child : childrenOf(list)) {
    CXCursor value = child;
    if (isDesignator(r, child, '.')) {
      std::vector<CXCursor> parts = childrenOf(child);
      std::string field = take(clang_getCursorSpelling(parts[0]));
      at = F_COUNT;
      for (size_t f = 0; f < fields.size(); f++)
        if (fields[f] == field) at = f;
      if (at == F_COUNT) return;
      value = parts.back();
      if (parts.size() != 2) { /* .a.b = or .a[1] = */
        item->field[at].kind = CValue::Unreadable;
        item->field[at].why = "a designator of more than one field (`" + writtenText(r->tu, child) + "`)";
        item->field[at].place = placeOf(child);
        at++;
        continue;
      }
    }
    if (at >= F_COUNT) return;
    item->field[at] = readValue(r, value, at == F_DATA && data == DataForm::Array);
    at++;
  }
}

/* The record's fields as C spells them when type has the item's fields in
   their order, with the form of its text into *data; else empty. */
std::vector<std::string> itemFields(CXType type, DataForm *data) {
  std::vector<std::string> names;
  if (!isRecord(type, CXCursor_StructDecl)) return names;
  std::vector<CXCursor> fields;
  clang_Type_visitFields(
      clang_getCanonicalType(type),
      [](CXCursor field, CXClientData list) {
        static_cast<std::vector<CXCursor> *>(list)->push_back(field);
        return CXVisit_Continue;
      },
      &fields);
  if (fields.size() != F_COUNT) return names;
  for (int f = 0; f < F_COUNT; f++) {
    std::string name = take(clang_getCursorSpelling(fields[(size_t)f]));
    CXType t = clang_getCursorType(fields[(size_t)f]);
    bool pointer = clang_getCanonicalType(t).kind == CXType_Pointer;
    bool fits = spelledAs(name, (ItemField)f) && isInteger(t);
    if (f == F_SELECTED)
      fits = isRecord(t, CXCursor_UnionDecl) || (spelledAs(name, F_SELECTED) && (isInteger(t) || pointer));
    if (f == F_DATA) fits = spelledAs(name, F_DATA) && (isCharArray(t) || pointer || isInteger(t));
    if (!fits) return {};
    names.push_back(name);
  }
  *data = isCharArray(clang_getCursorType(fields[F_DATA])) ? DataForm::Array
          : isInteger(clang_getCursorType(fields[F_DATA])) ? DataForm::Integer
                                                           : DataForm::Pointer;
  return names;
}

/* Adds the enum of the constant that the expression c names, if it does, to
   the enums that index array. */
void noteIndexEnum(Reader *r, CXCursor c, CArray *array) {
  CXCursor constant = constantOf(c);
  if (clang_Cursor_isNull(constant)) return;
  std::string key = enumOf(r, constant);
  for (const std::string &k : array->indexEnums)
    if (k == key) return;
  array->indexEnums.push_back(key);
}

/* Reads the elements of the initialiser list into array; false (after a
   finding) when their form is one the importer does not read. */
bool readElements(Reader *r, CXCursor list, const std::vector<std::string> &fields, CArray *array) {
  long long at = 0, count = (long long)array->items.size();
  for (CXCursor child : childrenOf(list)) {
    CXCursor element = child;
    std::string indexName;
    if (isDesignator(r, child, '[')) {
      std::vector<CXCursor> parts = childrenOf(child);
      CValue index = readValue(r, parts[0], false);
      if (parts.size() != 2 || index.kind != CValue::Number) {
        r->out->findings.push_back(
            makeFinding(Kind::Unreadable, placeOf(child),
                        {"initialiser", array->name,
                         "a designator of a range or of more than one index (`" + writtenText(r->tu, child) + "`)",
                         "nothing: the array is left out"}));
        return false;
      }
      noteIndexEnum(r, parts[0], array);
      at = index.number;
      indexName = index.name;
      element = parts[1];
    }
    if (clang_getCursorKind(element) != CXCursor_InitListExpr) {
      r->out->findings.push_back(
          makeFinding(Kind::Unreadable, placeOf(element),
                      {"initialiser", array->name,
                       "not a brace-enclosed list for each item (`" + writtenText(r->tu, element) + "`)",
                       "nothing: the array is left out"}));
      return false;
    }
    if (at >= 0 && at < count) {
      CItem &item = array->items[(size_t)at];
      item = CItem();
      item.indexName = indexName;
      item.place = placeOf(element);
      for (CValue &field : item.field) field.place = item.place; /* where the compiler fills 0 */
      readItem(r, element, fields, array->data, &item);
    }
    at++;
  }
  return true;
}

/* Reads the variable decl when it is an initialised array of items. */
void readArray(Reader *r, CXCursor decl) {
  CXType type = clang_getCanonicalType(clang_getCursorType(decl));
  if (type.kind != CXType_ConstantArray || clang_getArraySize(type) <= 0) return;
  CArray array;
  std::vector<std::string> fields = itemFields(clang_getArrayElementType(type), &array.data);
  std::vector<CXCursor> children = childrenOf(decl);
  if (fields.empty() || children.empty() || clang_getCursorKind(children.back()) != CXCursor_InitListExpr) return;
  array.name = take(clang_getCursorSpelling(decl));
  array.place = placeOf(decl);
  array.elementType = take(clang_getTypeSpelling(clang_getArrayElementType(clang_getCursorType(decl))));
  array.length = clang_getArraySize(type);
  array.items.resize((size_t)std::min(array.length, (long long)TS_MAX_ITEMS)); /* the rest is never written */
  for (CItem &item : array.items) {
    item.place = array.place;
    for (CValue &field : item.field) field.place = array.place;
  }
  for (size_t i = 0; i + 1 < children.size(); i++) /* the size, when an enum constant gives it */
    if (clang_isExpression(clang_getCursorKind(children[i]))) noteIndexEnum(r, children[i], &array);
  if (readElements(r, children.back(), fields, &array)) r->out->arrays.push_back(array);
}

CXChildVisitResult visitDecls(CXCursor c, CXCursor, CXClientData data) {
  if (!clang_Location_isFromMainFile(clang_getCursorLocation(c))) return CXChildVisit_Continue;
  if (clang_getCursorKind(c) == CXCursor_VarDecl) readArray(static_cast<Reader *>(data), c);
  return CXChildVisit_Recurse;
}

}  // namespace

CSource readSource(const std::string &file, const std::vector<std::string> &cflags) {
  CSource source;
  std::vector<const char *> args;
  if (!hasSourceExtension(file)) args.push_back("-xc"); /* else the front end takes it for no source at all */
  for (const std::string &flag : cflags) args.push_back(flag.c_str());
  CXIndex index = clang_createIndex(0, 0);
  CXTranslationUnit tu = nullptr;
  CXErrorCode code = clang_parseTranslationUnit2(index, file.c_str(), args.data(), (int)args.size(), nullptr, 0,
                                                 CXTranslationUnit_None, &tu);
  if (code != CXError_Success) {
    source.errors.push_back(file + ": error: the C front end cannot read it (libclang error " +
                            std::to_string((int)code) + ")");
  } else {
    for (unsigned i = 0, n = clang_getNumDiagnostics(tu); i < n; i++) {
      CXDiagnostic d = clang_getDiagnostic(tu, i);
      if (clang_getDiagnosticSeverity(d) >= CXDiagnostic_Error)
        source.errors.push_back(take(clang_formatDiagnostic(
            d, CXDiagnostic_DisplaySourceLocation | CXDiagnostic_DisplayColumn | CXDiagnostic_DisplayOption)));
      clang_disposeDiagnostic(d);
    }
    if (source.errors.empty()) {
      Reader reader = {tu, &source};
      clang_visitChildren(clang_getTranslationUnitCursor(tu), visitDecls, &reader);
    }
    clang_disposeTranslationUnit(tu);
  }
  clang_disposeIndex(index);
  return source;
}

}  // namespace import
