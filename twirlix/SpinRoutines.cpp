// The arithmetic between the rounding points is extended; Single() and Double()
// mark the points where each mix rounds by design.
#include "twirlix/SpinRoutines.h"

#include "core/Extended.h"
#include "twirlix/Saturators.h"

namespace nimbrel::twirlix {
namespace {

using ext = nimbrel::extended;

inline float Single(ext v) { return static_cast<float>(v); }
inline double Double(ext v) { return static_cast<double>(v); }

// <p * m>: a splitter output times an LFO factor, rounded to single.
inline float Modulate(float p, double m) { return Single(ext(p) * m); }

// The frame loop shared by all routines: read L and R, advance the LFO, let
// `frame` compute the two outputs, store left then right.
template <bool kSingleSine, class Frame>
inline void RunFrames(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                      std::int32_t sampleframes, Frame frame) {
  if (sampleframes <= 0)
    return;
  const float *inL = inputs[0];
  const float *inR = inputs[1];
  float *outL = outputs[0];
  float *outR = outputs[1];
  for (std::int32_t i = 0; i < sampleframes; ++i) {
    const float L = inL[i];
    const float R = inR[i];
    voice.Lfo.Advance<kSingleSine>(voice.Step);
    float left, right;
    frame(L, R, left, right);
    outL[i] = left;
    outR[i] = right;
  }
}

// The four-term mixes: the bracketed partial sum is rounded to single before
// the second half is added.
struct TFourTerms {
  float P1, Q1, P2, Q2;
};

// "stereo a" and "special".
inline void MixA(const TFourTerms &t, float L, float R, float &left, float &right) {
  left = Single((ext(Single(ext(t.P1) + t.Q1 + L)) + t.P2 - t.Q2 + R) * ext(0.25));
  right = Single((ext(Single(ext(t.P1) - t.Q1 + L)) + t.P2 + t.Q2 + R) * ext(0.25));
}

// "stereo b", "stereo d" and "m+s".
inline void MixB(const TFourTerms &t, float L, float R, float &left, float &right) {
  left = Single((ext(Single(ext(t.P1) + t.Q1 + L)) + t.P2 + t.Q2 + R) * ext(0.25));
  right = Single((ext(Single(ext(t.P1) - t.Q1 + L)) + t.P2 - t.Q2 + R) * ext(0.25));
}

// Two splitter calls, both pairs modulated by (m, Sn).
inline TFourTerms TwoPairs(nimbrel::dsp::TPhaseHalfPi &first, float in1, nimbrel::dsp::TPhaseHalfPi &second,
                           float in2, double m, double sn) {
  float p1, q1, p2, q2;
  first.ProcessSample(in1, p1, q1);
  second.ProcessSample(in2, p2, q2);
  return {Modulate(p1, m), Modulate(q1, sn), Modulate(p2, m), Modulate(q2, sn)};
}

} // namespace

void VST2ModuleProcessStereoA(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, L, *voice.PhaseSplitter2, R, voice.Lfo.LfoCos,
                                  voice.Lfo.LfoSin);
    MixA(t, L, R, left, right);
  });
}

void VST2ModuleProcessStereoB(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, L, *voice.PhaseSplitter2, R, voice.Lfo.LfoCos,
                                  voice.Lfo.LfoSin);
    MixB(t, L, R, left, right);
  });
}

void VST2ModuleProcessStereoC(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, L, *voice.PhaseSplitter2, R, voice.Lfo.LfoCos,
                                  voice.Lfo.LfoSin);
    left = Single((ext(t.P1) + t.Q1 + L) * ext(0.5));
    right = Single((ext(t.P2) - t.Q2 + R) * ext(0.5));
  });
}

void VST2ModuleProcessStereoD(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const ext sn = voice.Lfo.LfoSin;
    // The cosine of twice the LFO phase.
    const double m = Double(ext(1) - (ext(2) * sn) * sn);
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, L, *voice.PhaseSplitter2, R, m, voice.Lfo.LfoSin);
    MixB(t, L, R, left, right);
  });
}

