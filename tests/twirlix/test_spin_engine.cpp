// The spin engine without host or framework: saturators, LFO, rounding, the
// control side's accepted values, and the ten routines against the reference.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

#include "dsp/PolyPhaseIIR2Designer.h"
#include "tests/twirlix/SpinReference.h"
#include "twirlix/Saturators.h"
#include "twirlix/SpinControl.h"
#include "twirlix/SpinEngine.h"
#include "twirlix/WholeNumber.h"

namespace {

using namespace nimbrel::twirlix;
using spintest::Noise;
using spintest::SpinReference;

constexpr float kRate = 44100.0f;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

// An engine set up as the module's create step leaves it, then tuned.
struct Rig {
  TSpinEngine engine;
  TSpinControl control{engine};
  Rig(int count, int type, float speed) {
    engine.CreateSplitters();
    control.SetTransitionBandwidth(0.01f);
    control.ChangeCoefficients(static_cast<float>(count));
    control.ChangeProcessType(static_cast<float>(type));
    control.ResetLfo();
    control.SetLfoSpeed(speed, kRate);
  }
  void Run(std::vector<float> &inL, std::vector<float> &inR, std::vector<float> &outL, std::vector<float> &outR,
           int offset, int frames) {
    const float *in[2] = {inL.data() + offset, inR.data() + offset};
    float *out[2] = {outL.data() + offset, outR.data() + offset};
    engine.ProcessBlock(in, out, frames);
  }
};

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// --- Saturators ------------------------------------------------------------------

TEST(TwirlixSaturators, ShapeAndLimits) {
  // Gains of "old one": inputs of 1.0 reach the splitters as about 0.75 and 0.66.
  EXPECT_NEAR(RationalClip3(2.1f), 0.7452f, 1e-4f);
  EXPECT_NEAR(static_cast<double>(RationalClip2(2.2f)), 0.6560, 1e-4);
  for (float x : {0.0f, 1e-3f, 0.3f, 1.0f, 7.0f, 1e5f}) {
    EXPECT_EQ(RationalClip3(-x), -RationalClip3(x)) << x;
    EXPECT_EQ(RationalClip2(-x), -RationalClip2(x)) << x;
  }
  EXPECT_NEAR(RationalClip3(1e-4f) / 1e-4f, 0.5f, 1e-4f);
  EXPECT_NEAR(static_cast<double>(RationalClip2(1e-4f)) / 1e-4, 0.5, 1e-4);
  // Large inputs approach 1 and never turn into NaN, even where b overflows.
  for (float x : {1e3f, 1e10f, 1e20f, 3e38f, kInf}) {
    EXPECT_GT(RationalClip3(x), 0.99f) << x;
    EXPECT_LE(RationalClip3(x), 1.0f) << x;
    EXPECT_GT(static_cast<double>(RationalClip2(x)), 0.99) << x;
    EXPECT_LE(static_cast<double>(RationalClip2(x)), 1.0) << x;
    EXPECT_EQ(RationalClip3(-x), -RationalClip3(x)) << x;
  }
}

// --- LFO ---------------------------------------------------------------------------

TEST(TwirlixLfo, FrequencyOfSpeed) {
  EXPECT_EQ(LfoFrequency(0.0f), 0.0f);
  EXPECT_EQ(LfoFrequency(13.0f), 13.0f);
  EXPECT_NEAR(LfoFrequency(1.0f), 0.712f, 0.001f);
  EXPECT_NEAR(LfoFrequency(6.5f), 13.0f * (std::sqrt(2.0f) - 1.0f), 1e-3f); // exponential in between
}

TEST(TwirlixLfo, RotationTracksSineAndCosine) {
  TLfoStep step;
  ASSERT_TRUE(LfoStepFor(13.0f, kRate, step));
  const double w = 13.0 / kRate * 2.0 * M_PI;
  TLfo lfo, mono;
  for (int k = 1; k <= 10000; ++k) {
    lfo.Advance<false>(step);
    mono.Advance<true>(step);
    ASSERT_NEAR(lfo.LfoSin, -std::sin(k * w), 1e-9) << k;
    ASSERT_NEAR(lfo.LfoCos, std::cos(k * w), 1e-9) << k;
    ASSERT_EQ(static_cast<double>(static_cast<float>(mono.LfoSin)), mono.LfoSin) << "single rounding, step " << k;
    ASSERT_NEAR(mono.LfoSin, -std::sin(k * w), 1e-5) << k;
  }
}

TEST(TwirlixLfo, UnusableRatesKeepTheStep) {
  for (float rate : {0.0f, -0.0f, -44100.0f, kNaN, kInf}) {
    TLfoStep step{0.25, 0.5};
    EXPECT_FALSE(LfoStepFor(3.0f, rate, step)) << rate;
    EXPECT_EQ(step.Cos, 0.25);
    EXPECT_EQ(step.Sin, 0.5);
  }
  TLfoStep step{0.25, 0.5};
  EXPECT_FALSE(LfoStepFor(kInf, kRate, step));
  EXPECT_EQ(step.Cos, 0.25);
}

TEST(TwirlixRounding, HalfGoesToEven) {
  const struct {
    double in, out;
  } cases[] = {{16.5, 16}, {17.5, 18}, {23.5, 24}, {24.5, 24}, {0.5, 0}, {1.5, 2}, {-0.5, 0},
               {-1.5, -2}, {-2.5, -2}, {2.4999, 2}, {2.5001, 3}, {1e9 + 0.5, 1e9}, {-7.0, -7}};
  for (const auto &c : cases)
    EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
  EXPECT_FALSE(RoundedWithin(kNaN, 0, 10));
  EXPECT_FALSE(RoundedWithin(3e38f, 0, 1 << 30));
}

// --- Control side: accepted and rejected values --------------------------------------

TEST(TwirlixControl, AcceptedCoefficientCounts) {
  const struct {
    float value;
    std::optional<int> accepted;
  } cases[] = {{0.4f, {}},  {0.5f, {}},  {1.0f, 1},   {7.0f, 7},   {12.0f, 12}, {16.5f, 16}, {16.6f, {}},
               {17.5f, {}}, {20.0f, {}}, {23.5f, 24}, {24.5f, 24}, {25.0f, {}}, {31.5f, 32}, {32.5f, 32},
               {33.0f, {}}, {-8.0f, {}}, {kNaN, {}},  {kInf, {}},  {-kInf, {}}};
  for (const auto &c : cases) {
    Rig rig(8, 5, 0.0f);
    const TSpinSettings before = rig.control.Settings();
    const auto n = rig.control.ChangeCoefficients(c.value);
    ASSERT_EQ(n, c.accepted) << c.value;
    const TSpinSettings after = rig.control.Settings();
    for (int k = 0; k < 2; ++k) {
      if (c.accepted) {
        EXPECT_EQ(after.Splitter[k].Count, *c.accepted) << c.value;
        double expected[32];
        ASSERT_TRUE(nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(
            expected, *n, static_cast<double>(static_cast<long double>(0.01f) / *n)));
        for (int i = 0; i < *n; ++i)
          EXPECT_EQ(after.Splitter[k].Coefficients[i], expected[i]);
      } else {
        EXPECT_EQ(after.Splitter[k].DesignGeneration, before.Splitter[k].DesignGeneration) << c.value;
        EXPECT_EQ(after.Splitter[k].Count, 8);
      }
    }
  }
}

TEST(TwirlixControl, AcceptedProcessTypes) {
  const struct {
    float value;
    std::optional<int> accepted;
  } cases[] = {{0.0f, {}}, {0.5f, {}}, {0.6f, 1},  {1.0f, 1},   {5.5f, 6},    {6.5f, 6},
               {10.0f, 10}, {10.5f, 10}, {10.6f, {}}, {-1.0f, {}}, {kNaN, {}}, {kInf, {}}};
  for (const auto &c : cases) {
    Rig rig(8, 5, 0.0f);
    EXPECT_EQ(rig.control.ChangeProcessType(c.value), c.accepted) << c.value;
    EXPECT_EQ(rig.control.Settings().ProcessType, c.accepted.value_or(5)) << c.value;
  }
}

TEST(TwirlixControl, TransitionBandwidthRedesignsWithStoredCount) {
  Rig rig(8, 5, 0.0f);
  // Coefficients 20 is rejected (the splitters keep 8), yet a TBW change
  // designs with the stored value 20.
  EXPECT_FALSE(rig.control.ChangeCoefficients(20.0f));
  EXPECT_TRUE(rig.control.ChangeTransitionBandwidth(0.02f, 20.0f));
  EXPECT_EQ(rig.control.TransitionBandwidth(), 0.02f);
  const TSpinSettings s = rig.control.Settings();
  double expected[32];
  ASSERT_TRUE(nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(
      expected, 20, static_cast<double>(static_cast<long double>(0.02f) / 20)));
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(s.Splitter[k].Count, 20);
    for (int i = 0; i < 20; ++i)
      EXPECT_EQ(s.Splitter[k].Coefficients[i], expected[i]);
  }
  // Rejected: unchanged, 0, 0.5 and above, negative, NaN.
  for (float v : {0.02f, 0.0f, 0.5f, 0.7f, -0.1f, kNaN}) {
    EXPECT_FALSE(rig.control.ChangeTransitionBandwidth(v, 8.0f)) << v;
    EXPECT_EQ(rig.control.TransitionBandwidth(), 0.02f);
  }
  // A stored count outside 1..32 takes the TBW but designs nothing.
  for (float stored : {0.4f, -3.0f, 33.0f, 1e9f, kNaN}) {
    const std::uint32_t generation = rig.control.Settings().Splitter[0].DesignGeneration;
    const float tbw = rig.control.TransitionBandwidth() * 0.5f;
    EXPECT_TRUE(rig.control.ChangeTransitionBandwidth(tbw, stored)) << stored;
    EXPECT_EQ(rig.control.TransitionBandwidth(), tbw);
    EXPECT_EQ(rig.control.Settings().Splitter[0].DesignGeneration, generation) << stored;
    EXPECT_EQ(rig.control.Settings().Splitter[0].Count, 20);
  }
}

