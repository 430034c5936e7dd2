#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"

#include <windows.h>

#include <shellapi.h>

namespace {

// The popup menu window the program has open, waiting up to timeoutMs.
HWND WaitForOpenMenu(DWORD processId, unsigned timeoutMs) {
  return WaitForProgramMenu(processId, timeoutMs);
}

using TrayMenuTest = ResidentFixture;

TEST_F(TrayMenuTest, OnlyButtonPressesOnTheIconOpenTheMenu) {
  // A command run by mistake would show: the restore command applies the
  // base ramp over the one set here, and the exit command ends the program.
  std::vector<std::uint16_t> base = WriteRamp("base.qlr", 0, 0, 0, 1.3);
  WriteConfig("*default base.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  ASSERT_TRUE(SetDisplayRamp(startRamp));
  HWND window = resident.Window();
  // Sent, not posted: each returns once handled, and one that opened the
  // menu would not return before the menu closed.
  for (LPARAM mouse : {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE}) {
    EXPECT_TRUE(resident.Send(WM_TRAYNOTIFY, 0, mouse, 5000)) << mouse;
  }
  EXPECT_TRUE(resident.Send(WM_TRAYNOTIFY, 1, WM_RBUTTONDOWN, 5000)) << "another icon's";
  EXPECT_EQ(WaitForOpenMenu(resident.ProcessId(), 0), nullptr);

  PostMessageA(window, WM_TRAYNOTIFY, 0, WM_LBUTTONDOWN);
  HWND menu = WaitForOpenMenu(resident.ProcessId(), 20000);
  ASSERT_NE(menu, nullptr);
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitForProgramMenuGone(resident.ProcessId(), 20000));
  // A dismissed menu runs no command.
  EXPECT_TRUE(resident.IsRunning());
  ExpectDisplay(startRamp);
  EXPECT_TRUE(resident.IsRunning());
}

// Explorer forgets every icon when it restarts, and then broadcasts
// "TaskbarCreated" to every top-level window.
TEST_F(TrayMenuTest, IconComesBackWhenTheTaskbarIsCreatedAgain) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  HWND window = resident.Window();
  ASSERT_TRUE(TrayIconExists(window, 0));
  NOTIFYICONDATAA forgotten = {};
  forgotten.cbSize = NOTIFYICONDATAA_V1_SIZE;
  forgotten.hWnd = window;
  forgotten.uID = 0;
  ASSERT_TRUE(Shell_NotifyIconA(NIM_DELETE, &forgotten));
  ASSERT_FALSE(TrayIconExists(window, 0));

  EXPECT_TRUE(resident.Send(RegisterWindowMessageA("TaskbarCreated"), 0, 0, 5000));
  EXPECT_TRUE(TrayIconExists(window, 0));
  PostMessageA(window, WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  HWND menu = WaitForOpenMenu(resident.ProcessId(), 20000);
  ASSERT_NE(menu, nullptr) << "the icon's menu opens";
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitForProgramMenuGone(resident.ProcessId(), 20000));
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
