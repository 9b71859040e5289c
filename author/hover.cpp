/*
 * The descriptions behind the editor's hover. Each value comes from what
 * the library loaded (the item records the engine kept) or from the
 * library's own keyword tables and lookups; the words say how the field
 * led there.
 */
#include "author/hover.h"

#include <stdio.h>
#include <string.h>

#include "author/checks.h"
#include "author/fields.h"
#include "dialog/dialog_internal.h"

namespace author {

namespace {

/* Each field as the hover names it. */
const char *const kFieldLabels[FIELD_COUNT] = {"type",
                                               "identifier",
                                               "left column",
                                               "top row",
                                               "right column, or width",
                                               "bottom row, or height",
                                               "focus",
                                               "selected",
                                               "flags",
                                               "default button",
                                               "text source",
                                               "registry root",
                                               "text",
                                               "fallback text"};

std::string hex(uint32_t value) {
  char text[16];
  snprintf(text, sizeof text, "0x%X", (unsigned)value);
  return text;
}

std::string typeName(int32_t type) {
  return type >= 0 && type < TS_TYPE_COUNT ? itemTypeNames[type] : "type " + std::to_string(type);
}

std::string str(long long n) { return std::to_string(n); }

/* "`name` is ENUM entry N = value" for an entry a load takes, or nothing. */
std::string entryWords(const Analysis &a, const std::string &name) {
  int entry = enumEntryOf(a, name);
  if (entry < 0) return "";
  return "`" + name + "` is ENUM entry " + str(entry) + " (table position " + str(entry) + ", value " +
         str(a.enums[(size_t)entry].value) + ")";
}

/* The flags word of a flag list, word by word. */
std::string flagWords(const std::string &list, uint32_t total) {
  std::string out = "flags " + hex(total);
  std::string parts;
  for (const std::string &word : flagListWords(list)) {
    uint32_t bits = tsFlagWordValue(word.c_str());
    parts += "\n  " + word + (bits ? " " + hex(bits) : " is no flag or colour name: ignored");
  }
  return parts.empty() ? out + " (no flag)" : out + ":" + parts;
}

std::string describeSelected(const Analysis &a, const Item &item, const std::string &token) {
  if (!token.empty() && token[0] == '"') {
    std::string what = "a quoted text: selected points to the loaded copy of \"" + quoted(item.selectedText) + "\"";
    if (item.record.type == DI_EDIT && (item.record.flags & DIF_HISTORY)) what += ", the edit field's history name";
    return what;
  }
  if (tsIsTruthValue(token.c_str())) return "`" + token + "`: selected = " + str(item.record.selected);
  int g = messageNumberOf(a, token);
  if (g == -1) return "`" + quoted(token) + "` is none of T, F, 1, 0, an ENUM name or a number: selected = 0";
  std::string why = enumEntryOf(a, token) >= 0 ? entryWords(a, token) : "`" + token + "` reads as the number " + str(g);
  return why + ": selected points to the text of message " + str(g) +
         " in language mode 0, of message 1 in the other modes";
}

std::string describeSource(const std::string &token) {
  char c = token.empty() ? 0 : token[0];
  switch (c) {
    case TS_SOURCE_LNG:
      return "%" + token + "%: the text is a message of the plug-in's language file, named by the text field";
    case TS_SOURCE_REG:
      return "%" + token + "%: the text is read from the registry, at the path of the text field";
    case TS_SOURCE_TEXT:
      return "%" + token + "%: the text is the text field as written (NULL: empty)";
    case TS_SOURCE_VERSION:
      return "%" + token + "%: the text is the library's version, \" 1.00 \"";
    default:
      return "%" + quoted(token) + "%: no text source the library knows, the text is empty";
  }
}

std::string describeText(const Analysis &a, const Item &item, const ItemFields &fields) {
  const std::string &source = fields.token[FIELD_SOURCE];
  const std::string &text = fields.token[FIELD_TEXT];
  char c = source.empty() ? 0 : source[0];
  if (c == TS_SOURCE_LNG) {
    int m = messageNumberOf(a, text);
    if (m == -1)
      return "message name `" + quoted(text) + "` is not in the ENUM table: the text is empty in language mode 0";
    std::string why = enumEntryOf(a, text) >= 0 ? entryWords(a, text) : "`" + text + "` reads as the number " + str(m);
    return why + ": the text is message " + str(m) + " of the language file (language mode 1 shows `" + quoted(text) +
           "`, mode 2 the identifier `" + quoted(fields.token[FIELD_ID]) + "`)";
  }
  if (c == TS_SOURCE_REG) return "the registry value `" + quoted(text) + "` below the host's key for plug-ins";
  if (c == TS_SOURCE_TEXT)
    return item.record.data[0] ? "the text \"" + quoted(item.record.data) + "\""
                               : "`" + quoted(text) + "`: the text is empty";
  return "not used by this text source";
}

std::string describeField(const Analysis &a, const Item &item, const ItemFields &fields, int f) {
  const DialogItem &r = item.record;
  const std::string &token = fields.token[f];
  std::string type = typeName(r.type);
  switch (f) {
    case FIELD_TYPE:
      return type + ", type code " + str(r.type);
    case FIELD_ID: {
      std::string why = enumEntryOf(a, token) >= 0       ? entryWords(a, token)
                        : item.id != -1 || token == "-1" ? "the number " + token
                                                         : "`" + quoted(token) + "` is no ENUM name and no number";
      return why + ": the item's identifier is " + str(item.id);
    }
    case FIELD_X1:
      return "x1 = " + str(r.x1);
    case FIELD_Y1:
      return "y1 = " + str(r.y1);
    case FIELD_X2: {
      int32_t written = tsReadDecimal(token.c_str(), nullptr, nullptr);
      if (r.type < DI_SINGLEBOX || r.type > DI_FIXEDIT)
        return type + " takes it as the right column: x2 = " + str(r.x2);
      if (written < r.x1)
        return type + " with " + str(written) + " < left column " + str(r.x1) + ", a width: x2 = " + str(r.x1) + " + " +
               str(written) + " = " + str(r.x2);
      return type + " with " + str(written) + " >= left column " + str(r.x1) + ", so x2 = " + str(r.x2);
    }
    case FIELD_Y2: {
      int32_t written = tsReadDecimal(token.c_str(), nullptr, nullptr);
      if (r.type != DI_SINGLEBOX && r.type != DI_DOUBLEBOX)
        return type + " takes it as the bottom row: y2 = " + str(r.y2);
      if (written < r.y1)
        return type + " with " + str(written) + " < top row " + str(r.y1) + ", a height: y2 = " + str(r.y1) + " + " +
               str(written) + " = " + str(r.y2);
      return type + " with " + str(written) + " >= top row " + str(r.y1) + ", so y2 = " + str(r.y2);
    }
    case FIELD_FOCUS:
      return "`" + token + "`: focus = " + str(r.focus);
    case FIELD_SELECTED:
      return describeSelected(a, item, token);
    case FIELD_FLAGS:
      return flagWords(token, r.flags);
    case FIELD_DEFAULT:
      return "`" + token + "`: defaultButton = " + str(r.defaultButton);
    case FIELD_SOURCE:
      return describeSource(token);
    case FIELD_ROOT:
      return "%" + token + "%: " + (tsRootIsCurrentUser(token.c_str()) ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE") +
             ", read by the %R% text source only";
    case FIELD_TEXT:
      return describeText(a, item, fields);
    default: {
      const std::string &source = fields.token[FIELD_SOURCE];
      if (source.c_str()[0] != TS_SOURCE_REG) return "not used by this text source";
      return "the text when the registry value cannot be read" +
             std::string(tsFallbackIsNull(token.c_str()) ? " (NULL: empty)" : ": \"" + quoted(token) + "\"");
    }
  }
}

std::string describeItem(const Analysis &a, const Line &line, long long offset, TextRange *at) {
  const Item &item = a.sections[(size_t)line.section].items[(size_t)line.item];
  ItemFields fields = readItemFields(line.text);
  int column = (int)(offset - line.offset);
  for (int f = 0; f < FIELD_COUNT; f++) {
    const FieldSpan &s = fields.span[f];
    if (!s.written || column < s.start || column >= s.end) continue;
    *at = {line.offset + s.start, line.offset + s.end};
    return "field " + str(f) + ", " + kFieldLabels[f] + ": " + describeField(a, item, fields, f);
  }
  return "";
}

std::string describeHeader(const Analysis &a, const Line &line, TextRange *at) {
  const Section &s = a.sections[(size_t)line.section];
  *at = {line.offset, line.offset + (long long)line.text.size()};
  std::string out = "dialog \"" + quoted(s.name) + "\": " + str(s.width) + " x " + str(s.height) + ", " +
                    str((long long)s.items.size()) + (s.items.size() == 1 ? " item" : " items") + ", help topic " +
                    quoted(s.helpTopic);
  if (!s.loaded && s.firstOfName >= 0) {
    int first = a.sections[(size_t)s.firstOfName].headerLine;
    out += "\nnever loaded: a load of this name gives the dialog of line " + str(a.lines[(size_t)first].number);
  }
  return out;
}

std::string describeBlock(const Analysis &a, const EnumBlock &b, TextRange *at) {
  *at = {b.offset, b.offset + 4};
  std::string out = "ENUM block of " + str(b.count) + (b.count == 1 ? " entry" : " entries");
  for (int i = 0; i < b.count; i++) {
    const EnumEntry &e = a.enums[(size_t)(b.first + i)];
    out += "\n  " + e.name + " = " + str(e.value) + ", position " + str(b.first + i);
  }
  return out;
}

std::string describeEntry(const Analysis &a, size_t index, TextRange *at) {
  const EnumEntry &e = a.enums[index];
  *at = {e.offset, e.offset + (long long)e.name.size()};
  std::string out = "ENUM entry `" + e.name + "` = " + str(e.value) + ", table position " + str((long long)index) +
                    ": as an identifier it gives " + str(e.value) + ", as a message name message " +
                    str((long long)index);
  int winner = enumEntryOf(a, e.name);
  if (winner != (int)index) out += "\ndeclared again at position " + str(winner) + ": that one wins";
  return out;
}

}  // namespace

std::string describeAt(const Analysis &a, long long offset, TextRange *at) {
  for (const EnumBlock &b : a.enumBlocks)
    if (offset >= b.offset && offset < b.offset + 4) return describeBlock(a, b, at);
  for (size_t i = 0; i < a.enums.size(); i++) {
    const EnumEntry &e = a.enums[i];
    if (offset >= e.offset && offset < e.offset + (long long)e.name.size()) return describeEntry(a, i, at);
  }
  int index = lineIndexAt(a, offset);
  if (index < 0) return "";
  const Line &line = a.lines[(size_t)index];
  if (offset > line.offset + (long long)line.text.size()) return "";
  switch (line.kind) {
    case LineKind::Item:
      return describeItem(a, line, offset, at);
    case LineKind::Header:
      return describeHeader(a, line, at);
    default:
      return "";
  }
}

}  // namespace author
