#include "config/RegistryKey.h"

RegistryKey::RegistryKey() : key(nullptr) {}

RegistryKey::~RegistryKey() { Close(); }

int RegistryKey::Open(const char *subKey, HKEY root) {
  Close();
  if (RegOpenKeyExA(root, subKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS)
    return 1;
  key = nullptr;
  return 0;
}

int RegistryKey::OpenToRead64(const char *subKey, HKEY root) {
  Close();
  if (RegOpenKeyExA(root, subKey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &key) == ERROR_SUCCESS)
    return 1;
  key = nullptr;
  return 0;
}

int RegistryKey::Create(const char *subKey, HKEY root) {
  Close();
  DWORD disposition = 0;
  if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                      &key, &disposition) == ERROR_SUCCESS)
    return 1;
  key = nullptr;
  return 0;
}

int RegistryKey::Close() {
  if (!key)
    return 0;
  RegCloseKey(key);
  key = nullptr;
  return 1;
}

int RegistryKey::SetDword(const char *name, int value) {
  if (!key)
    return 0;
  DWORD data = static_cast<DWORD>(value);
  return RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE *>(&data),
                        sizeof data) == ERROR_SUCCESS;
}

int RegistryKey::GetDword(const char *name, int *out, int defaultValue) {
  if (!key || !out)
    return -1;
  // Read into a cleared buffer: a value of fewer than 4 bytes fills only its
  // own bytes, and the rest must not come from whatever *out held.
  DWORD data = 0;
  DWORD type = 0;
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&data), &size) !=
      ERROR_SUCCESS) {
    *out = defaultValue;
    return -1;
  }
  *out = static_cast<int>(data);
  return 0;
}
