// The splitter's state rules: construction, the two alternating state sets, what
// a coefficient change keeps and clears, refused inputs, and allocation-free
// coefficient changes after Reserve.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "AllocationCounter.h"
#include "SplitterTestSupport.h"
#include "core/Extended.h"
#include "dsp/PhaseHalfPi.h"
#include "dsp/PolyPhaseIIR2Designer.h"

namespace {

using nimbrel::extended;
using nimbrel::dsp::TPhaseHalfPi;
using nimbrel::dsp::TPolyPhaseFilter;
using nimbrel::test::Noise;
using nimbrel::test::OutputPair;
using nimbrel::test::RunThrough;

std::vector<double> Vec(std::span<const double> s) { return {s.begin(), s.end()}; }

// Everything observable about a splitter, for before/after comparisons.
struct Snapshot {
  int32_t count;
  std::vector<double> coefficients, x0, y0, x1, y1;
  double previousInput;
  int32_t phase;
  bool operator==(const Snapshot&) const = default;
};

Snapshot Take(const TPhaseHalfPi& s) {
  return {s.NumberOfCoefficients(), Vec(s.Coefficients()), Vec(s.StageInputs(0)), Vec(s.StageOutputs(0)),
          Vec(s.StageInputs(1)),   Vec(s.StageOutputs(1)),  s.PreviousInput(),      s.Phase()};
}

bool AllZero(std::span<const double> v) {
  for (double d : v)
    if (d != 0.0)
      return false;
  return true;
}

// A splitter designed like the plug-in's default and run for a while, so that
// every state array holds non-zero values.
class RunningSplitter : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(splitter.SetCoefficientsByTransition(8, 0.01 / 8));
    RunThrough(splitter, Noise(101, 7)); // odd length: Phase ends at 1
  }
  TPhaseHalfPi splitter;
};

TEST(SplitterConstruction, StartsEmptyAndWritesSilenceWithoutTouchingState) {
  TPhaseHalfPi s;
  EXPECT_EQ(s.NumberOfCoefficients(), 0);
  EXPECT_TRUE(s.Coefficients().empty());
  EXPECT_EQ(s.PreviousInput(), 0.0);
  EXPECT_EQ(s.Phase(), 0);
  float first = 5.0f, second = 5.0f;
  s.ProcessSample(0.75f, first, second);
  EXPECT_EQ(first, 0.0f);
  EXPECT_EQ(second, 0.0f);
  EXPECT_EQ(s.PreviousInput(), 0.0);
  EXPECT_EQ(s.Phase(), 0);
}

TEST(SplitterState, OneCallOnZeroStateLeavesTheOffsetTimesTheCoefficient) {
  // Counts 1 and 2 add the double nearest 1e-34, larger counts the extended
  // nearest; 9 runs the generic loop, 12 its own unrolled routine.
  for (int32_t count : {1, 2, 3, 4, 8, 9, 12, 13}) {
    std::vector<double> a(static_cast<std::size_t>(count));
    for (int32_t i = 0; i < count; ++i)
      a[static_cast<std::size_t>(i)] = 0.34 + 0.05 * i;
    TPhaseHalfPi s;
    ASSERT_TRUE(s.SetCoefficients(a.data(), count));
    float first, second;
    s.ProcessSample(0.0f, first, second);
    const extended offset = count <= 2 ? extended(1e-34) : 1e-34L;
    const auto y = s.StageOutputs(0);
    EXPECT_EQ(y[0], double(offset * a[0])) << count;
    EXPECT_NE(y[0], 0.0);
    if (count >= 2) {
      EXPECT_EQ(y[1], double(offset * a[1])) << count;
    }
    if (count >= 3) { // section 2 receives section 0's tiny output
      EXPECT_EQ(y[2], double(extended(y[0]) * a[2])) << count;
      EXPECT_EQ(s.StageInputs(0)[2], y[0]);
    }
    EXPECT_TRUE(AllZero(s.StageInputs(1)));
    EXPECT_TRUE(AllZero(s.StageOutputs(1)));
    EXPECT_EQ(s.Phase(), 1);
  }
}

TEST(SplitterState, TheTwoOffsetsDifferForTheCoefficientUsedAbove) {
  // Guards the previous test: for a[0] = 0.34 and a[1] = 0.39 the two offsets give different
  // doubles, so a routine with the wrong offset would be caught.
  EXPECT_NE(double(extended(1e-34) * 0.34), double(1e-34L * 0.34));
  EXPECT_NE(double(extended(1e-34) * (0.34 + 0.05)), double(1e-34L * (0.34 + 0.05)));
}

TEST(SplitterState, SingleSectionPassesThePreviousInputAsSecondOutput) {
  TPhaseHalfPi s;
  const double a = 0.5;
  ASSERT_TRUE(s.SetCoefficients(&a, 1));
  float first, second;
  s.ProcessSample(0.25f, first, second);
  EXPECT_EQ(second, 0.0f);
  EXPECT_EQ(first, float(double((extended(0.25) + extended(1e-34)) * 0.5)));
  s.ProcessSample(-0.5f, first, second);
  EXPECT_EQ(second, 0.25f);
  s.ProcessSample(0.125f, first, second);
  EXPECT_EQ(second, -0.5f);
}

