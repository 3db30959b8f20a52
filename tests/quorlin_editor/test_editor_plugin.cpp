// The meter editor through the built plug-in, as a host drives it: the editor
// opened on the headless backend, audio fed through the replacing entry, the
// clock moved on and idle called, and what the editor shows read from its
// render.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

#include "tests/quorlin_editor/MeterEditorFixture.h"

using namespace meted;

namespace {

constexpr float kPeak = 0.0f;
constexpr float kRms = 1.0f;

} // namespace

// A single sample of 0.5 is a level of 0.5 to the peak follower but only
// 0.5 x g (about 0.067, -23.5 dB) after the smoothing filter; a constant 1.0
// is a level of 1.0 (0 dB) to the peak follower and settles just below 1.0
// (below 0 dB) through the filter. (A sample equal to the level decays it, so
// a constant 1.0 reads 0 dB as a peak only after an odd count of samples.)
TEST(QuorlinEditor, OpeningMeasuresByTheModeAndTheNeedlesFollow) {
  struct Case {
    float mode;
    int afterImpulse; // left: one sample of 0.5
    int afterConstant; // right: 2001 samples of 1.0
  };
  for (const Case c : {Case{kPeak, 25, 47}, Case{kRms, 4, 46}}) {
    SCOPED_TRACE(c.mode == kPeak ? "Peak" : "RMS");
    MeterSession s(false);
    s.Plugin().SetParameter(0, c.mode);
    s.Feed(1.0f, 1.0f, 4000); // closed: nothing is measured
    s.Open();
    s.Tick();
    EXPECT_EQ(s.Needles(), std::make_pair(0, 0));
    s.Feed(0.5f, 0.0f, 1);
    s.Feed(0.0f, 1.0f, 2001);
    s.Tick();
    const auto needles = s.Needles();
    EXPECT_EQ(needles.first, c.afterImpulse);
    EXPECT_EQ(needles.second, c.afterConstant);
  }
}

TEST(QuorlinEditor, NeedlesStayUntilTheTimerTicks) {
  MeterSession s;
  s.Feed(0.5f, 1.0f);
  s.Plugin().EditorIdle();
  s.Step(39);
  EXPECT_EQ(s.Needles(), std::make_pair(0, 0));
  s.Step(1);
  EXPECT_EQ(s.Needles(), std::make_pair(25, 47));
}

TEST(QuorlinEditor, ClosingFreezesTheLevelsAndReopeningShowsThem) {
  MeterSession s;
  s.Feed(0.5f, 0.1f);
  s.Tick();
  ASSERT_EQ(s.Needles(), std::make_pair(25, 6));
  s.Close();
  s.Feed(2.0f, 2.0f, 10000); // not measured: the routine is the plain copy again
  s.Open();
  s.ExpectShows({}); // a new editor starts with both needles at 0
  s.Tick();
  EXPECT_EQ(s.Needles(), std::make_pair(25, 6));
  // Measuring goes on from the frozen levels.
  s.Feed(0.0f, 1.0f);
  s.Tick();
  EXPECT_EQ(s.Needles(), std::make_pair(25, 47));
}

TEST(QuorlinEditor, LevelsAcrossTheScaleReachTheirNeedlePositions) {
  MeterSession s;
  for (int p = 1; p <= 62; ++p) {
    s.Feed(LevelForPosition(p), LevelForPosition(p));
    s.Tick();
    const auto needles = s.Needles();
    ASSERT_EQ(needles.first, p);
    ASSERT_EQ(needles.second, p);
  }
}

