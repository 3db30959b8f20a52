#include "twirlix/SpinEngine.h"

#include <algorithm>

namespace nimbrel::twirlix {

TSpinEngine::TSpinEngine() : routine_(RoutineOfProcessType(kMonoProcessType)), exchange_(TSpinSettings{}) {}

TSpinEngine::~TSpinEngine() = default;

void TSpinEngine::CreateSplitters() {
  for (int k = 0; k < 2; ++k) {
    auto splitter = std::make_unique<nimbrel::dsp::TPhaseHalfPi>();
    splitter->Reserve(kMaxCoefficients);
    splitters_[k] = std::move(splitter);
    installedDesign_[k] = 0;
    installedClear_[k] = 0;
  }
  voice_.PhaseSplitter1 = splitters_[0].get();
  voice_.PhaseSplitter2 = splitters_[1].get();
}

void TSpinEngine::DestroySplitters() {
  voice_.PhaseSplitter1 = nullptr;
  voice_.PhaseSplitter2 = nullptr;
  splitters_[0].reset();
  splitters_[1].reset();
}

void TSpinEngine::ResetLfo() {
  voice_.Step = TLfoStep{};
  voice_.Lfo.Reset();
}

void TSpinEngine::InstallDesign(int index, const TSplitterDesign &design) {
  nimbrel::dsp::TPhaseHalfPi *splitter = splitters_[index].get();
  if (splitter == nullptr || design.Count < 1 || design.Count > kMaxCoefficients)
    return;
  if (design.DesignGeneration != installedDesign_[index]) {
    // A new count resizes within the reserved room and clears the sections.
    splitter->SetCoefficients(design.Coefficients, design.Count);
    installedDesign_[index] = design.DesignGeneration;
  }
  if (design.ClearGeneration != installedClear_[index]) {
    // The count changed at least once since the last block, perhaps back to
    // where it was: the sections start afresh either way.
    splitter->ClearState();
    installedClear_[index] = design.ClearGeneration;
  }
}

void TSpinEngine::TakeUpSettings() {
  if (!exchange_.TakeUp())
    return;
  const TSpinSettings &settings = exchange_.Front();
  InstallDesign(0, settings.Splitter[0]);
  InstallDesign(1, settings.Splitter[1]);
  if (TSpinRoutine routine = RoutineOfProcessType(settings.ProcessType)) {
    routine_ = routine;
    processType_ = settings.ProcessType;
  }
  voice_.Step = settings.LfoStep;
}

bool TSpinEngine::Usable() const {
  for (const auto &splitter : splitters_)
    if (splitter == nullptr || splitter->NumberOfCoefficients() < 1)
      return false;
  return true;
}

void TSpinEngine::ProcessBlock(const float *const *inputs, float *const *outputs, std::int32_t sampleframes) {
  if (sampleframes <= 0 || outputs == nullptr)
    return;
  const bool channelsPresent =
      inputs != nullptr && inputs[0] != nullptr && inputs[1] != nullptr && outputs[0] != nullptr && outputs[1] != nullptr;
  if (channelsPresent)
    TakeUpSettings();
  if (!channelsPresent || !Usable()) {
    for (int c = 0; c < 2; ++c)
      if (outputs[c] != nullptr)
        std::fill(outputs[c], outputs[c] + sampleframes, 0.0f);
    return;
  }
  routine_(voice_, inputs, outputs, sampleframes);
}

} // namespace nimbrel::twirlix
