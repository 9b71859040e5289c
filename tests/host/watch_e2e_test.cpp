// Live reload end to end: tessel view --watch and render --watch running in
// the background while the test rewrites the dialog file beside them. A
// scripted view waits at each "Reload" of its --keys for the next change;
// the test makes the change once the screen dump before that Reload is
// written (the watch is open by then), so every run is deterministic.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

const std::string kBin = TESSEL_TEST_BIN_DIR;
const std::string kExamples = TESSEL_EXAMPLES_DIR;

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// Writes a file in place: truncated, then written (an editor that saves so).
void writeInPlace(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Writes a new file beside it and renames it over (an editor that saves so).
void writeByRename(const std::string &path, const std::string &text) {
  std::string temporary = path + ".new~";
  std::ofstream(temporary, std::ios::binary | std::ios::trunc) << text;
  ASSERT_EQ(rename(temporary.c_str(), path.c_str()), 0);
}

// Replaces every occurrence of from in text.
std::string replaced(std::string text, const std::string &from, const std::string &to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
    text.replace(at, from.size(), to);
  return text;
}

size_t occurrences(const std::string &text, const std::string &what) {
  size_t n = 0;
  for (size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) n++;
  return n;
}

// A scratch directory holding a copy of tools.dlg and the examples' language
// files, and the registry store of the run; removed after.
struct Scratch {
  char path[64] = "/tmp/tessel-watch-XXXXXX";
  std::string dir;
  Scratch() {
    dir = std::string(mkdtemp(path)) + "/";
    for (const char *name : {"tools.dlg", "demo.dlg", "ExamplesEng.lng"})
      std::ofstream(dir + name, std::ios::binary) << readFile(kExamples + name);
  }
  ~Scratch() {
    std::string command = "chmod -R u+rwx '" + std::string(path) + "'; rm -rf '" + std::string(path) + "'";
    if (system(command.c_str()) != 0) ADD_FAILURE() << command;
  }
  std::string file(const char *name) const { return dir + name; }
};

// tessel running in the background, its output in files of the scratch
// directory.
struct Background {
  pid_t pid = -1;
  std::string out, err;
  Background(const Scratch &s, const std::string &args) {
    out = s.dir + "stdout";
    err = s.dir + "stderr";
    std::string command = "cd '" + s.dir + "' && TESSEL_REGISTRY='" + s.dir +
                          "registry.sqlite3' LC_ALL=C.UTF-8 exec '" + kBin + "tessel' " + args + " </dev/null >'" +
                          out + "' 2>'" + err + "'";
    pid = fork();
    if (pid == 0) {
      execl("/bin/sh", "sh", "-c", command.c_str(), (char *)nullptr);
      _exit(127);
    }
  }
  // Waits up to timeout seconds for the process to end; kills it after.
  // Returns its exit status, or 128 + the signal that ended it.
  int finish(int timeout = 20) {
    int raw = 0;
    for (int i = 0; i < timeout * 100; i++) {
      if (waitpid(pid, &raw, WNOHANG) == pid) return WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
      usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &raw, 0);
    ADD_FAILURE() << "tessel did not end";
    return -1;
  }
  ~Background() {
    if (pid > 0 && waitpid(pid, nullptr, WNOHANG) == 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }
};

// Waits up to ten seconds until file holds count occurrences of text.
bool waitFor(const std::string &file, const std::string &text, size_t count = 1) {
  for (int i = 0; i < 1000; i++) {
    if (occurrences(readFile(file), text) >= count) return true;
    usleep(10000);
  }
  return false;
}

// The screen dumps of a --screen file, in order.
std::vector<std::string> dumps(const std::string &file) {
  std::vector<std::string> all;
  std::string text = readFile(file);
  for (size_t at = text.find("=== screen "); at != std::string::npos;) {
    size_t next = text.find("=== screen ", at + 1);
    all.push_back(text.substr(at, next == std::string::npos ? std::string::npos : next - at));
    at = next;
  }
  return all;
}

// The dump of the n-th (from 1) wait at "Reload", and the one after it:
// what the session showed once the change was handled.
std::string atReload(const std::string &file, int n, int after = 0) {
  std::vector<std::string> all = dumps(file);
  for (size_t i = 0; i + after < all.size(); i++)
    if (all[i].find("next key Reload") != std::string::npos && --n == 0) return all[i + after];
  return "";
}

std::string afterReload(const std::string &file, int n) { return atReload(file, n, 1); }

// The bottom row of a dump (each row ends in a line feed).
std::string bottomRow(const std::string &dump) {
  std::string rows = dump.substr(0, dump.size() - 1);
  return rows.substr(rows.rfind('\n') + 1);
}

// Runs tessel view --watch on the scratch copy of tools.dlg with keys; at
// the n-th Reload applies changes[n - 1]. Returns the exit status.
int viewWhileChanging(const Scratch &s, const std::string &keys,
                      const std::vector<std::function<void(const std::string &)>> &changes) {
  std::string screens = s.file("screens.txt");
  Background run(s, "view --watch tools.dlg --screen screens.txt --keys '" + keys + "'");
  for (size_t i = 0; i < changes.size(); i++) {
    EXPECT_TRUE(waitFor(screens, "next key Reload", i + 1)) << "Reload " << i + 1 << " never reached";
    changes[i](s.file("tools.dlg"));
  }
  int status = run.finish();
  EXPECT_EQ(readFile(run.err), "");
  return status;
}

// ---- try: the dialog reopens, and what it reads back is of the last version ----

TEST(WatchTry, ReadsBackTheReopenedDialog) {
  Scratch s;
  std::string original = readFile(s.file("tools.dlg"));
  std::string changed = replaced(original, "\"&To:\"", "\"&Into:\"");
  std::string screens = s.file("screens.txt");
  Background run(s, "try --watch --json tools.dlg Copy --screen screens.txt --keys 'Tab \"xyz\" Reload Enter'");
  EXPECT_TRUE(waitFor(screens, "next key Reload", 1));
  writeByRename(s.file("tools.dlg"), changed);
  EXPECT_EQ(run.finish(), 0);
  std::string out = readFile(run.out);
  EXPECT_NE(out.find("\"text\": \"&Into:\""), std::string::npos) << out;
  EXPECT_NE(out.find("D:\\\\backup\\\\xyz"), std::string::npos) << "the typed text kept\n" << out;
}

// ---- design: a change on disk reloads it, unless changes are unsaved ----

TEST(WatchDesign, ReloadsWhenNothingIsUnsavedElseOffersItAtTheSave) {
  const struct {
    const char *keys;
    const char *shown;  // on the status line once the change was handled
  } rows[] = {
      {"Reload Right F2 Esc", "reloaded from disk"},
      // unsaved: kept, and said; the save offers to reload, which reads theirs
      {"Right Reload F2 Enter Right F2 Esc", "changed on disk; F2 offers"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.keys);
    Scratch s;
    std::string original = readFile(s.file("tools.dlg"));
    std::string theirs = replaced(original, "\"&To:\"", "\"&Into:\"");
    std::string screens = s.file("screens.txt");
    Background run(s, std::string("design tools.dlg Copy --screen screens.txt --keys '") + row.keys + "'");
    EXPECT_TRUE(waitFor(screens, "next key Reload", 1));
    writeByRename(s.file("tools.dlg"), theirs);
    EXPECT_EQ(run.finish(), 0) << readFile(run.err);
    EXPECT_NE(bottomRow(afterReload(screens, 1)).find(row.shown), std::string::npos) << afterReload(screens, 1);
    // theirs, with the box one column further right
    std::string after = readFile(s.file("tools.dlg"));
    EXPECT_NE(after.find("\"&Into:\""), std::string::npos) << after;
    EXPECT_EQ(after.size(), theirs.size()) << after;
    EXPECT_NE(after, theirs);
  }
}

// ---- view: the dialog reopens in place ----

TEST(WatchView, TheDialogReopensWithTheInputKept) {
  // Copy: type into the target field, choose "Append to it", tick the check
  // box, move the focus to it; then the file changes the label of the target
  // field, and moves the check box to the end of the dialog (its index
  // changes, its identifier stays).
  struct Row {
    const char *label;
    void (*write)(const std::string &, const std::string &);
  } rows[] = {{"saved in place", writeInPlace}, {"saved by rename", writeByRename}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    Scratch s;
    std::string original = readFile(s.file("tools.dlg"));
    std::string checkBox = "CHECKBOX idReadOnly 30 5 0 5 F F () F \"Also &read-only files\"\n";
    std::string changed = replaced(replaced(original, "\"&To:\"", "\"&Into:\""), checkBox, "");
    changed = replaced(changed, "BUTTON idCancel 0 9 0 9 F 0 (DIF_CENTERGROUP) F \"Cancel\"\n",
                       "BUTTON idCancel 0 9 0 9 F 0 (DIF_CENTERGROUP) F \"Cancel\"\n" + checkBox);
    ASSERT_NE(changed, original);
    int status = viewWhileChanging(s, "Enter Tab \"new\" Tab Down Space Tab A-r Reload Esc Esc",
                                   {[&](const std::string &file) { row.write(file, changed); }});
    EXPECT_EQ(status, 0);
    std::string before = atReload(s.file("screens.txt"), 1), after = afterReload(s.file("screens.txt"), 1);
    EXPECT_NE(after.find("Into:"), std::string::npos) << "the new version\n" << after;
    EXPECT_NE(after.find("D:\\backup\\new"), std::string::npos) << "the edit text\n" << after;
    EXPECT_NE(after.find("( ) Overwrite it"), std::string::npos) << after;
    EXPECT_NE(after.find("(•) Append to it"), std::string::npos) << "the radio button\n" << after;
    EXPECT_NE(after.find("[x] Also read-only files"), std::string::npos) << "the check box\n" << after;
    std::string focus = before.substr(before.find(", focus"), 14);
    EXPECT_NE(after.find(focus), std::string::npos) << "the focus stays on the check box: " << focus << "\n" << after;
  }
}

TEST(WatchView, TheMenuReopensOnTheSameName) {
  Scratch s;
  // The cursor on "Confirm delete"; a new dialog is added before it, so
  // that its index changes; Enter then opens "Confirm delete".
  std::string original = readFile(s.file("tools.dlg"));
  std::string changed = replaced(original, "name \"Confirm delete\"",
                                 "name \"Added\"\nTEXT 0 1 1 0 1 F 0 () F \"added\"\n\nname \"Confirm delete\"");
  int status = viewWhileChanging(s, "Down Reload Enter Esc Esc",
                                 {[&](const std::string &file) { writeByRename(file, changed); }});
  EXPECT_EQ(status, 0);
  std::string menu = afterReload(s.file("screens.txt"), 1);
  EXPECT_NE(menu.find("Added"), std::string::npos) << menu;
  std::vector<std::string> all = dumps(s.file("screens.txt"));
  ASSERT_GE(all.size(), 4u);
  EXPECT_NE(all[3].find("Delete the selected files?"), std::string::npos) << all[3];
}

TEST(WatchView, ErrorsKeepTheLastGoodVersionUntilFixed) {
  Scratch s;
  std::string original = readFile(s.file("tools.dlg"));
  std::string broken = replaced(original, "TEXT 0 5 3 0 3", "TXET 0 5 3 0 3");
  std::string fixed = replaced(original, "\"&To:\"", "\"&Into:\"");
  int status = viewWhileChanging(s, "Enter Tab \"abc\" Reload F3 F3 Reload Esc Esc",
                                 {[&](const std::string &file) { writeInPlace(file, broken); },
                                  [&](const std::string &file) { writeInPlace(file, fixed); }});
  EXPECT_EQ(status, 0);
  // F3 on the kept version says which version it inspects.
  EXPECT_NE(readFile(s.file("screens.txt")).find("This is the last good version: the file now has errors."),
            std::string::npos);
  std::string kept = afterReload(s.file("screens.txt"), 1);
  EXPECT_NE(kept.find("To:    D:\\backup\\abc"), std::string::npos) << "the last good version\n" << kept;
  EXPECT_EQ(bottomRow(kept).rfind("1 error, 0 warnings: tools.dlg:17: `TXET` is no item type", 0), 0u) << kept;
  std::string good = afterReload(s.file("screens.txt"), 2);
  EXPECT_NE(good.find("Into:  D:\\backup\\abc"), std::string::npos) << good;
  EXPECT_EQ(bottomRow(good).find("error"), std::string::npos) << "no error on the status line\n" << good;
}

TEST(WatchView, AVanishedDialogBringsBackTheMenuWithANotice) {
  Scratch s;
  std::string original = readFile(s.file("tools.dlg"));
  std::string renamed = replaced(original, "name \"Copy\"", "name \"Duplicate\"");
  int status =
      viewWhileChanging(s, "Enter Reload Esc", {[&](const std::string &file) { writeInPlace(file, renamed); }});
  EXPECT_EQ(status, 0);
  std::string menu = afterReload(s.file("screens.txt"), 1);
  EXPECT_NE(menu.find("Select Dialog"), std::string::npos) << menu;
  EXPECT_NE(menu.find("Duplicate"), std::string::npos) << menu;
  EXPECT_EQ(bottomRow(menu).rfind("dialog \"Copy\" is no longer in tools.dlg", 0), 0u) << menu;
}

// ---- view: bad input while watched ----

TEST(WatchView, BadVersionsKeepThePreviewUp) {
  struct Row {
    const char *label;
    std::function<void(const std::string &)> change;
    const char *status;  // the start of the status line
  } rows[] = {
      {"deleted", [](const std::string &f) { unlink(f.c_str()); }, "1 error, 0 warnings: tools.dlg:1: cannot read"},
      {"emptied", [](const std::string &f) { writeInPlace(f, ""); }, "tools.dlg defines no dialog"},
      {"replaced by a directory",
       [](const std::string &f) {
         unlink(f.c_str());
         mkdir(f.c_str(), 0700);
       },
       "1 error, 0 warnings: tools.dlg:1: cannot read the file: is a directory"},
      {"grown to 100 MB", [](const std::string &f) { ASSERT_EQ(truncate(f.c_str(), 100 << 20), 0); },
       "tools.dlg holds 100 MB, more than the 16 MB a preview reads"},
      {"unreadable", [](const std::string &f) { chmod(f.c_str(), 0); },
       "1 error, 0 warnings: tools.dlg:1: cannot read"},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    if (geteuid() == 0 && std::string(row.label) == "unreadable") continue;  // root reads it all the same
    Scratch s;
    int status = viewWhileChanging(s, "Enter Reload Esc Esc", {row.change});
    EXPECT_EQ(status, 0);
    std::string kept = afterReload(s.file("screens.txt"), 1);
    EXPECT_NE(kept.find("From:  C:\\work\\*.dlg"), std::string::npos) << "the preview stays\n" << kept;
    EXPECT_EQ(bottomRow(kept).rfind(row.status, 0), 0u) << kept;
  }
}

TEST(WatchView, ALanguageFileWithBrokenEscapesReloads) {
  Scratch s;
  int status = viewWhileChanging(s, "Enter Reload Esc Esc", {[](const std::string &file) {
                                   std::string lng = file.substr(0, file.rfind('/') + 1) + "ExamplesEng.lng";
                                   writeInPlace(lng, ".Language=English,English\n\"\\\n\"a \\q \\\"\n\"\\\\\\");
                                 }});
  EXPECT_EQ(status, 0);
  std::string after = afterReload(s.file("screens.txt"), 1);
  EXPECT_NE(after.find("From:  C:\\work\\*.dlg"), std::string::npos) << after;
}

// ---- render ----

TEST(WatchRender, DrawsAFrameForEachChange) {
  Scratch s;
  Background run(s, "render --watch demo.dlg Demo");
  ASSERT_TRUE(waitFor(run.out, "A \"tessel\" tour")) << readFile(run.err);
  // A broken escape in the language file beside it, then a version with an
  // error (no frame, one line on stderr), then a good version.
  writeInPlace(s.file("ExamplesEng.lng"),
               replaced(readFile(s.file("ExamplesEng.lng")), "\"A \\\"tessel\\\" tour\"", "\"A \\q tour\\\""));
  EXPECT_TRUE(waitFor(run.out, "A \\q tour\\")) << readFile(run.out);
  std::string demo = readFile(s.file("demo.dlg"));
  writeInPlace(s.file("demo.dlg"), demo + "name Broken\nTXET\n");
  EXPECT_TRUE(waitFor(run.err, "error")) << readFile(run.err);
  writeByRename(s.file("demo.dlg"), replaced(demo, "Yellow on blue", "Green on blue"));
  EXPECT_TRUE(waitFor(run.out, "Green on blue")) << readFile(run.out);
  kill(run.pid, SIGTERM);
  run.finish();
  std::string out = readFile(run.out);
  EXPECT_EQ(occurrences(out, "tour"), 3u) << "three frames\n" << out;
  EXPECT_NE(readFile(run.err).find("tessel: 2 errors, 2 warnings: demo.dlg:68: dialog \"Broken\" has no items"),
            std::string::npos)
      << readFile(run.err);
}

}  // namespace
