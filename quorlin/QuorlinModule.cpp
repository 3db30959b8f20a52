#include "quorlin/QuorlinModule.h"

#include <mutex>
#include <utility>

#include "quorlin/PassThrough.h"

namespace quorlin {

// The audio thread must never wait on these.
static_assert(std::atomic<float>::is_always_lock_free);
static_assert(std::atomic<TIIRCoefficients>::is_always_lock_free);
static_assert(std::atomic<bool>::is_always_lock_free);

TPMModule::TPMModule(TMeterEditorFactory createEditor) : FCreateEditor(std::move(createEditor)) {
  vst2::TModuleSettings s;
  s.Flags = vst2::effFlagsHasEditor | vst2::effFlagsCanReplacing;
  s.Version = "0.0";
  s.EffectName = kQuorlinEffectName;
  s.ProductName = kQuorlinEffectName;
  s.VendorName = kQuorlinVendorName;
  s.VendorVersion = 0;
  s.PlugCategory = vst2::kPlugCategAnalysis;
  s.TailSize = 0;
  s.CanDos = {"plugAsChannelInsert", "plugAsSend", "2in2out"};
  s.SampleRate = 44100.0f; // the meter does not use it
  s.CurrentProgram = 0;
  s.CurrentProgramName = "Default";
  s.UniqueID = kQuorlinUniqueID;
  s.NumInputs = kChannels;
  s.NumOutputs = kChannels;
  s.InitialDelay = 0;
  s.OverwritePrograms = false; // the one program keeps Mode 0 for good
  s.Programs = {{"Default"}};

  vst2::TParameterProperties mode;
  mode.DisplayName = "Mode";
  mode.Units = "";
  mode.Min = 0.0f;
  mode.Max = 1.0f;
  mode.CanBeAutomated = true;
  mode.OnParameterChange = vst2::Bind(this, &TPMModule::PMModuleParameterProperties0ParameterChange);
  mode.OnCustomParameterDisplay = vst2::Bind(this, &TPMModule::PMModuleParameterProperties0CustomParameterDisplay);
  s.ParameterProperties = {std::move(mode)};

  s.OnCreate = vst2::Bind(this, &TPMModule::VST2ModuleCreate);
  s.OnEditOpen = vst2::Bind(this, &TPMModule::VST_EditOpen);
  s.OnEditClose = vst2::Bind(this, &TPMModule::VST2ModuleEditClose);
  s.OnGetVU = vst2::Bind(this, &TPMModule::VST2ModuleGetVU);
  s.OnProcess = ProcessNoneRoutine();
  s.OnProcessReplacing = ProcessNoneRoutine();
  ApplySettings(std::move(s));
}

TPMModule::~TPMModule() = default;

vst2::TProcessAudioEvent TPMModule::ProcessNoneRoutine() { return vst2::Routine<&TPMModule::VST2ModuleProcessNone>; }
vst2::TProcessAudioEvent TPMModule::ProcessPeakRoutine() { return vst2::Routine<&TPMModule::VST2ModuleProcessPeak>; }
vst2::TProcessAudioEvent TPMModule::ProcessIIRRoutine() { return vst2::Routine<&TPMModule::VST2ModuleProcessIIR>; }

// --- Public operations --------------------------------------------------------

float TPMModule::GetLevel(std::int32_t index) const {
  if (index < 0 || index >= kChannels)
    return 0.0f;
  return FLevel[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
}

float TPMModule::IIRState(std::int32_t index) const {
  if (index < 0 || index >= kChannels)
    return 0.0f;
  return FIIRState[static_cast<std::size_t>(index)];
}

void TPMModule::SetRMSMode(bool value) {
  // Whether an editor is shown is read under the lock that the framework holds
  // while it opens or closes one, so the choice cannot go stale in between.
  std::lock_guard<std::recursive_mutex> lock(ControlLock());
  FRMSMode.store(value, std::memory_order_relaxed);
  InstallRoutine(EditorForm() != nullptr);
}

void TPMModule::SetSmoothingLength(std::int32_t value) {
  if (!IsValidSmoothingLength(value))
    return;
  std::lock_guard<std::recursive_mutex> lock(ControlLock());
  if (value == FSmoothingLength.load(std::memory_order_relaxed))
    return;
  FSmoothingLength.store(value, std::memory_order_relaxed);
  FIIRCoefficients.store(IIRCoefficientsForLength(value), std::memory_order_relaxed);
}

void TPMModule::InstallRoutine(bool measuring) {
  if (!measuring)
    SetOnProcess(ProcessNoneRoutine());
  else if (FRMSMode.load(std::memory_order_relaxed))
    SetOnProcess(ProcessIIRRoutine());
  else
    SetOnProcess(ProcessPeakRoutine());
}

// --- Processing routines --------------------------------------------------------

void TPMModule::VST2ModuleProcessNone(const float *const *inputs, float *const *outputs, std::int32_t sampleFrames) {
  PassChannelsThrough(inputs, outputs, kChannels, sampleFrames);
}

void TPMModule::VST2ModuleProcessPeak(const float *const *inputs, float *const *outputs, std::int32_t sampleFrames) {
  if (inputs != nullptr && sampleFrames > 0) {
    float left = FLevel[0].load(std::memory_order_relaxed);
    float right = FLevel[1].load(std::memory_order_relaxed);
    if (inputs[0] != nullptr && inputs[1] != nullptr) {
      FollowPeakBlockStereo(inputs[0], inputs[1], sampleFrames, left, right);
    } else {
      left = FollowPeakBlock(inputs[0], sampleFrames, left);
      right = FollowPeakBlock(inputs[1], sampleFrames, right);
    }
    FLevel[0].store(left, std::memory_order_relaxed);
    FLevel[1].store(right, std::memory_order_relaxed);
  }
  PassChannelsThrough(inputs, outputs, kChannels, sampleFrames);
}

void TPMModule::VST2ModuleProcessIIR(const float *const *inputs, float *const *outputs, std::int32_t sampleFrames) {
  if (inputs != nullptr && sampleFrames > 0) {
    const TIIRCoefficients k = FIIRCoefficients.load(std::memory_order_relaxed);
    float left = FLevel[0].load(std::memory_order_relaxed);
    float right = FLevel[1].load(std::memory_order_relaxed);
    if (inputs[0] != nullptr && inputs[1] != nullptr) {
      FollowSmoothedPeakBlockStereo(inputs[0], inputs[1], sampleFrames, k, FIIRState[0], FIIRState[1], left, right);
    } else {
      FollowSmoothedPeakBlock(inputs[0], sampleFrames, k, FIIRState[0], left);
      FollowSmoothedPeakBlock(inputs[1], sampleFrames, k, FIIRState[1], right);
    }
    FLevel[0].store(left, std::memory_order_relaxed);
    FLevel[1].store(right, std::memory_order_relaxed);
  }
  PassChannelsThrough(inputs, outputs, kChannels, sampleFrames);
}

// --- Handlers -------------------------------------------------------------------

void TPMModule::VST2ModuleCreate(vst2::TVSTModule &) { SetSmoothingLength(kDefaultSmoothingLength); }

void TPMModule::VST_EditOpen(vst2::TVSTModule &, std::unique_ptr<vst2::IEditorWindow> &gui, void *) {
  if (!FCreateEditor)
    return;
  std::unique_ptr<IMeterEditor> form;
  try {
    form = FCreateEditor();
    if (form == nullptr)
      return;
    form->SetModule(this);
    form->SetTimerEnabled(true);
  } catch (...) {
    return; // no editor: the open request answers 0 and the routine stays as it was
  }
  // The framework takes the form as EditorForm only after this handler, so the
  // measuring routine is installed here, by the mode, rather than by SetRMSMode.
  InstallRoutine(true);
  gui = std::move(form);
}

void TPMModule::VST2ModuleEditClose(vst2::TVSTModule &) {
  if (auto *form = dynamic_cast<IMeterEditor *>(EditorForm())) {
    try {
      form->SetTimerEnabled(false);
    } catch (...) {
      // The form is freed next in any case; the timer goes with it.
    }
  }
  InstallRoutine(false);
}

void TPMModule::VST2ModuleGetVU(vst2::TVSTModule &, float &) {
  // The meter reports no VU value: the host's request answers 0.
}

void TPMModule::PMModuleParameterProperties0ParameterChange(vst2::TVSTModule &, std::int32_t, float &value) {
  SetRMSMode(value >= 0.5f);
}

void TPMModule::PMModuleParameterProperties0CustomParameterDisplay(vst2::TVSTModule &, std::int32_t,
                                                                   std::string &text) {
  text = GetParameter(0) >= 0.5f ? "RMS" : "Peak";
}

} // namespace quorlin
