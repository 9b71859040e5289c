/*
 * Reading an imported item line back through the library: ScanEnums for the
 * ENUM blocks, ParseItemLine for the line, FindKeyword for the message a
 * name or number stands for.
 */
#include "import/read_back.h"

#include <stdio.h>
#include <stdlib.h>

#include "dialog/dialog_internal.h"

namespace import {

void loadEnumTable(const std::string &enumText) {
  tsClearEnums();
  if (enumText.empty()) return;
  FILE *file = fmemopen(const_cast<char *>(enumText.data()), enumText.size(), "r");
  if (!file) return;
  ScanEnums(file);
  fclose(file);
}

void clearEnumTable() { tsClearEnums(); }

std::vector<Difference> readBack(const std::string &line, const Expected &e) {
  std::vector<Difference> differences;
  DialogItem item = {};
  int32_t id = 0;
  char *history = nullptr;
  if (ParseItemLine(1, 0, &item, &id, &history, line.c_str()) != 2) return {{"item", "no item", "an item"}};
  auto compare = [&](ItemField field, long long read, long long expected) {
    if (e.exact[field] && read != expected)
      differences.push_back({kItemFieldNames[field], std::to_string(read), std::to_string(expected)});
  };
  compare(F_TYPE, item.type, e.record.type);
  compare(F_X1, item.x1, e.record.x1);
  compare(F_Y1, item.y1, e.record.y1);
  compare(F_X2, item.x2, e.record.x2);
  compare(F_Y2, item.y2, e.record.y2);
  compare(F_FOCUS, item.focus, e.record.focus);
  compare(F_FLAGS, item.flags, e.record.flags);
  compare(F_DEFAULT, item.defaultButton, e.record.defaultButton);
  if (id != e.id) differences.push_back({"identifier", std::to_string(id), std::to_string(e.id)});
  if (e.exact[F_SELECTED] && e.history && (!history || e.historyName != history))
    differences.push_back({"history name", history ? history : "none", e.historyName});
  else if (e.exact[F_SELECTED] && !e.history)
    compare(F_SELECTED, (long long)item.selected, (long long)e.record.selected);
  if (e.exact[F_DATA] && e.message) {
    compare(F_DATA, FindKeyword(enumNames, item.data, enumCount), e.messageNumber);
  } else if (e.exact[F_DATA] && e.text != item.data) {
    differences.push_back({"text", item.data, e.text});
  }
  free(history);
  return differences;
}

}  // namespace import