// Every button on either area: the indicator moves beside it and dims while
// held, the Mode follows (getParameter), the host hears of it (automation
// notice), and the release restores the indicator's opacity.
TEST(QuorlinEditor, PressesWithAnyButtonSelectTheModeAndMoveTheIndicator) {
  struct Case {
    bool rms;
    vst2::HeadlessMouseButton button;
  };
  for (const Case c : {Case{true, vst2::kButtonLeft}, Case{true, vst2::kButtonRight}, Case{true, vst2::kButtonMiddle},
                       Case{false, vst2::kButtonLeft}, Case{false, vst2::kButtonRight},
                       Case{false, vst2::kButtonMiddle}}) {
    SCOPED_TRACE(std::string(c.rms ? "RMS" : "Peak") + " button " + std::to_string(c.button));
    MeterSession s(false);
    s.Plugin().SetParameter(0, c.rms ? kPeak : kRms); // start from the other mode
    s.Open();
    s.Plugin().Callbacks().Clear();
    const int x = c.rms ? kRmsX : kPeakX;
    const int y = c.rms ? kRmsY : kPeakY;
    const int top = c.rms ? quorlin::kIndicatorTopRMS : quorlin::kIndicatorTopPeak;
    s.Press(c.button, x, y);
    s.ExpectShows({Look::A, 0, 0, top, quorlin::kIndicatorOpacityPressed});
    EXPECT_EQ(s.Plugin().Parameter(0), c.rms ? 1.0f : 0.0f);
    EXPECT_EQ(s.Plugin().ParameterDisplay(0), c.rms ? "RMS" : "Peak");
    const auto notices = s.Plugin().Callbacks().Records(vst2::audioMasterAutomate);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0].index, 0);
    EXPECT_EQ(notices[0].opt, c.rms ? 1.0f : 0.0f);
    s.Release(c.button, x + 200, y + 200); // released outside: the area still hears it
    s.ExpectShows({Look::A, 0, 0, top, quorlin::kIndicatorOpacity});
  }
}

// A press changes what is measured at once. With the smoothed reading settled
// at 1.0, a single sample of 2.0 lifts it to about 1 + g (1.09 dB, position
// 52); as a peak it is 2.0 (position 62).
TEST(QuorlinEditor, APressSwitchesTheMeasuringAtOnce) {
  MeterSession s;
  s.Feed(1.0f, 1.0f, 513);
  s.Tick();
  ASSERT_EQ(s.Needles(), std::make_pair(47, 47));
  s.Press(vst2::kButtonLeft, kRmsX, kRmsY);
  s.Release(vst2::kButtonLeft, kRmsX, kRmsY);
  s.Feed(1.0f, 1.0f, 1024);
  s.Feed(2.0f, 1.0f, 1);
  s.Tick();
  EXPECT_EQ(s.Needles(), std::make_pair(52, 46));
  s.Press(vst2::kButtonRight, kPeakX, kPeakY);
  s.Release(vst2::kButtonRight, kPeakX, kPeakY);
  s.Feed(1.0f, 2.0f, 1);
  s.Tick();
  EXPECT_EQ(s.Needles(), std::make_pair(52, 62));
}

TEST(QuorlinEditor, PressingRmsWhileInRmsSendsItAgainAndChangesNothingElse) {
  MeterSession s;
  s.Press(vst2::kButtonLeft, kRmsX, kRmsY);
  s.Release(vst2::kButtonLeft, kRmsX, kRmsY);
  s.Feed(1.0f, 0.5f, 512);
  s.Tick();
  const auto before = s.Needles();
  const Pixels shown = s.Render();
  s.Plugin().Callbacks().Clear();
  s.Press(vst2::kButtonLeft, kRmsX, kRmsY);
  s.Release(vst2::kButtonLeft, kRmsX, kRmsY);
  const auto notices = s.Plugin().Callbacks().Records(vst2::audioMasterAutomate);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].opt, 1.0f);
  EXPECT_EQ(s.Plugin().Parameter(0), 1.0f);
  EXPECT_EQ(CountDifferences(s.Render(), shown), 0);
  // Still the smoothed reading, from where it was.
  s.Feed(1.0f, 0.5f, 512);
  s.Tick();
  EXPECT_EQ(s.Needles(), before);
}

