#pragma once
// The VST 2 module framework: the base class of a plug-in module, the effect
// record it hands to the host, and the entry glue.
//
// How a plug-in uses it
// ---------------------
//   class TMyModule : public vst2::TVSTModule {     // or vst2::TVST2Module
//   public:
//     TMyModule() {
//       vst2::TModuleSettings s;
//       s.Flags = vst2::effFlagsHasEditor | vst2::effFlagsCanReplacing;
//       s.UniqueID = vst2::FourCC('A', 'b', 'c', 'd');
//       s.EffectName = "..."; s.VendorName = "..."; s.CanDos = {"2in2out"};
//       s.Programs = {{"First"}, {"Second"}};
//       s.ParameterProperties = {{.DisplayName = "Gain", .Min = 0, .Max = 2,
//                                 .OnParameterChange = vst2::Bind(this, &TMyModule::GainChange)}};
//       s.OnCreate = vst2::Bind(this, &TMyModule::VST2ModuleCreate);
//       s.OnProcess = s.OnProcessReplacing = vst2::Routine<&TMyModule::VST2ModuleProcess>;
//       ApplySettings(std::move(s));   // last statement of the constructor
//     }
//   };
//   extern "C" NIMBREL_VST_EXPORT vst2::AEffect *VSTPluginMain(vst2::HostCallback host) {
//     return vst2::CreateEffect<TMyModule>(host);
//   }
//
// ApplySettings runs the construction sequence: the sheet is read (programs
// start with every value 0), the sheet's current program is selected through
// the ordinary program selection (so every change handler runs once with 0),
// then OnInitialize, then OnCreate. CreateEffect then sets the record's user
// pointer and connects to the host.
//
// Plug-in code never sees an opcode: it works through SetParameter,
// SetParameterAutomated, GetParameter, the program value store, EditorForm,
// SetOnProcess and the events of the sheet.
//
// Editor
// ------
// effEditOpen calls OnEditOpen; the window it hands back becomes EditorForm
// only after the handler returns, is attached to the host's window (or, after
// the headless select request, to none) and asked to repaint. Opening while an
// editor is open closes the old one first (OnEditClose, free), then opens anew
// in the parent now given. A window that cannot be attached is closed again at
// once, OnEditClose included, and the request answers 0. effEditIdle turns
// the repaint mark into a repaint and forwards the idle call to the window.
// effEditClose raises OnEditClose, then frees the window; without an editor it
// does nothing. Closing the plug-in frees an open window without OnEditClose.
//
// Host input that is not sound
// ----------------------------
// A set-parameter call with an index outside the list or a value that is no
// finite number is ignored; get-parameter of a bad index answers 0. A sample
// rate that is not a positive finite number and a block size <= 0 (or beyond
// 32 bits) are refused (answer 0). A text to parameter that is no number, or
// whose value lies beyond the float range, answers 0. Texts are copied into
// host buffers bounded by the sizes in VstAbi.h and read from the host up to
// 256 bytes; null pointers answer 0. A process call with frames <= 0, a null
// channel array or a null channel does nothing; with no routine installed the
// replacing entry writes silence. Unknown requests answer 0. The record is
// invalid once effClose has answered.
//
// Floating-point state
// --------------------
// The process entries run the routine under nimbrel::AudioFpuGuard: flush-to-
// zero, denormals-are-zero and 64-bit x87 precision for the block, the host
// thread's MXCSR and x87 control word restored on return.
//
// Threads
// -------
// Hosts call the dispatcher and set-parameter from several threads (window
// thread, automation thread) while the audio thread processes. Every control
// request (set-parameter, program selection, every dispatcher request) runs
// under one recursive mutex of the module, so handlers never run concurrently
// with one another; the same thread may re-enter (an editor control's echo of
// a handler's write reaches the re-entry guard, not a deadlock). The process
// entries take no lock: they load the installed routine atomically and run it;
// a block finishes with the routine it started with. Parameter values, the
// sample rate and the block size are atomics, so a routine may read them.
// Plug-in state that both a handler and a routine touch is the plug-in's to
// publish safely.
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "core/FpuGuard.h"
#include "vst2/EditorWindow.h"
#include "vst2/ModuleSettings.h"
#include "vst2/VstAbi.h"
#include "vst2/VstError.h"

#if defined(_WIN32)
#define NIMBREL_VST_EXPORT __declspec(dllexport)
#else
#define NIMBREL_VST_EXPORT __attribute__((visibility("default")))
#endif

namespace vst2 {

class TVSTModule {
public:
  TVSTModule();
  virtual ~TVSTModule();
  TVSTModule(const TVSTModule &) = delete;
  TVSTModule &operator=(const TVSTModule &) = delete;

