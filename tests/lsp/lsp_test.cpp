// tessel lsp end to end: a scripted client on the server's pipes drives the
// lifecycle, the framing (malformed bodies, wrong lengths, broken streams),
// every method the server advertises, position encodings and code pages,
// a 10 MB document and a burst of a thousand changes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "session.h"

namespace {

const std::string kUri = "file:///work/faulty.dlg";

// Line numbers (0-based) of the faulty document below.
const std::string kFaulty =
    "ENUM { MTitle, MOk }\n"                                      // 0
    "ENUM { eName = 2, eOk }\n"                                   // 1
    "name \"Config\"\n"                                           // 2
    "DOUBLEBOX 0 3 1 40 8 F 0 0 F %L% MTitle\n"                   // 3
    "EDIT eName 5 3 30 3 T \"Hist\" DIF_HISTORY F %T% \"x\"\n"    // 4
    "BUTTON eOK 0 6 0 6 F 0 (DIF_CENTERGROUP+YELOW) T %L% MOk\n"  // 5
    "CHEKBOX 1 5 2 0 2 F 0 () F \"x\"\n";                         // 6

Json textDocument(const std::string &uri = kUri) { return {{"uri", uri}}; }

Json at(const std::string &uri, int line, int character) {
  return {{"textDocument", textDocument(uri)}, {"position", {{"line", line}, {"character", character}}}};
}

Json range(int l1, int c1, int l2, int c2) {
  return {{"start", {{"line", l1}, {"character", c1}}}, {"end", {{"line", l2}, {"character", c2}}}};
}

void open(Session *s, const std::string &text, const std::string &uri = kUri, int version = 1) {
  s->notify("textDocument/didOpen",
            {{"textDocument", {{"uri", uri}, {"languageId", "dlg"}, {"version", version}, {"text", text}}}});
}

// "code@line:character-line:character" of each diagnostic.
std::vector<std::string> summary(const Json &published) {
  std::vector<std::string> out;
  for (const Json &d : published["diagnostics"]) {
    const Json &r = d["range"];
    out.push_back(d["code"].get<std::string>() + "@" + std::to_string(r["start"]["line"].get<int>()) + ":" +
                  std::to_string(r["start"]["character"].get<int>()) + "-" +
                  std::to_string(r["end"]["line"].get<int>()) + ":" + std::to_string(r["end"]["character"].get<int>()));
  }
  return out;
}

int errorCode(const Json &reply) { return reply.contains("error") ? reply["error"]["code"].get<int>() : 0; }

long long nowMs() {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (long long)t.tv_sec * 1000 + t.tv_nsec / 1000000;
}

// ---- lifecycle ----

TEST(Lsp, Lifecycle) {
  Session s;
  // Requests before initialize are refused; notifications are dropped.
  EXPECT_EQ(errorCode(s.answer(s.request("textDocument/hover", at(kUri, 0, 0)))), -32002);
  EXPECT_EQ(errorCode(s.answer(s.request("shutdown", nullptr))), -32002);
  open(&s, kFaulty);
  Json init = s.initialize();
  ASSERT_TRUE(init.contains("result")) << init.dump();
  const Json &caps = init["result"]["capabilities"];
  EXPECT_EQ(caps["positionEncoding"], "utf-16");  // the client offered nothing
  EXPECT_EQ(caps["textDocumentSync"]["change"], 2);
  for (const char *provider :
       {"hoverProvider", "completionProvider", "definitionProvider", "referencesProvider", "documentSymbolProvider",
        "documentFormattingProvider", "documentRangeFormattingProvider", "codeActionProvider"})
    EXPECT_TRUE(caps.contains(provider)) << provider;
  // The document opened before initialize was dropped.
  EXPECT_EQ(errorCode(s.answer(s.request("textDocument/hover", at(kUri, 0, 0)))), -32602);
  EXPECT_EQ(errorCode(s.answer(s.request("initialize", {{"capabilities", Json::object()}}))), -32600);
  Json down = s.answer(s.request("shutdown", nullptr));
  EXPECT_TRUE(down.contains("result") && down["result"].is_null()) << down.dump();
  EXPECT_EQ(errorCode(s.answer(s.request("textDocument/hover", at(kUri, 0, 0)))), -32600);
  s.notify("exit", nullptr);
  EXPECT_EQ(s.wait(), 0);
}

TEST(Lsp, ExitStatus) {
  const struct {
    const char *name;
    bool shutdown;
    bool exit;
    int status;
  } rows[] = {
      {"shutdown then exit", true, true, 0},
      {"exit without shutdown", false, true, 1},
      {"input ends without exit", true, false, 1},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.name);
    Session s;
    s.initialize();
    if (row.shutdown) s.answer(s.request("shutdown", nullptr));
    if (row.exit) s.notify("exit", nullptr);
    s.closeInput();
    EXPECT_EQ(s.wait(), row.status);
    if (!row.exit) {
      std::string err = s.errorOutput();
      EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    }
  }
}

