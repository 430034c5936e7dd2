#ifndef QUILLORA_TESTS_CONFIG_REGISTRYFIXTURE_H
#define QUILLORA_TESTS_CONFIG_REGISTRYFIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

// Every test starts and ends without the program's key in Wine's registry.
class PresetsKeyTest : public testing::Test {
protected:
  static constexpr const char *kKey = "Software\\Tessivo\\Quil";

  void SetUp() override { DeleteKey(); }
  void TearDown() override { DeleteKey(); }

  static void DeleteKey() { RegDeleteKeyA(HKEY_CURRENT_USER, kKey); }

  static bool KeyExists() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    RegCloseKey(key);
    return true;
  }

  static void SetRaw(const char *name, DWORD type, const void *data, DWORD size) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name, 0, type, static_cast<const BYTE *>(data), size));
    RegCloseKey(key);
  }

  static void SetDwordValue(const char *name, int value) {
    DWORD data = static_cast<DWORD>(value);
    SetRaw(name, REG_DWORD, &data, sizeof data);
  }

  // The stored type and data of a value; false when it cannot be read.
  static bool Query(const char *name, DWORD &type, DWORD &data) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
      return false;
    DWORD size = sizeof data;
    LONG result =
        RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE *>(&data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && size == sizeof data;
  }
};

#endif
