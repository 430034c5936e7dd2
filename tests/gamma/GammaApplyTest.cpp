#include "gamma/GammaRamp.h"
#include "tests/gamma/DisplayRampFixture.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <windows.h>

#include <string>
#include <vector>

namespace {

class GammaApplyTest : public DisplayRampFixture {};

TEST_F(GammaApplyTest, ComputedRampsReachTheDisplay) {
  struct Curve {
    double gamma;
    int darkLevel;
  };
  // Dark levels whose entry 0 stays below 512: the display refuses ramps
  // that start higher.
  for (Curve curve : {Curve{2.0, 0}, Curve{0.5, 0}, Curve{1.0, 0}, Curve{3.9998779296875, 1}}) {
    GammaRamp ramp;
    ramp.SetCurve(curve.gamma, curve.darkLevel);
    EXPECT_EQ(ramp.Apply(), 1) << curve.gamma;
    EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(ramp))) << curve.gamma;
  }
  GammaRamp identity;
  identity.SetIdentity();
  EXPECT_EQ(identity.Apply(), 1);
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(identity)));
}

TEST_F(GammaApplyTest, RefusedRampReportsZeroAndLeavesTheDisplayAsItWas) {
  GammaRamp previous;
  previous.SetCurve(2.0, 0);
  ASSERT_EQ(previous.Apply(), 1);

  GammaRamp flat, inverted;
  for (int i = 0; i < GammaRamp::kEntryCount; ++i) {
    flat.Entries()[i] = 32768;
    inverted.Entries()[i] = static_cast<std::uint16_t>(65535 - (i % 256) * 256);
  }
  for (const GammaRamp *refused : {&flat, &inverted}) {
    EXPECT_EQ(refused->Apply(), 0);
    EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(previous)));
  }
  // The refusals leave nothing in the way of the next ramp.
  GammaRamp next;
  next.SetCurve(0.5, 0);
  EXPECT_EQ(next.Apply(), 1);
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(next)));
}

// Every monitor of the desktop takes the same ramp through its own DC, and
// each shows it when read back through that DC. Runs with one monitor and,
// under tests/e2e/two-monitors.sh, with two.
TEST_F(GammaApplyTest, EveryMonitorTakesAndShowsTheRamp) {
  const std::vector<std::string> monitors = MonitorDevices();
  ASSERT_EQ(static_cast<int>(monitors.size()), GetSystemMetrics(SM_CMONITORS));
  GammaRamp ramp;
  ramp.SetCurve(2.0, 0);
  ApplyOutcome outcome;
  ASSERT_EQ(ramp.Apply(&outcome), 1);
  EXPECT_EQ(outcome.monitorCount, static_cast<int>(monitors.size()));
  EXPECT_EQ(outcome.monitorsTaken, outcome.monitorCount);
  EXPECT_EQ(outcome.desktopTook, 0);
  EXPECT_STREQ(outcome.refused, "");
  for (const std::string &monitor : monitors)
    EXPECT_EQ(HighBytes(ReadMonitorRamp(monitor)), HighBytes(Entries(ramp))) << monitor;
  EXPECT_EQ(ScreenShowsRamp(ramp.Entries()), 1);

  // Another program's ramp: the monitors no longer show ours.
  GammaRamp other;
  other.SetCurve(0.5, 0);
  ASSERT_TRUE(SetDisplayRamp(Entries(other)));
  EXPECT_EQ(ScreenShowsRamp(ramp.Entries()), 0);
  EXPECT_EQ(ScreenShowsRamp(other.Entries()), 1);
}

TEST_F(GammaApplyTest, RefusedRampNamesEveryMonitor) {
  GammaRamp flat;
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    flat.Entries()[i] = 32768;
  ApplyOutcome outcome;
  EXPECT_EQ(flat.Apply(&outcome), 0);
  EXPECT_EQ(outcome.monitorsTaken, 0);
  EXPECT_EQ(outcome.desktopTook, 0);
  // Each by its own name and its Windows number, \\.\DISPLAY2 as "(2)", in
  // the order they are listed.
  std::string refused = outcome.refused;
  std::size_t at = 0;
  for (const std::string &monitor : MonitorDevices()) {
    std::string number = "(" + monitor.substr(monitor.find_first_of("0123456789")) + ")";
    at = refused.find(number, at);
    EXPECT_NE(at, std::string::npos) << monitor << " in " << refused;
  }
  EXPECT_EQ(static_cast<std::size_t>(std::count(refused.begin(), refused.end(), ',')),
            MonitorDevices().size() - 1)
      << refused;
}

} // namespace
