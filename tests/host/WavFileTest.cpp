// WAV files: float samples survive a round trip exactly.
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "host/vsthost/WavFile.h"

namespace {

TEST(HostWavFile, RoundTripIsBitExactIncludingValuesBeyondFullScale) {
  host_test::ScratchDir dir;
  vsthost::Audio a;
  a.rate = 48000;
  a.samples = host::ChannelBuffers(3, 10000);
  for (int c = 0; c < 3; ++c)
    for (int i = 0; i < 10000; ++i) a.samples.Channel(c)[i] = std::sin(0.001f * static_cast<float>(i * (c + 1))) * 1.5f;
  a.samples.Channel(0)[5] = std::numeric_limits<float>::denorm_min();
  a.samples.Channel(2)[9999] = -2.75f;
  vsthost::WriteWav(dir.File("a.wav"), a);
  const vsthost::Audio b = vsthost::ReadWav(dir.File("a.wav"));
  EXPECT_EQ(b.rate, 48000);
  ASSERT_EQ(b.samples.Channels(), 3);
  ASSERT_EQ(b.samples.Frames(), 10000);
  for (int c = 0; c < 3; ++c)
    EXPECT_EQ(std::memcmp(a.samples.Channel(c), b.samples.Channel(c), 10000 * sizeof(float)), 0) << c;
}

TEST(HostWavFile, ErrorsAreOneLine) {
  host_test::ScratchDir dir;
  std::ofstream(dir.File("junk.wav")) << "RIFF? no";
  for (const std::string &path : {dir.File("missing.wav"), dir.File("junk.wav")}) {
    try {
      vsthost::ReadWav(path);
      ADD_FAILURE() << "read " << path;
    } catch (const host::HostError &e) {
      EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos);
      EXPECT_NE(std::string(e.what()).find(path), std::string::npos);
    }
  }
  vsthost::Audio a;
  a.samples = host::ChannelBuffers(1, 4);
  EXPECT_THROW(vsthost::WriteWav(dir.File("no/such/dir/x.wav"), a), host::HostError);
}

} // namespace
