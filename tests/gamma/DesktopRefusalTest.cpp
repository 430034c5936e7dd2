#include "gamma/DesktopRamp.h"
#include "gamma/GammaRamp.h"
#include "tests/gamma/DisplayRampFixture.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// Windows 10 1903 and later refuse every ramp on the desktop's DC when two
// monitors extend the desktop; Wine always takes it there. This definition
// links in place of the library's, so that the desktop's DC refuses here as
// it does on such a system, and counts how often it was asked.
namespace {
int desktopAsked = 0;
}

int SetDesktopRamp(const std::uint16_t *) {
  ++desktopAsked;
  return 0;
}

namespace {

class DesktopRefusalTest : public DisplayRampFixture {
protected:
  void SetUp() override {
    DisplayRampFixture::SetUp();
    desktopAsked = 0;
  }
};

TEST_F(DesktopRefusalTest, MonitorsCarryTheRampAlone) {
  for (double gamma : {2.0, 0.5}) {
    GammaRamp ramp;
    ramp.SetCurve(gamma, 0);
    ApplyOutcome outcome;
    EXPECT_EQ(ramp.Apply(&outcome), 1) << gamma;
    EXPECT_EQ(outcome.monitorsTaken, GetSystemMetrics(SM_CMONITORS)) << gamma;
    EXPECT_EQ(outcome.desktopTook, 0) << gamma;
    EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(ramp))) << gamma;
    for (const std::string &monitor : MonitorDevices())
      EXPECT_EQ(HighBytes(ReadMonitorRamp(monitor)), HighBytes(Entries(ramp))) << monitor;
  }
  EXPECT_EQ(desktopAsked, 0);
}

TEST_F(DesktopRefusalTest, EveryMonitorRefusingFailsAndChangesNothing) {
  GammaRamp previous;
  previous.SetCurve(2.0, 0);
  ASSERT_EQ(previous.Apply(), 1);
  GammaRamp inverted;
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    inverted.Entries()[i] = static_cast<std::uint16_t>(65535 - (i % 256) * 256);
  ApplyOutcome outcome;
  EXPECT_EQ(inverted.Apply(&outcome), 0);
  EXPECT_EQ(outcome.monitorsTaken, 0);
  EXPECT_EQ(outcome.desktopTook, 0);
  // The desktop's DC is the last road tried once every monitor refused.
  EXPECT_EQ(desktopAsked, 1);
  EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(previous)));
  EXPECT_EQ(ScreenShowsRamp(previous.Entries()), 1);
}

} // namespace
