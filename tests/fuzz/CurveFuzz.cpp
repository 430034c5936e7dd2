// Feeds arbitrary gammas and dark levels to the curve. The ramp settles most
// levels from an estimate of the power and must still give exactly the
// entries of one std::pow per entry, in all three channels, whatever the
// gamma: raw doubles of any kind, gammas spread over the estimate's range,
// and slider positions.
#include "gamma/GammaRamp.h"

#include "tests/gamma/ReferenceCurve.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

void Require(bool holds, const char *what, double gamma, int darkLevel) {
  if (!holds) {
    std::fprintf(stderr, "curve_fuzz: %s at gamma %.17g, dark level %d\n", what, gamma, darkLevel);
    std::abort();
  }
}

double GammaFrom(std::uint8_t kind, const std::uint8_t *bytes) {
  std::uint64_t bits;
  std::memcpy(&bits, bytes, sizeof bits);
  switch (kind % 3) {
  case 0: {
    double raw;
    std::memcpy(&raw, &bits, sizeof raw);
    return raw;
  }
  case 1: // from 1/16 to 16, with every bit of the mantissa in play
    return 1.0 / 16 + (bits >> 11) * (16.0 - 1.0 / 16) / 9007199254740992.0;
  default:
    return (2048 + bits % (32767 - 2048 + 1)) / 8192.0;
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  if (size < 11)
    return 0;
  const double gamma = GammaFrom(data[0], data + 1);
  std::int16_t darkBits;
  std::memcpy(&darkBits, data + 9, sizeof darkBits);
  const int darkLevel = darkBits % 300;
  GammaRamp ramp;
  ramp.SetCurve(gamma, darkLevel);
  const std::vector<std::uint16_t> expected = ReferenceCurve(gamma, darkLevel);
  for (int channel = 0; channel < 3; ++channel) {
    const std::uint16_t *entries = ramp.Entries() + channel * GammaRamp::kChannelSize;
    Require(std::memcmp(entries, expected.data(), expected.size() * sizeof expected[0]) == 0,
            "entries differ from one std::pow per entry", gamma, darkLevel);
  }
  return 0;
}
