#pragma once
// The two rational saturators of the "old one" process type. Both are odd,
// have slope 0.5 at zero and tend to +-1 for large inputs.
#include <cmath>

#include "core/Extended.h"

namespace nimbrel::twirlix {

// a := <|x|>; b := <(3 + a) * a + 6>; result <x * b / (a * b + 12)>, with the
// arithmetic between the single-precision rounding points in extended.
//
// Where b no longer fits a single (|x| beyond about 1.8e19) or x is infinite,
// the quotient would turn into inf / inf = NaN and poison the splitter that
// follows; there the result is its limit, +-1.
inline float RationalClip3(float x) {
  using ext = nimbrel::extended;
  const float a = std::fabs(x);
  const float b = static_cast<float>((ext(3) + a) * a + ext(6));
  if (std::isinf(b))
    return std::copysign(1.0f, x);
  return static_cast<float>(ext(x) * b / (ext(a) * b + ext(12)));
}

// x * (3 + a) / ((3 + a) * a + 6) with a := |x|, extended throughout. An
// infinite x gives its limit +-1 instead of inf / inf.
inline nimbrel::extended RationalClip2(float x) {
  using ext = nimbrel::extended;
  if (std::isinf(x))
    return std::copysign(ext(1), ext(x));
  const ext a = std::fabs(ext(x));
  return ext(x) * (ext(3) + a) / ((ext(3) + a) * a + ext(6));
}

} // namespace nimbrel::twirlix