// ---- framing and bad messages ----

TEST(Lsp, BadMessagesGetErrorsAndTheServerGoesOn) {
  const struct {
    const char *name;
    std::string body;
    int code;  // 0: no answer at all
  } rows[] = {
      {"not JSON", "{\"jsonrpc\": \"2.0\", \"id\": 1, \"method\": ", -32700},
      {"not an object", "[1, 2, 3]", -32600},
      {"no jsonrpc", "{\"id\": 2, \"method\": \"shutdown\"}", -32600},
      {"method not a string", "{\"jsonrpc\": \"2.0\", \"id\": 3, \"method\": 7}", -32600},
      {"id an object", "{\"jsonrpc\": \"2.0\", \"id\": {}, \"method\": \"shutdown\"}", -32600},
      {"params a number", "{\"jsonrpc\": \"2.0\", \"id\": 4, \"method\": \"shutdown\", \"params\": 5}", -32600},
      {"unknown request", "{\"jsonrpc\": \"2.0\", \"id\": 5, \"method\": \"textDocument/frobnicate\"}", -32601},
      {"unknown notification", "{\"jsonrpc\": \"2.0\", \"method\": \"$/frobnicate\"}", 0},
      {"cancel", "{\"jsonrpc\": \"2.0\", \"method\": \"$/cancelRequest\", \"params\": {\"id\": 1}}", 0},
      {"hover without position",
       "{\"jsonrpc\": \"2.0\", \"id\": 6, \"method\": \"textDocument/hover\", "
       "\"params\": {\"textDocument\": {\"uri\": \"file:///work/faulty.dlg\"}}}",
       -32602},
      {"negative position",
       "{\"jsonrpc\": \"2.0\", \"id\": 7, \"method\": \"textDocument/hover\", \"params\": "
       "{\"textDocument\": {\"uri\": \"file:///work/faulty.dlg\"}, \"position\": "
       "{\"line\": -1, \"character\": 0}}}",
       -32602},
      {"params nested 200000 deep",
       "{\"jsonrpc\": \"2.0\", \"id\": 9, \"method\": \"textDocument/hover\", \"params\": {\"textDocument\": " +
           std::string(200000, '[') + std::string(200000, ']') + "}}",
       -32602},
      {"document not open",
       "{\"jsonrpc\": \"2.0\", \"id\": 8, \"method\": \"textDocument/hover\", \"params\": "
       "{\"textDocument\": {\"uri\": \"file:///nowhere.dlg\"}, \"position\": "
       "{\"line\": 0, \"character\": 0}}}",
       -32602},
  };
  Session s;
  s.initialize();
  open(&s, kFaulty);
  for (const auto &row : rows) {
    SCOPED_TRACE(row.name);
    s.sendRaw("Content-Length: " + std::to_string(row.body.size()) + "\r\n\r\n" + row.body);
    int probe = s.request("textDocument/documentSymbol", {{"textDocument", textDocument()}});
    if (row.code) {
      Json reply = s.next();
      while (reply.value("method", "") == "textDocument/publishDiagnostics") reply = s.next();
      EXPECT_EQ(errorCode(reply), row.code) << reply.dump();
    }
    EXPECT_TRUE(s.answer(probe).contains("result"));
  }
  s.answer(s.request("shutdown", nullptr));
  s.notify("exit", nullptr);
  EXPECT_EQ(s.wait(), 0);
}