TEST(SplitterState, TwoSectionsPutTheCurrentInputChainFirst) {
  TPhaseHalfPi s;
  const double a[2] = {0.5, 0.25};
  ASSERT_TRUE(s.SetCoefficients(a, 2));
  float first, second;
  s.ProcessSample(0.0f, first, second);
  s.ProcessSample(1.0f, first, second); // phase 1: fresh state set
  EXPECT_EQ(first, float(double((1.0L + extended(1e-34)) * 0.5)));
  EXPECT_EQ(second, float(double(extended(1e-34) * 0.25)));
}

TEST_F(RunningSplitter, ConsecutiveCallsAlternateBetweenTheTwoStateSets) {
  ASSERT_EQ(splitter.Phase(), 1);
  float first, second;
  for (int call = 0; call < 6; ++call) {
    const int32_t used = splitter.Phase();
    const Snapshot before = Take(splitter);
    splitter.ProcessSample(0.3f, first, second);
    const Snapshot after = Take(splitter);
    const auto& xUsedBefore = used == 0 ? before.x0 : before.x1;
    const auto& yUsedBefore = used == 0 ? before.y0 : before.y1;
    const auto& xUsedAfter = used == 0 ? after.x0 : after.x1;
    const auto& yUsedAfter = used == 0 ? after.y0 : after.y1;
    EXPECT_NE(xUsedAfter, xUsedBefore);
    EXPECT_NE(yUsedAfter, yUsedBefore);
    // The other set is untouched.
    EXPECT_EQ(used == 0 ? after.x1 : after.x0, used == 0 ? before.x1 : before.x0);
    EXPECT_EQ(used == 0 ? after.y1 : after.y0, used == 0 ? before.y1 : before.y0);
    EXPECT_EQ(after.phase, 1 - used);
    EXPECT_EQ(after.previousInput, double(0.3f));
  }
}

TEST_F(RunningSplitter, SameCountKeepsStateAndContinuesWithNewCoefficients) {
  const Snapshot before = Take(splitter);
  std::vector<double> next(8);
  ASSERT_TRUE(nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(next.data(), 8, 0.2 / 8));
  ASSERT_TRUE(splitter.SetCoefficients(next));
  Snapshot after = Take(splitter);
  EXPECT_EQ(after.coefficients, next);
  after.coefficients = before.coefficients;
  EXPECT_EQ(after, before); // sections, PreviousInput and Phase untouched

  // The next call runs on the kept state with the new coefficients.
  const int32_t p = splitter.Phase();
  const double y0 = splitter.StageOutputs(p)[0], x0 = splitter.StageInputs(p)[0];
  float first, second;
  splitter.ProcessSample(0.5f, first, second);
  EXPECT_EQ(splitter.StageOutputs(p)[0], double((0.5L + 1e-34L + y0) * next[0] - x0));
}

TEST_F(RunningSplitter, NewCountClearsSectionsAndKeepsPreviousInputAndPhase) {
  for (int32_t count : {5, 12, 40, 1}) {
    const Snapshot before = Take(splitter);
    ASSERT_TRUE(splitter.SetCoefficientsByTransition(count, 0.01 / count));
    const Snapshot after = Take(splitter);
    EXPECT_EQ(after.count, count);
    for (const auto* v : {&after.x0, &after.y0, &after.x1, &after.y1}) {
      EXPECT_EQ(v->size(), static_cast<std::size_t>(count));
      EXPECT_TRUE(AllZero(*v)) << count;
    }
    EXPECT_EQ(after.previousInput, before.previousInput);
    EXPECT_EQ(after.phase, before.phase);
    RunThrough(splitter, Noise(21, 3)); // refill the state and flip Phase for the next count
  }
}

TEST_F(RunningSplitter, RefusedRequestsChangeNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> poisoned[] = {{0.1, nan, 0.5}, {inf}, {0.2, 0.3, -inf, 0.4, 0.5, 0.6, 0.7, 0.8}};
  const double one = 0.5;

  TPhaseHalfPi twin; // receives the same history minus the refused calls
  ASSERT_TRUE(twin.SetCoefficientsByTransition(8, 0.01 / 8));
  RunThrough(twin, Noise(101, 7));

  const Snapshot before = Take(splitter);
  EXPECT_FALSE(splitter.SetCoefficients(&one, 0));
  EXPECT_FALSE(splitter.SetCoefficients(&one, -1));
  EXPECT_FALSE(splitter.SetCoefficients(&one, std::numeric_limits<int32_t>::min()));
  EXPECT_FALSE(splitter.SetCoefficients(nullptr, 8));
  EXPECT_FALSE(splitter.SetCoefficients(std::span<const double>{}));
  for (const auto& p : poisoned)
    EXPECT_FALSE(splitter.SetCoefficients(p));
  EXPECT_FALSE(splitter.SetCoefficientsByTransition(0, 0.01));
  EXPECT_FALSE(splitter.SetCoefficientsByTransition(-3, 0.01));
  EXPECT_FALSE(splitter.SetCoefficientsByTransition(4, 0.0));
  EXPECT_FALSE(splitter.SetCoefficientsByTransition(4, 0.5));
  EXPECT_FALSE(splitter.SetCoefficientsByTransition(4, nan));
  EXPECT_EQ(Take(splitter), before);

  // And the routine is still the one for eight sections.
  const auto input = Noise(300, 11);
  EXPECT_EQ(RunThrough(splitter, input), RunThrough(twin, input));
}

