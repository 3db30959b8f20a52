// Both looks of the meter editor, with the needles set by a known signal
// through the plug-in, against the reference pictures, pixel for pixel.
// With NIMBREL_UPDATE_REFERENCES=1 in the environment the test writes the
// reference pictures (and the README picture) instead of comparing.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

#include "gui/Png.h"
#include "tests/quorlin_editor/MeterEditorFixture.h"

using namespace meted;

namespace {

const std::string kReferenceDir = std::string(NIMBREL_SOURCE_DIR) + "/tests/reference";

gui::TBitmap32 ToBitmap(const Pixels &px) {
  gui::TBitmap32 b(kW, kH);
  std::memcpy(b.Bits(), px.data(), px.size() * sizeof(std::uint32_t));
  return b;
}

void CompareWithReference(const Pixels &render, const std::string &name) {
  const std::string path = kReferenceDir + "/" + name;
  const char *update = std::getenv("NIMBREL_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(gui::WritePngFile(path, ToBitmap(render))) << path;
    return;
  }
  std::ifstream f(path, std::ios::binary);
  ASSERT_TRUE(f) << path << " is missing";
  const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(f), {}};
  const gui::TBitmap32 reference = gui::DecodePng(png);
  ASSERT_EQ(reference.Width(), kW);
  ASSERT_EQ(reference.Height(), kH);
  Pixels expected(reference.Bits(), reference.Bits() + static_cast<std::size_t>(kW) * kH);
  const int diff = CountDifferences(render, expected);
  if (diff != 0) {
    const std::string actual = std::string(NIMBREL_BINARY_DIR) + "/" + name;
    gui::WritePngFile(actual, ToBitmap(render));
    ADD_FAILURE() << diff << " pixels differ from " << path << "; the render is in " << actual;
  }
}

// 0.1 s of a 1 kHz sine, amplitude 0.5 on the left (-6.0 dB, position 25) and
// 0.9 on the right (-0.9 dB, position 42).
void FeedTones(MeterSession &s) {
  constexpr int kFrames = 4410, kBlock = 512;
  host::ChannelBuffers in(2, kFrames), out(2, kFrames);
  for (int i = 0; i < kFrames; ++i) {
    const double v = std::sin(2.0 * 3.14159265358979323846 * 1000.0 * i / 44100.0);
    in.Channel(0)[i] = static_cast<float>(0.5 * v);
    in.Channel(1)[i] = static_cast<float>(0.9 * v);
  }
  for (int done = 0; done < kFrames; done += kBlock) {
    const int n = std::min(kBlock, kFrames - done);
    host::ChannelBuffers a(2, n), b(2, n);
    for (int c = 0; c < 2; ++c) std::memcpy(a.Channel(c), in.Channel(c) + done, sizeof(float) * n);
    s.Plugin().ProcessReplacing(a, b, n);
  }
}

} // namespace

TEST(QuorlinEditorSnapshot, BothLooksMatchTheReferencePictures) {
  MeterSession s;
  FeedTones(s);
  s.Tick();
  ASSERT_EQ(s.Needles(Look::A), std::make_pair(25, 42));
  const Pixels lookA = s.Render();
  CompareWithReference(lookA, "quorlin-look-a.png");
  s.Plugin().Click(kStyleX, kStyleY);
  ASSERT_EQ(s.Needles(Look::B), std::make_pair(25, 42));
  CompareWithReference(s.Render(), "quorlin-look-b.png");

  const char *update = std::getenv("NIMBREL_UPDATE_REFERENCES");
  if (update && std::string(update) == "1") {
    ASSERT_TRUE(
        gui::WritePngFile(std::string(NIMBREL_SOURCE_DIR) + "/docs/images/quorlin-editor.png", ToBitmap(lookA)));
  }
}
