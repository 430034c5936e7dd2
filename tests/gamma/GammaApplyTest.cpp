#include "gamma/GammaRamp.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::uint16_t> Entries(const GammaRamp &ramp) {
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

// The screen's ramp outlives the process, so each test puts back what it
// found.
class GammaApplyTest : public ::testing::Test {
protected:
  void SetUp() override {
    found = ReadDisplayRamp();
    ASSERT_EQ(found.size(), 768u) << "the display's ramp cannot be read";
  }
  void TearDown() override { SetDisplayRamp(found); }

  std::vector<std::uint16_t> found;
};

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

} // namespace
