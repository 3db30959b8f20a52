#pragma once
// The project-wide extended-precision type. Arithmetic between the stated rounding
// points (to float or to double) is carried out in this type: the 80-bit x87
// long double (64-bit mantissa) where the platform has it, double elsewhere.
#include <cfloat>

namespace nimbrel {

#if LDBL_MANT_DIG == 64
using extended = long double;
inline constexpr bool kHasExtended = true;
#else
using extended = double;
inline constexpr bool kHasExtended = false;
#endif

// pi to the precision of `extended` (the literal is exact beyond 64 bits).
inline constexpr extended kPi = 3.14159265358979323846264338327950288L;

} // namespace nimbrel
