// Measured behaviour on sines: equal amplitudes and a quarter-period difference,
// with the sign set by the count, checked against the response the coefficients
// imply and against the design's own ripple over the band.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "dsp/PhaseHalfPi.h"

namespace {

using nimbrel::dsp::TPhaseHalfPi;
using Complex = std::complex<double>;

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Phase of `first` relative to `second` in degrees at frequency f (cycles per
// sample), from the coefficients alone: every section is (a - z^-2)/(1 - a z^-2)
// at the full rate; even sections are fed the input, odd ones the input delayed
// by one sample. For one section the second output is the delayed input itself;
// for odd counts >= 3 the outputs carry the chains the other way round.
double ModelPhaseDifference(std::span<const double> a, double f) {
  const Complex z1 = std::polar(1.0, -kTwoPi * f), z2 = z1 * z1;
  Complex current = 1.0, delayed = z1;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const Complex h = (a[i] - z2) / (1.0 - a[i] * z2);
    (i % 2 == 0 ? current : delayed) *= h;
  }
  const bool swapped = a.size() >= 3 && a.size() % 2 == 1;
  const Complex first = swapped ? delayed : current, second = swapped ? current : delayed;
  return std::arg(first / second) * 180.0 / std::numbers::pi;
}

// Largest deviation from a quarter period over [lo, hi], on a dense grid.
double Ripple(std::span<const double> a, double lo, double hi) {
  double worst = 0.0;
  for (int g = 0; g <= 4000; ++g) {
    const double f = lo + (hi - lo) * g / 4000.0;
    worst = std::max(worst, std::fabs(std::fabs(ModelPhaseDifference(a, f)) - 90.0));
  }
  return worst;
}

struct Measured {
  double firstAmplitude, secondAmplitude, phaseDifference; // degrees, first relative to second
};

// Feeds a unit sine of m / window cycles per sample, lets the filter settle,
// then projects both outputs onto the sine over a whole number of periods.
Measured MeasureSine(TPhaseHalfPi& s, int m, int window) {
  const double f = double(m) / window;
  const int settle = 4 * window;
  Complex p1 = 0.0, p2 = 0.0;
  for (int t = 0; t < settle + window; ++t) {
    float first, second;
    s.ProcessSample(float(std::sin(kTwoPi * f * t)), first, second);
    if (t >= settle) {
      const Complex e = std::polar(1.0, -kTwoPi * f * (t - settle));
      p1 += double(first) * e;
      p2 += double(second) * e;
    }
  }
  return {2.0 * std::abs(p1) / window, 2.0 * std::abs(p2) / window,
          std::arg(p1 / p2) * 180.0 / std::numbers::pi};
}

TEST(SplitterResponse, QuarterPeriodApartWithEqualAmplitudeAcrossTheBand) {
  constexpr int kWindow = 8192;
  const double fractions[] = {0.03, 0.1, 0.2, 0.25, 0.33, 0.4, 0.47};
  for (int32_t count : {1, 2, 3, 4, 5, 7, 8, 9, 12, 16, 32}) {
    const double transition = 0.1 / count;
    TPhaseHalfPi s;
    ASSERT_TRUE(s.SetCoefficientsByTransition(count, transition));
    const double ripple = Ripple(s.Coefficients(), transition / 2, 0.5 - transition / 2);
    // First leads for one section and even counts, lags for odd counts >= 3.
    const double sign = (count == 1 || count % 2 == 0) ? 1.0 : -1.0;
    for (double fraction : fractions) {
      const int m = int(std::lround(fraction * kWindow));
      const double f = double(m) / kWindow;
      if (f < transition / 2 || f > 0.5 - transition / 2)
        continue;
      s.ClearState();
      const Measured r = MeasureSine(s, m, kWindow);
      SCOPED_TRACE(testing::Message() << "count " << count << " f " << f);
      EXPECT_NEAR(r.firstAmplitude, 1.0, 1e-4);
      EXPECT_NEAR(r.secondAmplitude, r.firstAmplitude, 1e-5);
      EXPECT_NEAR(r.phaseDifference, ModelPhaseDifference(s.Coefficients(), f), 1e-3);
      EXPECT_LE(std::fabs(r.phaseDifference - sign * 90.0), ripple + 1e-3);
      EXPECT_GT(r.phaseDifference * sign, 0.0);
    }
  }
}

TEST(SplitterResponse, DesignRippleShrinksAsTheCountGrows) {
  double previous = 180.0;
  for (int32_t count : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 16}) {
    TPhaseHalfPi s;
    ASSERT_TRUE(s.SetCoefficientsByTransition(count, 0.1 / count));
    const double ripple = Ripple(s.Coefficients(), 0.05 / count, 0.5 - 0.05 / count);
    EXPECT_LT(ripple, previous) << count;
    previous = ripple;
  }
  EXPECT_LT(previous, 1e-3);
}

TEST(SplitterResponse, DefaultDesignStaysWithinAFractionOfADegree) {
  // The plug-in's first design: eight coefficients for 0.01 / 8.
  TPhaseHalfPi s;
  ASSERT_TRUE(s.SetCoefficientsByTransition(8, 0.01 / 8));
  EXPECT_LT(Ripple(s.Coefficients(), 0.02, 0.48), 0.6);
  for (int m : {164, 1024, 2048, 3072, 3932}) { // 0.02 .. 0.48 of an 8192 window
    s.ClearState();
    const Measured r = MeasureSine(s, m, 8192);
    EXPECT_NEAR(r.phaseDifference, 90.0, 0.6) << m;
    EXPECT_NEAR(r.secondAmplitude, r.firstAmplitude, 1e-5) << m;
  }
}

} // namespace
