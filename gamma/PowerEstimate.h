#ifndef QUILLORA_GAMMA_POWERESTIMATE_H
#define QUILLORA_GAMMA_POWERESTIMATE_H

// (n / d)^e for the whole numbers of a ramp, a few nanoseconds each where
// std::pow takes about a hundred, and within kRelativeError of it. A curve
// uses it to settle every level that lies clearly between two boundaries,
// and asks std::pow only for the few that lie close to one.
class PowerEstimate {
public:
  // The largest relative distance from the exact power, over every
  // n and d from 1 to 255 and every exponent that Covers accepts.
  static constexpr double kRelativeError = 1e-12;

  // 1 when the estimate holds for this exponent: from 0 to 12 (gammas from
  // 1/12 up), which keeps e ln n within the range the estimate is built for.
  static int Covers(double e);

  // Works out the powers of every n at once, most of them as products of
  // smaller ones. d from 1 to 255; for an e that Covers refuses nothing is
  // worked out, and Of means nothing.
  PowerEstimate(int d, double e);

  // (n / d)^e, n from 0 to 255.
  double Of(int n) const { return powers[n] * inverseOfD; }

private:
  // n^e, and 1 / d^e.
  double powers[256];
  double inverseOfD;
};

#endif