TEST(QuorlinEditor, TwoStyleClicksReturnToLookAWithTheSameNeedles) {
  MeterSession s;
  s.Feed(0.5f, 1.0f);
  s.Tick();
  s.ExpectShows({Look::A, 25, 47});
  const Pixels lookA = s.Render();
  s.Plugin().Click(kStyleX, kStyleY);
  s.ExpectShows({Look::B, 25, 47});
  EXPECT_EQ(s.Needles(Look::B), std::make_pair(25, 47));
  s.Step(600); // a second click this soon would be the second half of a double click
  s.Plugin().Click(kStyleX, kStyleY);
  EXPECT_EQ(CountDifferences(s.Render(), lookA), 0);
  // A right click is no click: the look stays.
  s.Press(vst2::kButtonRight, kStyleX, kStyleY);
  s.Release(vst2::kButtonRight, kStyleX, kStyleY);
  EXPECT_EQ(CountDifferences(s.Render(), lookA), 0);
}

TEST(QuorlinEditor, ClicksBesideTheAreasChangeNothing) {
  MeterSession s;
  const Pixels before = s.Render();
  s.Plugin().Callbacks().Clear();
  for (const auto &[x, y] : {std::pair{355, 126}, {430, 126}, {392, 114}, {392, 139}, {392, 169}, {351, 95}, {437, 95},
                             {100, 150}, {250, 150}}) {
    s.Plugin().Click(x, y);
  }
  EXPECT_EQ(s.Plugin().Callbacks().Count(vst2::audioMasterAutomate), 0u);
  EXPECT_EQ(s.Plugin().Parameter(0), 0.0f);
  EXPECT_EQ(CountDifferences(s.Render(), before), 0);
}

// A new editor shows the indicator beside the mode the module measures in.
TEST(QuorlinEditor, ANewEditorPlacesTheIndicatorByTheMode) {
  for (const float mode : {kPeak, kRms}) {
    MeterSession s(false);
    s.Plugin().SetParameter(0, mode);
    s.Open();
    const int top = mode == kRms ? quorlin::kIndicatorTopRMS : quorlin::kIndicatorTopPeak;
    s.ExpectShows({Look::A, 0, 0, top, quorlin::kIndicatorOpacity});
    s.Feed(1.0f, 1.0f, 513);
    s.Tick();
    const int needle = mode == kRms ? 46 : 47;
    s.ExpectShows({Look::A, needle, needle, top, quorlin::kIndicatorOpacity});
    // The look is not kept from one opening to the next; the indicator follows the mode.
    s.Plugin().Click(kStyleX, kStyleY);
    s.Press(vst2::kButtonLeft, mode == kRms ? kPeakX : kRmsX, mode == kRms ? kPeakY : kRmsY);
    s.Release(vst2::kButtonLeft, 0, 0);
    s.Close();
    s.Open();
    s.ExpectShows({Look::A, 0, 0, mode == kRms ? quorlin::kIndicatorTopPeak : quorlin::kIndicatorTopRMS,
                   quorlin::kIndicatorOpacity});
  }
}

// --- Timer cadence -----------------------------------------------------------------
// Before each idle step the level rises to the next needle position, so the
// needle shows the step of the latest tick: a tick in step k shows position k.

namespace {

// The needle after each of `steps` steps of `ms` milliseconds (at most 62).
std::vector<int> NeedleAfterEachStep(MeterSession &s, const std::vector<int> &stepMs) {
  std::vector<int> shown;
  for (std::size_t k = 1; k <= stepMs.size(); ++k) {
    s.Feed(LevelForPosition(static_cast<int>(k)), 0.0f);
    s.Step(stepMs[k - 1]);
    shown.push_back(s.Needles().first);
  }
  return shown;
}

std::vector<int> TickSteps(const std::vector<int> &shown) {
  std::vector<int> ticks;
  int last = 0;
  for (std::size_t k = 0; k < shown.size(); ++k) {
    if (shown[k] != last) ticks.push_back(static_cast<int>(k) + 1);
    last = shown[k];
  }
  return ticks;
}

} // namespace