void VST2ModuleProcessMono(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                           std::int32_t sampleframes) {
  RunFrames<true>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    float p1, q1;
    voice.PhaseSplitter1->ProcessSample(Single((ext(L) + R) * ext(0.5)), p1, q1);
    const float P1 = Modulate(p1, voice.Lfo.LfoCos);
    const float Q1 = Modulate(q1, voice.Lfo.LfoSin);
    left = Single((ext(P1) + Q1 + L) * ext(0.5));
    right = Single((ext(P1) - Q1 + R) * ext(0.5));
  });
}

void VST2ModuleProcessMonoL(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                            std::int32_t sampleframes) {
  RunFrames<true>(voice, inputs, outputs, sampleframes, [&voice](float L, float, float &left, float &right) {
    float p1, q1;
    voice.PhaseSplitter1->ProcessSample(L, p1, q1);
    const float P1 = Modulate(p1, voice.Lfo.LfoCos);
    const float Q1 = Modulate(q1, voice.Lfo.LfoSin);
    left = Single((ext(P1) + Q1 + L) * ext(0.5));
    right = Single((ext(P1) - Q1 + L) * ext(0.5));
  });
}

// The right input feeds the splitter; the left one is the dry term of both outputs.
void VST2ModuleProcessMonoR(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                            std::int32_t sampleframes) {
  RunFrames<true>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    float p1, q1;
    voice.PhaseSplitter1->ProcessSample(R, p1, q1);
    const float P1 = Modulate(p1, voice.Lfo.LfoCos);
    const float Q1 = Modulate(q1, voice.Lfo.LfoSin);
    left = Single((ext(P1) + Q1 + L) * ext(0.5));
    right = Single((ext(P1) - Q1 + L) * ext(0.5));
  });
}

void VST2ModuleProcessMS(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                         std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const float mid = Single((ext(L) + R) * ext(0.5));
    const float side = Single((ext(L) - R) * ext(0.5));
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, mid, *voice.PhaseSplitter2, side, voice.Lfo.LfoCos,
                                  voice.Lfo.LfoSin);
    MixB(t, L, R, left, right);
  });
}

// The first splitter takes both streams in turn (L, then -R), so each stream
// always meets the same one of its two state sets; the second is not used.
void VST2ModuleProcessSpecial(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                              std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, L, *voice.PhaseSplitter1, -R, voice.Lfo.LfoCos,
                                  voice.Lfo.LfoSin);
    MixA(t, L, R, left, right);
  });
}

// Saturated splitter inputs, dry terms unsaturated; the right output's partial
// sum takes R and adds L afterwards.
void VST2ModuleProcessOldOne(TSpinVoice &voice, const float *const *inputs, float *const *outputs,
                             std::int32_t sampleframes) {
  RunFrames<false>(voice, inputs, outputs, sampleframes, [&voice](float L, float R, float &left, float &right) {
    const float in1 = RationalClip3(Single(ext(2.1L) * L));
    const float in2 = Single(RationalClip2(Single(ext(2.2L) * R)));
    const TFourTerms t = TwoPairs(*voice.PhaseSplitter1, in1, *voice.PhaseSplitter2, in2, voice.Lfo.LfoCos,
                                  voice.Lfo.LfoSin);
    left = Single((ext(Single(ext(t.P1) + t.Q1 + L)) + t.P2 + t.Q2 + R) * ext(0.25));
    right = Single((ext(Single(ext(t.P1) - t.Q1 + R)) + t.P2 - t.Q2 + L) * ext(0.25));
  });
}

TSpinRoutine RoutineOfProcessType(int processType) {
  static constexpr TSpinRoutine kRoutines[] = {
      VST2ModuleProcessStereoA, VST2ModuleProcessStereoB, VST2ModuleProcessStereoC, VST2ModuleProcessStereoD,
      VST2ModuleProcessMono,    VST2ModuleProcessMonoL,   VST2ModuleProcessMonoR,   VST2ModuleProcessMS,
      VST2ModuleProcessSpecial, VST2ModuleProcessOldOne,
  };
  if (processType < kFirstProcessType || processType > kLastProcessType)
    return nullptr;
  return kRoutines[processType - kFirstProcessType];
}

} // namespace nimbrel::twirlix
