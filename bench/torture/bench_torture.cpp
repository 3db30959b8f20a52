// Silence against subnormal input, and a meter level decayed into the
// subnormal range: each pair must cost the same per frame, else tiny numbers
// are reaching slow arithmetic somewhere in the audio path.
//
// The plug-ins are loaded through their entry by the host library; the meter's
// measuring routines are driven on the module, since without an editor the
// plug-in only copies.
#include <benchmark/benchmark.h>

#include <vector>

#include "host/HostLibrary.h"
#include "quorlin/QuorlinModule.h"

namespace {

constexpr int kBlock = 512;
constexpr float kSubnormal = 1e-40f;

enum Input { kSilence = 0, kSubnormalRun = 1 };

std::vector<float> Signal(Input input) {
  std::vector<float> v(kBlock, 0.0f);
  if (input == kSubnormalRun)
    for (int i = 0; i < kBlock; ++i)
      v[static_cast<std::size_t>(i)] = (i % 2 ? -kSubnormal : kSubnormal) * static_cast<float>(1 + i % 7);
  return v;
}

// Twirlix through its entry, process type given by the second argument.
void BM_TwirlixTinyInput(benchmark::State &state) {
  auto plugin = host::Plugin::Load(std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so");
  plugin->SetParameter(1, static_cast<float>(state.range(1) - 1) / 9.0f);
  plugin->SetParameter(2, 0.5f);
  std::vector<float> l = Signal(static_cast<Input>(state.range(0))), r = l, ol(kBlock), orr(kBlock);
  float *in[2] = {l.data(), r.data()};
  float *out[2] = {ol.data(), orr.data()};
  vst2::AEffect *e = plugin->RawEffect();
  for (auto _ : state) {
    e->processReplacing(e, in, out, kBlock);
    benchmark::DoNotOptimize(ol.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_TwirlixTinyInput)
    ->ArgNames({"subnormal", "type"})
    ->ArgsProduct({{kSilence, kSubnormalRun}, {1, 5, 10}});

// Quorlin through its entry (no editor: the copy only).
void BM_QuorlinTinyInput(benchmark::State &state) {
  auto plugin = host::Plugin::Load(std::string(NIMBREL_PLUGIN_DIR) + "/Quorlin.so");
  std::vector<float> l = Signal(static_cast<Input>(state.range(0))), r = l, ol(kBlock), orr(kBlock);
  float *in[2] = {l.data(), r.data()};
  float *out[2] = {ol.data(), orr.data()};
  vst2::AEffect *e = plugin->RawEffect();
  for (auto _ : state) {
    e->processReplacing(e, in, out, kBlock);
    benchmark::DoNotOptimize(ol.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_QuorlinTinyInput)->ArgName("subnormal")->Arg(kSilence)->Arg(kSubnormalRun);

// The meter's measuring routines on silence, with the levels at 0 or decayed
// as far as they go (argument 1): a level left in the subnormal range would
// make every decay step slow arithmetic.
void BM_MeterDecayedLevel(benchmark::State &state) {
  quorlin::TPMModule meter;
  const bool smoothed = state.range(0) != 0;
  std::vector<float> l(kBlock, 0.0f), r(kBlock, 0.0f), ol(kBlock), orr(kBlock);
  const float *in[2] = {l.data(), r.data()};
  float *out[2] = {ol.data(), orr.data()};
  auto run = [&] {
    if (smoothed)
      meter.VST2ModuleProcessIIR(in, out, kBlock);
    else
      meter.VST2ModuleProcessPeak(in, out, kBlock);
  };
  if (state.range(1) != 0) {
    l[0] = r[0] = 1.0f;
    run();
    l[0] = r[0] = 0.0f;
    for (int i = 0; i < 12000000 / kBlock; ++i) // beyond the ~8.7 million samples to the smallest normal
      run();
  }
  state.counters["level"] = meter.GetLevel(0);
  for (auto _ : state) {
    run();
    benchmark::DoNotOptimize(ol.data());
  }
  state.SetItemsProcessed(state.iterations() * kBlock);
}
BENCHMARK(BM_MeterDecayedLevel)->ArgNames({"smoothed", "decayed"})->ArgsProduct({{0, 1}, {0, 1}});

} // namespace
