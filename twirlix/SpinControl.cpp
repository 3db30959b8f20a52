#include "twirlix/SpinControl.h"

#include <cmath>

#include "core/Extended.h"
#include "core/FpuGuard.h"
#include "dsp/PolyPhaseIIR2Designer.h"
#include "twirlix/Lfo.h"
#include "twirlix/WholeNumber.h"

namespace nimbrel::twirlix {
namespace {

bool AcceptedCount(std::int32_t n) { return (n >= 1 && n <= 16) || n == 24 || n == 32; }

} // namespace

float TSpinControl::TransitionBandwidth() const {
  std::lock_guard lock(mutex_);
  return transitionBandwidth_;
}

void TSpinControl::SetTransitionBandwidth(float value) {
  std::lock_guard lock(mutex_);
  transitionBandwidth_ = value;
}

TSpinSettings TSpinControl::Settings() const {
  std::lock_guard lock(mutex_);
  return master_;
}

void TSpinControl::Publish() {
  TTripleBuffer<TSpinSettings> &exchange = engine_.Exchange();
  exchange.Back() = master_;
  exchange.Publish();
}

// Designs into the master copy of every present splitter; a design the
// designer refuses leaves that splitter's set as it was.
void TSpinControl::Design(std::int32_t count, double transition) {
  nimbrel::PrecisionGuard precision;
  for (int k = 0; k < 2; ++k) {
    if (!engine_.HasSplitter(k))
      continue;
    TSplitterDesign &design = master_.Splitter[k];
    double coefficients[kMaxCoefficients];
    if (!nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(coefficients, count, transition))
      continue;
    std::copy(coefficients, coefficients + count, design.Coefficients);
    if (design.Count != count)
      ++design.ClearGeneration;
    design.Count = count;
    ++design.DesignGeneration;
  }
}

std::optional<std::int32_t> TSpinControl::ChangeCoefficients(float value) {
  const std::optional<std::int32_t> n = RoundedWithin(value, 1, kMaxCoefficients);
  if (!n || !AcceptedCount(*n))
    return std::nullopt;
  std::lock_guard lock(mutex_);
  nimbrel::PrecisionGuard precision;
  const double transition = static_cast<double>(nimbrel::extended(transitionBandwidth_) / *n);
  Design(*n, transition);
  Publish();
  return n;
}

std::optional<std::int32_t> TSpinControl::ChangeProcessType(float value) {
  const std::optional<std::int32_t> m = RoundedWithin(value, kFirstProcessType, kLastProcessType);
  if (!m)
    return std::nullopt;
  std::lock_guard lock(mutex_);
  master_.ProcessType = *m;
  Publish();
  return m;
}

std::optional<float> TSpinControl::SetLfoSpeed(float x, float sampleRate) {
  if (!std::isfinite(x))
    return std::nullopt;
  nimbrel::PrecisionGuard precision;
  const float f = LfoFrequency(x);
  if (!std::isfinite(f))
    return std::nullopt;
  std::lock_guard lock(mutex_);
  if (LfoStepFor(f, sampleRate, master_.LfoStep))
    Publish();
  return f;
}

bool TSpinControl::ChangeTransitionBandwidth(float value, float storedCoefficients) {
  std::lock_guard lock(mutex_);
  if (!(value > 0.0f && value < 0.5f && value != transitionBandwidth_))
    return false;
  transitionBandwidth_ = value;
  if (const std::optional<std::int32_t> n = RoundedWithin(storedCoefficients, 1, kMaxCoefficients)) {
    nimbrel::PrecisionGuard precision;
    const double transition = static_cast<double>(nimbrel::extended(transitionBandwidth_) / *n);
    Design(*n, transition);
    Publish();
  }
  return true;
}

void TSpinControl::ResetLfo() {
  std::lock_guard lock(mutex_);
  master_.LfoStep = TLfoStep{};
  Publish();
  engine_.ResetLfo();
}

} // namespace nimbrel::twirlix
