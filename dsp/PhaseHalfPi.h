#pragma once
// The polyphase allpass quarter-period phase splitter: one single-precision
// sample in, two out whose phases differ by pi/2 across the band (outside the
// two transition regions next to 0 and half the sample rate).
//
// Sections 0, 2, 4, ... form a cascade driven by the current input; sections
// 1, 3, 5, ... a cascade driven by the previous input. Each section keeps two
// state sets, used on alternate calls (Phase 0 and 1), so that at the full rate
// every section is the allpass (a - z^-2) / (1 - a z^-2). For count 1 and even
// counts `first` leads `second` by a quarter period; for odd counts >= 3 it lags.
//
// The per-sample routine is chosen once whenever the count changes, never per
// sample: count 1 has its own routine, counts 2..8 and 12 are fully unrolled,
// every other count runs the generic loop. Each Y[i] is computed in extended
// precision and stored as double; the outputs are rounded to float. A 1e-34
// offset on the inputs of sections 0 and 1 keeps the states off denormals (the
// double nearest 1e-34 in the one- and two-coefficient routines, the extended
// nearest elsewhere).
//
// Behaviour for inputs the design does not expect:
//  - a count below 1 is refused (see TPolyPhaseFilter): nothing changes;
//  - a splitter that has never received coefficients writes 0 to both outputs
//    and leaves its state (sections, PreviousInput, Phase) untouched;
//  - a NaN or infinite input sample is processed as 0.0, since a single one
//    would otherwise poison the recursive state for good. Finite inputs are
//    processed exactly as the algorithm states.
//
// Real-time use: ProcessSample never allocates. After Reserve(c), SetCoefficients
// and SetCoefficientsByTransition for counts up to c never allocate either. No
// internal locking: the owner keeps coefficient changes and ProcessSample on the
// same splitter from running at the same time.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "dsp/PolyphaseFilter.h"

namespace nimbrel::dsp {

class TPhaseHalfPi : public TPolyPhaseFilter {
public:
  TPhaseHalfPi();
  ~TPhaseHalfPi() override = default;

  using TPolyPhaseFilter::SetCoefficients;
  // A new count resizes the arrays, chooses the routine and clears the section
  // states (PreviousInput and Phase keep their values); the same count only
  // replaces the coefficients and the filter carries on with its state.
  bool SetCoefficients(const double* values, int32_t count) override;
  void ChooseProcessRoutine() override;
  void Reserve(int32_t capacity) override;

  // Filters one sample through the routine chosen for the current count.
  void ProcessSample(float input, float& first, float& second) {
    (this->*processSample_)(input, first, second);
  }

  // Sets every element of the four state arrays to 0.0.
  void ClearState();

  double PreviousInput() const { return previousInput_; }
  int32_t Phase() const { return phase_; }
  // Section inputs and outputs of the last call made with `phase` (0 or 1).
  std::span<const double> StageInputs(int32_t phase) const;
  std::span<const double> StageOutputs(int32_t phase) const;

  // Test hook: runs the generic loop for the current count instead of the
  // routine the count would choose (with the offset that count's routine uses).
  // The next count change chooses normally again. Not for the audio path.
  void SelectGenericRoutineForTesting();

private:
  using TRoutine = void (TPhaseHalfPi::*)(float, float&, float&);

  void ProcessNothing(float input, float& first, float& second);
  void ProcessOne(float input, float& first, float& second);
  template <int32_t N> void ProcessUnrolled(float input, float& first, float& second);
  template <bool DoubleOffset> void ProcessGeneric(float input, float& first, float& second);

  double* StageInputData(int32_t phase) { return state_.data() + (2 * phase) * stride_; }
  double* StageOutputData(int32_t phase) { return state_.data() + (2 * phase + 1) * stride_; }
  const double* StageInputData(int32_t phase) const { return state_.data() + (2 * phase) * stride_; }
  const double* StageOutputData(int32_t phase) const { return state_.data() + (2 * phase + 1) * stride_; }

  TRoutine processSample_;
  double previousInput_ = 0.0;
  int32_t phase_ = 0;
  // The four state arrays, in the order inputs of phase 0, outputs of phase 0,
  // inputs of phase 1, outputs of phase 1, each `stride_` (= capacity) long.
  std::vector<double> state_;
  std::ptrdiff_t stride_ = 0;
};

} // namespace nimbrel::dsp
