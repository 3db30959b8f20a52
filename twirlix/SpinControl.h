#pragma once
// The control side of the spin engine: the parameter change handlers' engine
// work. It turns parameter values into engine settings (coefficient designs
// for both splitters, the process type, the LFO step), keeps the master copy of
// those settings and publishes the whole copy to the audio side after every
// change (TSpinEngine::Exchange). Designing happens here, on the calling
// thread, never on the audio thread.
//
// Threads: any host thread; calls are serialised by an internal mutex (the
// audio side never takes it). Nothing here touches a splitter the audio thread
// is using.
//
// Decisions where the plug-in's behaviour is open:
//  - the accepted coefficient counts are 1..16, 24 and 32; a TBW change
//    redesigns with the stored Coefficients value rounded, also an unaccepted
//    one such as 20, but only when that count lies within 1..32 (the splitters
//    reserve 32): outside it, or when it is NaN, the new TBW is kept and the
//    redesign is skipped;
//  - an LFO Speed that is NaN or infinite, or so large that the frequency
//    overflows, changes nothing; a sample rate that is not a finite positive
//    number keeps the previous LFO step (the frequency is still reported, for
//    the editor);
//  - NaN or infinite Coefficients / Process Type / TBW values are rejected like
//    any other value outside their accepted sets.
#include <cstdint>
#include <mutex>
#include <optional>

#include "twirlix/SpinEngine.h"
#include "twirlix/SpinSettings.h"

namespace nimbrel::twirlix {

class TSpinControl {
public:
  explicit TSpinControl(TSpinEngine &engine) : engine_(engine) {}
  TSpinControl(const TSpinControl &) = delete;
  TSpinControl &operator=(const TSpinControl &) = delete;

  // The TBW last applied to both splitters (0 until set).
  float TransitionBandwidth() const;
  // Sets the TBW without designing (module creation: 0.01).
  void SetTransitionBandwidth(float value);

  // Coefficients: the accepted count n, after designing both present
  // splitters with transition TBW / n; nothing for a rejected value.
  std::optional<std::int32_t> ChangeCoefficients(float value);

  // Process Type: the accepted type m (1..10), after selecting its routine.
  std::optional<std::int32_t> ChangeProcessType(float value);

  // LFO Speed x (no range test): the LFO frequency f in Hz, after setting the
  // step for f at `sampleRate`; nothing when x or f is not finite.
  std::optional<float> SetLfoSpeed(float x, float sampleRate);

  // TBW: applied when 0 < value < 0.5 and value differs from the current TBW;
  // then both present splitters are designed with the stored Coefficients
  // value `storedCoefficients` rounded. True when the TBW was taken.
  bool ChangeTransitionBandwidth(float value, float storedCoefficients);

  // LFO start values on both sides: step (1, 0), components (0, 1). Only while
  // no block is being processed.
  void ResetLfo();

  // A copy of the settings last published.
  TSpinSettings Settings() const;

private:
  void Design(std::int32_t count, double transition);
  void Publish();

  TSpinEngine &engine_;
  mutable std::mutex mutex_;
  TSpinSettings master_;
  float transitionBandwidth_ = 0.0f;
};

} // namespace nimbrel::twirlix
