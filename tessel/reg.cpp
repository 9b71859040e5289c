/*
 * `tessel reg add|query|delete|import|export`: reg.exe's commands on the
 * platform layer's registry. Arguments are read against one table of
 * options per operation; values are converted between reg.exe's text forms
 * and the registry's bytes by one switch over the types each way (add's /d,
 * query's lines). The .reg file format lives in reg_file.cpp, the
 * registry's names and the key walk in reg_keys.cpp, the system's error
 * texts in platform/error_text.cpp.
 */
#include "tessel/reg.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "platform/error_text.h"
#include "platform/platform.h"
#include "tessel/command.h"
#include "tessel/reg_file.h"
#include "tessel/reg_keys.h"

using namespace reg;

namespace {

/* ---- names: types, options, operations ------------------------------- */

struct TypeName {
  const char *name;
  uint32_t type;
  bool addable; /* accepted by add /t */
};

const TypeName kTypes[] = {
    {"REG_NONE", PL_REG_NONE, true},       {"REG_SZ", PL_REG_SZ, true},
    {"REG_EXPAND_SZ", kRegExpandSz, true}, {"REG_BINARY", PL_REG_BINARY, true},
    {"REG_DWORD", PL_REG_DWORD, true},     {"REG_DWORD_BIG_ENDIAN", kRegDwordBigEndian, false},
    {"REG_LINK", kRegLink, false},         {"REG_MULTI_SZ", kRegMultiSz, true},
    {"REG_QWORD", kRegQword, true},
};

enum Option { kOptV, kOptVe, kOptVa, kOptT, kOptD, kOptS, kOptF, kOptY, kOptReg32, kOptReg64, kOptCount };

const char *const kOptionNames[kOptCount] = {"v", "ve", "va", "t", "d", "s", "f", "y", "reg:32", "reg:64"};

#define BIT(o) (1u << (o))

enum Operation { kOpAdd, kOpQuery, kOpDelete, kOpImport, kOpExport, kOpCount };

/* An operation: its name as typed and as its messages spell it, how many
   plain arguments it takes, which options it accepts and which of those
   take a value, and its help text (printf'd with kRootHelp for its %s). */
struct OperationSpec {
  const char *name;
  const char *upperName;
  int positionals;
  unsigned allowed;
  unsigned valued;
  const char *help;
};

const char kRootHelp[] =
    "     ROOT: A predefined registry key. This must be one of the following:\n"
    "\n"
    "         HKEY_LOCAL_MACHINE  | HKLM\n"
    "         HKEY_CURRENT_USER   | HKCU\n"
    "\n"
    "     Subkey: The full path to a registry key under a given ROOT key.\n";

const OperationSpec kOperations[kOpCount] = {
    {"add", "ADD", 1,
     BIT(kOptV) | BIT(kOptVe) | BIT(kOptT) | BIT(kOptD) | BIT(kOptS) | BIT(kOptF) | BIT(kOptReg32) | BIT(kOptReg64),
     BIT(kOptV) | BIT(kOptT) | BIT(kOptD) | BIT(kOptS),
     "REG ADD <key> [/v value_name | /ve] [/t type] [/s separator] [/d data] [/f]\n"
     "\n"
     "  Adds a key to the registry, or a value to a given registry key.\n"
     "\n"
     "  <key>  The key to add or, with /v or /ve, the key that receives the value.\n"
     "     Format: ROOT\\Subkey\n"
     "%s"
     "\n"
     "  /v <value_name>  The name of the value to add.\n"
     "  /ve              Add the unnamed (Default) value.\n"
     "  /t <type>        REG_SZ (the default), REG_MULTI_SZ, REG_EXPAND_SZ,\n"
     "                   REG_DWORD, REG_QWORD, REG_BINARY or REG_NONE.\n"
     "  /s <separator>   The character that separates the strings of REG_MULTI_SZ\n"
     "                   data; \\0 when not given.\n"
     "  /d <data>        The data of the value: text, a decimal or 0x-prefixed\n"
     "                   number, or hexadecimal digits for REG_BINARY.\n"
     "  /f               Overwrite an existing value without asking.\n"},
    {"query", "QUERY", 1, BIT(kOptV) | BIT(kOptVe) | BIT(kOptS) | BIT(kOptReg32) | BIT(kOptReg64), BIT(kOptV),
     "REG QUERY <key> [/v value_name | /ve] [/s]\n"
     "\n"
     "  Lists the values and immediate subkeys of a key, or one value.\n"
     "\n"
     "  <key>  The key to query.\n"
     "     Format: ROOT\\Subkey\n"
     "%s"
     "\n"
     "  /v <value_name>  The value to query; with /s, searched for in every subkey.\n"
     "  /ve              Query the unnamed (Default) value.\n"
     "  /s               List the key and all its subkeys, recursively.\n"},
    {"delete", "DELETE", 1, BIT(kOptV) | BIT(kOptVe) | BIT(kOptVa) | BIT(kOptF) | BIT(kOptReg32) | BIT(kOptReg64),
     BIT(kOptV),
     "REG DELETE <key> [/v value_name | /ve | /va] [/f]\n"
     "\n"
     "  Deletes a key with all its subkeys and values, or values of a key.\n"
     "\n"
     "  <key>  The key to delete or, with /v, /ve or /va, whose values to delete.\n"
     "     Format: ROOT\\Subkey\n"
     "%s"
     "\n"
     "  /v <value_name>  The value to delete.\n"
     "  /ve              Delete the unnamed (Default) value.\n"
     "  /va              Delete every value of the key.\n"
     "  /f               Delete without asking.\n"},
    {"import", "IMPORT", 1, BIT(kOptReg32) | BIT(kOptReg64), 0,
     "REG IMPORT <file>\n"
     "\n"
     "  Imports keys, values and data from a registry file (.reg: version 5.00\n"
     "  or REGEDIT4) into the registry.\n"
     "\n"
     "  <file>  The name and path of the registry file to import.\n"
     "%s"},
    {"export", "EXPORT", 2, BIT(kOptY) | BIT(kOptReg32) | BIT(kOptReg64), 0,
     "REG EXPORT <key> <file> [/y]\n"
     "\n"
     "  Exports a key with all its subkeys and values to a registry file\n"
     "  (version 5.00, UTF-16LE).\n"
     "\n"
     "  <key>  The key to export.\n"
     "     Format: ROOT\\Subkey\n"
     "%s"
     "\n"
     "  <file>  The name and path of the registry file to create.\n"
     "  /y      Overwrite an existing file without asking.\n"},
};

const char kUsage[] =
    "Usage:\n"
    "  REG [operation] [parameters]\n"
    "\n"
    "Supported operations:\n"
    "  ADD | DELETE | EXPORT | IMPORT | QUERY\n"
    "\n"
    "For help on a specific operation, type:\n"
    "  REG [operation] /?\n";

/* ---- messages and questions ----------------------------------------- */

void out(const std::string &text) { fwrite(text.data(), 1, text.size(), stdout); }

/* Prints reg's one failure line on standard error. */
void printFailure(const std::string &text) {
  fflush(stdout);
  fprintf(stderr, "reg: %s\n", text.c_str());
}

int invalidSyntax(const char *upperName) {
  if (upperName) printFailure(std::string("Invalid syntax. Type \"REG ") + upperName + " /?\" for help.");
  else printFailure("Invalid syntax. Type \"REG /?\" for help.");
  return 1;
}

/* The system's text for an error code of a registry or file call, or, for
   a code the table of texts lacks, a line that gives its number. */
std::string errorText(long code) {
  const char *text = code >= 0 ? plErrorText((uint32_t)code) : nullptr;
  return text ? text : "The registry call failed with error " + std::to_string(code) + ".";
}

bool isMissing(long code) {
  return code == PL_ERROR_FILE_NOT_FOUND || code == PL_ERROR_BAD_PATHNAME || code == PL_ERROR_KEY_DELETED;
}

/* Reports a failed call on a key: a missing key in reg's words, anything
   else by its system text. Returns 1. */
int keyFailure(long code) {
  printFailure(isMissing(code) ? "Unable to find the specified registry key" : errorText(code));
  return 1;
}

/* The same for a failed call on a value. Returns 1. */
int valueFailure(long code) {
  printFailure(isMissing(code) ? "Unable to find the specified registry value" : errorText(code));
  return 1;
}

/* Asks a yes/no question on standard output; reads answers from standard
   input until one begins with y or n (any case). The end of input is No. */
bool ask(const std::string &question) {
  for (;;) {
    out(question + " (Yes|No)");
    fflush(stdout);
    char line[256];
    if (!fgets(line, sizeof line, stdin)) {
      out("\n");
      return false;
    }
    const char *p = line;
    while (*p == ' ' || *p == '\t') ++p;
    if (*p == 'y' || *p == 'Y') return true;
    if (*p == 'n' || *p == 'N') return false;
  }
}

int cancelled() {
  out("reg: The registry operation was cancelled\n");
  return 0;
}

int succeeded() {
  out("reg: The operation completed successfully\n");
  return 0;
}

/* ---- arguments ------------------------------------------------------- */

struct Arguments {
  const char *positional[2];
  int positionals;
  bool present[kOptCount];
  const char *value[kOptCount];
};

bool isHelp(const char *arg) { return !strcmp(arg, "/?") || !strcmp(arg, "-?") || !strcmp(arg, "--help"); }

/* Reads argv[2...] against an operation's table. Returns false for anything
   reg.exe refuses as syntax: an unknown or repeated option, a missing value,
   too many or too few plain arguments. */
bool readArguments(const OperationSpec &op, int argc, char **argv, Arguments *args) {
  memset(args, 0, sizeof *args);
  for (int i = 2; i < argc; ++i) {
    const char *arg = argv[i];
    /* An option is a '/' or '-' and a name; "/tmp/x.reg", a POSIX path
       with a second '/', is a plain argument. */
    if ((arg[0] == '/' || arg[0] == '-') && arg[1] && !strchr(arg + 1, '/')) {
      int found = -1;
      for (int o = 0; o < kOptCount; ++o)
        if ((op.allowed & BIT(o)) && sameText(arg + 1, kOptionNames[o])) found = o;
      /* reg.exe refuses a repeated option, but for export's /y */
      if (found < 0 || (args->present[found] && found != kOptY)) return false;
      args->present[found] = true;
      if (op.valued & BIT(found)) {
        if (i + 1 >= argc) return false;
        args->value[found] = argv[++i];
      }
    } else {
      if (args->positionals >= op.positionals) return false;
      args->positional[args->positionals++] = arg;
    }
  }
  return args->positionals == op.positionals;
}

/* A key as named on the command line: its root, the path below it, and the
   name reg prints (the root's long name, then the path as typed). */
struct KeyName {
  HKEY root;
  std::string path;
  std::string shown;
};

/* Reads "HKCU\Software\X" (or the long root name, any case). Returns false
   and reports "Invalid system key" for anything else. */
bool readKeyName(const char *text, KeyName *key) {
  const char *rest = nullptr;
  const RootName *root = readRootName(text, &rest);
  bool bareSeparator = root && rest[0] == '\\' && !rest[1]; /* "HKCU\" names no key */
  if (!root || bareSeparator) {
    printFailure("Invalid system key");
    return false;
  }
  if (*rest == '\\') ++rest;
  key->root = root->key;
  key->path = rest;
  while (!key->path.empty() && key->path.back() == '\\') key->path.pop_back();
  key->shown = root->longName;
  if (!key->path.empty()) key->shown += "\\" + key->path;
  return true;
}

/* ---- values: printing ---------------------------------------------- */

const char *typeName(uint32_t type) {
  for (const TypeName &t : kTypes)
    if (t.type == type) return t.name;
  return "REG_UNKNOWN";
}

/* A value's data as reg query shows it. */
std::string shownData(const Value &value) {
  static const char kHex[] = "0123456789ABCDEF";
  char number[32];
  switch (value.type) {
    case PL_REG_SZ:
    case kRegExpandSz:
      return textOf(value.data);
    case PL_REG_DWORD:
      if (value.data.size() != 4) break;
      snprintf(number, sizeof number, "0x%x", (unsigned)littleEndian(value.data, 4));
      return number;
    case kRegQword:
      if (value.data.size() != 8) break;
      snprintf(number, sizeof number, "0x%llx", (unsigned long long)littleEndian(value.data, 8));
      return number;
    case kRegMultiSz: {
      std::string shown;
      size_t at = 0;
      while (at < value.data.size()) {
        size_t end = value.data.find('\0', at);
        if (end == std::string::npos) end = value.data.size();
        if (end == at) break; /* the empty string that ends the list */
        if (!shown.empty()) shown += "\\0";
        shown += value.data.substr(at, end - at);
        at = end + 1;
      }
      return shown;
    }
    default:
      break;
  }
  std::string hex;
  for (unsigned char c : value.data) {
    hex += kHex[c >> 4];
    hex += kHex[c & 15];
  }
  return hex;
}

std::string valueLine(const std::string &name, const Value &value) {
  return "    " + (name.empty() ? std::string("(Default)") : name) + "    " + typeName(value.type) + "    " +
         shownData(value) + "\n";
}

/* ---- add ------------------------------------------------------------- */

/* Reads a reg number: optional blanks and '+', then decimal digits or 0x
   and hexadecimal digits, nothing after; an empty text is 0. */
bool readNumber(const char *text, uint64_t limit, uint64_t *number) {
  *number = 0;
  if (!*text) return true;
  while (*text == ' ' || *text == '\t') ++text;
  if (*text == '+') ++text;
  int base = 10;
  if (text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  }
  if (!*text) return false;
  for (; *text; ++text) {
    int digit;
    if (*text >= '0' && *text <= '9') digit = *text - '0';
    else if (base == 16 && *text >= 'a' && *text <= 'f') digit = *text - 'a' + 10;
    else if (base == 16 && *text >= 'A' && *text <= 'F') digit = *text - 'A' + 10;
    else return false;
    if (*number > (limit - (uint64_t)digit) / (uint64_t)base) return false;
    *number = *number * (uint64_t)base + (uint64_t)digit;
  }
  return true;
}

/* The bytes of add's /d for a type; false (with the failure reported) when
   the text does not fit the type. */
bool dataForType(uint32_t type, const char *text, char separator, std::string *data) {
  data->clear();
  switch (type) {
    case PL_REG_DWORD:
    case kRegQword: {
      uint64_t number;
      if (!readNumber(text, type == PL_REG_DWORD ? 0xffffffffull : ~0ull, &number)) {
        printFailure("The option [/d] must be followed by a valid numeric value");
        return false;
      }
      for (int i = 0; i < (type == PL_REG_DWORD ? 4 : 8); ++i) data->push_back((char)(number >> (8 * i)));
      return true;
    }
    case PL_REG_BINARY: {
      size_t length = strlen(text);
      size_t i = 0;
      if (length % 2) { /* an odd digit count: the first stands alone */
        int d = hexDigit(text[0]);
        if (d < 0) break;
        data->push_back((char)d);
        i = 1;
      }
      for (; i < length; i += 2) {
        int high = hexDigit(text[i]), low = hexDigit(text[i + 1]);
        if (high < 0 || low < 0) {
          printFailure("The option [/d] must be followed by a valid hexadecimal value");
          return false;
        }
        data->push_back((char)(high * 16 + low));
      }
      return true;
    }
    case PL_REG_NONE:
      /* reg.exe stores the text of an untyped value in UTF-16 with its NUL:
         each byte widened to two */
      for (const char *p = text;; ++p) {
        data->push_back(*p);
        data->push_back(0);
        if (!*p) break;
      }
      return true;
    case kRegMultiSz: {
      std::string item;
      for (const char *p = text;; ++p) {
        bool end = !*p;
        bool split = false;
        if (!end && separator && *p == separator) {
          split = true;
        } else if (!end && !separator && p[0] == '\\' && p[1] == '0') {
          split = true;
          ++p;
        }
        if (split || end) {
          if (item.empty() && split) {
            printFailure("The option [/d] must be followed by a valid string");
            return false;
          }
          if (!item.empty()) {
            *data += item;
            data->push_back(0);
          }
          item.clear();
          if (end) break;
        } else {
          item += *p;
        }
      }
      data->push_back(0);
      return true;
    }
    default: /* REG_SZ, REG_EXPAND_SZ: the text and its NUL */
      data->assign(text);
      data->push_back(0);
      return true;
  }
  printFailure("The option [/d] must be followed by a valid hexadecimal value");
  return false;
}

int regAdd(const Arguments &args) {
  const char *upper = kOperations[kOpAdd].upperName;
  if (args.present[kOptV] && args.present[kOptVe]) return invalidSyntax(upper);
  KeyName key;
  if (!readKeyName(args.positional[0], &key)) return 1;

  uint32_t type = PL_REG_SZ;
  if (args.present[kOptT]) {
    const TypeName *found = nullptr;
    for (const TypeName &t : kTypes)
      if (t.addable && sameText(args.value[kOptT], t.name)) found = &t;
    if (!found) {
      printFailure(std::string("Unsupported registry data type [") + args.value[kOptT] + "]");
      return 1;
    }
    type = found->type;
  }
  char separator = 0;
  if (args.present[kOptS]) {
    if (strlen(args.value[kOptS]) != 1) return invalidSyntax(upper);
    separator = args.value[kOptS][0];
  }
  if ((type == PL_REG_DWORD || type == kRegQword) && !args.present[kOptD]) {
    printFailure("Invalid command line parameters");
    return 1;
  }
  std::string data;
  if (!dataForType(type, args.present[kOptD] ? args.value[kOptD] : "", separator, &data)) return 1;

  HKEY handle;
  long error = plRegCreateKey(key.root, key.path.c_str(), &handle);
  if (error) return keyFailure(error);
  /* A bare add (no value named, no type, no data) makes the key and gives
     it an empty default value unless it has one. */
  bool named = args.present[kOptV] || args.present[kOptVe] || args.present[kOptT] || args.present[kOptD];
  const char *name = args.present[kOptV] ? args.value[kOptV] : "";
  int result = 0;
  uint32_t size = 0;
  bool exists = plRegQueryValue(handle, name, nullptr, nullptr, &size) == 0;
  if (!named && exists) {
    /* a bare add makes the key; it never empties a default already there */
  } else if (named && exists && !args.present[kOptF] &&
             !ask(std::string("The registry value '") + (args.present[kOptVe] ? "(Default)" : name) +
                  "' already exists. Do you want to overwrite it?")) {
    result = -1;
  } else {
    error = plRegSetValue(handle, name, type, data.data(), (uint32_t)data.size());
    if (error) result = valueFailure(error);
  }
  plRegCloseKey(handle);
  if (result < 0) return cancelled();
  return result ? result : succeeded();
}

/* ---- query ----------------------------------------------------------- */

/* Prints a key's block: its name, its values (as "    name    TYPE    data"
   lines) and an empty line. */
void printKeyBlock(HKEY key, const std::string &shown) {
  out(shown + "\n");
  Value value;
  for (uint32_t i = 0; readValueAt(key, i, &value) == 0; ++i) out(valueLine(value.name, value));
  out("\n");
}

/* True when key has a value. */
bool hasValues(HKEY key) {
  uint32_t size = 0;
  char probe[kValueNameRoom];
  return plRegEnumValue(key, 0, probe, sizeof probe, nullptr, nullptr, &size) == 0;
}

int regQuery(const Arguments &args) {
  if (args.present[kOptV] && args.present[kOptVe]) return invalidSyntax(kOperations[kOpQuery].upperName);
  KeyName key;
  if (!readKeyName(args.positional[0], &key)) return 1;
  HKEY handle;
  long error = plRegOpenKey(key.root, key.path.c_str(), PL_KEY_READ, &handle);
  if (error) return keyFailure(error);

  int result = 0;
  bool one = args.present[kOptV] || args.present[kOptVe];
  const char *name = args.present[kOptV] ? args.value[kOptV] : "";
  std::string label = args.present[kOptV] ? name : "";
  out("\n");
  if (one && args.present[kOptS]) {
    /* every key of the tree that has the value */
    int matches = 0;
    walkKeys(handle, key.shown, [&](HKEY each, const std::string &shown, int) {
      Value value;
      if (readValue(each, name, &value) != 0) return;
      out(shown + "\n" + valueLine(label, value) + "\n");
      ++matches;
    });
    out("Search complete. Number of matches found: " + std::to_string(matches) + "\n");
  } else if (one) {
    Value value;
    error = readValue(handle, name, &value);
    if (error == 0) {
      out(key.shown + "\n" + valueLine(label, value) + "\n");
    } else if (args.present[kOptVe] && error == PL_ERROR_FILE_NOT_FOUND) {
      out(key.shown + "\n    (Default)    REG_SZ    (value not set)\n");
    } else {
      result = valueFailure(error);
    }
  } else if (args.present[kOptS]) {
    /* the key's block if it has values, then every subkey's, depth first */
    walkKeys(handle, key.shown, [](HKEY each, const std::string &shown, int depth) {
      if (depth > 0 || hasValues(each)) printKeyBlock(each, shown);
    });
  } else {
    /* the key's block if it has values, then the names of its subkeys */
    if (hasValues(handle)) printKeyBlock(handle, key.shown);
    for (const std::string &sub : subkeyNames(handle)) out(key.shown + "\\" + sub + "\n");
  }
  plRegCloseKey(handle);
  return result;
}

/* ---- delete ---------------------------------------------------------- */

int regDelete(const Arguments &args) {
  int chosen = args.present[kOptV] + args.present[kOptVe] + args.present[kOptVa];
  if (chosen > 1) return invalidSyntax(kOperations[kOpDelete].upperName);
  KeyName key;
  if (!readKeyName(args.positional[0], &key)) return 1;
  bool force = args.present[kOptF];

  if (chosen == 0) {
    /* A whole root is never deleted: it would take every setting with it. */
    if (key.path.empty()) {
      printFailure("Invalid system key");
      return 1;
    }
    HKEY probe;
    long error = plRegOpenKey(key.root, key.path.c_str(), PL_KEY_READ, &probe);
    if (error) return keyFailure(error);
    plRegCloseKey(probe);
    if (!force && !ask("Are you sure you want to delete the registry key '" + key.shown + "'?")) return cancelled();
    error = plRegDeleteTree(key.root, key.path.c_str());
    return error ? keyFailure(error) : succeeded();
  }

  HKEY handle;
  long error = plRegOpenKey(key.root, key.path.c_str(), PL_KEY_ALL_ACCESS, &handle);
  if (error) return keyFailure(error);
  int result = 0;
  if (args.present[kOptVa]) {
    if (!force && !ask("Are you sure you want to delete all registry values in '" + key.shown + "'?")) {
      result = -1;
    } else {
      /* Names first: deleting while enumerating would skip values. */
      std::vector<std::string> names;
      Value value;
      for (uint32_t i = 0; readValueAt(handle, i, &value) == 0; ++i) names.push_back(value.name);
      for (const std::string &name : names) {
        error = plRegDeleteValue(handle, name.c_str());
        if (error) {
          result = valueFailure(error);
          break;
        }
      }
    }
  } else {
    const char *name = args.present[kOptV] ? args.value[kOptV] : "";
    uint32_t size = 0;
    error = plRegQueryValue(handle, name, nullptr, nullptr, &size);
    if (error) {
      result = valueFailure(error);
    } else if (!force && !ask(std::string("Are you sure you want to delete the registry value '") +
                              (args.present[kOptVe] ? "(Default)" : name) + "'?")) {
      result = -1;
    } else {
      error = plRegDeleteValue(handle, name);
      if (error) result = valueFailure(error);
    }
  }
  plRegCloseKey(handle);
  if (result < 0) return cancelled();
  return result ? result : succeeded();
}

/* ---- export ---------------------------------------------------------- */

int regExport(const Arguments &args) {
  KeyName key;
  if (!readKeyName(args.positional[0], &key)) return 1;
  const char *fileName = args.positional[1];
  HKEY handle;
  long error = plRegOpenKey(key.root, key.path.c_str(), PL_KEY_READ, &handle);
  if (error) return keyFailure(error);
  std::string text = regFileText(handle, key.shown);
  plRegCloseKey(handle);

  struct stat st;
  if (!args.present[kOptY] && stat(fileName, &st) == 0 &&
      !ask(std::string("The file '") + fileName + "' already exists. Do you want to overwrite it?"))
    return cancelled();
  std::string bytes = regFileBytes(text);
  FILE *f = fopen(fileName, "wb");
  if (!f) {
    if (errno == ENOENT || errno == ENOTDIR) printFailure("Path not found.");
    else if (errno == EACCES || errno == EPERM || errno == EROFS || errno == EISDIR)
      printFailure(errorText(PL_ERROR_ACCESS_DENIED));
    else if (errno == ENOSPC) printFailure(errorText(PL_ERROR_DISK_FULL));
    else printFailure(std::string("Unable to write the file '") + fileName + "'.");
    return 1;
  }
  bool written = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  if (fclose(f) != 0) written = false;
  if (!written) {
    printFailure(errorText(PL_ERROR_DISK_FULL));
    return 1;
  }
  return 0;
}

/* ---- import ---------------------------------------------------------- */

int regImport(const Arguments &args) {
  const char *fileName = args.positional[0];
  FILE *f = fopen(fileName, "rb");
  if (!f) {
    printFailure(std::string("The file '") + fileName + "' was not found.");
    return 1;
  }
  std::string bytes;
  char chunk[8192];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
  fclose(f);

  std::vector<std::string> failedKeys;
  bool isRegistryFile = regFileImport(bytes, &failedKeys);
  if (!isRegistryFile) {
    printFailure(std::string("The file '") + fileName + "' is not a registry file.");
    return 1;
  }
  for (const std::string &name : failedKeys) printFailure("Unable to import the registry key '" + name + "'");
  return 0;
}

}  // namespace

int regCommand(int argc, char **argv) {
  if (argc < 2) return invalidSyntax(nullptr);
  if (isHelp(argv[1])) {
    out(kUsage);
    return 0;
  }
  int op = -1;
  for (int o = 0; o < kOpCount; ++o)
    if (sameText(argv[1], kOperations[o].name)) op = o;
  if (op < 0) {
    printFailure(std::string("Invalid option [") + argv[1] + "]. Type \"REG /?\" for help.");
    return 1;
  }
  const OperationSpec &spec = kOperations[op];
  for (int i = 2; i < argc; ++i) {
    if (isHelp(argv[i])) {
      if (argc != 3) return invalidSyntax(spec.upperName);
      printf(spec.help, kRootHelp);
      return 0;
    }
  }
  Arguments args;
  if (!readArguments(spec, argc, argv, &args)) return invalidSyntax(spec.upperName);
  switch (op) {
    case kOpAdd:
      return regAdd(args);
    case kOpQuery:
      return regQuery(args);
    case kOpDelete:
      return regDelete(args);
    case kOpImport:
      return regImport(args);
    default:
      return regExport(args);
  }
}

int cmdReg(const CommandLine *line) { return regCommand(line->argc, line->argv); }
