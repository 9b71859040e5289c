/*
 * The four host slots of our startup record as thunks over the host's API:
 * each maps our 32-bit token back to the host's pointer-wide module number,
 * builds the host's records from ours (texts in UTF-8), calls the host and
 * copies back only what the user can change. Also our startup record and the
 * field-by-field copy of the plug-in information record.
 */
#include "hosts/far2l/bridge.h"

#include <string.h>

#include <map>
#include <utility>
#include <vector>

/* Our dialog item and menu entry share the host's layout, type codes and
   flag bits: the host's records are filled member by member, but the
   numbers are the same, so they pass unchanged. */
static_assert(sizeof(ts::DialogItem) == 552 && sizeof(oldfar::FarDialogItem) == 552, "dialog item is 552 bytes");
static_assert(offsetof(ts::DialogItem, focus) == offsetof(oldfar::FarDialogItem, Focus), "focus");
static_assert(offsetof(ts::DialogItem, selected) == 24 && offsetof(oldfar::FarDialogItem, Selected) == 24, "selected");
static_assert(offsetof(ts::DialogItem, flags) == offsetof(oldfar::FarDialogItem, Flags), "flags");
static_assert(offsetof(ts::DialogItem, defaultButton) == offsetof(oldfar::FarDialogItem, DefaultButton), "default");
static_assert(offsetof(ts::DialogItem, data) == offsetof(oldfar::FarDialogItem, Data), "data");
static_assert(sizeof(ts::MenuEntry) == sizeof(oldfar::FarMenuItem), "menu entry is 140 bytes");
static_assert(offsetof(ts::MenuEntry, selected) == offsetof(oldfar::FarMenuItem, Selected), "menu selected");
static_assert(offsetof(ts::MenuEntry, checked) == offsetof(oldfar::FarMenuItem, Checked), "menu checked");
static_assert(offsetof(ts::MenuEntry, separator) == offsetof(oldfar::FarMenuItem, Separator), "menu separator");
/* Two enumerations of the same numbers, compared as numbers. */
constexpr bool same(long ours, long theirs) { return ours == theirs; }
static_assert(same(ts::DI_TEXT, oldfar::DI_TEXT) && same(ts::DI_VTEXT, oldfar::DI_VTEXT) &&
                  same(ts::DI_SINGLEBOX, oldfar::DI_SINGLEBOX) && same(ts::DI_DOUBLEBOX, oldfar::DI_DOUBLEBOX) &&
                  same(ts::DI_EDIT, oldfar::DI_EDIT) && same(ts::DI_PSWEDIT, oldfar::DI_PSWEDIT) &&
                  same(ts::DI_FIXEDIT, oldfar::DI_FIXEDIT) && same(ts::DI_BUTTON, oldfar::DI_BUTTON) &&
                  same(ts::DI_CHECKBOX, oldfar::DI_CHECKBOX) && same(ts::DI_RADIOBUTTON, oldfar::DI_RADIOBUTTON),
              "item type codes");
static_assert(same(ts::kColourMask, oldfar::DIF_COLORMASK) && same(ts::kSetColour, oldfar::DIF_SETCOLOR) &&
                  same(ts::kBoxColour, oldfar::DIF_BOXCOLOR) && same(ts::kGroup, oldfar::DIF_GROUP) &&
                  same(ts::kLeftText, oldfar::DIF_LEFTTEXT) && same(ts::kMoveSelect, oldfar::DIF_MOVESELECT) &&
                  same(ts::kShowAmpersand, oldfar::DIF_SHOWAMPERSAND) &&
                  same(ts::kCentreGroup, oldfar::DIF_CENTERGROUP) && same(ts::kNoBrackets, oldfar::DIF_NOBRACKETS) &&
                  same(ts::kSeparator, oldfar::DIF_SEPARATOR) && same(ts::kEditor, oldfar::DIF_EDITOR) &&
                  same(ts::kHistory, oldfar::DIF_HISTORY),
              "item flag bits");
