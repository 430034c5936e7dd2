#include "tests/e2e/DialogDriver.h"
#include "tests/e2e/ResidentFixture.h"

#include "hook/HookCommands.h"
#include "res/resource.h"
#include "ui/MonitorDialog.h"

#include <windows.h>

#include <fstream>
#include <map>
#include <string>

// Run by two-monitors.sh, on a display with a second monitor DUMMY1 to the
// right of the first, in a prefix without Wine's virtual desktop (which is
// one monitor whatever the X server shows).
namespace {

const unsigned kSoon = 2000;
// Wine hears of an output switched on or off through the X server.
const unsigned kTopologySettles = 10000;

// xrandr is a Linux program: Wine starts it but gives no handle to wait on,
// so the caller waits for the monitor count instead.
bool RunXrandr(const std::string &arguments) {
  std::string commandLine = "Z:\\usr\\bin\\xrandr " + arguments;
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return false;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

bool WaitForMonitorCount(int count) {
  DWORD start = GetTickCount();
  while (GetSystemMetrics(SM_CMONITORS) != count) {
    if (GetTickCount() - start >= kTopologySettles)
      return false;
    Sleep(100);
  }
  return true;
}

bool SecondMonitor(bool on) {
  return RunXrandr(on ? "--output DUMMY1 --mode 1024x768b --right-of DUMMY0"
                      : "--output DUMMY1 --off") &&
         WaitForMonitorCount(on ? 2 : 1);
}

class TwoMonitorTest : public ResidentFixture {
protected:
  void SetUp() override {
    ASSERT_EQ(GetSystemMetrics(SM_CMONITORS), 2) << "run by two-monitors.sh only";
    ResidentFixture::SetUp();
  }
  void TearDown() override {
    ResidentFixture::TearDown();
    EXPECT_TRUE(SecondMonitor(true));
  }

  void Post(WPARAM code) { EXPECT_TRUE(PostMessageA(resident.Window(), WM_HOOKCOMMAND, code, 0)); }

  // Every monitor there is shows `ramp`, each read through its own DC.
  void ExpectEveryMonitor(const std::vector<std::uint16_t> &ramp) {
    ASSERT_TRUE(WaitForDisplayRamp(ramp, kSoon));
    for (const std::string &monitor : MonitorDevices())
      EXPECT_EQ(HighBytes(ReadMonitorRamp(monitor)), HighBytes(ramp)) << monitor;
  }
};

TEST_F(TwoMonitorTest, HotKeysReachEveryMonitor) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  double gamma = 1.0;
  Post(HOOKCMD_GAMMAUP);
  ExpectEveryMonitor(CurveRamp(gamma += 0.025, 0));
  Post(HOOKCMD_GAMMADOWN);
  Post(HOOKCMD_GAMMADOWN);
  gamma -= 0.025;
  ExpectEveryMonitor(CurveRamp(gamma -= 0.025, 0));
}

// A monitor taken away and brought back while the program runs changes
// nothing by itself; the next ramp reaches the monitors there are then.
TEST_F(TwoMonitorTest, NextApplyReachesTheMonitorsThereAre) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  double gamma = 1.0;
  Post(HOOKCMD_GAMMAUP);
  ExpectEveryMonitor(CurveRamp(gamma += 0.025, 0));

  ASSERT_TRUE(SecondMonitor(false));
  ExpectStill(CurveRamp(gamma, 0), 1000);
  ASSERT_TRUE(resident.IsRunning());
  Post(HOOKCMD_GAMMAUP);
  ExpectEveryMonitor(CurveRamp(gamma += 0.025, 0));

  ASSERT_TRUE(SecondMonitor(true));
  ExpectStill(CurveRamp(gamma, 0), 1000);
  Post(HOOKCMD_GAMMAUP);
  ExpectEveryMonitor(CurveRamp(gamma += 0.025, 0));
  ASSERT_EQ(MonitorDevices().size(), 2u);
}

BOOL CALLBACK KeepSecondWorkArea(HMONITOR monitor, HDC, RECT *, LPARAM context) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  if (GetMonitorInfoA(monitor, &info) && !(info.dwFlags & MONITORINFOF_PRIMARY))
    *reinterpret_cast<RECT *>(context) = info.rcWork;
  return TRUE;
}

// The work area of the monitor that is not the primary one.
RECT SecondWorkArea() {
  RECT area = {};
  EnumDisplayMonitors(nullptr, nullptr, KeepSecondWorkArea, reinterpret_cast<LPARAM>(&area));
  return area;
}

