// The tessel program end to end: render of every example dialog, scripted
// runs of view, config and try against expected screens, try's read-back, the registry settings
// they leave, and one clear line on stderr for every kind of bad argument or
// missing piece. Each test points TESSEL_REGISTRY at a store of its own.
//
// Expected outputs live in tests/host/expected/; TESSEL_UPDATE_EXPECTED=1
// rewrites them from what tessel prints (read the diff before committing).
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/platform.h"

namespace {

const std::string kBin = TESSEL_TEST_BIN_DIR;
const std::string kExamples = TESSEL_EXAMPLES_DIR;
const std::string kExpected = TESSEL_HOST_EXPECTED_DIR;
const char kConfigKey[] = "Software\\Far\\Plugins\\Formlens\\Config";

std::string readFile(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A scratch directory with the registry store of one test; removed after.
struct Scratch {
  char path[64] = "/tmp/tessel-e2e-XXXXXX";
  std::string dir, registry;
  Scratch() {
    dir = std::string(mkdtemp(path)) + "/";
    registry = dir + "registry.sqlite3";
    setenv("TESSEL_REGISTRY", registry.c_str(), 1);  // for plReg* in this process
  }
  ~Scratch() {
    std::string command = "rm -rf '" + std::string(path) + "'";
    if (system(command.c_str()) != 0) ADD_FAILURE() << command;
  }
  std::string file(const char *name) const { return dir + name; }
};

struct Outcome {
  int status = -1;
  std::string out, err;
};

// Runs a shell command line (tessel's path in front of args) with the
// scratch store and no terminal on standard input.
Outcome tessel(const Scratch &s, const std::string &args, const std::string &program = kBin + "tessel") {
  Outcome run;
  std::string out = s.dir + "stdout", err = s.dir + "stderr";
  std::string command = "cd '" + s.dir + "' && TESSEL_REGISTRY='" + s.registry + "' LC_ALL=C.UTF-8 '" + program + "' " +
                        args + " </dev/null >'" + out + "' 2>'" + err + "'";
  int raw = system(command.c_str());
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
  run.out = readFile(out);
  run.err = readFile(err);
  return run;
}

std::string quote(const std::string &text) { return "'" + text + "'"; }

// Compares text with an expected file (or rewrites it when asked to).
void expectFile(const std::string &text, const std::string &name) {
  std::string path = kExpected + name;
  if (getenv("TESSEL_UPDATE_EXPECTED")) {
    std::ofstream(path, std::ios::binary) << text;
    return;
  }
  EXPECT_EQ(text, readFile(path)) << "expected output: " << path;
}

uint32_t storedNumber(const char *name) {
  HKEY key;
  if (plRegOpenKey(PL_HKEY_CURRENT_USER, kConfigKey, PL_KEY_READ, &key) != 0) return 0xFFFFFFFFu;
  uint32_t value = 0xFFFFFFFFu, size = sizeof value, type = 0;
  if (plRegQueryValue(key, name, &type, &value, &size) != 0 || type != PL_REG_DWORD) value = 0xFFFFFFFFu;
  plRegCloseKey(key);
  return value;
}

void storeText(const char *keyPath, const char *name, const char *text) {
  HKEY key;
  ASSERT_EQ(plRegCreateKey(PL_HKEY_CURRENT_USER, keyPath, &key), 0);
  EXPECT_EQ(plRegSetValue(key, name, PL_REG_SZ, text, (uint32_t)strlen(text) + 1), 0);
  plRegCloseKey(key);
}

// ---- render ----

struct RenderRow {
  const char *file;  // below examples/, or the plug-in's file in bin/
  const char *args;  // dialog name and options
  const char *expected;
};

const RenderRow kRenderRows[] = {
    {"hello.dlg", "Hello", "render-hello.txt"},
    // every item type and flag family, every text source, localised texts
    {"demo.dlg", "Demo", "render-demo.txt"},
    {"demo.dlg", "Demo --lang-mode 1", "render-demo-names.txt"},
    {"demo.dlg", "Demo --lang-mode 2", "render-demo-ids.txt"},
    {"demo.dlg", "Demo --texts names", "render-demo-names.txt"},  // --texts names the modes
    {"demo.dlg", "Demo --texts ids", "render-demo-ids.txt"},
    {"demo.dlg", "Demo --texts localised", "render-demo.txt"},
    {"demo.dlg", "Demo --language German", "render-demo-german.txt"},
    {"demo.dlg", "Demo --language German --codepage 866", "render-demo-german-866.txt"},  // the same bytes, Cyrillic
    // several dialogs, names with a blank
    {"tools.dlg", "Copy", "render-tools-copy.txt"},
    {"tools.dlg", "'Confirm delete'", "render-tools-delete.txt"},
    {"tools.dlg", "About --size 40x8", "render-tools-about.txt"},
    // the plug-in's own configuration dialog, with the messages beside it
    {"@FL_main.dlg", "Config", "render-flens-config.txt"},
};

TEST(Render, Examples) {
  Scratch s;
  for (const RenderRow &row : kRenderRows) {
    SCOPED_TRACE(std::string(row.file) + " " + row.args);
    std::string file = row.file[0] == '@' ? kBin + (row.file + 1) : kExamples + row.file;
    Outcome run = tessel(s, "render " + quote(file) + " " + row.args);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    expectFile(run.out, row.expected);
  }
}

TEST(Render, RegistryTextsAndColourFormats) {
  Scratch s;
  storeText("Software\\Far\\Plugins\\Demo", "UserName", "Alice");
  storeText("Software\\Far\\Plugins\\Demo", "Greeting", "Hello from the registry");
  Outcome run = tessel(s, "render " + quote(kExamples + "demo.dlg") + " Demo");
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.out.find("Name:       Alice"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("Hello from the registry"), std::string::npos) << run.out;

  Outcome ansi = tessel(s, "render " + quote(kExamples + "demo.dlg") + " Demo --format ansi");
  ASSERT_EQ(ansi.status, 0) << ansi.err;
  EXPECT_NE(ansi.out.find("\033[0;30;47m"), std::string::npos) << "black on light grey";
  EXPECT_NE(ansi.out.find("\033[0;93;44m Yellow on blue "), std::string::npos) << "the item's own colour";
  EXPECT_NE(ansi.out.find("\033[0;30;46mAlice"), std::string::npos) << "an edit field: black on cyan";

  Outcome html = tessel(s, "render " + quote(kExamples + "tools.dlg") + " About --format html");
  ASSERT_EQ(html.status, 0) << html.err;
  EXPECT_EQ(html.out.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_NE(html.out.find("<title>About</title>"), std::string::npos);
  EXPECT_NE(html.out.find("<span style=\"color:#FFFFFF;background:#0000AA\"> 1.00 </span>"), std::string::npos)
      << html.out;
}

// NO_COLOR set and not empty: the ANSI output keeps to the monochrome styles
// (an edit field reverse, a hot key underlined, the shadow dim).
TEST(Render, NoColourGivesStylesOnly) {
  Scratch s;
  const std::string args = "render " + quote(kExamples + "tools.dlg") + " Copy --format ansi";
  struct Row {
    const char *value;  // null: unset
    bool colours;
  };
  const Row rows[] = {{nullptr, true}, {"", true}, {"1", false}};
  for (const Row &row : rows) {
    SCOPED_TRACE(row.value ? row.value : "(unset)");
    if (row.value) setenv("NO_COLOR", row.value, 1);
    else unsetenv("NO_COLOR");
    Outcome run = tessel(s, args);
    unsetenv("NO_COLOR");
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.find("\033[0;30;47m") != std::string::npos, row.colours) << "black on light grey";
    if (row.colours) continue;
    for (size_t at = 0; (at = run.out.find("\033[", at)) != std::string::npos; at++) {
      size_t end = run.out.find('m', at);
      ASSERT_NE(end, std::string::npos);
      std::string sgr = run.out.substr(at + 2, end - at - 2);
      EXPECT_TRUE(sgr == "0" || sgr == "0;1" || sgr == "0;2" || sgr == "0;4" || sgr == "0;7" || sgr == "0;4;7")
          << "no colour in \\033[" << sgr << "m";
    }
    EXPECT_NE(run.out.find("\033[0;7mC:\\work\\*.dlg"), std::string::npos) << "the edit field: reverse";
    EXPECT_NE(run.out.find("\033[0;4mF\033[0mrom:"), std::string::npos) << "the hot key: underlined";
    EXPECT_NE(run.out.find("\033[0;2m  \033[0m"), std::string::npos) << "the shadow: dim";
  }
}

// ---- view and config, scripted ----

TEST(View, BrowseAFileOpeningTwoDialogs) {
  Scratch s;
  std::string screens = s.file("screens.txt");
  // Copy: type into the source field, cancel; Confirm delete: tick the check
  // box by its hot key and press Delete; then close the menu.
  Outcome run = tessel(s, "view " + quote(kExamples + "tools.dlg") + " --screen " + quote(screens) +
                              " --keys 'Enter End BS BS BS \"txt\" Esc Down Enter A-a Enter Esc'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "");
  expectFile(readFile(screens), "view-tools.txt");
}

// F1 shows the topic of the plug-in's help file that the window names.
TEST(View, F1ShowsTheTopicOfThePluginsHelpFile) {
  Scratch s;
  std::string screens = s.file("screens.txt");
  Outcome run =
      tessel(s, "view " + quote(kExamples + "tools.dlg") + " --screen " + quote(screens) + " --keys 'F1 Enter Esc'");
  EXPECT_EQ(run.status, 0) << run.err;
  std::string text = readFile(screens);
  EXPECT_NE(text.find("Flens dialog viewer"), std::string::npos) << text;
  EXPECT_NE(text.find("Flens shows the dialogs of a dialog description file"), std::string::npos) << text;
}

TEST(View, ConfigurationTakesEffectInTheNextPreview) {
  Scratch s;
  std::string first = s.file("first.txt"), config = s.file("config.txt"), second = s.file("second.txt");
  // Fresh store: the plug-in shows message names.
  Outcome before = tessel(s, "view " + quote(kExamples + "demo.dlg") + " --keys Enter --screen " + quote(first));
  EXPECT_EQ(before.status, 0) << before.err;
  EXPECT_NE(readFile(first).find("MTitle"), std::string::npos);
  // Choose "Item identifiers" (Tab to the chosen radio button, Down, Space),
  // toggle the check box twice, confirm with Enter.
  Outcome configure =
      tessel(s, "config --screen " + quote(config) + " --keys 'Tab Down Space S-Tab Space Space Enter'");
  EXPECT_EQ(configure.status, 0) << configure.err;
  expectFile(readFile(config), "config-identifiers.txt");
  EXPECT_EQ(storedNumber("LngMode"), 1u);
  EXPECT_EQ(storedNumber("Disable"), 0u);
  // The next preview shows the identifiers written in the file.
  Outcome after = tessel(s, "view " + quote(kExamples + "demo.dlg") + " --keys Enter --screen " + quote(second));
  EXPECT_EQ(after.status, 0) << after.err;
  expectFile(readFile(second), "view-demo-identifiers.txt");
}

TEST(View, CancelledConfigurationStoresNothingAndDisableDeclinesFiles) {
  Scratch s;
  Outcome cancelled = tessel(s, "config --keys 'Space Tab Down Esc'");
  EXPECT_EQ(cancelled.status, 0) << cancelled.err;
  EXPECT_EQ(storedNumber("LngMode"), 0xFFFFFFFFu) << "nothing stored";
  Outcome disable = tessel(s, "config --keys 'Space Enter'");
  EXPECT_EQ(disable.status, 0) << disable.err;
  EXPECT_EQ(storedNumber("Disable"), 1u);
  Outcome view = tessel(s, "view " + quote(kExamples + "demo.dlg") + " --keys Enter");
  EXPECT_EQ(view.status, 1);
  EXPECT_NE(view.err.find("did not take"), std::string::npos) << view.err;
  Outcome again = tessel(s, "config --keys Enter");
  EXPECT_EQ(again.status, 1);
  EXPECT_NE(again.err.find("offers no configuration"), std::string::npos) << again.err;
}

TEST(View, LibraryErrorsShowAsTheHostsMessageBox) {
  Scratch s;
  std::ofstream(s.file("broken.dlg")) << "ENUM { a, b\nname Broken\nTEXT 0 5 2 0 2 F 0 () F hello\n";
  std::string screens = s.file("screens.txt");
  Outcome run = tessel(s, "view broken.dlg --size 50x12 --screen " + quote(screens) + " --keys 'Enter Enter'");
  EXPECT_EQ(run.status, 0) << run.err;
  expectFile(readFile(screens), "view-enum-error.txt");
}

// --plugin: another plug-in in Flens's place, the example Greeter, with the
// language files of its own folder: its dialog used (a name typed over the
// one loaded, the second greeting chosen, "shout" ticked, OK), then what it
// reads back by identifier in its message box.
TEST(Config, HostsTheExamplePlugin) {
  Scratch s;
  const char kKeys[] = "'End BS BS BS BS BS \"Alice\" Down Down Space Down Space Enter'";
  const struct {
    const char *language, *label, *greeting;
  } rows[] = {
      {"English", "║ Your name: ", "║ GOOD DAY, ALICE! ║"},
      {"German", "║ Ihr Name: ", "║ GUTEN TAG, ALICE! ║"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.language);
    std::string screens = s.file(row.language);
    Outcome run = tessel(s, "config --plugin " + quote(kBin + "Greeter/Greeter.so") + " --language " + row.language +
                                " --screen " + quote(screens) + " --keys " + kKeys);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    std::string text = readFile(screens);
    EXPECT_NE(text.find(row.label), std::string::npos) << text;
    EXPECT_NE(text.find(row.greeting, text.rfind("=== screen")), std::string::npos) << "the last screen:\n" << text;
  }
}

// ---- try: the dialog used, then what the plug-in reads back ----

struct TryCheck {
  int index;
  const char *field;  // "text", "state" or "name"
  const char *text;   // the expected text or name
  int state;          // the expected state
};

struct TryRow {
  const char *keys;
  int exitId;
  std::vector<TryCheck> checks;
};

const TryRow kTryRows[] = {
    // type at the end of the name field, untick the check box, Enter: the default button
    {"End \"typed\" Tab Tab Tab Space Enter",
     1,
     {{2, "text", "nobodytyped", 0}, {11, "state", nullptr, 0}, {12, "state", nullptr, 0}, {25, "name", "eOk", 0}}},
    // a cancel keeps the states as loaded
    {"Esc", -1, {{11, "state", nullptr, 1}, {14, "state", nullptr, 1}, {15, "state", nullptr, 0}}},
    // a radio button by its hot key; the other of the run lets go
    {"A-b Enter", 1, {{14, "state", nullptr, 0}, {15, "state", nullptr, 1}}},
    // a password field reads back as typed; a button without brackets closes by its hot key
    {"Tab \"pw\" A-m", 3, {{4, "text", "secretpw", 0}, {4, "name", "ePassword", 0}, {27, "name", "eMore", 0}}},
};

TEST(Try, ScriptedRunsReadBackAsThePluginDoes) {
  Scratch s;
  for (const TryRow &row : kTryRows) {
    SCOPED_TRACE(row.keys);
    std::string args = "try " + quote(kExamples + "demo.dlg") + " Demo --keys " + quote(row.keys);
    Outcome json = tessel(s, args + " --json");
    ASSERT_EQ(json.status, 0) << json.err;
    nlohmann::json j = nlohmann::json::parse(json.out, nullptr, false);
    ASSERT_FALSE(j.is_discarded()) << json.out;
    EXPECT_EQ(j["exitId"], row.exitId);
    ASSERT_EQ(j["items"].size(), 28u);
    for (const TryCheck &check : row.checks) {
      const nlohmann::json &item = j["items"][(size_t)check.index];
      EXPECT_EQ(item["index"], check.index);
      if (check.text) EXPECT_EQ(item[check.field], check.text) << item.dump();
      else EXPECT_EQ(item[check.field], check.state) << item.dump();
    }
    // the table says the same: one row per item, after the exit line and the heading
    Outcome table = tessel(s, args);
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_EQ(table.out.rfind("exit: " + std::to_string(row.exitId), 0), 0u) << table.out;
    EXPECT_EQ((size_t)std::count(table.out.begin(), table.out.end(), '\n'), 2 + j["items"].size()) << table.out;
  }
}

TEST(Try, TableOfTheFirstRunAndTextsAliases) {
  Scratch s;
  Outcome run = tessel(s, "try " + quote(kExamples + "demo.dlg") + " Demo --keys " + quote(kTryRows[0].keys));
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.err, "") << "demo.dlg is clean";
  expectFile(run.out, "try-demo.txt");
  // --texts NAME and --lang-mode N read the same dialog
  const char *const aliases[][2] = {
      {"--texts localised", "--lang-mode 0"}, {"--texts names", "--lang-mode 1"}, {"--texts ids", "--lang-mode 2"}};
  std::string previous;
  for (const auto &alias : aliases) {
    SCOPED_TRACE(alias[0]);
    std::string args = "try " + quote(kExamples + "demo.dlg") + " Demo --keys Esc --json ";
    Outcome named = tessel(s, args + alias[0]), numbered = tessel(s, args + alias[1]);
    EXPECT_EQ(named.status, 0) << named.err;
    EXPECT_EQ(named.out, numbered.out);
    EXPECT_NE(named.out, previous) << "each mode shows other texts";
    previous = named.out;
  }
}

// The inspector (F3) in --screen dumps: where the focused item is written,
// its fields, the findings on its line; it follows the focus and F3 hides it.
struct InspectorRow {
  const char *example;  // copied into the scratch directory, so that dumps name it alone
  const char *copy;
  const char *args;
  const char *expected;
};

const InspectorRow kInspectorRows[] = {
    {"mistakes/buttons-and-keys.dlg", "keys.dlg", "try keys.dlg Keys --quiet --keys 'Tab F3 Esc'", "try-inspector.txt"},
    {"tools.dlg", "tools.dlg", "view tools.dlg --keys 'Enter F3 Tab F3 Esc Esc'", "view-inspector.txt"},
};

TEST(Inspector, ShowsTheFocusedItemInTheDumps) {
  for (const InspectorRow &row : kInspectorRows) {
    SCOPED_TRACE(row.args);
    Scratch s;
    std::ofstream(s.file(row.copy), std::ios::binary) << readFile(kExamples + row.example);
    std::string screens = s.file("screens.txt");
    Outcome run = tessel(s, std::string(row.args) + " --screen " + quote(screens));
    EXPECT_EQ(run.status, 0) << run.err;
    expectFile(readFile(screens), row.expected);
  }
}

TEST(Arguments, Version) {
  Scratch s;
  const std::regex version("tessel [0-9]+\\.[0-9]+ \\(Dialog\\.tsl 1\\.00\\)\n");
  Outcome run = tessel(s, "--version");
  EXPECT_EQ(run.status, 0);
  EXPECT_TRUE(std::regex_match(run.out, version)) << run.out;
  EXPECT_EQ(run.err, "");
  // without the library beside it: tessel's own version, and why not the library's
  std::string lonely = s.file("tessel");
  ASSERT_EQ(system(("cp '" + kBin + "tessel' '" + lonely + "'").c_str()), 0);
  Outcome alone = tessel(s, "--version", lonely);
  EXPECT_EQ(alone.status, 0);
  EXPECT_TRUE(std::regex_match(alone.out, std::regex("tessel [0-9]+\\.[0-9]+\n"))) << alone.out;
  EXPECT_NE(alone.err.find("cannot load the library"), std::string::npos) << alone.err;
}

// ---- bad arguments and missing pieces ----

struct BadRow {
  const char *args;
  int status;
  const char *message;  // part of the one line on stderr
};

const BadRow kBadRows[] = {
    {"", 2, "no command given"},
    {"frobnicate", 2, "unknown command \"frobnicate\""},
    {"--bogus view x.dlg", 2, "unknown option \"--bogus\""},
    {"view", 2, "view takes one file"},
    {"view a.dlg b.dlg", 2, "view takes one file"},
    {"config extra", 2, "config takes no file"},
    {"render @demo.dlg", 2, "render takes a file and a dialog name"},
    {"view missing.dlg --keys Esc", 1, "cannot open missing.dlg"},
    {"render missing.dlg Demo", 1, "cannot open missing.dlg"},
    {"view @ --keys Esc", 1, "is a directory"},
    {"render @ Demo", 1, "is a directory"},
    {"view @demo.dlg --keys 'Tabb'", 2, "unknown key name \"Tabb\""},
    {"view @demo.dlg --keys '\"open'", 2, "unterminated"},
    {"view @demo.dlg --keys", 2, "option --keys needs a value"},
    {"view @demo.dlg --size 10x3 --keys Esc", 2, "bad --size"},
    {"view @demo.dlg --size=80by25 --keys Esc", 2, "bad --size"},
    {"view @demo.dlg --codepage klingon --keys Esc", 2, "unknown code page"},
    {"view @demo.dlg --format ansi --keys Esc", 2, "--format belongs to render"},
    {"render @demo.dlg Demo --format pdf", 2, "bad --format"},
    {"render @demo.dlg Demo --lang-mode x", 2, "bad --lang-mode"},
    {"render @demo.dlg Demo --lang-mode 5", 2, "bad --lang-mode \"5\": give 0, 1 or 2"},
    {"render @demo.dlg Demo --lang-mode 4", 2, "bad --lang-mode"},
    {"render @demo.dlg Demo --lang-mode -1", 2, "bad --lang-mode"},
    {"render @demo.dlg Demo --lang-mode 01", 2, "bad --lang-mode"},
    {"render @demo.dlg Demo --texts Names", 2, "bad --texts \"Names\""},
    {"view @demo.dlg --texts ids --keys Esc", 2, "--texts belongs to render and try"},
    {"render @demo.dlg Demo --json", 2, "--json belongs to try"},
    {"try @demo.dlg", 2, "try takes a file and a dialog name"},
    {"try @demo.dlg Demo --format html --keys Esc", 2, "--format belongs to render"},
    {"try @demo.dlg Demo", 2, "no terminal"},
    {"try missing.dlg Demo --keys Esc", 1, "cannot open missing.dlg"},
    {"render @demo.dlg Demo --keys Esc", 2, "--keys belongs to view, config, try and design"},
    {"view @demo.dlg --lang-mode 1 --keys Esc", 2, "--lang-mode belongs to render"},
    {"view @demo.dlg", 2, "no terminal"},
    {"view @demo.dlg --keys Esc --screen /nonexistent/dir/s.txt", 1, "cannot write /nonexistent/dir/s.txt"},
    {"view @tools.dlg --keys Esc --codepage 437 --language Klingon", 0, nullptr},
    {"view @hello.dlg.missing --keys Esc", 1, "cannot open"},
    {"view --keys Esc -- --odd-name.dlg", 1, "cannot open --odd-name.dlg"},
    {"config --plugin missing.so --keys Esc", 1, "cannot open missing.so"},
};

TEST(Arguments, BadOnesGiveOneLineAndAStatus) {
  Scratch s;
  for (const BadRow &row : kBadRows) {
    std::string args = row.args;
    for (size_t at; (at = args.find('@')) != std::string::npos;) args.replace(at, 1, kExamples);
    SCOPED_TRACE(args);
    Outcome run = tessel(s, args);
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_EQ(run.out, "");
    if (!row.message) continue;
    EXPECT_EQ(run.err.rfind("tessel: ", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    EXPECT_NE(run.err.find(row.message), std::string::npos) << run.err;
  }
}

// A dialog that render and try cannot find is reported as tessel check
// reports findings, with the dialogs the file defines, and with the line
// that meant to open it as a note: a misspelt `name`, or a byte-order mark
// in front of it.
TEST(Arguments, AMissingDialogNamesItsNearestMiss) {
  Scratch s;
  const struct {
    const char *text;  // of confirm.dlg
    const char *args;
    const char *report;  // the start of standard error
  } rows[] = {
      {"name Demo\nTEXT 0 5 2 20 2 F 0 () F \"x\"\nname Other\nTEXT 0 5 2 20 2 F 0 () F \"x\"\n",
       "render confirm.dlg Nope",
       "confirm.dlg:1:1: error: the file defines no dialog \"Nope\" with items; it defines: Demo, Other "
       "[no-such-dialog]\n"},
      {"name Demo\nTEXT 0 5 2 20 2 F 0 () F \"x\"\n", "try confirm.dlg Nope --keys Esc",
       "confirm.dlg:1:1: error: the file defines no dialog \"Nope\" with items; it defines: Demo [no-such-dialog]\n"},
      {"; no dialog\n", "render confirm.dlg Nope",
       "confirm.dlg:1:1: error: the file defines no dialog \"Nope\" with items [no-such-dialog]\n"},
      {"ENUM { eOk }\nnmae \"Confirm\"\nTEXT 0 5 2 20 2 F 0 () F \"Sure?\"\nname Other\nTEXT 0 5 2 20 2 F 0 () F "
       "\"x\"\n",
       "render confirm.dlg Confirm",
       "confirm.dlg:1:1: error: the file defines no dialog \"Confirm\" with items; it defines: Other [no-such-dialog]\n"
       "confirm.dlg:2:1: note: the nearest miss: `nmae` is not `name`"},
      {"\xEF\xBB\xBFname Confirm\nTEXT 0 5 2 20 2 F 0 () F \"Sure?\"\n", "try confirm.dlg Confirm --keys Esc",
       "confirm.dlg:1:1: error: the file defines no dialog \"Confirm\" with items [no-such-dialog]\n"
       "confirm.dlg:1:1: note: the nearest miss: the file begins with a UTF-8 byte-order mark"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.args);
    FILE *f = fopen(s.file("confirm.dlg").c_str(), "wb");
    ASSERT_TRUE(f);
    fputs(row.text, f);
    fclose(f);
    Outcome run = tessel(s, row.args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind(row.report, 0), 0u) << run.err;
    EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1 + (strstr(row.report, "note:") != nullptr))
        << run.err;
  }
}

TEST(Arguments, HelpForEachCommand) {
  Scratch s;
  const char *const commands[] = {"--help",     "help",         "view --help", "config --help", "render --help",
                                  "try --help", "check --help", "fmt --help",  "lsp -h",        "header --help"};
  for (const char *command : commands) {
    SCOPED_TRACE(command);
    Outcome run = tessel(s, command);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(run.out.rfind("usage: tessel", 0), 0u) << run.out;
  }
}

// Every command but reg reads its options from one table: both forms of a
// value, "--" before a file named like an option, a refusal of another
// command's option, and a help page that lists each of its options.
struct CommandOptionsRow {
  const char *run;  // a run that succeeds (lsp: ends with its input), FILE standing for the file
  std::vector<const char *> listed;
  const char *foreign;  // another command's option, with its value
};

const CommandOptionsRow kCommandOptionsRows[] = {
    {"view --keys Esc FILE",
     {"--keys", "--screen", "--watch", "--size", "--language", "--codepage", "--help"},
     "--json"},
    {"config --keys Esc", {"--keys", "--screen", "--size", "--language", "--codepage"}, "--watch"},
    {"render FILE Hello",
     {"--format", "--texts", "--lang-mode", "--quiet", "--watch", "--size", "--language", "--codepage"},
     "--keys=Esc"},
    {"try --keys Esc FILE Hello",
     {"--json", "--texts", "--lang-mode", "--quiet", "--keys", "--screen", "--watch", "--size", "--codepage"},
     "--dialog Hello"},
    {"check FILE", {"--dialog", "--format", "--codepage"}, "--texts ids"},
    {"fmt --stdout FILE", {"--check", "--stdout"}, "--json"},
    {"lsp", {"--codepage"}, "--quiet"},
    {"header --output=x.h FILE", {"--output", "--check"}, "--stdout"},
};

// tessel design: scripted sessions, then the exact bytes of the file. Only
// the fields that changed are rewritten (CR LF and the formatter's columns
// kept); refusals, undo and a discarded session change nothing.
TEST(Design, SessionsChangeExactlyTheirFields) {
  const std::string file =
      "; laid out by sight\r\n"
      "name D\r\n"
      "DOUBLEBOX 0 3 1 30 6 F 0 ()                F \"Box\"\r\n"
      "EDIT      1 5 3 20 3 T 0 ()                F \"\"\r\n"
      "BUTTON    2 0 5  0 5 F 0 (DIF_CENTERGROUP) T \"OK\"\r\n";
  auto line = [&](int n, const std::string &text) {  // file with its line n (1-based) replaced
    std::string out;
    size_t at = 0;
    for (int i = 1; at < file.size(); i++) {
      size_t end = file.find("\r\n", at) + 2;
      out += i == n ? text + "\r\n" : file.substr(at, end - at);
      at = end;
    }
    return out;
  };
  const struct {
    const char *keys;
    int status;
    std::string after;
  } rows[] = {
      {"Right Right Down S-Right S-Down F2 Esc", 0, line(3, "DOUBLEBOX 0 5 2 33 8 F 0 ()                F \"Box\"")},
      {"Tab S-Left S-Left Up F2 Esc", 0, line(4, "EDIT      1 5 2 18 2 T 0 ()                F \"\"")},
      {"Right C-Z C-Y C-Z F2 Esc", 0, file},  // undone before saving
      {"Tab Tab Left Left F2", 0, file},      // the button: refused past column 0
      {"Down Esc Tab Enter", 0, file},        // leaving: discard
      {"Down Esc Enter", 0, line(3, "DOUBLEBOX 0 3 2 30 7 F 0 ()                F \"Box\"")},  // leaving: save
      {"Down", 3, file},  // keys ran out: nothing saved
      {"Tab F8 F2 Esc", 0,
       file.substr(0, file.find("EDIT")) + file.substr(file.find("BUTTON"))},  // the edit field deleted
      {"Tab Tab F5 F2 Esc", 0, file + "BUTTON    2 0 5  0 5 F 0 (DIF_CENTERGROUP) T \"OK\"\r\n"},  // the button copied
      // the dialog stands at 23,8 of the 80x25 screen: the mouse drags the field, clicks the button
      {"Drag:31,11-34,12 F2 Esc", 0, line(4, "EDIT      1 8 4 23 4 T 0 ()                F \"\"")},
      {"Drag:53,14-55,16 F2 Esc", 0,
       line(3, "DOUBLEBOX 0 3 1 32 8 F 0 ()                F \"Box\"")},  // its corner: resized
      {"Click:37,13 F4 BS BS BS BS BS BS \"CHECKBOX\" Enter F2 Esc", 0,
       line(5, "CHECKBOX  2 0 5  0 5 F 0 (DIF_CENTERGROUP) T \"OK\"")},  // retyped in the form
      {"Click:28,12 Ins End Enter F2 Esc", 0,  // inside the box: a radio button there, from the palette
       line(3,
            "DOUBLEBOX 0 3 1 30 6 F 0 ()                F \"Box\"\r\n"
            "RADIOBUTTON 0 5 4 0 4 F 0 ()               F \"Radio button\"")},
      {"Tab Space Tab Tab L F2 Esc", 0, line(4, "EDIT      1 3 3 18 3 T 0 ()                F \"\"")},  // left edges
      {"Tab + F2 Esc", 0,  // later in the tab order: the two lines change places
       file.substr(0, file.find("EDIT")) + file.substr(file.find("BUTTON")) +
           file.substr(file.find("EDIT"), file.find("BUTTON") - file.find("EDIT"))},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.keys);
    Scratch s;
    std::ofstream(s.file("d.dlg"), std::ios::binary) << file;
    Outcome run = tessel(s, std::string("design d.dlg D --keys ") + quote(row.keys) + " --screen screens.txt");
    EXPECT_EQ(run.status, row.status) << run.err;
    EXPECT_EQ(readFile(s.file("d.dlg")), row.after);
  }
  Scratch s;
  std::ofstream(s.file("d.dlg"), std::ios::binary) << file;
  Outcome refused = tessel(s, "design d.dlg D --keys 'Tab Tab Left' --screen screens.txt");
  EXPECT_NE(readFile(s.file("screens.txt")).find("refused: the item would leave"), std::string::npos)
      << readFile(s.file("screens.txt"));
}

TEST(Arguments, EachCommandReadsItsOptionsFromOneTable) {
  Scratch s;
  std::ofstream(s.file("--x.dlg"), std::ios::binary) << readFile(kExamples + "hello.dlg");
  std::ofstream(s.file("x.dlg"), std::ios::binary) << readFile(kExamples + "hello.dlg");
  auto line = [](const CommandOptionsRow &row, const std::string &file) {
    std::string args = row.run;
    size_t at = args.find("FILE");
    return at == std::string::npos ? args : args.replace(at, 4, file);
  };
  for (const CommandOptionsRow &row : kCommandOptionsRows) {
    SCOPED_TRACE(row.run);
    std::string command = std::string(row.run).substr(0, std::string(row.run).find(' '));
    Outcome help = tessel(s, command + " --help");
    EXPECT_EQ(help.status, 0);
    for (const char *option : row.listed)
      EXPECT_NE(help.out.find("\n  " + std::string(option) + " "), std::string::npos) << option << "\n" << help.out;
    Outcome plain = tessel(s, line(row, "x.dlg"));
    EXPECT_NE(plain.status, 2) << plain.err;
    Outcome joined = tessel(s, line(row, "x.dlg") + " --codepage=850");
    Outcome apart = tessel(s, line(row, "x.dlg") + " --codepage 850");
    Outcome unknown = tessel(s, line(row, "x.dlg") + " --codepage=klingon");
    bool codepage = std::count(row.listed.begin(), row.listed.end(), std::string("--codepage")) > 0;
    EXPECT_EQ(joined.status, codepage ? plain.status : 2) << joined.err;
    EXPECT_EQ(apart.status, joined.status) << apart.err;
    EXPECT_EQ(apart.out, joined.out);
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find(codepage ? "unknown code page \"klingon\"" : "--codepage belongs to"), std::string::npos)
        << unknown.err;
    Outcome foreign = tessel(s, line(row, "x.dlg") + " " + row.foreign);
    EXPECT_EQ(foreign.status, 2);
    std::string name = std::string(row.foreign).substr(0, std::string(row.foreign).find_first_of(" ="));
    EXPECT_EQ(foreign.err.rfind("tessel: " + name + " belongs to ", 0), 0u) << foreign.err;
    if (line(row, "") == row.run) continue;  // no file
    Outcome ended = tessel(s, line(row, "-- --x.dlg"));
    EXPECT_EQ(ended.status, plain.status) << ended.err;
    EXPECT_EQ(ended.out, plain.out);
    Outcome unended = tessel(s, line(row, "--x.dlg"));
    EXPECT_EQ(unended.status, 2);
    EXPECT_NE(unended.err.find("unknown option \"--x.dlg\""), std::string::npos) << unended.err;
  }
}

TEST(Arguments, MissingPluginOrLibrary) {
  Scratch s;
  // tessel alone in a directory: neither Flens.so nor Dialog.tsl beside it
  std::string lonely = s.file("tessel");
  std::string copy = "cp '" + kBin + "tessel' '" + lonely + "'";
  ASSERT_EQ(system(copy.c_str()), 0);
  Outcome view = tessel(s, "view " + quote(kExamples + "demo.dlg") + " --keys Esc", lonely);
  EXPECT_EQ(view.status, 1);
  EXPECT_NE(view.err.find("cannot load the plug-in"), std::string::npos) << view.err;
  EXPECT_NE(view.err.find("Flens.so does not exist"), std::string::npos) << view.err;
  Outcome render = tessel(s, "render " + quote(kExamples + "demo.dlg") + " Demo", lonely);
  EXPECT_EQ(render.status, 1);
  EXPECT_NE(render.err.find("cannot load the library"), std::string::npos) << render.err;
  // a file that is not a plug-in where the plug-in should be
  std::ofstream(s.file("Flens.so")) << "not a shared object";
  Outcome broken = tessel(s, "config --keys Esc", lonely);
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("cannot load the plug-in"), std::string::npos) << broken.err;
}

