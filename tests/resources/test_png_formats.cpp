// Each picture's PNG header: size, bit depth, colour type and no interlacing,
// exactly as the editors expect them; and the masked pictures' pixels.
#include "Embedded.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::uint32_t BigEndian32(const std::uint8_t *p) {
  return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

constexpr int kRgb = 2, kRgba = 6;

struct Format {
  std::string_view name;
  std::uint32_t width, height;
  int colourType;
};

const Format kFormats[] = {
    {"TWIRLIX", 454, 237, kRgb},      {"STITCH", 8001, 127, kRgba},     {"Background", 454, 187, kRgb},
    {"BackgroundOld", 454, 187, kRgb}, {"Bobble", 32, 32, kRgba},        {"Yellow", 10710, 95, kRgba},
    {"Old", 10710, 95, kRgba},         {"StyleOld", 48, 16, kRgba},      {"StyleWhite", 61, 17, kRgba},
};

TEST(PictureFormat, HeadersAsTheEditorsExpect) {
  const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  for (const Format &f : kFormats) {
    SCOPED_TRACE(std::string(f.name));
    auto bytes = Picture(f.name);
    ASSERT_TRUE(bytes);
    ASSERT_GE(bytes->size(), 33u);
    const std::uint8_t *p = bytes->data();
    EXPECT_TRUE(std::equal(signature, signature + 8, p));
    EXPECT_EQ(BigEndian32(p + 8), 13u);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(p + 12), 4), "IHDR");
    EXPECT_EQ(BigEndian32(p + 16), f.width);
    EXPECT_EQ(BigEndian32(p + 20), f.height);
    EXPECT_EQ(p[24], 8);            // bit depth
    EXPECT_EQ(p[25], f.colourType); // RGB or RGBA
    EXPECT_EQ(p[28], 0);            // not interlaced
    const Rgba decoded = Decode(f.name);
    EXPECT_EQ(decoded.width, static_cast<int>(f.width));
    EXPECT_EQ(decoded.height, static_cast<int>(f.height));
  }
}

TEST(PictureFormat, MaskedPicturesUseBlackOnlyWhereTransparent) {
  for (std::string_view name : {"Bobble", "Yellow", "Old", "StyleOld", "StyleWhite"}) {
    SCOPED_TRACE(std::string(name));
    const Rgba img = Decode(name);
    ASSERT_GT(img.width, 0);
    std::size_t clear = 0, visible = 0, bad = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x) {
        const std::uint8_t *p = img.At(x, y);
        const bool black = p[0] == 0 && p[1] == 0 && p[2] == 0;
        if (p[3] == 0) {
          ++clear;
          bad += black ? 0 : 1;
        } else {
          ++visible;
          bad += black ? 1 : 0;
        }
      }
    EXPECT_EQ(bad, 0u);
    EXPECT_GT(clear, 0u);
    EXPECT_GT(visible, 0u);
  }
}

TEST(PictureFormat, DialStripHasSoftEdgesAndClearCorners) {
  const Rgba strip = Decode("STITCH");
  ASSERT_EQ(strip.width, 8001);
  for (int k = 0; k < 63; ++k) {
    const int left = k * 127;
    for (auto [x, y] : {std::pair{0, 0}, {126, 0}, {0, 126}, {126, 126}})
      ASSERT_EQ(strip.At(left + x, y)[3], 0) << "frame " << k;
    ASSERT_EQ(strip.At(left + 63, 63)[3], 255) << "frame " << k;
  }
  std::size_t partial = 0;
  for (int x = 0; x < 127; ++x)
    for (int y = 0; y < 127; ++y) {
      const int a = strip.At(x, y)[3];
      partial += (a > 0 && a < 255) ? 1 : 0;
    }
  EXPECT_GT(partial, 200u); // anti-aliased edge and shadow, not a hard cut-out
}

} // namespace
