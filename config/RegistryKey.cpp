#include "config/RegistryKey.h"

RegistryKey::RegistryKey() : key(nullptr) {}

RegistryKey::~RegistryKey() { Close(); }

int RegistryKey::Open(const char *subKey, HKEY root) {
  return OpenWith(subKey, root, KEY_QUERY_VALUE);
}

int RegistryKey::OpenToChange(const char *subKey, HKEY root) {
  return OpenWith(subKey, root, KEY_QUERY_VALUE | KEY_SET_VALUE);
}

int RegistryKey::OpenToRead64(const char *subKey, HKEY root) {
  return OpenWith(subKey, root, KEY_QUERY_VALUE | KEY_WOW64_64KEY);
}

int RegistryKey::OpenWith(const char *subKey, HKEY root, REGSAM access) {
  Close();
  if (RegOpenKeyExA(root, subKey, 0, access, &key) == ERROR_SUCCESS)
    return 1;
  key = nullptr;
  return 0;
}

int RegistryKey::OpenToList(const char *subKey, HKEY root) {
  return OpenWith(subKey, root, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS);
}

int RegistryKey::Create(const char *subKey, HKEY root) {
  Close();
  DWORD disposition = 0;
  if (RegCreateKeyExA(root, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      &disposition) == ERROR_SUCCESS)
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

int RegistryKey::GetBytes(const char *name, unsigned char *data, DWORD *size) {
  if (!key || !size)
    return -1;
  return RegQueryValueExA(key, name, nullptr, nullptr, data, size) == ERROR_SUCCESS ? 0 : -1;
}

int RegistryKey::SetString(const char *name, const char *text) {
  if (!key)
    return 0;
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE *>(text),
                        static_cast<DWORD>(lstrlenA(text) + 1)) == ERROR_SUCCESS;
}

int RegistryKey::SubKeyName(DWORD index, char *name, DWORD size) {
  if (!key)
    return 0;
  return RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) ==
         ERROR_SUCCESS;
}

int RegistryKey::DeleteValue(const char *name) {
  if (!key)
    return 0;
  LONG result = RegDeleteValueA(key, name);
  return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}
