#include "gamma/GammaRamp.h"

#include "tests/gamma/ReferenceCurve.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

const int kSize = GammaRamp::kChannelSize;

std::vector<std::uint16_t> Entries(const GammaRamp &ramp) {
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

std::vector<std::uint16_t> Channel(const GammaRamp &ramp, int channel) {
  const std::uint16_t *first = ramp.Entries() + channel * kSize;
  return std::vector<std::uint16_t>(first, first + kSize);
}

std::vector<std::uint16_t> Curve(double gamma, int darkLevel) {
  GammaRamp ramp;
  ramp.SetCurve(gamma, darkLevel);
  return Entries(ramp);
}

// Fills the buffer with something no curve produces, so that a test sees
// whether every entry was written.
void Scribble(GammaRamp &ramp) {
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    ramp.Entries()[i] = static_cast<std::uint16_t>(i * 40503 + 17);
}

bool Contains(const std::vector<int> &list, int value) {
  return std::find(list.begin(), list.end(), value) != list.end();
}

TEST(GammaRampTest, NewRampHasNoTargetDelayOrName) {
  std::unique_ptr<GammaRamp> ramp(new GammaRamp);
  EXPECT_EQ(ramp->GetTargetWidth(), 0);
  EXPECT_EQ(ramp->GetTargetHeight(), 0);
  EXPECT_EQ(ramp->GetApplyDelay(), 0);
  EXPECT_EQ(ramp->GetName(), nullptr);
  ramp->SetTargetSize(1280, 1024);
  ramp->SetApplyDelay(2000);
  EXPECT_EQ(ramp->GetTargetWidth(), 1280);
  EXPECT_EQ(ramp->GetTargetHeight(), 1024);
  EXPECT_EQ(ramp->GetApplyDelay(), 2000);
}

TEST(GammaRampTest, IdentityRunsFrom255To65535InEveryChannel) {
  GammaRamp ramp;
  Scribble(ramp);
  ramp.SetIdentity();
  for (int channel = 0; channel < 3; ++channel)
    for (int j = 0; j < kSize; ++j)
      ASSERT_EQ(ramp.Entries()[channel * kSize + j], j * 256 + 255) << channel << " " << j;
}

struct WorkedRow {
  double gamma;
  int darkLevel;
  int at[7]; // entries 0, 1, 64, 128, 192, 254, 255
};

const WorkedRow kWorkedRows[] = {
    {1.0, 0, {0, 256, 16384, 32768, 49152, 65024, 65280}},
    {2.0, 0, {0, 3840, 32512, 46080, 56576, 65024, 65280}},
    {0.5, 0, {0, 0, 4096, 16384, 36864, 64768, 65280}},
    {1.0, 64, {16384, 16384, 28416, 40704, 52992, 65024, 65024}},
    {2.0, 64, {16384, 19712, 40448, 48128, 52992, 56320, 56320}},
    {0.25, 64, {16384, 16128, 12800, 17920, 53760, 65535, 65535}},
};

class GammaCurveWorkedValues : public ::testing::TestWithParam<WorkedRow> {};

TEST_P(GammaCurveWorkedValues, MatchInAllThreeChannels) {
  const WorkedRow &row = GetParam();
  GammaRamp ramp;
  Scribble(ramp);
  ramp.SetCurve(row.gamma, row.darkLevel);
  const int index[7] = {0, 1, 64, 128, 192, 254, 255};
  for (int channel = 0; channel < 3; ++channel)
    for (int k = 0; k < 7; ++k)
      EXPECT_EQ(ramp.Entries()[channel * kSize + index[k]], row.at[k])
          << "channel " << channel << ", j=" << index[k];
}

INSTANTIATE_TEST_SUITE_P(GammaCurve, GammaCurveWorkedValues, ::testing::ValuesIn(kWorkedRows));

TEST(GammaCurveTest, GammaOneWithoutDarkLevelIsJTimes256) {
  GammaRamp ramp;
  ramp.SetCurve(1.0, 0);
  for (int j = 0; j < kSize; ++j)
    ASSERT_EQ(ramp.Entries()[j], j * 256) << j;
}

// Entry 0 is the dark term alone, 255 / (255 / a), which falls just below a
// for a few levels and then truncates to a - 1. The power term is 0 there,
// so the gamma does not matter.
TEST(GammaCurveTest, EntryZeroIsTheDarkLevelExceptWhereTheQuotientFallsShort) {
  const std::vector<int> shortLevels = {13, 26, 31, 52, 55, 61, 62};
  for (double gamma : {1.0, 2.0, 0.5, 0.25}) {
    for (int a = 1; a <= 64; ++a) {
      GammaRamp ramp;
      ramp.SetCurve(gamma, a);
      const int expected = 256 * (Contains(shortLevels, a) ? a - 1 : a);
      EXPECT_EQ(ramp.Entries()[0], expected) << "gamma " << gamma << ", level " << a;
    }
  }
}

// At gamma 1, entry 255 is (255 / d) * d, which falls just below 255 for
// some d = 255 - a.
TEST(GammaCurveTest, LastEntryAtGammaOneIs65280ExceptWhereTheProductFallsShort) {
  const std::vector<int> shortLevels = {13, 20, 21, 22, 23, 34, 38, 43, 45, 48, 49, 52, 55, 64};
  for (int a = 0; a <= 64; ++a) {
    GammaRamp ramp;
    ramp.SetCurve(1.0, a);
    EXPECT_EQ(ramp.Entries()[255], Contains(shortLevels, a) ? 65024 : 65280) << "level " << a;
  }
}

TEST(GammaCurveTest, WithoutDarkLevelStartsAt0AndEndsAt65280ForEveryGamma) {
  for (double gamma : {0.25, 0.3, 0.5, 0.8, 1.0, 1.7, 2.2, 3.0, 3.9998779296875}) {
    GammaRamp ramp;
    ramp.SetCurve(gamma, 0);
    EXPECT_EQ(ramp.Entries()[0], 0) << gamma;
    EXPECT_EQ(ramp.Entries()[255], 65280) << gamma;
  }
}

TEST(GammaCurveTest, LowGammaWithDarkLevelDipsThenClampsAtTheTop) {
  GammaRamp ramp;
  ramp.SetCurve(0.25, 64);
  const std::uint16_t *entry = ramp.Entries();
  EXPECT_EQ(*std::min_element(entry, entry + kSize), 12544);
  for (int j = 0; j < kSize; ++j)
    EXPECT_EQ(entry[j] == 12544, j >= 69 && j <= 83) << j;
  EXPECT_EQ(entry[254], 65535);
  EXPECT_EQ(entry[255], 65535);
}

TEST(GammaCurveTest, EntriesAreMultiplesOf256OrTheClampAndChannelsAreEqual) {
  GammaRamp ramp;
  for (int position = 2048; position <= 32767; position += 1531) {
    for (int a = 0; a <= 64; ++a) {
      Scribble(ramp);
      ramp.SetCurveFromSlider(position, a);
      const std::vector<std::uint16_t> red = Channel(ramp, 0);
      ASSERT_EQ(Channel(ramp, 1), red) << position << " " << a;
      ASSERT_EQ(Channel(ramp, 2), red) << position << " " << a;
      for (int j = 0; j < kSize; ++j)
        ASSERT_TRUE(red[j] % 256 == 0 || red[j] == 65535) << position << " " << a << " " << j;
    }
  }
}

// The ramp settles most levels from an estimate of the power; wherever that
// could differ from std::pow by a level it must defer to std::pow. Slider
// positions across the range, the dark levels that sit on last-bit
// truncations, every dark level a curve accepts, and gammas off the slider's
// grid (presets hold any gamma), on both sides of where the estimate stops.
TEST(GammaCurveTest, MatchesTheCurveOfOneStdPowPerEntry) {
  struct Case {
    double gamma;
    int darkLevel;
  };
  std::vector<Case> cases;
  for (int position = 2048; position <= 32767; position += 5)
    for (int a : {0, 1, 13, 17, 51, 64})
      cases.push_back({position / 8192.0, a});
  for (int position = 2048; position <= 32767; position += 499)
    for (int a = 0; a <= 254; ++a)
      cases.push_back({position / 8192.0, a});
  for (double gamma : {1.0 / 12, 1.0 / 12.000001, 1.0 / 11.9999, 0.1, 1.0 / 3, 1.1, 2.2,
                       1.0000000000000002, 0.9999999999999999, 5.5, 100.0, 1e6})
    for (int a = 0; a <= 254; a += 3)
      cases.push_back({gamma, a});
  GammaRamp ramp;
  for (const Case &c : cases) {
    ramp.SetCurve(c.gamma, c.darkLevel);
    ASSERT_EQ(Channel(ramp, 0), ReferenceCurve(c.gamma, c.darkLevel))
        << "gamma " << c.gamma << ", level " << c.darkLevel;
  }
}

TEST(GammaCurveTest, SliderPositionIsGammaTimes8192) {
  for (int position : {2048, 3000, 8192, 12345, 16384, 24576, 32767}) {
    for (int a : {0, 13, 64}) {
      GammaRamp slider;
      slider.SetCurveFromSlider(position, a);
      EXPECT_EQ(Entries(slider), Curve(position / 8192.0, a)) << position << " " << a;
    }
  }
  GammaRamp slider;
  slider.SetCurveFromSlider(16384, 0);
  EXPECT_EQ(Entries(slider), Curve(2.0, 0));
  slider.SetCurveFromSlider(2048, 64);
  EXPECT_EQ(Entries(slider), Curve(0.25, 64));
}

TEST(GammaCurveTest, NegativeDarkLevelIsNoDarkLevel) {
  for (double gamma : {0.25, 1.0, 2.0}) {
    const std::vector<std::uint16_t> levelZero = Curve(gamma, 0);
    for (int a : {-1, -13, -64, INT_MIN})
      EXPECT_EQ(Curve(gamma, a), levelZero) << gamma << " " << a;
  }
}

// Arguments no caller passes must still give a defined ramp; the native
// build checks with the sanitizers that none of them reaches an undefined
// conversion or division.
TEST(GammaCurveTest, GammaNotAboveZeroIsGammaOne) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  for (int a : {0, 13, 64}) {
    const std::vector<std::uint16_t> gammaOne = Curve(1.0, a);
    for (double gamma : {0.0, -0.0, -1.0, -0.25, -infinity, nan})
      EXPECT_EQ(Curve(gamma, a), gammaOne) << gamma << " " << a;
  }
}

