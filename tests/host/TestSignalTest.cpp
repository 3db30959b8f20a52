// The built-in test signal: a tone pair, then a rising sweep, stereo.
#include <cmath>
#include <complex>

#include <gtest/gtest.h>

#include "host/vsthost/TestSignal.h"

namespace {

// Amplitude of the component at `hz` in samples [from, to).
double ToneAmplitude(const float *x, int from, int to, double rate, double hz) {
  std::complex<double> acc;
  for (int i = from; i < to; ++i) acc += static_cast<double>(x[i]) * std::polar(1.0, -2 * M_PI * hz * i / rate);
  return 2.0 * std::abs(acc) / (to - from);
}

int ZeroCrossings(const float *x, int from, int to) {
  int n = 0;
  for (int i = from + 1; i < to; ++i) n += (x[i - 1] < 0) != (x[i] < 0);
  return n;
}

TEST(HostTestSignal, TonePairThenRisingSweepWithinFullScale) {
  const double rate = 44100;
  const vsthost::Audio s = vsthost::MakeTestSignal(rate, 4.0);
  ASSERT_EQ(s.samples.Channels(), 2);
  ASSERT_EQ(s.samples.Frames(), 176400);
  const int half = 88200;
  const double quarter = std::pow(10.0, -12.0 / 20.0);
  for (int c = 0; c < 2; ++c) {
    const float *x = s.samples.Channel(c);
    EXPECT_NEAR(ToneAmplitude(x, 4410, 84000, rate, vsthost::kTonePairLow), quarter, 0.01) << c;
    EXPECT_NEAR(ToneAmplitude(x, 4410, 84000, rate, vsthost::kTonePairHigh), quarter, 0.01) << c;
    EXPECT_LT(ToneAmplitude(x, 4410, 84000, rate, 800.0), 0.01) << c;
    float peak = 0;
    for (int i = 0; i < s.samples.Frames(); ++i) peak = std::max(peak, std::fabs(x[i]));
    EXPECT_LE(peak, 1.0f);
    EXPECT_GT(peak, 0.4f);
    // Starts and ends silent (faded), and the sweep rises.
    EXPECT_EQ(x[0], 0.0f);
    EXPECT_LT(std::fabs(x[s.samples.Frames() - 1]), 1e-3f);
    const int early = ZeroCrossings(x, half, half + 8820);
    const int late = ZeroCrossings(x, half + 70560, half + 79380);
    EXPECT_GT(late, 20 * early) << c;
  }
  // The right channel is the left a quarter period later: equal energy, little correlation.
  double ll = 0, rr = 0, lr = 0;
  for (int i = 4410; i < 84000; ++i) {
    const double l = s.samples.Channel(0)[i], r = s.samples.Channel(1)[i];
    ll += l * l;
    rr += r * r;
    lr += l * r;
  }
  EXPECT_NEAR(rr / ll, 1.0, 0.01);
  EXPECT_LT(std::fabs(lr) / ll, 0.01);
}

TEST(HostTestSignal, SweepStaysBelowNyquistAtLowRates) {
  const vsthost::Audio s = vsthost::MakeTestSignal(8000, 2.0);
  const float *x = s.samples.Channel(0);
  // 0.45 x 8000 = 3600 Hz at most: at most 7200 crossings a second near the end.
  EXPECT_LE(ZeroCrossings(x, 15000, 16000), 3600 * 2 / 8 + 20);
}

} // namespace
