// Bit-exactness of the per-count routines: each chosen routine against the
// generic loop, and both against the step-by-step model of the recursion.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SplitterTestSupport.h"
#include "dsp/PhaseHalfPi.h"

namespace {

using nimbrel::dsp::TPhaseHalfPi;
using nimbrel::test::ModelSplitter;
using nimbrel::test::OutputPair;
using nimbrel::test::RunThrough;
using nimbrel::test::ZerosThenNoise;

// Exact equality of floats as bit patterns would also separate +0 and -0; the
// outputs never differ only in that, so == on the pair is enough here, and a
// mismatch reports the first differing sample.
void ExpectSameOutputs(const std::vector<OutputPair>& got, const std::vector<OutputPair>& want,
                       int32_t count) {
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < got.size(); ++i)
    if (!(got[i] == want[i])) {
      ADD_FAILURE() << "count " << count << " differs at sample " << i << ": (" << got[i].first << ", "
                    << got[i].second << ") vs (" << want[i].first << ", " << want[i].second << ")";
      return;
    }
}

TEST(SplitterArithmetic, EveryRoutineMatchesTheGenericLoopBitForBit) {
  const auto input = ZerosThenNoise(64, 20000, 42);
  for (int32_t count = 1; count <= 32; ++count) {
    TPhaseHalfPi chosen, generic;
    ASSERT_TRUE(chosen.SetCoefficientsByTransition(count, 0.01 / count));
    ASSERT_TRUE(generic.SetCoefficientsByTransition(count, 0.01 / count));
    generic.SelectGenericRoutineForTesting();
    ExpectSameOutputs(RunThrough(chosen, input), RunThrough(generic, input), count);
    for (int32_t p : {0, 1}) {
      EXPECT_TRUE(std::ranges::equal(chosen.StageInputs(p), generic.StageInputs(p))) << count;
      EXPECT_TRUE(std::ranges::equal(chosen.StageOutputs(p), generic.StageOutputs(p))) << count;
    }
    EXPECT_EQ(chosen.PreviousInput(), generic.PreviousInput());
    EXPECT_EQ(chosen.Phase(), generic.Phase());
  }
}

TEST(SplitterArithmetic, RoutinesMatchTheStepByStepModel) {
  const auto input = ZerosThenNoise(64, 4000, 1234);
  for (int32_t count = 1; count <= 33; ++count) {
    TPhaseHalfPi splitter;
    ASSERT_TRUE(splitter.SetCoefficientsByTransition(count, 0.1 / count));
    ModelSplitter model({splitter.Coefficients().begin(), splitter.Coefficients().end()});
    std::vector<OutputPair> want;
    for (float v : input)
      want.push_back(model.Step(v));
    ExpectSameOutputs(RunThrough(splitter, input), want, count);
    // The float outputs hide last-bit differences of the double states, so the
    // states are compared as well.
    for (int p : {0, 1}) {
      EXPECT_TRUE(std::ranges::equal(splitter.StageInputs(p), model.StageInputs(p))) << count;
      EXPECT_TRUE(std::ranges::equal(splitter.StageOutputs(p), model.StageOutputs(p))) << count;
    }
    EXPECT_EQ(splitter.PreviousInput(), model.PreviousInput());
  }
}

TEST(SplitterArithmetic, ACountChangeChoosesTheRoutineAgain) {
  // After running with a forced generic loop, a count change must choose the
  // count's own routine; a stale routine for the old count would read past the
  // new arrays or give other results.
  const auto input = ZerosThenNoise(16, 2000, 5);
  for (int32_t count : {1, 2, 3, 7, 12, 20}) {
    TPhaseHalfPi splitter;
    ASSERT_TRUE(splitter.SetCoefficientsByTransition(32, 0.01 / 32));
    splitter.SelectGenericRoutineForTesting();
    RunThrough(splitter, input);
    ASSERT_TRUE(splitter.SetCoefficientsByTransition(count, 0.05 / count));
    // Same history of PreviousInput and Phase, cleared sections: the model
    // starting from zero state sees the same after one call with that history.
    TPhaseHalfPi fresh;
    ASSERT_TRUE(fresh.SetCoefficientsByTransition(count, 0.05 / count));
    float f, s;
    fresh.ProcessSample(input.back(), f, s); // PreviousInput = last input
    if (splitter.Phase() != fresh.Phase())
      fresh.ProcessSample(input.back(), f, s);
    fresh.ClearState();
    ASSERT_EQ(fresh.PreviousInput(), splitter.PreviousInput());
    ASSERT_EQ(fresh.Phase(), splitter.Phase());
    ExpectSameOutputs(RunThrough(splitter, input), RunThrough(fresh, input), count);
  }
}

} // namespace
