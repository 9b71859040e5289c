/*
 * `tessel config`: the Flens plug-in's configuration (or that of the
 * plug-in --plugin names) as the host offers it:
 * GetPluginInfo for its entries, a menu when there are several, then
 * Configure with the chosen one. What it stores lands in the registry store.
 */
#include <stdio.h>
#include <string.h>

#include "host/menu.h"
#include "host/slots.h"
#include "tessel/command.h"
#include "tessel/plugin.h"

namespace {

/* Most configuration entries the menu offers. */
enum { MAX_CONFIG_ENTRIES = 64 };

const char kConfigHelp[] =
    "usage: tessel config [options]\n"
    "\n"
    "Shows the Flens plug-in's configuration dialog (GetPluginInfo, then Configure);\n"
    "what it stores lands in the registry store (see `tessel reg`, TESSEL_REGISTRY).\n"
    "With --plugin, the configuration entry of that plug-in instead.\n";

/* The entry the user picks from the plug-in's configuration entries: the
   only one, or the one chosen in the host's menu (-1: none). */
int chooseEntry(const PluginInfo *pluginInfo) {
  if (pluginInfo->pluginConfigStringsNumber <= 1) return 0;
  MenuEntry entries[MAX_CONFIG_ENTRIES];
  int count = pluginInfo->pluginConfigStringsNumber < MAX_CONFIG_ENTRIES ? pluginInfo->pluginConfigStringsNumber
                                                                         : MAX_CONFIG_ENTRIES;
  memset(entries, 0, sizeof entries);
  for (int i = 0; i < count; i++) {
    const char *text = pluginInfo->pluginConfigStrings[i];
    snprintf(entries[i].text, sizeof entries[i].text, "%s", text ? text : "");
  }
  /* centred (x and y -1), as high as it needs (0), no break keys */
  return hostMenuSlot(PLUGIN_MODULE_NUMBER, -1, -1, 0, MENU_WRAPMODE | MENU_AUTOHIGHLIGHT, "Plugins configuration",
                      nullptr, "Contents", nullptr, nullptr, entries, count);
}

}  // namespace

int cmdConfig(const CommandLine *line) {
  const Options *o = line->options;
  if (o->help) return printCommandHelp(CMD_CONFIG, kConfigHelp, kPluginExitStatus);
  if (!o->args.empty()) return fail(EXIT_USAGE, "config takes no file (see tessel config --help)");

  PluginHost plugin;
  int missing = 0;
  int status = pluginLoad(&plugin, o->plugin, &missing);
  if (status) return status;
  auto getInfo = (GetPluginInfoFn)needExport(plugin.module, "GetPluginInfo", "plug-in", &missing);
  auto configure = (ConfigureFn)needExport(plugin.module, "Configure", "plug-in", &missing);
  if (missing) return EXIT_FAILED;
  status = pluginStart(&plugin, o);
  if (status) return status;
  PluginInfo pluginInfo;
  memset(&pluginInfo, 0, sizeof pluginInfo);
  pluginInfo.structSize = (int32_t)sizeof pluginInfo;
  getInfo(&pluginInfo);
  if (pluginInfo.pluginConfigStringsNumber <= 0 || !pluginInfo.pluginConfigStrings) {
    status = pluginFinish(&plugin);
    if (status) return status;
    if (o->plugin) return fail(EXIT_FAILED, "the plug-in %s offers no configuration", o->plugin);
    return fail(EXIT_FAILED,
                "the plug-in offers no configuration (is its Disable setting on? clear it with "
                "tessel reg add \"HKCU\\%s\\Formlens\\Config\" /v Disable /t REG_DWORD /d 0 /f)",
                HOST_ROOT_KEY);
  }
  int chosen = chooseEntry(&pluginInfo);
  if (chosen >= 0) configure(chosen);
  return pluginFinish(&plugin);
}
