/*
 * Live reload in view and try: the watch over the dialog file and the
 * language files beside it, the state of a reload, and the menu and dialog
 * slots that close the plug-in's windows for a reload and reopen what was
 * shown, with the user's input put back (watch_input.cpp).
 */
#include "tessel/watch.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "author/languages.h"
#include "host/keys.h"
#include "host/modal.h"
#include "host/session.h"
#include "host/slots.h"
#include "host/watch.h"
#include "tessel/inspect.h"
#include "tessel/watch_input.h"
#include "tessel/watch_timing.h"
#include "tessel/watch_verdict.h"

namespace {

/* Where a reload stands once the session has closed the windows for it.
   (While it closes them, sessionReloading() holds: the slots answer
   "cancelled" at once, until the caller's plug-in call returns.) Idle: no
   reload under way. Reopening: the caller opens again; the menu slot
   reopens what was shown. Restoring: the dialog slot puts the saved input
   back. */
enum class Phase { Idle, Reopening, Restoring };

/* What was shown when the reload came. */
enum class Shown { Menu, Dialog };

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
  WatchMoment changeAt;          /* when the last reload was asked for */
  double judgedMs = 0;           /* how long its analysis took */
};

Watch watch;

/* The entry whose text is text, or -1. */
int entryNamed(const MenuEntry *items, int count, const std::string &text) {
  for (int i = 0; items && i < count; i++)
    if (strncmp(items[i].text, text.c_str(), sizeof items[i].text) == 0 && !items[i].separator) return i;
  return -1;
}

std::string entryText(const MenuEntry &entry) {
  return std::string(entry.text, strnlen(entry.text, sizeof entry.text));
}

/* The session's change hook: a good version asks for a reload, a bad one
   keeps what is shown and says why. */
int onChange(void *) {
  WatchMoment start = watchNow();
  author::Analysis a;
  std::string problem;
  if (!watchExamine(watch.file, watch.shown, watch.options, &a, &problem)) {
    watch.broken = std::move(a);
    inspectBrokenVersion(&watch.broken);
    sessionSetStatus(problem.c_str(), 1);
    watch.notice = false;
    watchLogKept(watch.shown, start);
    return SESSION_KEEP;
  }
  watch.judgedMs = watchMsSince(start);
  inspectBrokenVersion(nullptr);
  watch.good = std::move(a);
  std::string summary = watchSummary(watch.good, watch.shown);
  sessionSetStatus(summary.c_str(), 0);
  watch.notice = false;
  hostRelease(); /* the language files are read anew */
  watch.changeAt = start;
  return SESSION_RELOAD;
}

/* The menu's count items (count > 0) reopened by a reload: returns the
   entry of the dialog that was shown, to choose at once (Restoring), or -1
   with *marked set to the items with the entry to mark, after a notice when
   the dialog that was shown is gone. */
int reopenMenu(const MenuEntry *items, int count, std::vector<MenuEntry> *marked) {
  watch.phase = Phase::Idle;
  int at = entryNamed(items, count, watch.name);
  if (watch.target == Shown::Dialog && at >= 0) {
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
  marked->assign(items, items + count);
  for (MenuEntry &entry : *marked) entry.selected = 0;
  (*marked)[(size_t)at].selected = 1;
  watchLogReload(watch.shown, watch.changeAt, watch.judgedMs, "menu");
  return -1;
}

int TS_HOSTAPI watchMenuSlot(int moduleNumber, int x, int y, int maxHeight, unsigned flags, const char *title,
                             const char *bottom, const char *helpTopic, const int *breakKeys, int *breakCode,
                             const MenuEntry *items, int count) {
  if (breakCode) *breakCode = -1;
  if (sessionReloading()) return -1;
  std::vector<MenuEntry> marked;
  if (watch.phase == Phase::Reopening && items && count > 0) {
    int chosen = reopenMenu(items, count, &marked);
    if (chosen >= 0) return chosen; /* the dialog that was shown, at once */
    items = marked.data();
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
  std::vector<int32_t> ids = identifiersOf(watch.good, watch.name, items, items ? count : 0);
  if (watch.phase == Phase::Restoring || (watch.phase == Phase::Reopening && watch.target == Shown::Dialog)) {
    restoreItems(items, count, ids, watch.saved);
    watchLogReload(watch.shown, watch.changeAt, watch.judgedMs, "dialog");
  }
  watch.phase = Phase::Idle;
  watch.saved.clear();
  watch.shownIds = ids;
  int result = hostDialogSlot(moduleNumber, x1, y1, x2, y2, helpTopic, items, count);
  if (sessionReloading()) {
    watch.saved = saveItems(items, count, watch.shownIds);
    watch.target = Shown::Dialog;
    return -1;
  }
  return result;
}

}  // namespace

int watchStart(const char *file, const char *shown, const Options *o) {
  inspectBrokenVersion(nullptr);
  watch = Watch();
  watch.file = file;
  watch.shown = shown;
  watch.options.codepage = atoi(o->codepage);
  if (!fileWatchOpen(&watch.files, file))
    return fail(EXIT_FAILED, "cannot watch %s for changes (error %s)", shown, std::to_string(plGetLastError()).c_str());
  watch.good = author::analyzeWithLanguages(watch.file, watch.options, {});
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
