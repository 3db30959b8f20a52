#include "twirlix/TwirlixModule.h"

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/FpuGuard.h"
#include "twirlix/FactoryPrograms.h"
#include "twirlix/SpinTexts.h"
#include "twirlix/WholeNumber.h"

namespace nimbrel::twirlix {
namespace {

// TBW range: 1.0E-7 and 0.5 - 3 * 2^-25, as the exact single-precision values.
constexpr float kTbwMin = std::bit_cast<float>(0x33D6BF95u);
constexpr float kTbwMax = std::bit_cast<float>(0x3EFFFFFDu);
constexpr float kStartTransitionBandwidth = 0.01f;
constexpr float kStartCoefficients = 8.0f;

} // namespace

TTwirlixModule::TTwirlixModule() {
  vst2::TModuleSettings s;
  s.Flags = vst2::effFlagsHasEditor | vst2::effFlagsCanMono | vst2::effFlagsCanReplacing;
  s.Version = "1.1";
  s.EffectName = "Twirlix";
  s.ProductName = "Twirlix";
  s.VendorName = "NimbrelAudio";
  s.VendorVersion = 1;
  s.PlugCategory = vst2::kPlugCategEffect;
  s.TailSize = 0;
  s.CanDos = {"plugAsChannelInsert", "plugAsSend", "2in2out"};
  s.SampleRate = 44100.0f;
  s.CurrentProgram = 0;
  s.CurrentProgramName = "Mono Spin";
  s.KeysRequired = false;
  s.UniqueID = vst2::FourCC('T', 'w', 'r', 'X');
  s.NumInputs = 2;
  s.NumOutputs = 2;

  for (const TFactoryProgram &program : kFactoryPrograms)
    s.Programs.push_back({program.Name});

  s.ParameterProperties = {
      {.DisplayName = "Coefficients",
       .Units = "",
       .Min = 1.0f,
       .Max = 32.0f,
       .OnParameterChange = vst2::Bind(this, &TTwirlixModule::TwirlixModuleParameterProperties0ParameterChange),
       .OnCustomParameterDisplay =
           vst2::Bind(this, &TTwirlixModule::TwirlixModuleParameterProperties0CustomParameterDisplay)},
      {.DisplayName = "Process Type",
       .Units = "",
       .Min = 1.0f,
       .Max = 10.0f,
       .OnParameterChange = vst2::Bind(this, &TTwirlixModule::TwirlixModuleParameterProperties1ParameterChange),
       .OnCustomParameterDisplay =
           vst2::Bind(this, &TTwirlixModule::TwirlixModuleParameterProperties1CustomParameterDisplay)},
      {.DisplayName = "LFO Speed",
       .Units = "Hz",
       .Min = 0.0f,
       .Max = 13.0f,
       .OnParameterChange = vst2::Bind(this, &TTwirlixModule::TwirlixModuleParameterProperties2ParameterChange)},
      {.DisplayName = "TBW",
       .Units = "Rad",
       .Min = kTbwMin,
       .Max = kTbwMax,
       .OnParameterChange = vst2::Bind(this, &TTwirlixModule::TwirlixModuleParameterProperties3ParameterChange)},
  };

  s.OnCreate = vst2::Bind(this, &TTwirlixModule::VST2ModuleCreate);
  s.OnDestroy = vst2::Bind(this, &TTwirlixModule::VST2ModuleDestroy);
  s.OnInitialize = vst2::Bind(this, &TTwirlixModule::VST2ModuleInitialize);
  s.OnEditOpen = vst2::Bind(this, &TTwirlixModule::VST_EditOpen);
  s.OnSampleRateChange = vst2::Bind(this, &TTwirlixModule::VST2ModuleSampleRateChange);
  s.OnProcess = s.OnProcessReplacing = vst2::Routine<&TTwirlixModule::ProcessBlock>;
  ApplySettings(std::move(s));
}

TTwirlixModule::~TTwirlixModule() = default;

ITwirlixEditorView *TTwirlixModule::OpenView() const {
  return EditorForm() != nullptr ? view_.load(std::memory_order_acquire) : nullptr;
}

// --- Lifecycle --------------------------------------------------------------------

void TTwirlixModule::VST2ModuleCreate(vst2::TVSTModule &) {
  try {
    engine_.CreateSplitters();
    control_.SetTransitionBandwidth(kStartTransitionBandwidth);
    SetParameterAutomated(kParamCoefficients, kStartCoefficients);
    control_.ChangeProcessType(static_cast<float>(kMonoProcessType));
  } catch (...) {
    // The remaining steps are skipped; the LFO still gets its start values.
  }
  control_.ResetLfo();
}

void TTwirlixModule::VST2ModuleDestroy(vst2::TVSTModule &) { engine_.DestroySplitters(); }

void TTwirlixModule::VST2ModuleInitialize(vst2::TVSTModule &) {
  try {
    for (int p = 0; p < kProgramCount; ++p)
      for (int i = 0; i < kParameterCount; ++i)
        SetProgramValue(p, i, kFactoryPrograms[static_cast<std::size_t>(p)].Values[static_cast<std::size_t>(i)]);
  } catch (...) {
    // The programs not reached keep their zeros.
  }
}

void TTwirlixModule::VST2ModuleSampleRateChange(vst2::TVSTModule &, float) {
  // The framework has already stored the new rate; SetLfoSpeed reads it.
  SetLfoSpeed(GetParameter(kParamLfoSpeed));
}

void TTwirlixModule::VST_EditOpen(vst2::TVSTModule &, std::unique_ptr<vst2::IEditorWindow> &gui,
                                  void *parentWindow) {
  gui = CreateTwirlixEditor(*this, parentWindow);
}

// --- Change handlers --------------------------------------------------------------

void TTwirlixModule::SetLfoSpeed(float x) {
  const std::optional<float> f = control_.SetLfoSpeed(x, SampleRate());
  if (!f)
    return;
  if (ITwirlixEditorView *view = OpenView())
    view->ShowLfoSpeed(x, *f);
}

void TTwirlixModule::TwirlixModuleParameterProperties0ParameterChange(vst2::TVSTModule &, std::int32_t,
                                                                      float &value) {
  const std::optional<std::int32_t> n = control_.ChangeCoefficients(value);
  if (!n)
    return;
  if (ITwirlixEditorView *view = OpenView())
    view->ShowCoefficientCount(*n);
}

void TTwirlixModule::TwirlixModuleParameterProperties1ParameterChange(vst2::TVSTModule &, std::int32_t,
                                                                      float &value) {
  const std::optional<std::int32_t> m = control_.ChangeProcessType(value);
  if (!m)
    return;
  if (ITwirlixEditorView *view = OpenView())
    view->ShowProcessType(*m);
}

void TTwirlixModule::TwirlixModuleParameterProperties2ParameterChange(vst2::TVSTModule &, std::int32_t,
                                                                      float &value) {
  SetLfoSpeed(value);
}

void TTwirlixModule::TwirlixModuleParameterProperties3ParameterChange(vst2::TVSTModule &, std::int32_t,
                                                                      float &value) {
  control_.ChangeTransitionBandwidth(value, GetParameter(kParamCoefficients));
}

// --- Display handlers ---------------------------------------------------------------

// The stored count as a whole number. A non-finite value keeps the framework's
// text ("NAN", "INF").
void TTwirlixModule::TwirlixModuleParameterProperties0CustomParameterDisplay(vst2::TVSTModule &, std::int32_t,
                                                                             std::string &text) {
  const double n = RoundHalfEven(GetParameter(kParamCoefficients));
  if (!std::isfinite(n))
    return;
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.0f", n + 0.0); // + 0.0: no "-0"
  text = buffer;
}

// The name of the stored type; empty for a value that rounds outside 0..10.
void TTwirlixModule::TwirlixModuleParameterProperties1CustomParameterDisplay(vst2::TVSTModule &, std::int32_t,
                                                                             std::string &text) {
  std::string name;
  if (const std::optional<std::int32_t> m =
          RoundedWithin(GetParameter(kParamProcessType), std::numeric_limits<std::int32_t>::min(),
                        std::numeric_limits<std::int32_t>::max()))
    ProcessTypeName(*m, name);
  text = name;
}

// --- Audio --------------------------------------------------------------------------

// The framework's process entries already run every routine under the audio
// floating-point guard (full x87 precision, flush-to-zero).
void TTwirlixModule::ProcessBlock(const float *const *inputs, float *const *outputs, std::int32_t sampleframes) {
  engine_.ProcessBlock(inputs, outputs, sampleframes);
}

} // namespace nimbrel::twirlix
