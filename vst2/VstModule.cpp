// The module's state: construction, parameters, programs, host connection.
#include "vst2/VstModule.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/Extended.h"
#include "core/FpuGuard.h"
#include "vst2/EffectEntries.h"
#include "vst2/HostText.h"

namespace vst2 {
namespace {

constexpr std::size_t kMaxDisplayNameChars = 30;
constexpr std::size_t kMaxUnitsChars = 8;
constexpr std::size_t kMaxProgramNameChars = 50;

} // namespace


TVSTModule::TVSTModule() {
  FEffect.magic = kEffectMagic;
  FEffect.numPrograms = 0;
  FEffect.numParams = 0;
  FEffect.numInputs = 2;
  FEffect.numOutputs = 2;
  FEffect.ioRatio = 1.0f;
  FEffect.object = this;
  FEffect.version = 1;
  detail::InstallEffectEntries(FEffect);
}

TVSTModule::~TVSTModule() = default;

TVSTModule *TVSTModule::FromEffect(AEffect *effect) {
  if (effect == nullptr || effect->magic != kEffectMagic || effect->object == nullptr)
    return nullptr;
  return static_cast<TVSTModule *>(effect->object);
}

void TVSTModule::ApplySettings(TModuleSettings settings) {
  std::lock_guard lock(FControl);
  FSettings = std::move(settings);
  for (auto &p : FSettings.ParameterProperties) {
    p.DisplayName = Truncated(p.DisplayName, kMaxDisplayNameChars);
    p.Units = Truncated(p.Units, kMaxUnitsChars);
  }
  const std::size_t programs = FSettings.Programs.size();
  const std::size_t params = FSettings.ParameterProperties.size();
  FProgramNames.clear();
  for (const auto &prog : FSettings.Programs)
    FProgramNames.push_back(Truncated(prog.DisplayName, kMaxProgramNameChars));
  FCurrentValues = std::make_unique<std::atomic<float>[]>(params);
  FProgramValues = std::make_unique<std::atomic<float>[]>(programs * params);
  for (std::size_t i = 0; i < params; ++i)
    FCurrentValues[i].store(0.0f, std::memory_order_relaxed);
  for (std::size_t i = 0; i < programs * params; ++i)
    FProgramValues[i].store(0.0f, std::memory_order_relaxed);

  FEffect.flags = FSettings.Flags;
  FEffect.uniqueID = FSettings.UniqueID;
  FEffect.numPrograms = static_cast<VstInt32>(programs);
  FEffect.numParams = static_cast<VstInt32>(params);
  FEffect.numInputs = FSettings.NumInputs;
  FEffect.numOutputs = FSettings.NumOutputs;
  FEffect.initialDelay = FSettings.InitialDelay;
  FSampleRate.store(FSettings.SampleRate, std::memory_order_relaxed);
  FBlockSize.store(FSettings.BlockSize, std::memory_order_relaxed);
  FOnProcess.store(FSettings.OnProcess, std::memory_order_release);
  FOnProcessReplacing.store(FSettings.OnProcessReplacing, std::memory_order_release);

  // Program values are still all zero here: every change handler sees 0 once.
  SelectProgram(FSettings.CurrentProgram);
  RaiseLifecycle(FSettings.OnInitialize);
  RaiseLifecycle(FSettings.OnCreate);
}

void TVSTModule::RaiseLifecycle(const TNotifyEvent &event) noexcept {
  if (!event)
    return;
  try {
    event(*this);
  } catch (...) {
    // Lifecycle handlers carry on silently.
  }
}

void TVSTModule::Shutdown() noexcept {
  std::lock_guard lock(FControl);
  if (FShutDown)
    return;
  FShutDown = true;
  RaiseLifecycle(FSettings.OnDestroy);
  FEditorForm.reset();
}

void ReleaseModule(TVSTModule *module) noexcept {
  if (module == nullptr)
    return;
  module->Shutdown();
  delete module;
}

// --- Host connection -------------------------------------------------------------

void TVSTModule::KeepHost(HostCallback host) { FHost.store(host, std::memory_order_release); }

void TVSTModule::Connect(HostCallback host) {
  KeepHost(host);
  if (CallHost(audioMasterVersion) == 0)
    throw EVstError(kAudioMasterError);
}

VstIntPtr TVSTModule::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void *ptr, float opt) {
  const HostCallback host = FHost.load(std::memory_order_acquire);
  if (host == nullptr)
    return 0;
  try {
    return host(&FEffect, opcode, index, value, ptr, opt);
  } catch (...) {
    return 0; // a host callback that throws is treated as no answer
  }
}

