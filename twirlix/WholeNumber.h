#pragma once
// Rounding of parameter values to whole numbers: to the nearest integer, an
// exact half to the even neighbour (16.5 -> 16, 17.5 -> 18). Computed
// explicitly, so that a host thread's floating-point rounding mode cannot
// change the result.
#include <cmath>
#include <cstdint>
#include <optional>

namespace nimbrel::twirlix {

// Non-finite values come back unchanged.
inline double RoundHalfEven(double v) {
  if (!std::isfinite(v))
    return v;
  double r = std::floor(v);
  const double rest = v - r; // exact: r and v share their exponent range
  if (rest > 0.5 || (rest == 0.5 && std::fmod(r, 2.0) != 0.0))
    r += 1.0;
  return r;
}

// The rounded value when it is a finite number within lo..hi, else nothing.
inline std::optional<std::int32_t> RoundedWithin(float value, std::int32_t lo, std::int32_t hi) {
  const double r = RoundHalfEven(value);
  if (!(r >= lo && r <= hi)) // NaN fails too
    return std::nullopt;
  return static_cast<std::int32_t>(r);
}

} // namespace nimbrel::twirlix
