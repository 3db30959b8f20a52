#include "dsp/PhaseHalfPi.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <new>
#include <utility>

#include "core/Extended.h"

namespace nimbrel::dsp {

namespace {

using nimbrel::extended;

// The anti-denormal offset on the inputs of sections 0 and 1: the double nearest
// 1e-34 in the one- and two-coefficient routines, the extended nearest elsewhere.
constexpr extended kOffsetFromDouble = extended(1e-34);
constexpr extended kOffsetExtended = 1e-34L;

template <bool DoubleOffset> constexpr extended Offset() {
  return DoubleOffset ? kOffsetFromDouble : kOffsetExtended;
}

// A NaN or infinite sample would stay in the recursive state for good; it is
// processed as silence instead.
inline double SampleValue(float input) { return std::isfinite(input) ? double(input) : 0.0; }

// One section from 2 on: Y[i] := (Y[i-2] + Y[i]) * a[i] - X[i]; X[i] := Y[i-2].
inline void Section(const double* a, double* x, double* y, int32_t i) {
  y[i] = double((extended(y[i - 2]) + y[i]) * a[i] - x[i]);
  x[i] = y[i - 2];
}

} // namespace

TPhaseHalfPi::TPhaseHalfPi() : processSample_(&TPhaseHalfPi::ProcessNothing) {}

std::span<const double> TPhaseHalfPi::StageInputs(int32_t phase) const {
  if (phase != 0 && phase != 1)
    return {};
  return {StageInputData(phase), static_cast<std::size_t>(NumberOfCoefficients())};
}

std::span<const double> TPhaseHalfPi::StageOutputs(int32_t phase) const {
  if (phase != 0 && phase != 1)
    return {};
  return {StageOutputData(phase), static_cast<std::size_t>(NumberOfCoefficients())};
}

void TPhaseHalfPi::Reserve(int32_t capacity) {
  if (capacity <= Capacity())
    return;
  const auto stride = static_cast<std::size_t>(capacity);
  if (stride > std::numeric_limits<std::size_t>::max() / sizeof(double) / 4)
    throw std::bad_alloc();
  std::vector<double> grown(4 * stride, 0.0);
  TPolyPhaseFilter::Reserve(capacity); // may throw: `grown` is simply dropped
  const auto n = static_cast<std::ptrdiff_t>(NumberOfCoefficients());
  for (std::ptrdiff_t set = 0; set < 4 && n > 0; ++set)
    std::copy_n(state_.data() + set * stride_, n,
                grown.data() + set * static_cast<std::ptrdiff_t>(stride));
  state_.swap(grown);
  stride_ = static_cast<std::ptrdiff_t>(stride);
}

bool TPhaseHalfPi::SetCoefficients(const double* values, int32_t count) {
  if (!AcceptableCoefficients(values, count))
    return false;
  if (count != NumberOfCoefficients()) {
    Reserve(count); // the only step that may allocate or throw
    ResizeCoefficients(count);
    ChooseProcessRoutine();
    ClearState();
  }
  CopyCoefficients(values);
  return true;
}

void TPhaseHalfPi::ClearState() {
  const auto n = static_cast<std::ptrdiff_t>(NumberOfCoefficients());
  for (std::ptrdiff_t set = 0; set < 4 && n > 0; ++set)
    std::fill_n(state_.data() + set * stride_, n, 0.0);
}

void TPhaseHalfPi::ChooseProcessRoutine() {
  switch (NumberOfCoefficients()) {
  case 0: processSample_ = &TPhaseHalfPi::ProcessNothing; break;
  case 1: processSample_ = &TPhaseHalfPi::ProcessOne; break;
  case 2: processSample_ = &TPhaseHalfPi::ProcessUnrolled<2>; break;
  case 3: processSample_ = &TPhaseHalfPi::ProcessUnrolled<3>; break;
  case 4: processSample_ = &TPhaseHalfPi::ProcessUnrolled<4>; break;
  case 5: processSample_ = &TPhaseHalfPi::ProcessUnrolled<5>; break;
  case 6: processSample_ = &TPhaseHalfPi::ProcessUnrolled<6>; break;
  case 7: processSample_ = &TPhaseHalfPi::ProcessUnrolled<7>; break;
  case 8: processSample_ = &TPhaseHalfPi::ProcessUnrolled<8>; break;
  case 12: processSample_ = &TPhaseHalfPi::ProcessUnrolled<12>; break;
  default: processSample_ = &TPhaseHalfPi::ProcessGeneric<false>; break;
  }
}

void TPhaseHalfPi::SelectGenericRoutineForTesting() {
  const int32_t n = NumberOfCoefficients();
  if (n < 1)
    return;
  processSample_ = n <= 2 ? &TPhaseHalfPi::ProcessGeneric<true>
                          : &TPhaseHalfPi::ProcessGeneric<false>;
}

void TPhaseHalfPi::ProcessNothing(float, float& first, float& second) {
  first = 0.0f;
  second = 0.0f;
}

void TPhaseHalfPi::ProcessOne(float input, float& first, float& second) {
  const double in = SampleValue(input);
  const double* a = CoefficientData();
  double* x = StageInputData(phase_);
  double* y = StageOutputData(phase_);
  y[0] = double((extended(in) + kOffsetFromDouble + y[0]) * a[0] - x[0]);
  x[0] = in;
  first = float(y[0]);
  second = float(previousInput_);
  previousInput_ = in;
  phase_ = 1 - phase_;
}

template <int32_t N> void TPhaseHalfPi::ProcessUnrolled(float input, float& first, float& second) {
  static_assert(N >= 2);
  constexpr extended offset = Offset<N == 2>();
  const double in = SampleValue(input);
  const double* a = CoefficientData();
  double* x = StageInputData(phase_);
  double* y = StageOutputData(phase_);
  y[0] = double((extended(in) + offset + y[0]) * a[0] - x[0]);
  x[0] = in;
  y[1] = double((extended(previousInput_) + offset + y[1]) * a[1] - x[1]);
  x[1] = previousInput_;
  // Sections 2 .. N-1, expanded at compile time in increasing order.
  [&]<int32_t... I>(std::integer_sequence<int32_t, I...>) {
    (Section(a, x, y, I + 2), ...);
  }(std::make_integer_sequence<int32_t, N - 2>{});
  first = float(y[N - 2]);
  second = float(y[N - 1]);
  previousInput_ = in;
  phase_ = 1 - phase_;
}

template <bool DoubleOffset>
void TPhaseHalfPi::ProcessGeneric(float input, float& first, float& second) {
  constexpr extended offset = Offset<DoubleOffset>();
  const int32_t n = NumberOfCoefficients();
  const double in = SampleValue(input);
  const double* a = CoefficientData();
  double* x = StageInputData(phase_);
  double* y = StageOutputData(phase_);
  y[0] = double((extended(in) + offset + y[0]) * a[0] - x[0]);
  x[0] = in;
  if (n >= 2) {
    y[1] = double((extended(previousInput_) + offset + y[1]) * a[1] - x[1]);
    x[1] = previousInput_;
  }
  for (int32_t i = 2; i < n; ++i)
    Section(a, x, y, i);
  if (n == 1) {
    first = float(y[0]);
    second = float(previousInput_);
  } else {
    first = float(y[n - 2]);
    second = float(y[n - 1]);
  }
  previousInput_ = in;
  phase_ = 1 - phase_;
}

} // namespace nimbrel::dsp
