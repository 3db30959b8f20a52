// The meter module driven through its effect record with a test editor window:
// routine selection, measuring, levels across editor sessions, and the host
// notices of Mode changes.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "AwkwardSamples.h"
#include "MeterFixture.h"
#include "quorlin/QuorlinModule.h"

namespace {

using quorlin::TPMModule;
using quorlin_test::AwkwardSamples;
using quorlin_test::EditorProbe;
using quorlin_test::HostLog;
using quorlin_test::Meter;
using quorlin_test::SameBits;

const vst2::TProcessAudioEvent kNone = TPMModule::ProcessNoneRoutine();
const vst2::TProcessAudioEvent kPeak = TPMModule::ProcessPeakRoutine();
const vst2::TProcessAudioEvent kIIR = TPMModule::ProcessIIRRoutine();

#define EXPECT_ROUTINE(meter, routine)                                                                           \
  do {                                                                                                           \
    EXPECT_EQ((meter).Replacing(), routine);                                                                     \
    EXPECT_EQ((meter).Accumulating(), routine);                                                                  \
  } while (0)

TEST(QuorlinModule, CreationLeavesTheMeterClosedInPeakWithLengthFourteen) {
  Meter meter;
  EXPECT_ROUTINE(meter, kNone);
  EXPECT_FALSE(meter.Module().RMSMode());
  EXPECT_EQ(meter.Module().SmoothingLength(), 14);
  const quorlin::TIIRCoefficients k = meter.Module().IIRCoefficients();
  EXPECT_EQ(k.FIIRCoefficient, static_cast<float>(13.0L / 15.0L));
  EXPECT_EQ(static_cast<double>(k.FIIRCoefficient) + k.FIIRGain, 1.0);
  EXPECT_EQ(meter.Module().GetLevel(0), 0.0f);
  EXPECT_EQ(meter.Module().GetLevel(1), 0.0f);
  EXPECT_EQ(meter.Probe().made, 0);
}

TEST(QuorlinModule, ModeChangesWithoutAnEditorKeepTheCopyOnlyRoutine) {
  Meter meter;
  for (float v : {1.0f, 0.5f, 0.0f, 0.75f}) {
    meter.SetMode(v);
    EXPECT_ROUTINE(meter, kNone);
    EXPECT_EQ(meter.Module().RMSMode(), v >= 0.5f) << v;
  }
  meter.Dispatch(vst2::effSetProgram, 0, 0); // the current program: nothing changes
  EXPECT_TRUE(meter.Module().RMSMode());
  EXPECT_ROUTINE(meter, kNone);
  meter.Feed(0.9f, 1024);
  EXPECT_EQ(meter.Module().GetLevel(0), 0.0f);
  EXPECT_EQ(meter.Module().GetLevel(1), 0.0f);
  // The next editor installs the routine of the mode chosen while closed.
  ASSERT_TRUE(meter.OpenEditor());
  EXPECT_ROUTINE(meter, kIIR);
}

TEST(QuorlinModule, EditorSessionsSelectTheRoutineByMode) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  EXPECT_ROUTINE(meter, kPeak);
  EXPECT_TRUE(meter.Probe().timerEnabled);
  EXPECT_EQ(meter.Probe().module, &meter.Module());
  struct Step {
    float mode;
    vst2::TProcessAudioEvent routine;
  } steps[] = {{0.5f, kIIR}, {0.4999f, kPeak}, {1.0f, kIIR}, {1.0f, kIIR}, {0.0f, kPeak}};
  for (const Step &s : steps) {
    meter.SetMode(s.mode);
    EXPECT_ROUTINE(meter, s.routine);
  }
  meter.CloseEditor();
  EXPECT_ROUTINE(meter, kNone);
  EXPECT_FALSE(meter.Probe().timerEnabled);
  EXPECT_EQ(meter.Probe().alive, 0);
  // The editor itself changes Mode through the framework's automated path.
  ASSERT_TRUE(meter.OpenEditor());
  meter.Module().SetParameterAutomated(0, 1.0f);
  EXPECT_ROUTINE(meter, kIIR);
  meter.CloseEditor();
  EXPECT_ROUTINE(meter, kNone);
  ASSERT_TRUE(meter.OpenEditor());
  EXPECT_ROUTINE(meter, kIIR);
}