static_assert(same(ts::MENU_SHOWAMPERSAND, oldfar::FMENU_SHOWAMPERSAND) &&
                  same(ts::MENU_WRAPMODE, oldfar::FMENU_WRAPMODE) &&
                  same(ts::MENU_AUTOHIGHLIGHT, oldfar::FMENU_AUTOHIGHLIGHT) &&
                  same(ts::MENU_REVERSEAUTOHIGHLIGHT, oldfar::FMENU_REVERSEAUTOHIGHLIGHT),
              "menu flags");
static_assert(same(ts::MSG_WARNING, oldfar::FMSG_WARNING) && same(ts::MSG_ERRORTYPE, oldfar::FMSG_ERRORTYPE) &&
                  same(ts::MSG_KEEPBACKGROUND, oldfar::FMSG_KEEPBACKGROUND) && same(ts::MSG_DOWN, oldfar::FMSG_DOWN) &&
                  same(ts::MSG_LEFTALIGN, oldfar::FMSG_LEFTALIGN),
              "message flags");

namespace {

/* Flag bits the host reads as we mean them; higher bits mean other things
   to the host (a menu of extended entries, a message of one text, list and
   mask options of an item) and never reach it. */
const DWORD kMenuFlags =
    ts::MENU_SHOWAMPERSAND | ts::MENU_WRAPMODE | ts::MENU_AUTOHIGHLIGHT | ts::MENU_REVERSEAUTOHIGHLIGHT;
const DWORD kMessageFlags =
    ts::MSG_WARNING | ts::MSG_ERRORTYPE | ts::MSG_KEEPBACKGROUND | ts::MSG_DOWN | ts::MSG_LEFTALIGN;
const DWORD kItemFlags = ts::kBoxColour | ts::kGroup | ts::kLeftText | ts::kMoveSelect | ts::kShowAmpersand |
                         ts::kCentreGroup | ts::kNoBrackets | ts::kSeparator | ts::kEditor | ts::kHistory;

/* An item's text may use the bytes before the library's save area of
   hidden items; text the user typed never reaches that area. */
enum { kTextRoom = 504 };
static_assert(sizeof(ts::DialogItem::data) == 512, "item text room");

/* Registered plug-ins: token k is entry k - 1. */
enum { kMaxModules = 16 };
oldfar::PluginStartupInfo hostInfo[kMaxModules];
int moduleCount;

const oldfar::PluginStartupInfo *hostOf(int token) {
  return token >= 1 && token <= moduleCount ? &hostInfo[token - 1] : nullptr;
}

/* Messages of the host, in our code page, kept for the plug-in's lifetime:
   the library keeps the pointers it is handed. */
std::map<std::pair<int, int>, std::string> messages;

/* Copies a UTF-8 text into room bytes, cut at a character boundary. */
void copyCut(char *out, size_t room, const std::string &text) {
  size_t length = text.size() < room - 1 ? text.size() : room - 1;
  while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) length--;
  memcpy(out, text.data(), length);
  out[length] = 0;
}

std::string toHostText(const char *text) { return text ? BridgeToHost(text, strlen(text)) : std::string(); }

int isEditType(int type) { return type == ts::DI_EDIT || type == ts::DI_PSWEDIT || type == ts::DI_FIXEDIT; }

/* What the colour answers of one dialog need. */
struct ColourContext {
  const oldfar::PluginStartupInfo *host;
  const ts::DialogItem *items;
  int count;
};

/* The dialog shown now (innermost, when a dialog opens another). */
ColourContext *shownDialog;

/* The dialog procedure: answers the colour request of each item whose
   colour the library set, and leaves everything else to the host. */