TEST(GammaCurveTest, DarkLevelFrom255UpIsLevel254) {
  for (double gamma : {0.25, 1.0, 3.0}) {
    const std::vector<std::uint16_t> level254 = Curve(gamma, 254);
    for (int a : {255, 256, 1000, INT_MAX})
      EXPECT_EQ(Curve(gamma, a), level254) << gamma << " " << a;
  }
  // Level 254 itself leaves an almost flat ramp near the top: the dark term
  // alone gives entry 0, the power term alone entry 255.
  const std::vector<std::uint16_t> level254 = Curve(1.0, 254);
  EXPECT_EQ(level254[0], 254 * 256);
  EXPECT_EQ(level254[255], 255 * 256);
}

TEST(GammaCurveTest, ExtremeGammasSaturate) {
  const double infinity = std::numeric_limits<double>::infinity();
  // A vanishing gamma leaves every entry below the top at black; an infinite
  // one lifts every entry above 0 to the top.
  for (double tiny : {1e-300, std::numeric_limits<double>::denorm_min()}) {
    const std::vector<std::uint16_t> steep = Curve(tiny, 0);
    for (int j = 0; j < kSize; ++j)
      ASSERT_EQ(steep[j], j == 255 ? 65280 : 0) << tiny << " " << j;
  }
  for (double huge : {1e300, infinity}) {
    const std::vector<std::uint16_t> flat = Curve(huge, 0);
    for (int j = 0; j < kSize; ++j)
      ASSERT_EQ(flat[j], j == 0 ? 0 : 65280) << huge << " " << j;
  }
  // With a dark level the power term of a tiny gamma overflows to infinity
  // above d = 255 - a; those entries clamp. At d itself it is 1, so the
  // entry is d plus the dark term 64 / (255 / 64) = 16.06.
  const std::vector<std::uint16_t> overflowing = Curve(1e-300, 64);
  EXPECT_EQ(overflowing[191], (191 + 16) * 256);
  for (int j = 192; j < kSize; ++j)
    EXPECT_EQ(overflowing[j], 65535) << j;
}

} // namespace

