// Help files: a topic found by name in the file of the language asked for,
// its heading and lines with the markup taken off.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/help.h"

namespace {

TEST(Help, MarkupComesOff) {
  const struct {
    const char *line, *plain;
  } rows[] = {
      {"#Disable# the plug-in", "Disable the plug-in"},
      {"see ~Configuration~@Config@ and more", "see Configuration and more"},
      {"a ## sign and a ~~ tilde", "a # sign and a ~ tilde"},
      {"an open #mark", "an open mark"},
      {"a lone ~tilde", "a lone tilde"},
  };
  for (const auto &row : rows) EXPECT_EQ(helpPlainLine(row.line), row.plain) << row.line;
}

TEST(Help, TopicOfTheLanguageAskedFor) {
  std::filesystem::path dir = std::filesystem::temp_directory_path() / "tessel_help_test";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "PlugEng.hlf")
      << ".Language=English,English\r\n@Contents\r\n$ #Title#\r\nEnglish text\r\n@Other\r\nnot this\r\n";
  std::ofstream(dir / "PlugGer.hlf") << ".Language=German,Deutsch\n@contents\n$ Titel\nDeutscher Text\n\n";
  std::string directory = dir.string() + "/";
  HelpTopic topic;
  ASSERT_TRUE(helpFind(directory.c_str(), "English", "Contents", &topic));
  EXPECT_EQ(topic.heading, "Title");
  EXPECT_EQ(topic.lines, std::vector<std::string>{"English text"});
  ASSERT_TRUE(helpFind(directory.c_str(), "German", "Contents", &topic));
  EXPECT_EQ(topic.lines, std::vector<std::string>{"Deutscher Text"});
  EXPECT_FALSE(helpFind(directory.c_str(), "English", "Missing", &topic));
  std::filesystem::remove_all(dir);
}

}  // namespace
