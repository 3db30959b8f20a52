#pragma once
// TTwirlixModule: the spin plug-in's module on the VST 2 framework. It gives the
// host the plug-in's description (identity, flags, can-dos, six programs, four
// parameters), binds the parameter change and display handlers, and joins the
// engine's two sides: the handlers work on TSpinControl (on any host thread,
// under the framework's control lock), the single processing routine installed
// with the framework runs TSpinEngine on the audio thread.
//
// Decisions where behaviour is open (see also TSpinControl):
//  - The framework keeps one routine installed; the process type is part of the
//    engine settings taken up at the start of each block, so a block never mixes
//    a new routine with old coefficients.
//  - A splitter that could not be created leaves the plug-in silent (outputs
//    written with zeros) instead of processing with it.
//  - A program selection applies its four values one after the other; a block
//    that runs concurrently may start between two of those steps, each of which
//    is consistent in itself.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "twirlix/SpinControl.h"
#include "twirlix/SpinEngine.h"
#include "twirlix/TwirlixEditorView.h"
#include "vst2/VstModule.h"

namespace nimbrel::twirlix {

enum TTwirlixParameter : std::int32_t {
  kParamCoefficients = 0,
  kParamProcessType = 1,
  kParamLfoSpeed = 2,
  kParamTbw = 3,
};

class TTwirlixModule : public vst2::TVSTModule {
public:
  TTwirlixModule();
  ~TTwirlixModule() override;

  // The editor's registration (null to unregister). See ITwirlixEditorView.
  void SetEditorView(ITwirlixEditorView *view) { view_.store(view, std::memory_order_release); }

  // The LFO speed: step for the frequency of x at the current sample rate, and
  // the editor's dial and Hz label when an editor is open.
  void SetLfoSpeed(float x);

  float TransitionBandwidth() const { return control_.TransitionBandwidth(); }
  // The engine's audio side, for tests: read it only while no block runs.
  const TSpinEngine &Engine() const { return engine_; }

private:
  void VST2ModuleCreate(vst2::TVSTModule &sender);
  void VST2ModuleDestroy(vst2::TVSTModule &sender);
  void VST2ModuleInitialize(vst2::TVSTModule &sender);
  void VST2ModuleSampleRateChange(vst2::TVSTModule &sender, float sampleRate);
  void VST_EditOpen(vst2::TVSTModule &sender, std::unique_ptr<vst2::IEditorWindow> &gui, void *parentWindow);

  void TwirlixModuleParameterProperties0ParameterChange(vst2::TVSTModule &sender, std::int32_t index, float &value);
  void TwirlixModuleParameterProperties1ParameterChange(vst2::TVSTModule &sender, std::int32_t index, float &value);
  void TwirlixModuleParameterProperties2ParameterChange(vst2::TVSTModule &sender, std::int32_t index, float &value);
  void TwirlixModuleParameterProperties3ParameterChange(vst2::TVSTModule &sender, std::int32_t index, float &value);
  void TwirlixModuleParameterProperties0CustomParameterDisplay(vst2::TVSTModule &sender, std::int32_t index,
                                                               std::string &text);
  void TwirlixModuleParameterProperties1CustomParameterDisplay(vst2::TVSTModule &sender, std::int32_t index,
                                                               std::string &text);

  // The one routine the framework runs, for both audio entries.
  void ProcessBlock(const float *const *inputs, float *const *outputs, std::int32_t sampleframes);

  // The registered view while an editor is open, else null.
  ITwirlixEditorView *OpenView() const;

  TSpinEngine engine_;
  TSpinControl control_{engine_};
  std::atomic<ITwirlixEditorView *> view_{nullptr};
};

// Makes the editor window for `module`, or null when there is none. Defined by
// the editor library; NoEditor.cpp supplies the stand-in that has none.
std::unique_ptr<vst2::IEditorWindow> CreateTwirlixEditor(TTwirlixModule &module, void *parentWindow);

} // namespace nimbrel::twirlix
