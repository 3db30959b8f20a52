#include "dsp/PolyPhaseIIR2Designer.h"

#include <cmath>
#include <limits>

#include "core/Extended.h"

namespace nimbrel::dsp {

namespace {

using nimbrel::extended;
using nimbrel::kPi;

// 32-bit integer product, wrapping like the 32-bit arithmetic it stands for
// instead of overflowing into undefined behaviour (only reachable for orders far
// beyond any real design).
int32_t Product32(int32_t a, int32_t b) {
  return static_cast<int32_t>(static_cast<uint32_t>(a) * static_cast<uint32_t>(b));
}

// exp(0.25 * ln x) in extended, 0 for a base of exactly 0.
extended FourthRoot(extended x) {
  if (x == 0)
    return 0;
  return std::exp(extended(0.25) * std::log(x));
}

// Largest j for which j * (j + 1) still fits 32 bits: the series never run
// longer than this, whatever q they are given.
constexpr int32_t kMaxSeriesIndex = 46339;

constexpr double kSeriesEnd = 1e-100;

} // namespace

double TPolyphaseIir2Designer::IntegerPower(double q, int32_t m) {
  extended result = 1;
  extended base = q;
  // Negative exponents do not occur (j * j, j * (j + 1)); treat them as 0.
  uint32_t bits = m > 0 ? static_cast<uint32_t>(m) : 0u;
  while (bits != 0) {
    if (bits & 1u)
      result = result * base;
    bits >>= 1;
    if (bits != 0)
      base = base * base;
  }
  return double(result);
}

TTransitionParameters TPolyphaseIir2Designer::TransitionParameters(double transition) {
  const extended t = transition;
  double k = double(std::tan(((extended(1) - extended(2) * t) * kPi) * extended(0.25)));
  k = double(extended(k) * k);
  const double r = double(FourthRoot(extended(1) - extended(k) * k));
  const double e = double((extended(1) - r) * extended(0.5) / (extended(1) + r));
  const double e2 = double(extended(e) * e);
  const double e4 = double(extended(e2) * e2);
  const double q =
      double(extended(e) * (((extended(150) * e4 + 15) * e4 + 2) * e4 + 1));
  return {k, q};
}

double TPolyphaseIir2Designer::NumeratorSeries(double q, int32_t order, int32_t c) {
  double sum = 0.0;
  extended sign = 1;
  for (int32_t j = 0; j <= kMaxSeriesIndex; ++j) {
    const int32_t harmonic = Product32(2 * j + 1, c);
    const double power = IntegerPower(q, j * (j + 1));
    const double term =
        double(std::sin((extended(harmonic) * kPi) / extended(order)) * sign * power);
    sum = double(extended(sum) + term);
    if (!(std::fabs(term) > kSeriesEnd)) // a NaN term ends the series too
      break;
    sign = -sign;
  }
  return sum;
}

double TPolyphaseIir2Designer::DenominatorSeries(double q, int32_t order, int32_t c) {
  double sum = 0.0;
  extended sign = -1;
  for (int32_t j = 1; j <= kMaxSeriesIndex; ++j) {
    const int32_t harmonic = Product32(2 * j, c);
    const double power = IntegerPower(q, j * j);
    const double term =
        double(std::cos((extended(harmonic) * kPi) / extended(order)) * power * sign);
    sum = double(extended(sum) + term);
    if (!(std::fabs(term) > kSeriesEnd))
      break;
    sign = -sign;
  }
  return sum;
}

double TPolyphaseIir2Designer::CoefficientAt(int32_t index, int32_t order, double k, double q) {
  const int32_t c = index + 1;
  const double numer = double(FourthRoot(q) * NumeratorSeries(q, order, c));
  const double denom = double(extended(DenominatorSeries(q, order, c)) + extended(0.5));
  const double w =
      double((extended(numer) * numer) / (extended(denom) * denom));
  const double x = double(
      std::sqrt((extended(1) - extended(w) * k) * (extended(1) - extended(w) / k)) /
      (extended(1) + w));
  return double((extended(1) - x) / (extended(1) + x));
}

bool TPolyphaseIir2Designer::DesignCoefficients(double* coefficients, int32_t count,
                                                double transition) {
  if (coefficients == nullptr || count < 1 ||
      count > (std::numeric_limits<int32_t>::max() - 1) / 2)
    return false;
  if (!(transition > 0.0 && transition < 0.5))
    return false;
  const TTransitionParameters p = TransitionParameters(transition);
  const int32_t order = 2 * count + 1;
  for (int32_t index = 0; index < count; ++index)
    coefficients[index] = CoefficientAt(index, order, p.K, p.Q);
  return true;
}

} // namespace nimbrel::dsp