LONG_PTR WINAPI colourProc(HANDLE dialog, int message, int param1, LONG_PTR param2) {
  ColourContext *context = shownDialog;
  if (!context) return 0;
  if (message == oldfar::DN_CTLCOLORDLGITEM && param1 >= 0 && param1 < context->count && param2) {
    const ts::DialogItem &item = context->items[param1];
    if (item.flags & ts::kSetColour) {
      uint64_t *colours = reinterpret_cast<uint64_t *>(param2);
      uint64_t colour = item.flags & ts::kColourMask;
      colours[0] = colour;
      if (item.type == ts::DI_SINGLEBOX || item.type == ts::DI_DOUBLEBOX) colours[2] = colour;
      return 1;
    }
  }
  return context->host->DefDlgProc(dialog, message, param1, param2);
}

int TS_HOSTAPI menuThunk(int token, int x, int y, int maxHeight, unsigned flags, const char *title, const char *bottom,
                         const char *helpTopic, const int *breakKeys, int *breakCode, const ts::MenuEntry *items,
                         int count) {
  const oldfar::PluginStartupInfo *host = hostOf(token);
  if (!host || !host->Menu || count < 0 || (count > 0 && !items)) return -1;
  std::vector<oldfar::FarMenuItem> entries((size_t)count);
  for (int i = 0; i < count; i++) {
    copyCut(entries[i].Text, sizeof entries[i].Text,
            BridgeToHost(items[i].text, strnlen(items[i].text, sizeof items[i].text)));
    entries[i].Selected = items[i].selected;
    entries[i].Checked = items[i].checked;
    entries[i].Separator = items[i].separator;
  }
  std::string hostTitle = toHostText(title), hostBottom = toHostText(bottom);
  int chosen = host->Menu(host->ModuleNumber, x, y, maxHeight, flags & kMenuFlags, title ? hostTitle.c_str() : nullptr,
                          bottom ? hostBottom.c_str() : nullptr, helpTopic, breakKeys, breakCode,
                          count ? entries.data() : nullptr, count);
  BridgeTrace("menu %s: %d", title ? title : "", chosen);
  return chosen;
}

int TS_HOSTAPI dialogThunk(int token, int x1, int y1, int x2, int y2, const char *helpTopic, ts::DialogItem *items,
                           int count) {
  const oldfar::PluginStartupInfo *host = hostOf(token);
  if (!host || !host->Dialog || count <= 0 || !items) return -1;

  /* A dialog whose texts are UTF-8 already passes them as they stand, both
     ways; one text that is not UTF-8 makes it a code-page dialog. */
  int sawUtf8 = 0, sawOther = 0;
  for (int i = 0; i < count; i++) {
    const char *text = items[i].data;
    size_t length = strnlen(text, kTextRoom);
    int high = 0;
    for (size_t k = 0; k < length; k++) high |= static_cast<unsigned char>(text[k]) >= 0x80;
    if (!high) continue;
    if (BridgeIsUtf8(text, length)) sawUtf8 = 1;
    else sawOther = 1;
  }
  int utf8Dialog = sawUtf8 && !sawOther;

  std::vector<oldfar::FarDialogItem> hostItems((size_t)count);
  std::vector<std::string> histories((size_t)count);
  for (int i = 0; i < count; i++) {
    const ts::DialogItem &ours = items[i];
    oldfar::FarDialogItem &theirs = hostItems[i];
    memset(&theirs, 0, sizeof theirs);
    /* Types the library does not make (lists, user controls) would send the
       host after pointers that are not there: they show as text. */
    theirs.Type = ours.type >= ts::DI_TEXT && ours.type <= ts::DI_RADIOBUTTON ? ours.type : ts::DI_TEXT;
    theirs.X1 = ours.x1;
    theirs.Y1 = ours.y1;
    theirs.X2 = ours.x2;
    theirs.Y2 = ours.y2;
    theirs.Focus = ours.focus;
    theirs.Flags = ours.flags & kItemFlags;
    theirs.DefaultButton = ours.defaultButton;
    if (isEditType(theirs.Type) && (ours.flags & ts::kHistory)) {
      const char *name = reinterpret_cast<const char *>(ours.selected);
      if (name) {
        histories[i] = utf8Dialog ? std::string(name) : toHostText(name);
        theirs.History = histories[i].c_str();
      } else {
        theirs.Flags &= ~(DWORD)ts::kHistory;
      }
    } else if (!isEditType(theirs.Type)) {
      theirs.Selected = (int)ours.selected;
    }
    size_t length = strnlen(ours.data, kTextRoom);
    copyCut(theirs.Data, sizeof theirs.Data,
            utf8Dialog ? std::string(ours.data, length) : BridgeToHost(ours.data, length));
  }

  ColourContext context = {host, items, count};
  int chosen;
  if (host->DialogEx && host->DefDlgProc) {
    ColourContext *outer = shownDialog;
    shownDialog = &context;
    chosen =
        host->DialogEx(host->ModuleNumber, x1, y1, x2, y2, helpTopic, hostItems.data(), count, 0, 0, colourProc, 0);
    shownDialog = outer;
  } else chosen = host->Dialog(host->ModuleNumber, x1, y1, x2, y2, helpTopic, hostItems.data(), count);

  BridgeTrace("dialog exit %d", chosen);
  BridgeCopyBack(items, hostItems.data(), count, utf8Dialog);
  for (int i = 0; i < count; i++) {
    const ts::DialogItem &ours = items[i];
    if (ours.type == ts::DI_CHECKBOX || ours.type == ts::DI_RADIOBUTTON)
      BridgeTrace("item %d state %ld", i, (long)ours.selected);
    else if (isEditType(ours.type)) BridgeTrace("item %d text [%s]", i, ours.data);
  }
  return chosen;
}

