#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"

#include <windows.h>

namespace {

const unsigned kWaitMs = 10000;

using ModalLoopTest = ResidentFixture;

HWND WaitForOpenMenu(DWORD processId, unsigned timeoutMs) {
  DWORD start = GetTickCount();
  do {
    if (HWND menu = FindProcessWindow(processId, "#32768", true))
      return menu;
    Sleep(20);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

// The click arrives during the pause after the hot-key ramp, so the menu
// opens inside that pause's drain; the display changes made while it is open
// must each apply their file as they would from the main loop.
TEST_F(ModalLoopTest, ResolutionChangesWhileTheMenuIsOpenInsideAPauseAllApply) {
  std::vector<std::uint16_t> first = WriteRamp("first.qlr", 800, 600, 0, 1.2);
  std::vector<std::uint16_t> second = WriteRamp("second.qlr", 1024, 768, 0, 1.4);
  WriteConfig("*800x600 first.qlr\r\n*1024x768 second.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));

  PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_RESET, 0);
  PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  HWND menu = WaitForOpenMenu(resident.ProcessId(), kWaitMs);
  ASSERT_NE(menu, nullptr);

  ASSERT_TRUE(SetDisplayMode(800, 600));
  EXPECT_TRUE(WaitForDisplayRamp(first, 3000));
  ASSERT_TRUE(SetDisplayMode(1024, 768));
  EXPECT_TRUE(WaitForDisplayRamp(second, 3000));
  ExpectStill(second, 500);

  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitForWindowGone(menu, kWaitMs) || !IsWindowVisible(menu));
}

// The same inside the creation dialog opened from that menu.
TEST_F(ModalLoopTest, ResolutionChangesWhileADialogIsOpenInsideAPauseAllApply) {
  std::vector<std::uint16_t> first = WriteRamp("first.qlr", 800, 600, 0, 1.2);
  std::vector<std::uint16_t> second = WriteRamp("second.qlr", 1024, 768, 0, 1.4);
  WriteConfig("*800x600 first.qlr\r\n*1024x768 second.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));

  PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_RESET, 0);
  PostMessageA(resident.Window(), WM_TRAYNOTIFY, 0, WM_RBUTTONDOWN);
  HWND menu = WaitForOpenMenu(resident.ProcessId(), kWaitMs);
  ASSERT_NE(menu, nullptr);
  PostMessageA(menu, WM_KEYDOWN, 'C', 0); // the creation entry's access key
  HWND dialog = WaitForDialog(resident.ProcessId(), "ガンマ設定の作成", kWaitMs);
  ASSERT_NE(dialog, nullptr);

  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(SetDisplayMode(800, 600));
    EXPECT_TRUE(WaitForDisplayRamp(first, 3000));
    ASSERT_TRUE(SetDisplayMode(1024, 768));
    EXPECT_TRUE(WaitForDisplayRamp(second, 3000));
  }
  ExpectStill(second, 500);
  PostMessageA(dialog, WM_COMMAND, IDC_APPLY, 0);
  EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
}

} // namespace
