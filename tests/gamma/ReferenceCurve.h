#ifndef QUILLORA_TESTS_GAMMA_REFERENCECURVE_H
#define QUILLORA_TESTS_GAMMA_REFERENCECURVE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

// One channel of the curve computed the plain way, one std::pow per entry.
// The ramp settles most levels from a faster estimate and must still give
// exactly these entries, last-bit truncations included.
inline std::vector<std::uint16_t> ReferenceCurve(double gamma, int darkLevel) {
  if (!(gamma > 0.0))
    gamma = 1.0;
  const int a = std::min(darkLevel, 254);
  const double e = 1.0 / gamma;
  double q = 0.0;
  double d = 255.0;
  if (a > 0) {
    q = 255.0 / a;
    d = 255.0 - a;
  }
  std::vector<std::uint16_t> channel(256);
  for (int j = 0; j < 256; ++j) {
    const double t = a > 0 ? (255 - j) / q : 0.0;
    const double p = j == 0 ? 0.0 : std::pow(j / d, e);
    const double product = p * d;
    const double s = product + t;
    const long level = s >= 256.0 ? 256 : s > -1.0 ? static_cast<long>(s) : -1;
    channel[j] = static_cast<std::uint16_t>(std::clamp(level * 256, 0L, 65535L));
  }
  return channel;
}

#endif
