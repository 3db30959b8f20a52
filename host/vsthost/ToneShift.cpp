#include "host/vsthost/ToneShift.h"

#include <cmath>
#include <complex>
#include <vector>

namespace vsthost {

namespace {

constexpr double kTwoPi = 6.283185307179586476925286766559;
constexpr double kBasebandRate = 100.0;

// |sum w[m] z[m] e^{-j 2 pi f m / fb}| normalised to a sinusoid's amplitude.
double Magnitude(const std::vector<std::complex<double>> &z, double windowSum, double f) {
  const std::complex<double> step = std::polar(1.0, -kTwoPi * f / kBasebandRate);
  std::complex<double> rot(1.0, 0.0), acc(0.0, 0.0);
  for (std::size_t m = 0; m < z.size(); ++m) {
    acc += z[m] * rot;
    rot *= step;
    if ((m & 1023) == 1023) rot /= std::abs(rot); // keep the rotator on the unit circle
  }
  return 2.0 * std::abs(acc) / windowSum;
}

} // namespace

ToneShift MeasureToneShift(const float *output, std::size_t frames, double rate, double inputHz,
                           double inputAmplitude, const ToneShiftOptions &options) {
  ToneShift result;
  if (output == nullptr || rate <= 0 || inputAmplitude <= 0) return result;
  const auto block = static_cast<std::size_t>(std::llround(rate / kBasebandRate));
  const auto skip = static_cast<std::size_t>(options.skipSeconds * rate);
  if (block == 0 || frames <= skip + 8 * block) return result;

  // Mix down and average each 10 ms block; the phase is taken from the absolute
  // sample index so that no error accumulates over long signals.
  const std::size_t blocks = (frames - skip) / block;
  std::vector<std::complex<double>> z(blocks);
  for (std::size_t m = 0; m < blocks; ++m) {
    std::complex<double> acc(0.0, 0.0);
    for (std::size_t k = 0; k < block; ++k) {
      const std::size_t i = skip + m * block + k;
      const double phase = kTwoPi * std::fmod(inputHz * static_cast<double>(i) / rate, 1.0);
      acc += static_cast<double>(output[i]) * std::polar(1.0, -phase);
    }
    z[m] = acc / static_cast<double>(block);
  }

  // Remove what stayed at the input frequency, then window.
  std::complex<double> mean(0.0, 0.0);
  for (const auto &v : z) mean += v;
  mean /= static_cast<double>(blocks);
  double windowSum = 0.0;
  for (std::size_t m = 0; m < blocks; ++m) {
    const double w = 0.5 - 0.5 * std::cos(kTwoPi * (static_cast<double>(m) + 0.5) / static_cast<double>(blocks));
    z[m] = (z[m] - mean) * w;
    windowSum += w;
  }
  // The baseband magnitude of a real sine of amplitude A is A/2; Magnitude()
  // doubles it back, so comparing with the input amplitude is direct.

  // Coarse scan, then two finer passes around the best point.
  const double maxOffset = std::min(options.maxOffsetHz, 0.45 * kBasebandRate);
  double best = 0.0, bestMag = -1.0;
  double step = 0.02;
  for (double f = -maxOffset; f <= maxOffset; f += step) {
    const double m = Magnitude(z, windowSum, f);
    if (m > bestMag) {
      bestMag = m;
      best = f;
    }
  }
  for (int pass = 0; pass < 2; ++pass) {
    const double centre = best;
    const double fine = step / 20.0;
    for (double f = centre - step; f <= centre + step; f += fine) {
      const double m = Magnitude(z, windowSum, f);
      if (m > bestMag) {
        bestMag = m;
        best = f;
      }
    }
    step = fine;
  }
  result.amplitude = bestMag / inputAmplitude;
  result.offsetHz = best;
  result.found = result.amplitude >= options.floor;
  return result;
}

} // namespace vsthost