TEST(Lsp, BodyOfTheWrongLength) {
  Session s;
  s.initialize();
  // Too short: the cut body is no JSON, and the header that follows its rest
  // is found again.
  std::string body = "{\"jsonrpc\": \"2.0\", \"id\": 50, \"method\": \"shutdown\"}";
  s.sendRaw("Content-Length: " + std::to_string(body.size() - 3) + "\r\n\r\n" + body);
  EXPECT_EQ(errorCode(s.next()), -32700);
  Json reply = s.answer(s.request("textDocument/frobnicate", Json::object()));
  EXPECT_EQ(errorCode(reply), -32601);
  // Too long: the input ends before the body does.
  s.sendRaw("Content-Length: 500\r\n\r\n{\"jsonrpc\": \"2.0\"}");
  s.closeInput();
  EXPECT_EQ(s.wait(), 1);
  std::string err = s.errorOutput();
  EXPECT_NE(err.find("body"), std::string::npos) << err;
  EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
}

TEST(Lsp, StreamsThatCannotBeReadEndTheServer) {
  const struct {
    const char *name;
    std::string bytes;
    const char *says;
  } rows[] = {
      {"header without Content-Length", "Content-Type: application/vscode-jsonrpc\r\n\r\n{}", "Content-Length"},
      {"input ends inside a header", "Content-Length: 10\r\n", "header"},
      {"header without end", std::string(70000, 'x'), "header"},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.name);
    Session s;
    s.sendRaw(row.bytes);
    s.closeInput();
    EXPECT_EQ(s.wait(), 1);
    std::string err = s.errorOutput();
    EXPECT_NE(err.find(row.says), std::string::npos) << err;
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
  }
}

// ---- diagnostics ----

TEST(Lsp, DiagnosticsFollowChanges) {
  Session s;
  s.initialize();
  open(&s, kFaulty);
  Json first = s.diagnostics(kUri);
  ASSERT_FALSE(first.is_discarded());
  EXPECT_EQ(summary(first), (std::vector<std::string>{"unknown-identifier@5:7-5:10", "unknown-flag@5:40-5:45",
                                                      "unknown-type@6:0-6:7"}));
  const Json &d = first["diagnostics"][2];
  EXPECT_EQ(d["severity"], 1);
  EXPECT_EQ(d["source"], "tessel");
  EXPECT_NE(d["message"].get<std::string>().find("did you mean `CHECKBOX`"), std::string::npos);
  EXPECT_EQ(first["diagnostics"][0]["severity"], 2);

  const struct {
    const char *name;
    Json range;
    std::string text;
    std::vector<std::string> expected;
  } steps[] = {
      {"fix the type", range(6, 0, 6, 7), "CHECKBOX", {"unknown-identifier@5:7-5:10", "unknown-flag@5:40-5:45"}},
      {"fix the identifier and the flag", range(5, 7, 5, 45), "eOk 0 6 0 6 F 0 (DIF_CENTERGROUP+YELLOW", {}},
      {"break the top row", range(4, 13, 4, 14), "x", {"not-an-item@4:13-4:14"}},
      // the joined line's second half is words after the text, which the library drops
      {"join two lines", range(3, 39, 4, 0), " ", {"text-rest-dropped@3:40-3:90"}},
  };
  int version = 1;
  for (const auto &step : steps) {
    SCOPED_TRACE(step.name);
    s.notify("textDocument/didChange", {{"textDocument", {{"uri", kUri}, {"version", ++version}}},
                                        {"contentChanges", {{{"range", step.range}, {"text", step.text}}}}});
    Json published = s.diagnostics(kUri, version);
    ASSERT_FALSE(published.is_discarded());
    EXPECT_EQ(summary(published), step.expected);
  }
  s.notify("textDocument/didClose", {{"textDocument", textDocument()}});
  Json cleared = s.diagnostics(kUri);
  ASSERT_FALSE(cleared.is_discarded());
  EXPECT_TRUE(cleared["diagnostics"].empty());
}

