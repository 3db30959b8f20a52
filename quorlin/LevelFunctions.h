#pragma once
// The two level functions of the meter: the magnitude of a sample and the
// conversion of a linear amplitude to decibels. Shared by the measuring
// routines and the meter's editor; pure numerics, no state.
#include <cmath>

#include "core/Extended.h"
#include "core/FpuGuard.h"

namespace quorlin {

// |x| of a 32-bit sample, exact (only the sign bit is cleared, so a NaN stays NaN).
inline float Magnitude(float x) { return std::fabs(x); }

// 20 x log10(x): the logarithm is taken in extended precision and multiplied by
// the double constant 20.0; the result stays extended for the caller to round.
// The caller passes x > 0 (0 gives -inf, a negative x gives NaN). Computed at
// full x87 precision whatever the calling thread's setting.
inline nimbrel::extended AmpToDB(float x) {
  const nimbrel::PrecisionGuard extendedPrecision;
  constexpr double kTwenty = 20.0;
  return static_cast<nimbrel::extended>(kTwenty) * std::log10(static_cast<nimbrel::extended>(x));
}

} // namespace quorlin
