#include "gamma/RampBlend.h"

#include "gamma/GammaRamp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

typedef std::vector<std::uint16_t> Ramp;

Ramp Curve(double gamma) {
  GammaRamp ramp;
  ramp.SetCurve(gamma, 0);
  return Ramp(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

Ramp Blend(const Ramp &from, const Ramp &to, int part, int whole) {
  Ramp out(GammaRamp::kEntryCount);
  BlendRamps(from.data(), to.data(), part, whole, out.data());
  return out;
}

// Entries chosen for their rounding: rising, falling and the 16-bit ends.
TEST(RampBlendTest, BlendsEachEntryToTheNearestValue) {
  struct EntryCase {
    std::uint16_t from, to;
    int part, whole;
    std::uint16_t blended;
  } const cases[] = {
      {0, 65535, 0, 10, 0},
      {0, 65535, 10, 10, 65535},
      {0, 65535, 1, 2, 32768},
      {65535, 0, 1, 2, 32767},
      {100, 200, 1, 3, 133},
      {100, 200, 2, 3, 167},
      {200, 100, 1, 3, 167},
      {200, 100, 2, 3, 133},
      {100, 200, -5, 3, 100},
      {100, 200, 9, 3, 200},
      {0, 65535, 1, 86400000, 0},
      {0, 65535, 43200000, 86400000, 32768},
      {512, 512, 1, 2, 512},
      {0, 1, 1, 2, 1},
      {1, 0, 1, 2, 0},
  };
  for (const EntryCase &c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.from << " -> " << c.to << " at " << c.part << "/" << c.whole);
    Ramp from(GammaRamp::kEntryCount, c.from);
    Ramp to(GammaRamp::kEntryCount, c.to);
    Ramp out = Blend(from, to, c.part, c.whole);
    EXPECT_EQ(c.blended, out.front());
    EXPECT_EQ(c.blended, out.back());
  }
}

TEST(RampBlendTest, GoesEntryByEntryAndMayWriteOverItsInput) {
  Ramp from = Curve(1.0);
  Ramp to = Curve(2.0);
  EXPECT_EQ(from, Blend(from, to, 0, 100));
  EXPECT_EQ(to, Blend(from, to, 100, 100));
  Ramp half = Blend(from, to, 50, 100);
  for (int i = 0; i < GammaRamp::kEntryCount; ++i) {
    int low = std::min(from[i], to[i]);
    int high = std::max(from[i], to[i]);
    ASSERT_GE(half[i], low) << i;
    ASSERT_LE(half[i], high) << i;
    ASSERT_LE(std::abs(2 * half[i] - from[i] - to[i]), 1) << i;
  }
  Ramp inPlace = from;
  BlendRamps(inPlace.data(), to.data(), 50, 100, inPlace.data());
  EXPECT_EQ(half, inPlace);
}

TEST(RampBlendTest, LevelsDifferOnlyByTheHighByte) {
  Ramp a = Curve(1.0);
  EXPECT_EQ(0, RampLevelsDiffer(a.data(), a.data()));
  for (int i : {0, 255, 256, GammaRamp::kEntryCount - 1}) {
    SCOPED_TRACE(i);
    Ramp b = a;
    b[i] = static_cast<std::uint16_t>((a[i] & 0xFF00) | 0x00FF);
    EXPECT_EQ(0, RampLevelsDiffer(a.data(), b.data()));
    b[i] = static_cast<std::uint16_t>(a[i] ^ 0x0100);
    EXPECT_EQ(1, RampLevelsDiffer(a.data(), b.data()));
  }
}

// What the resident program does in a fade: a blend at each step, applied
// only when a level changed. The first and last applies are the two ends.
TEST(RampBlendTest, AFadeAppliesDistinctRampsFromOneEndToTheOther) {
  Ramp from = Curve(1.0);
  Ramp to = Curve(2.0);
  Ramp shown = from;
  int applies = 0;
  const int whole = 256;
  for (int part = 1; part <= whole; ++part) {
    Ramp step = Blend(from, to, part, whole);
    if (!RampLevelsDiffer(step.data(), shown.data()))
      continue;
    shown = step;
    ++applies;
  }
  EXPECT_EQ(to, shown);
  EXPECT_GE(applies, 3);
  EXPECT_LE(applies, 256);
}

} // namespace
