// WAV files without libsndfile (the Windows builds): a small RIFF reader and
// writer of our own.
//
// Writing produces the canonical 32-bit float file: "RIFF" size "WAVE", a
// 16-byte "fmt " chunk (format 3, IEEE float), a "fact" chunk with the frame
// count (required for non-PCM data), then "data" with the samples
// interleaved, little-endian, exactly as the plug-in made them.
//
// Reading walks the chunks, skips those it does not know (libsndfile adds a
// "PEAK" chunk, editors add "LIST"), honours the pad byte of odd-sized chunks
// and accepts 16-, 24- and 32-bit PCM and 32- and 64-bit float, also in the
// extensible format. Sizes are checked against the file before anything is
// allocated, so a damaged file is refused with a message, never read past.
#include "host/vsthost/WavFile.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <limits>
#include <vector>

namespace vsthost {
namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr std::uint64_t kMaxFrames = (std::uint64_t{1} << 31) - 1;

std::uint16_t U16(const unsigned char *p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const unsigned char *p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

void Put16(std::vector<unsigned char> &out, std::uint16_t v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));
  out.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(std::vector<unsigned char> &out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>((v >> (8 * i)) & 0xFF));
}
void PutTag(std::vector<unsigned char> &out, const char *tag) { out.insert(out.end(), tag, tag + 4); }

struct Format {
  std::uint16_t tag = 0;
  int channels = 0;
  std::uint32_t rate = 0;
  int bits = 0;
  int blockAlign = 0;
};

float SampleAt(const Format &f, const unsigned char *p) {
  if (f.tag == kFormatFloat) {
    if (f.bits == 32) {
      const std::uint32_t bits = U32(p);
      float v;
      std::memcpy(&v, &bits, sizeof v);
      return v;
    }
    const std::uint64_t bits = U32(p) | (static_cast<std::uint64_t>(U32(p + 4)) << 32);
    double v;
    std::memcpy(&v, &bits, sizeof v);
    return static_cast<float>(v);
  }
  switch (f.bits) {
  case 16: return static_cast<float>(static_cast<std::int16_t>(U16(p))) / 32768.0f;
  case 24: {
    std::int32_t v = static_cast<std::int32_t>(p[0] | (p[1] << 8) | (p[2] << 16));
    if (v & 0x800000) v -= 0x1000000;
    return static_cast<float>(v) / 8388608.0f;
  }
  default: return static_cast<float>(static_cast<double>(static_cast<std::int32_t>(U32(p))) / 2147483648.0);
  }
}

} // namespace

