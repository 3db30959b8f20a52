#pragma once
// The six factory programs: names and stored values in parameter units
// (Coefficients, Process Type, LFO Speed, TBW), all 32-bit floats.
#include <array>

namespace nimbrel::twirlix {

inline constexpr int kParameterCount = 4;
inline constexpr int kProgramCount = 6;

struct TFactoryProgram {
  const char *Name;
  std::array<float, kParameterCount> Values;
};

inline constexpr std::array<TFactoryProgram, kProgramCount> kFactoryPrograms = {{
    {"Mono Spin", {8.0f, 5.0f, 0.5f, 0.01f}},
    {"Space Spin", {32.0f, 3.0f, 0.5f, 0.01f}},
    {"Stereo Spin", {7.0f, 2.0f, 1.3f, 0.01f}},
    {"Distance Spin", {12.0f, 4.0f, 0.8f, 0.01f}},
    {"Special Spin", {16.0f, 9.0f, 1.0f, 0.01f}},
    {"Old Spin", {8.0f, 10.0f, 1.7f, 0.01f}},
}};

} // namespace nimbrel::twirlix