int TS_HOSTAPI messageThunk(int token, unsigned flags, const char *helpTopic, const char *const *lines, int lineCount,
                            int buttonCount) {
  const oldfar::PluginStartupInfo *host = hostOf(token);
  if (!host || !host->Message || lineCount < 0 || (lineCount > 0 && !lines)) return -1;
  std::vector<std::string> texts((size_t)lineCount);
  std::vector<const char *> pointers((size_t)lineCount);
  for (int i = 0; i < lineCount; i++) {
    texts[i] = toHostText(lines[i]);
    pointers[i] = texts[i].c_str();
  }
  return host->Message(host->ModuleNumber, flags & kMessageFlags, helpTopic, lineCount ? pointers.data() : nullptr,
                       lineCount, buttonCount);
}

const char *TS_HOSTAPI getMsgThunk(int token, int messageNumber) {
  const oldfar::PluginStartupInfo *host = hostOf(token);
  if (!host || !host->GetMsg) return nullptr;
  auto key = std::make_pair(token, messageNumber);
  auto found = messages.find(key);
  if (found != messages.end()) return found->second.c_str();
  const char *text = host->GetMsg(host->ModuleNumber, messageNumber);
  if (!text) return nullptr;
  return messages.emplace(key, BridgeFromHost(text, strlen(text))).first->second.c_str();
}

/* Texts of the last plug-in information record, in UTF-8. */
std::vector<std::string> infoTexts;
std::vector<const char *> diskMenu, pluginMenu, configMenu;
std::string commandPrefix;

/* Converts a list of count texts into store; null when there is none. */
const char *const *convertList(const char *const *list, int count, std::vector<const char *> &store,
                               std::vector<std::string> &texts) {
  store.clear();
  if (!list || count <= 0) return nullptr;
  size_t first = texts.size();
  for (int i = 0; i < count; i++) texts.push_back(toHostText(list[i]));
  for (int i = 0; i < count; i++) store.push_back(texts[first + (size_t)i].c_str());
  return store.data();
}

}  // namespace

