#include "quorlin/Measuring.h"

#include "core/FpuGuard.h"

namespace quorlin {

TIIRCoefficients IIRCoefficientsForLength(std::int32_t length) {
  const nimbrel::PrecisionGuard extendedPrecision;
  const nimbrel::extended l = length;
  TIIRCoefficients k;
  k.FIIRCoefficient = static_cast<float>((l - 1) / (l + 1));
  k.FIIRGain = static_cast<float>(1.0 - static_cast<double>(k.FIIRCoefficient));
  return k;
}

float FollowPeakBlock(const float *samples, std::int32_t count, float level) {
  const nimbrel::PrecisionGuard extendedPrecision;
  if (samples == nullptr)
    return level;
  if (count <= 0)
    return level;
  for (std::int32_t i = 0; i < count; ++i)
    level = FollowPeak(level, samples[i]);
  return FlushedTiny(level);
}

void FollowSmoothedPeakBlock(const float *samples, std::int32_t count, TIIRCoefficients k, float &state,
                             float &level) {
  const nimbrel::PrecisionGuard extendedPrecision;
  if (samples == nullptr)
    return;
  float y = state;
  float peak = level;
  for (std::int32_t i = 0; i < count; ++i) {
    y = SmoothSample(y, samples[i], k);
    peak = FollowPeak(peak, y);
  }
  if (count <= 0)
    return;
  state = FlushedTiny(y);
  level = FlushedTiny(peak);
}

void FollowPeakBlockStereo(const float *left, const float *right, std::int32_t count, float &leftLevel,
                           float &rightLevel) {
  const nimbrel::PrecisionGuard extendedPrecision;
  if (left == nullptr || right == nullptr)
    return;
  float l = leftLevel, r = rightLevel;
  for (std::int32_t i = 0; i < count; ++i) {
    l = FollowPeak(l, left[i]);
    r = FollowPeak(r, right[i]);
  }
  if (count <= 0)
    return;
  leftLevel = FlushedTiny(l);
  rightLevel = FlushedTiny(r);
}

void FollowSmoothedPeakBlockStereo(const float *left, const float *right, std::int32_t count, TIIRCoefficients k,
                                   float &leftState, float &rightState, float &leftLevel, float &rightLevel) {
  const nimbrel::PrecisionGuard extendedPrecision;
  if (left == nullptr || right == nullptr)
    return;
  float yl = leftState, yr = rightState;
  float l = leftLevel, r = rightLevel;
  for (std::int32_t i = 0; i < count; ++i) {
    yl = SmoothSample(yl, left[i], k);
    yr = SmoothSample(yr, right[i], k);
    l = FollowPeak(l, yl);
    r = FollowPeak(r, yr);
  }
  if (count <= 0)
    return;
  leftState = FlushedTiny(yl);
  rightState = FlushedTiny(yr);
  leftLevel = FlushedTiny(l);
  rightLevel = FlushedTiny(r);
}

} // namespace quorlin
