// The spin editor's artwork. Everything the editor places on it is fixed here:
//   type caption's printed word inside x 26..48, y 23..33 (a click area), the
//   type value at 60,19 and the colour value at 76,57 (labels drawn by the
//   editor, light lavender, 9 px), the dial (127 x 127 at 223,19) with its speed
//   scale, the Hz value at 357,29 and the web address inside x 345..440, y 9..20.
#include "SpinArtwork.h"

#include "resources/Vendor.h"

#include <cmath>
#include <string>

namespace artgen {
namespace {

constexpr int kWidth = 454, kHeight = 237;

// The dial's place and geometry on the background.
constexpr double kDialLeft = 223, kDialTop = 19, kDialSize = 127;
constexpr double kDialCx = kDialLeft + kDialSize / 2, kDialCy = kDialTop + kDialSize / 2;

// Dial frames: 63, pointer from 200 degrees over the top to 160.
constexpr int kFrames = 63;
constexpr double kStartAngle = 200, kRangeAngle = 320;

// The pointer angle at which the dial shows a speed (position = speed x 100 of
// 0..1300): the middle of the value's place on the arc.
double SpeedAngle(double speed) { return kStartAngle + kRangeAngle * (speed * 100 + 0.5) / 1301.0; }

// The spin palette.
const Colour kPanelTop = Hex(0x2a2748), kPanelBottom = Hex(0x14122a);
const Colour kInk = Hex(0xb3acd9);          // printed captions
const Colour kInkDim = Hex(0x7d76a8);       // minor print
const Colour kValueText = Hex(0xedeafd);    // the editor's label colour
const Colour kCyan = Hex(0x62dcec), kMagenta = Hex(0xe07ae9);
const Colour kDisplay = Hex(0x0b0a18);

void InsetDisplay(cairo_t *cr, double x, double y, double w, double h) {
  RoundedRect(cr, x, y, w, h, 4);
  cairo_pattern_t *fill = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(fill, 0, Hex(0x07060f));
  AddStop(fill, 1, Hex(0x141229));
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  // Lit lower edge, shaded upper edge: the display sits below the panel.
  cairo_pattern_t *edge = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(edge, 0, Hex(0x000000, 0.9));
  AddStop(edge, 1, Hex(0x6a64a0, 0.7));
  cairo_set_source(cr, edge);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

void Panel(cairo_t *cr, double x, double y, double w, double h) {
  RoundedRect(cr, x + 0.5, y + 0.5, w, h, 7);
  cairo_pattern_t *fill = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(fill, 0, Hex(0x34305a, 0.55));
  AddStop(fill, 1, Hex(0x1c1a36, 0.55));
  cairo_set_source(cr, fill);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(fill);
  cairo_pattern_t *edge = cairo_pattern_create_linear(0, y, 0, y + h);
  AddStop(edge, 0, Hex(0x6d67a6, 0.6));
  AddStop(edge, 1, Hex(0x0a0916, 0.8));
  cairo_set_source(cr, edge);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_pattern_destroy(edge);
}

void Backdrop(cairo_t *cr, cairo_surface_t *surface) {
  cairo_pattern_t *bg = cairo_pattern_create_linear(0, 0, 0, kHeight);
  AddStop(bg, 0, kPanelTop);
  AddStop(bg, 1, kPanelBottom);
  cairo_set_source(cr, bg);
  cairo_paint(cr);
  cairo_pattern_destroy(bg);
  // A soft glow behind the dial.
  cairo_pattern_t *glow = cairo_pattern_create_radial(kDialCx, kDialCy, 20, kDialCx, kDialCy, 150);
  AddStop(glow, 0, Hex(0x5a4f9a, 0.35));
  AddStop(glow, 1, Hex(0x5a4f9a, 0.0));
  cairo_set_source(cr, glow);
  cairo_paint(cr);
  cairo_pattern_destroy(glow);
  AddGrain(surface, 0.012, 0x51ed);
}

void TypeAndColourFields(const Fonts &fonts, cairo_t *cr) {
  Panel(cr, 12, 10, 192, 76);
  // The type caption: its printed word fills the click area x 26..48, y 23..33.
  SetColour(cr, kInk);
  UseFont(cr, fonts.bold, 10);
  DrawText(cr, 37, 31, "type", Align::Centre);
  InsetDisplay(cr, 55, 17, 142, 19);
  UseFont(cr, fonts.bold, 10);
  SetColour(cr, kInk);
  DrawText(cr, 26, 70, "colour", Align::Left);
  InsetDisplay(cr, 71, 55, 126, 19);
  // Hint at the presses that step the fields: left forward, right back.
  SetColour(cr, kInkDim);
  UseFont(cr, fonts.regular, 7.5);
  DrawText(cr, 180, 47.5, "click to step", Align::Right);
  for (int dir = -1; dir <= 1; dir += 2) {
    const double x = 189 + dir * 4.5;
    cairo_move_to(cr, x + dir * 2.5, 44.5);
    cairo_line_to(cr, x - dir * 2.5, 42);
    cairo_line_to(cr, x - dir * 2.5, 47);
    cairo_close_path(cr);
    cairo_fill(cr);
  }
}

void SpeedCaption(const Fonts &fonts, cairo_t *cr) {
  SetColour(cr, kInk);
  UseFont(cr, fonts.bold, 10);
  DrawText(cr, 206, 112, "LFO speed", Align::Right);
  // A small sine and cosine: the oscillator's two phases.
  const double x0 = 150, x1 = 206, mid = 126, amp = 5;
  for (int phase = 0; phase < 2; ++phase) {
    SetColour(cr, phase == 0 ? kCyan : kMagenta);
    cairo_set_line_width(cr, 1.3);
    for (int i = 0; i <= 56; ++i) {
      const double x = x0 + (x1 - x0) * i / 56.0;
      const double y = mid - amp * std::sin(2 * M_PI * i / 56.0 + phase * M_PI / 2);
      if (i == 0)
        cairo_move_to(cr, x, y);
      else
        cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
  }
}

void DialScale(const Fonts &fonts, cairo_t *cr) {
  // A recess the knob sits in.
  cairo_arc(cr, kDialCx, kDialCy, 47.5, 0, 2 * M_PI);
  cairo_pattern_t *recess = cairo_pattern_create_linear(0, kDialCy - 48, 0, kDialCy + 48);
  AddStop(recess, 0, Hex(0x07060f, 0.9));
  AddStop(recess, 1, Hex(0x2d2950, 0.9));
  cairo_set_source(cr, recess);
  cairo_fill(cr);
  cairo_pattern_destroy(recess);

  // The travel: a thin arc from speed 0 to 13, cyan turning magenta.
  const double arcRadius = 50.5;
  const int steps = 160;
  for (int i = 0; i < steps; ++i) {
    const double a0 = kStartAngle + kRangeAngle * i / steps, a1 = kStartAngle + kRangeAngle * (i + 1) / steps;
    SetColour(cr, Mix(kCyan, kMagenta, (i + 0.5) / steps));
    cairo_set_line_width(cr, 1.6);
    cairo_arc(cr, kDialCx, kDialCy, arcRadius, (a0 - 90) * M_PI / 180, (a1 - 90 + 0.2) * M_PI / 180);
    cairo_stroke(cr);
  }

  // Minor marks at half speeds, major marks and numbers at whole speeds.
  for (int half = 1; half <= 26; ++half) {
    const double speed = half / 2.0;
    const bool major = half % 2 == 0;
    const double angle = SpeedAngle(speed);
    double x0, y0, x1, y1;
    PolarPoint(kDialCx, kDialCy, 53, angle, x0, y0);
    PolarPoint(kDialCx, kDialCy, major ? 58.5 : 55.5, angle, x1, y1);
    SetColour(cr, major ? kInk : kInkDim);
    cairo_set_line_width(cr, major ? 1.4 : 1.0);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
    if (major) {
      const int n = half / 2;
      const std::string text = std::to_string(n);
      UseFont(cr, fonts.bold, 8.5);
      double tx, ty;
      PolarPoint(kDialCx, kDialCy, 65.5, angle, tx, ty);
      SetColour(cr, n == 13 ? kMagenta : kInk);
      DrawText(cr, tx, ty + 3.1, text, Align::Centre);
    }
  }
  // Speed 0 (stopped): a dot at the start of the arc.
  double dx, dy;
  PolarPoint(kDialCx, kDialCy, 56, SpeedAngle(0), dx, dy);
  SetColour(cr, kCyan);
  cairo_arc(cr, dx, dy, 1.6, 0, 2 * M_PI);
  cairo_fill(cr);
  UseFont(cr, fonts.regular, 7);
  SetColour(cr, kInkDim);
  DrawText(cr, kDialCx, kDialTop + kDialSize + 6, "Hz", Align::Centre);
}

void HzReadout(const Fonts &fonts, cairo_t *cr) {
  // The value label sits at 357,29 (about 14 px high).
  Panel(cr, 349, 21, 98, 43);
  InsetDisplay(cr, 353, 26, 88, 19);
  SetColour(cr, kInk);
  UseFont(cr, fonts.bold, 8);
  DrawSpaced(cr, 398, 56, "SHIFT", 1.2, Align::Centre);
}

void WebAddress(const Fonts &fonts, cairo_t *cr) {
  // Printed inside the click area x 345..440, y 9..20.
  std::string address(resources::kVendorWebAddress);
  const auto scheme = address.find("://");
  if (scheme != std::string::npos)
    address = address.substr(scheme + 3);
  if (!address.empty() && address.back() == '/')
    address.pop_back();
  UseFont(cr, fonts.regular, 9);
  double size = 9;
  while (TextWidth(cr, address) > 92 && size > 6) {
    size -= 0.25;
    UseFont(cr, fonts.regular, size);
  }
  SetColour(cr, kInk);
  DrawText(cr, 392.5, 18, address, Align::Centre);
}

void SpinEmblem(cairo_t *cr, double cx, double cy, double r) {
  // Two interleaved spiral arms: the picture of a signal spun around.
  for (int arm = 0; arm < 2; ++arm) {
    SetColour(cr, arm == 0 ? kCyan : kMagenta);
    cairo_set_line_width(cr, 2.2);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    const int n = 90;
    for (int i = 0; i <= n; ++i) {
      const double t = i / static_cast<double>(n);
      const double a = arm * M_PI + t * 1.6 * M_PI;
      const double rr = r * (0.18 + 0.82 * t);
      const double x = cx + rr * std::cos(a), y = cy + rr * std::sin(a);
      if (i == 0)
        cairo_move_to(cr, x, y);
      else
        cairo_line_to(cr, x, y);
    }
    cairo_stroke(cr);
  }
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

void Logo(const Fonts &fonts, cairo_t *cr) {
  // A divider above the name plate.
  cairo_pattern_t *line = cairo_pattern_create_linear(12, 0, 442, 0);
  AddStop(line, 0, Hex(0x6d67a6, 0.0));
  AddStop(line, 0.5, Hex(0x6d67a6, 0.7));
  AddStop(line, 1, Hex(0x6d67a6, 0.0));
  cairo_set_source(cr, line);
  cairo_rectangle(cr, 12, 163, 430, 1);
  cairo_fill(cr);
  cairo_pattern_destroy(line);

  SpinEmblem(cr, 44, 199, 19);

  UseFont(cr, fonts.bold, 40);
  const double x = 74, base = 213;
  // Engraved: a dark offset below the lettering.
  SetColour(cr, Hex(0x06050d, 0.8));
  DrawText(cr, x + 1, base + 1.5, "Twirlix", Align::Left);
  cairo_pattern_t *ink = cairo_pattern_create_linear(0, base - 30, 0, base);
  AddStop(ink, 0, Hex(0xf4f1ff));
  AddStop(ink, 1, Hex(0xa9a0e0));
  cairo_set_source(cr, ink);
  DrawText(cr, x, base, "Twirlix", Align::Left);
  cairo_pattern_destroy(ink);

  UseFont(cr, fonts.regular, 8.5);
  SetColour(cr, kInkDim);
  DrawSpaced(cr, 442, 197, "STEREO FREQUENCY SPIN", 1.3, Align::Right);
  UseFont(cr, fonts.bold, 11);
  SetColour(cr, kInk);
  DrawText(cr, 442, 213, std::string(resources::kVendorName), Align::Right);
}

// Draws the knob for one pointer angle, centred on (cx, cy).
void Knob(cairo_t *cr, double cx, double cy, double angle) {
  const double skirt = 44, cap = 35.5;
  // Shadow under the knob, offset down: the soft edge of the strip.
  cairo_pattern_t *shadow = cairo_pattern_create_radial(cx, cy + 3, skirt - 4, cx, cy + 3, skirt + 7);
  AddStop(shadow, 0, Hex(0x000000, 0.6));
  AddStop(shadow, 1, Hex(0x000000, 0.0));
  cairo_set_source(cr, shadow);
  cairo_arc(cr, cx, cy + 3, skirt + 7, 0, 2 * M_PI);
  cairo_fill(cr);
  cairo_pattern_destroy(shadow);

  // Skirt: dark anodised metal lit from the top left.
  cairo_arc(cr, cx, cy, skirt, 0, 2 * M_PI);
  cairo_pattern_t *body = cairo_pattern_create_linear(cx - skirt, cy - skirt, cx + skirt, cy + skirt);
  AddStop(body, 0, Hex(0x5b5870));
  AddStop(body, 0.5, Hex(0x2c2a3c));
  AddStop(body, 1, Hex(0x141320));
  cairo_set_source(cr, body);
  cairo_fill(cr);
  cairo_pattern_destroy(body);

  // Grip ridges, turning with the knob.
  const int ridges = 40;
  for (int i = 0; i < ridges; ++i) {
    const double a = angle + 360.0 * i / ridges;
    double x0, y0, x1, y1;
    PolarPoint(cx, cy, cap + 2.5, a, x0, y0);
    PolarPoint(cx, cy, skirt - 0.8, a, x1, y1);
    // Ridges facing the light are brighter.
    const double lit = 0.5 + 0.5 * std::cos((a - 315) * M_PI / 180);
    SetColour(cr, Mix(Hex(0x0e0d18, 0.85), Hex(0x8a87a6, 0.85), lit));
    cairo_set_line_width(cr, 1.1);
    cairo_move_to(cr, x0, y0);
    cairo_line_to(cr, x1, y1);
    cairo_stroke(cr);
  }
  // Outer rim highlight.
  cairo_arc(cr, cx, cy, skirt - 0.5, 0, 2 * M_PI);
  cairo_pattern_t *rim = cairo_pattern_create_linear(cx - skirt, cy - skirt, cx + skirt, cy + skirt);
  AddStop(rim, 0, Hex(0xb8b4d8, 0.8));
  AddStop(rim, 1, Hex(0x000000, 0.6));
  cairo_set_source(cr, rim);
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_pattern_destroy(rim);

  // Cap: spun aluminium, a conic sheen that stays with the light, not the knob.
  cairo_pattern_t *sheen = cairo_pattern_create_mesh();
  const int segments = 72;
  for (int i = 0; i < segments; ++i) {
    const double a0 = 360.0 * i / segments, a1 = 360.0 * (i + 1) / segments;
    auto shade = [](double a) {
      // Two bright streaks (top left and bottom right) on a mid-grey body.
      const double t = std::pow(std::fabs(std::cos((a - 315) * M_PI / 180)), 6.0);
      const double base = 0.58 + 0.12 * std::cos((a - 315) * M_PI / 180);
      return base + 0.32 * t;
    };
    double x0, y0, x1, y1;
    PolarPoint(cx, cy, cap, a0, x0, y0);
    PolarPoint(cx, cy, cap, a1, x1, y1);
    const double s0 = shade(a0), s1 = shade(a1);
    cairo_mesh_pattern_begin_patch(sheen);
    cairo_mesh_pattern_move_to(sheen, cx, cy);
    cairo_mesh_pattern_line_to(sheen, x0, y0);
    cairo_mesh_pattern_line_to(sheen, x1, y1);
    cairo_mesh_pattern_line_to(sheen, cx, cy);
    cairo_mesh_pattern_set_corner_color_rgb(sheen, 0, s0, s0, s0 * 1.04);
    cairo_mesh_pattern_set_corner_color_rgb(sheen, 1, s0, s0, s0 * 1.04);
    cairo_mesh_pattern_set_corner_color_rgb(sheen, 2, s1, s1, s1 * 1.04);
    cairo_mesh_pattern_set_corner_color_rgb(sheen, 3, s1, s1, s1 * 1.04);
    cairo_mesh_pattern_end_patch(sheen);
  }
  cairo_arc(cr, cx, cy, cap, 0, 2 * M_PI);
  cairo_set_source(cr, sheen);
  cairo_fill(cr);
  cairo_pattern_destroy(sheen);
  // Fine turning rings.
  for (double r = 4; r < cap; r += 1.5) {
    cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
    SetColour(cr, Hex(0xffffff, (static_cast<int>(r * 2) % 3 == 0) ? 0.05 : 0.0));
    cairo_set_line_width(cr, 0.6);
    cairo_stroke(cr);
  }
  // Bevel round the cap.
  cairo_arc(cr, cx, cy, cap, 0, 2 * M_PI);
  cairo_pattern_t *bevel = cairo_pattern_create_linear(cx - cap, cy - cap, cx + cap, cy + cap);
  AddStop(bevel, 0, Hex(0xffffff, 0.7));
  AddStop(bevel, 0.5, Hex(0x6a6880, 0.4));
  AddStop(bevel, 1, Hex(0x0a0a12, 0.8));
  cairo_set_source(cr, bevel);
  cairo_set_line_width(cr, 1.4);
  cairo_stroke(cr);
  cairo_pattern_destroy(bevel);

  // The pointer: a lit groove from near the centre to the cap's edge, and a
  // matching notch in the skirt.
  double px0, py0, px1, py1;
  PolarPoint(cx, cy, 12, angle, px0, py0);
  PolarPoint(cx, cy, cap - 4, angle, px1, py1);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
  SetColour(cr, Hex(0x15141f, 0.85));
  cairo_set_line_width(cr, 4.4);
  cairo_move_to(cr, px0, py0);
  cairo_line_to(cr, px1, py1);
  cairo_stroke(cr);
  SetColour(cr, kCyan);
  cairo_set_line_width(cr, 2.2);
  cairo_move_to(cr, px0, py0);
  cairo_line_to(cr, px1, py1);
  cairo_stroke(cr);
  double nx0, ny0, nx1, ny1;
  PolarPoint(cx, cy, cap + 2, angle, nx0, ny0);
  PolarPoint(cx, cy, skirt - 1.5, angle, nx1, ny1);
  SetColour(cr, Hex(0xe8f9ff));
  cairo_set_line_width(cr, 1.8);
  cairo_move_to(cr, nx0, ny0);
  cairo_line_to(cr, nx1, ny1);
  cairo_stroke(cr);
  cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
}

} // namespace

void RenderSpinBackground(const Fonts &fonts, const std::string &path) {
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
  cairo_t *cr = cairo_create(surface);
  Backdrop(cr, surface);
  TypeAndColourFields(fonts, cr);
  SpeedCaption(fonts, cr);
  DialScale(fonts, cr);
  HzReadout(fonts, cr);
  WebAddress(fonts, cr);
  Logo(fonts, cr);
  cairo_destroy(cr);
  WritePng(surface, path);
  cairo_surface_destroy(surface);
}

void RenderSpinDialStrip(const std::string &path) {
  const int frame = static_cast<int>(kDialSize);
  cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, frame * kFrames, frame);
  cairo_t *cr = cairo_create(surface);
  for (int k = 0; k < kFrames; ++k) {
    cairo_save(cr);
    cairo_rectangle(cr, k * frame, 0, frame, frame);
    cairo_clip(cr);
    const double angle = kStartAngle + kRangeAngle * (k + 0.5) / kFrames;
    Knob(cr, k * frame + frame / 2.0, frame / 2.0, angle);
    cairo_restore(cr);
  }
  cairo_destroy(cr);
  WritePng(surface, path);
  cairo_surface_destroy(surface);
}

} // namespace artgen
