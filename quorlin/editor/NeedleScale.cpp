#include "quorlin/editor/NeedleScale.h"

#include "core/Extended.h"
#include "core/FpuGuard.h"
#include "quorlin/LevelFunctions.h"

namespace quorlin {

int NeedlePositionForDB(float dB) {
  const double d = dB;
  int p = 0;
  for (const double bound : kNeedleLowerBounds)
    if (d >= bound) // false for NaN
      ++p;
  return p;
}

float NeedleReadingDB(float level) {
  // The sum must be formed at full extended precision whatever the host
  // thread's x87 setting.
  const nimbrel::PrecisionGuard extendedPrecision;
  constexpr nimbrel::extended kFloor = static_cast<nimbrel::extended>(1e-15L);
  const float x = static_cast<float>(static_cast<nimbrel::extended>(level) + kFloor);
  return static_cast<float>(AmpToDB(x));
}

int NeedlePosition(float level) { return NeedlePositionForDB(NeedleReadingDB(level)); }

} // namespace quorlin
