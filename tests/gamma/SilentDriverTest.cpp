#include "gamma/DeviceRamp.h"
#include "gamma/GammaRamp.h"
#include "tests/gamma/DisplayRampFixture.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

// A driver's safety check may drop a ramp silently: SetDeviceGammaRamp
// returns TRUE and the display keeps what it had. A display may also fail to
// hand its ramp back. Wine does neither, so these definitions link in place
// of the library's and do either on request; otherwise they call the system.
namespace {
int silentDriver = 0;
int readBackFails = 0;
} // namespace

int SetDeviceRamp(HDC dc, const std::uint16_t *entries) {
  return silentDriver || SetDeviceGammaRamp(dc, const_cast<std::uint16_t *>(entries));
}

int GetDeviceRamp(HDC dc, std::uint16_t *entries) {
  return !readBackFails && GetDeviceGammaRamp(dc, entries);
}

namespace {

int observed = 0;
void CountApplied(void *, const GammaRamp &) {
  ++observed;
}

class SilentDriverTest : public DisplayRampFixture {
protected:
  void SetUp() override {
    DisplayRampFixture::SetUp();
    before.SetCurve(2.0, 0);
    ASSERT_TRUE(SetDisplayRamp(Entries(before)));
    observed = 0;
    SetAppliedRampObserver(&CountApplied, nullptr);
  }
  void TearDown() override {
    SetAppliedRampObserver(nullptr, nullptr);
    silentDriver = 0;
    readBackFails = 0;
    DisplayRampFixture::TearDown();
  }
  GammaRamp before;
};

TEST_F(SilentDriverTest, ARampCountsAsTakenOnlyWhenTheDisplayShowsIt) {
  struct Case {
    const char *what;
    int silent;
    int readFails;
    double gamma;
    int taken;
  };
  const Case cases[] = {
      {"the driver sets it", 0, 0, 0.5, 1},
      {"TRUE, and nothing set", 1, 0, 0.5, 0},
      {"TRUE, nothing set, and no read-back: the TRUE stands", 1, 1, 0.5, 1},
      {"TRUE, and the display shows that ramp already", 1, 0, 2.0, 1},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(SetDisplayRamp(Entries(before)));
    silentDriver = c.silent;
    readBackFails = c.readFails;
    observed = 0;
    GammaRamp ramp;
    ramp.SetCurve(c.gamma, 0);
    ApplyOutcome outcome;
    EXPECT_EQ(ramp.Apply(&outcome), c.taken) << c.what;
    EXPECT_EQ(observed, c.taken) << c.what << ": only a taken ramp is reported";
    if (c.taken)
      continue;
    EXPECT_EQ(outcome.monitorsTaken, 0) << c.what;
    EXPECT_EQ(outcome.desktopTook, 0) << c.what << ": the desktop's DC is read back too";
    // Each monitor is named with its Windows number: \\.\DISPLAY2 as "(2)".
    for (const std::string &monitor : MonitorDevices()) {
      std::string number = "(" + monitor.substr(monitor.find_first_of("0123456789")) + ")";
      EXPECT_NE(std::string(outcome.refused).find(number), std::string::npos) << monitor;
    }
    EXPECT_EQ(HighBytes(ReadDisplayRamp()), HighBytes(Entries(before))) << c.what;
  }
}

TEST_F(SilentDriverTest, AResetIsTheIdentityRampWhereTheRampInForceShouldBe) {
  GammaRamp identity, other;
  identity.SetIdentity();
  other.SetCurve(1.5, 0);
  struct Case {
    const char *what;
    const GammaRamp &shown;
    int readFails;
    int reset;
  };
  const Case cases[] = {
      {"the identity", identity, 0, 1},
      {"the ramp in force", before, 0, 0},
      {"a ramp another program set", other, 0, 0},
      {"a display that cannot be read", identity, 1, 0},
  };
  for (const Case &c : cases) {
    ASSERT_TRUE(SetDisplayRamp(Entries(c.shown)));
    readBackFails = c.readFails;
    EXPECT_EQ(ScreenShowsReset(before.Entries()), c.reset) << c.what;
  }
  // The ramp in force may be the identity itself: then nothing was reset.
  ASSERT_TRUE(SetDisplayRamp(Entries(identity)));
  readBackFails = 0;
  EXPECT_EQ(ScreenShowsReset(identity.Entries()), 0);
}

} // namespace
