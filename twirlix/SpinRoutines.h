#pragma once
// The ten spin processing routines, one per process type. Each runs a whole
// block: per frame it reads both input samples, advances the LFO one step,
// feeds one or two phase splitters, multiplies the splitter outputs by the
// LFO's cosine and sine, and mixes the products with the dry input. The
// process type is fixed by which routine runs, never tested per frame.
//
// All input samples of a frame are read before its outputs are written, so the
// outputs may be the very input buffers. A block of 0 or fewer frames reads and
// writes nothing and leaves the LFO where it is.
//
// The routines know nothing of hosts or threads; they expect both splitters to
// exist and to hold at least one coefficient.
#include <cstdint>

#include "dsp/PhaseHalfPi.h"
#include "twirlix/Lfo.h"

namespace nimbrel::twirlix {

// What a routine works on: the two splitters, the LFO rotator and its step.
struct TSpinVoice {
  nimbrel::dsp::TPhaseHalfPi *PhaseSplitter1 = nullptr;
  nimbrel::dsp::TPhaseHalfPi *PhaseSplitter2 = nullptr;
  TLfo Lfo;
  TLfoStep Step;
};

// inputs[0], inputs[1]: left and right input; outputs likewise.
using TSpinRoutine = void (*)(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes);

void VST2ModuleProcessStereoA(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes);
void VST2ModuleProcessStereoB(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes);
void VST2ModuleProcessStereoC(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes);
void VST2ModuleProcessStereoD(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes);
void VST2ModuleProcessMono(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                           std::int32_t sampleframes);
void VST2ModuleProcessMonoL(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                            std::int32_t sampleframes);
void VST2ModuleProcessMonoR(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                            std::int32_t sampleframes);
void VST2ModuleProcessMS(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                         std::int32_t sampleframes);
void VST2ModuleProcessSpecial(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes);
void VST2ModuleProcessOldOne(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                             std::int32_t sampleframes);

inline constexpr int kFirstProcessType = 1;
inline constexpr int kLastProcessType = 10;
inline constexpr int kMonoProcessType = 5;

// The routine of process type 1..10 ("stereo a" .. "old one"); null otherwise.
TSpinRoutine RoutineOfProcessType(int processType);

} // namespace nimbrel::twirlix
