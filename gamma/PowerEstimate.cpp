#include "gamma/PowerEstimate.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// ln x for x in [1, 2], as 2 atanh((x - 1) / (x + 1)): there the ratio is at
// most 1/3, and thirty terms of the series leave nothing a double can hold.
constexpr double LogFrom1To2(double x) {
  const double z = (x - 1) / (x + 1);
  double power = z;
  double sum = 0;
  for (int k = 1; k < 60; k += 2) {
    sum += power / k;
    power *= z * z;
  }
  return 2 * sum;
}

constexpr double kLn2 = LogFrom1To2(2.0);

constexpr double NaturalLog(int n) {
  double x = n;
  int halvings = 0;
  while (x >= 2) {
    x /= 2;
    ++halvings;
  }
  return halvings * kLn2 + LogFrom1To2(x);
}

// e^x by its series, for the small x of the table below.
constexpr double ExpSeries(double x) {
  double term = 1;
  double sum = 1;
  for (int k = 1; k < 30; ++k) {
    term *= x / k;
    sum += term;
  }
  return sum;
}

// 2^(i / 64), i from 0 to 63.
constexpr std::array<double, 64> FractionalPowersOf2() {
  std::array<double, 64> table{};
  for (int i = 0; i < 64; ++i)
    table[i] = ExpSeries(i * kLn2 / 64);
  return table;
}

// Every n from 2 to 255, either as a prime, with its logarithm, or as the
// product of two smaller numbers: its smallest prime factor and the cofactor.
// Kept as two lists so that working out the powers takes no branch that
// depends on n.
struct Factorization {
  static const int kPrimeCount = 54;
  struct Product {
    std::uint8_t n;
    std::uint8_t factor;
    std::uint8_t cofactor;
  };
  std::array<std::uint8_t, kPrimeCount> primes{};
  std::array<double, kPrimeCount> primeLogs{};
  std::array<Product, 254 - kPrimeCount> products{};
};

constexpr Factorization Factorize() {
  Factorization table{};
  int primeCount = 0;
  int productCount = 0;
  for (int n = 2; n < 256; ++n) {
    int f = 2;
    while (n % f != 0)
      ++f;
    if (f == n) {
      table.primes[primeCount] = static_cast<std::uint8_t>(n);
      table.primeLogs[primeCount++] = NaturalLog(n);
    } else {
      table.products[productCount++] = {static_cast<std::uint8_t>(n), static_cast<std::uint8_t>(f),
                                        static_cast<std::uint8_t>(n / f)};
    }
  }
  return table;
}

// Worked out by the compiler, so the program carries no start-up cost.
constexpr std::array<double, 64> kPowerOf2 = FractionalPowersOf2();
constexpr Factorization kFactorization = Factorize();

// 2^(k / 64) e^r with k the nearest whole number to y * 64 / ln 2, which
// leaves |r| <= ln 2 / 128; five terms of the series for e^r are then exact
// to a few parts in 10^17. The whole power of 2 is built from its bits, as a
// float: y = e ln n with the e Covers accepts stays between 0 and 12 ln 255,
// so k / 64 is well inside a float's exponents.
double Exp(double y) {
  const double scaled = y * (64 / kLn2);
  const int k = static_cast<int>(scaled + 0.5);
  const double r = y - k * (kLn2 / 64);
  const double series =
      1 + r * (1 + r * (1.0 / 2 + r * (1.0 / 6 + r * (1.0 / 24 + r * (1.0 / 120)))));
  const std::uint32_t biased = static_cast<std::uint32_t>(k + 127 * 64);
  const std::uint32_t bits = (biased >> 6) << 23;
  float wholePowerOf2;
  std::memcpy(&wholePowerOf2, &bits, sizeof wholePowerOf2);
  return wholePowerOf2 * kPowerOf2[biased & 63] * series;
}

} // namespace

int PowerEstimate::Covers(double e) {
  return e >= 0.0 && e <= 12.0;
}

PowerEstimate::PowerEstimate(int d, double e) {
  if (!Covers(e))
    return;
  // n^e for every n: each prime by Exp, every other n as the product of two
  // smaller powers, since (f c)^e = f^e c^e, which spares 201 of the 255
  // Exps. Of divides by d^e. A product of up to seven Exps (2^7 = 128) and
  // the division keep the error a few times 10^-14, well inside
  // kRelativeError.
  powers[0] = 0.0;
  powers[1] = 1.0;
  for (int i = 0; i < Factorization::kPrimeCount; ++i)
    powers[kFactorization.primes[i]] = Exp(e * kFactorization.primeLogs[i]);
  for (const Factorization::Product &product : kFactorization.products)
    powers[product.n] = powers[product.factor] * powers[product.cofactor];
  inverseOfD = 1 / powers[d];
}
