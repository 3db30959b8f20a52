// Cost per frame of the meter's three routines, through the module's replacing
// entry with blocks of 512 frames (items = frames, so the rate is frames/s).
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "quorlin/QuorlinModule.h"
#include "vst2/VstModule.h"

namespace {

constexpr int kFrames = 512;

// An editor window that does nothing, so the measuring routines can be installed.
class SilentEditor final : public quorlin::IMeterEditor {
public:
  int ClientWidth() const override { return 454; }
  int ClientHeight() const override { return 187; }
  bool AttachToParent(void *, bool) override { return true; }
  void RequestRepaint() override {}
  void Idle() override {}
  std::intptr_t HeadlessRequest(std::int32_t, std::intptr_t, void *) override { return 0; }
  void SetModule(quorlin::TPMModule *) override {}
  void SetTimerEnabled(bool) override {}
};

enum class Routine { kNone, kPeak, kIIR };

void ProcessBlocks(benchmark::State &state, Routine routine, bool inPlace) {
  auto *module = new quorlin::TPMModule([] { return std::make_unique<SilentEditor>(); });
  vst2::AEffect *effect = module->Effect();
  effect->user = module;
  if (routine != Routine::kNone) {
    effect->setParameter(effect, 0, routine == Routine::kIIR ? 1.0f : 0.0f);
    effect->dispatcher(effect, vst2::effEditOpen, 0, 0, nullptr, 0.0f);
  }
  std::vector<float> in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames);
  for (int i = 0; i < kFrames; ++i) {
    in0[i] = 0.8f * std::sin(0.05f * static_cast<float>(i));
    in1[i] = 0.6f * std::cos(0.031f * static_cast<float>(i));
  }
  float *inputs[2] = {in0.data(), in1.data()};
  float *outputs[2] = {inPlace ? in0.data() : out0.data(), inPlace ? in1.data() : out1.data()};
  for (auto _ : state) {
    effect->processReplacing(effect, inputs, outputs, kFrames);
    benchmark::DoNotOptimize(out0.data());
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * kFrames);
  state.counters["ns/frame"] = benchmark::Counter(static_cast<double>(state.iterations() * kFrames),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
}

void BM_ProcessNone(benchmark::State &state) { ProcessBlocks(state, Routine::kNone, false); }
void BM_ProcessPeak(benchmark::State &state) { ProcessBlocks(state, Routine::kPeak, false); }
void BM_ProcessIIR(benchmark::State &state) { ProcessBlocks(state, Routine::kIIR, false); }
void BM_ProcessPeakInPlace(benchmark::State &state) { ProcessBlocks(state, Routine::kPeak, true); }

BENCHMARK(BM_ProcessNone);
BENCHMARK(BM_ProcessPeak);
BENCHMARK(BM_ProcessIIR);
BENCHMARK(BM_ProcessPeakInPlace);

} // namespace
