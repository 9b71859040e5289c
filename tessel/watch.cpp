/*
 * Live reload: the judgement of each new version of the file (the findings
 * of tessel check, its size, whether it defines a dialog), the status line,
 * the slots that close and reopen the plug-in's windows across a reload,
 * and the carrying over of the user's input by item identifier.
 */
#include "tessel/watch.h"

#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "host/keys.h"
#include "host/modal.h"
#include "host/session.h"
#include "host/slots.h"
#include "host/watch.h"
#include "tessel/inspect.h"

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

/* The processor time the process has used, in milliseconds: a reload's
   cost apart from what else the machine runs. */
double cpuMs() { return (double)clock() * 1000.0 / CLOCKS_PER_SEC; }

/* Where a reload stands. Closing: the session closes every window and the
   slots answer "cancelled" at once, until the caller's plug-in call
   returns. Reopening: the caller opens again; the menu slot reopens what
   was shown. Restoring: the dialog slot puts the saved input back. */
enum class Phase { Idle, Reopening, Restoring };

/* What was shown when the reload came. */
enum class Shown { Menu, Dialog };

/* An item's state as the user left it, with its identifier. */
struct SavedItem {
  int32_t id;
  int32_t type;
  intptr_t selected;
  int32_t focus;
  std::string text;
};

struct Watch {
  bool on = false;
  FileWatch files = {};
  std::string file, shown;
  author::Options options;
  author::Analysis good;   /* the last version without errors */
  author::Analysis broken; /* the version on disk while it has errors, for the inspector */
  Phase phase = Phase::Idle;
  Shown target = Shown::Menu;
  std::string name;              /* the dialog's menu text (view) or name (try) */
  int menuIndex = -1;            /* its entry, or the marked entry */
  bool notice = false;           /* the status line holds a notice of the menu */
  std::vector<int32_t> shownIds; /* identifiers of the dialog's items, empty when unknown */
  std::vector<SavedItem> saved;  /* the closed dialog's items */
  Clock::time_point changeAt;    /* when the last reload was asked for */
  double changeCpuMs = 0;
  double judgedMs = 0; /* how long its analysis took */
};

Watch watch;

int isEdit(int type) { return type == DI_EDIT || type == DI_PSWEDIT || type == DI_FIXEDIT; }

int isCheck(int type) { return type == DI_CHECKBOX || type == DI_RADIOBUTTON; }

/* The section of the good version that the menu text or name stands for: a
   menu entry shows at most 127 characters of a longer name. */
const author::Section *sectionFor(const std::string &name) {
  int at = author::findSection(watch.good, name);
  if (at < 0 && name.size() == sizeof(MenuEntry::text) - 1)
    for (const std::string &listed : watch.good.listed)
      if (listed.compare(0, name.size(), name) == 0) {
        at = author::findSection(watch.good, listed);
        break;
      }
  return at < 0 ? nullptr : &watch.good.sections[(size_t)at];
}

/* The identifiers of dialog name's count items as the good version defines
   them; empty when it does not hold exactly those items. */
std::vector<int32_t> identifiersOf(const std::string &name, const DialogItem *items, int count) {
  std::vector<int32_t> ids;
  const author::Section *section = sectionFor(name);
  if (!section || (int)section->items.size() != count) return ids;
  for (int i = 0; i < count; i++) {
    if (section->items[(size_t)i].record.type != items[i].type) return {};
    ids.push_back(section->items[(size_t)i].id);
  }
  return ids;
}

/* The saved item that new item j stands for, or -1: the same identifier and
   type (the n-th of them for the n-th), else, for an item without an
   identifier (0), the item of the same index and type without one. */
int savedMatch(const DialogItem *items, const std::vector<int32_t> &ids, int j) {
  int32_t id = j < (int)ids.size() ? ids[(size_t)j] : 0;
  const std::vector<SavedItem> &saved = watch.saved;
  if (id != 0) {
    int nth = 0;
    for (int i = 0; i < j; i++) nth += ids[(size_t)i] == id && items[i].type == items[j].type;
    for (size_t k = 0; k < saved.size(); k++)
      if (saved[k].id == id && saved[k].type == items[j].type && nth-- == 0) return (int)k;
    return -1;
  }
  if (j < (int)saved.size() && saved[(size_t)j].id == 0 && saved[(size_t)j].type == items[j].type) return j;
  return -1;
}

