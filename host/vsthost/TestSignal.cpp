#include "host/vsthost/TestSignal.h"

#include <algorithm>
#include <cmath>

namespace vsthost {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;

double Fade(long i, long n, long fade) {
  if (fade <= 0) return 1.0;
  const long edge = std::min(i, n - 1 - i);
  return edge >= fade ? 1.0 : 0.5 - 0.5 * std::cos(M_PI * static_cast<double>(edge) / static_cast<double>(fade));
}

int FramesFor(double rate, double seconds) {
  const double n = std::floor(rate * seconds + 0.5);
  return static_cast<int>(std::clamp(n, 0.0, 2147483647.0));
}

} // namespace

Audio MakeTestSignal(double rate, double seconds) {
  Audio audio;
  audio.rate = rate;
  const int frames = FramesFor(rate, seconds);
  audio.samples = host::ChannelBuffers(2, frames);
  float *left = audio.samples.Channel(0);
  float *right = audio.samples.Channel(1);
  const long half = frames / 2;
  const long fade = static_cast<long>(0.010 * rate);
  const double toneAmp = std::pow(10.0, -12.0 / 20.0);
  for (long i = 0; i < half; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double g = Fade(i, half, fade) * toneAmp;
    left[i] = static_cast<float>(g * (std::sin(kTwoPi * kTonePairLow * t) + std::sin(kTwoPi * kTonePairHigh * t)));
    right[i] = static_cast<float>(g * (-std::cos(kTwoPi * kTonePairLow * t) - std::cos(kTwoPi * kTonePairHigh * t)));
  }
  // Exponential sweep: phase = 2 pi f0 T / ln(f1/f0) (exp(t ln(f1/f0) / T) - 1).
  const long n = frames - half;
  const double f0 = kSweepStart;
  const double f1 = std::min(kSweepEnd, 0.45 * rate);
  const double duration = static_cast<double>(n) / rate;
  const double k = std::log(f1 / f0);
  const double sweepAmp = std::pow(10.0, -6.0 / 20.0);
  for (long i = 0; i < n; ++i) {
    const double t = static_cast<double>(i) / rate;
    const double phase = duration > 0 ? kTwoPi * f0 * duration / k * (std::exp(t * k / duration) - 1.0) : 0.0;
    const double g = Fade(i, n, fade) * sweepAmp;
    left[half + i] = static_cast<float>(g * std::sin(phase));
    right[half + i] = static_cast<float>(-g * std::cos(phase));
  }
  return audio;
}

Audio MakeSine(double rate, double seconds, double frequency, double amplitude, int channels) {
  Audio audio;
  audio.rate = rate;
  const int frames = FramesFor(rate, seconds);
  audio.samples = host::ChannelBuffers(channels, frames);
  for (int i = 0; i < frames; ++i) {
    const float v = static_cast<float>(amplitude * std::sin(kTwoPi * frequency * static_cast<double>(i) / rate));
    for (int c = 0; c < channels; ++c) audio.samples.Channel(c)[i] = v;
  }
  return audio;
}

} // namespace vsthost
