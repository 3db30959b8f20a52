// The C entries of the effect record. Each finds its module through the
// record and traps every error: nothing escapes into the host.
#include "vst2/EffectEntries.h"
#include "core/FpuGuard.h"
#include "vst2/VstModule.h"

namespace vst2 {

struct TEffectEntries {
  static VstIntPtr NIMBREL_VSTCALL Dispatcher(AEffect *effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                              void *ptr, float opt) {
    TVSTModule *module = TVSTModule::FromEffect(effect);
    if (module == nullptr)
      return 0;
    // Full x87 precision for everything a request computes in extended (the
    // parameter mapping, texts, the handlers), whatever the host's thread set.
    const nimbrel::PrecisionGuard precision;
    if (opcode == effClose) {
      // The record dies with the module; answer before nothing is left.
      ReleaseModule(module);
      return 1;
    }
    try {
      return module->Dispatch(opcode, index, value, ptr, opt);
    } catch (...) {
      return 0;
    }
  }

  static void NIMBREL_VSTCALL SetParameter(AEffect *effect, VstInt32 index, float value) {
    TVSTModule *module = TVSTModule::FromEffect(effect);
    if (module == nullptr)
      return;
    const nimbrel::PrecisionGuard precision;
    try {
      module->HostSetParameter(index, value);
    } catch (...) {
    }
  }

  static float NIMBREL_VSTCALL GetParameter(AEffect *effect, VstInt32 index) {
    TVSTModule *module = TVSTModule::FromEffect(effect);
    const nimbrel::PrecisionGuard precision;
    return module == nullptr ? 0.0f : module->HostGetParameter(index);
  }

  // The accumulating entry runs the routine too; the routine overwrites the
  // outputs, so both entries behave alike.
  static void NIMBREL_VSTCALL ProcessAccumulating(AEffect *effect, float **inputs, float **outputs,
                                                  VstInt32 frames) {
    if (TVSTModule *module = TVSTModule::FromEffect(effect))
      module->Process(inputs, outputs, frames, false);
  }

  static void NIMBREL_VSTCALL ProcessReplacing(AEffect *effect, float **inputs, float **outputs, VstInt32 frames) {
    if (TVSTModule *module = TVSTModule::FromEffect(effect))
      module->Process(inputs, outputs, frames, true);
  }

  static void Install(AEffect &effect) {
    effect.dispatcher = &Dispatcher;
    effect.setParameter = &SetParameter;
    effect.getParameter = &GetParameter;
    effect.process = &ProcessAccumulating;
    effect.processReplacing = &ProcessReplacing;
    effect.processDoubleReplacing = nullptr;
  }
};

void detail::InstallEffectEntries(AEffect &effect) { TEffectEntries::Install(effect); }

} // namespace vst2
