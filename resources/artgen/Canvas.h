#pragma once
// Drawing helpers of the artwork generator: surfaces, colours, text in the
// project's fonts, PNG output. Build-time only; nothing here ships.
#include <cairo.h>

#include <cstdint>
#include <string>

namespace artgen {

struct Colour {
  double r, g, b, a = 1.0;
};

// 0xRRGGBB to a colour.
Colour Hex(std::uint32_t rgb, double alpha = 1.0);
Colour Mix(const Colour &a, const Colour &b, double t);

void SetColour(cairo_t *cr, const Colour &c);
void AddStop(cairo_pattern_t *p, double offset, const Colour &c);

// The faces the artwork is lettered in, loaded from font files (never through
// the system's font configuration, so the output does not depend on it).
struct Fonts {
  cairo_font_face_t *regular = nullptr;
  cairo_font_face_t *bold = nullptr;
};
Fonts LoadFonts(const std::string &regularPath, const std::string &boldPath);

enum class Align { Left, Centre, Right };

void UseFont(cairo_t *cr, cairo_font_face_t *face, double pixelSize);
double TextWidth(cairo_t *cr, const std::string &text);
// Draws `text` with its baseline at y; x is the left, centre or right end.
void DrawText(cairo_t *cr, double x, double y, const std::string &text, Align align = Align::Left);
// Letter-spaced text (small captions), `spacing` pixels between letters.
double SpacedWidth(cairo_t *cr, const std::string &text, double spacing);
void DrawSpaced(cairo_t *cr, double x, double y, const std::string &text, double spacing, Align align);

void RoundedRect(cairo_t *cr, double x, double y, double w, double h, double r);

// A point at `radius` from (cx, cy) in the direction `degrees` clockwise from straight up.
void PolarPoint(double cx, double cy, double radius, double degrees, double &x, double &y);

// Deterministic noise for textures.
class Noise {
public:
  explicit Noise(std::uint32_t seed) : state_(seed) {}
  double Next(); // uniform in [0, 1)
private:
  std::uint32_t state_;
};

// Fine grain over the whole surface: every pixel brightened or darkened a little.
void AddGrain(cairo_surface_t *surface, double amount, std::uint32_t seed);

// Masked pictures: transparent pixels become black with alpha 0 (cairo writes
// them so) and no visible pixel is left pure black.
void PrepareMaskedPixels(cairo_surface_t *surface);

void WritePng(cairo_surface_t *surface, const std::string &path);

} // namespace artgen
