#include "gamma/AdvancedColor.h"

#include <gtest/gtest.h>

namespace {

const long kAnswered = 0;
const long kInvalidParameter = 87; // Wine 8, and systems before the query
const long kNotSupported = 50;

// The bits of DISPLAYCONFIG_GET_ADVANCED_COLOR_INFO.
const unsigned kSupported = 1u << 0;
const unsigned kEnabled = 1u << 1;
const unsigned kWideColorEnforced = 1u << 2;
const unsigned kForceDisabled = 1u << 3;

// DISPLAYCONFIG_ADVANCED_COLOR_MODE.
const unsigned kSdr = 0, kWideColor = 1, kHdr = 2;

TEST(AdvancedColorTest, OnlyAMonitorShowingHdrIsSpared) {
  struct Case {
    const char *what;
    AdvancedColorAnswers answers;
    int hdr;
  };
  const Case cases[] = {
      {"24H2: HDR", {kAnswered, kHdr, kAnswered, kSupported | kEnabled}, 1},
      {"24H2: SDR", {kAnswered, kSdr, kAnswered, kSupported}, 0},
      {"24H2: Auto Color Management on an SDR monitor",
       {kAnswered, kWideColor, kAnswered, kSupported | kEnabled},
       0},
      {"24H2 says SDR although the older query says enabled",
       {kAnswered, kSdr, kAnswered, kSupported | kEnabled},
       0},
      {"earlier: advanced colour enabled",
       {kInvalidParameter, kSdr, kAnswered, kSupported | kEnabled},
       1},
      {"earlier: supported, not enabled", {kInvalidParameter, kSdr, kAnswered, kSupported}, 0},
      {"earlier: wide colour enforced on SDR",
       {kInvalidParameter, kSdr, kAnswered, kSupported | kEnabled | kWideColorEnforced},
       0},
      {"earlier: forced off", {kInvalidParameter, kSdr, kAnswered, kSupported | kForceDisabled}, 0},
      {"Wine 8: neither query answers", {kInvalidParameter, kHdr, kInvalidParameter, kEnabled}, 0},
      {"older query fails, newer not there", {kNotSupported, kHdr, kNotSupported, kEnabled}, 0},
  };
  for (const Case &c : cases)
    EXPECT_EQ(ShowsHdr(c.answers), c.hdr) << c.what;
}

} // namespace