// Positions count UTF-16 units unless UTF-8 was agreed; characters the code
// page lacks are findings; CR LF line ends read as the library reads them.
TEST(Lsp, PositionEncodingsAndCodePages) {
  // é is one byte of code page 437 and one UTF-16 unit; the clef (U+1D11E) is
  // in no code page and two UTF-16 units.
  const std::string text =
      "name A\r\n"
      "TEXT 0 5 2 0 2 F 0 0 F \"\xC3\xA9\xF0\x9D\x84\x9E\" \r\n"
      "BUTTON 1 5 3 0 3 F 0 (YELOW) F \"\xC3\xA9\"\r\n";
  const struct {
    Json capabilities;
    const char *encoding;
    std::vector<std::string> expected;
  } rows[] = {
      {Json::object(), "utf-16", {"not-in-codepage@1:25-1:27", "unknown-flag@2:22-2:27"}},
      {{{"general", {{"positionEncodings", {"utf-16", "utf-8"}}}}},
       "utf-8",
       {"not-in-codepage@1:26-1:30", "unknown-flag@2:22-2:27"}},
      {{{"general", {{"positionEncodings", {"utf-32"}}}}},
       "utf-32",
       {"not-in-codepage@1:25-1:26", "unknown-flag@2:22-2:27"}},
      {{{"offsetEncoding", {"utf-8", "utf-16"}}}, "utf-8", {"not-in-codepage@1:26-1:30", "unknown-flag@2:22-2:27"}},
  };
  for (const auto &row : rows) {
    SCOPED_TRACE(row.encoding);
    Session s;
    Json init = s.initialize(row.capabilities);
    EXPECT_EQ(init["result"]["capabilities"]["positionEncoding"], row.encoding);
    open(&s, text);
    std::vector<std::string> found;
    for (const std::string &d : summary(s.diagnostics(kUri)))
      if (d.rfind("not-in-codepage", 0) == 0 || d.rfind("unknown-flag", 0) == 0) found.push_back(d);
    EXPECT_EQ(found, row.expected);
    // Past the end of a line or of the document: clamped, not refused.
    for (Json p : {at(kUri, 1, 1000), at(kUri, 1000, 0)})
      EXPECT_TRUE(s.answer(s.request("textDocument/hover", p)).contains("result"));
  }
}

// ---- language features ----

TEST(Lsp, Hover) {
  const struct {
    int line, character;
    const char *says;  // "" for no hover
  } rows[] = {
      {4, 15, "field 4, right column, or width: EDIT with 30 >= left column 5, so x2 = 30"},
      {3, 16, "field 4, right column, or width: DOUBLEBOX with 40 >= left column 3, so x2 = 40"},
      {3, 19, "field 5, bottom row, or height: DOUBLEBOX with 8 >= top row 1, so y2 = 8"},
      {5, 30, "flags 0x4000:\n  DIF_CENTERGROUP 0x4000\n  YELOW is no flag or colour name: ignored"},
      {4, 32, "flags 0x40000:\n  DIF_HISTORY 0x40000"},
      {4, 5, "`eName` is ENUM entry 2 (table position 2, value 2): the item's identifier is 2"},
      {5, 53, "the text is message 1 of the language file"},
      {5, 50, "%L%: the text is a message"},
      {4, 0, "EDIT, type code 4"},
      {4, 22, "the edit field's history name"},
      {2, 2, "dialog \"Config\": 44 x 10, 3 items, help topic Contents"},
      {0, 1, "ENUM block of 2 entries\n  MTitle = 0, position 0\n  MOk = 1, position 1"},
      {1, 19, "ENUM entry `eOk` = 3, table position 3"},
      {6, 2, ""},  // not an item
  };
  Session s;
  s.initialize();
  open(&s, kFaulty);
  for (const auto &row : rows) {
    SCOPED_TRACE(std::to_string(row.line) + ":" + std::to_string(row.character));
    Json reply = s.answer(s.request("textDocument/hover", at(kUri, row.line, row.character)));
    ASSERT_TRUE(reply.contains("result")) << reply.dump();
    if (!row.says[0]) {
      EXPECT_TRUE(reply["result"].is_null()) << reply.dump();
      continue;
    }
    ASSERT_TRUE(reply["result"].is_object()) << reply.dump();
    std::string value = reply["result"]["contents"]["value"];
    EXPECT_NE(value.find(row.says), std::string::npos) << value;
  }
}

