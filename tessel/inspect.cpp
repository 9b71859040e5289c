/*
 * The inspector's describer: a dialog the host was handed is mapped back to
 * the section of the file whose items it received, and the focused item to
 * the item line that gave it; the lines say where it is written, what its
 * fields mean (the library's own keyword tables name type, flags and
 * colours) and what tessel check says of that line.
 */
#include "tessel/inspect.h"

#include <stdio.h>
#include <string.h>

#include "author/fields.h"
#include "dialog/dialog_internal.h"
#include "host/inspector.h"
#include "host/slots.h"

namespace {

/* The file the installed inspector describes. */
std::string inspectedName;
const author::Analysis *inspected;
const author::Analysis *broken; /* the file as it stands, while it has errors */
std::string preferred;

/* Flag bits the library knows: the bits its flag names give. */
uint32_t knownFlags() {
  uint32_t known = 0;
  for (int p = 0; p < TS_FLAG_COUNT; p++) known |= tsFlagWordValue(itemFlagNames[p]);
  return known;
}

/* Whether the host was handed the item as the section's line gives it. */
bool sameItem(const DialogItem &shown, const DialogItem &loaded) {
  return shown.type == loaded.type && shown.x1 == loaded.x1 && shown.y1 == loaded.y1 && shown.x2 == loaded.x2 &&
         shown.y2 == loaded.y2 && shown.flags == loaded.flags;
}

/* The section whose items the host was handed: of those with as many items,
   the one with the most items alike (the preferred one on a tie), when more
   than half are alike; else -1. A plug-in may have changed a few items
   before showing the dialog, which this tolerates. */
int sectionShown(const author::Analysis &a, const DialogItem *items, int count) {
  int best = -1, bestScore = -1;
  for (size_t k = 0; k < a.sections.size(); k++) {
    const author::Section &section = a.sections[k];
    if (!section.loaded || (int)section.items.size() != count) continue;
    int score = 0;
    for (int i = 0; i < count; i++) score += sameItem(items[i], section.items[(size_t)i].record);
    if (score > bestScore || (score == bestScore && section.name == preferred)) best = (int)k, bestScore = score;
  }
  return bestScore * 2 > count ? best : -1;
}

/* The flags decoded into the library's names; the colour byte of
   DIF_SETCOLOR by its colour names. */
std::string flagNames(uint32_t flags) {
  std::string out;
  auto add = [&out](const std::string &name) { out += (out.empty() ? "" : "+") + name; };
  for (int p = 1; p < TS_FLAG_COUNT; p++)
    if (flags & tsFlagWordValue(itemFlagNames[p])) {
      add(itemFlagNames[p]);
      if (p == 1) add(std::string(colorNames[flags & 15u]) + "+" + bkColorNames[(flags >> 4) & 15u]);
    }
  char number[48];
  if ((flags & DIF_COLORMASK) && !(flags & DIF_SETCOLOR)) {
    snprintf(number, sizeof number, "colour 0x%02X (unused without DIF_SETCOLOR)", (unsigned)(flags & DIF_COLORMASK));
    add(number);
  }
  if (flags & ~knownFlags()) {
    snprintf(number, sizeof number, "0x%X (no names)", (unsigned)(flags & ~knownFlags()));
    add(number);
  }
  return out.empty() ? "none" : out;
}

/* Where the item's text comes from, as its text source field says. */
std::string textSource(const author::Analysis &a, const author::ItemFields &fields) {
  const std::string &text = fields.token[author::FIELD_TEXT];
  switch (fields.token[author::FIELD_SOURCE].c_str()[0]) {
    case TS_SOURCE_LNG: {
      int message = -1; /* the name's position in the ENUM table, the last one of that name */
      for (size_t i = 0; i < a.enums.size(); i++)
        if (a.enums[i].name == text) message = (int)i;
      if (message < 0) return "%L% " + text + ": no ENUM names it, so it shows nothing";
      return "%L% " + text + ": message " + std::to_string(message) + " of the .lng files";
    }
    case TS_SOURCE_REG: {
      const char *root = tsRootIsCurrentUser(fields.token[author::FIELD_ROOT].c_str()) ? "HKCU" : "HKLM";
      return std::string("%R% registry ") + root + "\\" + HOST_ROOT_KEY + "\\" + text + ", else \"" +
             fields.token[author::FIELD_FALLBACK] + "\"";
    }
    case TS_SOURCE_TEXT:
      return "as written in the file";
    case TS_SOURCE_VERSION:
      return "%V%: the library's version";
    default:
      return "%" + fields.token[author::FIELD_SOURCE] + "%: no such source, so it shows nothing";
  }
}

/* Writes one line of the box; lines past the box's room are dropped. */
void addLine(InspectorText *text, const std::string &line) {
  if (text->count >= INSPECTOR_MAX_LINES) return;
  snprintf(text->lines[text->count++], sizeof text->lines[0], "%s", line.c_str());
}

void describe(const DialogItem *items, int count, int index, InspectorText *text) {
  const author::Analysis &a = *inspected;
  int k = sectionShown(a, items, count);
  if (k < 0) {
    snprintf(text->title, sizeof text->title, "item %d of %d", index, count);
    addLine(text, "This dialog is none of the dialogs of " + inspectedName + ".");
    return;
  }
  const author::Item &item = a.sections[(size_t)k].items[(size_t)index];
  const author::Line &line = a.lines[(size_t)item.line];
  snprintf(text->title, sizeof text->title, "%s:%d, item %d of %d in \"%s\"", inspectedName.c_str(), line.number, index,
           count, a.sections[(size_t)k].name.c_str());
  const DialogItem &shown = items[index];
  std::string name = enumNameOf(a, item);
  addLine(text, typeName(shown.type) + ", identifier " + std::to_string(item.id) +
                    (name.empty() ? "" : " (" + name + ")") + ", rectangle " + std::to_string(shown.x1) + "," +
                    std::to_string(shown.y1) + " - " + std::to_string(shown.x2) + "," + std::to_string(shown.y2));
  addLine(text, "flags: " + flagNames(shown.flags));
  addLine(text, "text: " + textSource(a, author::readItemFields(line.text)));
  const author::Analysis &judged = broken ? *broken : a;
  if (broken)
    addLine(text, "This is the last good version: the file now has errors. Line " + std::to_string(line.number) +
                      " as it stands now:");
  int findings = 0;
  for (const author::Finding &f : judged.findings) {
    if (f.span.line != line.number || !f.file.empty()) continue; /* not of a language file */
    addLine(text, std::string(author::severityName(f.severity)) + ": " + f.message + " [" + f.code + "]");
    findings++;
  }
  if (!findings) addLine(text, "tessel check: nothing to say of this line");
}

}  // namespace

void inspectBrokenVersion(const author::Analysis *now) { broken = now; }

void inspectDialogsOf(const char *shown, const author::Analysis *analysis, const char *prefer) {
  inspectedName = shown;
  inspected = analysis;
  preferred = prefer ? prefer : "";
  hostSetInspector(describe);
}

std::string enumNameOf(const author::Analysis &a, const author::Item &item) {
  if (item.line < 0) return std::string();
  std::string written = item.fields.token[author::FIELD_ID];
  for (const author::EnumEntry &entry : a.enums)
    if (entry.name == written) return written;
  return std::string();
}

std::string typeName(int type) {
  return type >= 0 && type < TS_TYPE_COUNT ? itemTypeNames[type] : std::to_string(type);
}