// A tray click on the second monitor opens both dialogs there: at the
// cursor, and in its bottom-right corner kept inside it.
TEST_F(TwoMonitorTest, DialogsOpenOnTheMonitorUnderTheCursor) {
  ASSERT_TRUE(StartResident(ProgramPath()));
  RECT second = SecondWorkArea();
  ASSERT_GT(second.right, second.left) << "no second monitor";
  struct {
    int command;
    const char *caption;
    POINT cursor;
    bool inCorner;
  } cases[] = {
      {IDM_RESIDENTSETTINGS, "常駐ガンマ設定", {second.left + 476, 300}, false},
      {IDM_CREATEGAMMA, "ガンマ設定の作成", {second.left + 500, 200}, false},
      {IDM_RESIDENTSETTINGS, "常駐ガンマ設定", {second.right - 1, second.bottom - 1}, true},
      {IDM_CREATEGAMMA, "ガンマ設定の作成", {second.right - 1, second.bottom - 1}, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(std::string(c.caption) + (c.inCorner ? " in the corner" : ""));
    SetCursorPos(c.cursor.x, c.cursor.y);
    PostMessageA(resident.Window(), WM_COMMAND, static_cast<WPARAM>(c.command), 0);
    HWND dialog = WaitForDialog(resident.ProcessId(), c.caption, 10000);
    ASSERT_NE(dialog, nullptr);
    RECT rect = {};
    GetWindowRect(dialog, &rect);
    EXPECT_TRUE(LiesInside(dialog, second, {IDCANCEL}));
    if (c.inCorner) {
      EXPECT_EQ(rect.right, second.right);
      EXPECT_EQ(rect.bottom, second.bottom);
    } else {
      EXPECT_EQ(rect.left, c.cursor.x);
      EXPECT_EQ(rect.top, c.cursor.y);
    }
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(WaitForWindowGone(dialog, 10000));
  }
}

// The last ramp each device was given, by the high byte of entry 128, from
// the log of the recording build; and how many ramps each was given.
struct Given {
  std::map<std::string, int> last;
  std::map<std::string, int> count;
};

Given ReadGiven(const std::string &log) {
  Given given;
  std::ifstream in(log);
  std::string device;
  int level = 0;
  while (in >> device >> level) {
    given.last[device] = level;
    ++given.count[device];
  }
  return given;
}

int Level(const std::vector<std::uint16_t> &ramp) {
  return ramp[128] >> 8;
}

// One monitor left out, then given a file of its own, through the real
// dialog. Wine keeps one ramp for the whole X screen, so what each device
// was given is read from the recording build's log, not from the screen.
TEST_F(TwoMonitorTest, OneMonitorLeftOutThenGivenItsOwnFile) {
  std::string log = folder + "/given.txt";
  SetEnvironmentVariableA("QUIL_RAMP_LOG", WindowsPath(log).c_str());
  ASSERT_TRUE(StartResident(WindowsPath(RECORDING_DRIVER_EXE)));
  SetEnvironmentVariableA("QUIL_RAMP_LOG", nullptr);
  auto choose = [this](int button, const std::string &path) {
    PostMessageA(resident.Window(), WM_COMMAND, IDM_MONITORSETTINGS, 0);
    HWND dialog = WaitForDialog(resident.ProcessId(), "モニターごとの設定", 10000);
    ASSERT_NE(dialog, nullptr);
    HWND list = GetDlgItem(dialog, kMonitorList);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    // The second line is the second monitor, \\.\DISPLAY2.
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kMonitorList, LBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(list));
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    if (!path.empty())
      SendDlgItemMessageA(dialog, kMonitorPathBox, WM_SETTEXT, 0,
                          reinterpret_cast<LPARAM>(path.c_str()));
    ClickButton(dialog, IDOK);
    ASSERT_TRUE(WaitForWindowGone(dialog, 10000));
  };
  const std::string first = "\\\\.\\DISPLAY1", second = "\\\\.\\DISPLAY2";

  choose(kMonitorLeaveOutButton, "");
  ASSERT_TRUE(WaitForPostedMessages());
  Given before = ReadGiven(log);
  Post(HOOKCMD_PRESET5);
  ASSERT_TRUE(WaitForPostedMessages());
  Given given = ReadGiven(log);
  EXPECT_EQ(given.last[first], Level(CurveRamp(1.5, 0)));
  EXPECT_EQ(given.count[second], before.count[second]) << "the monitor left out was given a ramp";

  std::vector<std::uint16_t> own = WriteRamp("own.qlr", 0, 0, 0, 2.2);
  choose(kMonitorOwnFileButton, WindowsPath(folder + "/own.qlr"));
  ASSERT_TRUE(WaitForPostedMessages());
  given = ReadGiven(log);
  EXPECT_EQ(given.last[second], Level(own)) << "its own file at OK";
  Post(HOOKCMD_PRESET3);
  ASSERT_TRUE(WaitForPostedMessages());
  before = given;
  given = ReadGiven(log);
  EXPECT_EQ(given.last[first], Level(CurveRamp(1.3, 0)));
  EXPECT_EQ(given.count[second], before.count[second]) << "a hot key reached its own file";
  EXPECT_EQ(given.last[second], Level(own));
  EXPECT_EQ(given.count["desktop"], 0);

  // Back to the common ramp for the next tests.
  choose(kMonitorFollowButton, "");
}

} // namespace
