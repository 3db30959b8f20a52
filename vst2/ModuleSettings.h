#pragma once
// The module's property sheet: a plain aggregate that a plug-in fills in its
// constructor and hands to TVSTModule::ApplySettings. It holds the host-facing
// description (identity, flags, category, can-dos, channels), the programs, the
// parameter descriptions and the event bindings. Nothing here runs by itself.
//
// Event handlers are std::function objects bound once, at construction (a
// lambda capturing `this`, or vst2::Bind below); the audio path never creates
// or copies one. Processing routines are plain function pointers (see
// TProcessAudioEvent) so that they can be swapped atomically while audio runs.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "vst2/EditorWindow.h"
#include "vst2/VstAbi.h"

namespace vst2 {

class TVSTModule;

// (Sender)
using TNotifyEvent = std::function<void(TVSTModule &sender)>;
// (Sender; Index; var Value): Value refers to the stored value; a handler may
// change it and the change is kept as the stored value.
using TParameterChangeEvent = std::function<void(TVSTModule &sender, std::int32_t index, float &value)>;
// (Sender; Index; var PreDefined): receives the framework's text and may replace it.
using TCustomParameterDisplayEvent = std::function<void(TVSTModule &sender, std::int32_t index, std::string &text)>;
// (Sender; SampleRate): the module's rate is already updated when this runs.
using TSampleRateChangeEvent = std::function<void(TVSTModule &sender, float sampleRate)>;
// (Sender; var GUI; ParentWindow): hand a new editor window back through `gui`.
// The framework takes it as EditorForm only after the handler returns.
using TEditOpenEvent =
    std::function<void(TVSTModule &sender, std::unique_ptr<IEditorWindow> &gui, void *parentWindow)>;
// (Sender; var VU): VU starts at 0; the answer to the host's VU request is
// VU x 32767, clamped to 0..32767 (a NaN answers 0).
using TGetVUEvent = std::function<void(TVSTModule &sender, float &vu)>;

// A processing routine: the host's channel arrays and the frame count (always
// > 0, arrays and their first NumInputs / NumOutputs channels never null). It
// writes every output sample. Use vst2::Routine<&TMyModule::Method> to turn a
// member function `void Method(const float *const *in, float *const *out,
// std::int32_t frames)` into one.
using TProcessAudioEvent = void (*)(TVSTModule &module, const float *const *inputs, float *const *outputs,
                                    std::int32_t sampleFrames);

// The two framework copies differ in how SetParameterAutomated is ordered and
// in which paths go through it.
enum class TAutomationStyle {
  // SetParameterAutomated = SetParameter (which holds the re-entry guard), then
  // the automation notice, sent even when the guard swallowed the call. The
  // host's set-parameter entry and program selection call SetParameter.
  asSetThenNotify,
  // SetParameterAutomated is guarded as a whole: store, automation notice,
  // change handler, module-level change event, repaint mark. The host's
  // set-parameter entry and program selection call SetParameterAutomated.
  asNotifyThenHandle,
};

struct TParameterProperties {
  std::string DisplayName{}; // kept to 30 characters
  std::string Units{};       // kept to 8 characters
  float Min = 0.0f;
  float Max = 1.0f;
  bool CanBeAutomated = true;
  TParameterChangeEvent OnParameterChange{};
  TCustomParameterDisplayEvent OnCustomParameterDisplay{};
};

struct TProgramSettings {
  std::string DisplayName{}; // kept to 50 characters
};

struct TModuleSettings {
  VstInt32 Flags = 0;              // effFlags* bits
  std::string Version = "1.0";     // text only; the record's version field is 1
  std::string EffectName{};          // also the answer to the product-string request
  std::string ProductName{};         // kept, not reported
  std::string VendorName{};
  VstInt32 VendorVersion = 0;
  VstPlugCategory PlugCategory = kPlugCategUnknown;
  VstInt32 TailSize = 0;
  std::vector<std::string> CanDos{}; // texts of the plug-in can-do list, e.g. "2in2out"
  float SampleRate = 44100.0f;
  VstInt32 BlockSize = 1024;
  std::int32_t CurrentProgram = 0; // selected once the sheet is read (ignored when out of range)
  std::string CurrentProgramName{};  // renames nothing: read before any program exists
  bool KeysRequired = false;       // false: the keys-required request answers 1
  VstInt32 UniqueID = 0;           // FourCC(...)
  VstInt32 NumInputs = 2;
  VstInt32 NumOutputs = 2;
  VstInt32 InitialDelay = 0;
  VstInt32 VstVersion = 2400;      // answer to effGetVstVersion
  bool OverwritePrograms = true;   // false: parameter changes leave the programs' stored values alone
  TAutomationStyle AutomationStyle = TAutomationStyle::asSetThenNotify;

  std::vector<TProgramSettings> Programs{};
  std::vector<TParameterProperties> ParameterProperties{};

  TNotifyEvent OnCreate{};
  TNotifyEvent OnDestroy{};
  TNotifyEvent OnInitialize{};
  TEditOpenEvent OnEditOpen{};
  TNotifyEvent OnEditClose{};
  TSampleRateChangeEvent OnSampleRateChange{};
  TGetVUEvent OnGetVU{};
  TParameterChangeEvent OnParameterChange{}; // module-level, after the parameter's own handler
  TProcessAudioEvent OnProcess = nullptr;          // accumulating entry
  TProcessAudioEvent OnProcessReplacing = nullptr; // replacing entry
};

namespace detail {
template <class T> struct MemberOf;
template <class C, class R, class... A> struct MemberOf<R (C::*)(A...)> { using Class = C; };
template <class C, class R, class... A> struct MemberOf<R (C::*)(A...) noexcept> { using Class = C; };

template <auto Method>
void RoutineThunk(TVSTModule &module, const float *const *inputs, float *const *outputs, std::int32_t frames) {
  using C = typename MemberOf<decltype(Method)>::Class;
  (static_cast<C &>(module).*Method)(inputs, outputs, frames);
}
} // namespace detail

// A member-function processing routine as a TProcessAudioEvent:
//   SetOnProcess(vst2::Routine<&TMyModule::VST2ModuleProcessMono>);
template <auto Method> inline constexpr TProcessAudioEvent Routine = &detail::RoutineThunk<Method>;

// Binds a member-function handler to its object, for any event type above:
//   p.OnParameterChange = vst2::Bind(this, &TMyModule::Param0Change);
template <class C, class R, class... A> auto Bind(C *object, R (C::*method)(A...)) {
  return [object, method](A... args) -> R { return (object->*method)(std::forward<A>(args)...); };
}

} // namespace vst2
