#pragma once
// Runs audio through a loaded plug-in block by block, as a host's audio thread
// would: the sample rate and block size are announced, the plug-in is resumed,
// every block goes through the replacing entry (or, when the plug-in has none,
// the accumulating one onto zeroed outputs), and the plug-in is suspended at
// the end.
//
// Channel mapping: plug-in input c reads file channel min(c, channels - 1), so
// a mono file feeds every input; file channels beyond the plug-in's inputs are
// not used.
#include <functional>

#include "host/vsthost/Audio.h"

namespace vsthost {

// Called after each block with the frames done so far and the total.
using Progress = std::function<void(long done, long total)>;

// Renders `frames` frames (the input is padded with silence or cut to it).
Audio Render(host::Plugin &plugin, const Audio &input, int frames, int block, const Progress &progress = {});

// A progress line on stderr: redrawn in place on a terminal; on anything
// else printed every 10 % and only for long renders.
Progress StderrProgress(double rate, long totalFrames);

} // namespace vsthost
