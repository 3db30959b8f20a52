// The dispatcher: the host's requests and the module's answers. Every request
// runs under the control lock; unknown requests answer 0.
#include <cmath>
#include <cstring>
#include <string>

#include "vst2/HostText.h"
#include "vst2/NumberText.h"
#include "vst2/VstModule.h"

namespace vst2 {
namespace {

constexpr const char *kUndefined = "undefined";

} // namespace

VstIntPtr TVSTModule::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void *ptr, float opt) {
  std::lock_guard lock(FControl);
  switch (opcode) {
  case effOpen:
    return 0;

  case effSetProgram:
  case effGetProgram:
  case effSetProgramName:
  case effGetProgramName:
  case effGetProgramNameIndexed:
    return ProgramRequest(opcode, index, value, ptr);

  case effGetParamLabel:
  case effGetParamDisplay:
  case effGetParamName:
    return TextRequest(opcode, index, ptr);

  case effGetVu: {
    if (!FSettings.OnGetVU)
      return 0;
    float vu = 0.0f;
    FSettings.OnGetVU(*this, vu);
    if (!(vu > 0.0f))
      return 0;
    return vu >= 1.0f ? 32767 : static_cast<VstIntPtr>(vu * 32767.0f);
  }

  case effSetSampleRate:
    return SetSampleRate(opt) ? 1 : 0;
  case effSetBlockSize:
    return SetBlockSize(value) ? 1 : 0;
  case effSetBlockSizeAndSampleRate: {
    const bool block = SetBlockSize(value);
    const bool rate = SetSampleRate(opt);
    return block && rate ? 1 : 0;
  }

  case effMainsChanged:
    if (value != 0)
      CallHost(audioMasterWantMidi, 0, 1);
    return 0;

  case effEditGetRect:
  case effEditOpen:
  case effEditClose:
  case effEditIdle:
    return EditorRequest(opcode, value, ptr, opt);

  case effCanBeAutomated:
    return index >= 0 && index < ParameterCount() &&
                   FSettings.ParameterProperties[static_cast<std::size_t>(index)].CanBeAutomated
               ? 1
               : 0;

  case effString2Parameter:
    return TextToParameter(index, static_cast<const char *>(ptr)) ? 1 : 0;

  case effGetInputProperties:
  case effGetOutputProperties:
  case effGetPlugCategory:
  case effGetEffectName:
  case effGetVendorString:
  case effGetProductString:
  case effGetVendorVersion:
  case effGetTailSize:
  case effKeysRequired:
  case effGetVstVersion:
    return DescriptionRequest(opcode, index, ptr);

  case effSetBypass:
    return 0;
  case effCanDo:
    return CanDo(static_cast<const char *>(ptr));
  case effGetParameterProperties:
    return 0;

  case effVendorSpecific:
    return VendorRequest(index, value, ptr, opt);

  default:
    return 0;
  }
}

// --- Programs -------------------------------------------------------------------------

VstIntPtr TVSTModule::ProgramRequest(VstInt32 opcode, VstInt32 index, VstIntPtr value, void *ptr) {
  switch (opcode) {
  case effSetProgram:
    // Checked on the full width before narrowing, so a huge value never wraps into range.
    if (value >= 0 && value < ProgramCount())
      SelectProgram(static_cast<std::int32_t>(value));
    return 0;
  case effGetProgram:
    return CurrentProgram();
  case effSetProgramName: {
    std::string name;
    if (!ReadFromHost(static_cast<const char *>(ptr), name))
      return 0;
    SetProgramName(CurrentProgram(), name);
    return 0;
  }
  case effGetProgramName:
    CopyToHost(static_cast<char *>(ptr), kVstMaxProgNameLen, ProgramName(CurrentProgram()));
    return 0;
  case effGetProgramNameIndexed:
    if (index < 0 || index >= ProgramCount() || ptr == nullptr)
      return 0;
    CopyToHost(static_cast<char *>(ptr), kVstMaxProgNameLen, ProgramName(index));
    return 1;
  default:
    return 0;
  }
}

// --- Parameter texts ----------------------------------------------------------------------

std::string TVSTModule::ParameterDisplay(std::int32_t index) {
  std::string text = FloatToText(GetParameter(index));
  const TParameterProperties &p = FSettings.ParameterProperties[static_cast<std::size_t>(index)];
  if (p.OnCustomParameterDisplay)
    p.OnCustomParameterDisplay(*this, index, text);
  return text;
}

