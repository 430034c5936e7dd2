#ifndef QUILLORA_TESTS_APP_GAMMARANGEVALUE_H
#define QUILLORA_TESTS_APP_GAMMARANGEVALUE_H

#include <gtest/gtest.h>
#include <windows.h>

// Sets GdiIcmGammaRange in the 64-bit view of HKLM, where the program reads
// it; -1 deletes the value.
inline void SetGammaRange(long value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE,
                            "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM", 0, nullptr, 0,
                            KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  if (value < 0) {
    RegDeleteValueA(key, "GdiIcmGammaRange");
  } else {
    DWORD data = static_cast<DWORD>(value);
    RegSetValueExA(key, "GdiIcmGammaRange", 0, REG_DWORD, reinterpret_cast<BYTE *>(&data),
                   sizeof data);
  }
  RegCloseKey(key);
}

#endif
