// Cost of the phase splitter: ns per ProcessSample for the routine each count
// chooses against the generic loop, and the time of a coefficient design.
#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "dsp/PhaseHalfPi.h"
#include "dsp/PolyPhaseIIR2Designer.h"

namespace {

using nimbrel::dsp::TPhaseHalfPi;
using nimbrel::dsp::TPolyphaseIir2Designer;

// A block of noise-like samples, recycled so the input is not a constant.
std::vector<float> Signal() {
  std::vector<float> s(4096);
  unsigned state = 12345u;
  for (auto& v : s) {
    state = state * 1664525u + 1013904223u;
    v = float(int(state >> 8) - (1 << 23)) / float(1 << 23);
  }
  return s;
}

void ProcessSample(benchmark::State& state, bool generic) {
  const auto count = static_cast<int32_t>(state.range(0));
  TPhaseHalfPi splitter;
  splitter.SetCoefficientsByTransition(count, 0.01 / count);
  if (generic)
    splitter.SelectGenericRoutineForTesting();
  const auto signal = Signal();
  std::size_t i = 0;
  float first = 0.0f, second = 0.0f;
  for (auto _ : state) {
    splitter.ProcessSample(signal[i], first, second);
    benchmark::DoNotOptimize(first);
    benchmark::DoNotOptimize(second);
    i = (i + 1) & (signal.size() - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_ProcessSampleChosen(benchmark::State& state) { ProcessSample(state, false); }
void BM_ProcessSampleGeneric(benchmark::State& state) { ProcessSample(state, true); }

void BM_DesignCoefficients(benchmark::State& state) {
  const auto count = static_cast<int32_t>(state.range(0));
  std::vector<double> a(static_cast<std::size_t>(count));
  double transition = 0.01 / count;
  for (auto _ : state) {
    benchmark::DoNotOptimize(transition);
    TPolyphaseIir2Designer::DesignCoefficients(a.data(), count, transition);
    benchmark::DoNotOptimize(a.data());
    benchmark::ClobberMemory();
  }
}

#define SPLITTER_COUNTS Arg(1)->Arg(2)->Arg(4)->Arg(8)->Arg(12)->Arg(16)->Arg(32)
BENCHMARK(BM_ProcessSampleChosen)->SPLITTER_COUNTS;
BENCHMARK(BM_ProcessSampleGeneric)->SPLITTER_COUNTS;
BENCHMARK(BM_DesignCoefficients)->Arg(8)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace
