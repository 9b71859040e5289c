// Minimal edits of item lines: only the fields set change, the blanks beside
// them keep the columns of a formatted file where the new text fits, and the
// library reads the intended item from every edited line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "author/edit.h"

namespace {

TEST(Edit, OnlyTheFieldsSetChange) {
  const std::string aligned = "BUTTON eOk     0 5  0 5 F 0 (DIF_CENTERGROUP) T %L% MOk";
  const struct {
    const char *name;
    std::string line;
    std::vector<std::pair<int, std::string>> fields;
    std::string expected;  // empty: refused
  } cases[] = {
      {"a number keeps its column's end",
       aligned,
       {{author::FIELD_X1, "10"}},
       "BUTTON eOk    10 5  0 5 F 0 (DIF_CENTERGROUP) T %L% MOk"},
      {"a wider number pushes the rest right by what it lacks",
       aligned,
       {{author::FIELD_X2, "100"}},
       "BUTTON eOk     0 5 100 5 F 0 (DIF_CENTERGROUP) T %L% MOk"},
      {"a shorter word gives its blanks back",
       aligned,
       {{author::FIELD_FLAGS, "()"}},
       "BUTTON eOk     0 5  0 5 F 0 ()                T %L% MOk"},
      {"an identifier keeps its column's start",
       aligned,
       {{author::FIELD_ID, "eCancel"}},
       "BUTTON eCancel 0 5  0 5 F 0 (DIF_CENTERGROUP) T %L% MOk"},
      {"tabs elsewhere stay",
       "TEXT\t0\t5 2 9 2 F 0 () F \"x\"",
       {{author::FIELD_Y1, "3"}},
       "TEXT\t0\t5 3 9 2 F 0 () F \"x\""},
      {"a tab before a changed field stays a tab",
       "TEXT\t0\t5\t2 9 2 F 0 () F \"x\"",
       {{author::FIELD_X1, "15"}},
       "TEXT\t0\t15\t2 9 2 F 0 () F \"x\""},
      {"several fields",
       "TEXT 0 5 2 9 2 F 0 () F \"Old\"",
       {{author::FIELD_X1, "7"}, {author::FIELD_TEXT, "\"New\""}},
       "TEXT 0 7 2 9 2 F 0 () F \"New\""},
      {"fields added after the last",
       "TEXT 0 5 2 9 2 F 0 () F",
       {{author::FIELD_SOURCE, "%T%"}, {author::FIELD_TEXT, "\"Hi\""}},
       "TEXT 0 5 2 9 2 F 0 () F %T% \"Hi\""},
      {"optional fields left out keep their defaults",
       "TEXT 0 5 2 9 2 F 0 () F",
       {{author::FIELD_TEXT, "\"Hi\""}},
       "TEXT 0 5 2 9 2 F 0 () F \"Hi\""},
      {"a field the library would read as another", "TEXT 0 5 2 9 2 F 0 () F", {{author::FIELD_FALLBACK, "x"}}, ""},
      {"no item line", "name Dialog", {{author::FIELD_X1, "1"}}, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    author::LineEdit edit;
    for (const auto &f : c.fields) author::setField(&edit, f.first, f.second);
    std::string out, why;
    bool done = author::editItemLine(c.line, edit, &out, &why);
    EXPECT_EQ(done, !c.expected.empty()) << why;
    if (done) {
      EXPECT_EQ(out, c.expected);
    }
  }
}

TEST(Edit, TheLibraryReadsTheIntendedItem) {
  const std::string line = "CHECKBOX 3 5 2 0 2 F 1 (DIF_GROUP) F \"&Case\"";
  DialogItem intended;
  int32_t id;
  ASSERT_TRUE(author::readItemLine(line, &intended, &id));
  intended.x1 = 12;
  author::LineEdit edit;
  author::setField(&edit, author::FIELD_X1, "12");
  std::string out, why;
  ASSERT_TRUE(author::editItemLine(line, edit, &out, &why)) << why;
  EXPECT_TRUE(author::proveItemLine(out, intended, id, &why)) << why;
  intended.y1 = 9;  // an edit that does not say what is intended is refused, naming the field
  EXPECT_FALSE(author::proveItemLine(out, intended, id, &why));
  EXPECT_EQ(why, "the library would read another top row from the new line");
}

}  // namespace
