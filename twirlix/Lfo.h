#pragma once
// The spin LFO: a complex rotator (cosine and sine components) advanced by a
// fixed rotation step once per sample frame, so no sine or cosine is evaluated
// per sample. It is never renormalised; its magnitude drifts only by rounding.
// Its components belong to the audio thread; the step arrives with the
// published engine settings.
#include <cmath>

#include "core/Extended.h"

namespace nimbrel::twirlix {

struct TLfoStep {
  double Cos = 1.0; // cos w, w the phase advance per frame
  double Sin = 0.0; // sin w
};

struct TLfo {
  double LfoSin = 0.0;
  double LfoCos = 1.0;

  void Reset() {
    LfoSin = 0.0;
    LfoCos = 1.0;
  }

  // One rotation step. The new sine is rounded to double, or first to single
  // (kSingleSine, the three mono process types) and then kept as a double.
  template <bool kSingleSine> void Advance(const TLfoStep &step) {
    using ext = nimbrel::extended;
    const ext s = LfoSin;
    const ext c = LfoCos;
    const ext t = ext(step.Cos) * s - ext(step.Sin) * c;
    LfoCos = static_cast<double>(ext(step.Sin) * s + ext(step.Cos) * c);
    if constexpr (kSingleSine)
      LfoSin = static_cast<float>(t);
    else
      LfoSin = static_cast<double>(t);
  }
};

// The LFO frequency in Hz for an LFO Speed value x (nominally 0..13):
// <(exp(0.053319013 * x) - 1) * 13>, 13 giving exactly 13 Hz.
inline float LfoFrequency(float x) {
  using ext = nimbrel::extended;
  return static_cast<float>((std::exp(ext(0.053319013L) * x) - ext(1)) * ext(13));
}

// The rotation step for frequency f at sampleRate:
// w := double((f / sampleRate) * 2 * pi), step (double(cos w), double(sin w)).
// Returns false, leaving `step` alone, for a sample rate that is not a finite
// positive number or a frequency that is not finite: the LFO then keeps its
// previous speed rather than taking NaN or infinity into its step. A negative
// frequency (LFO Speed below 0) turns the rotation round.
inline bool LfoStepFor(float f, float sampleRate, TLfoStep &step) {
  using ext = nimbrel::extended;
  if (!std::isfinite(f) || !std::isfinite(sampleRate) || !(sampleRate > 0.0f))
    return false;
  const double w = static_cast<double>(ext(f) / sampleRate * ext(2) * nimbrel::kPi);
  if (!std::isfinite(w))
    return false;
  step.Cos = static_cast<double>(std::cos(ext(w)));
  step.Sin = static_cast<double>(std::sin(ext(w)));
  return true;
}

} // namespace nimbrel::twirlix
