// What the host itself costs, apart from any plug-in's own work.
#include <filesystem>

#include <benchmark/benchmark.h>

#include "host/HostLibrary.h"
#include "host/vsthost/Renderer.h"
#include "host/vsthost/TestSignal.h"
#include "host/vsthost/ToneShift.h"

namespace {

void BM_RecordCallback(benchmark::State &state) {
  host::CallbackRecorder recorder;
  for (auto _ : state) {
    benchmark::DoNotOptimize(recorder.Handle(vst2::audioMasterAutomate, 1, 2, nullptr, 0.5f));
    if (recorder.Size() > 100000) recorder.Clear();
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RecordCallback);

// One second of stereo audio through a plug-in at a given block size.
void RenderSecond(benchmark::State &state, const std::string &path) {
  if (!std::filesystem::exists(path)) {
    state.SkipWithError((path + " not built").c_str());
    return;
  }
  auto plugin = host::Plugin::Load(path);
  plugin->Open();
  const vsthost::Audio signal = vsthost::MakeTestSignal(44100, 1.0);
  const int block = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto out = vsthost::Render(*plugin, signal, signal.samples.Frames(), block);
    benchmark::DoNotOptimize(out.samples.Channel(0));
  }
  state.SetItemsProcessed(state.iterations() * signal.samples.Frames());
  plugin->Close();
}

#ifdef HOST_PROBE_PLUGIN
void BM_RenderProbe(benchmark::State &state) { RenderSecond(state, HOST_PROBE_PLUGIN); }
BENCHMARK(BM_RenderProbe)->Arg(32)->Arg(512)->Arg(4096)->Unit(benchmark::kMillisecond);
#endif

void BM_RenderQuorlin(benchmark::State &state) { RenderSecond(state, std::string(NIMBREL_PLUGIN_DIR) + "/Quorlin.so"); }
BENCHMARK(BM_RenderQuorlin)->Arg(512)->Unit(benchmark::kMillisecond);

void BM_MeasureToneShift(benchmark::State &state) {
  const vsthost::Audio tone = vsthost::MakeSine(44100, 12.0, 1000.7, 0.5, 1);
  for (auto _ : state) {
    auto r = vsthost::MeasureToneShift(tone.samples.Channel(0), static_cast<std::size_t>(tone.samples.Frames()),
                                       44100, 1000.0, 0.5);
    benchmark::DoNotOptimize(r);
  }
}
BENCHMARK(BM_MeasureToneShift)->Unit(benchmark::kMillisecond);

} // namespace
