#include "gamma/PowerEstimate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

TEST(PowerEstimateTest, CoversExponentsFrom0To12Only) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double infinity = std::numeric_limits<double>::infinity();
  const struct {
    double e;
    int covered;
  } cases[] = {{0.0, 1},       {-0.0, 1},    {1e-300, 1}, {1.0, 1},      {12.0, 1},
               {12.000001, 0}, {-1e-300, 0}, {-1.0, 0},   {infinity, 0}, {nan, 0}};
  for (const auto &c : cases)
    EXPECT_EQ(PowerEstimate::Covers(c.e), c.covered) << c.e;
}

// Every base a ramp can ask for, at exponents across the whole covered
// range: the slider's 0.25 to 4, the ends, and values with no short binary
// form.
TEST(PowerEstimateTest, StaysWithinItsErrorOfStdPowForEveryBase) {
  const double exponents[] = {0.0,       1e-9,          0.25, 1.0 / 3, 0.5,
                              1.0 / 1.3, 1.0,           2.0,  2.2,     3.14159265358979,
                              4.0,       8192 / 2049.0, 7.77, 11.999,  12.0};
  for (double e : exponents) {
    for (int d = 1; d <= 255; ++d) {
      const PowerEstimate power(d, e);
      for (int n = 1; n <= 255; ++n) {
        const double exact = std::pow(n / static_cast<double>(d), e);
        ASSERT_LE(std::fabs(power.Of(n) - exact) / exact, PowerEstimate::kRelativeError)
            << n << " / " << d << " ^ " << e;
      }
    }
  }
}

} // namespace
