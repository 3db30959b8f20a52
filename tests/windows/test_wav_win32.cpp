// The Windows build's own WAV reader and writer (no libsndfile there).
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

#include "host/vsthost/WavFile.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string TempPath(const std::string &name) {
  return (std::filesystem::temp_directory_path() / ("nimbrel-wav-" + name)).string();
}

void WriteBytes(const std::string &path, const Bytes &bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char *>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

Bytes ReadBytes(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void Put16(Bytes &b, std::uint16_t v) {
  b.push_back(static_cast<unsigned char>(v & 0xFF));
  b.push_back(static_cast<unsigned char>(v >> 8));
}
void Put32(Bytes &b, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(v >> (8 * i)));
}
void Tag(Bytes &b, const char *t) {
  for (int i = 0; i < 4; ++i) b.push_back(static_cast<unsigned char>(t[i]));
}

// A file assembled chunk by chunk; the RIFF size is filled in last.
struct WavBuilder {
  Bytes bytes;
  WavBuilder() {
    Tag(bytes, "RIFF");
    Put32(bytes, 0);
    Tag(bytes, "WAVE");
  }
  WavBuilder &Format(std::uint16_t tag, std::uint16_t channels, std::uint32_t rate, std::uint16_t bits) {
    Tag(bytes, "fmt ");
    Put32(bytes, 16);
    Put16(bytes, tag);
    Put16(bytes, channels);
    Put32(bytes, rate);
    Put32(bytes, rate * channels * bits / 8);
    Put16(bytes, static_cast<std::uint16_t>(channels * bits / 8));
    Put16(bytes, bits);
    return *this;
  }
  WavBuilder &Chunk(const char *tag, const Bytes &body, std::uint32_t declared = 0xFFFFFFFF) {
    Tag(bytes, tag);
    Put32(bytes, declared == 0xFFFFFFFF ? static_cast<std::uint32_t>(body.size()) : declared);
    for (unsigned char c : body) bytes.push_back(c);
    if (body.size() & 1) bytes.push_back(0);
    return *this;
  }
  Bytes Done() {
    const auto size = static_cast<std::uint32_t>(bytes.size() - 8);
    std::memcpy(bytes.data() + 4, &size, 4);
    return bytes;
  }
};

TEST(WavWin32, FloatSamplesComeBackBitForBit) {
  vsthost::Audio audio;
  audio.rate = 48000;
  audio.samples = host::ChannelBuffers(2, 5);
  const float left[5] = {0.5f, -0.0f, std::numeric_limits<float>::denorm_min(), 1e30f, -1.0f};
  const float right[5] = {std::numeric_limits<float>::infinity(), 0.25f, -3.5f, 1e-20f, 0.0f};
  std::memcpy(audio.samples.Channel(0), left, sizeof left);
  std::memcpy(audio.samples.Channel(1), right, sizeof right);
  const std::string path = TempPath("roundtrip.wav");
  vsthost::WriteWav(path, audio);

  const Bytes b = ReadBytes(path);
  ASSERT_EQ(b.size(), 12u + 24u + 12u + 8u + 5u * 2u * 4u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
  EXPECT_EQ(b[20], 3) << "IEEE float format";
  EXPECT_EQ(b[34], 32) << "32 bits per sample";
  EXPECT_EQ(std::string(b.begin() + 36, b.begin() + 40), "fact");

  const vsthost::Audio back = vsthost::ReadWav(path);
  EXPECT_EQ(back.rate, 48000);
  ASSERT_EQ(back.samples.Channels(), 2);
  ASSERT_EQ(back.samples.Frames(), 5);
  EXPECT_EQ(std::memcmp(back.samples.Channel(0), left, sizeof left), 0);
  EXPECT_EQ(std::memcmp(back.samples.Channel(1), right, sizeof right), 0);
  std::filesystem::remove(path);
}

TEST(WavWin32, ReaderSkipsUnknownAndOddSizedChunksAndReadsPcm) {
  Bytes pcm;
  for (std::int16_t v : {std::int16_t{16384}, std::int16_t{-32768}, std::int16_t{1}}) Put16(pcm, static_cast<std::uint16_t>(v));
  const std::string path = TempPath("pcm.wav");
  WriteBytes(path, WavBuilder().Chunk("LIST", Bytes{'a', 'b', 'c'}).Format(1, 1, 22050, 16).Chunk("PEAK", Bytes(24, 7)).Chunk("data", pcm).Done());
  const vsthost::Audio a = vsthost::ReadWav(path);
  EXPECT_EQ(a.rate, 22050);
  ASSERT_EQ(a.samples.Frames(), 3);
  EXPECT_EQ(a.samples.Channel(0)[0], 0.5f);
  EXPECT_EQ(a.samples.Channel(0)[1], -1.0f);
  EXPECT_EQ(a.samples.Channel(0)[2], 1.0f / 32768.0f);
  std::filesystem::remove(path);
}

TEST(WavWin32, DamagedFilesAreRefusedOrReadOnlyAsFarAsTheyGo) {
  Bytes two;
  Put32(two, 0x3F800000u); // 1.0f
  Put32(two, 0xBF800000u); // -1.0f
  struct Case {
    const char *name;
    Bytes file;
    int frames; // -1: refused
  };
  Bytes notRiff(40, 'x');
  const Case cases[] = {
      {"not RIFF", notRiff, -1},
      {"empty", Bytes{}, -1},
      {"no data chunk", WavBuilder().Format(3, 1, 44100, 32).Done(), -1},
      {"data before format", WavBuilder().Chunk("data", two).Format(3, 1, 44100, 32).Done(), -1},
      {"zero channels", WavBuilder().Format(3, 0, 44100, 32).Chunk("data", two).Done(), -1},
      {"8-bit samples", WavBuilder().Format(1, 1, 44100, 8).Chunk("data", two).Done(), -1},
      {"format chunk longer than the file", WavBuilder().Chunk("fmt ", Bytes(4, 0), 4000).Done(), -1},
      {"data longer than the file", WavBuilder().Format(3, 1, 44100, 32).Chunk("data", two, 0x7FFFFFF0).Done(), 2},
      {"half a frame at the end", WavBuilder().Format(3, 2, 44100, 32).Chunk("data", Bytes{0, 0, 128, 63, 0, 0, 128, 191, 1, 2, 3, 4}).Done(), 1},
  };
  for (const Case &c : cases) {
    const std::string path = TempPath("damaged.wav");
    WriteBytes(path, c.file);
    if (c.frames < 0) {
      EXPECT_THROW(vsthost::ReadWav(path), host::HostError) << c.name;
    } else {
      const vsthost::Audio a = vsthost::ReadWav(path);
      EXPECT_EQ(a.samples.Frames(), c.frames) << c.name;
    }
    std::filesystem::remove(path);
  }
  EXPECT_THROW(vsthost::ReadWav(TempPath("does-not-exist.wav")), host::HostError);
}

} // namespace