TEST(QuorlinEditorTimer, IdleEveryFiveMillisecondsTicksEveryFortyExactly) {
  MeterSession s;
  const std::vector<int> ticks = TickSteps(NeedleAfterEachStep(s, std::vector<int>(62, 5)));
  EXPECT_EQ(ticks, (std::vector<int>{8, 16, 24, 32, 40, 48, 56}));
}

// 30 ms does not divide 40 ms: 62 steps are 1860 ms, 46 or so ticks at 25 per
// second (a timer counting its interval from each late tick would give 31).
TEST(QuorlinEditorTimer, IdleEveryThirtyMillisecondsStillTicksTwentyFiveTimesASecond) {
  MeterSession s;
  const std::vector<int> ticks = TickSteps(NeedleAfterEachStep(s, std::vector<int>(62, 30)));
  EXPECT_GE(ticks.size(), 45u);
  EXPECT_LE(ticks.size(), 47u);
  for (std::size_t i = 1; i < ticks.size(); ++i) EXPECT_LE(ticks[i] - ticks[i - 1], 2) << "a gap of 60 ms at " << i;
}

// Idle every 100 ms: every call ticks once (no stall), and missed ticks are
// not caught up afterwards (no burst): the next tick is a whole interval on.
TEST(QuorlinEditorTimer, SlowIdleTicksOncePerCallAndDoesNotCatchUp) {
  MeterSession s;
  std::vector<int> steps(20, 100);
  steps.insert(steps.end(), 16, 5);
  const std::vector<int> ticks = TickSteps(NeedleAfterEachStep(s, steps));
  std::vector<int> expected;
  for (int k = 1; k <= 20; ++k) expected.push_back(k);
  expected.push_back(28); // 40 ms after the last slow tick
  expected.push_back(36);
  EXPECT_EQ(ticks, expected);
}

// --- Threads -----------------------------------------------------------------------

// The host's audio thread runs blocks while its window thread ticks, presses,
// toggles the look and re-opens the editor: the audio passes unchanged
// throughout, and once the audio stops the needles show what it left.
TEST(QuorlinEditorThreads, AudioRunsWhileTheEditorIsDriven) {
  MeterSession s;
  std::atomic<bool> stop{false};
  std::atomic<int> altered{0};
  std::thread audio([&] {
    constexpr int kFrames = 256;
    host::ChannelBuffers in(2, kFrames), out(2, kFrames);
    int n = 0;
    while (!stop.load()) {
      for (int i = 0; i < kFrames; ++i) {
        in.Channel(0)[i] = 0.5f * std::sin(0.05f * static_cast<float>(n * kFrames + i));
        in.Channel(1)[i] = (i % 2 ? 0.25f : -0.25f);
      }
      s.Plugin().ProcessReplacing(in, out, kFrames);
      for (int c = 0; c < 2; ++c)
        if (std::memcmp(in.Channel(c), out.Channel(c), sizeof(float) * kFrames) != 0) ++altered;
      ++n;
    }
  });
  for (int round = 0; round < 40; ++round) {
    s.Step(40);
    s.Press(vst2::kButtonLeft, round % 2 ? kRmsX : kPeakX, round % 2 ? kRmsY : kPeakY);
    s.Release(vst2::kButtonLeft, 0, 0);
    if (round % 7 == 0) {
      s.Step(600);
      s.Plugin().Click(kStyleX, kStyleY);
    }
    if (round % 10 == 9) {
      s.Close();
      s.Open();
    }
    (void)s.Render();
  }
  stop = true;
  audio.join();
  EXPECT_EQ(altered.load(), 0);
  // Last press: RMS (round 39). The looks are back at A after the re-open.
  s.Tick();
  const auto needles = s.Needles();
  EXPECT_GT(needles.first, 0);
  EXPECT_GT(needles.second, 0);
  EXPECT_EQ(s.Plugin().Parameter(0), 1.0f);
}
