// The file watch under the ways a file changes on disk: each way an editor
// saves counts as one change, files beside it that are no language file do
// not count, and a burst of writes settles into few changes.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "host/watch.h"

namespace {

struct Scratch {
  char path[64] = "/tmp/tessel-watch-unit-XXXXXX";
  std::string dir;
  Scratch() { dir = std::string(mkdtemp(path)) + "/"; }
  ~Scratch() {
    std::string command = "rm -rf '" + std::string(path) + "'";
    if (system(command.c_str()) != 0) ADD_FAILURE() << command;
  }
};

void write(const std::string &path, const std::string &text) { std::ofstream(path, std::ios::trunc) << text; }

// Changes counted until the watch stays quiet for quietMs.
int changesUntilQuiet(FileWatch *w, int quietMs) {
  int n = 0;
  while (fileWatchWait(w, quietMs)) n++;
  return n;
}

TEST(FileWatch, EachWayOfChangingCountsOnce) {
  struct Row {
    const char *label;
    std::function<void(const std::string &dir)> change;
    int changes;
  } rows[] = {
      {"truncated and written", [](const std::string &d) { write(d + "a.dlg", "name B\n"); }, 1},
      {"written to a new file renamed over it",
       [](const std::string &d) {
         write(d + "a.dlg.tmp", "name B\n");
         rename((d + "a.dlg.tmp").c_str(), (d + "a.dlg").c_str());
       },
       1},
      {"deleted", [](const std::string &d) { unlink((d + "a.dlg").c_str()); }, 1},
      {"made unreadable", [](const std::string &d) { chmod((d + "a.dlg").c_str(), 0); }, 1},
      {"a language file beside it", [](const std::string &d) { write(d + "Other.LNG", "\"x\"\n"); }, 1},
      {"another file beside it", [](const std::string &d) { write(d + "screens.txt", "x"); }, 0},
      {"a file of a similar name", [](const std::string &d) { write(d + "a.dlg~", "x"); }, 0},
  };
  for (const Row &row : rows) {
    SCOPED_TRACE(row.label);
    Scratch s;
    write(s.dir + "a.dlg", "name A\n");
    FileWatch w;
    ASSERT_TRUE(fileWatchOpen(&w, (s.dir + "a.dlg").c_str()));
    EXPECT_EQ(fileWatchWait(&w, 0), 0) << "nothing yet";
    row.change(s.dir);
    EXPECT_EQ(changesUntilQuiet(&w, 200), row.changes);
    fileWatchClose(&w);
  }
}

TEST(FileWatch, BurstsSettleIntoFewChanges) {
  Scratch s;
  std::string file = s.dir + "a.dlg";
  write(file, "name A\n");
  FileWatch w;
  ASSERT_TRUE(fileWatchOpen(&w, file.c_str()));
  // a thousand writes at once
  int fd = open(file.c_str(), O_WRONLY | O_TRUNC);
  ASSERT_GE(fd, 0);
  for (int i = 0; i < 1000; i++) ASSERT_EQ(::write(fd, "name A\n", 7), 7);
  close(fd);
  EXPECT_EQ(changesUntilQuiet(&w, 200), 1);
  // a writer that never pauses, for a second: changes come at the latest
  // every WATCH_SETTLE_MAX_MS, not once per write, and not never
  std::atomic<bool> stop(false);
  std::atomic<int> writes(0);
  std::thread writer([&] {
    while (!stop) {
      write(file, "name A" + std::to_string(writes++) + "\n");
      usleep(500);
    }
  });
  auto start = std::chrono::steady_clock::now();
  int changes = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(1)) changes += fileWatchWait(&w, 100);
  stop = true;
  writer.join();
  changes += changesUntilQuiet(&w, 200);
  EXPECT_GE(changes, 2) << writes << " writes";
  EXPECT_LE(changes, 1000 / WATCH_SETTLE_MAX_MS + 3) << writes << " writes";
  EXPECT_GT(writes, 100);
  fileWatchClose(&w);
}

TEST(FileWatch, BadPaths) {
  FileWatch w;
  EXPECT_EQ(fileWatchOpen(&w, "/no/such/directory/a.dlg"), 0);
  EXPECT_EQ(fileWatchOpen(&w, "relative.dlg"), 0);
  EXPECT_EQ(fileWatchOpen(&w, "/tmp/"), 0) << "no file name";
  EXPECT_EQ(fileWatchWait(&w, 0), 0) << "a closed watch never changes";
  fileWatchClose(&w);
}

}  // namespace
