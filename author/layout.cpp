/*
 * Layout checks of one dialog: where the host's dialog puts each item (its
 * left column, or its place in a centred row; its width from its text and
 * decoration), by the window's own rules (layout/), and what then lies
 * outside the dialog or its box, overlaps, overflows, or clashes (hot keys,
 * default buttons).
 */
#include <string.h>

#include <algorithm>
#include <map>

#include "author/checks.h"
#include "author/fields.h"
#include "layout/layout.h"

namespace author {

namespace {

/* Cells in 64 bits: coordinates may be anything up to the 32-bit maximum. */
typedef LayoutCell Cell;

/* What a message calls an item without a text of its own. */
const char *typeWord(int type) {
  static const char *const kTypeWords[10] = {"text",       "vertical text",  "single box",  "double box",
                                             "edit field", "password field", "fixed field", "button",
                                             "check box",  "radio button"};
  return layoutKnownType(type) ? kTypeWords[type] : "item";
}

Span itemSpan(const Analysis &a, const Item &item) {
  return spanOf(a, item.line, 0, (int)a.lines[(size_t)item.line].text.size());
}

Span textSpan(const Analysis &a, const Item &item) {
  const ItemFields &fields = item.fields;
  int f = fields.span[FIELD_TEXT].written ? FIELD_TEXT : FIELD_TYPE;
  return spanOf(a, item.line, fields.span[f].start, fields.span[f].end);
}

std::string describe(const Analysis &, const Item &item) { return describeItem(item); }

/* The innermost box whose inside holds the cell (x, y), or -1. */
int enclosingBox(const Section &s, const std::vector<Place> &places, size_t self, Cell x, Cell y) {
  int best = -1;
  long double bestArea = 0;
  for (size_t b = 0; b < s.items.size(); b++) {
    if (b == self || !layoutIsBox(s.items[b].record.type)) continue;
    const Place &p = places[b];
    if (x <= p.left || x >= p.right || y <= p.top || y >= p.bottom) continue;
    long double area = (long double)(p.right - p.left) * (long double)(p.bottom - p.top);
    if (best < 0 || area < bestArea) {
      best = (int)b;
      bestArea = area;
    }
  }
  return best;
}

/* A box whose top or bottom edge runs through the cells of item self
   (between its corners), or -1. */
int onFrameRow(const Section &s, const std::vector<Place> &places, size_t self) {
  const Place &p = places[self];
  for (size_t b = 0; b < s.items.size(); b++) {
    if (b == self || !layoutIsBox(s.items[b].record.type) || !places[b].drawn) continue;
    const Place &box = places[b];
    if (box.right <= box.left || box.bottom <= box.top) continue; /* drawn as nothing */
    if ((p.top == box.top || p.top == box.bottom) && p.right > box.left && p.left < box.right) return (int)b;
  }
  return -1;
}

/* Whether the first item is the dialog's frame: a box drawn with an
   inside, around every other box. */
bool isFrame(const Section &s, const std::vector<Place> &places) {
  if (s.items.empty() || !layoutIsBox(s.items[0].record.type)) return false;
  const Place &frame = places[0];
  if (!frame.drawn || frame.right <= frame.left || frame.bottom <= frame.top) return false;
  for (size_t b = 1; b < s.items.size(); b++) {
    if (!layoutIsBox(s.items[b].record.type)) continue;
    const Place &p = places[b];
    if (p.left < frame.left || p.right > frame.right || p.top < frame.top || p.bottom > frame.bottom) return false;
  }
  return true;
}

/* A one-line item whose bottom row lies below everything drawn: the
   library sizes the dialog by it, so the window grows by empty rows. */
void checkBottomRow(Analysis *a, int section, const std::vector<Place> &places, size_t i) {
  const Section &s = a->sections[(size_t)section];
  const DialogItem &record = s.items[i].record;
  if (record.type == DI_VTEXT || record.y2 <= record.y1) return;
  for (size_t j = 0; j < places.size(); j++)
    if (places[j].drawn && places[j].bottom >= record.y2) return;
  const Item &item = s.items[i];
  addFinding(a,
             makeFinding(Kind::BottomRowGrows,
                         spanOf(*a, item.line, item.fields.span[FIELD_Y2].start, item.fields.span[FIELD_Y2].end),
                         {describe(*a, item), std::to_string(record.y1), std::to_string(record.y2)}),
             section);
}

void checkPlaces(Analysis *a, int section, const std::vector<Place> &places) {
  const Section &s = a->sections[(size_t)section];
  for (size_t i = 0; i < s.items.size(); i++) {
    const Item &item = s.items[i];
    const Place &p = places[i];
    if (!p.drawn) continue;
    if (p.right >= s.width || p.bottom >= s.height || p.left < 0) {
      bool byText = !layoutIsBox(item.record.type) && item.record.x2 < p.right;
      addFinding(a,
                 makeFinding(byText ? Kind::TextPastDialog : Kind::PastDialog, textSpan(*a, item),
                             {describe(*a, item), std::to_string(p.right), std::to_string(p.bottom),
                              std::to_string(s.width), std::to_string(s.height)}),
                 section);
      continue;
    }
    if (item.record.type == DI_FIXEDIT) {
      Cell length = (Cell)strnlen(item.record.data, TS_ITEM_DATA_SIZE), room = layoutFieldWidth(&item.record);
      if (length > room)
        addFinding(
            a, makeFinding(Kind::FixedTextTooLong, textSpan(*a, item), {std::to_string(length), std::to_string(room)}),
            section);
    }
    if (layoutIsBox(item.record.type)) {
      Cell title = hotWidth(item.record.data, TS_ITEM_DATA_SIZE, (item.record.flags & DIF_SHOWAMPERSAND) != 0);
      Cell room = p.right - p.left - 3; /* the top edge less its corners and a space each side */
      if (title > 0 && title > room)
        addFinding(a,
                   makeFinding(Kind::BoxTitleTooWide, textSpan(*a, item),
                               {describe(*a, item), std::to_string(title), std::to_string(std::max<Cell>(room, 0))}),
                   section);
      int outer = enclosingBox(s, places, i, p.left, p.top);
      if (outer >= 0 && (p.right > places[(size_t)outer].right || p.bottom > places[(size_t)outer].bottom)) {
        const Item &outerItem = s.items[(size_t)outer];
        addFinding(
            a,
            makeFinding(Kind::BoxPastBox, itemSpan(*a, item),
                        {describe(*a, item), std::to_string(p.right), std::to_string(p.bottom),
                         std::to_string(a->lines[(size_t)outerItem.line].number),
                         std::to_string(places[(size_t)outer].right), std::to_string(places[(size_t)outer].bottom)}),
            section);
      }
      continue;
    }
    checkBottomRow(a, section, places, i);
    int box = enclosingBox(s, places, i, p.left, p.top);
    int frameRow = onFrameRow(s, places, i);
    if (frameRow >= 0) {
      const Item &boxItem = s.items[(size_t)frameRow];
      addFinding(a,
                 makeFinding(Kind::OnFrameRow, itemSpan(*a, item),
                             {describe(*a, item), std::to_string(p.top),
                              std::to_string(a->lines[(size_t)boxItem.line].number)}),
                 section);
      continue;
    }
    if (box < 0 && i > 0 && isFrame(s, places)) {
      const Item &first = s.items[0];
      addFinding(a,
                 makeFinding(Kind::OutsideFrame, itemSpan(*a, item),
                             {describe(*a, item), std::to_string(p.left), std::to_string(p.top),
                              std::to_string(a->lines[(size_t)first.line].number), std::to_string(places[0].top),
                              std::to_string(places[0].bottom)}),
                 section);
      continue;
    }
    if (box >= 0 && (p.right >= places[(size_t)box].right || p.bottom >= places[(size_t)box].bottom)) {
      const Item &boxItem = s.items[(size_t)box];
      bool byText = item.record.x2 < p.right;
      addFinding(a,
                 makeFinding(byText ? Kind::TextPastBox : Kind::PastBox, textSpan(*a, item),
                             {describe(*a, item), std::to_string(p.right),
                              std::to_string(a->lines[(size_t)boxItem.line].number),
                              std::to_string(places[(size_t)box].right - 1)}),
                 section);
    }
  }
}

void checkOverlaps(Analysis *a, int section, const std::vector<Place> &places) {
  const Section &s = a->sections[(size_t)section];
  std::map<Cell, std::vector<size_t>> rows;
  for (size_t i = 0; i < s.items.size(); i++) {
    if (!places[i].drawn || layoutIsBox(s.items[i].record.type)) continue;
    for (Cell y = places[i].top; y <= places[i].bottom && y - places[i].top < 64; y++) rows[y].push_back(i);
  }
  std::vector<bool> said(s.items.size());
  for (auto &row : rows) {
    const std::vector<size_t> &on = row.second;
    for (size_t m = 0; m < on.size(); m++)
      for (size_t n = 0; n < m; n++) {
        size_t i = on[n], j = on[m];
        if (said[j]) continue;
        Cell from = std::max(places[i].left, places[j].left), to = std::min(places[i].right, places[j].right);
        if (from > to) continue;
        said[j] = true;
        addFinding(
            a,
            makeFinding(Kind::Overlap, itemSpan(*a, s.items[j]),
                        {describe(*a, s.items[j]), std::to_string(row.first), std::to_string(from), std::to_string(to),
                         describe(*a, s.items[i]), std::to_string(a->lines[(size_t)s.items[i].line].number)}),
            section);
      }
  }
}

void checkHotKeys(Analysis *a, int section) {
  const Section &s = a->sections[(size_t)section];
  std::map<int, size_t> taken;
  for (size_t i = 0; i < s.items.size(); i++) {
    const DialogItem &item = s.items[i].record;
    if (!layoutHasHotKey(item.type)) continue;
    int key = hotKeyOf(item.data, TS_ITEM_DATA_SIZE, (item.flags & DIF_SHOWAMPERSAND) != 0);
    if (!key) continue;
    auto it = taken.find(key);
    if (it == taken.end()) {
      taken[key] = i;
      continue;
    }
    char visible[WINDOW_TEXT_MAX];
    int hot = hotSplit(item.data, TS_ITEM_DATA_SIZE, 0, visible, sizeof visible);
    const Item &first = s.items[it->second];
    addFinding(a,
               makeFinding(Kind::HotkeyClash, textSpan(*a, s.items[i]),
                           {std::string(1, visible[hot]), describe(*a, first),
                            std::to_string(a->lines[(size_t)first.line].number)}),
               section);
  }
}

void checkDefaults(Analysis *a, int section) {
  const Section &s = a->sections[(size_t)section];
  int buttons = 0;
  std::vector<size_t> defaults;
  for (size_t i = 0; i < s.items.size(); i++) {
    buttons += s.items[i].record.type == DI_BUTTON;
    if (s.items[i].record.defaultButton) defaults.push_back(i);
  }
  if (buttons > 0 && defaults.empty()) {
    const Line &header = a->lines[(size_t)s.headerLine];
    addFinding(a, makeFinding(Kind::NoDefaultButton, spanOf(*a, s.headerLine, 0, (int)header.text.size()), {s.name}),
               section);
  }
  if (defaults.size() > 1) {
    const Item &first = s.items[defaults[0]];
    addFinding(a,
               makeFinding(Kind::SecondDefault, itemSpan(*a, s.items[defaults[1]]),
                           {describe(*a, first), std::to_string(a->lines[(size_t)first.line].number)}),
               section);
  }
}

}  // namespace

/* An item as a message names it: its text, or the text field as written
   (a message name, say) when the text is empty. */
std::string describeItem(const Item &item) {
  char visible[WINDOW_TEXT_MAX];
  hotSplit(item.record.data, TS_ITEM_DATA_SIZE, 1, visible, sizeof visible);
  std::string text = visible;
  if (text.empty()) text = item.fields.token[FIELD_TEXT];
  if (text.empty() || text == "NULL") return "the " + std::string(typeWord(item.record.type));
  return "\"" + quoted(text) + "\"";
}

/* Where the window puts each item: its columns by the window's own rules,
   its rows from the record. */
std::vector<Place> placeItems(const Section &s) {
  std::vector<DialogItem> records;
  for (const Item &item : s.items) records.push_back(item.record);
  /* The library shows the dialog centred at its size. */
  Cell width, height;
  layoutDialogSize(-1, -1, s.width, s.height, &width, &height);
  std::vector<Cell> column(records.size());
  layoutColumns(records.data(), (int)records.size(), width, column.data());
  std::vector<Place> places(records.size());
  for (size_t i = 0; i < records.size(); i++) {
    const DialogItem &item = records[i];
    Place &p = places[i];
    p.left = column[i];
    p.top = item.y1;
    p.bottom = layoutIsBox(item.type) || item.type == DI_VTEXT ? std::max<Cell>(item.y1, item.y2) : item.y1;
    p.right = layoutIsBox(item.type) ? item.x2 : p.left + layoutItemWidth(&item) - 1;
    p.drawn = layoutDrawsItem(&item) != 0;
  }
  return places;
}

void checkLayout(Analysis *a, int section) {
  std::vector<Place> places = placeItems(a->sections[(size_t)section]);
  checkPlaces(a, section, places);
  checkOverlaps(a, section, places);
  checkHotKeys(a, section);
  checkDefaults(a, section);
}

}  // namespace author