void BridgeCopyBack(ts::DialogItem *items, const oldfar::FarDialogItem *hostItems, int count, int utf8Dialog) {
  for (int i = 0; i < count; i++) {
    ts::DialogItem &ours = items[i];
    const oldfar::FarDialogItem &theirs = hostItems[i];
    ours.focus = theirs.Focus;
    if (ours.type == ts::DI_CHECKBOX || ours.type == ts::DI_RADIOBUTTON) ours.selected = theirs.Selected;
    if (isEditType(ours.type)) {
      size_t length = strnlen(theirs.Data, sizeof theirs.Data);
      std::string text = utf8Dialog ? std::string(theirs.Data, length) : BridgeFromHost(theirs.Data, length);
      size_t kept = text.size() < kTextRoom - 1 ? text.size() : kTextRoom - 1;
      memcpy(ours.data, text.data(), kept);
      ours.data[kept] = 0;
    }
  }
}

int BridgeStartup(const oldfar::PluginStartupInfo *host, ts::StartupInfo *ours) {
  if (!ours) return 0;
  memset(ours, 0, sizeof *ours);
  ours->structSize = (int32_t)sizeof *ours;
  if (!host || moduleCount >= kMaxModules) return 0;
  /* The host's record may be shorter than the SDK's: copy what it declares. */
  size_t size = host->StructSize > 0 && (size_t)host->StructSize < sizeof hostInfo[0] ? (size_t)host->StructSize
                                                                                      : sizeof hostInfo[0];
  memset(&hostInfo[moduleCount], 0, sizeof hostInfo[0]);
  memcpy(&hostInfo[moduleCount], host, size);
  int token = ++moduleCount;

  copyCut(ours->moduleName, sizeof ours->moduleName, host->ModuleName);
  ours->moduleNumber = token;
  /* The host hands multibyte plug-ins an empty root key: ours comes from
     the settings. */
  static std::string rootKey;
  rootKey = bridgeSettings.rootKey;
  ours->rootKey = rootKey.c_str();
  ours->hostMenu = menuThunk;
  ours->hostDialog = dialogThunk;
  ours->hostMessage = messageThunk;
  ours->hostGetMsg = getMsgThunk;
  BridgeTrace("startup token %d root key %s", token, rootKey.c_str());
  return token;
}

void BridgePluginInfo(const ts::PluginInfo *ours, oldfar::PluginInfo *host) {
  if (!ours || !host) return;
  infoTexts.clear();
  infoTexts.reserve((size_t)(ours->diskMenuStringsNumber > 0 ? ours->diskMenuStringsNumber : 0) +
                    (size_t)(ours->pluginMenuStringsNumber > 0 ? ours->pluginMenuStringsNumber : 0) +
                    (size_t)(ours->pluginConfigStringsNumber > 0 ? ours->pluginConfigStringsNumber : 0));
  host->Flags = ours->flags;
  host->DiskMenuStrings = convertList(ours->diskMenuStrings, ours->diskMenuStringsNumber, diskMenu, infoTexts);
  host->DiskMenuNumbers = ours->diskMenuNumbers;
  host->DiskMenuStringsNumber = host->DiskMenuStrings ? ours->diskMenuStringsNumber : 0;
  host->PluginMenuStrings = convertList(ours->pluginMenuStrings, ours->pluginMenuStringsNumber, pluginMenu, infoTexts);
  host->PluginMenuStringsNumber = host->PluginMenuStrings ? ours->pluginMenuStringsNumber : 0;
  host->PluginConfigStrings =
      convertList(ours->pluginConfigStrings, ours->pluginConfigStringsNumber, configMenu, infoTexts);
  host->PluginConfigStringsNumber = host->PluginConfigStrings ? ours->pluginConfigStringsNumber : 0;
  commandPrefix = toHostText(ours->commandPrefix);
  host->CommandPrefix = ours->commandPrefix ? commandPrefix.c_str() : nullptr;
}
