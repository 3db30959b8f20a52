// One thread processes, one changes Mode and opens and closes the editor, one
// reads the levels, as host threads do. Run under ThreadSanitizer to check
// that the shared state is published without data races.
#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <thread>
#include <vector>

#include "MeterFixture.h"

namespace {

TEST(QuorlinThreads, ProcessingModeChangesAndLevelReadsRunTogether) {
  quorlin_test::Meter meter;
  constexpr int kBlocks = 2000;
  constexpr int kControlSteps = 2000;
  constexpr std::size_t kFrames = 256;
  std::atomic<bool> controlDone{false};
  std::atomic<bool> done{false};
  ASSERT_TRUE(meter.OpenEditor());
  std::atomic<int> corruptBlocks{0};
  std::atomic<int> badReadings{0};

  std::thread audio([&] {
    std::vector<float> in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames);
    for (int b = 0; b < kBlocks || !controlDone; ++b) {
      for (std::size_t i = 0; i < kFrames; ++i) {
        in0[i] = 0.9f * std::sin(0.01f * static_cast<float>(b * kFrames + i));
        in1[i] = -in0[i] * 0.5f;
      }
      meter.Process(in0.data(), in1.data(), out0.data(), out1.data(), static_cast<std::int32_t>(kFrames));
      for (std::size_t i = 0; i < kFrames; ++i)
        if (std::bit_cast<std::uint32_t>(out0[i]) != std::bit_cast<std::uint32_t>(in0[i]) ||
            std::bit_cast<std::uint32_t>(out1[i]) != std::bit_cast<std::uint32_t>(in1[i])) {
          ++corruptBlocks;
          break;
        }
    }
    done = true;
  });
  std::thread control([&] {
    // Mostly open, with short closed spells; the last step leaves it open.
    for (int i = 1; i <= kControlSteps; ++i) {
      meter.SetMode(i % 2 == 0 ? 1.0f : 0.0f);
      if (i % 7 == 0)
        meter.CloseEditor();
      if (i % 7 == 2)
        meter.OpenEditor();
      std::this_thread::yield();
    }
    controlDone = true;
  });
  std::thread reader([&] {
    while (!done) {
      for (int ch : {0, 1}) {
        const float level = meter.Module().GetLevel(ch);
        if (!(level >= 0.0f && level <= 0.9f))
          ++badReadings;
      }
      std::this_thread::yield();
    }
  });
  audio.join();
  control.join();
  reader.join();
  EXPECT_EQ(corruptBlocks, 0);
  EXPECT_EQ(badReadings, 0);
  // The control thread ended open, in RMS (step 2000): that routine is in force.
  EXPECT_NE(meter.Module().EditorForm(), nullptr);
  EXPECT_TRUE(meter.Module().RMSMode());
  EXPECT_EQ(meter.Replacing(), quorlin::TPMModule::ProcessIIRRoutine());
  EXPECT_EQ(meter.Accumulating(), quorlin::TPMModule::ProcessIIRRoutine());
  EXPECT_GT(meter.Module().GetLevel(0), 0.0f) << "blocks were measured";
}

} // namespace