TEST(QuorlinModule, EditorModeChangesReachTheHostAsAutomation) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  HostLog::Instance().Clear();
  meter.Module().SetParameterAutomated(0, 1.0f); // an RMS press
  meter.Module().SetParameterAutomated(0, 0.0f); // a Peak press
  const auto notices = HostLog::Instance().Calls(vst2::audioMasterAutomate);
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0].index, 0);
  EXPECT_EQ(notices[0].opt, 1.0f);
  EXPECT_EQ(notices[1].opt, 0.0f);
  EXPECT_EQ(meter.Effect()->getParameter(meter.Effect(), 0), 0.0f);
}

TEST(QuorlinModule, EditorsThatCannotBeMadeOrPlacedLeaveTheMeterClosed) {
  for (auto failure : {0, 1, 2}) {
    auto probe = std::make_shared<EditorProbe>();
    probe->make = failure == 0 ? EditorProbe::Make::kNull : failure == 1 ? EditorProbe::Make::kThrow
                                                                         : EditorProbe::Make::kWindow;
    probe->attach = failure != 2;
    Meter meter(probe);
    meter.SetMode(1.0f);
    EXPECT_FALSE(meter.OpenEditor()) << failure;
    EXPECT_EQ(probe->made, 1);
    EXPECT_EQ(probe->alive, 0);
    EXPECT_FALSE(probe->timerEnabled);
    EXPECT_ROUTINE(meter, kNone);
    EXPECT_EQ(meter.Module().EditorForm(), nullptr);
  }
}

TEST(QuorlinModule, ClosingWithoutAnEditorDoesNoHarm) {
  Meter meter;
  EXPECT_EQ(meter.Dispatch(vst2::effEditClose), 0);
  meter.Module().VST2ModuleEditClose(meter.Module()); // the handler itself, no form held
  EXPECT_ROUTINE(meter, kNone);
  ASSERT_TRUE(meter.OpenEditor());
  meter.CloseEditor();
  meter.CloseEditor();
  EXPECT_ROUTINE(meter, kNone);
  ASSERT_TRUE(meter.OpenEditor());
  EXPECT_ROUTINE(meter, kPeak);
}

TEST(QuorlinModule, PeakLevelRisesAtOnceAndDecaysAboutAThirdPerSecond) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  float left[1] = {-0.8f}, right[1] = {0.0f}, out0[1], out1[1];
  meter.Process(left, right, out0, out1, 1);
  EXPECT_EQ(meter.Module().GetLevel(0), 0.8f);
  EXPECT_EQ(meter.Module().GetLevel(1), 0.0f);
  meter.Feed(0.0f, 44100, 441);
  EXPECT_NEAR(meter.Module().GetLevel(0), 0.8 * std::pow(0.99999, 44100.0), 1e-4);
  EXPECT_NEAR(meter.Module().GetLevel(0), 0.8 * 0.64, 0.005);
}

TEST(QuorlinModule, LevelsFreezeWhileClosedAndDecayFromThereOnReopening) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  meter.Feed(0.5f, 100);
  meter.Feed(0.0f, 1000);
  meter.SetMode(1.0f);
  meter.Feed(0.25f, 1000);
  const float peak = meter.Module().GetLevel(0);
  const float smoothed = meter.Module().IIRState(0);
  meter.CloseEditor();
  meter.Feed(1.0f, 5000);
  meter.SetMode(0.0f);
  EXPECT_EQ(meter.Module().GetLevel(0), peak);
  EXPECT_EQ(meter.Module().IIRState(0), smoothed);
  ASSERT_TRUE(meter.OpenEditor());
  EXPECT_EQ(meter.Module().GetLevel(0), peak);
  meter.Feed(0.0f, 1);
  EXPECT_EQ(meter.Module().GetLevel(0), static_cast<float>(peak * 0.99999L));
}

TEST(QuorlinModule, ConstantOneInRMSSettlesStateAndLevelThreeStepsBelowOne) {
  Meter meter;
  meter.SetMode(1.0f);
  ASSERT_TRUE(meter.OpenEditor());
  meter.Feed(1.0f, 2001);
  const float settled = 0.99999982f;
  ASSERT_EQ(settled, std::nextafter(std::nextafter(std::nextafter(1.0f, 0.0f), 0.0f), 0.0f));
  for (int ch : {0, 1}) {
    EXPECT_EQ(meter.Module().IIRState(ch), settled);
    const float level = meter.Module().GetLevel(ch);
    EXPECT_TRUE(level == settled || level == static_cast<float>(settled * 0.99999L)) << level;
  }
  // On every other sample the level takes the settled state again.
  meter.Feed(1.0f, 1);
  const float first = meter.Module().GetLevel(0);
  meter.Feed(1.0f, 1);
  const float second = meter.Module().GetLevel(0);
  EXPECT_NE(first, second);
  EXPECT_TRUE(first == settled || second == settled);
}

