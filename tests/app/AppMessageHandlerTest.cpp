// The resident handler in this process, where the ramp it computes can be
// read from its buffer: the display keeps 8 bits per entry, too few to tell
// some ramps apart (gamma 1.0 with level 0 from the identity ramp).
#include "app/AppMessageHandler.h"

#include "app/AppState.h"
#include "gamma/GammaRamp.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

struct WorkedRow {
  double gamma;
  int darkLevel;
  std::uint16_t entries[7]; // at the indices below
};
const int kIndices[7] = {0, 1, 64, 128, 192, 254, 255};

// Worked out by hand from the curve's definition.
const WorkedRow kOneLevelZero = {1.0, 0, {0, 256, 16384, 32768, 49152, 65024, 65280}};
const WorkedRow kTwoLevel64 = {2.0, 64, {16384, 19712, 40448, 48128, 52992, 56320, 56320}};

class AppMessageHandlerTest : public ::testing::Test {
protected:
  void SetUp() override {
    found = ReadDisplayRamp();
    AppState &state = GetAppState();
    state.hotkeyRamp = &hotkeyRamp;
    state.hotkeyGamma = 1.0;
    state.hotkeyDarkLevel = 0;
    for (int i = 0; i < 10; ++i) {
      state.presets.gamma[i] = 1.0;
      state.presets.darkLevel[i] = 0;
    }
  }
  void TearDown() override {
    GetAppState().hotkeyRamp = nullptr;
    SetDisplayRamp(found);
  }

  static void Command(WPARAM code) {
    unsigned char handled = 0;
    AppMessageHandler(nullptr, WM_HOOKCOMMAND, code, 0, &handled);
    EXPECT_EQ(handled, 0);
  }

  void ExpectRamp(const WorkedRow &row) {
    SCOPED_TRACE(::testing::Message() << "gamma " << row.gamma << " level " << row.darkLevel);
    for (int channel = 0; channel < 3; ++channel)
      for (int k = 0; k < 7; ++k)
        EXPECT_EQ(hotkeyRamp.Entries()[channel * 256 + kIndices[k]], row.entries[k])
            << "channel " << channel << " entry " << kIndices[k];
  }

  GammaRamp hotkeyRamp;
  std::vector<std::uint16_t> found;
};

TEST_F(AppMessageHandlerTest, ResetComputesTheCurveForOneAndLevelZeroNotTheIdentity) {
  AppState &state = GetAppState();
  state.presets.gamma[1] = 2.0;
  state.presets.darkLevel[1] = 64;
  Command(HOOKCMD_PRESET1);
  ExpectRamp(kTwoLevel64);
  EXPECT_EQ(state.hotkeyGamma, 2.0);
  EXPECT_EQ(state.hotkeyDarkLevel, 64);

  Command(HOOKCMD_RESET);
  ExpectRamp(kOneLevelZero);
  EXPECT_EQ(state.hotkeyGamma, 1.0);
  EXPECT_EQ(state.hotkeyDarkLevel, 0);
}

} // namespace
