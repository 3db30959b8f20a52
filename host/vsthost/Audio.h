#pragma once
// Sampled audio as the tool passes it around: a rate and non-interleaved channels.
#include "host/HostLibrary.h"

namespace vsthost {

struct Audio {
  double rate = 44100.0;
  host::ChannelBuffers samples;
};

} // namespace vsthost