TEST(QuorlinModule, NaNAndInfinitySamplesNeverReachTheReadings) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  for (float mode : {0.0f, 1.0f}) {
    meter.SetMode(mode);
    meter.Feed(0.5f, 2000);
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity(), std::bit_cast<float>(0xff812345u)})
      meter.Feed(bad, 7, 7);
    for (int ch : {0, 1}) {
      EXPECT_TRUE(std::isfinite(meter.Module().GetLevel(ch))) << mode;
      EXPECT_LE(meter.Module().GetLevel(ch), 0.5f);
      EXPECT_TRUE(std::isfinite(meter.Module().IIRState(ch)));
    }
    meter.Feed(0.5f, 2000);
    EXPECT_GT(meter.Module().GetLevel(0), 0.49f) << "the meter recovers, mode " << mode;
  }
}

TEST(QuorlinModule, BadIndicesAndLengthsAreIgnored) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  meter.Feed(0.5f, 10);
  for (std::int32_t index : {-1, 2, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()})
    EXPECT_EQ(meter.Module().GetLevel(index), 0.0f) << index;
  const quorlin::TIIRCoefficients before = meter.Module().IIRCoefficients();
  for (std::int32_t length : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
    meter.Module().SetSmoothingLength(length);
    EXPECT_EQ(meter.Module().SmoothingLength(), 14);
    EXPECT_EQ(meter.Module().IIRCoefficients().FIIRCoefficient, before.FIIRCoefficient);
  }
  meter.Module().SetSmoothingLength(1); // no smoothing: the filter follows the input
  EXPECT_EQ(meter.Module().IIRCoefficients().FIIRGain, 1.0f);
  meter.SetMode(1.0f);
  meter.Feed(0.3f, 1);
  EXPECT_EQ(meter.Module().IIRState(0), 0.3f);
}

TEST(QuorlinModule, MeasuringRoutinesPassAudioThroughBitForBit) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  for (float mode : {0.0f, 1.0f}) {
    meter.SetMode(mode);
    for (std::int32_t frames : {1, 3, 64, 511, 4097}) {
      for (bool inPlace : {false, true}) {
        for (bool replacing : {true, false}) {
          const std::vector<float> left = AwkwardSamples(static_cast<std::size_t>(frames), 12345, 3);
          std::vector<float> right(left.rbegin(), left.rend());
          std::vector<float> in0 = left, in1 = right, out0(left.size(), 7.0f), out1(left.size(), 7.0f);
          float *o0 = inPlace ? in0.data() : out0.data();
          float *o1 = inPlace ? in1.data() : out1.data();
          meter.Process(in0.data(), in1.data(), o0, o1, frames, replacing);
          EXPECT_TRUE(SameBits(o0, left.data(), left.size())) << mode << " " << frames << " " << inPlace;
          EXPECT_TRUE(SameBits(o1, right.data(), right.size())) << mode << " " << frames << " " << inPlace;
          EXPECT_TRUE(SameBits(in0.data(), left.data(), left.size()) || inPlace) << "the input is left alone";
        }
      }
    }
  }
}

TEST(QuorlinModule, EmptyBlocksAndNullChannelsTouchNothing) {
  Meter meter;
  ASSERT_TRUE(meter.OpenEditor());
  meter.Feed(0.5f, 1);
  const float level = meter.Module().GetLevel(0);
  std::vector<float> in(16, 0.9f), out(16, -3.0f);
  for (std::int32_t frames : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
    meter.Process(in.data(), in.data(), out.data(), out.data(), frames);
    EXPECT_EQ(out, std::vector<float>(16, -3.0f)) << frames;
    EXPECT_EQ(meter.Module().GetLevel(0), level);
  }
  // Straight into the routines, past the framework's own checks.
  for (auto routine : {&TPMModule::VST2ModuleProcessNone, &TPMModule::VST2ModuleProcessPeak,
                       &TPMModule::VST2ModuleProcessIIR}) {
    const float *inputs[2] = {in.data(), nullptr};
    float *outputs[2] = {nullptr, out.data()};
    (meter.Module().*routine)(inputs, outputs, 16);
    (meter.Module().*routine)(nullptr, nullptr, 16);
    EXPECT_EQ(out, std::vector<float>(16, -3.0f));
  }
  EXPECT_EQ(meter.Module().GetLevel(1), level) << "a null input channel is not measured";
}

} // namespace