/* Keeps the closed dialog's items: their identifiers as shown, the focus,
   edit texts and check states. */
void saveItems(const DialogItem *items, int count) {
  watch.saved.clear();
  for (int i = 0; items && i < count; i++) {
    SavedItem s;
    s.id = i < (int)watch.shownIds.size() ? watch.shownIds[(size_t)i] : 0;
    s.type = items[i].type;
    s.selected = items[i].selected;
    s.focus = items[i].focus;
    s.text.assign(items[i].data, strnlen(items[i].data, TS_ITEM_DATA_SIZE - 1));
    watch.saved.push_back(s);
  }
}

/* Puts the saved input into the reopened dialog's items: edit texts and
   check states where the item still exists, the focus on the item that
   had it, else on the same index. */
void restoreItems(DialogItem *items, int count, const std::vector<int32_t> &ids) {
  if (watch.saved.empty() || !items) return;
  int focused = -1, newFocus = -1;
  for (size_t k = 0; k < watch.saved.size(); k++)
    if (watch.saved[k].focus) focused = (int)k;
  for (int j = 0; j < count; j++) {
    int k = savedMatch(items, ids, j);
    if (k < 0) continue;
    const SavedItem &s = watch.saved[(size_t)k];
    if (isEdit(items[j].type)) {
      memcpy(items[j].data, s.text.c_str(), s.text.size() + 1);
    } else if (isCheck(items[j].type)) {
      items[j].selected = s.selected;
    }
    if (k == focused) newFocus = j;
  }
  if (newFocus < 0 && focused >= 0 && focused < count) newFocus = focused;
  if (newFocus < 0) return;
  for (int j = 0; j < count; j++) items[j].focus = j == newFocus;
}

/* The entry whose text is text, or -1. */
int entryNamed(const MenuEntry *items, int count, const std::string &text) {
  for (int i = 0; items && i < count; i++)
    if (strncmp(items[i].text, text.c_str(), sizeof items[i].text) == 0 && !items[i].separator) return i;
  return -1;
}

std::string entryText(const MenuEntry &entry) {
  return std::string(entry.text, strnlen(entry.text, sizeof entry.text));
}

/* Writes how long the reload took to the debug output (TESSEL_DEBUG_LOG). */
void reportReloadTime(const char *what) {
  char line[240];
  snprintf(line, sizeof line,
           "tessel: reload of %s: %.1f ms from the change to the reopened %s (%.1f ms to judge it), "
           "%.1f ms of processor time\n",
           watch.shown.c_str(), msSince(watch.changeAt), what, watch.judgedMs, cpuMs() - watch.changeCpuMs);
  plDebugOutput(line);
}

/* The session's change hook: a good version asks for a reload, a bad one
   keeps what is shown and says why. */
int onChange(void *) {
  Clock::time_point start = Clock::now();
  double startCpu = cpuMs();
  author::Analysis a;
  std::string problem;
  if (!watchExamine(watch.file, watch.shown, watch.options, &a, &problem)) {
    watch.broken = std::move(a);
    inspectBrokenVersion(&watch.broken);
    sessionSetStatus(problem.c_str(), 1);
    watch.notice = false;
    char line[160];
    snprintf(line, sizeof line, "tessel: change of %s: %.1f ms to judge it and keep the last good version\n",
             watch.shown.c_str(), msSince(start));
    plDebugOutput(line);
    return SESSION_KEEP;
  }
  watch.judgedMs = msSince(start);
  inspectBrokenVersion(nullptr);
  watch.good = std::move(a);
  std::string summary = watchSummary(watch.good, watch.shown);
  sessionSetStatus(summary.c_str(), 0);
  watch.notice = false;
  hostRelease(); /* the language files are read anew */
  watch.changeAt = start;
  watch.changeCpuMs = startCpu;
  return SESSION_RELOAD;
}