// --- Parameters --------------------------------------------------------------------

const TParameterProperties &TVSTModule::ParameterProperties(std::int32_t index) const {
  if (index < 0 || index >= ParameterCount())
    throw EVstError(kIndexOutOfBounds);
  return FSettings.ParameterProperties[static_cast<std::size_t>(index)];
}

float TVSTModule::GetParameter(std::int32_t index) const {
  if (index < 0 || index >= ParameterCount())
    return 0.0f;
  return FCurrentValues[static_cast<std::size_t>(index)].load(std::memory_order_relaxed);
}

float TVSTModule::HostToParameter(std::int32_t index, float normalized) const {
  const TParameterProperties &p = ParameterProperties(index);
  const nimbrel::extended min = p.Min, max = p.Max;
  return static_cast<float>(min + static_cast<nimbrel::extended>(normalized) * (max - min));
}

float TVSTModule::ParameterToHost(std::int32_t index, float value) const {
  if (index < 0 || index >= ParameterCount())
    return 0.0f;
  const TParameterProperties &p = FSettings.ParameterProperties[static_cast<std::size_t>(index)];
  const nimbrel::extended min = p.Min, max = p.Max;
  if (max == min)
    return 0.0f;
  const float q = static_cast<float>((static_cast<nimbrel::extended>(value) - min) / (max - min));
  if (std::isnan(q))
    return 0.0f;
  return q < 0.0f ? 0.0f : (q > 1.0f ? 1.0f : q);
}

void TVSTModule::StoreParameter(std::int32_t index, float value) {
  FCurrentValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
  const std::int32_t prog = CurrentProgram();
  if (FSettings.OverwritePrograms && prog >= 0 && prog < ProgramCount())
    ProgramSlot(prog, index).store(value, std::memory_order_relaxed);
}

// The parameter's handler, then the module-level one; each receives the stored
// value by reference and a change it makes is stored back.
void TVSTModule::RunParameterHandlers(std::int32_t index, float value) {
  const TParameterProperties &p = FSettings.ParameterProperties[static_cast<std::size_t>(index)];
  const TParameterChangeEvent *handlers[] = {&p.OnParameterChange, &FSettings.OnParameterChange};
  for (const TParameterChangeEvent *handler : handlers) {
    if (!*handler)
      continue;
    float stored = value;
    (*handler)(*this, index, stored);
    if (!(stored == value) && !(std::isnan(stored) && std::isnan(value)))
      StoreParameter(index, stored);
    value = stored;
  }
}

void TVSTModule::SetParameter(std::int32_t index, float value) {
  std::lock_guard lock(FControl);
  if (FInParameterSet)
    return;
  FInParameterSet = true;
  struct Clear {
    TVSTModule &m;
    ~Clear() {
      m.MarkEditorForRepaint();
      m.FInParameterSet = false;
    }
  } clear{*this};
  if (index < 0 || index >= ParameterCount())
    throw EVstError(kIndexOutOfBounds);
  StoreParameter(index, value);
  RunParameterHandlers(index, value);
}

void TVSTModule::SetParameterAutomated(std::int32_t index, float value) {
  std::lock_guard lock(FControl);
  if (index >= ParameterCount())
    return;
  if (FSettings.AutomationStyle == TAutomationStyle::asSetThenNotify) {
    SetParameter(index, value);
    if (index >= 0 && FSettings.ParameterProperties[static_cast<std::size_t>(index)].CanBeAutomated)
      CallHost(audioMasterAutomate, index, 0, nullptr, ParameterToHost(index, value));
    return;
  }
  // Guarded as a whole: store, notice, handlers, repaint mark.
  if (FInParameterSet)
    return;
  if (index < 0)
    throw EVstError(kIndexOutOfBounds);
  FInParameterSet = true;
  struct Clear {
    TVSTModule &m;
    ~Clear() {
      m.MarkEditorForRepaint();
      m.FInParameterSet = false;
    }
  } clear{*this};
  StoreParameter(index, value);
  if (FSettings.ParameterProperties[static_cast<std::size_t>(index)].CanBeAutomated)
    CallHost(audioMasterAutomate, index, 0, nullptr, ParameterToHost(index, value));
  RunParameterHandlers(index, value);
}

