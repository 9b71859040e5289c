/*
 * Writing one item of a C array as an item line. Each field is written so
 * that the library's item interpreter gives back the value the compiler
 * builds: types and flags by the library's own keyword tables (whatever the
 * C source calls them), truth values as T and F, texts quoted, message
 * numbers after %L%. A value no item line can give is written as the
 * nearest one the line can, with a finding and a comment above the line.
 */
#include "import/item_line.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "dialog/dialog_internal.h"
#include "import/findings.h"

namespace import {

namespace {

/* What writing one line keeps at hand. */
struct LineWriter {
  const CArray &array;
  size_t index;
  std::vector<Finding> *findings;
  ItemLine *out;

  std::string label() const { return array.name + "[" + std::to_string(index) + "]"; }

  void report(Kind kind, const Place &place, const std::vector<std::string> &args) {
    findings->push_back(makeFinding(kind, place, args));
    out->comments.push_back(commentFor(findings->back()));
  }
};

std::string hex(unsigned long long value) {
  char text[24];
  snprintf(text, sizeof text, "0x%llX", value);
  return text;
}

/* The number a numeric field holds (0 where the compiler fills it); false,
   after a finding that names instead as what is written in its place, when
   it holds none. */
bool numberOf(LineWriter *w, ItemField field, const CValue &v, const char *instead, long long *n) {
  *n = v.number;
  const char *name = kItemFieldNames[field];
  if (v.kind == CValue::Zero || v.kind == CValue::Number) return true;
  if (v.kind == CValue::NotConstant) w->report(Kind::NotConstant, v.place, {name, w->label(), v.written, instead});
  else w->report(Kind::Unreadable, v.place, {name, w->label(), v.kind == CValue::Text ? "a text" : v.why, instead});
  return false;
}

/* A value that no line can give exactly: the finding, and what is written. */
std::string outOfReach(LineWriter *w, ItemField field, const CValue &v, const std::string &why,
                       const std::string &written) {
  w->report(Kind::OutOfReach, v.place, {kItemFieldNames[field], w->label(), std::to_string(v.number), why, written});
  return written;
}

bool fits32(long long n) { return n >= INT32_MIN && n <= INT32_MAX; }

std::string typeToken(LineWriter *w, const CValue &v, int32_t *type) {
  long long n;
  *type = 0;
  if (!numberOf(w, F_TYPE, v, "TEXT", &n)) return "TEXT";
  w->out->expected.exact[F_TYPE] = true;
  if (n >= 0 && n < TS_TYPE_COUNT) {
    *type = (int32_t)n;
    return itemTypeNames[n];
  }
  w->out->expected.exact[F_TYPE] = false;
  if (n == -1 || !fits32(n))
    return outOfReach(w, F_TYPE, v,
                      n == -1 ? "the library skips a line whose type reads as -1" : "it needs more than 32 bits",
                      "TEXT");
  w->out->expected.exact[F_TYPE] = true;
  w->report(Kind::TypeNumber, v.place, {std::to_string(n), w->label()});
  *type = (int32_t)n;
  return std::to_string(n);
}

/* A coordinate: digits, never a sign. */
std::string coordinateToken(LineWriter *w, ItemField field, const CValue &v, long long *written) {
  long long n;
  *written = 0;
  if (!numberOf(w, field, v, "0", &n)) return "0";
  if (n < 0 || !fits32(n))
    return outOfReach(w, field, v,
                      n < 0 ? "the library reads coordinates as digits, without a sign" : "it needs more than 32 bits",
                      "0");
  w->out->expected.exact[field] = true;
  *written = n;
  return std::to_string(n);
}

/* The right column or bottom row far, which must not fall before near: the
   library reads such a one as a width or height for these types. */
std::string farToken(LineWriter *w, ItemField field, const CValue &v, long long near, bool measured, int32_t type) {
  long long n;
  std::string token = coordinateToken(w, field, v, &n);
  if (!w->out->expected.exact[field] || !measured || n >= near) return token;
  w->out->expected.exact[field] = false;
  return outOfReach(w, field, v,
                    std::string("for the type ") + itemTypeNames[type] + " the library reads a " +
                        kItemFieldNames[field] + " before the " + kItemFieldNames[field == F_X2 ? F_X1 : F_Y1] +
                        " as a " + (field == F_X2 ? "width" : "height"),
                    std::to_string(near));
}

/* Focus and default button: the library reads T as 1, anything else as 0. */
std::string truthToken(LineWriter *w, ItemField field, const CValue &v) {
  long long n;
  if (!numberOf(w, field, v, "F", &n)) return "F";
  w->out->expected.exact[field] = n == 0 || n == 1;
  if (n == 0 || n == 1) return n ? "T" : "F";
  return outOfReach(w, field, v, "the library gives 1 or 0", "T");
}

/* Why text cannot be the text of an item line (empty when it can). */
std::string unwritable(const std::string &text, bool quotedOnly) {
  if (text.find_first_of("\n\r") != std::string::npos) return "it holds a line break";
  if (text.find('\x1a') != std::string::npos) return "it holds the byte 0x1A, which ends a text file on Windows";
  if (quotedOnly && text.find('"') != std::string::npos) return "it holds a double quote";
  if (text.find('"') == std::string::npos) return "";
  if (text.find_first_of(" \t\v\f") != std::string::npos)
    return "it holds a double quote and a blank, and a text with a double quote can only be written as one word";
  if (text[0] == '"' || text[0] == '%')
    return std::string("it holds a double quote and begins with ") + text[0] +
           ", and a text with a double quote can only be written as one word that begins otherwise";
  return "";
}

/* A text as the line writes it: in double quotes, or as one word when it
   holds a double quote itself. */
std::string quoted(const std::string &text) { return text.find('"') == std::string::npos ? "\"" + text + "\"" : text; }

std::string selectedToken(LineWriter *w, const CValue &v) {
  Expected &e = w->out->expected;
  if (v.kind == CValue::Text) {
    std::string why = unwritable(v.text, true);
    if (!why.empty()) {
      w->report(Kind::TextOutOfReach, v.place, {"history name", w->label(), why});
      return "0";
    }
    e.exact[F_SELECTED] = e.history = true;
    e.historyName = v.text;
    return quoted(v.text);
  }
  long long n;
  if (!numberOf(w, F_SELECTED, v, "0", &n)) return "0";
  e.exact[F_SELECTED] = n == 0 || n == 1;
  if (n == 0 || n == 1) return n ? "1" : "0";
  return outOfReach(w, F_SELECTED, v, "the library gives 1 or 0 (or the address of a history name)", "1");
}

/* The flag list of bits, in the library's names: its flag names, colour
   names for the colour byte with DIF_SETCOLOR, and for bits no name gives,
   their positions as numbers (the library's numeric flag positions reach
   every bit: position p gives bit (p + 7) mod 32). */
std::string flagList(LineWriter *w, const CValue &v, uint32_t bits) {
  std::vector<std::string> words;
  for (int p = 2; p < TS_FLAG_COUNT; p++)
    if (bits & (1u << (p + 7))) words.push_back(itemFlagNames[p]);
  uint32_t low = bits & DIF_COLORMASK, unnamed = 0;
  if (bits & DIF_SETCOLOR) {
    if (low & 0x0F) words.push_back(colorNames[low & 0x0F]);
    if (low & 0xF0) words.push_back(bkColorNames[low >> 4]);
    if (!low) words.push_back("DIF_SETCOLOR");
  } else if (low == DIF_COLORMASK) {
    words.push_back("DIF_COLORMASK");
  } else {
    unnamed |= low;
  }
  unnamed |= bits & ~((1u << (TS_FLAG_COUNT + 7)) - 1);
  std::string positions;
  for (int bit = 0; bit < 32; bit++) {
    if (!(unnamed & (1u << bit))) continue;
    std::string position = std::to_string((bit + 25) % 32);
    words.push_back(position);
    positions += (positions.empty() ? "" : ", ") + position;
  }
  if (unnamed) w->report(Kind::FlagNumber, v.place, {hex(unnamed), w->label(), positions});
  std::string list = "(";
  for (size_t i = 0; i < words.size(); i++) list += (i ? "+" : "") + words[i];
  return list + ")";
}

std::string flagsToken(LineWriter *w, const CValue &v, uint32_t *bits) {
  long long n;
  *bits = 0;
  if (!numberOf(w, F_FLAGS, v, "()", &n)) return "()";
  if (n < INT32_MIN || n > (long long)UINT32_MAX) {
    *bits = (uint32_t)n;
    return outOfReach(w, F_FLAGS, v, "the record's flags are 32 bits", flagList(w, v, *bits));
  }
  w->out->expected.exact[F_FLAGS] = true;
  *bits = (uint32_t)n;
  return flagList(w, v, *bits);
}

/* The text field: a literal text, or %L% and a message number. */
std::string textToken(LineWriter *w, const CValue &v, const Naming &naming) {
  Expected &e = w->out->expected;
  if (v.kind == CValue::Text || (v.kind == CValue::Zero && w->array.data == DataForm::Array)) {
    std::string why = unwritable(v.text, false), head = v.text.substr(0, 4);
    for (char &c : head) c = (char)tsToUpper((unsigned char)c);
    if (why.empty() && head == "NULL") why = "the library reads a text that begins with NULL, in any case, as no text";
    if (!why.empty()) {
      w->report(Kind::TextOutOfReach, v.place, {"text", w->label(), why});
      return "\"\"";
    }
    e.exact[F_DATA] = true;
    e.text = v.text;
    return quoted(v.text);
  }
  long long n;
  if (!numberOf(w, F_DATA, v, "an empty text", &n)) return "\"\"";
  if (n == -1 || !fits32(n)) {
    w->report(Kind::OutOfReach, v.place,
              {"message number", w->label(), std::to_string(n),
               n == -1 ? "the library reads -1 as no message" : "it needs more than 32 bits", "an empty text"});
    return "\"\"";
  }
  e.exact[F_DATA] = e.message = true;
  e.messageNumber = n;
  std::string why, token = messageToken(naming, v.name, n, &why);
  if (!why.empty()) w->report(Kind::MessageNumber, v.place, {v.name, w->label(), token, why});
  return "%L% " + token;
}

/* The length of the token string the library's item pattern makes of line,
   had it room enough. */
size_t tokensLength(const std::string &line) {
  std::vector<char> tokens(line.size() * 2 + 64);
  sparse(line.c_str(), TS_PATTERN_ITEM, tokens.data(), (int)tokens.size());
  return strlen(tokens.data());
}

}  // namespace

std::string commentFor(const Finding &f) {
  std::string where = f.place.file + ":" + std::to_string(f.place.line);
  return "; " + where + ": " + f.message;
}

ItemLine writeItemLine(const CArray &array, size_t index, const Naming &naming,
                       const std::map<std::string, std::vector<NamedValue>> &enums, std::vector<Finding> *findings) {
  ItemLine out;
  LineWriter w{array, index, findings, &out};
  const CItem &item = array.items[index];
  Expected &e = out.expected;
  memset(&e.record, 0, sizeof e.record);
  for (bool &exact : e.exact) exact = false;
  e.id = (int32_t)index;
  const CValue *f = item.field;

  int32_t type;
  std::string fields[F_COUNT];
  fields[F_TYPE] = typeToken(&w, f[F_TYPE], &type);
  long long x1, y1;
  fields[F_X1] = coordinateToken(&w, F_X1, f[F_X1], &x1);
  fields[F_Y1] = coordinateToken(&w, F_Y1, f[F_Y1], &y1);
  fields[F_X2] = farToken(&w, F_X2, f[F_X2], x1, type >= DI_SINGLEBOX && type <= DI_FIXEDIT, type);
  fields[F_Y2] = farToken(&w, F_Y2, f[F_Y2], y1, type == DI_SINGLEBOX || type == DI_DOUBLEBOX, type);
  fields[F_FOCUS] = truthToken(&w, F_FOCUS, f[F_FOCUS]);
  fields[F_SELECTED] = selectedToken(&w, f[F_SELECTED]);
  uint32_t flags;
  fields[F_FLAGS] = flagsToken(&w, f[F_FLAGS], &flags);
  fields[F_DEFAULT] = truthToken(&w, F_DEFAULT, f[F_DEFAULT]);
  fields[F_DATA] = textToken(&w, f[F_DATA], naming);

  e.record.type = (int32_t)f[F_TYPE].number;
  e.record.x1 = (int32_t)f[F_X1].number;
  e.record.y1 = (int32_t)f[F_Y1].number;
  e.record.x2 = (int32_t)f[F_X2].number;
  e.record.y2 = (int32_t)f[F_Y2].number;
  e.record.focus = (int32_t)f[F_FOCUS].number;
  e.record.selected = (intptr_t)f[F_SELECTED].number;
  e.record.flags = flags;
  e.record.defaultButton = (int32_t)f[F_DEFAULT].number;

  std::string why, name = indexName(array, index, enums);
  std::string id = identifierToken(naming, name, (long long)index, &why);
  if (!why.empty()) w.report(Kind::IdentifierNumber, item.place, {name, w.label(), id, why});

  auto join = [&] {
    std::string line = fields[F_TYPE] + " " + id;
    for (int i = F_X1; i < F_COUNT; i++) line += " " + fields[i];
    return line;
  };
  out.line = join();
  /* A long text or history name: the fields share the library's room. */
  size_t length = tokensLength(out.line);
  bool text = e.exact[F_DATA] && !e.message;
  if (length >= TS_TOKEN_ROOM && (text || e.history)) {
    w.report(Kind::TextOutOfReach, text ? f[F_DATA].place : f[F_SELECTED].place,
             {text ? "text" : "history name", w.label(),
              "the fields of its item line take " + std::to_string(length) + " bytes, and the library reads " +
                  std::to_string(TS_TOKEN_ROOM - 1)});
    fields[text ? F_DATA : F_SELECTED] = text ? "\"\"" : "0";
    e.exact[text ? F_DATA : F_SELECTED] = false;
    e.history = e.history && text;
    out.line = join();
  }
  return out;
}

}  // namespace import
