// Twirlix through its exported entry: frames per second of every process type
// at 8 and 32 coefficients (stereo, blocks of 512), the engine alone for
// comparison, and the time to load the library and construct the module.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "host/HostLibrary.h"
#include "twirlix/SpinControl.h"
#include "twirlix/SpinEngine.h"

namespace {

const std::string kPath = std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so";
constexpr int kBlock = 512;

std::vector<float> Noise(int n, unsigned seed) {
  std::vector<float> v(static_cast<std::size_t>(n));
  unsigned x = seed;
  for (float &s : v) {
    x = x * 1664525u + 1013904223u;
    s = static_cast<float>(x >> 8) / 8388608.0f - 1.0f;
  }
  return v;
}

// args: process type, coefficient count
void BM_PluginMode(benchmark::State &state) {
  auto plugin = host::Plugin::Load(kPath);
  plugin->SetParameterFromText(1, std::to_string(state.range(0)));
  plugin->SetParameterFromText(0, std::to_string(state.range(1)));
  plugin->SetParameterFromText(2, "7");
  std::vector<float> inL = Noise(kBlock, 1), inR = Noise(kBlock, 2), outL(kBlock), outR(kBlock);
  float *in[2] = {inL.data(), inR.data()};
  float *out[2] = {outL.data(), outR.data()};
  vst2::AEffect *e = plugin->RawEffect();
  for (auto _ : state) {
    e->processReplacing(e, in, out, kBlock);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                  benchmark::Counter::kIsRate);
}

void Modes(benchmark::internal::Benchmark *b) {
  for (int count : {8, 32})
    for (int type = 1; type <= 10; ++type)
      b->Args({type, count});
}
BENCHMARK(BM_PluginMode)->Apply(Modes)->ArgNames({"type", "count"});

// The engine on its own, "stereo a" (two splitters): the host glue's share.
void BM_EngineStereoA(benchmark::State &state) {
  nimbrel::twirlix::TSpinEngine engine;
  nimbrel::twirlix::TSpinControl control(engine);
  engine.CreateSplitters();
  control.SetTransitionBandwidth(0.01f);
  control.ChangeCoefficients(static_cast<float>(state.range(0)));
  control.ChangeProcessType(1.0f);
  control.SetLfoSpeed(7.0f, 44100.0f);
  std::vector<float> inL = Noise(kBlock, 1), inR = Noise(kBlock, 2), outL(kBlock), outR(kBlock);
  const float *in[2] = {inL.data(), inR.data()};
  float *out[2] = {outL.data(), outR.data()};
  for (auto _ : state) {
    engine.ProcessBlock(in, out, kBlock);
    benchmark::DoNotOptimize(outL.data());
    benchmark::ClobberMemory();
  }
  state.counters["frames/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kBlock,
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_EngineStereoA)->Arg(8)->Arg(32)->ArgName("count");

// dlopen, entry (construction with its initial design), close, dlclose.
void BM_LoadAndConstruct(benchmark::State &state) {
  for (auto _ : state) {
    auto plugin = host::Plugin::Load(kPath);
    benchmark::DoNotOptimize(plugin.get());
  }
}
BENCHMARK(BM_LoadAndConstruct)->Unit(benchmark::kMicrosecond);

// Construction alone: the library stays loaded by a first instance.
void BM_Construct(benchmark::State &state) {
  auto keep = host::Plugin::Load(kPath);
  for (auto _ : state) {
    auto plugin = host::Plugin::Load(kPath);
    benchmark::DoNotOptimize(plugin.get());
  }
}
BENCHMARK(BM_Construct)->Unit(benchmark::kMicrosecond);

} // namespace
