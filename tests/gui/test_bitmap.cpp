// Pixel arithmetic of the bitmap: blend, opacity, masking, both resamplers,
// clipping and the origin/clip state.
#include <gtest/gtest.h>

#include "gui/Bitmap32.h"
#include "gui/Blend.h"

using namespace gui;

namespace {

TBitmap32 OnePixel(TColor32 c, TDrawMode mode, std::uint8_t master = 255) {
  TBitmap32 b(1, 1, c);
  b.DrawMode = mode;
  b.MasterAlpha = master;
  return b;
}

TColor32 DrawOnto(TColor32 src, TColor32 dst, TDrawMode mode, std::uint8_t master = 255) {
  TBitmap32 target(1, 1, dst);
  OnePixel(src, mode, master).DrawTo(target, 0, 0);
  return target.Pixel(0, 0);
}

} // namespace

struct BlendCase {
  const char *what;
  TColor32 src, dst;
  TDrawMode mode;
  std::uint8_t master;
  TColor32 expected;
};

TEST(Bitmap32, CombinesKnownPixels) {
  const BlendCase cases[] = {
      {"opaque source replaces", 0xFF102030, 0xFF000000, TDrawMode::dmBlend, 255, 0xFF102030},
      {"transparent source keeps", 0x00FFFFFF, 0xFF123456, TDrawMode::dmBlend, 255, 0xFF123456},
      {"half alpha red over blue", 0x80FF0000, 0xFF0000FF, TDrawMode::dmBlend, 255, 0xFF80007F},
      {"master alpha 128", 0xFFFFFFFF, 0xFF000000, TDrawMode::dmBlend, 128, 0xFF808080},
      {"pixel and master alpha multiply", 0x80FFFFFF, 0xFF000000, TDrawMode::dmBlend, 128, 0xFF404040},
      {"over a transparent destination", 0x80FF0000, 0x00000000, TDrawMode::dmBlend, 255, 0x80800000},
      {"master alpha 0 draws nothing", 0xFFFFFFFF, 0xFF000000, TDrawMode::dmBlend, 0, 0xFF000000},
      {"opaque mode copies alpha too", 0x40123456, 0xFFFFFFFF, TDrawMode::dmOpaque, 7, 0x40123456},
      {"masked: black is skipped", 0xFF000000, 0xFF123456, TDrawMode::dmMasked, 255, 0xFF123456},
      {"masked: translucent black is skipped", 0x80000000, 0xFF123456, TDrawMode::dmMasked, 255, 0xFF123456},
      {"masked: near black is drawn", 0xFF010000, 0xFF123456, TDrawMode::dmMasked, 255, 0xFF010000},
      {"masked with opacity 100", 0xFFFFFFFF, 0xFF000000, TDrawMode::dmMasked, 100, 0xFF646464},
  };
  for (const auto &c : cases)
    EXPECT_EQ(DrawOnto(c.src, c.dst, c.mode, c.master), c.expected) << c.what;
}

TEST(Bitmap32, BlendIsExactAtTheEndsForEveryAlpha) {
  for (std::uint32_t a = 0; a < 256; ++a) {
    // Blending a colour over itself must give the same colour at every alpha.
    EXPECT_EQ(BlendPixel(0x00A0B0C0 | (a << 24), 0xFFA0B0C0, a) & 0xFFFFFF, 0xA0B0C0u) << a;
    EXPECT_EQ(MulDiv255(a, 255), a);
  }
}

TEST(Bitmap32, NearestResamplerRepeatsAndPicksCentres) {
  TBitmap32 src(2, 2);
  src.SetPixel(0, 0, 0xFF000001), src.SetPixel(1, 0, 0xFF000002);
  src.SetPixel(0, 1, 0xFF000003), src.SetPixel(1, 1, 0xFF000004);
  TBitmap32 up(4, 4);
  src.DrawTo(up, up.BoundsRect(), src.BoundsRect());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(up.Pixel(x, y), src.Pixel(x / 2, y / 2)) << x << "," << y;

  TBitmap32 row(4, 1);
  for (int x = 0; x < 4; ++x) row.SetPixel(x, 0, 0xFF000010u + x);
  TBitmap32 down(2, 1);
  row.DrawTo(down, down.BoundsRect(), row.BoundsRect());
  EXPECT_EQ(down.Pixel(0, 0), 0xFF000011u); // centre 0.5 * 2 = 1
  EXPECT_EQ(down.Pixel(1, 0), 0xFF000013u); // centre 1.5 * 2 = 3
}

TEST(Bitmap32, BilinearResamplerInterpolatesBetweenCentres) {
  TBitmap32 src(2, 1);
  src.SetPixel(0, 0, 0xFF000000);
  src.SetPixel(1, 0, 0xFFFFFFFF);
  src.Resampler = TResampler::rsBilinear;
  TBitmap32 dst(4, 1, 0xFF0000FF);
  src.DrawTo(dst, dst.BoundsRect(), src.BoundsRect());
  // Destination centres fall on source positions -0.25, 0.25, 0.75, 1.25.
  const std::uint32_t expected[] = {0, 64, 191, 255};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(RedOf(dst.Pixel(x, 0)), expected[x]) << x;
    EXPECT_EQ(BlueOf(dst.Pixel(x, 0)), expected[x]) << x;
    EXPECT_EQ(AlphaOf(dst.Pixel(x, 0)), 255u);
  }

  // Vertical interpolation of a 1x2 image to 1x4 gives the same profile.
  TBitmap32 col(1, 2);
  col.SetPixel(0, 0, 0xFF000000), col.SetPixel(0, 1, 0xFF00FF00);
  col.Resampler = TResampler::rsBilinear;
  TBitmap32 tall(1, 4);
  col.DrawTo(tall, tall.BoundsRect(), col.BoundsRect());
  for (int y = 0; y < 4; ++y) EXPECT_EQ(GreenOf(tall.Pixel(0, y)), expected[y]) << y;
}

