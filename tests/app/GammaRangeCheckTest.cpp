#include "app/GammaRangeUnlock.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

const char kIcmKey[] = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ICM";

// -1 deletes the value.
void SetGammaRange(long value) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kIcmKey, 0, nullptr, 0,
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

// The menu's check mark follows this, read each time the menu opens (shown
// end to end by the tray-menu tests).
TEST(GammaRangeCheck, TheLimitCountsAsLiftedFrom256On) {
  const struct {
    long value;
    bool lifted;
  } kCases[] = {{-1, false}, {256, true}, {255, false}, {1024, true}, {0, false}};
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.value);
    SetGammaRange(c.value);
    EXPECT_EQ(GammaRangeUnlocked() != 0, c.lifted);
  }
  SetGammaRange(-1);
}

} // namespace
