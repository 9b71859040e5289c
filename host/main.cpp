/*
 * tessel: the host stand-in's commands. `view` and `config` load the Flens
 * plug-in from tessel's own directory and call its entry points as the host
 * does; `render` draws one dialog through Dialog.tsl without a plug-in;
 * `reg` is the registry store's command line. Every failure is one line on
 * stderr and a non-zero exit status.
 */
#include <errno.h>
#include <limits.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include "dialog/dialog.h"
#include "host/codepage.h"
#include "tessel/check.h"
#include "host/dump.h"
#include "host/keys.h"
#include "host/session.h"
#include "host/slots.h"
#include "host/terminal.h"
#include "platform/platform.h"
#ifdef TESSEL_HAVE_REG
#include "host/reg.h"
#endif

/* Exit statuses. */
enum { EXIT_OK = 0, EXIT_FAILED = 1, EXIT_USAGE = 2 };

/* The plug-in's entry points, as the host calls them. */
typedef void(TS_HOSTAPI *SetStartupInfoFn)(const StartupInfo *info);
typedef void(TS_HOSTAPI *GetPluginInfoFn)(PluginInfo *info);
typedef int(TS_HOSTAPI *ConfigureFn)(int itemNumber);
typedef HANDLE(TS_HOSTAPI *OpenFilePluginFn)(const char *name, const unsigned char *data, int dataSize);

/* The plug-in's module number, the file names beside tessel, and how much
   of a file the host hands to OpenFilePlugin. */
enum { PLUGIN_MODULE_NUMBER = 0, FILE_DATA_SIZE = 4096, PATH_ROOM = 4096 };
static const char kPluginFile[] = "Flens.so";
static const char kLibraryFile[] = "Dialog.tsl";

/* The language mode that `render` hands to the library through tessel's own
   export SetLngMode. */
static int renderLngMode;

extern "C" TS_EXPORT int SetLngMode(void) { return renderLngMode; }

