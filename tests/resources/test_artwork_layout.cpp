// Where things sit on the artwork: what the editors' click areas, labels and
// frame arithmetic rely on.
#include "Embedded.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double Luminance(const std::uint8_t *p) { return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2]; }

// Angle in degrees clockwise from straight up of the centroid of `pixels`
// (selected by `take`) in the box, seen from (cx, cy).
template <class Take>
double CentroidAngle(const Rgba &img, int x0, int y0, int x1, int y1, double cx, double cy, Take take) {
  double sx = 0, sy = 0, n = 0;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x)
      if (take(img.At(x, y))) {
        sx += x + 0.5;
        sy += y + 0.5;
        n += 1;
      }
  if (n == 0)
    return NAN;
  const double a = std::atan2(sx / n - cx, cy - sy / n) * 180 / M_PI;
  return a < 0 ? a + 360 : a;
}

TEST(DialStrip, FramePointersRunClockwiseAtTheirAngles) {
  const Rgba strip = Decode("STITCH");
  ASSERT_EQ(strip.width, 63 * 127);
  auto pointer = [](const std::uint8_t *p) { return p[3] == 255 && p[2] > 190 && p[1] > 170 && p[2] - p[0] > 80; };
  for (int k = 0; k < 63; ++k) {
    const double expected = std::fmod(200 + 320 * (k + 0.5) / 63, 360.0);
    const double measured = CentroidAngle(strip, k * 127, 0, k * 127 + 127, 127, k * 127 + 63.5, 63.5, pointer);
    double diff = std::fabs(measured - expected);
    diff = std::fmin(diff, 360 - diff);
    EXPECT_LT(diff, 2.0) << "frame " << k << " pointer at " << measured << ", expected " << expected;
  }
}

TEST(NeedleStrips, FramesSweepSmoothlyFromLowestToHighest) {
  for (std::string_view name : {"Old", "Yellow"}) {
    SCOPED_TRACE(std::string(name));
    const Rgba strip = Decode(name);
    ASSERT_EQ(strip.width, 63 * 170);
    std::vector<double> angles;
    for (int k = 0; k < 63; ++k) {
      // The needle above the pivot cover, seen from below the frame's centre.
      const double a = CentroidAngle(strip, k * 170, 10, k * 170 + 166, 80, k * 170 + 83, 136,
                                     [](const std::uint8_t *p) { return p[3] > 128; });
      ASSERT_FALSE(std::isnan(a)) << "no needle in frame " << k;
      angles.push_back(a > 180 ? a - 360 : a);
    }
    EXPECT_LT(angles.front(), -30);
    EXPECT_GT(angles.back(), 30);
    double minStep = 1e9, maxStep = 0;
    for (int k = 1; k < 63; ++k) {
      const double step = angles[k] - angles[k - 1];
      minStep = std::fmin(minStep, step);
      maxStep = std::fmax(maxStep, step);
    }
    EXPECT_GT(minStep, 0.5) << "needle does not advance every frame";
    EXPECT_LT(maxStep, 2.5) << "needle jumps";
  }
}

// Bright print (captions, address) inside `inside` and nowhere else in `around`.
struct Box {
  int x0, y0, x1, y1; // inclusive
  bool Contains(int x, int y) const { return x >= x0 && x <= x1 && y >= y0 && y <= y1; }
};

void ExpectPrintOnlyInside(const Rgba &img, Box inside, Box around, double threshold) {
  int in = 0, out = 0;
  for (int y = around.y0; y <= around.y1; ++y)
    for (int x = around.x0; x <= around.x1; ++x)
      if (Luminance(img.At(x, y)) > threshold)
        (inside.Contains(x, y) ? in : out) += 1;
  EXPECT_GT(in, 20);
  EXPECT_EQ(out, 0);
}

TEST(SpinBackground, PrintedWordsFillTheirClickAreas) {
  const Rgba bg = Decode("TWIRLIX");
  ASSERT_EQ(bg.width, 454);
  {
    SCOPED_TRACE("web address");
    ExpectPrintOnlyInside(bg, {345, 9, 440, 20}, {330, 0, 453, 20}, 120);
  }
  {
    SCOPED_TRACE("type caption");
    ExpectPrintOnlyInside(bg, {26, 23, 48, 33}, {14, 14, 54, 40}, 120);
  }
}

TEST(SpinBackground, LabelPlacesAreDarkForTheLightLabelText) {
  const Rgba bg = Decode("TWIRLIX");
  const Box places[] = {{60, 19, 86, 32}, {76, 57, 109, 70}, {357, 29, 400, 42}};
  for (const Box &b : places) {
    double sum = 0, n = 0;
    for (int y = b.y0; y <= b.y1; ++y)
      for (int x = b.x0; x <= b.x1; ++x) {
        sum += Luminance(bg.At(x, y));
        n += 1;
      }
    EXPECT_LT(sum / n, 40) << "at " << b.x0 << "," << b.y0; // the labels are (237, 234, 253)
  }
}

} // namespace
