#include "gamma/GammaRamp.h"

#include "gamma/PowerEstimate.h"

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

// How far from an estimated sum the exact one may lie, relative to the sum.
// The estimate of the power is within kRelativeError of std::pow's, so the
// sum is within about that much of the exact one; a thousand times that
// distance leaves nothing to chance, and is still so narrow that only levels
// sitting on a boundary are left to std::pow.
const double kReach = 1000 * PowerEstimate::kRelativeError;

// The terms of the curve for one gamma and dark level. The order of the
// operations in ExactLevel is part of the result: every quotient is rounded
// to double before it is used, and the truncation makes a last-bit
// difference visible (255 / (255 / 13) is just below 13, for one). So an
// exact level takes its power from std::pow, whose last bit decides such a
// level.
class CurveTerms {
public:
  CurveTerms(double gamma, int darkLevel) : a(std::min(darkLevel, kHighestDarkLevel)) {
    if (!(gamma > 0.0))
      gamma = 1.0;
    e = 1.0 / gamma;
    q = a > 0 ? 255.0 / a : 0.0;
    d = a > 0 ? 255.0 - a : 255.0;
    darkStep = a > 0 ? a / 255.0 : 0.0;
  }

  double Exponent() const { return e; }
  int Base() const { return static_cast<int>(d); }

  // The sum for entry j from its estimated power, with the dark term
  // multiplied rather than divided: that is within a few units in the last
  // place of the exact one, far inside the estimate's reach.
  double EstimatedSum(int j, double power) const { return power * d + (255 - j) * darkStep; }

  // At the exponent 1 the power is its base, which is what std::pow returns
  // too, only much later; a curve of gamma 1 without a dark level has every
  // level on a boundary.
  int ExactLevel(int j) const {
    const double t = a > 0 ? (255 - j) / q : 0.0;
    const double base = j / d;
    const double p = j == 0 ? 0.0 : e == 1.0 ? base : std::pow(base, e);
    const double product = p * d;
    return TruncateLevel(product + t);
  }

private:
  int a;
  double e;
  double q;
  double d;
  double darkStep;
};

std::uint16_t ClampEntry(int u) {
  int w = u * 256;
  if (w > 65535)
    w = 65535;
  else if (w < 0)
    w = 0;
  return static_cast<std::uint16_t>(w);
}

// A level is settled by the estimate when every sum within its reach
// truncates to the same level; std::pow is asked only for the others, at
// most two in a curve of the dialog's ranges. Sums are never negative (every
// term of the curve is 0 or more), and every sum from 256 up gives the same
// clamped entry, so they are capped half-way to the next level: that keeps
// the conversions in range and the cap itself clear of a boundary.
void FillChannel(const CurveTerms &terms, std::uint16_t *channel) {
  if (!PowerEstimate::Covers(terms.Exponent())) {
    for (int j = 0; j < GammaRamp::kChannelSize; ++j)
      channel[j] = ClampEntry(terms.ExactLevel(j));
    return;
  }
  const PowerEstimate power(terms.Base(), terms.Exponent());
  for (int j = 0; j < GammaRamp::kChannelSize; ++j) {
    const double sum = std::min(terms.EstimatedSum(j, power.Of(j)), 256.5);
    const int low = static_cast<int>(sum * (1 - kReach));
    const int high = static_cast<int>(sum * (1 + kReach));
    channel[j] = ClampEntry(low == high ? low : terms.ExactLevel(j));
  }
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

void GammaRamp::SetCurve(double gamma, int darkLevel) {
  FillChannel(CurveTerms(gamma, darkLevel), ramp);
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
