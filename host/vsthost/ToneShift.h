#pragma once
// Measures how far a plug-in moved a pure test tone. The output is mixed down
// by the input frequency and averaged into blocks of 10 ms (a complex baseband
// at 100 Hz); removing the baseband's mean removes everything still at the
// input frequency (the dry signal), and a Hann-windowed Fourier scan of what
// is left finds the strongest component near the tone. Its offset from the
// input frequency is the shift: positive when the tone moved up.
#include <cstddef>

namespace vsthost {

struct ToneShift {
  bool found = false;     // false: nothing but the input frequency was there
  double offsetHz = 0.0;  // signed offset of the strongest moved component
  double amplitude = 0.0; // its amplitude relative to the input tone's
};

struct ToneShiftOptions {
  double maxOffsetHz = 20.0; // the scan covers -max..+max around the input frequency
  double skipSeconds = 0.25; // settling time left out at the start
  double floor = 1e-3;       // below this relative amplitude nothing counts as moved
};

// `output` holds `frames` samples of the plug-in's answer to a sine of
// `inputHz` with amplitude `inputAmplitude` at `rate`.
ToneShift MeasureToneShift(const float *output, std::size_t frames, double rate, double inputHz,
                           double inputAmplitude, const ToneShiftOptions &options = {});

} // namespace vsthost
