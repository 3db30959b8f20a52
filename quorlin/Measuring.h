#pragma once
// The meter's measuring kernels: the per-channel peak follower and the one-pole
// smoothing filter in front of it. Pure numerics on caller-owned state: nothing
// here knows a host, a window or a thread, so the module can run the loops on
// local copies and publish the results once per block.
//
// Rounding points: samples, levels, filter states and coefficients are 32-bit
// floats; every step is computed in `nimbrel::extended` and rounded to float
// once when it is stored. The block functions and the coefficient design set
// the x87 unit to its full 64-bit precision for their run (a host may have
// left it at 53 bits); callers of the one-step functions see to it themselves.
#include <cstdint>
#include <limits>

#include "core/Extended.h"
#include "quorlin/LevelFunctions.h"

namespace quorlin {

// Per-sample decay of a held peak: about 0.64 per second at 44.1 kHz.
inline constexpr nimbrel::extended kPeakDecay = 0.99999L;

// Largest magnitude that can become a level.
inline constexpr float kLargestLevel = std::numeric_limits<float>::max();

// At the end of every block, levels and filter states below the smallest
// normal float are flushed to 0, as flush-to-zero would do in SSE arithmetic
// (these steps run on the x87 unit, which knows no such mode). Otherwise a
// level decaying through silence sticks at about 7e-41, where the rounded
// product no longer moves, and every later step works on a subnormal number:
// slow arithmetic on many processors, for a level nobody can see. Once per
// block, so that the per-sample chains stay as short as they are; the
// one-step functions below are the plain arithmetic.
inline constexpr float kSmallestKeptResult = std::numeric_limits<float>::min();
inline float FlushedTiny(float x) { return Magnitude(x) >= kSmallestKeptResult ? x : 0.0f; }

// One step of the peak follower: a magnitude strictly above the level becomes
// the level; anything else (equal, smaller, or NaN, for which the comparison
// fails) decays the level instead, so a NaN never becomes the level.
// An infinite sample is treated like a NaN: taken as the level it would stay
// there for good (infinity times the decay is infinity) and pin the meter.
inline float FollowPeak(float level, float sample) {
  const float a = Magnitude(sample);
  if (a > level && a <= kLargestLevel)
    return a;
  return static_cast<float>(static_cast<nimbrel::extended>(level) * kPeakDecay);
}

// Feedback coefficient and input gain of the one-pole smoothing filter
// y = x * g + y * c. They travel as one pair so that a reader never sees the
// coefficient of one length with the gain of another.
struct TIIRCoefficients {
  float FIIRCoefficient = 0.0f;
  float FIIRGain = 0.0f;
};

// Smoothing lengths below 1 are rejected: 0 would give c = -1 (a filter that
// never settles), negative lengths an unstable one and -1 a division by zero.
inline constexpr std::int32_t kMinSmoothingLength = 1;
inline bool IsValidSmoothingLength(std::int32_t length) { return length >= kMinSmoothingLength; }

// c = (L - 1) / (L + 1) rounded to float, then g = 1 - c rounded to float, so
// that c + g is 1 (exactly, for every length but 2). The sums are formed in
// extended precision, so the largest lengths cannot overflow. Precondition: IsValidSmoothingLength(length).
TIIRCoefficients IIRCoefficientsForLength(std::int32_t length);

// One step of the smoothing filter: x * g + y * c in extended, rounded to float.
// A step whose result is not a finite number (a NaN or infinite sample) leaves
// the state as it is: once inside, a NaN or an infinity would never leave the
// feedback loop and the smoothed reading would be lost for the rest of the
// session. Finite results are exactly those of the plain filter.
inline float SmoothSample(float state, float sample, TIIRCoefficients k) {
  const float y = static_cast<float>(static_cast<nimbrel::extended>(sample) * k.FIIRGain +
                                     static_cast<nimbrel::extended>(state) * k.FIIRCoefficient);
  return Magnitude(y) <= kLargestLevel ? y : state;
}

// The block functions: a null buffer or a count <= 0 changes nothing; the
// results they leave are flushed (FlushedTiny).
//
// Follows the peak of `count` samples starting from `level`; returns the new
// level. A null buffer or a count <= 0 leaves the level as it is.
float FollowPeakBlock(const float *samples, std::int32_t count, float level);

// Smooths `count` samples through the filter whose state is `state` and follows
// the peak of the smoothed signal; both are updated in place. A null buffer or
// a count <= 0 changes nothing.
void FollowSmoothedPeakBlock(const float *samples, std::int32_t count, TIIRCoefficients k, float &state,
                             float &level);

// Both channels of a stereo block in one pass, sample by sample: the two
// followers are independent, so their dependency chains (each step waits for
// the previous level) overlap and the pair costs little more than one channel.
// Results are those of the one-channel functions. Null buffers or a count <= 0
// change nothing.
void FollowPeakBlockStereo(const float *left, const float *right, std::int32_t count, float &leftLevel,
                           float &rightLevel);
void FollowSmoothedPeakBlockStereo(const float *left, const float *right, std::int32_t count, TIIRCoefficients k,
                                   float &leftState, float &rightState, float &leftLevel, float &rightLevel);

} // namespace quorlin
