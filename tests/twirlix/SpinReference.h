#pragma once
// An independent, deliberately plain model of the spin processing written from
// the formulas: one loop with a switch on the process type per frame, every
// rounding point spelled out as a cast. It uses the real phase splitter, so a
// comparison with the plug-in checks the engine's LFO, routing, modulation and
// mixes bit for bit.
#include <cmath>
#include <cstdint>
#include <vector>

#include "dsp/PhaseHalfPi.h"

namespace spintest {

using ld = long double;

struct SpinReference {
  nimbrel::dsp::TPhaseHalfPi split1, split2;
  double stepCos = 1.0, stepSin = 0.0;
  double lfoSin = 0.0, lfoCos = 1.0;
  int type = 5;

  SpinReference() = default;
  // Designed for `count` at TBW 0.01, process type `type`, LFO speed `speed` at 44100 Hz.
  SpinReference(int count, int processType, float speed, float sampleRate = 44100.0f) : type(processType) {
    Design(count, 0.01f);
    Speed(speed, sampleRate);
  }

  void Design(int count, float tbw) {
    const double t = static_cast<double>(static_cast<ld>(tbw) / count);
    split1.SetCoefficientsByTransition(count, t);
    split2.SetCoefficientsByTransition(count, t);
  }

  void Speed(float x, float sampleRate) {
    const float f = static_cast<float>((expl(0.053319013L * static_cast<ld>(x)) - 1.0L) * 13.0L);
    const double w = static_cast<double>(static_cast<ld>(f) / static_cast<ld>(sampleRate) * 2.0L *
                                         3.14159265358979323846264338327950288L);
    stepCos = static_cast<double>(cosl(static_cast<ld>(w)));
    stepSin = static_cast<double>(sinl(static_cast<ld>(w)));
  }

  static float ClipThree(float x) {
    const float a = fabsf(x);
    const float b = static_cast<float>((3.0L + a) * a + 6.0L);
    return static_cast<float>(static_cast<ld>(x) * b / (static_cast<ld>(a) * b + 12.0L));
  }
  static ld ClipTwo(float x) {
    const ld a = fabsl(static_cast<ld>(x));
    return static_cast<ld>(x) * (3.0L + a) / ((3.0L + a) * a + 6.0L);
  }

  void Run(const float *inL, const float *inR, float *outL, float *outR, int frames) {
    for (int i = 0; i < frames; ++i) {
      const float L = inL[i], R = inR[i];
      const bool mono = type >= 5 && type <= 7;
      const ld s = lfoSin, c = lfoCos;
      const ld t = static_cast<ld>(stepCos) * s - static_cast<ld>(stepSin) * c;
      lfoCos = static_cast<double>(static_cast<ld>(stepSin) * s + static_cast<ld>(stepCos) * c);
      lfoSin = mono ? static_cast<double>(static_cast<float>(t)) : static_cast<double>(t);
      const ld sn = lfoSin, cn = lfoCos;

      float p1 = 0, q1 = 0, p2 = 0, q2 = 0;
      switch (type) {
      case 1: case 2: case 3: case 4:
        split1.ProcessSample(L, p1, q1);
        split2.ProcessSample(R, p2, q2);
        break;
      case 5: split1.ProcessSample(static_cast<float>((static_cast<ld>(L) + R) * 0.5L), p1, q1); break;
      case 6: split1.ProcessSample(L, p1, q1); break;
      case 7: split1.ProcessSample(R, p1, q1); break;
      case 8:
        split1.ProcessSample(static_cast<float>((static_cast<ld>(L) + R) * 0.5L), p1, q1);
        split2.ProcessSample(static_cast<float>((static_cast<ld>(L) - R) * 0.5L), p2, q2);
        break;
      case 9:
        split1.ProcessSample(L, p1, q1);
        split1.ProcessSample(-R, p2, q2);
        break;
      case 10:
        split1.ProcessSample(ClipThree(static_cast<float>(2.1L * L)), p1, q1);
        split2.ProcessSample(static_cast<float>(ClipTwo(static_cast<float>(2.2L * R))), p2, q2);
        break;
      }
      const ld m = type == 4 ? static_cast<ld>(static_cast<double>(1.0L - 2.0L * sn * sn)) : cn;
      const ld P1 = static_cast<float>(p1 * m), Q1 = static_cast<float>(q1 * sn);
      const ld P2 = static_cast<float>(p2 * m), Q2 = static_cast<float>(q2 * sn);
      ld left = 0, right = 0;
      switch (type) {
      case 1: case 9:
        left = (static_cast<float>(P1 + Q1 + L) + P2 - Q2 + R) * 0.25L;
        right = (static_cast<float>(P1 - Q1 + L) + P2 + Q2 + R) * 0.25L;
        break;
      case 2: case 4: case 8:
        left = (static_cast<float>(P1 + Q1 + L) + P2 + Q2 + R) * 0.25L;
        right = (static_cast<float>(P1 - Q1 + L) + P2 - Q2 + R) * 0.25L;
        break;
      case 3:
        left = (P1 + Q1 + L) * 0.5L;
        right = (P2 - Q2 + R) * 0.5L;
        break;
      case 5:
        left = (P1 + Q1 + L) * 0.5L;
        right = (P1 - Q1 + R) * 0.5L;
        break;
      case 6: case 7:
        left = (P1 + Q1 + L) * 0.5L;
        right = (P1 - Q1 + L) * 0.5L;
        break;
      case 10:
        left = (static_cast<float>(P1 + Q1 + L) + P2 + Q2 + R) * 0.25L;
        right = (static_cast<float>(P1 - Q1 + R) + P2 - Q2 + L) * 0.25L;
        break;
      }
      outL[i] = static_cast<float>(left);
      outR[i] = static_cast<float>(right);
    }
  }
};

// Deterministic test noise in -amplitude..amplitude.
inline std::vector<float> Noise(int frames, std::uint32_t seed, float amplitude = 1.0f) {
  std::vector<float> v(static_cast<std::size_t>(frames));
  std::uint32_t x = seed * 2654435761u + 12345u;
  for (float &s : v) {
    x = x * 1664525u + 1013904223u;
    s = amplitude * (static_cast<float>(x >> 8) / 8388608.0f - 1.0f);
  }
  return v;
}

} // namespace spintest