namespace {

struct Options {
  const char *command;
  const char *args[3];
  int argCount;
  const char *keys;
  const char *screenFile;
  int cols, rows;
  const char *language;
  const char *codepage;
  int lngMode, haveLngMode;
  const char *format;
  int help;
};

const char kUsage[] =
    "usage: tessel <command> [options]\n"
    "\n"
    "Previews and tries dialog description files (.dlg) as the Flens plug-in shows\n"
    "them inside the host, in this terminal.\n"
    "\n"
    "commands:\n"
    "  view FILE.dlg          the plug-in's menu of FILE's dialogs, then each chosen one\n"
    "  config                 the plug-in's configuration dialog\n"
    "  render FILE.dlg NAME   draw dialog NAME once to standard output\n"
    "  reg OPERATION ...      the registry store, as reg.exe (add, query, delete, import, export)\n"
    "\n"
    "`tessel COMMAND --help` describes each command and its options.\n";

const char kViewHelp[] =
    "usage: tessel view FILE.dlg [options]\n"
    "\n"
    "Offers FILE to the Flens plug-in (OpenFilePlugin), which lists its dialogs in\n"
    "the menu \"Select Dialog\" and shows each chosen one until the menu is closed.\n"
    "Texts follow the plug-in's language setting (see `tessel config`).\n"
    "\n"
    "keys: Tab, S-Tab and the arrows move, Space toggles or presses, Enter closes\n"
    "with the focused or default button, Esc or F10 cancels, Alt+letter (or the\n"
    "letter outside an edit field) uses the item of that hot key.\n"
    "\n";

const char kConfigHelp[] =
    "usage: tessel config [options]\n"
    "\n"
    "Shows the Flens plug-in's configuration dialog (GetPluginInfo, then Configure);\n"
    "what it stores lands in the registry store (see `tessel reg`, TESSEL_REGISTRY).\n"
    "\n";

const char kSessionOptions[] =
    "options:\n"
    "  --keys \"KEYS\"     take keys from KEYS instead of the keyboard (no terminal\n"
    "                    needed); Esc once they run out. Names: Tab S-Tab Up Down\n"
    "                    Left Right Home End Space Enter Esc BS Del F1-F12, A-x for\n"
    "                    Alt+x, \"text\" to type, or one character\n"
    "  --screen FILE     append a text dump of the screen each time a key is awaited\n"
    "  --size COLSxROWS  screen size (default: the terminal's, or 80x25 with --keys)\n"
    "  --language NAME   language of the .lng files to read (default English)\n"
    "  --codepage CP     the host's 8-bit code page (default 437)\n"
    "\n"
    "exit status: 0 done, 1 failed (file, plug-in or library missing; file not\n"
    "taken), 2 bad arguments, 3 a --keys run whose plug-in kept waiting for keys.\n";

const char kRenderHelp[] =
    "usage: tessel render FILE.dlg NAME [options]\n"
    "\n"
    "Loads dialog NAME of FILE through Dialog.tsl and draws it once to standard\n"
    "output, as the host would show it. Localised texts come from the .lng files\n"
    "beside FILE.\n"
    "\n"
    "options:\n"
    "  --lang-mode N     language mode: 0 localised texts (default), 1 the message\n"
    "                    names written in the file, 2 the identifiers\n"
    "  --format F        text (default), ansi (with colours) or html\n"
    "  --size COLSxROWS  screen size (default: the dialog and its shadow)\n"
    "  --language NAME   language of the .lng files to read (default English)\n"
    "  --codepage CP     the host's 8-bit code page (default 437)\n"
    "\n"
    "exit status: 0 drawn, 1 failed (file, dialog or library missing), 2 bad\n"
    "arguments.\n";

int fail(int status, const char *format, const char *a = "", const char *b = "") {
  fputs("tessel: ", stderr);
  fprintf(stderr, format, a, b);
  fputc('\n', stderr);
  return status;
}

int parseSize(const char *text, int *cols, int *rows) {
  char *end;
  errno = 0;
  long c = strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return 0;
  const char *second = end + 1;
  long r = strtol(second, &end, 10);
  if (end == second || *end || errno) return 0;
  if (c < SCREEN_MIN_COLS || c > SCREEN_MAX_COLS || r < SCREEN_MIN_ROWS || r > SCREEN_MAX_ROWS) return 0;
  *cols = (int)c;
  *rows = (int)r;
  return 1;
}

int parseInt(const char *text, int *value) {
  char *end;
  errno = 0;
  long v = strtol(text, &end, 10);
  if (end == text || *end || errno || v < INT_MIN || v > INT_MAX) return 0;
  *value = (int)v;
  return 1;
}

/* Reads the arguments after the program name into options; returns
   EXIT_OK, or EXIT_USAGE after reporting the fault. */
int parseOptions(int argc, char **argv, Options *o) {
  memset(o, 0, sizeof *o);
  o->language = "English";
  o->codepage = "437";
  o->format = "text";
  int optionsEnded = 0; /* after "--" every argument is a command or file */
  for (int i = 1; i < argc; i++) {
    const char *arg = argv[i];
    if (!optionsEnded && strcmp(arg, "--") == 0) {
      optionsEnded = 1;
      continue;
    }
    if (!optionsEnded && (strcmp(arg, "--help") == 0 || strcmp(arg, "-h") == 0)) {
      o->help = 1;
      continue;
    }
    if (optionsEnded || strncmp(arg, "--", 2) != 0) {
      if (!o->command) o->command = arg;
      else if (o->argCount < 3) o->args[o->argCount++] = arg;
      else return fail(EXIT_USAGE, "unexpected argument \"%s\" (see tessel --help)", arg);
      continue;
    }
    static const char *const kWithValue[] = {"--keys", "--screen", "--size", "--language", "--codepage",
                                             "--lang-mode", "--format"};
    const char *name = arg, *value = nullptr;
    char nameBuffer[32];
    const char *equals = strchr(arg, '=');
    if (equals && equals - arg < (int)sizeof nameBuffer) {
      memcpy(nameBuffer, arg, (size_t)(equals - arg));
      nameBuffer[equals - arg] = 0;
      name = nameBuffer;
      value = equals + 1;
    }
    int known = 0;
    for (const char *option : kWithValue) known = known || strcmp(name, option) == 0;
    if (!known) return fail(EXIT_USAGE, "unknown option \"%s\" (see tessel --help)", arg);
    if (!value) {
      if (i + 1 >= argc) return fail(EXIT_USAGE, "option %s needs a value", name);
      value = argv[++i];
    }
    if (strcmp(name, "--keys") == 0) o->keys = value;
    else if (strcmp(name, "--screen") == 0) o->screenFile = value;
    else if (strcmp(name, "--language") == 0) o->language = value;
    else if (strcmp(name, "--codepage") == 0) o->codepage = value;
    else if (strcmp(name, "--format") == 0) o->format = value;
    else if (strcmp(name, "--size") == 0) {
      if (!parseSize(value, &o->cols, &o->rows))
        return fail(EXIT_USAGE, "bad --size \"%s\": give COLSxROWS, at least 20x5 and at most 1000x500", value);
    } else if (strcmp(name, "--lang-mode") == 0) {
      if (!parseInt(value, &o->lngMode)) return fail(EXIT_USAGE, "bad --lang-mode \"%s\": give a number", value);
      o->haveLngMode = 1;
    }
  }
  return EXIT_OK;
}

/* tessel's own directory, with its trailing separator. */
int programDirectory(char *out, int room) {
  if (plModuleFileName(nullptr, out, room) <= 0) return 0;
  char *last = strrchr(out, '/');
  if (!last) return 0;
  last[1] = 0;
  return 1;
}

/* The absolute form of a file that must exist and be readable; reports and
   returns 0 otherwise. */
int readableFile(const char *name, char *absolute) {
  FILE *file = fopen(name, "rb");
  if (!file) {
    fail(EXIT_FAILED, "cannot open %s: %s", name, strerror(errno));
    return 0;
  }
  fclose(file);
  if (!realpath(name, absolute)) {
    fail(EXIT_FAILED, "cannot resolve %s: %s", name, strerror(errno));
    return 0;
  }
  return 1;
}

/* Loads a module that lies beside tessel; reports and returns null when it
   cannot. */
HMODULE loadBeside(const char *directory, const char *file, const char *what) {
  char path[PATH_ROOM];
  snprintf(path, sizeof path, "%s%s", directory, file);
  if (access(path, F_OK) != 0) {
    fail(EXIT_FAILED, "cannot load the %s: %s does not exist (build it first)", what, path);
    return nullptr;
  }
  HMODULE module = plLoadLibrary(path);
  if (!module) fail(EXIT_FAILED, "cannot load the %s %s", what, path);
  return module;
}

void *needExport(HMODULE module, const char *name, const char *what, int *missing) {
  void *address = plFindExport(module, name);
  if (!address && !*missing) {
    fail(EXIT_FAILED, "the %s has no export %s", what, name);
    *missing = 1;
  }
  return address;
}

/* Checks options that only some commands take. */
int checkOptionsFor(const Options *o, int session, int render) {
  if (!session && o->keys) return fail(EXIT_USAGE, "--keys belongs to view and config");
  if (!session && o->screenFile) return fail(EXIT_USAGE, "--screen belongs to view and config");
  if (!render && o->haveLngMode) return fail(EXIT_USAGE, "--lang-mode belongs to render");
  if (!render && strcmp(o->format, "text") != 0) return fail(EXIT_USAGE, "--format belongs to render");
  if (!cpSelect(o->codepage))
    return fail(EXIT_USAGE, "unknown code page \"%s\" (iconv knows none of that name)", o->codepage);
  hostSetLanguage(o->language);
  return EXIT_OK;
}

/* Opens the session of view and config: scripted with --keys, else on the
   terminal. */
int openSession(const Options *o, FILE **dumpFile) {
  *dumpFile = nullptr;
  if (o->screenFile) {
    *dumpFile = fopen(o->screenFile, "a");
    if (!*dumpFile) return fail(EXIT_FAILED, "cannot write %s: %s", o->screenFile, strerror(errno));
  }
  int ok;
  if (o->keys) {
    size_t room = strlen(o->keys) + 1;
    int *keys = (int *)malloc(sizeof(int) * room);
    char error[128];
    int count = keys ? keyParseScript(o->keys, keys, (int)room, error, sizeof error) : -1;
    if (count < 0) {
      free(keys);
      if (*dumpFile) fclose(*dumpFile);
      return fail(EXIT_USAGE, "bad --keys: %s", keys ? error : "out of memory");
    }
    ok = sessionOpenScripted(o->cols ? o->cols : 80, o->rows ? o->rows : 25, keys, count);
    free(keys);
  } else {
    int opened = sessionOpenTerminal(o->cols, o->rows);
    if (opened != TERMINAL_OPEN) {
      if (*dumpFile) fclose(*dumpFile);
      if (opened == TERMINAL_UNKNOWN_TYPE) {
        const char *type = getenv("TERM");
        return fail(EXIT_FAILED, "unknown terminal type \"%s\" (set TERM, or give --keys for a scripted run)",
                    type ? type : "");
      }
      return fail(EXIT_USAGE, "standard input and output are no terminal: give --keys for a scripted run");
    }
    ok = 1;
  }
  if (!ok) {
    if (*dumpFile) fclose(*dumpFile);
    return fail(EXIT_FAILED, "cannot open the screen");
  }
  sessionSetDumpFile(*dumpFile);
  return EXIT_OK;
}

void closeSession(FILE *dumpFile) {
  sessionClose();
  sessionSetDumpFile(nullptr);
  if (dumpFile) fclose(dumpFile);
}

/* view and config: the plug-in hosted as the host does. */
int runPlugin(const Options *o, int view) {
  if (o->argCount != (view ? 1 : 0))
    return fail(EXIT_USAGE, view ? "view takes one file (see tessel view --help)"
                                 : "config takes no file (see tessel config --help)");
  int status = checkOptionsFor(o, 1, 0);
  if (status) return status;
  char file[PATH_MAX] = "";
  unsigned char data[FILE_DATA_SIZE];
  int dataSize = 0;
  if (view) {
    if (!readableFile(o->args[0], file)) return EXIT_FAILED;
    FILE *in = fopen(file, "rb");
    if (in) {
      dataSize = (int)fread(data, 1, sizeof data, in);
      fclose(in);
    }
  }
  char directory[PATH_ROOM], pluginPath[PATH_ROOM + 16];
  if (!programDirectory(directory, sizeof directory)) return fail(EXIT_FAILED, "cannot find tessel's own directory");
  HMODULE plugin = loadBeside(directory, kPluginFile, "plug-in");
  if (!plugin) return EXIT_FAILED;
  snprintf(pluginPath, sizeof pluginPath, "%s%s", directory, kPluginFile);
  int missing = 0;
  auto setStartupInfo = (SetStartupInfoFn)needExport(plugin, "SetStartupInfo", "plug-in", &missing);
  auto openFile = view ? (OpenFilePluginFn)needExport(plugin, "OpenFilePlugin", "plug-in", &missing) : nullptr;
  auto getInfo = view ? nullptr : (GetPluginInfoFn)needExport(plugin, "GetPluginInfo", "plug-in", &missing);
  auto configure = view ? nullptr : (ConfigureFn)needExport(plugin, "Configure", "plug-in", &missing);
  if (missing) return EXIT_FAILED;

  hostAddModule(PLUGIN_MODULE_NUMBER, directory);
  StartupInfo info;
  hostFillStartup(&info, PLUGIN_MODULE_NUMBER, pluginPath);
  FILE *dumpFile;
  status = openSession(o, &dumpFile);
  if (status) return status;
  setStartupInfo(&info);
  if (view) {
    HANDLE result = openFile(file, data, dataSize);
    closeSession(dumpFile);
    if (result == (HANDLE)(intptr_t)-1)
      return fail(EXIT_FAILED, "the plug-in did not take %s (it takes .dlg files that define a dialog, "
                               "unless its Disable setting is on)", file);
    return EXIT_OK;
  }
  PluginInfo pluginInfo;
  memset(&pluginInfo, 0, sizeof pluginInfo);
  pluginInfo.structSize = (int32_t)sizeof pluginInfo;
  getInfo(&pluginInfo);
  if (pluginInfo.pluginConfigStringsNumber <= 0 || !pluginInfo.pluginConfigStrings) {
    closeSession(dumpFile);
    return fail(EXIT_FAILED, "the plug-in offers no configuration (is its Disable setting on? clear it with "
                             "tessel reg add \"HKCU\\%s\\Formlens\\Config\" /v Disable /t REG_DWORD /d 0 /f)",
                HOST_ROOT_KEY);
  }
  int chosen = 0;
  if (pluginInfo.pluginConfigStringsNumber > 1) {
    enum { MAX_CONFIG_ENTRIES = 64 };
    MenuEntry entries[MAX_CONFIG_ENTRIES];
    int count = pluginInfo.pluginConfigStringsNumber < MAX_CONFIG_ENTRIES ? pluginInfo.pluginConfigStringsNumber
                                                                           : MAX_CONFIG_ENTRIES;
    memset(entries, 0, sizeof entries);
    for (int i = 0; i < count; i++) {
      const char *text = pluginInfo.pluginConfigStrings[i];
      snprintf(entries[i].text, sizeof entries[i].text, "%s", text ? text : "");
    }
    chosen = hostMenuSlot(PLUGIN_MODULE_NUMBER, -1, -1, 0, 0x6, "Plugins configuration", nullptr, "Contents",
                          nullptr, nullptr, entries, count);
  }
  if (chosen >= 0) configure(chosen);
  closeSession(dumpFile);
  return EXIT_OK;
}

/* render: one dialog through the library, drawn once. */
int runRender(const Options *o) {
  if (o->argCount != 2) return fail(EXIT_USAGE, "render takes a file and a dialog name (see tessel render --help)");
  int status = checkOptionsFor(o, 0, 1);
  if (status) return status;
  const char *format = o->format;
  if (strcmp(format, "text") != 0 && strcmp(format, "ansi") != 0 && strcmp(format, "html") != 0)
    return fail(EXIT_USAGE, "bad --format \"%s\": give text, ansi or html", format);
  char file[PATH_MAX];
  if (!readableFile(o->args[0], file)) return EXIT_FAILED;
  const char *name = o->args[1];
  char directory[PATH_ROOM], fileDirectory[PATH_MAX], self[PATH_ROOM];
  if (!programDirectory(directory, sizeof directory)) return fail(EXIT_FAILED, "cannot find tessel's own directory");
  HMODULE library = loadBeside(directory, kLibraryFile, "library");
  if (!library) return EXIT_FAILED;
  int missing = 0;
  auto init = (TS_InitFn)needExport(library, "TS_Init", "library", &missing);
  auto load = (LoadDialogExFn)needExport(library, "LoadDialogEx", "library", &missing);
  auto show = (ShowDialogFn)needExport(library, "ShowDialog", "library", &missing);
  auto release = (FreeDialogFn)needExport(library, "FreeDialog", "library", &missing);
  auto enumerate = (EnumDialogFn)needExport(library, "EnumDialog", "library", &missing);
  if (missing) return EXIT_FAILED;

  snprintf(fileDirectory, sizeof fileDirectory, "%s", file);
  strrchr(fileDirectory, '/')[1] = 0; /* realpath gave an absolute path */
  hostAddModule(PLUGIN_MODULE_NUMBER, fileDirectory);
  if (plModuleFileName(nullptr, self, sizeof self) <= 0) self[0] = 0;
  StartupInfo info;
  hostFillStartup(&info, PLUGIN_MODULE_NUMBER, self);
  if (!sessionOpenScripted(o->cols ? o->cols : 80, o->rows ? o->rows : 25, nullptr, 0))
    return fail(EXIT_FAILED, "cannot open the screen");
  hostSetDrawOnly(1, o->cols == 0);
  init(info);
  renderLngMode = o->lngMode;
  HMODULE own = plModuleOfAddress((const void *)&SetLngMode);
  DialogData *dialog = load(own, PLUGIN_MODULE_NUMBER, file, name);
  if (!dialog) {
    /* name the dialogs the file does define, at most a line's worth */
    char names[512] = "", current[256] = "", first[256] = "";
    for (int n = 0; n < 100; n++) {
      enumerate(nullptr, file, current);
      if (!current[0] || strcmp(current, first) == 0) break;
      if (!first[0]) snprintf(first, sizeof first, "%s", current);
      size_t used = strlen(names);
      if (used + strlen(current) + 3 >= sizeof names) break;
      snprintf(names + used, sizeof names - used, "%s%s", used ? ", " : "", current);
    }
    sessionClose();
    if (!names[0]) return fail(EXIT_FAILED, "%s defines no dialog with items (no \"%s\")", file, name);
    fprintf(stderr, "tessel: %s has no dialog \"%s\" with items; it defines: %s\n", file, name, names);
    return EXIT_FAILED;
  }
  show(dialog);
  release(dialog);
  Screen *screen = sessionScreen();
  if (strcmp(format, "ansi") == 0) dumpAnsi(screen, stdout);
  else if (strcmp(format, "html") == 0) dumpHtml(screen, stdout, name);
  else dumpText(screen, stdout);
  sessionClose();
  if (fflush(stdout) != 0) return fail(EXIT_FAILED, "cannot write the output: %s", strerror(errno));
  return EXIT_OK;
}

int runReg(int argc, char **argv) {
#ifdef TESSEL_HAVE_REG
  return regCommand(argc, argv);
#else
  (void)argc;
  (void)argv;
  return fail(EXIT_FAILED, "this tessel was built without the registry command");
#endif
}

}  // namespace

