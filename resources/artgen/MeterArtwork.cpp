// The meter editor's artwork: two looks (A modern/white, B vintage/yellow),
// each a background, a needle strip and a style switch face, plus the mode
// lamp that both share.
//
// Where the editor puts things (window pixels): the two meters at 7,91 and
// 172,91, each showing the left 166 columns of a 170 x 95 needle frame; the
// style switch in 352,84 85x22; the Peak and RMS click areas at 356,115 73x23
// and 356,145 72x24; the mode lamp image (32 x 32, seen through a 28 x 26
// window) at 351,111 or 351,141.
#include "MeterArtwork.h"

#include "resources/Vendor.h"

#include <array>
#include <cmath>
#include <string>

namespace artgen {
namespace {

constexpr int kWidth = 454, kHeight = 187;
constexpr int kFrameWidth = 170, kFrameHeight = 95, kFrames = 63, kVisibleWidth = 166;
constexpr double kMeterLeft[2] = {7, 172};
constexpr double kMeterTop = 91;

// Needle geometry in frame pixels: the pivot lies below the frame, centred on
// the visible columns; the needle sweeps +-kSweep degrees from upright.
constexpr double kPivotX = kVisibleWidth / 2.0, kPivotY = 136;
constexpr double kSweep = 40;
constexpr double kNeedleLength = 113, kScaleRadius = 103, kLabelRadius = 120, kShroudRadius = 47;

// Lower bound in dB of needle positions 1..62 (position 0 is everything below).
constexpr std::array<double, 62> kNeedleBounds = {
    -50,  -40,  -30,  -26,  -23,  -20,  -19,  -18,  -17,  -16,  -14.5, -12.5, -11.5, -10.5, -9.9, -9.6,
    -9.3, -9.0, -8.7, -8.4, -8.1, -7.9, -7.5, -7.1, -6.3, -5.4, -5.0,  -4.7,  -4.4,  -4.1,  -3.7, -3.3,
    -3.0, -2.8, -2.6, -2.4, -2.2, -2.0, -1.8, -1.6, -1.4, -1.2, -0.9,  -0.7,  -0.5,  -0.2,  0.0,  0.2,
    0.4,  0.6,  0.8,  1.0,  1.2,  1.4,  1.6,  1.8,  2.0,  2.2,  2.4,   2.6,   2.8,   3.0};

// The position a reading of `db` shows: the number of bounds it reaches.
int PositionForDb(double db) {
  int p = 0;
  for (double bound : kNeedleBounds)
    p += db >= bound ? 1 : 0;
  return p;
}

// Needle angle of frame k (degrees clockwise from upright): evenly spread, so
// the needle moves the same small step from frame to frame.
double FrameAngle(double k) { return -kSweep + 2 * kSweep * k / (kFrames - 1); }

struct Look {
  Colour panelTop, panelBottom, text, textDim;
  Colour faceCentre, faceEdge, print, red, needle, needleTip, shroud, shroudEdge;
};

const Look kModern = {Hex(0x30333a), Hex(0x1b1d21), Hex(0xeceef1), Hex(0x9aa1ab),
                      Hex(0xfdfdfb), Hex(0xe4e3dd), Hex(0x25272c), Hex(0xd8352c),
                      Hex(0x1d1e23), Hex(0xd8352c), Hex(0x2c2f35), Hex(0x5a5f69)};
const Look kVintage = {Hex(0x46321f), Hex(0x22160c), Hex(0xf0dfb8), Hex(0xb59d74),
                       Hex(0xffe699), Hex(0xe0ac45), Hex(0x3b2714), Hex(0xb3261d),
                       Hex(0x2a1a0d), Hex(0x2a1a0d), Hex(0x3b2a1c), Hex(0x7a5c3d)};

void Shroud(cairo_t *cr, double px, double py, const Look &look) {
  // The cover over the needle's pivot: a dome rising from the face's bottom.
  cairo_arc(cr, px, py, kShroudRadius, 0, 2 * M_PI);
  cairo_pattern_t *fill = cairo_pattern_create_linear(0, py - kShroudRadius, 0, py - kShroudRadius + 14);
  AddStop(fill, 0, look.shroudEdge);
  AddStop(fill, 0.25, look.shroud);
  AddStop(fill, 1, Mix(look.shroud, Hex(0x000000), 0.35));
  cairo_set_source(cr, fill);
  cairo_fill(cr);
  cairo_pattern_destroy(fill);
  cairo_arc(cr, px, py, kShroudRadius - 0.6, (-90 - 60) * M_PI / 180, (-90 + 60) * M_PI / 180);
  SetColour(cr, Mix(look.shroudEdge, Hex(0xffffff), 0.35));
  cairo_set_line_width(cr, 0.8);
  cairo_stroke(cr);
}

void Needle(cairo_t *cr, double px, double py, double angle, const Look &look) {
  double x0, y0, x1, y1, xt, yt;
  PolarPoint(px, py, 30, angle, x0, y0);
  PolarPoint(px, py, kNeedleLength - 16, angle, x1, y1);
  PolarPoint(px, py, kNeedleLength, angle, xt, yt);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetColour(cr, look.needle);
  cairo_set_line_width(cr, 1.9);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
  SetColour(cr, look.needleTip);
  cairo_set_line_width(cr, 1.3);
  cairo_move_to(cr, x1, y1);
  cairo_line_to(cr, xt, yt);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

// One meter face at window position (left, top), in the face's clip.
void Face(const Fonts &fonts, cairo_t *cr, double left, double top, const Look &look, bool vintage,
          const char *channel) {
  const double px = left + kPivotX, py = top + kPivotY;
  cairo_save(cr);
  cairo_rectangle(cr, left, top, kVisibleWidth, kHeight - top);
  cairo_clip(cr);

  cairo_pattern_t *face = cairo_pattern_create_radial(px, py - 60, 10, px, py - 60, 130);
  AddStop(face, 0, look.faceCentre);
  AddStop(face, 1, look.faceEdge);
  cairo_set_source(cr, face);
  cairo_paint(cr);
  cairo_pattern_destroy(face);

  auto angleOfDb = [](double db) { return FrameAngle(PositionForDb(db)); };
  auto arc = [&](double r, double a0, double a1) {
    cairo_arc(cr, px, py, r, (a0 - 90) * M_PI / 180, (a1 - 90) * M_PI / 180);
  };

  // Red zone above 0 dB, then the scale line.
  SetColour(cr, look.red);
  cairo_set_line_width(cr, 4);
  arc(kScaleRadius + 2, angleOfDb(0), FrameAngle(kFrames - 1) + 0.6);
  cairo_stroke(cr);
  SetColour(cr, look.print);
  cairo_set_line_width(cr, 1);
  arc(kScaleRadius, FrameAngle(0), angleOfDb(0));
  cairo_stroke(cr);

  // Marks at the needle angle of each reading.
  struct Mark {
    double db;
    const char *label;
  };
  const Mark majors[] = {{-20, "20"}, {-10, "10"}, {-7, "7"}, {-5, "5"}, {-3, "3"}, {-2, "2"},
                         {-1, "1"},   {0, "0"},    {1, "1"},  {2, "2"},  {3, "3"}};
  const double minors[] = {-15, -9, -8, -6, -4, -0.5, 0.5, 1.5, 2.5};
  for (double db : minors) {
    double x0, y0, x1, y1;
    PolarPoint(px, py, kScaleRadius, angleOfDb(db), x0, y0);
    PolarPoint(px, py, kScaleRadius + 5, angleOfDb(db), x1, y1);
    SetColour(cr, db > 0 ? look.red : look.print);
    cairo_set_line_width(cr, 0.9);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
  }
  UseFont(cr, fonts.bold, 9);
  for (const Mark &m : majors) {
    const double a = angleOfDb(m.db);
    double x0, y0, x1, y1, tx, ty;
    PolarPoint(px, py, kScaleRadius - (m.db == 0 ? 3 : 0), a, x0, y0);
    PolarPoint(px, py, kScaleRadius + 9, a, x1, y1);
    SetColour(cr, m.db > 0 ? look.red : look.print);
    cairo_set_line_width(cr, m.db == 0 ? 1.8 : 1.3);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    PolarPoint(px, py, kLabelRadius, a, tx, ty);
    DrawText(cr, tx, ty + 3.2, m.label, Align::Centre);
  }
  // The unit.
  SetColour(cr, look.print);
  UseFont(cr, fonts.bold, vintage ? 14 : 12);
  DrawText(cr, px, py - 62, vintage ? "VU" : "dB", Align::Centre);
  UseFont(cr, fonts.regular, 7.5);
  SetColour(cr, Mix(look.print, look.faceEdge, 0.35));
  DrawText(cr, left + 9, top + 88, channel, Align::Left);

  Shroud(cr, px, py, look);
  // Glass: a faint sheen across the top of the face.
  cairo_pattern_t *glass = cairo_pattern_create_linear(0, top, 0, top + 40);
  AddStop(glass, 0, Hex(0xffffff, 0.35));
  AddStop(glass, 1, Hex(0xffffff, 0.0));
  cairo_set_source(cr, glass);
  cairo_rectangle(cr, left, top, kVisibleWidth, 40);
  cairo_fill(cr);
  // Inner shadow of the bezel.
  cairo_pattern_t *inner = cairo_pattern_create_linear(0, top, 0, top + 6);
  AddStop(inner, 0, Hex(0x000000, 0.45));
  AddStop(inner, 1, Hex(0x000000, 0.0));
  cairo_set_source(cr, inner);
  cairo_rectangle(cr, left, top, kVisibleWidth, 6);
  cairo_fill(cr);
  cairo_pattern_destroy(inner);
  cairo_pattern_destroy(glass);
  cairo_restore(cr);
}

void Screw(cairo_t *cr, double x, double y, double slot) {
  cairo_arc(cr, x, y, 3.2, 0, 2 * M_PI);
  cairo_pattern_t *head = cairo_pattern_create_linear(x - 3, y - 3, x + 3, y + 3);
  AddStop(head, 0, Hex(0xd0d0d0));
  AddStop(head, 1, Hex(0x50504c));
  cairo_set_source(cr, head);
  cairo_fill(cr);
  cairo_pattern_destroy(head);
  double x0, y0, x1, y1;
  PolarPoint(x, y, 2.4, slot, x0, y0);
  PolarPoint(x, y, 2.4, slot + 180, x1, y1);
  SetColour(cr, Hex(0x2a2a28));
  cairo_set_line_width(cr, 0.9);
  cairo_move_to(cr, x0, y0);
  cairo_line_to(cr, x1, y1);
  cairo_stroke(cr);
}

void RenderBackground(const Fonts &fonts, const Look &look, bool vintage, const std::string &path) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t *cr = cairo_create(surface);
  cairo_pattern_t *bg = cairo_pattern_create_linear(0, 0, 0, kHeight);
  AddStop(bg, 0, look.panelTop);
  AddStop(bg, 1, look.panelBottom);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  if (vintage) {
    // Wood-like grain of the vintage cabinet.
    Noise noise(0x0a7);
    for (int i = 0; i < 70; ++i) {
      const double y = noise.Next() * kHeight;
      SetColour(cr, Hex(noise.Next() < 0.5 ? 0x000000 : 0xffe0b0, 0.03 + 0.04 * noise.Next()));
      cairo_set_line_width(cr, 0.6 + 1.5 * noise.Next());
      cairo_move_to(cr, 0, y);
      cairo_curve_to(cr, 150, y + 6 * (noise.Next() - 0.5), 300, y + 6 * (noise.Next() - 0.5), kWidth, y);
      cairo_stroke(cr);
    }
  }
  AddGrain(surface, 0.01, vintage ? 0xbeefu : 0xcafeu);

  // Bezel round both meters.
  RoundedRect(cr, 3.5, 87.5, 338, 110, 6);
  SetColour(cr, Hex(0x000000, 0.55));
  cairo_fill_preserve(cr);
  cairo_pattern_t *edge = cairo_pattern_create_linear(0, 87, 0, 187);
  AddStop(edge, 0, Hex(0x000000, 0.8));
  AddStop(edge, 1, Mix(look.panelTop, Hex(0xffffff), 0.3));
  cairo_set_source(cr, edge);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
  Face(fonts, cr, kMeterLeft[0], kMeterTop, look, vintage, "LEFT");
  Face(fonts, cr, kMeterLeft[1], kMeterTop, look, vintage, "RIGHT");
  SetColour(cr, Mix(look.panelBottom, Hex(0x000000), 0.3));
  cairo_rectangle(cr, 172, kMeterTop, 1, kHeight - kMeterTop);
  cairo_fill(cr);

  // Name plate.
  UseFont(cr, fonts.bold, 34);
  SetColour(cr, Hex(0x000000, 0.5));
  DrawText(cr, 19, 53.5, "Quorlin", Align::Left);
  SetColour(cr, look.text);
  DrawText(cr, 18, 52, "Quorlin", Align::Left);
  UseFont(cr, fonts.regular, 8.5);
  SetColour(cr, look.textDim);
  DrawSpaced(cr, 20, 70, "STEREO LEVEL METER", 1.4, Align::Left);
  UseFont(cr, fonts.bold, 11);
  SetColour(cr, look.text);
  DrawText(cr, 436, 30, std::string(resources::kVendorName), Align::Right);

  // Style switch slot (the face is drawn centred in 352,84 85x22).
  RoundedRect(cr, 352.5, 84.5, 84, 21, 10.5);
  SetColour(cr, Hex(0x000000, 0.45));
  cairo_fill_preserve(cr);
  SetColour(cr, Mix(look.panelTop, Hex(0xffffff), 0.25));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  UseFont(cr, fonts.regular, 7);
  SetColour(cr, look.textDim);
  DrawSpaced(cr, 394.5, 79, "LOOK", 1.2, Align::Centre);

  // Mode lamps' sockets and the Peak / RMS captions in their click areas.
  const double lampTops[2] = {111, 141};
  const char *captions[2] = {"Peak", "RMS"};
  const double captionBase[2] = {130.5, 161};
  for (int i = 0; i < 2; ++i) {
    const double cx = 351 + 14, cy = lampTops[i] + 13;
    cairo_arc(cr, cx, cy, 11.5, 0, 2 * M_PI);
    cairo_pattern_t *socket = cairo_pattern_create_linear(0, cy - 11, 0, cy + 11);
    AddStop(socket, 0, Hex(0x000000, 0.8));
    AddStop(socket, 1, Mix(look.panelTop, Hex(0xffffff), 0.2));
    cairo_set_source(cr, socket);
    cairo_fill(cr);
    cairo_pattern_destroy(socket);
    cairo_arc(cr, cx, cy, 8.8, 0, 2 * M_PI);
    SetColour(cr, Hex(0x2a0d08));
    cairo_fill(cr);
    UseFont(cr, fonts.bold, 12);
    SetColour(cr, look.text);
    DrawText(cr, 385, captionBase[i], captions[i], Align::Left);
  }
  UseFont(cr, fonts.regular, 7);
  SetColour(cr, look.textDim);
  DrawSpaced(cr, 394.5, 180, "MODE", 1.2, Align::Centre);

  for (double x : {10.0, 444.0})
    for (double y : {9.0, 178.0})
      if (!(x < 300 && y > 100))
        Screw(cr, x, y, 30 + x + y);
  cairo_destroy(cr);
  WritePng(surface, path);
  cairo_surface_destroy(surface);
}

void RenderNeedles(const Look &look, const std::string &path) {
  cairo_surface_t *surface =
      cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kFrameWidth * kFrames, kFrameHeight);
  cairo_t *cr = cairo_create(surface);
  for (int k = 0; k < kFrames; ++k) {
    const double left = k * kFrameWidth;
    cairo_save(cr);
    cairo_rectangle(cr, left, 0, kFrameWidth, kFrameHeight);
    cairo_clip(cr);
    Needle(cr, left + kPivotX, kPivotY, FrameAngle(k), look);
    // The pivot's cover hides the needle's root, as it does on the face.
    Shroud(cr, left + kPivotX, kPivotY, look);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  PrepareMaskedPixels(surface);
  WritePng(surface, path);
  cairo_surface_destroy(surface);
}

void RenderBobble(const std::string &path) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 32, 32);
  cairo_t *cr = cairo_create(surface);
  const double cx = 14, cy = 13; // the lamp shows through a 28 x 26 window
  cairo_arc(cr, cx, cy, 10.3, 0, 2 * M_PI);
  cairo_pattern_t *bezel = cairo_pattern_create_linear(cx - 10, cy - 10, cx + 10, cy + 10);
  AddStop(bezel, 0, Hex(0xf2f2f2));
  AddStop(bezel, 1, Hex(0x55524e));
  cairo_set_source(cr, bezel);
  cairo_fill(cr);
  cairo_pattern_destroy(bezel);
  cairo_arc(cr, cx, cy, 8.3, 0, 2 * M_PI);
  cairo_pattern_t *glow = cairo_pattern_create_radial(cx - 1.5, cy - 1.5, 0.5, cx, cy, 8.3);
  AddStop(glow, 0, Hex(0xffe6c8));
  AddStop(glow, 0.35, Hex(0xff5a2e));
  AddStop(glow, 1, Hex(0x8c1a0a));
  cairo_set_source(cr, glow);
  cairo_fill(cr);
  cairo_pattern_destroy(glow);
  cairo_save(cr);
  cairo_translate(cr, cx - 2.6, cy - 3.6);
  cairo_scale(cr, 1.0, 0.6);
  cairo_arc(cr, 0, 0, 3.8, 0, 2 * M_PI);
  cairo_restore(cr);
  SetColour(cr, Hex(0xffffff, 0.65));
  cairo_fill(cr);
  cairo_destroy(cr);
  PrepareMaskedPixels(surface);
  WritePng(surface, path);
  cairo_surface_destroy(surface);
}

