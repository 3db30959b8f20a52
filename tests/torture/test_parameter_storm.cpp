// The parameter storm: one thread processes, one automates every parameter, one
// switches programs, one opens, idles and closes the editor on the headless
// backend, all at once for thousands of blocks. Run under ThreadSanitizer in CI.
//
// During the storm every output sample must be finite (the meter's must be its
// input, bit for bit). Afterwards the plug-in's state must be what the last
// changes say: the last selected program, the last automated values (read back
// and displayed as a fresh instance in that state shows them), and audio like
// a fresh instance's.
//
// The spin LFO's phase depends on how many frames ran at which speed, which the
// interleaving decides; so the storm automates the LFO speed with 0 only, and
// every program's stored speed is set to 0 first. The phase then stays at its
// start and the audio can be compared sample for sample.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "tests/torture/TortureFixture.h"

namespace torture {
namespace {

// The audio thread runs at least kBlocks and goes on until every other thread
// has done at least its share, so that all of them overlap with audio.
constexpr int kBlocks = 3000;
constexpr int kFrames = 256;
constexpr long kMinAutomations = 1500, kMinProgramChanges = 300, kMinEditorCycles = 8;

struct StormCounts {
  std::atomic<long> blocks{0}, dirtyBlocks{0}, automations{0}, programChanges{0}, editorCycles{0}, idles{0};
};

class ParameterStorm : public testing::TestWithParam<Kind> {
protected:
  void SetUp() override { ::unsetenv("DISPLAY"); }
};

INSTANTIATE_TEST_SUITE_P(Torture, ParameterStorm, testing::ValuesIn(kBothPlugins), KindName);

TEST_P(ParameterStorm, FourThreadsThenTheStateTheLastChangesSay) {
  const Kind kind = GetParam();
  auto plugin = Load(kind);
  vst2::AEffect *effect = plugin->RawEffect();
  const int params = plugin->NumParameters();
  const int programs = plugin->NumPrograms();
  if (kind == Kind::kTwirlix) {
    for (int p = programs - 1; p >= 0; --p) {
      plugin->SetProgram(p);
      plugin->SetParameter(kLfoSpeed, 0.0f);
    }
  }
  const bool hasEditor = OpenHeadlessEditor(*plugin);
  if (hasEditor)
    plugin->CloseEditor();

  StormCounts counts;
  std::atomic<bool> audioDone{false}, programsDone{false};
  std::atomic<int> lastProgram{plugin->Program()};
  const Stereo in = Noise(kFrames * 8, 51);

  auto othersBusy = [&] {
    return counts.automations < kMinAutomations || counts.programChanges < kMinProgramChanges ||
           (hasEditor && counts.editorCycles < kMinEditorCycles);
  };
  std::thread audio([&] {
    Stereo out(kFrames);
    for (int b = 0; b < kBlocks || othersBusy(); ++b) {
      const int at = (b % 8) * kFrames;
      float *ip[2] = {const_cast<float *>(in.left.data()) + at, const_cast<float *>(in.right.data()) + at};
      effect->processReplacing(effect, ip, out.Pointers(), kFrames);
      bool clean = AllClean(out);
      if (kind == Kind::kQuorlin)
        clean = clean && std::memcmp(out.left.data(), ip[0], kFrames * sizeof(float)) == 0 &&
                std::memcmp(out.right.data(), ip[1], kFrames * sizeof(float)) == 0;
      if (!clean)
        ++counts.dirtyBlocks;
      ++counts.blocks;
    }
    audioDone = true;
  });

  std::thread programsThread([&] {
    std::mt19937 rng(52);
    while (!audioDone) {
      const int p = static_cast<int>(rng() % static_cast<unsigned>(programs));
      plugin->SetProgram(p);
      lastProgram = p;
      plugin->ProgramName();
      ++counts.programChanges;
      std::this_thread::yield();
    }
    programsDone = true;
  });

  // Ends after the program thread, with one last value for every parameter.
  std::vector<float> finalValues(static_cast<std::size_t>(params));
  std::thread automation([&] {
    std::mt19937 rng(53);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    auto value = [&](int index) { return kind == Kind::kTwirlix && index == kLfoSpeed ? 0.0f : unit(rng); };
    while (!programsDone) {
      const int i = static_cast<int>(rng() % static_cast<unsigned>(params));
      plugin->SetParameter(i, value(i));
      plugin->Parameter(i);
      char text[256] = {};
      plugin->Dispatch(vst2::effGetParamDisplay, i, 0, text);
      if (++counts.automations % 1024 == 0)
        plugin->Callbacks().Clear(); // keep the recorded notices bounded
      std::this_thread::yield();
    }
    for (int i = 0; i < params; ++i) {
      finalValues[static_cast<std::size_t>(i)] = value(i);
      plugin->SetParameter(i, finalValues[static_cast<std::size_t>(i)]);
    }
  });

  std::thread editor([&] {
    while (!audioDone) {
      const auto openStart = std::chrono::steady_clock::now();
      if (OpenHeadlessEditor(*plugin)) {
        // Opening holds the plug-in's control lock while the window is made;
        // the window then stays open, idled like a host's idle timer does,
        // twice as long, so that the other control threads get the lock
        // (and write into the open editor) for most of the storm.
        const auto opened = std::chrono::steady_clock::now();
        const auto keepOpen = std::max<std::chrono::steady_clock::duration>(2 * (opened - openStart),
                                                                            std::chrono::milliseconds(10));
        while (!audioDone && std::chrono::steady_clock::now() - opened < keepOpen) {
          plugin->EditorIdle();
          plugin->AdvanceClock(40);
          ++counts.idles;
          std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (counts.editorCycles % 16 == 0)
          plugin->RenderEditor();
        plugin->CloseEditor();
        ++counts.editorCycles;
      } else {
        plugin->EditorIdle(); // no editor in this build: the requests still come
        plugin->Dispatch(vst2::effEditClose);
        ++counts.idles;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(500));
    }
  });

  audio.join();
  programsThread.join();
  automation.join();
  editor.join();

  std::printf("%s storm: %ld blocks, %ld automations, %ld program changes, %ld editor cycles, %ld idles\n",
              Name(kind), counts.blocks.load(), counts.automations.load(), counts.programChanges.load(),
              counts.editorCycles.load(), counts.idles.load());
  EXPECT_GE(counts.blocks, kBlocks);
  EXPECT_EQ(counts.dirtyBlocks, 0) << "blocks with output that was not clean";
  EXPECT_GE(counts.automations, kMinAutomations);
  EXPECT_GE(counts.programChanges, kMinProgramChanges);
  if (hasEditor) {
    EXPECT_GE(counts.editorCycles, kMinEditorCycles);
  }

  // The state the last changes say, as a fresh instance given them shows it.
  EXPECT_EQ(plugin->Program(), lastProgram.load());
  auto fresh = Load(kind);
  if (kind == Kind::kTwirlix)
    for (int p = programs - 1; p >= 0; --p) {
      fresh->SetProgram(p);
      fresh->SetParameter(kLfoSpeed, 0.0f);
    }
  fresh->SetProgram(lastProgram);
  for (int i = 0; i < params; ++i)
    fresh->SetParameter(i, finalValues[static_cast<std::size_t>(i)]);
  for (int i = 0; i < params; ++i) {
    EXPECT_EQ(plugin->Parameter(i), fresh->Parameter(i)) << "parameter " << i;
    EXPECT_EQ(plugin->ParameterDisplay(i), fresh->ParameterDisplay(i)) << "parameter " << i;
  }
  EXPECT_EQ(plugin->ProgramName(), fresh->ProgramName());
  ExpectAudioLikeFresh(*plugin, kind, "the parameter storm");
}

} // namespace
} // namespace torture
