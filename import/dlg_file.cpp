/*
 * Assembling the imported dialog file: the names planned once for the whole
 * file, each array's items written and read back through the library, and
 * the result aligned into columns by the formatter, which never changes
 * what the library loads.
 */
#include "import/dlg_file.h"

#include <set>

#include "author/format.h"
#include "dialog/dialog_internal.h"
#include "import/findings.h"
#include "import/item_line.h"
#include "import/names.h"
#include "import/read_back.h"

namespace import {

namespace {

std::string baseName(const std::string &path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

/* The dialog name of an array: its own, or with _2, _3, ... when an earlier
   array took it. */
std::string dialogName(const CArray &array, std::set<std::string> *taken, std::vector<Finding> *findings) {
  std::string name = array.name;
  for (int n = 2; taken->count(name); n++) name = array.name + "_" + std::to_string(n);
  if (name != array.name) findings->push_back(makeFinding(Kind::Renamed, array.place, {array.name, name}));
  taken->insert(name);
  return name;
}

/* The section of one array. */
std::string section(const CArray &array, const std::string &name, const Naming &naming,
                    const std::map<std::string, std::vector<NamedValue>> &enums, std::vector<Finding> *findings) {
  std::string text = "\n; " + baseName(array.place.file) + ":" + std::to_string(array.place.line) + ": " + array.name +
                     ", " + std::to_string(array.length) + " items of " + array.elementType + "\n";
  text += "name " + name + "\n";
  if (array.length > (long long)array.items.size()) {
    findings->push_back(makeFinding(Kind::TooManyItems, array.place,
                                    {array.name, std::to_string(array.length), std::to_string(array.items.size())}));
    text += commentFor(findings->back()) + "\n";
  }
  for (size_t i = 0; i < array.items.size(); i++) {
    ItemLine item = writeItemLine(array, i, naming, enums, findings);
    for (const Difference &d : readBack(item.line, item.expected)) {
      findings->push_back(makeFinding(Kind::ReadsDifferently, array.items[i].place,
                                      {d.field, array.name + "[" + std::to_string(i) + "]", d.read, d.expected}));
      item.comments.push_back(commentFor(findings->back()));
    }
    for (const std::string &comment : item.comments) text += comment + "\n";
    text += item.line + "\n";
  }
  return text;
}

}  // namespace

std::string writeDialogFile(const std::vector<CArray> &arrays,
                            const std::map<std::string, std::vector<NamedValue>> &enums,
                            const std::vector<std::string> &files, std::vector<Finding> *findings) {
  Naming naming = planNames(arrays, enums);
  std::string blocks = enumBlocks(naming);
  std::string sources;
  for (size_t i = 0; i < files.size(); i++)
    sources += (i == 0 ? "" : i + 1 == files.size() ? " and " : ", ") + baseName(files[i]);
  /* no blank line before an ENUM block: the library's scan of ENUM lines
     would take the block's line as the blank line's rest */
  std::string text = "; Dialogs of " + sources + ", imported by tessel import: one dialog an array\n" + blocks;
  loadEnumTable(blocks);
  std::set<std::string> taken;
  for (const CArray &array : arrays)
    text += section(array, dialogName(array, &taken, findings), naming, enums, findings);
  clearEnumTable();
  return author::formatText(text);
}

}  // namespace import