Audio ReadWav(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw host::HostError(path + ": cannot read audio (cannot open the file)");
  in.seekg(0, std::ios::end);
  const std::streamoff fileSize = in.tellg();
  in.seekg(0, std::ios::beg);
  unsigned char header[12];
  if (fileSize < 12 || !in.read(reinterpret_cast<char *>(header), 12) || std::memcmp(header, "RIFF", 4) != 0 ||
      std::memcmp(header + 8, "WAVE", 4) != 0)
    throw host::HostError(path + ": cannot read audio (not a RIFF WAVE file)");

  Format format;
  bool haveFormat = false;
  std::streamoff at = 12;
  while (at + 8 <= fileSize) {
    unsigned char chunk[8];
    in.seekg(at);
    if (!in.read(reinterpret_cast<char *>(chunk), 8)) break;
    const std::uint32_t size = U32(chunk + 4);
    const std::streamoff body = at + 8;
    const std::streamoff available = fileSize - body;
    if (std::memcmp(chunk, "fmt ", 4) == 0) {
      if (size < 16 || static_cast<std::streamoff>(size) > available)
        throw host::HostError(path + ": cannot read audio (damaged format chunk)");
      unsigned char fmt[40] = {};
      in.read(reinterpret_cast<char *>(fmt), std::min<std::uint32_t>(size, sizeof fmt));
      format.tag = U16(fmt);
      format.channels = U16(fmt + 2);
      format.rate = U32(fmt + 4);
      format.blockAlign = U16(fmt + 12);
      format.bits = U16(fmt + 14);
      if (format.tag == kFormatExtensible && size >= 40) format.tag = U16(fmt + 24); // the sub-format's first word
      haveFormat = true;
    } else if (std::memcmp(chunk, "data", 4) == 0) {
      if (!haveFormat) throw host::HostError(path + ": cannot read audio (data before the format chunk)");
      const bool pcm = format.tag == kFormatPcm && (format.bits == 16 || format.bits == 24 || format.bits == 32);
      const bool flt = format.tag == kFormatFloat && (format.bits == 32 || format.bits == 64);
      if (!pcm && !flt) throw host::HostError(path + ": cannot read audio (unsupported sample format)");
      if (format.channels < 1 || format.channels > host::kMaxSaneChannels || format.rate == 0 ||
          format.blockAlign != format.channels * (format.bits / 8))
        throw host::HostError(path + ": unsupported channel count or sample rate");
      // A data chunk longer than the file (writers that stopped early, or an
      // unknown length) holds what the file holds.
      const std::uint64_t bytes = std::min<std::uint64_t>(size, static_cast<std::uint64_t>(available));
      const std::uint64_t frames = bytes / static_cast<std::uint64_t>(format.blockAlign);
      if (frames > kMaxFrames) throw host::HostError(path + ": file too long");
      std::vector<unsigned char> raw(static_cast<std::size_t>(frames * format.blockAlign));
      if (!raw.empty() && !in.read(reinterpret_cast<char *>(raw.data()), static_cast<std::streamsize>(raw.size())))
        throw host::HostError(path + ": the file ended early");
      Audio audio;
      audio.rate = format.rate;
      audio.samples = host::ChannelBuffers(format.channels, static_cast<int>(frames));
      const int bytesPerSample = format.bits / 8;
      for (std::uint64_t i = 0; i < frames; ++i)
        for (int c = 0; c < format.channels; ++c)
          audio.samples.Channel(c)[i] =
              SampleAt(format, raw.data() + i * format.blockAlign + static_cast<std::size_t>(c) * bytesPerSample);
      return audio;
    }
    at = body + static_cast<std::streamoff>(size) + (size & 1u); // chunks are padded to even sizes
  }
  throw host::HostError(path + ": cannot read audio (no " + (haveFormat ? "data" : "format") + " chunk)");
}

void WriteWav(const std::string &path, const Audio &audio) {
  const int channels = audio.samples.Channels();
  if (channels < 1) throw host::HostError(path + ": nothing to write (no channels)");
  const int frames = audio.samples.Frames();
  const std::uint64_t dataBytes = static_cast<std::uint64_t>(frames) * static_cast<std::uint64_t>(channels) * 4u;
  const std::uint64_t riffBytes = 4 + (8 + 16) + (8 + 4) + (8 + dataBytes);
  if (riffBytes > std::numeric_limits<std::uint32_t>::max())
    throw host::HostError(path + ": too long for a WAV file");
  const auto rate = static_cast<std::uint32_t>(audio.rate + 0.5);

  std::vector<unsigned char> head;
  PutTag(head, "RIFF");
  Put32(head, static_cast<std::uint32_t>(riffBytes));
  PutTag(head, "WAVE");
  PutTag(head, "fmt ");
  Put32(head, 16);
  Put16(head, kFormatFloat);
  Put16(head, static_cast<std::uint16_t>(channels));
  Put32(head, rate);
  Put32(head, rate * static_cast<std::uint32_t>(channels) * 4u);
  Put16(head, static_cast<std::uint16_t>(channels * 4));
  Put16(head, 32);
  PutTag(head, "fact");
  Put32(head, 4);
  Put32(head, static_cast<std::uint32_t>(frames));
  PutTag(head, "data");
  Put32(head, static_cast<std::uint32_t>(dataBytes));

  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw host::HostError(path + ": cannot write audio (cannot create the file)");
  out.write(reinterpret_cast<const char *>(head.data()), static_cast<std::streamsize>(head.size()));
  std::vector<unsigned char> chunk;
  constexpr int kChunkFrames = 8192;
  for (int at = 0; at < frames; at += kChunkFrames) {
    const int n = std::min(kChunkFrames, frames - at);
    chunk.clear();
    for (int i = 0; i < n; ++i)
      for (int c = 0; c < channels; ++c) {
        std::uint32_t bits;
        std::memcpy(&bits, &audio.samples.Channel(c)[at + i], sizeof bits);
        Put32(chunk, bits);
      }
    out.write(reinterpret_cast<const char *>(chunk.data()), static_cast<std::streamsize>(chunk.size()));
  }
  out.close();
  if (!out) throw host::HostError(path + ": write failed");
}

} // namespace vsthost
