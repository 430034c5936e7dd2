#ifndef QUILLORA_TESTS_CONFIG_REGISTRYFIXTURE_H
#define QUILLORA_TESTS_CONFIG_REGISTRYFIXTURE_H

#include <gtest/gtest.h>
#include <windows.h>

#include <sddl.h>

#include <vector>

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

// While it lives, an existing key lets everyone read it and nothing else, as
// a policy may leave a user's key. Wine checks a key's access list as
// Windows does, running as root too (measured: KEY_ALL_ACCESS and
// KEY_SET_VALUE are refused with ERROR_ACCESS_DENIED, KEY_QUERY_VALUE is
// granted). The owner may still change the list, which puts the old one back.
class ReadOnlyKey {
public:
  ReadOnlyKey(HKEY keyRoot, const char *keyName) : root(keyRoot), subKey(keyName) {
    HKEY key = nullptr;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, subKey, 0, READ_CONTROL | WRITE_DAC, &key));
    DWORD size = 0;
    RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, nullptr, &size);
    old.resize(size);
    EXPECT_EQ(ERROR_SUCCESS, RegGetKeySecurity(key, DACL_SECURITY_INFORMATION, old.data(), &size));
    PSECURITY_DESCRIPTOR readOnly = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, readOnly));
    LocalFree(readOnly);
    RegCloseKey(key);
  }
  virtual ~ReadOnlyKey() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subKey, 0, WRITE_DAC, &key) != ERROR_SUCCESS)
      return;
    RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, old.data());
    RegCloseKey(key);
  }
  ReadOnlyKey(const ReadOnlyKey &) = delete;
  ReadOnlyKey &operator=(const ReadOnlyKey &) = delete;

private:
  HKEY root;
  const char *subKey;
  std::vector<BYTE> old;
};

#endif