TEST(Lsp, Completion) {
  const std::string text = kFaulty +
                           "TEXT 0 5 2 0 2 F 0 (DIF_BOX\n"     // 7: in a flag list
                           "BUTTON eO\n"                       // 8: an identifier
                           "BUTTON 1 0 6 0 6 F 0 0 F \n"       // 9: after the default field
                           "BUTTON 1 0 6 0 6 F 0 0 F %L% M\n"  // 10: a message name
                           "CH\n"                              // 11: a type
                           "name \n";                          // 12: a new dialog's name
  const struct {
    int line, character;
    const char *has;  // a label that must be offered; "" for none at all
    const char *lacks;
  } rows[] = {
      {7, 27, "DIF_BOXCOLOR", "TEXT"},
      {7, 27, "BK_BLUE", "eOk"},
      {8, 9, "eOk", "DIF_GROUP"},
      {9, 25, "%L%", "eOk"},
      {10, 30, "MTitle", "%L%"},
      {11, 2, "CHECKBOX", "DIF_GROUP"},
      {12, 5, "", ""},
  };
  Session s;
  s.initialize();
  open(&s, text);
  for (const auto &row : rows) {
    SCOPED_TRACE(std::to_string(row.line) + ":" + std::to_string(row.character));
    Json reply = s.answer(s.request("textDocument/completion", at(kUri, row.line, row.character)));
    ASSERT_TRUE(reply.contains("result")) << reply.dump();
    std::vector<std::string> labels;
    for (const Json &item : reply["result"]["items"]) labels.push_back(item["label"]);
    if (!row.has[0]) {
      EXPECT_TRUE(labels.empty());
      continue;
    }
    EXPECT_NE(std::find(labels.begin(), labels.end(), row.has), labels.end());
    EXPECT_EQ(std::find(labels.begin(), labels.end(), row.lacks), labels.end());
  }
  // A flag candidate replaces only the word after the list's last separator.
  Json reply = s.answer(s.request("textDocument/completion", at(kUri, 7, 27)));
  EXPECT_EQ(reply["result"]["items"][0]["textEdit"]["range"], range(7, 20, 7, 27));
}

TEST(Lsp, DefinitionAndReferences) {
  Session s;
  s.initialize();
  open(&s, kFaulty);
  // From a use to the entry, and from the entry to itself.
  for (Json p : {at(kUri, 4, 7), at(kUri, 1, 8)}) {
    Json reply = s.answer(s.request("textDocument/definition", p));
    EXPECT_EQ(reply["result"]["range"], range(1, 7, 1, 12)) << reply.dump();
  }
  Json none = s.answer(s.request("textDocument/definition", at(kUri, 4, 1)));
  EXPECT_TRUE(none["result"].is_null());
  Json params = at(kUri, 0, 16);
  params["context"] = {{"includeDeclaration", true}};
  Json refs = s.answer(s.request("textDocument/references", params));
  ASSERT_EQ(refs["result"].size(), 2u) << refs.dump();
  EXPECT_EQ(refs["result"][0]["range"], range(0, 15, 0, 18));
  EXPECT_EQ(refs["result"][1]["range"], range(5, 53, 5, 56));
  params["context"]["includeDeclaration"] = false;
  EXPECT_EQ(s.answer(s.request("textDocument/references", params))["result"].size(), 1u);
}

TEST(Lsp, DocumentSymbols) {
  Session s;
  s.initialize();
  open(&s, kFaulty);
  Json reply = s.answer(s.request("textDocument/documentSymbol", {{"textDocument", textDocument()}}));
  const Json &all = reply["result"];
  ASSERT_EQ(all.size(), 3u) << reply.dump();
  EXPECT_EQ(all[0]["name"], "ENUM");
  EXPECT_EQ(all[0]["children"][1]["name"], "MOk");
  EXPECT_EQ(all[1]["children"].size(), 2u);
  EXPECT_EQ(all[2]["name"], "Config");
  EXPECT_EQ(all[2]["detail"], "44 x 10, 3 items");
  ASSERT_EQ(all[2]["children"].size(), 3u);
  EXPECT_EQ(all[2]["children"][1]["name"], "EDIT eName");
  EXPECT_EQ(all[2]["children"][1]["detail"], "x");
  EXPECT_EQ(all[2]["range"], range(2, 0, 6, 30));
}