TEST(Bitmap32, StretchBlendsByTheDrawMode) {
  TBitmap32 src(1, 1, 0x80FFFFFF);
  src.DrawMode = TDrawMode::dmBlend;
  src.Resampler = TResampler::rsBilinear;
  TBitmap32 dst(3, 3, 0xFF000000);
  src.DrawTo(dst, dst.BoundsRect(), src.BoundsRect());
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(dst.Pixel(x, y), 0xFF808080u);
}

TEST(Bitmap32, SourceOutsideTheBitmapDrawsNothing) {
  TBitmap32 src(2, 2, 0xFF00FF00);
  for (TResampler r : {TResampler::rsNearest, TResampler::rsBilinear}) {
    src.Resampler = r;
    // One to one: the source rectangle reaches one column beyond the bitmap.
    TBitmap32 same(3, 2, 0xFF0000FF);
    src.DrawTo(same, same.BoundsRect(), TRect{0, 0, 3, 2});
    EXPECT_EQ(same.Pixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(same.Pixel(2, 0), 0xFF0000FFu);
    // Stretched: the right half of the destination maps beyond the bitmap.
    TBitmap32 wide(8, 2, 0xFF0000FF);
    src.DrawTo(wide, wide.BoundsRect(), TRect{0, 0, 4, 2});
    EXPECT_EQ(wide.Pixel(0, 0), 0xFF00FF00u);
    EXPECT_EQ(wide.Pixel(3, 1), 0xFF00FF00u);
    EXPECT_EQ(wide.Pixel(4, 0), 0xFF0000FFu);
    EXPECT_EQ(wide.Pixel(7, 1), 0xFF0000FFu);
  }
}

TEST(Bitmap32, OriginClipAndSavedState) {
  TBitmap32 b(10, 10, 0);
  b.SaveState();
  b.MoveOrigin(3, 4);
  b.IntersectClipRect({0, 0, 2, 2}); // device 3..5 x 4..6
  b.FillRect({-5, -5, 50, 50}, 0xFFFFFFFF);
  EXPECT_EQ(b.ClipRect(), (TRect{3, 4, 5, 6}));
  b.RestoreState();
  EXPECT_EQ(b.ClipRect(), b.BoundsRect());
  EXPECT_EQ(b.Origin(), (TPoint{0, 0}));
  int lit = 0;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x)
      if (b.Pixel(x, y)) {
        ++lit;
        EXPECT_TRUE(x >= 3 && x < 5 && y >= 4 && y < 6) << x << "," << y;
      }
  EXPECT_EQ(lit, 4);

  // A stretched draw honours the clip; the mapping is that of the whole rectangle.
  TBitmap32 src(2, 1);
  src.SetPixel(0, 0, 0xFF000001), src.SetPixel(1, 0, 0xFF000002);
  TBitmap32 dst(4, 1, 0);
  dst.IntersectClipRect({2, 0, 4, 1});
  src.DrawTo(dst, dst.BoundsRect(), src.BoundsRect());
  EXPECT_EQ(dst.Pixel(1, 0), 0u);
  EXPECT_EQ(dst.Pixel(2, 0), 0xFF000002u);
  // Restoring with nothing saved goes back to the whole bitmap.
  dst.RestoreState();
  EXPECT_EQ(dst.ClipRect(), dst.BoundsRect());
}

TEST(Bitmap32, HostileSizesAndCoordinatesAreSafe) {
  TBitmap32 b;
  b.SetSize(-4, 7);
  EXPECT_TRUE(b.Empty());
  EXPECT_THROW(b.SetSize(TBitmap32::kMaxSide + 1, 1), std::length_error);
  b.SetSize(4, 4);
  b.SetPixel(-1, 100, 0xFFFFFFFF);
  EXPECT_EQ(b.Pixel(-1, 100), 0u);
  TBitmap32 src(2, 2, 0xFFFFFFFF);
  src.DrawTo(b, TRect{1000000, -1000000, 1000100, -999900}, src.BoundsRect());
  src.DrawTo(b, TRect{0, 0, 4, 4}, TRect{-100, -100, 0, 0});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(b.Pixel(x, y), 0u);
  // Copies keep pixels and settings; AssignPixels keeps the target's settings.
  TBitmap32 strip(3, 1, 0xFF112233);
  TBitmap32 target;
  target.DrawMode = TDrawMode::dmBlend;
  target.AssignPixels(strip);
  EXPECT_EQ(target.DrawMode, TDrawMode::dmBlend);
  EXPECT_EQ(target.Pixel(2, 0), 0xFF112233u);
  target.Assign(strip);
  EXPECT_EQ(target.DrawMode, TDrawMode::dmOpaque);
}
