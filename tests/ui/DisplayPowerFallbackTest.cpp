// Windows 7 knows no console display state: registering for it fails there,
// and the monitor's power is what it reports instead. Wine takes any
// registration, so the registrations come from this file, linked in place of
// the program's calls into user32: each refuses the settings the case says
// and records what was asked.
#include "ui/DisplayPowerNotification.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<GUID> asked;
std::vector<GUID> refused;
std::vector<HANDLE> unregistered;
// Distinct made-up handles, one for each registration taken.
UINT_PTR nextHandle = 0x100;

bool Contains(const std::vector<GUID> &settings, const GUID &setting) {
  for (const GUID &each : settings)
    if (IsEqualGUID(each, setting))
      return true;
  return false;
}

} // namespace

HANDLE RegisterPowerSetting(HWND, const GUID &setting) {
  asked.push_back(setting);
  if (Contains(refused, setting))
    return nullptr;
  return reinterpret_cast<HANDLE>(nextHandle++);
}

void UnregisterPowerSetting(HANDLE registration) {
  unregistered.push_back(registration);
}

namespace {

TEST(DisplayPowerNotificationFallback, RegistersTheMonitorsPowerWhereTheConsoleStateFails) {
  struct Case {
    const char *system;
    std::vector<GUID> refused;
    int registered;
    std::vector<GUID> asked;
  };
  const Case cases[] = {
      {"Windows 8 and later", {}, 1, {kConsoleDisplayState}},
      {"Windows 7", {kConsoleDisplayState}, 1, {kConsoleDisplayState, kMonitorPowerOn}},
      {"neither",
       {kConsoleDisplayState, kMonitorPowerOn},
       0,
       {kConsoleDisplayState, kMonitorPowerOn}},
  };
  HWND window = reinterpret_cast<HWND>(0x1234);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.system);
    refused = c.refused;
    asked.clear();
    unregistered.clear();
    {
      DisplayPowerNotification displayPower;
      EXPECT_EQ(displayPower.Register(window), c.registered);
      EXPECT_EQ(displayPower.IsRegistered(), c.registered);
      ASSERT_EQ(asked.size(), c.asked.size());
      for (size_t i = 0; i < asked.size(); ++i)
        EXPECT_TRUE(IsEqualGUID(asked[i], c.asked[i])) << "call " << i;
    }
    // The one registration held, and no other, is dropped at the end.
    EXPECT_EQ(unregistered.size(), static_cast<size_t>(c.registered));
    if (c.registered) {
      EXPECT_EQ(unregistered[0], reinterpret_cast<HANDLE>(nextHandle - 1));
    }
  }
}

} // namespace
