#include "host/vsthost/Renderer.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

namespace vsthost {

Audio Render(host::Plugin &plugin, const Audio &input, int frames, int block, const Progress &progress) {
  if (block < 1) throw host::HostError("block size must be at least 1");
  frames = std::max(frames, 0);
  const int ins = plugin.NumInputs();
  const int outs = plugin.NumOutputs();
  const int fileChannels = input.samples.Channels();

  plugin.SetSampleRate(static_cast<float>(input.rate));
  plugin.SetBlockSize(block);
  plugin.Resume();

  Audio out;
  out.rate = input.rate;
  out.samples = host::ChannelBuffers(std::max(outs, 1), frames);
  host::ChannelBuffers inBlock(ins, block), outBlock(outs, block);
  const bool replacing = plugin.Effect().processReplacing != nullptr;

  for (int at = 0; at < frames; at += block) {
    const int n = std::min(block, frames - at);
    for (int c = 0; c < ins; ++c) {
      float *dst = inBlock.Channel(c);
      std::fill(dst, dst + block, 0.0f);
      if (fileChannels == 0) continue;
      const float *src = input.samples.Channel(std::min(c, fileChannels - 1));
      const int avail = std::clamp(input.samples.Frames() - at, 0, n);
      std::copy(src + at, src + at + avail, dst);
    }
    if (replacing) {
      plugin.ProcessReplacing(inBlock, outBlock, n);
    } else {
      outBlock.Clear();
      plugin.ProcessAccumulating(inBlock, outBlock, n);
    }
    for (int c = 0; c < outs; ++c) std::copy(outBlock.Channel(c), outBlock.Channel(c) + n, out.samples.Channel(c) + at);
    if (progress) progress(at + n, frames);
  }
  plugin.Suspend();
  return out;
}

Progress StderrProgress(double rate, long totalFrames) {
  const bool terminal = ::isatty(STDERR_FILENO) == 1;
  const bool longRender = static_cast<double>(totalFrames) > 60.0 * rate;
  if (!terminal && !longRender) return {};
  auto lastShown = std::make_shared<long>(-1);
  return [terminal, lastShown](long done, long total) {
    if (total <= 0) return;
    const long percent = done * 100 / total;
    const long shown = terminal ? percent : percent / 10 * 10;
    if (shown == *lastShown) return;
    *lastShown = shown;
    if (terminal) {
      std::fprintf(stderr, "\rrendering %3ld%%", percent);
      if (done >= total) std::fputc('\n', stderr);
    } else {
      std::fprintf(stderr, "rendering %ld%%\n", shown);
    }
    std::fflush(stderr);
  };
}

} // namespace vsthost