void RenderStyleFace(const Fonts &fonts, int w, int h, const Colour &top, const Colour &bottom,
                     const Colour &edge, const Colour &ink, const std::string &text, const std::string &path) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
  cairo_t *cr = cairo_create(surface);
  RoundedRect(cr, 0.5, 0.5, w - 1, h - 1, (h - 1) / 2.0);
  cairo_pattern_t *fill = cairo_pattern_create_linear(0, 0, 0, h);
  AddStop(fill, 0, top);
  AddStop(fill, 1, bottom);
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  SetColour(cr, edge);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  UseFont(cr, fonts.bold, 7.5);
  SetColour(cr, ink);
  DrawSpaced(cr, w / 2.0, h / 2.0 + 2.7, text, 0.9, Align::Centre);
  cairo_destroy(cr);
  PrepareMaskedPixels(surface);
  WritePng(surface, path);
  cairo_surface_destroy(surface);
}

} // namespace

void RenderMeterArtwork(const Fonts &fonts, const std::string &folder) {
  RenderBackground(fonts, kModern, false, folder + "/Background.png");
  RenderBackground(fonts, kVintage, true, folder + "/BackgroundOld.png");
  RenderNeedles(kModern, folder + "/Old.png");
  RenderNeedles(kVintage, folder + "/Yellow.png");
  RenderBobble(folder + "/Bobble.png");
  RenderStyleFace(fonts, 48, 16, Hex(0xf3d27a), Hex(0xc9962f), Hex(0x5a3a14), Hex(0x3b2714), "VINTAGE",
                  folder + "/StyleOld.png");
  RenderStyleFace(fonts, 61, 17, Hex(0xffffff), Hex(0xd9dbe0), Hex(0x80868f), Hex(0x25272c), "MODERN",
                  folder + "/StyleWhite.png");
}

} // namespace artgen