  // --- The record and the host ------------------------------------------------
  AEffect *Effect() { return &FEffect; }
  // The module behind a record, or null for a null or foreign record.
  static TVSTModule *FromEffect(AEffect *effect);

  // Keep the host callback, then ask the host its version; an answer of 0
  // (a null callback included) raises "AudioMaster Error".
  void Connect(HostCallback host);
  // Keep the host callback without asking anything.
  void KeepHost(HostCallback host);
  bool HasHost() const { return FHost.load(std::memory_order_acquire) != nullptr; }
  // Call the host; 0 when no host callback is held. Never throws.
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void *ptr = nullptr,
                     float opt = 0.0f);

  // --- Parameters, in parameter units -------------------------------------------
  std::int32_t ParameterCount() const { return static_cast<std::int32_t>(FSettings.ParameterProperties.size()); }
  const TParameterProperties &ParameterProperties(std::int32_t index) const; // "Index out of bounds"

  // Guarded store into the current values (and the current program when
  // OverwritePrograms), then the parameter's change handler and the repaint mark.
  // A call made while another is in progress on this module returns at once.
  // Index outside the list: "Index out of bounds".
  void SetParameter(std::int32_t index, float value);
  // SetParameter plus the host's automation notice, ordered by AutomationStyle.
  // An index >= ParameterCount is ignored.
  void SetParameterAutomated(std::int32_t index, float value);
  // The current value; 0 for an index outside the list. Safe on any thread.
  float GetParameter(std::int32_t index) const;

  // Host's normalized value to parameter units: Min + v x (Max - Min) in
  // extended precision, rounded to float, not clamped.
  float HostToParameter(std::int32_t index, float normalized) const;
  // Parameter units to the host's scale: (value - Min) / (Max - Min) in extended
  // precision, rounded to float, clamped to 0..1; 0 for a bad index, NaN or Max == Min.
  float ParameterToHost(std::int32_t index, float value) const;

  // --- Programs -----------------------------------------------------------------
  std::int32_t ProgramCount() const { return static_cast<std::int32_t>(FSettings.Programs.size()); }
  std::int32_t CurrentProgram() const { return FCurrentProgram.load(std::memory_order_acquire); }
  // Program selection: served only for 0 <= p < ProgramCount and p != current;
  // applies the program's stored values in index order (the first error ends
  // that silently), marks the editor for repaint and asks the host to refresh
  // its display. Returns whether it was served.
  bool SelectProgram(std::int32_t program);
  // The program value store: writes one stored value, runs no handler.
  // A program or index outside its list: "Index out of bounds".
  void SetProgramValue(std::int32_t program, std::int32_t index, float value);
  float ProgramValue(std::int32_t program, std::int32_t index) const; // "Index out of bounds"
  std::string ProgramName(std::int32_t program) const;                 // "" outside the list
  void SetProgramName(std::int32_t program, const std::string &name);   // kept to 50 characters

  // --- Audio ----------------------------------------------------------------------
  // Installs `routine` as OnProcess, then as OnProcessReplacing.
  void SetOnProcess(TProcessAudioEvent routine);
  void SetOnProcessAccumulating(TProcessAudioEvent routine) { FOnProcess.store(routine, std::memory_order_release); }
  void SetOnProcessReplacing(TProcessAudioEvent routine) { FOnProcessReplacing.store(routine, std::memory_order_release); }
  TProcessAudioEvent OnProcess() const { return FOnProcess.load(std::memory_order_acquire); }
  TProcessAudioEvent OnProcessReplacing() const { return FOnProcessReplacing.load(std::memory_order_acquire); }

  float SampleRate() const { return FSampleRate.load(std::memory_order_relaxed); }
  VstInt32 BlockSize() const { return FBlockSize.load(std::memory_order_relaxed); }
  VstInt32 NumInputs() const { return FEffect.numInputs; }
  VstInt32 NumOutputs() const { return FEffect.numOutputs; }

  // --- Editor -----------------------------------------------------------------------
  // The open editor window, or null (also while the open handler runs).
  IEditorWindow *EditorForm() const { return FEditorForm.get(); }
  // Ask for a repaint of the editor at the host's next editor-idle call.
  void MarkEditorForRepaint() { FRepaintMark.store(true, std::memory_order_release); }

  const TModuleSettings &Settings() const { return FSettings; }

  // The control-side lock (recursive). Plug-in code rarely needs it: every
  // framework request already holds it while handlers run.
  std::recursive_mutex &ControlLock() const { return FControl; }

