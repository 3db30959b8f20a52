// Coefficient design: the worked design points, a bit-for-bit comparison with a
// separately written evaluation of the same rounding points, and refusals.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "core/Extended.h"
#include "dsp/PolyPhaseIIR2Designer.h"

namespace {

using nimbrel::dsp::TPolyphaseIir2Designer;

std::vector<double> Design(int32_t count, double transition) {
  std::vector<double> a(static_cast<std::size_t>(count), -7.0);
  EXPECT_TRUE(TPolyphaseIir2Designer::DesignCoefficients(a.data(), count, transition));
  return a;
}

// ---------------------------------------------------------------------------
// Reference evaluation, written out long-hand in long double. Every `double`
// local below is a rounding point; the inputs come through volatile variables so
// the compiler cannot fold the transcendental calls at compile time with an
// arithmetic that differs from the run-time library.
namespace reference {

using LD = long double;
const LD kPi = 3.14159265358979323846264338327950288L;

double Power(double q, int m) {
  // Squares of q kept in long double: q, q^2, q^4, ...; the result takes the
  // squares of the set bits of m, lowest first.
  LD squares[32];
  squares[0] = q;
  for (int i = 1; i < 32; ++i)
    squares[i] = squares[i - 1] * squares[i - 1];
  LD result = 1.0L;
  for (int bit = 0; bit < 31; ++bit)
    if ((m >> bit) & 1)
      result = result * squares[bit];
  return (double)result;
}

void Parameters(double t, double& k, double& q) {
  double k1 = (double)tanl(((1.0L - 2.0L * (LD)t) * kPi) * 0.25L);
  k = (double)((LD)k1 * (LD)k1);
  LD base = 1.0L - (LD)k * (LD)k;
  double r = base == 0.0L ? 0.0 : (double)expl(0.25L * logl(base));
  double e = (double)((1.0L - (LD)r) * 0.5L / (1.0L + (LD)r));
  double e2 = (double)((LD)e * (LD)e);
  double e4 = (double)((LD)e2 * (LD)e2);
  q = (double)((LD)e * (((150.0L * (LD)e4 + 15.0L) * (LD)e4 + 2.0L) * (LD)e4 + 1.0L));
}

double Numerator(double q, int order, int c) {
  double sum = 0.0;
  for (int j = 0;; ++j) {
    LD sign = (j % 2 == 0) ? 1.0L : -1.0L;
    int harmonic = (2 * j + 1) * c;
    double term = (double)(sinl((LD)harmonic * kPi / (LD)order) * sign * (LD)Power(q, j * (j + 1)));
    sum = (double)((LD)sum + (LD)term);
    if (std::fabs(term) <= 1e-100)
      return sum;
  }
}

double Denominator(double q, int order, int c) {
  double sum = 0.0;
  for (int j = 1;; ++j) {
    LD sign = (j % 2 == 1) ? -1.0L : 1.0L;
    int harmonic = 2 * j * c;
    double term = (double)(cosl((LD)harmonic * kPi / (LD)order) * (LD)Power(q, j * j) * sign);
    sum = (double)((LD)sum + (LD)term);
    if (std::fabs(term) <= 1e-100)
      return sum;
  }
}

std::vector<double> Design(int count, double transition) {
  volatile double vt = transition;
  volatile int vcount = count;
  double k, q;
  Parameters(vt, k, q);
  const int order = 2 * vcount + 1;
  std::vector<double> a;
  for (int index = 0; index < vcount; ++index) {
    const int c = index + 1;
    LD quarter = q == 0.0 ? 0.0L : expl(0.25L * logl((LD)q));
    double numer = (double)(quarter * (LD)Numerator(q, order, c));
    double denom = (double)((LD)Denominator(q, order, c) + 0.5L);
    double w = (double)(((LD)numer * (LD)numer) / ((LD)denom * (LD)denom));
    double x = (double)(sqrtl((1.0L - (LD)w * (LD)k) * (1.0L - (LD)w / (LD)k)) / (1.0L + (LD)w));
    a.push_back((double)((1.0L - (LD)x) / (1.0L + (LD)x)));
  }
  return a;
}

} // namespace reference

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// ---------------------------------------------------------------------------

TEST(Designer, DefaultDesignRisesStrictlyFromAboutPointFifteenToJustBelowOne) {
  const auto a = Design(8, 0.01 / 8);
  EXPECT_NEAR(a.front(), 0.15, 0.01);
  EXPECT_GT(a.back(), 0.99);
  EXPECT_LT(a.back(), 1.0);
  for (std::size_t i = 1; i < a.size(); ++i)
    EXPECT_LT(a[i - 1], a[i]) << "at " << i;
}

TEST(Designer, NarrowTransitionGivesKNearOneAndQNearPointFiftyEight) {
  const auto p = TPolyphaseIir2Designer::TransitionParameters(1e-7 / 32);
  EXPECT_LT(p.K, 1.0);
  EXPECT_LT(1.0 - p.K, 2e-8);
  EXPECT_NEAR(p.Q, 0.58, 0.01);
  // The design stays usable there: 32 finite coefficients strictly inside (0, 1).
  for (double a : Design(32, 1e-7 / 32)) {
    EXPECT_GT(a, 0.0);
    EXPECT_LT(a, 1.0);
  }
}

TEST(Designer, TransitionNearHalfGivesZeroNomeAndZeroCoefficients) {
  const auto p = TPolyphaseIir2Designer::TransitionParameters(0.4999999);
  EXPECT_NEAR(p.K, 2.5e-14, 0.1e-14);
  EXPECT_EQ(p.Q, 0.0);
  for (int32_t count : {1, 8, 32})
    for (double a : Design(count, 0.4999999))
      EXPECT_EQ(a, 0.0);
}

TEST(Designer, MatchesLongHandEvaluationBitForBit) {
  if constexpr (!nimbrel::kHasExtended)
    GTEST_SKIP() << "the reference assumes an 80-bit long double";
  struct Case {
    int32_t count;
    double transition;
  };
  const Case cases[] = {{1, 0.3},        {2, 0.05},     {3, 0.1 / 3},   {8, 0.01 / 8},
                        {12, 0.01 / 12}, {13, 0.2 / 13}, {32, 1e-7 / 32}, {32, 0.49 / 32},
                        {5, 0.4999999}};
  for (const Case& c : cases) {
    const auto got = Design(c.count, c.transition);
    const auto want = reference::Design(c.count, c.transition);
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < got.size(); ++i)
      EXPECT_TRUE(SameBits(got[i], want[i]))
          << "count " << c.count << " transition " << c.transition << " index " << i << ": "
          << got[i] << " vs " << want[i];
  }
}

