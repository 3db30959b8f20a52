#include "host/vsthost/WavFile.h"

#include <sndfile.h>

#include <vector>

namespace vsthost {

namespace {

struct SndCloser {
  SNDFILE *file;
  ~SndCloser() {
    if (file) sf_close(file);
  }
};

constexpr sf_count_t kChunkFrames = 8192;

} // namespace

Audio ReadWav(const std::string &path) {
  SF_INFO info{};
  SndCloser f{sf_open(path.c_str(), SFM_READ, &info)};
  if (f.file == nullptr) throw host::HostError(path + ": cannot read audio (" + sf_strerror(nullptr) + ")");
  if (info.channels < 1 || info.channels > host::kMaxSaneChannels || info.samplerate <= 0)
    throw host::HostError(path + ": unsupported channel count or sample rate");
  if (info.frames < 0 || info.frames > (sf_count_t{1} << 31) - 1) throw host::HostError(path + ": file too long");

  Audio audio;
  audio.rate = info.samplerate;
  audio.samples = host::ChannelBuffers(info.channels, static_cast<int>(info.frames));
  std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames * info.channels));
  sf_count_t at = 0;
  while (at < info.frames) {
    const sf_count_t got = sf_readf_float(f.file, chunk.data(), std::min(kChunkFrames, info.frames - at));
    if (got <= 0) break;
    for (sf_count_t i = 0; i < got; ++i)
      for (int c = 0; c < info.channels; ++c)
        audio.samples.Channel(c)[at + i] = chunk[static_cast<std::size_t>(i * info.channels + c)];
    at += got;
  }
  if (at != info.frames) throw host::HostError(path + ": the file ended early");
  return audio;
}

void WriteWav(const std::string &path, const Audio &audio) {
  const int channels = audio.samples.Channels();
  if (channels < 1) throw host::HostError(path + ": nothing to write (no channels)");
  SF_INFO info{};
  info.samplerate = static_cast<int>(audio.rate + 0.5);
  info.channels = channels;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SndCloser f{sf_open(path.c_str(), SFM_WRITE, &info)};
  if (f.file == nullptr) throw host::HostError(path + ": cannot write audio (" + sf_strerror(nullptr) + ")");
  // Samples go out exactly as the plug-in made them, not clipped or normalised.
  sf_command(f.file, SFC_SET_CLIPPING, nullptr, SF_FALSE);
  const int frames = audio.samples.Frames();
  std::vector<float> chunk(static_cast<std::size_t>(kChunkFrames * channels));
  for (int at = 0; at < frames;) {
    const int n = static_cast<int>(std::min<sf_count_t>(kChunkFrames, frames - at));
    for (int i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c)
        chunk[static_cast<std::size_t>(i * channels + c)] = audio.samples.Channel(c)[at + i];
    if (sf_writef_float(f.file, chunk.data(), n) != n) throw host::HostError(path + ": write failed");
    at += n;
  }
  if (sf_close(f.file) != 0) {
    f.file = nullptr;
    throw host::HostError(path + ": write failed on close");
  }
  f.file = nullptr;
}

} // namespace vsthost
