#include "gamma/RampBlend.h"

#include "gamma/GammaRamp.h"

void BlendRamps(const std::uint16_t *from, const std::uint16_t *to, long long part, long long whole,
                std::uint16_t *out) {
  if (part < 0)
    part = 0;
  if (part > whole)
    part = whole;
  for (int i = 0; i < GammaRamp::kEntryCount; ++i) {
    long long distance = static_cast<long long>(to[i]) - from[i];
    // To the nearest value, halves away from zero.
    long long scaled = distance * part;
    long long step = (scaled + (scaled < 0 ? -whole / 2 : whole / 2)) / whole;
    out[i] = static_cast<std::uint16_t>(from[i] + step);
  }
}

int RampLevelsDiffer(const std::uint16_t *a, const std::uint16_t *b) {
  for (int i = 0; i < GammaRamp::kEntryCount; ++i)
    if ((a[i] >> 8) != (b[i] >> 8))
      return 1;
  return 0;
}
