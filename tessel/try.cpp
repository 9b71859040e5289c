/*
 * `tessel try FILE.dlg NAME`: one dialog loaded through Dialog.tsl as render
 * loads it, but shown for use, on the terminal or scripted with --keys. When
 * it closes, tessel prints what the calling plug-in reads back through the
 * library's exports: the exit identifier and, for every item, its
 * identifier, type, check or radio state and text; as a table or as JSON.
 */
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "author/languages.h"
#include "codepage/codepage.h"
#include "host/inspector.h"
#include "tessel/check.h"
#include "tessel/command.h"
#include "tessel/inspect.h"
#include "tessel/library.h"
#include "tessel/modules.h"
#include "tessel/no_dialog.h"
#include "tessel/plugin.h"
#include "tessel/watch.h"

namespace {

const char kTryHelp[] =
    "usage: tessel try FILE.dlg NAME [options]\n"
    "\n"
    "Loads dialog NAME of FILE through Dialog.tsl, as render does, and shows it for\n"
    "use. When it closes, prints what the calling plug-in reads back: the exit\n"
    "identifier (that of the button that closed it, -1 for a cancel) and, for each\n"
    "item, its index, identifier and ENUM name, type, check or radio state and text\n"
    "(edit fields as typed). With --keys the run needs no terminal, for tests.\n"
    "\n"
    "keys: as in tessel view; F3 shows and hides the item inspector (where the\n"
    "focused item is written, its fields, tessel check's findings on its line).\n";

const char kTryExitStatus[] =
    "exit status: 0 done (whichever way the dialog closed), 1 failed (file, dialog\n"
    "or library missing), 2 bad arguments, 3 a --keys run that kept waiting.\n";

/* One item as the plug-in reads it back. */
struct ReadBack {
  int index;
  int32_t id;
  std::string name; /* the ENUM name written as its identifier, or empty */
  int type;
  int state;        /* check box and radio button: 1 or 0; -1 for the others */
  std::string text; /* bytes of the host's code page */
};

bool hasState(int type) { return type == DI_CHECKBOX || type == DI_RADIOBUTTON; }

/* Reads back every item of the shown dialog as a plug-in does. The first
   item of an identifier through GetItemStatus and GetItemData; an item that
   shares its identifier with an earlier one, which those never reach,
   through its record (GetItemAddr of the first item, then its index). The
   identifiers are the section's; GetNumById confirms each at its index.
   Returns false when they disagree (the file changed meanwhile). */
bool readBack(const Library &lib, DialogData *dialog, const author::Analysis &a, const author::Section &section,
              std::vector<ReadBack> *rows) {
  int count = (int)section.items.size();
  if (count == 0 || lib.numById(dialog, section.items[0].id, 0) != 0) return false;
  DialogItem *records = lib.itemAddr(dialog, section.items[0].id);
  for (int i = 0; i < count; i++) {
    const author::Item &item = section.items[(size_t)i];
    if (lib.numById(dialog, item.id, i) != i) return false;
    bool first = lib.numById(dialog, item.id, 0) == i;
    const DialogItem &record = records[i];
    ReadBack row;
    row.index = i;
    row.id = item.id;
    row.name = enumNameOf(a, item);
    row.type = record.type;
    row.state = !hasState(record.type) ? -1 : first ? lib.itemStatus(dialog, item.id) : record.selected != 0;
    const char *text = first ? lib.itemData(dialog, item.id) : record.data;
    row.text.assign(text, strnlen(text, TS_ITEM_DATA_SIZE));
    rows->push_back(row);
  }
  return true;
}

/* What the table says of an exit identifier: a cancel, or the first item
   of that identifier by its ENUM name and index. */
std::string exitName(int exitId, const std::vector<ReadBack> &rows) {
  if (exitId == -1) return "cancelled";
  for (const ReadBack &row : rows)
    if (row.id == exitId) return (row.name.empty() ? "" : row.name + ", ") + "item " + std::to_string(row.index);
  return "";
}

void printTable(int exitId, const std::vector<ReadBack> &rows) {
  std::string name = exitName(exitId, rows);
  printf("exit: %d%s%s%s\n", exitId, name.empty() ? "" : " (", name.c_str(), name.empty() ? "" : ")");
  int idWidth = 2, nameWidth = 4;
  for (const ReadBack &row : rows) {
    int width = (int)std::to_string(row.id).size();
    if (width > idWidth) idWidth = width;
    if ((int)row.name.size() > nameWidth) nameWidth = (int)row.name.size();
  }
  printf("index  %*s  %-*s  %-11s  %-5s  text\n", idWidth, "id", nameWidth, "name", "type", "state");
  for (const ReadBack &row : rows) {
    const char *state = row.state < 0 ? "-" : row.state ? "on" : "off";
    char columns[128];
    snprintf(columns, sizeof columns, "%5d  %*d  %-*s  %-11s  %-5s  ", row.index, idWidth, (int)row.id, nameWidth,
             row.name.c_str(), typeName(row.type).c_str(), state);
    std::string text = columns;
    if (row.text.empty()) /* no blanks at the end of a row, but a text keeps its own */
      while (!text.empty() && text.back() == ' ') text.pop_back();
    printf("%s%s\n", text.c_str(), cpToUtf8(row.text).c_str());
  }
}

void printJson(int exitId, const std::vector<ReadBack> &rows) {
  nlohmann::ordered_json items = nlohmann::ordered_json::array();
  for (const ReadBack &row : rows)
    items.push_back({{"index", row.index},
                     {"id", row.id},
                     {"name", row.name.empty() ? nlohmann::ordered_json() : nlohmann::ordered_json(row.name)},
                     {"type", typeName(row.type)},
                     {"state", row.state < 0 ? nlohmann::ordered_json() : nlohmann::ordered_json(row.state)},
                     {"text", cpToUtf8(row.text)}});
  nlohmann::ordered_json all = {{"exitId", exitId}, {"items", items}};
  printf("%s\n", all.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace).c_str());
}

