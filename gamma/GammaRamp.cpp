#include "gamma/GammaRamp.h"

#include <algorithm>
#include <cmath>

namespace {

// The highest dark level that leaves a curve: at 255 the power term would
// divide by zero.
const int kHighestDarkLevel = 254;

// Truncates toward zero like a plain conversion, but saturates where the
// result is clamped anyway, so that a huge, infinite or NaN value never
// reaches an out-of-range double-to-int conversion.
int TruncateLevel(double s) {
  if (s >= 256.0)
    return 256;
  if (s > -1.0)
    return static_cast<int>(s);
  return -1;
}

std::uint16_t ClampEntry(int u) {
  int w = u * 256;
  if (w > 65535)
    w = 65535;
  else if (w < 0)
    w = 0;
  return static_cast<std::uint16_t>(w);
}

} // namespace

GammaRamp::GammaRamp() : ramp(), targetWidth(0), targetHeight(0), name(nullptr), applyDelay(0) {}

GammaRamp::~GammaRamp() {
  ClearName();
}

void GammaRamp::ClearName() {
  delete[] name;
  name = nullptr;
}

void GammaRamp::SetIdentity() {
  for (int j = 0; j < kChannelSize; ++j)
    ramp[j] = static_cast<std::uint16_t>(j * 256 + 255);
  std::copy(ramp, ramp + kChannelSize, ramp + kChannelSize);
  std::copy(ramp, ramp + kChannelSize, ramp + 2 * kChannelSize);
}

// The order of the operations below is part of the result: every quotient is
// rounded to double before it is used, and the truncation makes a last-bit
// difference visible (255 / (255 / 13) is just below 13, for one).
void GammaRamp::SetCurve(double gamma, int darkLevel) {
  if (!(gamma > 0.0))
    gamma = 1.0;
  const int a = std::min(darkLevel, kHighestDarkLevel);
  const double e = 1.0 / gamma;
  double q = 0.0;
  double d = 255.0;
  if (a > 0) {
    q = 255.0 / a;
    d = 255.0 - a;
  }
  for (int j = 0; j < kChannelSize; ++j) {
    const double t = a > 0 ? (255 - j) / q : 0.0;
    const double p = j == 0 ? 0.0 : std::pow(j / d, e);
    const double product = p * d;
    const double s = product + t;
    ramp[j] = ClampEntry(TruncateLevel(s));
  }
  std::copy(ramp, ramp + kChannelSize, ramp + kChannelSize);
  std::copy(ramp, ramp + kChannelSize, ramp + 2 * kChannelSize);
}

void GammaRamp::SetCurveFromSlider(int position, int darkLevel) {
  SetCurve(position / 8192.0, darkLevel);
}

void GammaRamp::SetTargetSize(int width, int height) {
  targetWidth = width;
  targetHeight = height;
}

int GammaRamp::GetTargetWidth() const {
  return targetWidth;
}

int GammaRamp::GetTargetHeight() const {
  return targetHeight;
}

void GammaRamp::SetApplyDelay(int milliseconds) {
  applyDelay = milliseconds;
}

int GammaRamp::GetApplyDelay() const {
  return applyDelay;
}

const char *GammaRamp::GetName() const {
  return name;
}

const std::uint16_t *GammaRamp::Entries() const {
  return ramp;
}

std::uint16_t *GammaRamp::Entries() {
  return ramp;
}

int DisplayShowsRamp(const std::uint16_t *displayed, const std::uint16_t *applied) {
  for (int i = 0; i < GammaRamp::kEntryCount; ++i) {
    int levelApart = (displayed[i] >> 8) - (applied[i] >> 8);
    if (levelApart > 1 || levelApart < -1)
      return 0;
  }
  return 1;
}
