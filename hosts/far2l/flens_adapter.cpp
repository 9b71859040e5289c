/*
 * flens.far-plug-mb: the Flens plug-in in far2l. It exports the host's
 * multibyte entry points, loads our unchanged Flens.so from its own folder
 * and hands every call on through the bridge, which translates the records,
 * module numbers and texts between the two.
 */
#include "hosts/far2l/bridge.h"

#include <dlfcn.h>
#include <string.h>

#include <string>

namespace {

/* Flens's exports, bound once at start-up; null when it could not be loaded. */
struct FlensExports {
  ts::SetStartupInfoFn setStartupInfo;
  ts::GetPluginInfoFn getPluginInfo;
  ts::ConfigureFn configure;
  ts::OpenFilePluginFn openFilePlugin;
};
FlensExports flens;
void *flensModule;

/* The values the host gives OpenFilePlugin's result: not taken, or dealt with
   and no panel opens. */
const HANDLE kDeclined = (HANDLE)(intptr_t)-1;

/* The folder of this adapter's file, with a trailing slash; empty when the
   system does not say. */
std::string ownFolder() {
  Dl_info info;
  if (!dladdr(reinterpret_cast<void *>(&ownFolder), &info) || !info.dli_fname) return std::string();
  std::string path(info.dli_fname);
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

/* Loads Flens.so from folder and binds its four host entry points; the
   plug-in counts as loaded only when all four are there. */
int loadFlens(const std::string &folder) {
  if (flensModule) return flens.setStartupInfo != nullptr;
  std::string path = folder + "Flens.so";
  flensModule = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!flensModule) {
    BridgeTrace("cannot load %s: %s", path.c_str(), dlerror());
    return 0;
  }
  flens.setStartupInfo = reinterpret_cast<ts::SetStartupInfoFn>(dlsym(flensModule, "SetStartupInfo"));
  flens.getPluginInfo = reinterpret_cast<ts::GetPluginInfoFn>(dlsym(flensModule, "GetPluginInfo"));
  flens.configure = reinterpret_cast<ts::ConfigureFn>(dlsym(flensModule, "Configure"));
  flens.openFilePlugin = reinterpret_cast<ts::OpenFilePluginFn>(dlsym(flensModule, "OpenFilePlugin"));
  if (!flens.setStartupInfo || !flens.getPluginInfo || !flens.configure || !flens.openFilePlugin) {
    BridgeTrace("%s lacks an entry point", path.c_str());
    flens = FlensExports();
    return 0;
  }
  return 1;
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void WINAPI SetStartupInfo(const oldfar::PluginStartupInfo *info) {
  std::string folder = ownFolder();
  BridgeLoadSettings(folder.c_str());
  if (!loadFlens(folder)) return;
  ts::StartupInfo ours;
  if (!BridgeStartup(info, &ours)) return;
  flens.setStartupInfo(&ours);
}

__attribute__((visibility("default"))) void WINAPI GetPluginInfo(oldfar::PluginInfo *info) {
  if (!info) return;
  if (!flens.getPluginInfo) return;
  ts::PluginInfo ours;
  memset(&ours, 0, sizeof ours);
  ours.structSize = (int32_t)sizeof ours;
  flens.getPluginInfo(&ours);
  BridgePluginInfo(&ours, info);
}

__attribute__((visibility("default"))) int WINAPI Configure(int itemNumber) {
  return flens.configure ? flens.configure(itemNumber) : 0;
}

/* Null names (the host asks for a new archive) and silent or find-file
   calls are declined; otherwise Flens's answer passes through. */
__attribute__((visibility("default"))) HANDLE WINAPI OpenFilePlugin(char *name, const unsigned char *data, int dataSize,
                                                                    int opMode) {
  if (!name || !flens.openFilePlugin || (opMode & (oldfar::OPM_SILENT | oldfar::OPM_FIND))) return kDeclined;
  HANDLE result = flens.openFilePlugin(name, data, dataSize);
  BridgeTrace("open %s mode %d: %ld", name, opMode, (long)(intptr_t)result);
  return result;
}

}  // extern "C"