int main(int argc, char **argv) {
  if (argc >= 2 && strcmp(argv[1], "reg") == 0) return runReg(argc - 1, argv + 1);
  if (argc >= 2 && strcmp(argv[1], "check") == 0) return cmdCheck(argc - 1, argv + 1); /* TEMP */
  Options o;
  int status = parseOptions(argc, argv, &o);
  if (status) return status;
  if (!o.command && !o.help) return fail(EXIT_USAGE, "no command given (see tessel --help)");
  if (!o.command || strcmp(o.command, "help") == 0) {
    fputs(kUsage, stdout);
    return EXIT_OK;
  }
  int view = strcmp(o.command, "view") == 0, config = strcmp(o.command, "config") == 0;
  if (o.help) {
    if (view || config) printf("%s%s", view ? kViewHelp : kConfigHelp, kSessionOptions);
    else if (strcmp(o.command, "render") == 0) fputs(kRenderHelp, stdout);
    else return fail(EXIT_USAGE, "unknown command \"%s\" (see tessel --help)", o.command);
    return EXIT_OK;
  }
  if (view || config) status = runPlugin(&o, view);
  else if (strcmp(o.command, "render") == 0) status = runRender(&o);
  else status = fail(EXIT_USAGE, "unknown command \"%s\" (see tessel --help)", o.command);
  hostRelease();
  return status;
}
