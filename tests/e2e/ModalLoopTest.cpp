#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "app/AppMessages.h"
#include "res/resource.h"
#include "ui/SettingsDialog.h"

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

// A dialog button that opens a modal loop of its own, clicked at once after
// a hot key: how a user meets it is by holding a hot key and clicking.
struct ButtonLoop {
  const char *name;
  int command;        // opens the dialog that holds the button
  const char *dialog; // its caption
  int button;         // opens the loop
  const char *loop;   // the caption of the loop's window
  int closeLoop;      // the command that closes it again
};

void PrintTo(const ButtonLoop &road, std::ostream *out) {
  *out << road.name;
}

class ButtonLoopTest : public ResidentFixture, public ::testing::WithParamInterface<ButtonLoop> {
protected:
  // The settings dialog refuses the top of its slider with a message box.
  void PrepareInvalidValue(HWND dialog) {
    HWND list = GetDlgItem(dialog, kSettingsPresetList);
    SendMessageA(list, LB_SETCURSEL, 4, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kSettingsPresetList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    DragSlider(dialog, kSettingsSlider, 30000);
  }
};

// The program is held while the hot key and the click are queued, so the
// hot-key command comes first and the click waits behind it: the hot-key
// handler's drain, which empties the queue before it returns, dispatches the
// click, and the loop opens inside that drain. The display changes made
// while the loop is open must each apply their file, every time, and a
// mode without an entry the base ramp.
TEST_P(ButtonLoopTest, ResolutionChangesWhileALoopOpenedInsideAPauseIsOpenAllApply) {
  const ButtonLoop &road = GetParam();
  std::vector<std::uint16_t> first = WriteRamp("first.qlr", 800, 600, 0, 1.2);
  std::vector<std::uint16_t> second = WriteRamp("second.qlr", 1024, 768, 0, 1.4);
  WriteConfig("*800x600 first.qlr\r\n*1024x768 second.qlr\r\n");
  ASSERT_TRUE(StartResident(ProgramPath()));
  PostMessageA(resident.Window(), WM_COMMAND, static_cast<WPARAM>(road.command), 0);
  HWND dialog = WaitForDialog(resident.ProcessId(), road.dialog, kWaitMs);
  ASSERT_NE(dialog, nullptr);
  if (road.command == IDM_RESIDENTSETTINGS)
    PrepareInvalidValue(dialog);

  resident.Suspend();
  PostMessageA(resident.Window(), WM_HOOKCOMMAND, HOOKCMD_PRESET3, 0);
  ClickButton(dialog, road.button);
  resident.Resume();
  HWND loop = WaitForDialog(resident.ProcessId(), road.loop, kWaitMs);
  ASSERT_NE(loop, nullptr);
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.3, 0), 0)) << "the hot key came first";

  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(SetDisplayMode(800, 600));
    EXPECT_TRUE(WaitForDisplayRamp(first, 3000)) << "round " << round;
    ASSERT_TRUE(SetDisplayMode(1024, 768));
    EXPECT_TRUE(WaitForDisplayRamp(second, 3000)) << "round " << round;
  }
  ASSERT_TRUE(SetDisplayMode(640, 480));
  EXPECT_TRUE(WaitForDisplayRamp(CurveRamp(1.0, 0), 3000)) << "the base ramp";

  PostMessageA(loop, WM_COMMAND, static_cast<WPARAM>(road.closeLoop), 0);
  EXPECT_TRUE(WaitForWindowGone(loop, kWaitMs));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitForWindowGone(dialog, kWaitMs));
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ButtonLoopTest,
    ::testing::Values(ButtonLoop{"SaveDialog", IDM_CREATEGAMMA, "ガンマ設定の作成", IDC_SAVE,
                                 "ガンマファイルの保存", IDCANCEL},
                      ButtonLoop{"InvalidValueBox", IDM_RESIDENTSETTINGS, "常駐ガンマ設定",
                                 kSettingsApply, "main", IDOK}),
    [](const ::testing::TestParamInfo<ButtonLoop> &param) { return param.param.name; });

} // namespace
