#pragma once
// The spin plug-in's LFO frequency, derived by the host from the LFO Speed
// parameter value x (0..13): (exp(0.053319013 x) - 1) x 13, so 0 gives 0 Hz
// and 13 gives 13 Hz.
#include <cmath>

namespace vsthost {

inline double LfoFrequency(double x) { return (std::exp(0.053319013 * x) - 1.0) * 13.0; }

} // namespace vsthost