TEST(SplitterState, RefusedCountLeavesAFreshSplitterSilent) {
  TPhaseHalfPi s;
  const double a[] = {0.5};
  EXPECT_FALSE(s.SetCoefficients(a, 0));
  EXPECT_FALSE(s.SetCoefficientsByTransition(0, 0.01));
  EXPECT_EQ(s.NumberOfCoefficients(), 0);
  for (const OutputPair& o : RunThrough(s, Noise(16, 1)))
    EXPECT_EQ(o, (OutputPair{0.0f, 0.0f}));
  EXPECT_EQ(s.Phase(), 0);
  EXPECT_EQ(s.PreviousInput(), 0.0);
}

TEST_F(RunningSplitter, NonFiniteInputIsProcessedAsSilence) {
  TPhaseHalfPi twin;
  ASSERT_TRUE(twin.SetCoefficientsByTransition(8, 0.01 / 8));
  RunThrough(twin, Noise(101, 7));
  std::vector<float> bad = Noise(64, 5), clean = bad;
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (std::size_t i : {3u, 4u, 17u, 40u}) {
    bad[i] = i % 2 ? nan : (i == 4 ? inf : -inf);
    clean[i] = 0.0f;
  }
  EXPECT_EQ(RunThrough(splitter, bad), RunThrough(twin, clean));
  EXPECT_EQ(Take(splitter), Take(twin));
}

TEST_F(RunningSplitter, ReserveKeepsTheRunningState) {
  TPhaseHalfPi twin;
  ASSERT_TRUE(twin.SetCoefficientsByTransition(8, 0.01 / 8));
  RunThrough(twin, Noise(101, 7));
  splitter.Reserve(64);
  EXPECT_GE(splitter.Capacity(), 64);
  EXPECT_EQ(Take(splitter), Take(twin));
  const auto input = Noise(500, 9);
  EXPECT_EQ(RunThrough(splitter, input), RunThrough(twin, input));
}

TEST(SplitterAllocation, CoefficientChangesWithinTheReservedCapacityNeverAllocate) {
  TPhaseHalfPi s;
  s.Reserve(32);
  std::vector<std::vector<double>> designs;
  for (int32_t count = 1; count <= 32; ++count) {
    designs.emplace_back(static_cast<std::size_t>(count));
    ASSERT_TRUE(nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(designs.back().data(), count,
                                                                         0.01 / count));
  }
  float first, second;
  nimbrel::test::AllocationWatch watch;
  for (int32_t count = 32; count >= 1; --count) {
    s.SetCoefficients(designs[static_cast<std::size_t>(count - 1)]);
    s.ProcessSample(0.5f, first, second);
    s.SetCoefficientsByTransition(33 - count, 0.05 / (33 - count));
    s.ProcessSample(-0.5f, first, second);
    s.SetCoefficientsByTransition(33 - count, 0.01 / (33 - count)); // same count
    s.ProcessSample(0.25f, first, second);
  }
  EXPECT_EQ(watch.Count(), 0u);
}

TEST(SplitterAllocation, TheWatchSeesAllocations) {
  // Without Reserve the first coefficient set must allocate: shows that the
  // watch above would have noticed.
  TPhaseHalfPi s;
  nimbrel::test::AllocationWatch watch;
  s.SetCoefficientsByTransition(8, 0.01 / 8);
  EXPECT_GT(watch.Count(), 0u);
}

TEST(FilterBase, KeepsCoefficientsOnlyAndRefusesCountsBelowOne) {
  TPolyPhaseFilter f;
  EXPECT_EQ(f.NumberOfCoefficients(), 0);
  const double a[] = {0.1, 0.2, 0.3};
  ASSERT_TRUE(f.SetCoefficients(a, 3));
  EXPECT_EQ(Vec(f.Coefficients()), (std::vector<double>{0.1, 0.2, 0.3}));
  EXPECT_FALSE(f.SetCoefficients(a, 0));
  EXPECT_FALSE(f.SetCoefficientsByTransition(-1, 0.1));
  EXPECT_EQ(f.NumberOfCoefficients(), 3);
  ASSERT_TRUE(f.SetCoefficientsByTransition(8, 0.01 / 8));
  std::vector<double> want(8);
  nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(want.data(), 8, 0.01 / 8);
  EXPECT_EQ(Vec(f.Coefficients()), want);
}

} // namespace
