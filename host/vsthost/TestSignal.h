#pragma once
// The built-in stereo test signal: for the first half a tone pair (440 Hz and
// 1250 Hz, -12 dBFS each, the right channel a quarter period behind), for the
// second half a logarithmic sweep from 40 Hz to 16 kHz (or 0.45 x the rate,
// whichever is lower) at -6 dBFS, the right channel again in quadrature. Both
// halves fade in and out over 10 ms so that the joins do not click.
#include "host/vsthost/Audio.h"

namespace vsthost {

inline constexpr double kTonePairLow = 440.0;
inline constexpr double kTonePairHigh = 1250.0;
inline constexpr double kSweepStart = 40.0;
inline constexpr double kSweepEnd = 16000.0;

Audio MakeTestSignal(double rate, double seconds);

// A pure sine of `frequency` and `amplitude` on every channel.
Audio MakeSine(double rate, double seconds, double frequency, double amplitude, int channels = 2);

} // namespace vsthost
