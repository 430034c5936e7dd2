#include "tests/e2e/ResidentFixture.h"

#include "hook/HookCommands.h"

#include <windows.h>

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

} // namespace
