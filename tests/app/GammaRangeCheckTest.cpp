#include "app/GammaRangeUnlock.h"
#include "tests/app/GammaRangeValue.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace {

// The menu's check mark follows this, read each time the menu opens (shown
// end to end by the tray-menu tests).
TEST(GammaRangeCheck, TheLimitCountsAsLiftedFrom256On) {
  const struct {
    long value;
    bool lifted;
  } kCases[] = {{-1, false}, {256, true}, {255, false}, {1024, true}, {0, false}};
  for (const auto &c : kCases) {
    SCOPED_TRACE(c.value);
    SetGammaRange(c.value);
    EXPECT_EQ(GammaRangeUnlocked() != 0, c.lifted);
  }
  SetGammaRange(-1);
}

} // namespace