TEST(TwirlixControl, NonFiniteSpeedChangesNothing) {
  Rig rig(8, 5, 2.0f);
  const TLfoStep before = rig.control.Settings().LfoStep;
  for (float x : {kNaN, kInf, -kInf, 1e6f}) {
    EXPECT_FALSE(rig.control.SetLfoSpeed(x, kRate)) << x;
    EXPECT_EQ(rig.control.Settings().LfoStep.Cos, before.Cos);
    EXPECT_EQ(rig.control.Settings().LfoStep.Sin, before.Sin);
  }
  // A bad rate keeps the step but still reports the frequency.
  EXPECT_EQ(rig.control.SetLfoSpeed(13.0f, 0.0f), 13.0f);
  EXPECT_EQ(rig.control.Settings().LfoStep.Sin, before.Sin);
}

// --- The routines ------------------------------------------------------------------

// Every process type at several counts, over blocks of uneven sizes with a
// speed change in between, against the reference, bit for bit.
TEST(TwirlixRoutines, MatchTheReferenceBitForBit) {
  const int frames = 3000;
  std::vector<float> inL = Noise(frames, 1), inR = Noise(frames, 2);
  inL[100] = 1.0f; // a full-scale sample for "old one"'s saturators
  inR[101] = -40.0f;
  for (int count : {1, 2, 3, 8, 11, 12, 32}) {
    for (int type = 1; type <= 10; ++type) {
      Rig rig(count, type, 9.0f);
      SpinReference ref(count, type, 9.0f);
      std::vector<float> outL(frames), outR(frames), refL(frames), refR(frames);
      int offset = 0;
      for (int block : {1, 7, 512, 480}) {
        rig.Run(inL, inR, outL, outR, offset, block);
        ref.Run(inL.data() + offset, inR.data() + offset, refL.data() + offset, refR.data() + offset, block);
        offset += block;
      }
      rig.control.SetLfoSpeed(12.5f, kRate);
      ref.Speed(12.5f, kRate);
      rig.Run(inL, inR, outL, outR, offset, frames - offset);
      ref.Run(inL.data() + offset, inR.data() + offset, refL.data() + offset, refR.data() + offset,
              frames - offset);
      for (int i = 0; i < frames; ++i) {
        ASSERT_TRUE(SameBits(outL[i], refL[i])) << "type " << type << " count " << count << " frame " << i;
        ASSERT_TRUE(SameBits(outR[i], refR[i])) << "type " << type << " count " << count << " frame " << i;
      }
      EXPECT_EQ(rig.engine.Lfo().LfoSin, ref.lfoSin);
      EXPECT_EQ(rig.engine.Lfo().LfoCos, ref.lfoCos);
    }
  }
}

