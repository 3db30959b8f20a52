// Overhead of the framework's entries: one process call through the record
// with an empty routine, one set-parameter and one get-parameter call.
#include <benchmark/benchmark.h>

#include <vector>

#include "vst2/VstModule.h"

namespace {

void EmptyRoutine(vst2::TVSTModule &, const float *const *, float *const *, std::int32_t) {}

class TBenchModule : public vst2::TVSTModule {
public:
  TBenchModule() {
    vst2::TModuleSettings s;
    s.Flags = vst2::effFlagsCanReplacing;
    s.Programs = {{"One"}};
    s.ParameterProperties = {{.DisplayName = "Level", .Min = 0.0f, .Max = 10.0f,
                              .OnParameterChange = [this](vst2::TVSTModule &, std::int32_t, float &v) { last = v; }}};
    s.OnProcess = s.OnProcessReplacing = &EmptyRoutine;
    ApplySettings(std::move(s));
  }
  float last = 0.0f;
};

vst2::VstIntPtr NIMBREL_VSTCALL Host(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr, void *,
                                     float) {
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

struct TFixture {
  vst2::AEffect *effect = vst2::CreateEffect<TBenchModule>(&Host);
  std::vector<float> buffers[4] = {std::vector<float>(64), std::vector<float>(64), std::vector<float>(64),
                                   std::vector<float>(64)};
  float *ins[2] = {buffers[0].data(), buffers[1].data()};
  float *outs[2] = {buffers[2].data(), buffers[3].data()};
  ~TFixture() { effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f); }
};

void BM_ProcessReplacingEmptyRoutine(benchmark::State &state) {
  TFixture f;
  const auto frames = static_cast<vst2::VstInt32>(state.range(0));
  for (auto _ : state) {
    f.effect->processReplacing(f.effect, f.ins, f.outs, frames);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ProcessReplacingEmptyRoutine)->Arg(1)->Arg(64);

void BM_SetParameter(benchmark::State &state) {
  TFixture f;
  float v = 0.0f;
  for (auto _ : state) {
    f.effect->setParameter(f.effect, 0, v);
    v = v < 1.0f ? v + 0.001f : 0.0f;
  }
}
BENCHMARK(BM_SetParameter);

void BM_GetParameter(benchmark::State &state) {
  TFixture f;
  for (auto _ : state)
    benchmark::DoNotOptimize(f.effect->getParameter(f.effect, 0));
}
BENCHMARK(BM_GetParameter);

void BM_ParameterDisplay(benchmark::State &state) {
  TFixture f;
  f.effect->setParameter(f.effect, 0, 0.123f);
  char text[24];
  for (auto _ : state) {
    f.effect->dispatcher(f.effect, vst2::effGetParamDisplay, 0, 0, text, 0.0f);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_ParameterDisplay);

} // namespace
