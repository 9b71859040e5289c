// Laying a dialog out by sight: each step changes exactly the fields it
// should (the file's other bytes, CR LF line ends among them, stay), the
// library loads the intended records, refusals change nothing, undo and redo
// step through the versions, and saving refuses a file changed on disk.
#include <gtest/gtest.h>

#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "author/design.h"
#include "dialog/dialog.h"
#include "tests/author/author_test_support.h"

namespace {

const std::string kFile =
    "; a dialog\r\n"
    "name A\r\n"
    "DOUBLEBOX 0  3 1 30 6 F 0 ()                F \"Box\"\r\n"
    "EDIT      1  5 3 20 3 T 0 ()                F \"\"\r\n"
    "BUTTON    2  0 5  0 5 F 0 (DIF_CENTERGROUP) T \"OK\"\r\n";

TEST(Design, EachStepChangesOnlyItsFields) {
  const struct {
    const char *name;
    int item;
    char step;  // m: move, r: resize, u: undo, y: redo
    int dx, dy;
    bool done;
    std::string line;  // the item's line afterwards (or the edit line's, for undo and redo)
  } steps[] = {
      {"move a box: both corners", 0, 'm', 2, 1, true, "DOUBLEBOX 0  5 2 32 7 F 0 ()                F \"Box\""},
      {"resize an edit field: its right column", 1, 'r', 5, 0, true,
       "EDIT      1  5 3 25 3 T 0 ()                F \"\""},
      {"an edit field has no height", 1, 'r', 0, 1, false, "EDIT      1  5 3 25 3 T 0 ()                F \"\""},
      {"a button moves down, its right column stays 0", 2, 'm', 0, 1, true,
       "BUTTON    2  0 6  0 6 F 0 (DIF_CENTERGROUP) T \"OK\""},
      {"past the first column", 2, 'm', -1, 0, false, "BUTTON    2  0 6  0 6 F 0 (DIF_CENTERGROUP) T \"OK\""},
      {"a box no smaller than its corners", 0, 'r', -40, 0, false,
       "DOUBLEBOX 0  5 2 32 7 F 0 ()                F \"Box\""},
      {"undo the button's move", 2, 'u', 0, 0, true, "BUTTON    2  0 5  0 5 F 0 (DIF_CENTERGROUP) T \"OK\""},
      {"redo it", 2, 'y', 0, 0, true, "BUTTON    2  0 6  0 6 F 0 (DIF_CENTERGROUP) T \"OK\""},
  };
  std::string path = writeScratch("design.dlg", kFile);
  author::Design d;
  std::string why;
  ASSERT_TRUE(author::designOpen(&d, path, "A", &why)) << why;
  for (const auto &s : steps) {
    SCOPED_TRACE(s.name);
    d.selected = s.item;
    std::string before = d.bytes;
    bool done = s.step == 'm'   ? author::designMove(&d, s.dx, s.dy, &why)
                : s.step == 'r' ? author::designResize(&d, s.dx, s.dy, &why)
                : s.step == 'u' ? author::designUndo(&d)
                                : author::designRedo(&d);
    EXPECT_EQ(done, s.done) << why;
    if (!done) {
      EXPECT_EQ(d.bytes, before) << "a refusal changes nothing";
    }
    const author::Item &item = author::designItems(d)[(size_t)s.item];
    EXPECT_EQ(d.analysis.lines[(size_t)item.line].text, s.line);
  }
  // Only the item lines changed; every other byte, CR LF included, stayed.
  EXPECT_EQ(d.bytes.substr(0, 20), kFile.substr(0, 20));
  EXPECT_EQ(std::count(d.bytes.begin(), d.bytes.end(), '\r'), 5);
  EXPECT_TRUE(author::designChanged(d));
  EXPECT_EQ(author::designStatus(d).rfind("BUTTON 2 at ", 0), 0u) << author::designStatus(d);
}

TEST(Design, SavingRefusesAFileChangedOnDisk) {
  std::string path = writeScratch("design_save.dlg", kFile);
  author::Design d;
  std::string why;
  ASSERT_TRUE(author::designOpen(&d, path, "A", &why)) << why;
  ASSERT_TRUE(author::designMove(&d, 1, 0, &why)) << why;
  ASSERT_TRUE(author::designSave(&d, &why)) << why;
  EXPECT_EQ(readWhole(path), d.bytes);
  EXPECT_FALSE(author::designChanged(d));
  ASSERT_TRUE(author::designMove(&d, 1, 0, &why)) << why;
  writeScratch("design_save.dlg", kFile + "; another program's line\r\n");
  EXPECT_FALSE(author::designSave(&d, &why));
  EXPECT_NE(why.find("changed on disk"), std::string::npos) << why;
  EXPECT_EQ(readWhole(path), kFile + "; another program's line\r\n");
  // A read-only file is left as it is.
  ASSERT_TRUE(author::designOpen(&d, path, "A", &why)) << why;
  ASSERT_TRUE(author::designMove(&d, 1, 0, &why)) << why;
  std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  EXPECT_FALSE(author::designSave(&d, &why));
  EXPECT_NE(why.find("cannot write"), std::string::npos) << why;
  std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_EQ(readWhole(path), kFile + "; another program's line\r\n");
  // A file deleted meanwhile: said once, then written anew.
  ASSERT_TRUE(author::designOpen(&d, path, "A", &why)) << why;
  ASSERT_TRUE(author::designMove(&d, 1, 0, &why)) << why;
  std::remove(path.c_str());
  EXPECT_FALSE(author::designSave(&d, &why));
  EXPECT_NE(why.find("was deleted"), std::string::npos) << why;
  EXPECT_TRUE(author::designSave(&d, &why)) << why;
  EXPECT_EQ(readWhole(path), d.bytes);
  EXPECT_FALSE(author::designOpen(&d, path, "Nope", &why));
}

// The changes of more than coordinates, in one session: each writes exactly
// the lines it names (every other byte stays), or is refused and changes
// nothing.
TEST(Design, FormsAddsAlignmentsAndTheTabOrder) {
  const std::string file =
      "ENUM { MOk, MCancel }\n"
      "name A 0 0 40 10\n"
      "DOUBLEBOX 0  3 1 36 8 F 0 ()                F \"Box\"\n"
      "TEXT      0  5 2  0 2 F 0 ()                F \"Name:\"\n"
      "EDIT      1  7 3 20 3 T 0 ()                F \"\"\n"
      "BUTTON    2 10 6  0 6 F 0 (DIF_CENTERGROUP) T %L% MOk\n"
      "BUTTON    3 20 6  0 6 F 0 ()                F \"Cancel\"\n";
  auto form = [](author::Design *d, std::string *why, void (*change)(author::ItemForm *)) {
    author::ItemForm f = author::designForm(*d);
    change(&f);
    return author::designApplyForm(d, f, why);
  };
  const struct {
    const char *name;
    int item;  // selected first
    std::function<bool(author::Design *, std::string *)> step;
    std::vector<std::pair<std::string, std::string>> lines;  // the file's lines replaced (all so far), or refused
  } steps[] = {
      {"a text",
       1,
       [&](author::Design *d, std::string *why) {
         return form(d, why, [](author::ItemForm *f) { f->text = "Full name:"; });
       },
       {{"F \"Name:\"", "F \"Full name:\""}}},
      {"a type, identifier and flag, each in its column",
       4,
       [&](author::Design *d, std::string *why) {
         return form(d, why, [](author::ItemForm *f) {
           f->type = "checkbox";
           f->id = "9";
           f->flags |= DIF_GROUP;
         });
       },
       {{"BUTTON    3 20 6  0 6 F 0 ()               ", "checkbox  9 20 6  0 6 F 0 (DIF_GROUP)      "}}},
      {"a message name",
       3,
       [&](author::Design *d, std::string *why) {
         return form(d, why, [](author::ItemForm *f) {
           f->text = "MCancel";
           f->flags = 0;
         });
       },
       {{"(DIF_CENTERGROUP) T %L% MOk", "()                T %L% MCancel"}}},
      {"a text with a quote",
       1,
       [&](author::Design *d, std::string *why) {
         return form(d, why, [](author::ItemForm *f) { f->text = "say \"hi\""; });
       },
       {}},
      {"a type the library does not know",
       1,
       [&](author::Design *d, std::string *why) {
         return form(d, why, [](author::ItemForm *f) { f->type = "LABEL"; });
       },
       {}},
      {"an edit field added after the selected line",
       1,
       [](author::Design *d, std::string *why) { return author::designAdd(d, DI_EDIT, 5, 5, why); },
       {{"F \"Full name:\"\n", "F \"Full name:\"\nEDIT      0  5 5 24 5 F 0 ()                F \"\"\n"}}},
      {"left edges, with nothing marked",
       1,
       [](author::Design *d, std::string *why) { return author::designAlignLeft(d, why); },
       {}},
      {"left edges: the field lines up with the text, keeping its width",
       3,
       [](author::Design *d, std::string *why) {
         author::designToggleMark(d);
         d->selected = 1;
         return author::designAlignLeft(d, why);
       },
       {{"EDIT      1  7 3 20 3", "EDIT      1  5 3 18 3"}}},
      {"a centred group takes no edit field",
       1,
       [](author::Design *d, std::string *why) { return author::designCentreGroup(d, why); },
       {}},
      {"a centred group on the text's row",
       1,
       [](author::Design *d, std::string *why) {
         d->marked = {5};
         return author::designCentreGroup(d, why);
       },
       {{"checkbox  9 20 6  0 6 F 0 (DIF_GROUP)       F", "checkbox  9 20 2  0 2 F 0 (DIF_GROUP+DIF_CENTERGROUP) F"},
        {"TEXT      0  5 2  0 2 F 0 ()               ", "TEXT      0  5 2  0 2 F 0 (DIF_CENTERGROUP)"}}},
      {"the first item earlier in the tab order",
       0,
       [](author::Design *d, std::string *why) { return author::designReorder(d, -1, why); },
       {}},
      {"the added field one place earlier",
       2,
       [](author::Design *d, std::string *why) { return author::designReorder(d, -1, why); },
       {{"\"Full name:\"\nEDIT      0  5 5 24 5 F 0 ()                F \"\"\n", "\"Full name:\"\n"},
        {"TEXT      0  5 2  0 2 F 0 (DIF_CENTERGROUP)",
         "EDIT      0  5 5 24 5 F 0 ()                F \"\"\nTEXT      0  5 2  0 2 F 0 (DIF_CENTERGROUP)"}}},
  };
  std::string path = writeScratch("design_more.dlg", file);
  author::Design d;
  std::string why;
  ASSERT_TRUE(author::designOpen(&d, path, "A", &why)) << why;
  std::string expected = file;
  for (const auto &s : steps) {
    SCOPED_TRACE(s.name);
    d.selected = s.item;
    std::string before = d.bytes;
    bool done = s.step(&d, &why);
    EXPECT_EQ(done, !s.lines.empty()) << why;
    for (const auto &line : s.lines) {
      size_t at = expected.find(line.first);
      ASSERT_NE(at, std::string::npos) << line.first;
      expected.replace(at, line.first.size(), line.second);
    }
    EXPECT_EQ(d.bytes, expected);
    if (done) {
      ASSERT_TRUE(author::designUndo(&d));  // each is one step
      EXPECT_EQ(d.bytes, before);
      ASSERT_TRUE(author::designRedo(&d));
    }
  }
  // Where a click lands: the smallest item under it, else none.
  EXPECT_EQ(author::designItemAt(d, 4, 1), 0);
  EXPECT_EQ(author::designItemAt(d, 6, 3), 3);
  EXPECT_EQ(author::designItemAt(d, 30, 7), -1);  // inside the box: a place for a new item
  // A drag's moves undo as one change.
  size_t depth = author::designChangeMark(d);
  d.selected = 3;
  std::string before = d.bytes;
  for (int i = 0; i < 3; i++) ASSERT_TRUE(author::designMove(&d, 1, 0, &why)) << why;
  author::designFoldChanges(&d, depth);
  ASSERT_TRUE(author::designUndo(&d));
  EXPECT_EQ(d.bytes, before);
  // The list to undo keeps the last 1000 versions; a drag's mark still folds.
  for (int i = 0; i < 1002; i++) ASSERT_TRUE(author::designMove(&d, i % 2 ? -1 : 1, 0, &why)) << why;
  EXPECT_EQ(d.undo.size(), 1000u);
  depth = author::designChangeMark(d);
  for (int i = 0; i < 2; i++) ASSERT_TRUE(author::designMove(&d, 0, 1, &why)) << why;
  author::designFoldChanges(&d, depth);
  ASSERT_TRUE(author::designUndo(&d));
  EXPECT_EQ(d.bytes, before);
  // Reloading a file another program changed keeps the selection's index.
  writeScratch("design_more.dlg", file + "; theirs\n");
  EXPECT_TRUE(author::designChangedOnDisk(d));
  ASSERT_TRUE(author::designReload(&d, &why)) << why;
  EXPECT_EQ(d.bytes, file + "; theirs\n");
  EXPECT_EQ(d.selected, 3);
  EXPECT_FALSE(author::designChanged(d));
  // A dialog without items takes its first after its header and help lines.
  std::string empty = writeScratch("design_empty.dlg", "name A\r\nhelp Topic\r\n; the end\r\n");
  ASSERT_TRUE(author::designOpen(&d, empty, "A", &why)) << why;
  ASSERT_TRUE(author::designAdd(&d, DI_BUTTON, 2, 3, &why)) << why;
  EXPECT_EQ(d.bytes, "name A\r\nhelp Topic\r\nBUTTON 0 2 3 0 3 F 0 () F \"Button\"\r\n; the end\r\n");
  // A far edge at the largest number the library reads goes no further.
  std::string far = writeScratch("design_far.dlg", "name A\nEDIT 1 5 3 2147483647 3 T 0 () F \"\"\n");
  ASSERT_TRUE(author::designOpen(&d, far, "A", &why)) << why;
  EXPECT_FALSE(author::designResize(&d, 1, 0, &why));
  EXPECT_FALSE(author::designMove(&d, 1, 0, &why));
  EXPECT_NE(why.find("largest number"), std::string::npos) << why;
  EXPECT_FALSE(author::designChanged(d));
}

// Localised texts are those of the language file the host picks, and their
// message names where there is none.
TEST(Design, LocalisedTextsAreTheChosenLanguages) {
  const std::string dialog = "ENUM { MOk }\nname A\nBUTTON 1 0 2 0 2 F 0 () T %L% MOk\n";
  std::filesystem::create_directories(scratchDir() + "/design_lng");
  std::string plain = writeScratch("design_plain.dlg", dialog);
  std::string beside = writeScratch("design_lng/a.dlg", dialog);
  writeScratch("design_lng/E.lng", ".Language=English,English\n\"Go on\"\n");
  writeScratch("design_lng/G.lng", ".Language=German,Deutsch\n\"Weiter\"\n");
  const struct {
    std::string path, language, text;
  } rows[] = {{beside, "German", "Weiter"}, {beside, "English", "Go on"}, {plain, "German", "MOk"}};
  for (const auto &row : rows) {
    author::Design d;
    d.language = row.language;
    std::string why;
    ASSERT_TRUE(author::designOpen(&d, row.path, "A", &why)) << why;
    EXPECT_STREQ(author::designItems(d)[0].record.data, row.text.c_str()) << row.language;
  }
}

}  // namespace
