#include "gamma/RampBlend.h"

#include "gamma/GammaRamp.h"

void BlendRamps(const std::uint16_t *from, const std::uint16_t *to, int part, int whole,
                std::uint16_t *out) {
  part = part < 0 ? 0 : part > whole ? whole : part;
  for (int i = 0; i < GammaRamp::kEntryCount; ++i) {
    // In double, where distance * part (below 2^53) is exact and the
    // quotient is rounded once: in integers it would need 64 bits, and the
    // 32-bit program library code for their division.
    const double exact = static_cast<double>(to[i] - from[i]) * part / whole;
    // To the nearest value, halves away from zero.
    const int step = exact < 0 ? -static_cast<int>(0.5 - exact) : static_cast<int>(exact + 0.5);
    out[i] = static_cast<std::uint16_t>(from[i] + step);
  }
}

int RampLevelsDiffer(const std::uint16_t *a, const std::uint16_t *b) {
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    if ((a[i] >> 8) != (b[i] >> 8))
      return 1;
  return 0;
}
