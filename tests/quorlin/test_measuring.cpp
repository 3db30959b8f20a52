// The meter's measuring kernels: peak follower, smoothing filter, level functions.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "core/FpuGuard.h"
#include "quorlin/LevelFunctions.h"
#include "quorlin/Measuring.h"

namespace {

using quorlin::FollowPeak;
using quorlin::FollowPeakBlock;
using quorlin::FollowSmoothedPeakBlock;
using quorlin::IIRCoefficientsForLength;
using quorlin::TIIRCoefficients;

constexpr float kInf = std::numeric_limits<float>::infinity();

float NaNWithPayload(std::uint32_t bits) { return std::bit_cast<float>(bits); }

// The values a hostile or broken host may put into a block.
const float kNonFinite[] = {std::numeric_limits<float>::quiet_NaN(), -std::numeric_limits<float>::quiet_NaN(),
                            NaNWithPayload(0x7fa12345u), NaNWithPayload(0xffc00001u), kInf, -kInf};

TEST(QuorlinPeakFollower, TakesAPeakAndDecaysAboutAThirdPerSecondAt44k) {
  float level = FollowPeak(0.0f, -0.8f);
  EXPECT_EQ(level, 0.8f);
  const std::vector<float> silence(44100, 0.0f);
  level = FollowPeakBlock(silence.data(), static_cast<std::int32_t>(silence.size()), level);
  const double expected = 0.8 * std::pow(0.99999, 44100.0); // 0.8 x 0.6434
  EXPECT_NEAR(level, expected, 1e-4);
  EXPECT_NEAR(level, 0.8 * 0.64, 0.005);
}

TEST(QuorlinPeakFollower, OnlyAMagnitudeStrictlyAboveTheLevelIsTaken) {
  const float decayed = static_cast<float>(0.5L * 0.99999L);
  struct Case {
    float sample;
    float expected;
  } cases[] = {
      {0.5f, decayed},  // equal: decays, not held
      {-0.5f, decayed}, // equal magnitude
      {0.25f, decayed}, // below
      {0.0f, decayed},  {-0.0f, decayed},
      {0.75f, 0.75f},   {-0.75f, 0.75f},
      {std::nextafter(0.5f, 1.0f), std::nextafter(0.5f, 1.0f)},
  };
  for (const Case &c : cases)
    EXPECT_EQ(FollowPeak(0.5f, c.sample), c.expected) << "sample " << c.sample;
}

TEST(QuorlinPeakFollower, DecayIsRoundedFromExtendedNotFromFloatArithmetic) {
  // 0.99999 rounded to float first would decay by a visibly different factor.
  float level = 1.0f;
  for (int i = 0; i < 1000; ++i)
    level = FollowPeak(level, 0.0f);
  float viaFloat = 1.0f;
  for (int i = 0; i < 1000; ++i)
    viaFloat = viaFloat * 0.99999f;
  long double reference = 1.0L;
  for (int i = 0; i < 1000; ++i)
    reference = static_cast<float>(reference * 0.99999L);
  EXPECT_EQ(level, static_cast<float>(reference));
  EXPECT_NE(level, viaFloat);
}

TEST(QuorlinPeakFollower, NaNAndInfinityNeverBecomeTheLevel) {
  for (float bad : kNonFinite) {
    for (float start : {0.0f, 0.3f}) {
      const float level = FollowPeak(start, bad);
      EXPECT_EQ(level, static_cast<float>(start * 0.99999L)) << std::bit_cast<std::uint32_t>(bad);
      EXPECT_TRUE(std::isfinite(level));
    }
  }
  // After the bad sample the follower goes on as before.
  const float samples[] = {0.2f, kNonFinite[0], kInf, 0.6f, -kInf};
  const float level = FollowPeakBlock(samples, 5, 0.0f);
  EXPECT_EQ(level, static_cast<float>(0.6L * 0.99999L));
}

TEST(QuorlinPeakFollower, SubnormalsAndTheLargestFloatAreOrdinaryLevels) {
  const float tiny = std::numeric_limits<float>::denorm_min() * 7;
  EXPECT_EQ(FollowPeak(0.0f, -tiny), tiny);
  const float big = std::numeric_limits<float>::max();
  EXPECT_EQ(FollowPeak(1.0f, -big), big);
}

TEST(QuorlinSmoothingCoefficients, LengthFourteenGivesThirteenFifteenthsAndItsComplement) {
  const TIIRCoefficients k = IIRCoefficientsForLength(14);
  EXPECT_EQ(k.FIIRCoefficient, static_cast<float>(13.0L / 15.0L));
  EXPECT_EQ(k.FIIRGain, static_cast<float>(1.0 - static_cast<double>(static_cast<float>(13.0L / 15.0L))));
  EXPECT_EQ(static_cast<double>(k.FIIRCoefficient) + k.FIIRGain, 1.0);
}

TEST(QuorlinSmoothingCoefficients, EveryAcceptedLengthGivesAStableFilter) {
  for (std::int32_t length : {1, 2, 3, 14, 1000, 1 << 24, std::numeric_limits<std::int32_t>::max()}) {
    ASSERT_TRUE(quorlin::IsValidSmoothingLength(length));
    const TIIRCoefficients k = IIRCoefficientsForLength(length);
    EXPECT_GE(k.FIIRCoefficient, 0.0f) << length;
    EXPECT_LE(k.FIIRCoefficient, 1.0f) << length;
    EXPECT_GE(k.FIIRGain, 0.0f) << length;
    EXPECT_NEAR(static_cast<double>(k.FIIRCoefficient) + k.FIIRGain, 1.0, 1e-7) << length;
  }
  EXPECT_EQ(IIRCoefficientsForLength(1).FIIRCoefficient, 0.0f);
  EXPECT_EQ(IIRCoefficientsForLength(1).FIIRGain, 1.0f);
  for (std::int32_t length : {0, -1, -14, std::numeric_limits<std::int32_t>::min()})
    EXPECT_FALSE(quorlin::IsValidSmoothingLength(length)) << length;
}

TEST(QuorlinSmoothedPeak, ConstantOneSettlesThreeFloatStepsBelowOne) {
  const TIIRCoefficients k = IIRCoefficientsForLength(14);
  const std::vector<float> ones(2000, 1.0f);
  float state = 0.0f, level = 0.0f;
  FollowSmoothedPeakBlock(ones.data(), 1000, k, state, level);
  const float settled = 1.0f - 3.0f * std::numeric_limits<float>::epsilon() / 2.0f;
  EXPECT_EQ(settled, 0.99999982f);
  EXPECT_EQ(state, settled);
  // The state is a fixed point; the level alternates between taking the state
  // (after a decayed step) and decaying (when it equals the state).
  float previous = level;
  for (int i = 0; i < 4; ++i) {
    FollowSmoothedPeakBlock(ones.data(), 1, k, state, level);
    EXPECT_EQ(state, settled);
    EXPECT_TRUE(level == settled || level == static_cast<float>(settled * 0.99999L)) << level;
    EXPECT_NE(level, previous);
    previous = level;
  }
}

TEST(QuorlinSmoothedPeak, FollowsTheLowPassedSignalNotTheRawOne) {
  // A single full-scale click is spread by the filter: the level is g, not 1.
  const TIIRCoefficients k = IIRCoefficientsForLength(14);
  const float click[] = {1.0f, 0.0f, 0.0f};
  float state = 0.0f, level = 0.0f;
  FollowSmoothedPeakBlock(click, 1, k, state, level);
  EXPECT_EQ(state, k.FIIRGain);
  EXPECT_EQ(level, k.FIIRGain);
  FollowSmoothedPeakBlock(click + 1, 2, k, state, level);
  EXPECT_EQ(state, static_cast<float>(static_cast<float>(static_cast<long double>(k.FIIRGain) * k.FIIRCoefficient) *
                                      static_cast<long double>(k.FIIRCoefficient)));
  EXPECT_LT(level, k.FIIRGain);
}

TEST(QuorlinSmoothedPeak, NonFiniteSamplesDoNotPoisonTheFilter) {
  const TIIRCoefficients k = IIRCoefficientsForLength(14);
  const std::vector<float> ones(1000, 1.0f);
  for (float bad : kNonFinite) {
    float state = 0.0f, level = 0.0f;
    FollowSmoothedPeakBlock(ones.data(), 1000, k, state, level);
    const float settledState = state;
    const float badBlock[] = {bad, bad, -bad};
    FollowSmoothedPeakBlock(badBlock, 3, k, state, level);
    EXPECT_EQ(state, settledState) << std::bit_cast<std::uint32_t>(bad);
    EXPECT_TRUE(std::isfinite(level));
    FollowSmoothedPeakBlock(ones.data(), 10, k, state, level);
    EXPECT_EQ(state, settledState);
    EXPECT_GT(level, 0.99f);
  }
}

TEST(QuorlinMeasuringBlocks, NullBuffersAndEmptyBlocksChangeNothing) {
  const TIIRCoefficients k = IIRCoefficientsForLength(14);
  const float samples[] = {0.9f};
  for (std::int32_t count : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
    EXPECT_EQ(FollowPeakBlock(samples, count, 0.25f), 0.25f);
    float state = 0.5f, level = 0.25f;
    FollowSmoothedPeakBlock(samples, count, k, state, level);
    EXPECT_EQ(state, 0.5f);
    EXPECT_EQ(level, 0.25f);
  }
  EXPECT_EQ(FollowPeakBlock(nullptr, 512, 0.25f), 0.25f);
  float state = 0.5f, level = 0.25f;
  FollowSmoothedPeakBlock(nullptr, 512, k, state, level);
  EXPECT_EQ(state, 0.5f);
  EXPECT_EQ(level, 0.25f);
}

TEST(QuorlinMeasuringBlocks, StereoPassGivesEachChannelItsOwnOneChannelResult) {
  const TIIRCoefficients k = IIRCoefficientsForLength(14);
  std::vector<float> left(777), right(777);
  std::uint32_t noise = 99;
  for (std::size_t i = 0; i < left.size(); ++i) {
    noise = noise * 1664525u + 1013904223u;
    left[i] = static_cast<float>(static_cast<std::int32_t>(noise)) / 2147483648.0f;
    right[i] = 0.25f * left[(i * 7) % left.size()] + (i == 300 ? kInf : 0.0f);
  }
  const std::int32_t n = static_cast<std::int32_t>(left.size());
  float l = 0.1f, r = 0.7f;
  quorlin::FollowPeakBlockStereo(left.data(), right.data(), n, l, r);
  EXPECT_EQ(l, FollowPeakBlock(left.data(), n, 0.1f));
  EXPECT_EQ(r, FollowPeakBlock(right.data(), n, 0.7f));

  float yl = 0.2f, yr = -0.3f, sl = 0.0f, sr = 0.5f;
  quorlin::FollowSmoothedPeakBlockStereo(left.data(), right.data(), n, k, yl, yr, sl, sr);
  float ylRef = 0.2f, slRef = 0.0f, yrRef = -0.3f, srRef = 0.5f;
  FollowSmoothedPeakBlock(left.data(), n, k, ylRef, slRef);
  FollowSmoothedPeakBlock(right.data(), n, k, yrRef, srRef);
  EXPECT_EQ(yl, ylRef);
  EXPECT_EQ(sl, slRef);
  EXPECT_EQ(yr, yrRef);
  EXPECT_EQ(sr, srRef);
  EXPECT_NE(sl, sr);
}

#if NIMBREL_X86
// Hosts on Windows run their threads with the x87 unit at 53 bits; the decibel
// reading must still come from the 64-bit logarithm, and the host gets its
// setting back.
TEST(QuorlinLevelFunctions, AmpToDBKeepsFullPrecisionUnderA53BitHost) {
  if (!nimbrel::kHasExtended)
    GTEST_SKIP() << "no extended type";
  volatile float opaque[] = {0.7f, 0.1f, 0.123456f, 1.9f}; // not folded at compile time
  for (volatile float &x : opaque) {
    const nimbrel::extended at64 = quorlin::AmpToDB(x);
    const std::uint16_t original = nimbrel::ReadX87ControlWord();
    const std::uint16_t host53 = static_cast<std::uint16_t>((original & ~0x0300u) | 0x0200u);
    nimbrel::WriteX87ControlWord(host53);
    const nimbrel::extended under53 = quorlin::AmpToDB(x);
    const std::uint16_t after = nimbrel::ReadX87ControlWord();
    nimbrel::WriteX87ControlWord(original);
    EXPECT_EQ(after, host53);
    EXPECT_EQ(under53, at64) << x;
  }
}
#endif

TEST(QuorlinLevelFunctions, MagnitudeOnlyClearsTheSignBit) {
  for (std::uint32_t bits : {0x80000000u, 0x00000000u, 0xbf4ccccdu, 0x80000001u, 0xff800000u, 0xffc12345u,
                             0x7fa00001u}) {
    const float m = quorlin::Magnitude(std::bit_cast<float>(bits));
    EXPECT_EQ(std::bit_cast<std::uint32_t>(m), bits & 0x7fffffffu) << std::hex << bits;
  }
}

TEST(QuorlinLevelFunctions, AmpToDBIsTwentyTimesTheExtendedLogarithm) {
  static_assert(std::is_same_v<decltype(quorlin::AmpToDB(1.0f)), nimbrel::extended>);
  EXPECT_EQ(quorlin::AmpToDB(1.0f), 0.0L);
  EXPECT_EQ(quorlin::AmpToDB(10.0f), 20.0L);
  EXPECT_EQ(quorlin::AmpToDB(100.0f), 40.0L);
  // 20 log10(0.5) = -6.0205999132796239042747778944899...; a double-precision
  // logarithm would miss it by about 1e-15.
  const nimbrel::extended tolerance = nimbrel::kHasExtended ? 1e-17L : 1e-14L;
  EXPECT_NEAR(static_cast<double>(quorlin::AmpToDB(0.5f) - -6.0205999132796239042747778944899L), 0.0, tolerance);
  // 0.1f is a little above 0.1, so the reading is a little above -20 dB.
  EXPECT_GT(quorlin::AmpToDB(0.1f), -20.0L);
  EXPECT_NEAR(static_cast<double>(quorlin::AmpToDB(0.1f)), -20.0, 1e-6);
  EXPECT_EQ(quorlin::AmpToDB(0.0f), -std::numeric_limits<nimbrel::extended>::infinity());
}

} // namespace