namespace {

// What the X server hands back for an entry: its high byte, spread over 16
// bits.
std::vector<std::uint16_t> KeptAt8Bits(std::vector<std::uint16_t> ramp) {
  for (std::uint16_t &entry : ramp)
    entry = static_cast<std::uint16_t>((entry >> 8) * 257);
  return ramp;
}

TEST(DisplayShowsRampTest, ComparesAtTheDisplaysPrecision) {
  const std::vector<std::uint16_t> applied = Curve(2.0, 0);
  std::vector<std::uint16_t> roundedUp = applied, twoLevelsOff = applied, lastBlue = applied;
  // A driver that rounds to nearest may hand back one level more.
  for (std::uint16_t &entry : roundedUp)
    entry = static_cast<std::uint16_t>(std::min(65535, entry + 256));
  twoLevelsOff[300] = static_cast<std::uint16_t>(twoLevelsOff[300] + 512);
  lastBlue[767] = 0;
  GammaRamp identity, clamped;
  identity.SetIdentity();
  clamped.SetCurve(0.25, 64); // holds the 65535 clamp
  struct Case {
    const char *what;
    std::vector<std::uint16_t> displayed, applied;
    int shows;
  };
  const Case cases[] = {
      {"the very same ramp", applied, applied, 1},
      {"kept at 8 bits", KeptAt8Bits(applied), applied, 1},
      {"identity kept at 8 bits", KeptAt8Bits(Entries(identity)), Entries(identity), 1},
      {"clamp kept at 8 bits", KeptAt8Bits(Entries(clamped)), Entries(clamped), 1},
      {"rounded up by a level", roundedUp, applied, 1},
      {"one entry two levels off", twoLevelsOff, applied, 0},
      {"last blue entry reset", lastBlue, applied, 0},
      {"identity where a curve was applied", Entries(identity), applied, 0},
      {"a curve where identity was applied", applied, Entries(identity), 0},
  };
  for (const Case &c : cases)
    EXPECT_EQ(DisplayShowsRamp(c.displayed.data(), c.applied.data()), c.shows) << c.what;
}

} // namespace
