#pragma once
// TPMModule: the stereo level meter on the VST 2 framework. It passes both
// channels through unchanged in every state and, while its editor is open,
// follows the level of each channel: the plain peak ("Peak") or the peak of a
// one-pole smoothed copy ("RMS"). With the editor closed it measures nothing.
//
// Routine selection (every install goes to the accumulating and then to the
// replacing entry):
//   module loaded                      VST2ModuleProcessNone
//   Mode change, no editor             VST2ModuleProcessNone
//   Mode change, editor open           VST2ModuleProcessIIR (RMS) / VST2ModuleProcessPeak
//   editor opened                      by FRMSMode, as above
//   editor closed                      VST2ModuleProcessNone
//
// Threads. The routines run on the host's audio thread; the handlers run under
// the framework's control lock on whichever thread the host uses. The levels
// are written by the routines and read by the editor at any time: they are
// relaxed atomics, loaded into locals at the start of a block and stored once
// at its end, so the per-sample loops touch no atomic. FRMSMode is an atomic,
// and the smoothing coefficients travel as one atomic pair. The filter states
// belong to the audio thread alone.
//
// Editor. The module makes its editor window through a factory given at
// construction (MeterEditor.h); the plug-in's entry takes it from
// PluginEditorFactory() (PluginEditor.h), which the editor library defines.
// The open handler makes the window, ties it to the module, starts its timer
// and installs the measuring routine; the close handler stops the timer and
// installs VST2ModuleProcessNone.
//
// Decisions of ours:
//  - The meter keeps the host callback (without asking the host anything, so it
//    loads in any host), so a Mode change made in its editor reaches the host as
//    an automation notice, as every other plug-in's does.
//  - An editor close request with no editor open does nothing but keep (or
//    put) the audio path on VST2ModuleProcessNone.
//  - GetLevel answers 0 for a channel index other than 0 or 1.
//  - SetSmoothingLength ignores lengths below 1 (0 would make c = -1, a filter
//    that never settles, and -1 a division by zero).
//  - A NaN or an infinite sample never becomes a level, nor a filter state
//    (see Measuring.h).
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "quorlin/MeterEditor.h"
#include "quorlin/Measuring.h"
#include "vst2/VstModule.h"

namespace quorlin {

class TPMModule : public vst2::TVST2Module {
public:
  // `createEditor` makes the editor window at the host's open request; without
  // one the module has no editor to show (the open request answers 0).
  explicit TPMModule(TMeterEditorFactory createEditor = {});
  ~TPMModule() override;

  // --- Public operations ------------------------------------------------------
  // The followed level of channel 0 (left) or 1 (right); 0 for any other index.
  // Safe on any thread.
  float GetLevel(std::int32_t index) const;
  // Stores the mode and installs the routine the selection rule gives.
  void SetRMSMode(bool value);
  // Does nothing for the current length or a length below 1; otherwise stores
  // it and recomputes the smoothing coefficients.
  void SetSmoothingLength(std::int32_t value);

  bool RMSMode() const { return FRMSMode.load(std::memory_order_relaxed); }
  std::int32_t SmoothingLength() const { return FSmoothingLength.load(std::memory_order_relaxed); }
  TIIRCoefficients IIRCoefficients() const { return FIIRCoefficients.load(std::memory_order_relaxed); }
  // The smoothing filter's state of a channel (0 for another index). Owned by
  // the audio thread: read it only where no block can run at the same time.
  float IIRState(std::int32_t index) const;

  // --- Processing routines (framework signature) ------------------------------
  void VST2ModuleProcessNone(const float *const *inputs, float *const *outputs, std::int32_t sampleFrames);
  void VST2ModuleProcessPeak(const float *const *inputs, float *const *outputs, std::int32_t sampleFrames);
  void VST2ModuleProcessIIR(const float *const *inputs, float *const *outputs, std::int32_t sampleFrames);

  // The three routines as the framework installs them.
  static vst2::TProcessAudioEvent ProcessNoneRoutine();
  static vst2::TProcessAudioEvent ProcessPeakRoutine();
  static vst2::TProcessAudioEvent ProcessIIRRoutine();

  // --- Handlers bound in the settings ------------------------------------------
  void VST2ModuleCreate(vst2::TVSTModule &sender);
  void VST_EditOpen(vst2::TVSTModule &sender, std::unique_ptr<vst2::IEditorWindow> &gui, void *parentWindow);
  void VST2ModuleEditClose(vst2::TVSTModule &sender);
  void VST2ModuleGetVU(vst2::TVSTModule &sender, float &vu);
  void PMModuleParameterProperties0ParameterChange(vst2::TVSTModule &sender, std::int32_t index, float &value);
  void PMModuleParameterProperties0CustomParameterDisplay(vst2::TVSTModule &sender, std::int32_t index,
                                                          std::string &text);

private:
  static constexpr std::int32_t kChannels = 2;

  // Installs the routine for the current mode when an editor is shown (or
  // about to be), else VST2ModuleProcessNone.
  void InstallRoutine(bool measuring);

  // Module state, all zero when the object is made.
  std::array<float, kChannels> FIIRState{};
  std::array<std::atomic<float>, kChannels> FLevel{};
  std::atomic<TIIRCoefficients> FIIRCoefficients{TIIRCoefficients{}};
  std::atomic<std::int32_t> FSmoothingLength{0};
  std::atomic<bool> FRMSMode{false};

  TMeterEditorFactory FCreateEditor;
};

// The module's property sheet values the host sees.
inline constexpr const char *kQuorlinEffectName = "Quorlin";
inline constexpr const char *kQuorlinVendorName = "NimbrelAudio";
inline constexpr vst2::VstInt32 kQuorlinUniqueID = vst2::FourCC('G', 'v', 'r', 'D');
inline constexpr std::int32_t kDefaultSmoothingLength = 14;

} // namespace quorlin
