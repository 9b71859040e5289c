/*
 * The ENUM blocks of an imported dialog file: message names at their
 * positions, then identifier names with their values, within the library's
 * table of 100 names.
 */
#include "import/names.h"

#include "dialog/dialog_internal.h"

namespace import {

namespace {

/* Whether the library's ENUM table can hold name as the C source spells it. */
bool enumNameFits(const std::string &name) {
  if (name.empty() || name.size() >= TS_TOKEN_ROOM) return false;
  for (char c : name)
    if (!tsIsNameChar((unsigned char)c)) return false;
  return true;
}

const NamedValue *find(const std::vector<NamedValue> &entries, const std::string &name) {
  for (const NamedValue &e : entries)
    if (e.name == name) return &e;
  return nullptr;
}

/* The message numbers that texts write by name, first use first; and the
   enums those names belong to. */
void messageUses(const std::vector<CArray> &arrays, std::vector<NamedValue> *uses, std::vector<std::string> *enumKeys) {
  for (const CArray &array : arrays) {
    if (array.data == DataForm::Array) continue;
    for (const CItem &item : array.items) {
      const CValue &text = item.field[F_DATA];
      if (text.kind != CValue::Number || !enumNameFits(text.name) || find(*uses, text.name)) continue;
      uses->push_back({text.name, text.number});
      if (!text.enumKey.empty()) enumKeys->push_back(text.enumKey);
    }
  }
}

}  // namespace

std::string indexName(const CArray &array, size_t index, const std::map<std::string, std::vector<NamedValue>> &enums) {
  if (!array.items[index].indexName.empty()) return array.items[index].indexName;
  for (const std::string &key : array.indexEnums) {
    auto constants = enums.find(key);
    if (constants == enums.end()) continue;
    for (const NamedValue &c : constants->second)
      if (c.value == (long long)index) return c.name;
  }
  return "";
}

Naming planNames(const std::vector<CArray> &arrays, const std::map<std::string, std::vector<NamedValue>> &enums) {
  Naming naming;
  std::vector<NamedValue> uses;
  std::vector<std::string> enumKeys;
  messageUses(arrays, &uses, &enumKeys);
  /* Position p holds the name a text uses for number p, else another
     constant of those names' enums; the first number without one ends the
     block, since the names after it would stand one place early. */
  long long last = -1; /* the largest number a text uses by name */
  for (const NamedValue &use : uses)
    if (use.value < TS_MAX_ENUMS && use.value > last) last = use.value;
  for (long long p = 0; p <= last; p++) {
    const NamedValue *chosen = nullptr;
    for (const NamedValue &use : uses)
      if (!chosen && use.value == p) chosen = &use;
    for (const std::string &key : enumKeys)
      for (const NamedValue &c : enums.at(key))
        if (!chosen && c.value == p && enumNameFits(c.name) && !find(naming.messages, c.name)) chosen = &c;
    if (!chosen) break;
    naming.messages.push_back({chosen->name, p});
  }
  bool used = false; /* a message block that no text reads by name is no use */
  for (const NamedValue &use : uses) used = used || find(naming.messages, use.name);
  if (!used) naming.messages.clear();
  for (const CArray &array : arrays)
    for (size_t i = 0; i < array.items.size(); i++) {
      std::string name = indexName(array, i, enums);
      if (!enumNameFits(name) || find(naming.messages, name) || find(naming.identifiers, name)) continue;
      if (naming.messages.size() + naming.identifiers.size() < TS_MAX_ENUMS)
        naming.identifiers.push_back({name, (long long)i});
    }
  return naming;
}

std::string enumBlocks(const Naming &naming) {
  std::string text;
  for (const std::vector<NamedValue> *block : {&naming.messages, &naming.identifiers}) {
    if (block->empty()) continue;
    text += "ENUM {\n";
    for (size_t i = 0; i < block->size(); i++)
      text +=
          "  " + (*block)[i].name + " = " + std::to_string((*block)[i].value) + (i + 1 < block->size() ? ",\n" : "\n");
    text += "}\n";
  }
  return text;
}

std::string messageToken(const Naming &naming, const std::string &name, long long number, std::string *why) {
  std::string digits = std::to_string(number);
  if (name.empty()) return digits;
  size_t count = naming.messages.size();
  if (number >= 0 && (size_t)number < count && naming.messages[(size_t)number].name == name) return name;
  if (!enumNameFits(name))
    *why = "the ENUM table holds names of letters, digits and underscores, shorter than 200 bytes";
  else if (number < 0) *why = "a message name stands at its number in the ENUM table, which counts from 0";
  else if (number >= TS_MAX_ENUMS)
    *why =
        "a message name stands at its number in the ENUM table, which holds " + std::to_string(TS_MAX_ENUMS) + " names";
  else if ((size_t)number < count)
    *why = "`" + naming.messages[(size_t)number].name + "` has number " + digits +
           " too, and one name stands at each place of the ENUM table";
  else *why = "a message name stands at its number in the ENUM table, and no name has number " + std::to_string(count);
  return digits;
}

std::string identifierToken(const Naming &naming, const std::string &name, long long index, std::string *why) {
  std::string digits = std::to_string(index);
  if (name.empty()) return digits;
  const NamedValue *message = find(naming.messages, name);
  const NamedValue *entry = message ? message : find(naming.identifiers, name);
  if (entry && entry->value == index) return name;
  if (!enumNameFits(name))
    *why = "the ENUM table holds names of letters, digits and underscores, shorter than 200 bytes";
  else if (entry)
    *why = "the ENUM table gives `" + name + "` the value " + std::to_string(entry->value) + " (" +
           (message ? "its message number" : "its index in an earlier array") + ")";
  else *why = "the ENUM table is full (" + std::to_string(TS_MAX_ENUMS) + " names)";
  return digits;
}

}  // namespace import