/* What a try run holds from its start to its one teardown. */
struct TryRun {
  const Options *o;
  const char *file;  /* absolute */
  const char *shown; /* the file as typed */
  const char *name;  /* the dialog's */
  Library library;
  author::Options checking; /* the dialog tried, and the file as a whole */
  author::Analysis analysis;
  FILE *dumpFile = nullptr;
  bool sessionOpen = false;
  int exitId = -1;
  std::vector<ReadBack> rows;
  bool agreed = true; /* the read-back matched the file */
};

/* How a run ended. */
enum class Ended {
  NotStarted, /* the watch or the session could not start (reported) */
  NoDialog,   /* the file defines no such dialog */
  Gone,       /* a reload took the dialog away and the user left */
  Closed      /* the user closed the dialog: rows hold the read-back */
};

/* Starts what the run needs: the watch (--watch), the library's startup
   record and the session with its status line. Returns EXIT_OK, or the
   status after reporting; releaseRun releases what was started either
   way. */
int startRun(TryRun *run) {
  const Options *o = run->o;
  if (o->watch) {
    int status = watchStart(run->file, run->shown, o);
    if (status != EXIT_OK) return status;
  }
  startLibrary(&run->library, run->file, o->lngMode, o->watch ? watchWrapStartup : nullptr);
  int status = openSession(o, &run->dumpFile);
  if (status != EXIT_OK) return status;
  run->sessionOpen = true;
  watchAttach();
  if (o->watch) watchSetDialog(run->name);
  char statusLine[64];
  snprintf(statusLine, sizeof statusLine, "texts: %s (--texts)", lngModeText(o->lngMode));
  hostSetStatusLine(statusLine);
  return EXIT_OK;
}

/* The notice of a dialog that a reload took away. */
std::string goneNotice(const TryRun &run) {
  return "dialog \"" + std::string(run.name) + "\" is no longer in " + run.shown;
}

/* Shows the dialog, again on the new version after each reload that closed
   it (waiting while the file lacks it), until the user closes it; then
   reads it back into the run. */
Ended useDialog(TryRun *run) {
  for (;;) {
    /* the file as it is now: each reload reads the new version */
    run->analysis = author::analyzeWithLanguages(run->file, run->checking, {});
    int section = author::findSection(run->analysis, run->name);
    inspectDialogsOf(run->shown, &run->analysis, run->name);
    DialogData *dialog = loadDialog(&run->library, run->file, run->name);
    if (!dialog || section < 0) {
      run->library.release(dialog);
      return Ended::NoDialog;
    }
    run->exitId = run->library.show(dialog);
    if (run->o->watch && watchReopen()) { /* closed by a change, not by the user */
      run->library.release(dialog);
      bool back = true;
      while (back && !watchHasDialog(run->name)) back = watchIdle(goneNotice(*run).c_str()) != 0;
      if (back) continue;
      return Ended::Gone;
    }
    run->agreed = readBack(run->library, dialog, run->analysis, run->analysis.sections[(size_t)section], &run->rows);
    run->library.release(dialog);
    return Ended::Closed;
  }
}

/* The one teardown of a run: stops the watch, closes the session and the
   --screen file, and takes the inspector away. Returns as closeSession
   (EXIT_OK when no session was open). */
int releaseRun(TryRun *run) {
  watchStop();
  int status = run->sessionOpen ? closeSession(&run->dumpFile) : EXIT_OK;
  run->sessionOpen = false;
  hostSetInspector(nullptr);
  return status;
}

/* Prints what the closed dialog read back, after the findings (unless
   --quiet); returns closed (the status of the session's end) unless the
   output fails. */
int printReadBack(const TryRun &run, int closed) {
  if (!run.o->quiet) printFindings(stderr, run.shown, run.analysis);
  if (!run.agreed) return fail(EXIT_FAILED, "%s changed while the dialog was shown; try again", run.shown);
  if (run.o->json) printJson(run.exitId, run.rows);
  else printTable(run.exitId, run.rows);
  if (fflush(stdout) != 0) return fail(EXIT_FAILED, "cannot write the output");
  return closed;
}

}  // namespace

int cmdTry(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_TRY, kTryHelp, kTryExitStatus);
  if (o->args.size() != 2) return fail(EXIT_USAGE, "try takes a file and a dialog name (see tessel try --help)");
  char file[PATH_MAX];
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;
  TryRun run;
  run.o = o;
  run.file = file;
  run.shown = o->args[0];
  run.name = o->args[1];
  if (!loadLibrary(&run.library)) return EXIT_FAILED;
  run.checking.lngMode = o->lngMode;
  run.checking.codepage = atoi(o->codepage);
  run.checking.dialog = run.name;

  int status = startRun(&run);
  Ended ended = status == EXIT_OK ? useDialog(&run) : Ended::NotStarted;
  int closed = releaseRun(&run);
  switch (ended) {
    case Ended::NotStarted:
      return status;
    case Ended::NoDialog:
      return reportNoDialog(run.file, run.shown, run.name, run.checking);
    case Ended::Gone:
      fprintf(stderr, "tessel: %s\n", goneNotice(run).c_str());
      return EXIT_OK;
    case Ended::Closed:
      break;
  }
  return printReadBack(run, closed);
}
