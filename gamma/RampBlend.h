#ifndef QUILLORA_GAMMA_RAMPBLEND_H
#define QUILLORA_GAMMA_RAMPBLEND_H

#include <cstdint>

// The ramp part / whole of the way from `from` to `to`, entry by entry
// (GammaRamp::kEntryCount of each), rounded to the nearest value: part 0 or
// less gives `from`, part of whole or more gives `to`. whole must be above
// 0. `out` may be either input.
void BlendRamps(const std::uint16_t *from, const std::uint16_t *to, int part, int whole,
                std::uint16_t *out);

// 1 when some entry of the two ramps lies on another level (high byte): the
// least change a display shows.
int RampLevelsDiffer(const std::uint16_t *a, const std::uint16_t *b);

#endif