int TS_HOSTAPI watchMenuSlot(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                             const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                             const MenuEntry *items, int count) {
  if (breakCode) *breakCode = -1;
  if (sessionReloading()) return -1;
  std::vector<MenuEntry> marked;
  if (watch.phase == Phase::Reopening && items && count > 0) {
    watch.phase = Phase::Idle;
    int at = entryNamed(items, count, watch.name);
    if (watch.target == Shown::Dialog && at >= 0) { /* the dialog that was shown, at once */
      watch.phase = Phase::Restoring;
      watch.menuIndex = at;
      return at;
    }
    if (watch.target == Shown::Dialog) {
      std::string notice = "dialog \"" + watch.name + "\" is no longer in " + watch.shown;
      sessionSetStatus(notice.c_str(), 0);
      watch.notice = true;
      watch.saved.clear();
    }
    if (at < 0) at = watch.menuIndex < 0 ? 0 : watch.menuIndex >= count ? count - 1 : watch.menuIndex;
    marked.assign(items, items + count);
    for (MenuEntry &entry : marked) entry.selected = 0;
    marked[(size_t)at].selected = 1;
    items = marked.data();
    reportReloadTime("menu");
  }
  int result =
      hostMenuSlot(moduleNumber, x, y, maxHeight, flags, title, bottom, helpTopic, breakKeys, breakCode, items, count);
  if (sessionReloading()) { /* closed by a change: reopen on the marked entry */
    watch.target = Shown::Menu;
    watch.menuIndex = result;
    watch.name = result >= 0 && result < count ? entryText(items[result]) : std::string();
    if (breakCode) *breakCode = -1;
    return -1;
  }
  if (watch.notice) {
    sessionSetStatus(nullptr, 0);
    watch.notice = false;
  }
  if (result >= 0 && result < count) {
    watch.name = entryText(items[result]);
    watch.menuIndex = result;
  }
  return result;
}

int TS_HOSTAPI watchDialogSlot(int moduleNumber, int x1, int y1, int x2, int y2, const char *helpTopic,
                               DialogItem *items, int count) {
  if (sessionReloading()) { /* opened while a change closes windows: reopen it fresh */
    watch.target = Shown::Dialog;
    return -1;
  }
  std::vector<int32_t> ids = identifiersOf(watch.name, items, items ? count : 0);
  if (watch.phase == Phase::Restoring || (watch.phase == Phase::Reopening && watch.target == Shown::Dialog)) {
    restoreItems(items, count, ids);
    reportReloadTime("dialog");
  }
  watch.phase = Phase::Idle;
  watch.saved.clear();
  watch.shownIds = ids;
  int result = hostDialogSlot(moduleNumber, x1, y1, x2, y2, helpTopic, items, count);
  if (sessionReloading()) {
    saveItems(items, count);
    watch.target = Shown::Dialog;
    return -1;
  }
  return result;
}

/* "1 error", "2 warnings". */
std::string counted(int n, const char *what) { return std::to_string(n) + " " + what + (n == 1 ? "" : "s"); }

}  // namespace

std::string watchSummary(const author::Analysis &a, const std::string &shown) {
  int errors = author::countSeverity(a, author::Severity::Error);
  int warnings = author::countSeverity(a, author::Severity::Warning);
  if (errors == 0 && warnings == 0) return std::string();
  const author::Finding *first = nullptr;
  for (const author::Finding &f : a.findings)
    if (f.severity == (errors ? author::Severity::Error : author::Severity::Warning)) {
      first = &f;
      break;
    }
  std::string line = counted(errors, "error") + ", " + counted(warnings, "warning");
  if (first) line += ": " + shown + ":" + std::to_string(first->span.line) + ": " + first->message;
  return line;
}