TEST(Lsp, QuickFixes) {
  Session s;
  s.initialize();
  open(&s, kFaulty);
  Json params = {
      {"textDocument", textDocument()}, {"range", range(5, 0, 6, 0)}, {"context", {{"diagnostics", Json::array()}}}};
  Json reply = s.answer(s.request("textDocument/codeAction", params));
  const Json published = s.diagnostics(kUri)["diagnostics"];
  std::vector<std::string> fixes;
  for (const Json &action : reply["result"]) {
    EXPECT_EQ(action["kind"], "quickfix");
    // the fix names its diagnostic as it was published, field for field
    const Json &fixed = action["diagnostics"][0];
    EXPECT_NE(std::find(published.begin(), published.end(), fixed), published.end()) << fixed.dump();
    const Json &edit = action["edit"]["changes"][kUri][0];
    fixes.push_back(edit["newText"].get<std::string>() + "@" +
                    std::to_string(edit["range"]["start"]["character"].get<int>()));
  }
  EXPECT_EQ(fixes, (std::vector<std::string>{"eOk@7", "YELLOW@40", "CHECKBOX@0"}));
}

TEST(Lsp, Formatting) {
  Session s;
  s.initialize();
  open(&s, kFaulty);
  Json whole = s.answer(s.request("textDocument/formatting", {{"textDocument", textDocument()},
                                                              {"options", {{"tabSize", 2}, {"insertSpaces", true}}}}));
  ASSERT_TRUE(whole["result"].is_array()) << whole.dump();
  Json part =
      s.answer(s.request("textDocument/rangeFormatting", {{"textDocument", textDocument()},
                                                          {"range", range(3, 0, 4, 0)},
                                                          {"options", {{"tabSize", 2}, {"insertSpaces", true}}}}));
  ASSERT_TRUE(part["result"].is_array()) << part.dump();
  for (const Json &edit : part["result"]) EXPECT_EQ(edit["range"]["start"]["line"], 3);
  // A text the code page cannot hold is not formatted (it would lose characters).
  open(&s, "name A\nTEXT 0 5 2 0 2 F 0 0 F \"\xE2\x82\xAC\"\n", "file:///euro.dlg");
  Json refused = s.answer(s.request("textDocument/formatting", {{"textDocument", textDocument("file:///euro.dlg")}}));
  EXPECT_EQ(errorCode(refused), -32803);
}

// A dialog file and the language files beside it: the layout judged with
// each language's texts (the note at the language file's line), a language
// file's own findings, and each re-checked when the other changes in the
// editor or closes (then read from disk again).
TEST(Lsp, LanguageFilesBesideADialog) {
  char dir[] = "/tmp/tessel-lsp-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  // TESSEL_LSP_URI_ROOT: how the client names the root, "file:///z%3A" for a
  // Windows server under Wine (a drive letter, escaped as editors send it).
  const char *root = getenv("TESSEL_LSP_URI_ROOT");
  const std::string base = dir, uriBase = (root ? root : "file://") + base;
  const std::string dialogUri = uriBase + "/a.dlg", germanUri = uriBase + "/G.lng";
  auto write = [&](const char *name, const std::string &text) {
    FILE *f = fopen((base + "/" + name).c_str(), "wb");
    fputs(text.c_str(), f);
    fclose(f);
  };
  write("E.lng", ".Language=English,English\n\"Find\"\n\"&Case\"\n\"&Words\"\n");
  write("G.lng", ".Language=German,Deutsch\n\"Suche\"\n\"&Gross\"\n\"&Ganz\"\n");
  const std::string dialog =
      "ENUM { MTitle, MCase, MWords }\nname A\nDOUBLEBOX 0 3 1 30 5 F 0 () F %L% MTitle\n"
      "CHECKBOX 1 5 2 0 2 F 0 () F %L% MCase\nCHECKBOX 2 5 3 0 3 F 0 () F %L% MWords\n";
  Session s;
  s.initialize();
  open(&s, dialog, dialogUri);
  Json clash = s.diagnostics(dialogUri);
  EXPECT_EQ(summary(clash), std::vector<std::string>{"hotkey-clash@4:32-4:38"});
  ASSERT_EQ(clash["diagnostics"].size(), 1u);
  const Json &related = clash["diagnostics"][0]["relatedInformation"][0]["location"];
  EXPECT_EQ(related["uri"], germanUri);
  EXPECT_EQ(related["range"]["start"]["line"], 3);

  // The German file in the editor: a message lost, the clash gone with it.
  open(&s, ".Language=German,Deutsch\n\"Suche\"\n\"&Gross\"\n", germanUri);
  EXPECT_EQ(summary(s.diagnostics(germanUri)), std::vector<std::string>{"lng-message-count@2:0-2:0"});
  EXPECT_EQ(summary(s.diagnostics(dialogUri)), std::vector<std::string>{});
  // Dialog features have nothing to say of a language file.
  EXPECT_TRUE(s.answer(s.request("textDocument/hover", at(germanUri, 1, 2)))["result"].is_null());
  EXPECT_EQ(s.answer(s.request("textDocument/formatting", {{"textDocument", textDocument(germanUri)}}))["result"],
            Json::array());
  s.notify("textDocument/didClose", {{"textDocument", textDocument(germanUri)}});
  EXPECT_EQ(summary(s.diagnostics(dialogUri)), std::vector<std::string>{"hotkey-clash@4:32-4:38"});
  std::filesystem::remove_all(base);
}