TEST(TwirlixRoutines, StandingLfoInMonoIsHalfTheSum) {
  // Right after the create step the LFO stands at (0, 1): Q1 is zero.
  Rig rig(8, 5, 0.0f);
  const int frames = 64;
  std::vector<float> inL = Noise(frames, 3), inR = Noise(frames, 4), outL(frames), outR(frames);
  rig.Run(inL, inR, outL, outR, 0, frames);
  nimbrel::dsp::TPhaseHalfPi split;
  split.SetCoefficientsByTransition(8, static_cast<double>(static_cast<long double>(0.01f) / 8));
  for (int i = 0; i < frames; ++i) {
    float p, q;
    split.ProcessSample(static_cast<float>((static_cast<long double>(inL[i]) + inR[i]) * 0.5L), p, q);
    EXPECT_EQ(outL[i], static_cast<float>((static_cast<long double>(p) + inL[i]) * 0.5L));
    EXPECT_EQ(outR[i], static_cast<float>((static_cast<long double>(p) + inR[i]) * 0.5L));
  }
}

TEST(TwirlixRoutines, InPlaceEqualsSeparateBuffers) {
  const int frames = 700;
  for (int type = 1; type <= 10; ++type) {
    Rig separate(8, type, 5.0f), inPlace(8, type, 5.0f);
    std::vector<float> inL = Noise(frames, 5), inR = Noise(frames, 6), outL(frames), outR(frames);
    std::vector<float> bufL = inL, bufR = inR;
    separate.Run(inL, inR, outL, outR, 0, frames);
    inPlace.Run(bufL, bufR, bufL, bufR, 0, frames);
    for (int i = 0; i < frames; ++i) {
      ASSERT_TRUE(SameBits(outL[i], bufL[i])) << "type " << type << " frame " << i;
      ASSERT_TRUE(SameBits(outR[i], bufR[i])) << "type " << type << " frame " << i;
    }
  }
}

