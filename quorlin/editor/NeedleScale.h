#pragma once
// The needle scale of the meter: which of the strip's 63 frames shows a level.
//
// A level L (linear amplitude) is read as
//   x = L + 1e-15, the sum in extended precision, rounded to float (so that a
//       level of 0 reads as -300 dB rather than as the logarithm of 0);
//   d = AmpToDB(x), rounded to float;
//   p = the number of the 62 lower bounds below that d reaches (d >= bound),
//       each bound the decimal number as a double.
// Position 0 covers everything below -50 dB; 62 covers +3 dB and above. A
// reading that is no number (a negative or NaN level) reaches no bound and
// shows position 0. Pure numerics: no window, no module.
#include <array>
#include <cstdint>

namespace quorlin {

inline constexpr int kNeedlePositions = 63; // 0 .. 62

// Lower bound in dB of positions 1 .. 62, in order.
inline constexpr std::array<double, kNeedlePositions - 1> kNeedleLowerBounds = {
    -50,  -40,  -30,  -26,  -23,  -20,  -19,  -18,  -17,  -16,  //  1-10
    -14.5, -12.5, -11.5, -10.5, -9.9, -9.6, -9.3, -9.0, -8.7, -8.4, // 11-20
    -8.1, -7.9, -7.5, -7.1, -6.3, -5.4, -5.0, -4.7, -4.4, -4.1, // 21-30
    -3.7, -3.3, -3.0, -2.8, -2.6, -2.4, -2.2, -2.0, -1.8, -1.6, // 31-40
    -1.4, -1.2, -0.9, -0.7, -0.5, -0.2, 0.0,  0.2,  0.4,  0.6,  // 41-50
    0.8,  1.0,  1.2,  1.4,  1.6,  1.8,  2.0,  2.2,  2.4,  2.6,  // 51-60
    2.8,  3.0};                                                 // 61-62

// The position for a reading of `dB` decibels.
int NeedlePositionForDB(float dB);
// The reading of a level in dB, rounded to float, as the needle takes it.
float NeedleReadingDB(float level);
// The position for a level: NeedlePositionForDB(NeedleReadingDB(level)).
int NeedlePosition(float level);

} // namespace quorlin