TEST(Designer, MatchesLongHandEvaluationAcrossCountsAndBandwidths) {
  if constexpr (!nimbrel::kHasExtended)
    GTEST_SKIP() << "the reference assumes an 80-bit long double";
  // The plug-in's range: 1 to 32 coefficients, the bandwidth divided by the count.
  int mismatches = 0;
  for (int32_t count = 1; count <= 32; ++count)
    for (double bandwidth : {0.001, 0.01, 0.03, 0.1, 0.2, 0.3, 0.4, 0.49}) {
      const auto got = Design(count, bandwidth / count);
      const auto want = reference::Design(count, bandwidth / count);
      for (std::size_t i = 0; i < got.size(); ++i)
        mismatches += SameBits(got[i], want[i]) ? 0 : 1;
    }
  EXPECT_EQ(mismatches, 0);
}

TEST(Designer, TransitionParametersMatchLongHandEvaluation) {
  if constexpr (!nimbrel::kHasExtended)
    GTEST_SKIP() << "the reference assumes an 80-bit long double";
  int mismatches = 0;
  for (int step = 1; step < 2000; ++step) {
    const double t = 0.5 * step / 2000.0;
    const auto got = TPolyphaseIir2Designer::TransitionParameters(t);
    double k, q;
    volatile double vt = t;
    reference::Parameters(vt, k, q);
    mismatches += (SameBits(got.K, k) && SameBits(got.Q, q)) ? 0 : 1;
  }
  EXPECT_EQ(mismatches, 0);
}

TEST(Designer, IntegerPowerRoundsOnceAfterExtendedSquaring) {
  if constexpr (!nimbrel::kHasExtended)
    GTEST_SKIP() << "needs an 80-bit long double";
  volatile double q = 0.57584762498546216;
  for (int32_t m : {0, 1, 2, 3, 6, 12, 20, 30, 42, 56, 72, 90, 110, 132, 156, 182, 210, 240, 272, 306})
    EXPECT_TRUE(SameBits(TPolyphaseIir2Designer::IntegerPower(q, m), reference::Power(q, m))) << m;
  EXPECT_EQ(TPolyphaseIir2Designer::IntegerPower(0.0, 0), 1.0);
  EXPECT_EQ(TPolyphaseIir2Designer::IntegerPower(0.0, 5), 0.0);
}

TEST(Designer, RefusesWhatItCannotDesignAndWritesNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Case {
    int32_t count;
    double transition;
  };
  const Case cases[] = {{0, 0.01},   {-1, 0.01},   {std::numeric_limits<int32_t>::min(), 0.01},
                        {std::numeric_limits<int32_t>::max(), 0.01},
                        {8, 0.0},    {8, -0.01},   {8, 0.5}, {8, 0.75}, {8, nan}, {8, inf}, {8, -inf}};
  for (const Case& c : cases) {
    std::vector<double> out(8, 42.0);
    EXPECT_FALSE(TPolyphaseIir2Designer::DesignCoefficients(out.data(), c.count, c.transition))
        << c.count << " " << c.transition;
    for (double v : out)
      EXPECT_EQ(v, 42.0);
  }
  EXPECT_FALSE(TPolyphaseIir2Designer::DesignCoefficients(nullptr, 8, 0.01));
}

TEST(Designer, SeriesEndForAnyNome) {
  // A valid design never sees these; the series must still return.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double q : {nan, 1.0, 2.0, -1.0}) {
    (void)TPolyphaseIir2Designer::NumeratorSeries(q, 17, 3);
    (void)TPolyphaseIir2Designer::DenominatorSeries(q, 17, 3);
  }
  // q = 0 leaves the first term only: sin(c*pi/order), and nothing for the denominator.
  EXPECT_DOUBLE_EQ(TPolyphaseIir2Designer::NumeratorSeries(0.0, 17, 3), std::sin(3 * M_PI / 17));
  EXPECT_EQ(TPolyphaseIir2Designer::DenominatorSeries(0.0, 17, 3), 0.0);
}

} // namespace