TEST(TwirlixRoutines, EmptyBlocksDoNothing) {
  Rig rig(8, 1, 7.0f);
  std::vector<float> inL = Noise(16, 7), inR = Noise(16, 8), outL(16, 42.0f), outR(16, 42.0f);
  rig.Run(inL, inR, outL, outR, 0, 5);
  const TLfo lfo = rig.engine.Lfo();
  const int phase = rig.engine.Splitter(0)->Phase();
  rig.Run(inL, inR, outL, outR, 8, 0);
  rig.Run(inL, inR, outL, outR, 8, -1);
  rig.Run(inL, inR, outL, outR, 8, std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(rig.engine.Lfo().LfoSin, lfo.LfoSin);
  EXPECT_EQ(rig.engine.Lfo().LfoCos, lfo.LfoCos);
  EXPECT_EQ(rig.engine.Splitter(0)->Phase(), phase);
  for (int i = 8; i < 16; ++i)
    EXPECT_EQ(outL[i], 42.0f);
}

// The second splitter's full state, to tell whether a routine touched it.
std::vector<double> StateOf(const nimbrel::dsp::TPhaseHalfPi &s) {
  std::vector<double> v{s.PreviousInput(), static_cast<double>(s.Phase())};
  for (int p = 0; p < 2; ++p) {
    for (double x : s.StageInputs(p))
      v.push_back(x);
    for (double x : s.StageOutputs(p))
      v.push_back(x);
  }
  return v;
}

TEST(TwirlixRoutines, SpecialAndMonoTypesLeaveTheSecondSplitterAlone) {
  const int frames = 300;
  std::vector<float> inL = Noise(frames, 9), inR = Noise(frames, 10), outL(frames), outR(frames);
  for (int type : {5, 6, 7, 9}) {
    Rig rig(8, 1, 3.0f);
    rig.Run(inL, inR, outL, outR, 0, 100); // "stereo a" gives splitter 2 some state
    const std::vector<double> before = StateOf(*rig.engine.Splitter(1));
    rig.control.ChangeProcessType(static_cast<float>(type));
    rig.Run(inL, inR, outL, outR, 100, 200);
    EXPECT_EQ(StateOf(*rig.engine.Splitter(1)), before) << "type " << type;
    EXPECT_NE(rig.engine.Splitter(0)->PreviousInput(), 0.0);
  }
}

// A count change clears the section states at the next block even when the
// count came back before it; the same count again keeps them.
TEST(TwirlixRoutines, CountChangesClearStateByGeneration) {
  const int frames = 400;
  std::vector<float> inL = Noise(frames, 11), inR = Noise(frames, 12);
  struct Case {
    const char *name;
    std::vector<float> counts;
    bool cleared;
  } cases[] = {{"8 -> 12 -> 8", {12.0f, 8.0f}, true}, {"8 -> 8", {8.0f}, false}, {"8 -> 20 (rejected)", {20.0f}, false}};
  for (const Case &c : cases) {
    Rig rig(8, 1, 4.0f);
    SpinReference ref(8, 1, 4.0f);
    std::vector<float> outL(frames), outR(frames), refL(frames), refR(frames);
    rig.Run(inL, inR, outL, outR, 0, 200);
    ref.Run(inL.data(), inR.data(), refL.data(), refR.data(), 200);
    for (float n : c.counts)
      rig.control.ChangeCoefficients(n);
    if (c.cleared) {
      ref.split1.ClearState();
      ref.split2.ClearState();
    }
    rig.Run(inL, inR, outL, outR, 200, 200);
    ref.Run(inL.data() + 200, inR.data() + 200, refL.data() + 200, refR.data() + 200, 200);
    for (int i = 200; i < frames; ++i) {
      ASSERT_TRUE(SameBits(outL[i], refL[i])) << c.name << " frame " << i;
      ASSERT_TRUE(SameBits(outR[i], refR[i])) << c.name << " frame " << i;
    }
  }
}

TEST(TwirlixEngine, MissingChannelsOrSplittersGiveSilence) {
  Rig rig(8, 2, 3.0f);
  std::vector<float> inL = Noise(32, 13), outL(32, 5.0f), outR(32, 5.0f);
  const float *in[2] = {inL.data(), nullptr};
  float *out[2] = {outL.data(), outR.data()};
  rig.engine.ProcessBlock(in, out, 32);
  for (int i = 0; i < 32; ++i)
    ASSERT_EQ(outL[i] + outR[i], 0.0f);
  rig.engine.ProcessBlock(nullptr, out, 32);
  rig.engine.ProcessBlock(in, nullptr, 32);
  rig.engine.DestroySplitters();
  std::fill(outL.begin(), outL.end(), 5.0f);
  const float *both[2] = {inL.data(), inL.data()};
  rig.engine.ProcessBlock(both, out, 32);
  for (int i = 0; i < 32; ++i)
    ASSERT_EQ(outL[i], 0.0f);
  // With no splitters the control side designs nothing and nothing breaks.
  EXPECT_TRUE(rig.control.ChangeCoefficients(12.0f));
  rig.engine.ProcessBlock(both, out, 32);
}

TEST(TwirlixEngine, NonFiniteInputDoesNotPoisonLaterBlocks) {
  for (int type = 1; type <= 10; ++type) {
    Rig rig(8, type, 6.0f);
    const int frames = 256;
    std::vector<float> inL = Noise(frames, 14), inR = Noise(frames, 15), outL(frames), outR(frames);
    inL[10] = kNaN;
    inR[11] = kInf;
    inL[12] = -kInf;
    rig.Run(inL, inR, outL, outR, 0, frames);
    std::vector<float> cleanL = Noise(frames, 16), cleanR = Noise(frames, 17);
    rig.Run(cleanL, cleanR, outL, outR, 0, frames);
    for (int i = 0; i < frames; ++i) {
      ASSERT_TRUE(std::isfinite(outL[i])) << "type " << type << " frame " << i;
      ASSERT_TRUE(std::isfinite(outR[i])) << "type " << type << " frame " << i;
    }
  }
}

} // namespace
