// The check places items where the window draws them: for every dialog of
// every dialog file of the tree and the fuzz corpora, the columns that
// tessel check judges equal the columns of the host's dialog window showing
// the library's records at the dialog's size, as ShowDialog shows them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "author/checks.h"
#include "author/engine.h"
#include "host/dialog_window.h"
#include "tests/author/author_test_support.h"

namespace fs = std::filesystem;

namespace {

TEST(LayoutLockstep, CheckedColumnsAreDrawnColumns) {
  int dialogs = 0;
  for (const std::string &path : everyDialogFile()) {
    if (fs::file_size(path) > (4u << 20)) continue;
    author::Analysis a = author::analyzeFile(path, author::Options());
    for (const author::Section &s : a.sections) {
      if (!s.loaded || s.items.empty() || s.items.size() > DIALOG_MAX_ITEMS) continue;
      SCOPED_TRACE(path + ": " + s.name);
      std::vector<DialogItem> records;
      for (const author::Item &item : s.items) records.push_back(item.record);
      static DialogView view;
      dialogOpen(&view, records.data(), (int)records.size(), -1, -1, s.width, s.height, 1 << 20, 1 << 20);
      std::vector<author::Place> places = author::placeItems(s);
      for (size_t i = 0; i < places.size(); i++) {
        long long left = places[i].left, limit = 1 << 24;
        if (left < -limit || left > limit) continue; /* past what any screen shows */
        ASSERT_EQ(view.column[i], left) << "item " << i;
      }
      dialogs++;
    }
  }
  EXPECT_GT(dialogs, 20);
}

}  // namespace
