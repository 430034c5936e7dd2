#ifndef QUILLORA_TESTS_GAMMA_DISPLAYRAMPFIXTURE_H
#define QUILLORA_TESTS_GAMMA_DISPLAYRAMPFIXTURE_H

#include "gamma/GammaRamp.h"
#include "tests/support/WineDisplay.h"

#include <gtest/gtest.h>

#include <vector>

inline std::vector<std::uint16_t> Entries(const GammaRamp &ramp) {
  return std::vector<std::uint16_t>(ramp.Entries(), ramp.Entries() + GammaRamp::kEntryCount);
}

// The screen's ramp outlives the process, so each test puts back what it
// found.
class DisplayRampFixture : public ::testing::Test {
protected:
  void SetUp() override {
    found = ReadDisplayRamp();
    ASSERT_EQ(found.size(), 768u) << "the display's ramp cannot be read";
  }
  void TearDown() override { SetDisplayRamp(found); }

  std::vector<std::uint16_t> found;
};

#endif