// A value arriving from the host (set-parameter entry, program selection), by
// the path the automation style prescribes.
void TVSTModule::ApplyParameterFromHost(std::int32_t index, float value) {
  if (FSettings.AutomationStyle == TAutomationStyle::asNotifyThenHandle)
    SetParameterAutomated(index, value);
  else
    SetParameter(index, value);
}

void TVSTModule::HostSetParameter(VstInt32 index, float normalized) {
  // An index outside the list and a value that is no number are ignored.
  if (index < 0 || index >= ParameterCount() || !std::isfinite(normalized))
    return;
  std::lock_guard lock(FControl);
  ApplyParameterFromHost(index, HostToParameter(index, normalized));
}

float TVSTModule::HostGetParameter(VstInt32 index) { return ParameterToHost(index, GetParameter(index)); }

// --- Programs -------------------------------------------------------------------------

std::atomic<float> &TVSTModule::ProgramSlot(std::int32_t program, std::int32_t index) const {
  return FProgramValues[static_cast<std::size_t>(program) * FSettings.ParameterProperties.size() +
                        static_cast<std::size_t>(index)];
}

void TVSTModule::SetProgramValue(std::int32_t program, std::int32_t index, float value) {
  if (program < 0 || program >= ProgramCount() || index < 0 || index >= ParameterCount())
    throw EVstError(kIndexOutOfBounds);
  ProgramSlot(program, index).store(value, std::memory_order_relaxed);
  // The current program's values are the current parameter values, unless the
  // module keeps its programs apart from them (OverwritePrograms off).
  if (FSettings.OverwritePrograms && program == CurrentProgram())
    FCurrentValues[static_cast<std::size_t>(index)].store(value, std::memory_order_relaxed);
}

float TVSTModule::ProgramValue(std::int32_t program, std::int32_t index) const {
  if (program < 0 || program >= ProgramCount() || index < 0 || index >= ParameterCount())
    throw EVstError(kIndexOutOfBounds);
  return ProgramSlot(program, index).load(std::memory_order_relaxed);
}

std::string TVSTModule::ProgramName(std::int32_t program) const {
  std::lock_guard lock(FControl);
  if (program < 0 || program >= ProgramCount())
    return {};
  return FProgramNames[static_cast<std::size_t>(program)];
}

void TVSTModule::SetProgramName(std::int32_t program, const std::string &name) {
  std::lock_guard lock(FControl);
  if (program < 0 || program >= ProgramCount())
    return;
  FProgramNames[static_cast<std::size_t>(program)] = Truncated(name, kMaxProgramNameChars);
}

bool TVSTModule::SelectProgram(std::int32_t program) {
  std::lock_guard lock(FControl);
  if (program < 0 || program >= ProgramCount() || program == CurrentProgram())
    return false;
  FCurrentProgram.store(program, std::memory_order_release);
  try {
    for (std::int32_t i = 0; i < ParameterCount(); ++i)
      ApplyParameterFromHost(i, ProgramSlot(program, i).load(std::memory_order_relaxed));
  } catch (...) {
    // The first failure ends the application; the program stays current.
  }
  MarkEditorForRepaint();
  CallHost(audioMasterUpdateDisplay);
  return true;
}

// --- Audio ------------------------------------------------------------------------------

void TVSTModule::SetOnProcess(TProcessAudioEvent routine) {
  SetOnProcessAccumulating(routine);
  SetOnProcessReplacing(routine);
}

void TVSTModule::Process(float **inputs, float **outputs, VstInt32 frames, bool replacing) noexcept {
  if (frames <= 0 || inputs == nullptr || outputs == nullptr)
    return;
  // Every routine runs with flush-to-zero, denormals-are-zero and full x87
  // precision, whatever the host thread set; the host's state is back on return.
  const nimbrel::AudioFpuGuard fpu;
  for (VstInt32 c = 0; c < FEffect.numInputs; ++c)
    if (inputs[c] == nullptr)
      return;
  for (VstInt32 c = 0; c < FEffect.numOutputs; ++c)
    if (outputs[c] == nullptr)
      return;
  const TProcessAudioEvent routine = replacing ? OnProcessReplacing() : OnProcess();
  if (routine == nullptr) {
    // No routine yet: a replacing call still owes the host defined output.
    if (replacing)
      for (VstInt32 c = 0; c < FEffect.numOutputs; ++c)
        std::fill_n(outputs[c], frames, 0.0f);
    return;
  }
  try {
    routine(*this, inputs, outputs, frames);
  } catch (...) {
    // Nothing escapes into the host.
  }
}

} // namespace vst2
