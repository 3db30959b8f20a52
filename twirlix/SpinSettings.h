#pragma once
// The engine settings that the control side prepares and the audio thread
// takes up at the start of a block: the coefficient set of each splitter, the
// process type and the LFO step. Plain data, copied whole when published.
#include <cstdint>

#include "twirlix/Lfo.h"

namespace nimbrel::twirlix {

// The plug-in designs at most this many coefficients; each splitter reserves
// room for them, so taking up a new design never allocates.
inline constexpr std::int32_t kMaxCoefficients = 32;

struct TSplitterDesign {
  std::int32_t Count = 0; // 0: no design yet
  // Counts every design; the audio side installs the coefficients when it
  // differs from the one it last installed.
  std::uint32_t DesignGeneration = 0;
  // Counts every change of the count. A count change clears the sections'
  // states even when a later change restores the old count before the next
  // block, so the audio side clears when this differs, not when Count does.
  std::uint32_t ClearGeneration = 0;
  double Coefficients[kMaxCoefficients] = {};
};

struct TSpinSettings {
  TSplitterDesign Splitter[2];
  int ProcessType = 5; // 1..10, "mono" until told otherwise
  TLfoStep LfoStep;
};

} // namespace nimbrel::twirlix
