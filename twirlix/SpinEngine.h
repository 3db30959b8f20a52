#pragma once
// The audio side of the spin engine: owns the two phase splitters, the LFO
// rotator and the routine of the current process type, and runs audio blocks.
//
// Settings (coefficient sets, process type, LFO step) are prepared elsewhere
// (TSpinControl) and published through Exchange(); ProcessBlock takes up the
// latest published settings at its start, so a whole block always runs on one
// consistent set, and a change made between two blocks takes effect at the
// next one. Taking up copies at most 32 coefficients per splitter into storage
// the splitters reserved at creation: the audio path never allocates, locks or
// calls the system.
//
// Threads: ProcessBlock runs on one audio thread at a time. CreateSplitters,
// DestroySplitters and ResetLfo run while no block is being processed (module
// creation and destruction).
#include <cstdint>
#include <memory>

#include "dsp/PhaseHalfPi.h"
#include "twirlix/SpinRoutines.h"
#include "twirlix/SpinSettings.h"
#include "twirlix/TripleBuffer.h"

namespace nimbrel::twirlix {

class TSpinEngine {
public:
  TSpinEngine();
  ~TSpinEngine();
  TSpinEngine(const TSpinEngine &) = delete;
  TSpinEngine &operator=(const TSpinEngine &) = delete;

  // Creates both splitters with room for kMaxCoefficients. May throw
  // std::bad_alloc; a splitter that could not be made stays absent.
  void CreateSplitters();
  void DestroySplitters();
  bool HasSplitter(int index) const { return splitters_[index] != nullptr; }

  // Puts the rotator back to its start components (LfoSin 0, LfoCos 1) and the
  // step to (1, 0). The control side publishes the matching step (TSpinControl).
  void ResetLfo();

  // The control side's end of the settings exchange (one writer at a time).
  TTripleBuffer<TSpinSettings> &Exchange() { return exchange_; }

  // Runs one block. Nothing happens for 0 or fewer frames (the LFO does not
  // advance). Without usable splitters, or with a null channel, the outputs
  // that exist are written with silence.
  void ProcessBlock(const float *const *inputs, float *const *outputs, std::int32_t sampleframes);

  // Audio-side views, for tests and benchmarks, valid between blocks.
  const TLfo &Lfo() const { return voice_.Lfo; }
  const TLfoStep &LfoStep() const { return voice_.Step; }
  const nimbrel::dsp::TPhaseHalfPi *Splitter(int index) const { return splitters_[index].get(); }
  int ProcessType() const { return processType_; }

private:
  void TakeUpSettings();
  void InstallDesign(int index, const TSplitterDesign &design);
  bool Usable() const;

  std::unique_ptr<nimbrel::dsp::TPhaseHalfPi> splitters_[2];
  TSpinVoice voice_;
  int processType_ = kMonoProcessType;
  TSpinRoutine routine_;
  std::uint32_t installedDesign_[2] = {0, 0};
  std::uint32_t installedClear_[2] = {0, 0};
  TTripleBuffer<TSpinSettings> exchange_;
};

} // namespace nimbrel::twirlix