int watchExamine(const std::string &file, const std::string &shown, const author::Options &options, author::Analysis *a,
                 std::string *problem) {
  struct stat st;
  if (stat(file.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_size > kWatchMaxFileSize) {
    *problem = shown + " holds " + std::to_string((long long)(st.st_size >> 20)) + " MB, more than the " +
               std::to_string(kWatchMaxFileSize >> 20) + " MB a preview reads";
    return 0;
  }
  *a = author::analyzeFile(file, options);
  if (author::countSeverity(*a, author::Severity::Error) > 0) {
    *problem = watchSummary(*a, shown);
    return 0;
  }
  if (a->listed.empty()) {
    *problem = shown + " defines no dialog";
    return 0;
  }
  return 1;
}

int watchStart(const char *file, const char *shown, const Options *o) {
  inspectBrokenVersion(nullptr);
  watch = Watch();
  watch.file = file;
  watch.shown = shown;
  watch.options.codepage = atoi(o->codepage);
  if (!fileWatchOpen(&watch.files, file))
    return fail(EXIT_FAILED, "cannot watch %s for changes (error %s)", shown, std::to_string(plGetLastError()).c_str());
  watch.good = author::analyzeFile(watch.file, watch.options);
  watch.on = true;
  return EXIT_OK;
}

void watchAttach(void) {
  if (!watch.on) return;
  sessionSetWatch(&watch.files, onChange, nullptr);
  std::string summary = watchSummary(watch.good, watch.shown);
  sessionSetStatus(summary.c_str(), author::countSeverity(watch.good, author::Severity::Error) > 0);
}

void watchWrapStartup(StartupInfo *info) {
  info->hostMenu = watchMenuSlot;
  info->hostDialog = watchDialogSlot;
}

void watchSetDialog(const char *name) { watch.name = name ? name : ""; }

int watchHasDialog(const char *name) { return watch.on && author::findSection(watch.good, name) >= 0; }

int watchReopen(void) {
  if (!watch.on || !sessionReloading()) return 0;
  sessionEndReload();
  watch.phase = Phase::Reopening;
  return 1;
}

int watchIdle(const char *notice) {
  if (!watch.on) return 0;
  if (notice) sessionSetStatus(notice, 1);
  screenClear(sessionScreen());
  ModalWindow window = {};
  window.place = [](void *, int, int) {};
  window.draw = [](const void *, Screen *) {};
  window.key = [](void *, int key) { return key == TK_ESC || key == TK_F10 ? 0 : (int)MODAL_OPEN; };
  window.reload = [](void *) { return 1; };
  int reloaded = modalRun(&window) == 1;
  if (reloaded) {
    sessionEndReload();
    watch.phase = Phase::Reopening;
  }
  return reloaded;
}

void watchStop(void) {
  if (!watch.on) return;
  sessionSetWatch(nullptr, nullptr, nullptr);
  fileWatchClose(&watch.files);
  inspectBrokenVersion(nullptr);
  watch = Watch();
}

int watchRender(const char *file, const char *shown, const char *dialog, const author::Options &options,
                int (*drawFrame)(void *context), void *context) {
  FileWatch files;
  if (!fileWatchOpen(&files, file))
    return fail(EXIT_FAILED, "cannot watch %s for changes (error %s)", shown, std::to_string(plGetLastError()).c_str());
  int onTerminal = isatty(STDOUT_FILENO);
  int status = EXIT_OK;
  while (status == EXIT_OK) {
    if (!fileWatchWait(&files, -1)) continue;
    author::Analysis a;
    std::string problem;
    if (!watchExamine(file, shown, options, &a, &problem)) {
      fprintf(stderr, "tessel: %s\n", problem.c_str());
      continue;
    }
    if (author::findSection(a, dialog) < 0) {
      fprintf(stderr, "tessel: %s no longer defines dialog \"%s\"\n", shown, dialog);
      continue;
    }
    hostRelease(); /* the language files are read anew */
    if (onTerminal) fputs("\x1b[H\x1b[2J", stdout);
    status = drawFrame(context);
  }
  fileWatchClose(&files);
  return status;
}