VstIntPtr TVSTModule::TextRequest(VstInt32 opcode, VstInt32 index, void *ptr) {
  char *buffer = static_cast<char *>(ptr);
  if (buffer == nullptr)
    return 0;
  if (index < 0 || index >= ParameterCount()) {
    CopyToHost(buffer, kVstMaxParamStrLen, kUndefined);
    return 0;
  }
  const TParameterProperties &p = FSettings.ParameterProperties[static_cast<std::size_t>(index)];
  switch (opcode) {
  case effGetParamName:
    CopyToHost(buffer, kVstMaxParamStrLen, p.DisplayName);
    break;
  case effGetParamLabel:
    CopyToHost(buffer, kVstMaxParamStrLen, p.Units);
    break;
  case effGetParamDisplay:
    CopyToHost(buffer, kVstMaxParamStrLen, ParameterDisplay(index));
    break;
  default:
    break;
  }
  return 0;
}

bool TVSTModule::TextToParameter(VstInt32 index, const char *text) {
  std::string s;
  if (!ReadFromHost(text, s))
    return false;
  float value = 0.0f;
  if (!TextToFloat(s, value))
    return false;
  SetParameterAutomated(index, value);
  return true;
}

// --- Stream settings -------------------------------------------------------------------------

bool TVSTModule::SetSampleRate(float rate) {
  // A rate that is no positive finite number is refused.
  if (!(rate > 0.0f) || !std::isfinite(rate))
    return false;
  if (rate != SampleRate()) {
    FSampleRate.store(rate, std::memory_order_relaxed);
    if (FSettings.OnSampleRateChange)
      FSettings.OnSampleRateChange(*this, rate);
  }
  return true;
}

bool TVSTModule::SetBlockSize(VstIntPtr size) {
  if (size <= 0 || size > INT32_MAX)
    return false;
  FBlockSize.store(static_cast<VstInt32>(size), std::memory_order_relaxed);
  return true;
}

// --- Description -------------------------------------------------------------------------------

VstIntPtr TVSTModule::CanDo(const char *text) const {
  std::string s;
  if (!ReadFromHost(text, s))
    return 0;
  for (const std::string &own : FSettings.CanDos)
    if (own == s)
      return 1;
  for (const char *known : kPlugCanDos)
    if (s == known)
      return -1;
  return 0;
}

VstIntPtr TVSTModule::DescriptionRequest(VstInt32 opcode, VstInt32 index, void *ptr) {
  switch (opcode) {
  case effGetInputProperties:
  case effGetOutputProperties: {
    const bool input = opcode == effGetInputProperties;
    const VstInt32 pins = input ? FEffect.numInputs : FEffect.numOutputs;
    auto *props = static_cast<VstPinProperties *>(ptr);
    if (props == nullptr || index < 0 || index >= pins)
      return 0;
    const std::string number = std::to_string(index + 1);
    std::memset(props, 0, sizeof *props);
    CopyToHost(props->label, sizeof props->label, (input ? "Input #" : "Output #") + number);
    CopyToHost(props->shortLabel, sizeof props->shortLabel, (input ? "In" : "Out") + number);
    props->flags = kVstPinIsActive | kVstPinIsStereo;
    return 1;
  }
  case effGetPlugCategory:
    return FSettings.PlugCategory;
  case effGetEffectName:
    return CopyToHost(static_cast<char *>(ptr), kVstMaxEffectNameLen, FSettings.EffectName) ? 1 : 0;
  case effGetVendorString:
    return CopyToHost(static_cast<char *>(ptr), kVstMaxVendorStrLen, FSettings.VendorName) ? 1 : 0;
  case effGetProductString:
    // The product string is the effect name.
    return CopyToHost(static_cast<char *>(ptr), kVstMaxProductStrLen, FSettings.EffectName) ? 1 : 0;
  case effGetVendorVersion:
    return FSettings.VendorVersion;
  case effGetTailSize:
    return FSettings.TailSize;
  case effKeysRequired:
    return FSettings.KeysRequired ? 0 : 1;
  case effGetVstVersion:
    return FSettings.VstVersion;
  default:
    return 0;
  }
}

} // namespace vst2