  // Runs OnDestroy (trapped) and frees an open editor without OnEditClose.
  // Called once before the module is deleted (host close, failed connection).
  void Shutdown() noexcept;

protected:
  // Reads the sheet and runs the construction sequence; call it once, as the
  // last statement of the plug-in's constructor. Errors propagate (the entry
  // glue turns them into a null record).
  void ApplySettings(TModuleSettings settings);

private:
  friend struct TEffectEntries;

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void *ptr, float opt);
  void HostSetParameter(VstInt32 index, float normalized);
  float HostGetParameter(VstInt32 index);
  void Process(float **inputs, float **outputs, VstInt32 frames, bool replacing) noexcept;

  // Dispatcher helpers, each serving one group of requests.
  VstIntPtr TextRequest(VstInt32 opcode, VstInt32 index, void *ptr);
  VstIntPtr ProgramRequest(VstInt32 opcode, VstInt32 index, VstIntPtr value, void *ptr);
  VstIntPtr EditorRequest(VstInt32 opcode, VstIntPtr value, void *ptr, float opt);
  VstIntPtr VendorRequest(VstInt32 index, VstIntPtr value, void *ptr, float opt);
  VstIntPtr DescriptionRequest(VstInt32 opcode, VstInt32 index, void *ptr);
  bool SetSampleRate(float rate);
  bool SetBlockSize(VstIntPtr size);
  bool TextToParameter(VstInt32 index, const char *text);
  VstIntPtr CanDo(const char *text) const;
  std::string ParameterDisplay(std::int32_t index);

  bool OpenEditor(void *parent);
  void CloseEditor(bool raiseOnEditClose);
  void RaiseLifecycle(const TNotifyEvent &event) noexcept;

  void StoreParameter(std::int32_t index, float value);
  void RunParameterHandlers(std::int32_t index, float value);
  void ApplyParameterFromHost(std::int32_t index, float value);
  std::atomic<float> &ProgramSlot(std::int32_t program, std::int32_t index) const;

  AEffect FEffect{};
  TModuleSettings FSettings;
  std::atomic<HostCallback> FHost{nullptr};

  // Values: current values, and programs x parameters stored values.
  std::unique_ptr<std::atomic<float>[]> FCurrentValues;
  std::unique_ptr<std::atomic<float>[]> FProgramValues;
  std::vector<std::string> FProgramNames;
  std::atomic<std::int32_t> FCurrentProgram{-1};
  bool FInParameterSet = false; // re-entry guard, touched only under FControl

  std::atomic<TProcessAudioEvent> FOnProcess{nullptr};
  std::atomic<TProcessAudioEvent> FOnProcessReplacing{nullptr};
  std::atomic<float> FSampleRate{44100.0f};
  std::atomic<VstInt32> FBlockSize{1024};

  std::unique_ptr<IEditorWindow> FEditorForm;
  ERect FEditorRect{};
  std::atomic<bool> FRepaintMark{false};
  bool FHeadlessNext = false;
  bool FShutDown = false;

  mutable std::recursive_mutex FControl;
};

// The second framework copy: VST version 2300, SetParameterAutomated guarded
// as a whole with the notice before the change handler, and the host's
// set-parameter entry and program selection going through SetParameterAutomated.
class TVST2Module : public TVSTModule {
protected:
  void ApplySettings(TModuleSettings settings) {
    settings.VstVersion = 2300;
    settings.AutomationStyle = TAutomationStyle::asNotifyThenHandle;
    TVSTModule::ApplySettings(std::move(settings));
  }
};

// How the entry glue connects the module to the host.
enum class TConnectMode {
  cmRequireHostVersion, // ask the host its version; 0 (or no callback) gives a null record
  cmKeepHost,           // keep the callback (may be null) and ask nothing
};

// Releases a module made by CreateEffect: Shutdown, then delete.
void ReleaseModule(TVSTModule *module) noexcept;

// The entry glue: construct, set the record's user pointer, connect, return the
// record. Any error gives null; a module whose construction finished but whose
// connection failed is released (OnDestroy runs) before null is returned.
template <class TModule> AEffect *CreateEffect(HostCallback host,
                                               TConnectMode mode = TConnectMode::cmRequireHostVersion) noexcept {
  // Construction runs the change handlers and the first designs in extended
  // precision, whatever the host's thread set.
  const nimbrel::PrecisionGuard precision;
  TVSTModule *module = nullptr;
  try {
    module = new TModule();
  } catch (...) {
    return nullptr;
  }
  try {
    module->Effect()->user = module;
    if (mode == TConnectMode::cmRequireHostVersion)
      module->Connect(host);
    else
      module->KeepHost(host);
    return module->Effect();
  } catch (...) {
    ReleaseModule(module);
    return nullptr;
  }
}

} // namespace vst2
