// PNG decoding into bitmaps (alpha kept, RGB made opaque) and its refusals.
#include <gtest/gtest.h>

#include <stb/stb_image_write.h>

#include "gui/Png.h"

using namespace gui;

namespace {

std::vector<std::uint8_t> WriteRaw(int w, int h, int channels, const std::vector<std::uint8_t> &data) {
  std::vector<std::uint8_t> out;
  stbi_write_png_to_func(
      [](void *ctx, void *bytes, int size) {
        auto *v = static_cast<std::vector<std::uint8_t> *>(ctx);
        v->insert(v->end(), static_cast<std::uint8_t *>(bytes), static_cast<std::uint8_t *>(bytes) + size);
      },
      &out, w, h, channels, data.data(), w * channels);
  return out;
}

} // namespace

TEST(Png, DecodesRgbaWithStraightAlpha) {
  // Distinct colours and alphas, including fully transparent colour that must survive.
  const std::vector<std::uint8_t> rgba = {
      255, 0,  0,  255, 0,   255, 0,   128, 0,  0,   255, 0,  //
      10,  20, 30, 40,  200, 100, 50,  255, 1,  2,   3,   1,
  };
  const TBitmap32 b = DecodePng(WriteRaw(3, 2, 4, rgba));
  ASSERT_EQ(b.Width(), 3);
  ASSERT_EQ(b.Height(), 2);
  EXPECT_EQ(b.Pixel(0, 0), 0xFFFF0000u);
  EXPECT_EQ(b.Pixel(1, 0), 0x8000FF00u);
  EXPECT_EQ(b.Pixel(2, 0), 0x000000FFu);
  EXPECT_EQ(b.Pixel(0, 1), 0x280A141Eu);
  EXPECT_EQ(b.Pixel(1, 1), 0xFFC86432u);
  EXPECT_EQ(b.Pixel(2, 1), 0x01010203u);
}

TEST(Png, RgbPicturesBecomeOpaque) {
  const std::vector<std::uint8_t> rgb = {1, 2, 3, 250, 251, 252};
  const TBitmap32 b = DecodePng(WriteRaw(2, 1, 3, rgb));
  EXPECT_EQ(b.Pixel(0, 0), 0xFF010203u);
  EXPECT_EQ(b.Pixel(1, 0), 0xFFFAFBFCu);
}

TEST(Png, EncodeDecodeRoundTrip) {
  TBitmap32 b(17, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 17; ++x) b.SetPixel(x, y, Color32(x * 15, y * 50, x ^ y, (x * 13 + y * 7) & 255));
  const TBitmap32 back = DecodePng(EncodePng(b));
  ASSERT_EQ(back.Width(), 17);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 17; ++x) EXPECT_EQ(back.Pixel(x, y), b.Pixel(x, y));
}

TEST(Png, RefusesWhatIsNotAWholePng) {
  const std::vector<std::uint8_t> good = WriteRaw(2, 2, 4, std::vector<std::uint8_t>(16, 7));
  EXPECT_THROW(DecodePng({}), EPngError);
  const std::vector<std::uint8_t> junk = {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'};
  EXPECT_THROW(DecodePng(junk), EPngError);
  // A truncated file is refused, never read past its end. Only a cut inside
  // the closing IEND chunk may still decode, and then to the whole picture.
  const std::size_t iend = good.size() - 12;
  for (std::size_t n = 1; n < good.size(); ++n) {
    try {
      const TBitmap32 b = DecodePng(std::span(good.data(), n));
      EXPECT_GE(n, iend);
      EXPECT_EQ(b.Width(), 2);
      EXPECT_EQ(b.Pixel(1, 1), 0x07070707u) << n;
    } catch (const EPngError &) {
    }
  }
  // A header that claims an absurd size is refused before decoding.
  std::vector<std::uint8_t> huge = good;
  huge[16] = 0x7F; // width's most significant byte (IHDR starts at byte 16)
  EXPECT_THROW(DecodePng(huge), EPngError);
  EXPECT_THROW(EncodePng(TBitmap32()), EPngError);
}
