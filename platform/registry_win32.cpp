/*
 * The Win32 registry: each plReg* call is the Windows registry function of
 * the same name, with the access words of the platform layer turned into
 * Windows access masks. The few checks made here keep both platforms'
 * answers alike where Windows would otherwise act on a whole key.
 */
#include "platform/platform.h"

namespace {

/* The Windows access mask for an access word of the platform layer. */
REGSAM accessMask(int access) { return access == PL_KEY_READ ? KEY_READ : KEY_ALL_ACCESS; }

}  // namespace

long plRegOpenKey(HKEY root, const char *path, int access, HKEY *key) {
  if (!key) return PL_ERROR_INVALID_PARAMETER;
  *key = nullptr;
  if (access != PL_KEY_READ && access != PL_KEY_ALL_ACCESS) return PL_ERROR_INVALID_PARAMETER;
  return RegOpenKeyExA(root, path ? path : "", 0, accessMask(access), key);
}

long plRegCreateKey(HKEY root, const char *path, HKEY *key) {
  if (!key) return PL_ERROR_INVALID_PARAMETER;
  *key = nullptr;
  return RegCreateKeyExA(root, path ? path : "", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key, nullptr);
}

long plRegQueryValue(HKEY key, const char *name, uint32_t *type, void *data, uint32_t *size) {
  if (data && !size) return PL_ERROR_INVALID_PARAMETER;
  DWORD windowsType = 0;
  DWORD windowsSize = size ? *size : 0;
  long error =
      RegQueryValueExA(key, name, nullptr, &windowsType, static_cast<BYTE *>(data), size ? &windowsSize : nullptr);
  if (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
    if (type) *type = windowsType;
    if (size) *size = windowsSize;
  }
  return error;
}

long plRegSetValue(HKEY key, const char *name, uint32_t type, const void *data, uint32_t size) {
  if (!data && size) return PL_ERROR_INVALID_PARAMETER;
  return RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size);
}

long plRegDeleteValue(HKEY key, const char *name) { return RegDeleteValueA(key, name); }

long plRegDeleteTree(HKEY root, const char *path) {
  /* RegDeleteTreeA with no subkey empties the key itself: never wanted here. */
  if (!path || !*path) return PL_ERROR_INVALID_PARAMETER;
  return RegDeleteTreeA(root, path);
}

long plRegEnumValue(HKEY key, uint32_t index, char *name, uint32_t nameRoom, uint32_t *type, void *data,
                    uint32_t *size) {
  if (!name || (data && !size)) return PL_ERROR_INVALID_PARAMETER;
  DWORD nameLength = nameRoom;
  DWORD windowsType = 0;
  DWORD windowsSize = size ? *size : 0;
  long error = RegEnumValueA(key, index, name, &nameLength, nullptr, &windowsType, static_cast<BYTE *>(data),
                             size ? &windowsSize : nullptr);
  if (error == ERROR_SUCCESS || error == ERROR_MORE_DATA) {
    if (type) *type = windowsType;
    if (size) *size = windowsSize;
  }
  return error;
}

long plRegEnumKey(HKEY key, uint32_t index, char *name, uint32_t nameRoom) {
  if (!name) return PL_ERROR_INVALID_PARAMETER;
  DWORD nameLength = nameRoom;
  return RegEnumKeyExA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
}

long plRegCloseKey(HKEY key) {
  /* The predefined roots are no handles of ours to close. */
  if (key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  return RegCloseKey(key);
}
