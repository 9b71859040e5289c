/*
 * The plug-in's two settings, a language choice and a disable switch, kept as
 * 32-bit values in HKEY_CURRENT_USER\<root key>\Formlens\Config; the language
 * mode handed to the library; the configuration menu entry; and the
 * configuration dialog "Config" of FL_main.dlg that edits both settings.
 */
#include <stdio.h>
#include <string.h>

#include "viewer/viewer.h"

namespace {

/* Where the settings live below the host's root key. */
const char kSettingsBranch[] = "Formlens";
const char kSettingsSubkey[] = "Config";
const char kLngModeValue[] = "LngMode";
const char kDisableValue[] = "Disable";

/* Room of the composed settings path, its terminating zero included. */
enum { FL_SETTINGS_PATH_SIZE = 88 };

/* The configuration dialog. */
const char kConfigFile[] = "FL_main.dlg";
const char kConfigDialog[] = "Config";

/* The identifiers of the configuration dialog's items that the plug-in reads
   and sets, as the second ENUM of FL_main.dlg gives them (eShowNames,
   eDisable); the two must agree. Stored choice k is the radio button
   FL_ID_FIRST_CHOICE + k, for k of 0, 1, 2. */
enum FlConfigId { FL_ID_FIRST_CHOICE = 3, FL_ID_DISABLE = 6 };

/* What ShowDialog returns for a dialog closed without a button. */
enum { FL_EXIT_CANCELLED = -1 };

/* The one-entry configuration menu announced to the host; the host reads it
   through the pointer it is given. */
const char *configMenu[1];

}  // namespace

int32_t flLngMode = 1;
int32_t flDisable;
HKEY flSettingsKey;

HKEY OpenSettingsKey(const char *subkey) {
  if (flSettingsKey) {
    plRegCloseKey(flSettingsKey);
    flSettingsKey = nullptr;
  }
  if (!flRootKey || !subkey) return nullptr;
  char path[FL_SETTINGS_PATH_SIZE];
  int length = snprintf(path, sizeof path, "%s\\%s\\%s", flRootKey, kSettingsBranch, subkey);
  if (length < 0 || length >= (int)sizeof path) {
    /* A cut path would name some other key: keep the defaults instead. */
    plDebugOutput("Settings key too long\n");
    return nullptr;
  }
  HKEY key = nullptr;
  if (plRegCreateKey(PL_HKEY_CURRENT_USER, path, &key) != 0 || !key) return nullptr;
  plDebugOutput("ok\n");
  return key;
}

long ReadSetting(const char *name, void *destination, uint32_t size) {
  long status = PL_ERROR_INVALID_HANDLE;
  if (flSettingsKey) {
    uint32_t room = size;
    status = plRegQueryValue(flSettingsKey, name, nullptr, destination, &room);
  }
  /* A failed read may have left part of a longer value behind. */
  if (status != 0) memset(destination, 0, size);
  return status;
}

long WriteSetting(const char *name, int32_t value) {
  if (!flSettingsKey) return PL_ERROR_INVALID_HANDLE;
  return plRegSetValue(flSettingsKey, name, PL_REG_DWORD, &value, sizeof value);
}

int32_t LngModeFromStored(int32_t stored) {
  uint32_t choice = (uint32_t)stored & 3u;
  return choice == 2 ? 0 : (int32_t)choice + 1;
}

void LoadSettings(void) {
  flSettingsKey = OpenSettingsKey(kSettingsSubkey);
  if (!flSettingsKey) return;
  ReadSetting(kLngModeValue, &flLngMode, sizeof flLngMode);
  flLngMode = LngModeFromStored(flLngMode);
  flDisable = 0;
  ReadSetting(kDisableValue, &flDisable, sizeof flDisable);
}

const char *GetPluginMsg(int messageNumber) {
  if (!flStarted || !flStartup.hostGetMsg) return nullptr;
  return flStartup.hostGetMsg(flStartup.moduleNumber, messageNumber);
}

extern "C" int SetLngMode(void) { return flLngMode; }

extern "C" void TS_HOSTAPI GetPluginInfo(PluginInfo *info) {
  if (!info) return;
  info->structSize = (int32_t)sizeof(PluginInfo);
  if (flDisable) return;
  configMenu[0] = GetPluginMsg(0);
  info->pluginConfigStrings = configMenu;
  info->pluginConfigStringsNumber = 1;
}

extern "C" int TS_HOSTAPI Configure(int itemNumber) {
  (void)itemNumber;
  /* The dialog is always built with the localised texts. */
  int32_t kept = flLngMode;
  flLngMode = 0;
  DialogData *dialog = flLib.LoadDialogEx(flModule, flStartup.moduleNumber, kConfigFile, kConfigDialog);
  flLngMode = kept;

  flSettingsKey = OpenSettingsKey(kSettingsSubkey);
  if (flSettingsKey) {
    /* Start from what is stored, not from what is in memory. */
    int32_t work = 0;
    ReadSetting(kDisableValue, &work, sizeof work);
    flLib.SetItemStatus(dialog, FL_ID_DISABLE, work);
    work = 0;
    ReadSetting(kLngModeValue, &work, sizeof work);
    flLib.SetRadioStatus(dialog, FL_ID_FIRST_CHOICE, FL_ID_FIRST_CHOICE + (int)((uint32_t)work & 3u));
  }

  /* No dialog was built (no library, or no such description): nothing was
     shown, so nothing is taken over. */
  int exitId = dialog ? flLib.ShowDialog(dialog) : FL_EXIT_CANCELLED;
  if (exitId != FL_EXIT_CANCELLED) {
    int32_t disable = flLib.GetItemStatus(dialog, FL_ID_DISABLE);
    WriteSetting(kDisableValue, disable);
    flDisable = disable;
    /* Radio FL_ID_FIRST_CHOICE + k -> choice k (two low bits); none
       selected (-1), or anything else whose two low bits give 3 -> 0.
       Unsigned, so no identifier can overflow. */
    uint32_t choice = ((uint32_t)flLib.GetRadioStatus(dialog, FL_ID_FIRST_CHOICE) - (uint32_t)FL_ID_FIRST_CHOICE) & 3u;
    if (choice == 3) choice = 0;
    WriteSetting(kLngModeValue, (int32_t)choice);
    flLngMode = LngModeFromStored((int32_t)choice);
  }
  flLib.FreeDialog(dialog);
  return exitId != FL_EXIT_CANCELLED ? 1 : 0;
}
