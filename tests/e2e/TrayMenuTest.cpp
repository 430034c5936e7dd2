#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"

#include <windows.h>

namespace {

// The popup menu window the program has open, waiting up to timeoutMs.
HWND WaitForOpenMenu(DWORD processId, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (HWND menu = FindProcessWindow(processId, "#32768", true))
      return menu;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

using TrayMenuTest = ResidentFixture;

TEST_F(TrayMenuTest, OnlyButtonPressesOnTheIconOpenTheMenu) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND window = resident.Window();
  for (LPARAM mouse : {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE})
    PostMessageA(window, WM_TRAYNOTIFY, 0, mouse);
  PostMessageA(window, WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN); // another icon's
  EXPECT_EQ(WaitForOpenMenu(resident.ProcessId(), 700), nullptr);

  PostMessageA(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
  HWND menu = WaitForOpenMenu(resident.ProcessId(), 5000);
  ASSERT_NE(menu, nullptr);
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  Sleep(500);
  EXPECT_EQ(WaitForOpenMenu(resident.ProcessId(), 0), nullptr);
  EXPECT_TRUE(resident.IsRunning()) << "a dismissed menu runs no command";
}

TEST_F(TrayMenuTest, ExitFromTheMenuEndsTheProgram) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND window = resident.Window();
  PostMessageA(window, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  HWND menu = WaitForOpenMenu(resident.ProcessId(), 5000);
  ASSERT_NE(menu, nullptr);
  PostMessageA(menu, WM_KEYDOWN, 'X', 0); // the exit entry's access key
  EXPECT_EQ(resident.WaitForExit(10000), 0);
  EXPECT_FALSE(TrayIconExists(window, 0));
}

TEST_F(TrayMenuTest, RestoreAppliesTheBaseRamp) {
  std::vector<std::uint16_t> base = WriteRamp("base.qlr", 0, 0, 0, 1.3);
  WriteConfig("*default base.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  PostMessageA(resident.Window(), WM_COMMAND, IDM_RESTOREGAMMA, 0);
  EXPECT_TRUE(WaitForDisplayRamp(base, 2000));
}

TEST_F(TrayMenuTest, RestoreWithoutADefaultLineAppliesTheIdentity) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  PostMessageA(resident.Window(), WM_COMMAND, IDM_RESTOREGAMMA, 0);
  std::vector<std::uint16_t> identity(768);
  for (int i = 0; i < 768; ++i)
    identity[i] = static_cast<std::uint16_t>((i % 256) * 256 + 255);
  EXPECT_TRUE(WaitForDisplayRamp(identity, 2000));
}

TEST_F(TrayMenuTest, ExitCommandEndsTheProgram) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  PostMessageA(resident.Window(), WM_COMMAND, IDM_EXIT, 0);
  EXPECT_EQ(resident.WaitForExit(10000), 0);
}

} // namespace
