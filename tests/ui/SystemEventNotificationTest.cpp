#include "ui/DisplayPowerNotification.h"
#include "ui/SessionNotification.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A hidden top-level window, as the resident program's main window is.
class HiddenWindow {
public:
  HiddenWindow()
      : window(CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr)) {}
  virtual ~HiddenWindow() {
    if (window)
      DestroyWindow(window);
  }
  HiddenWindow(const HiddenWindow &) = delete;
  HiddenWindow &operator=(const HiddenWindow &) = delete;
  HWND window;
};

TEST(SessionNotificationTest, RegistersAndUnregistersTheWindow) {
  HiddenWindow hidden;
  ASSERT_NE(hidden.window, nullptr);
  SessionNotification session;
  EXPECT_EQ(session.Unregister(), 0) << "nothing registered yet";
  ASSERT_EQ(session.Register(hidden.window), 1);
  EXPECT_TRUE(session.IsRegistered());
  EXPECT_EQ(session.Register(hidden.window), 1) << "registering again replaces the first";
  EXPECT_EQ(session.Unregister(), 1);
  EXPECT_FALSE(session.IsRegistered());
  EXPECT_EQ(session.Unregister(), 0);
}

TEST(DisplayPowerNotificationTest, RegistersAndUnregistersTheWindow) {
  HiddenWindow hidden;
  ASSERT_NE(hidden.window, nullptr);
  DisplayPowerNotification displayPower;
  EXPECT_EQ(displayPower.Unregister(), 0) << "nothing registered yet";
  ASSERT_EQ(displayPower.Register(hidden.window), 1);
  EXPECT_TRUE(displayPower.IsRegistered());
  EXPECT_EQ(displayPower.Unregister(), 1);
  EXPECT_FALSE(displayPower.IsRegistered());
  EXPECT_EQ(displayPower.Unregister(), 0);
}

// The message as the system builds it: the GUID, the data's length, then
// the data.
std::vector<unsigned char> PowerSetting(const GUID &setting, DWORD length, DWORD state) {
  std::vector<unsigned char> bytes(sizeof(PowerSettingMessage) + sizeof(DWORD));
  PowerSettingMessage header = {setting, length, {0}};
  std::memcpy(bytes.data(), &header, offsetof(PowerSettingMessage, Data));
  std::memcpy(bytes.data() + offsetof(PowerSettingMessage, Data), &state, sizeof state);
  return bytes;
}

TEST(SaysDisplayCameOnTest, OnlyTheDisplaySwitchedOn) {
  // GUID_ACDC_POWER_SOURCE: its 1 means a battery, not a display.
  const GUID otherSetting = {
      0x5d3e9a59, 0xe9d5, 0x4b00, {0xa6, 0xbd, 0xff, 0x34, 0xff, 0x51, 0x65, 0x48}};
  struct Case {
    const char *what;
    WPARAM event;
    GUID setting;
    DWORD length;
    DWORD state;
    int cameOn;
  };
  const Case cases[] = {
      {"display on", kPowerSettingChange, kConsoleDisplayState, 4, 1, 1},
      {"display off", kPowerSettingChange, kConsoleDisplayState, 4, 0, 0},
      {"display dimmed", kPowerSettingChange, kConsoleDisplayState, 4, 2, 0},
      {"monitor power on (Windows 7)", kPowerSettingChange, kMonitorPowerOn, 4, 1, 1},
      {"monitor power off (Windows 7)", kPowerSettingChange, kMonitorPowerOn, 4, 0, 0},
      {"monitor power, data too short", kPowerSettingChange, kMonitorPowerOn, 3, 1, 0},
      {"another setting", kPowerSettingChange, otherSetting, 4, 1, 0},
      {"data too short", kPowerSettingChange, kConsoleDisplayState, 3, 1, 0},
      {"not a power-setting event", PBT_APMRESUMESUSPEND, kConsoleDisplayState, 4, 1, 0},
  };
  for (const Case &c : cases) {
    std::vector<unsigned char> message = PowerSetting(c.setting, c.length, c.state);
    EXPECT_EQ(SaysDisplayCameOn(c.event, reinterpret_cast<LPARAM>(message.data())), c.cameOn)
        << c.what;
  }
}

TEST(SaysDisplayCameOnTest, DataThatIsNoReadableMemoryIsNoMessage) {
  // Another program can send any lParam; none of these may be read.
  EXPECT_EQ(SaysDisplayCameOn(kPowerSettingChange, 0), 0);
  EXPECT_EQ(SaysDisplayCameOn(kPowerSettingChange, 16), 0);
  void *page = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  ASSERT_NE(page, nullptr);
  std::vector<unsigned char> on = PowerSetting(kConsoleDisplayState, 4, 1);
  // The message would run past the end of the page.
  unsigned char *lastBytes = static_cast<unsigned char *>(page) + 4096 - 8;
  std::memcpy(lastBytes, on.data(), 8);
  EXPECT_EQ(SaysDisplayCameOn(kPowerSettingChange, reinterpret_cast<LPARAM>(lastBytes)), 0);
  // Whole, but no longer readable.
  std::memcpy(page, on.data(), on.size());
  DWORD old = 0;
  ASSERT_TRUE(VirtualProtect(page, 4096, PAGE_NOACCESS, &old));
  EXPECT_EQ(SaysDisplayCameOn(kPowerSettingChange, reinterpret_cast<LPARAM>(page)), 0);
  ASSERT_TRUE(VirtualProtect(page, 4096, PAGE_READONLY, &old));
  EXPECT_EQ(SaysDisplayCameOn(kPowerSettingChange, reinterpret_cast<LPARAM>(page)), 1)
      << "the same message in readable memory is read";
  VirtualFree(page, 0, MEM_RELEASE);
}

} // namespace