// ---- size and speed ----

TEST(Lsp, TenMegabyteDocument) {
  std::string text = "ENUM { eLast }\nname Big\nTEXT 0 5 2 0 2 F 0 0 F \"x\"\n";
  std::string filler = "; a comment line that the library skips, to make the document large enough\n";
  while (text.size() < (10u << 20)) text += filler;
  size_t lines = (size_t)std::count(text.begin(), text.end(), '\n');
  text += "CHEKBOX eLast 5 2 0 2 F 0 0 F \"x\"\n";
  Session s;
  s.initialize();
  open(&s, text);
  Json published = s.diagnostics(kUri, -1, 120000);
  ASSERT_FALSE(published.is_discarded());
  EXPECT_EQ(summary(published),
            (std::vector<std::string>{"unknown-type@" + std::to_string(lines) + ":0-" + std::to_string(lines) + ":7"}));
  Json hover = s.answer(s.request("textDocument/hover", at(kUri, 0, 2)));
  EXPECT_NE(hover["result"]["contents"]["value"].get<std::string>().find("1 entry"), std::string::npos);
}

TEST(Lsp, ABurstOfChangesStaysResponsive) {
  Session s;
  s.initialize();
  open(&s, kFaulty);
  s.diagnostics(kUri);
  long long start = nowMs();
  // A thousand one-character edits of a comment line 7, in one burst: a
  // character typed, then taken back.
  s.notify("textDocument/didChange", {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                                      {"contentChanges", {{{"range", range(7, 0, 7, 0)}, {"text", ";"}}}}});
  for (int v = 3; v < 1002; v++) {
    Json change =
        v % 2 ? Json{{"range", range(7, 1, 7, 1)}, {"text", "x"}} : Json{{"range", range(7, 1, 7, 2)}, {"text", ""}};
    s.notify("textDocument/didChange",
             {{"textDocument", {{"uri", kUri}, {"version", v}}}, {"contentChanges", {change}}});
  }
  Json reply = s.answer(s.request("textDocument/hover", at(kUri, 7, 1)));
  EXPECT_TRUE(reply["result"].is_null()) << reply.dump();
  Json published = s.diagnostics(kUri, 1001);
  ASSERT_FALSE(published.is_discarded());
  EXPECT_EQ(published["diagnostics"].size(), 3u);
  EXPECT_LT(nowMs() - start, 15000);
  Json symbols = s.answer(s.request("textDocument/documentSymbol", {{"textDocument", textDocument()}}));
  EXPECT_EQ(symbols["result"][2]["range"]["end"], range(7, 0, 7, 2)["end"]);
}

}  // namespace
