// The audio entries: routines run through the record, bad blocks do nothing,
// and routine switches and control requests from other threads are safe.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "TestModule.h"

using namespace vst2test;

namespace {

constexpr int kFrames = 64;

struct TBlock {
  std::array<std::vector<float>, 2> in{std::vector<float>(kFrames), std::vector<float>(kFrames)};
  std::array<std::vector<float>, 2> out{std::vector<float>(kFrames, -1.0f), std::vector<float>(kFrames, -1.0f)};
  float *ins[2] = {in[0].data(), in[1].data()};
  float *outs[2] = {out[0].data(), out[1].data()};
  TBlock() {
    for (int i = 0; i < kFrames; ++i) {
      in[0][i] = 0.25f * static_cast<float>(i);
      in[1][i] = -0.5f * static_cast<float>(i);
    }
  }
  bool OutputsUntouched() const {
    for (const auto &ch : out)
      for (float v : ch)
        if (v != -1.0f)
          return false;
    return true;
  }
};

template <int Mark> void FillRoutine(vst2::TVSTModule &, const float *const *, float *const *out, std::int32_t n) {
  for (int c = 0; c < 2; ++c)
    for (std::int32_t i = 0; i < n; ++i)
      out[c][i] = static_cast<float>(Mark);
}

class Process : public TModuleTest {
protected:
  void SetUp() override {
    TModuleTest::SetUp();
    Open();
  }
};

TEST_F(Process, BothEntriesRunTheInstalledRoutine) {
  for (auto entry : {effect->processReplacing, effect->process}) {
    TBlock b;
    entry(effect, b.ins, b.outs, kFrames);
    EXPECT_EQ(b.out[0], b.in[0]);
    EXPECT_EQ(b.out[1], b.in[1]);
  }
}

TEST_F(Process, InstallingARoutineTakesEffectWithTheNextBlock) {
  Module().SetOnProcess(&FillRoutine<3>);
  EXPECT_EQ(Module().OnProcess(), &FillRoutine<3>);
  EXPECT_EQ(Module().OnProcessReplacing(), &FillRoutine<3>);
  TBlock a, b;
  effect->processReplacing(effect, a.ins, a.outs, kFrames);
  effect->process(effect, b.ins, b.outs, kFrames);
  EXPECT_EQ(a.out[1][5], 3.0f);
  EXPECT_EQ(b.out[0][7], 3.0f);
  // The two entries can hold different routines.
  Module().SetOnProcessReplacing(&FillRoutine<4>);
  effect->processReplacing(effect, a.ins, a.outs, kFrames);
  effect->process(effect, b.ins, b.outs, kFrames);
  EXPECT_EQ(a.out[0][0], 4.0f);
  EXPECT_EQ(b.out[0][0], 3.0f);
}

TEST_F(Process, BadBlocksDoNothing) {
  TBlock b;
  for (int frames : {0, -1, -100000})
    effect->processReplacing(effect, b.ins, b.outs, frames);
  effect->processReplacing(effect, nullptr, b.outs, kFrames);
  effect->processReplacing(effect, b.ins, nullptr, kFrames);
  effect->process(effect, nullptr, nullptr, kFrames);
  float *halfIns[2] = {b.ins[0], nullptr};
  float *halfOuts[2] = {b.outs[0], nullptr};
  effect->processReplacing(effect, halfIns, b.outs, kFrames);
  effect->processReplacing(effect, b.ins, halfOuts, kFrames);
  EXPECT_TRUE(b.OutputsUntouched());
}

TEST_F(Process, NoRoutineGivesSilenceFromTheReplacingEntry) {
  Module().SetOnProcess(nullptr);
  TBlock b;
  effect->process(effect, b.ins, b.outs, kFrames);
  EXPECT_TRUE(b.OutputsUntouched()); // accumulating: adds nothing
  effect->processReplacing(effect, b.ins, b.outs, kFrames);
  EXPECT_EQ(b.out[0], std::vector<float>(kFrames, 0.0f));
  EXPECT_EQ(b.out[1], std::vector<float>(kFrames, 0.0f));
}

// A block always finishes with the routine it started with, while another
// thread switches routines and drives the control side.
TEST_F(Process, RoutineSwitchesAndControlRequestsRaceWithAudio) {
  RecordHostCalls() = false;
  Module().SetOnProcess(&FillRoutine<1>);
  std::atomic<bool> stop{false};
  std::atomic<int> mixedBlocks{0}, blocks{0};
  std::thread audio([&] {
    TBlock b;
    while (!stop.load()) {
      effect->processReplacing(effect, b.ins, b.outs, kFrames);
      const float first = b.out[0][0];
      for (const auto &ch : b.out)
        for (float v : ch)
          if (v != first)
            mixedBlocks.fetch_add(1);
      blocks.fetch_add(1);
    }
  });
  std::thread control([&] {
    for (int i = 0; i < 400; ++i) {
      Module().SetOnProcess(i % 2 ? &FillRoutine<1> : &FillRoutine<2>);
      effect->setParameter(effect, i % 4, static_cast<float>(i % 10) / 10.0f);
      char text[32];
      Dispatch(effect, vst2::effGetParamDisplay, i % 4, 0, text);
      Dispatch(effect, vst2::effSetProgram, 0, i % 3);
      Dispatch(effect, vst2::effSetSampleRate, 0, 0, nullptr, i % 2 ? 44100.0f : 48000.0f);
    }
  });
  control.join();
  while (blocks.load() < 10)
    std::this_thread::yield();
  stop = true;
  audio.join();
  EXPECT_EQ(mixedBlocks.load(), 0);
  ClearLog();
}

// Two control threads: handlers never overlap.
TEST_F(Process, ControlRequestsFromTwoThreadsAreSerialised) {
  Close();
  Options().probeOverlap = true;
  Open();
  RecordHostCalls() = false;
  auto work = [&](int offset) {
    for (int i = 0; i < 300; ++i) {
      effect->setParameter(effect, (i + offset) % 4, 0.5f);
      Module().SetParameterAutomated((i + offset + 1) % 4, 1.0f);
      Dispatch(effect, vst2::effSetProgram, 0, (i + offset) % 3);
    }
  };
  std::thread a(work, 0), b(work, 1);
  a.join();
  b.join();
  EXPECT_EQ(Overlaps().load(), 0);
}

} // namespace