// ---- tessel reg and the plug-in: one store ----

TEST(Reg, RoundTripsThroughThePlugin) {
  Scratch s;
  const std::string key = std::string("\"HKCU\\") + kConfigKey + "\"";
  // a value written with reg is the plug-in's setting
  Outcome add = tessel(s, "reg add " + key + " /v LngMode /t REG_DWORD /d 1 /f");
  EXPECT_EQ(add.status, 0) << add.err;
  std::string screens = s.file("screens.txt");
  Outcome view = tessel(s, "view " + quote(kExamples + "demo.dlg") + " --keys Enter --screen " + quote(screens));
  EXPECT_EQ(view.status, 0) << view.err;
  EXPECT_NE(readFile(screens).find("[x] eCase"), std::string::npos) << "stored 1: identifiers";
  // what the configuration dialog stores, reg reads: "Localised texts" is 2
  Outcome configure = tessel(s, "config --keys 'Tab Down Space Enter'");  // Tab lands on the stored choice
  EXPECT_EQ(configure.status, 0) << configure.err;
  Outcome query = tessel(s, "reg query " + key + " /v LngMode");
  EXPECT_EQ(query.status, 0) << query.err;
  EXPECT_EQ(query.out, std::string("\nHKEY_CURRENT_USER\\") + kConfigKey + "\n    LngMode    REG_DWORD    0x2\n\n");
  // export, delete, import: the plug-in's settings come back
  Outcome exported = tessel(s, "reg export \"HKCU\\Software\\Far\\Plugins\" plugins.reg /y");
  EXPECT_EQ(exported.status, 0) << exported.err;
  Outcome removed = tessel(s, "reg delete \"HKCU\\Software\\Far\\Plugins\\Formlens\" /f");
  EXPECT_EQ(removed.status, 0) << removed.err;
  EXPECT_EQ(storedNumber("LngMode"), 0xFFFFFFFFu);
  Outcome imported = tessel(s, "reg import plugins.reg");
  EXPECT_EQ(imported.status, 0) << imported.err;
  EXPECT_EQ(storedNumber("LngMode"), 2u);
  EXPECT_EQ(storedNumber("Disable"), 0u);
  Outcome again = tessel(s, "reg query " + key + " /v LngMode");
  EXPECT_EQ(again.out, query.out);
}

TEST(Reg, BadArgumentsAndHelp) {
  Scratch s;
  const char *const bad[] = {"reg",
                             "reg add",
                             "reg frobnicate",
                             "reg query \"HKCU\\No\\Such\\Key\"",
                             "reg add \"HKXX\\Software\" /f",
                             "reg import missing.reg"};
  for (const char *args : bad) {
    SCOPED_TRACE(args);
    Outcome run = tessel(s, args);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
  }
  Outcome help = tessel(s, "reg --help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("REG"), std::string::npos);
}

}  // namespace
