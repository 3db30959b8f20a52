#include "Canvas.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <cmath>
#include <stdexcept>

namespace artgen {

Colour Hex(std::uint32_t rgb, double alpha) {
  return {((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0, alpha};
}

Colour Mix(const Colour &a, const Colour &b, double t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

void SetColour(cairo_t *cr, const Colour &c) { cairo_set_source_rgba(cr, c.r, c.g, c.b, c.a); }

void AddStop(cairo_pattern_t *p, double offset, const Colour &c) {
  cairo_pattern_add_color_stop_rgba(p, offset, c.r, c.g, c.b, c.a);
}

namespace {

cairo_font_face_t *LoadFace(FT_Library library, const std::string &path) {
  FT_Face face = nullptr;
  if (FT_New_Face(library, path.c_str(), 0, &face) != 0)
    throw std::runtime_error("cannot load font " + path);
  // The face lives as long as the generator runs; it is never released.
  return cairo_ft_font_face_create_for_ft_face(face, 0);
}

} // namespace

Fonts LoadFonts(const std::string &regularPath, const std::string &boldPath) {
  FT_Library library = nullptr;
  if (FT_Init_FreeType(&library) != 0)
    throw std::runtime_error("cannot start FreeType");
  return {LoadFace(library, regularPath), LoadFace(library, boldPath)};
}

void UseFont(cairo_t *cr, cairo_font_face_t *face, double pixelSize) {
  cairo_set_font_face(cr, face);
  cairo_set_font_size(cr, pixelSize);
  cairo_font_options_t *options = cairo_font_options_create();
  cairo_font_options_set_antialias(options, CAIRO_ANTIALIAS_GRAY);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_SLIGHT);
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_set_font_options(cr, options);
  cairo_font_options_destroy(options);
}

double TextWidth(cairo_t *cr, const std::string &text) {
  cairo_text_extents_t e;
  cairo_text_extents(cr, text.c_str(), &e);
  return e.x_advance;
}

void DrawText(cairo_t *cr, double x, double y, const std::string &text, Align align) {
  const double w = TextWidth(cr, text);
  if (align == Align::Centre)
    x -= w / 2;
  else if (align == Align::Right)
    x -= w;
  cairo_move_to(cr, x, y);
  cairo_show_text(cr, text.c_str());
  cairo_new_path(cr);
}

double SpacedWidth(cairo_t *cr, const std::string &text, double spacing) {
  double w = 0;
  for (std::size_t i = 0; i < text.size(); ++i)
    w += TextWidth(cr, text.substr(i, 1)) + (i + 1 < text.size() ? spacing : 0);
  return w;
}

void DrawSpaced(cairo_t *cr, double x, double y, const std::string &text, double spacing, Align align) {
  const double w = SpacedWidth(cr, text, spacing);
  if (align == Align::Centre)
    x -= w / 2;
  else if (align == Align::Right)
    x -= w;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string letter = text.substr(i, 1);
    cairo_move_to(cr, x, y);
    cairo_show_text(cr, letter.c_str());
    x += TextWidth(cr, letter) + spacing;
  }
  cairo_new_path(cr);
}

void RoundedRect(cairo_t *cr, double x, double y, double w, double h, double r) {
  cairo_new_sub_path(cr);
  cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
  cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
  cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
  cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
  cairo_close_path(cr);
}

void PolarPoint(double cx, double cy, double radius, double degrees, double &x, double &y) {
  const double a = degrees * M_PI / 180.0;
  x = cx + radius * std::sin(a);
  y = cy - radius * std::cos(a);
}

double Noise::Next() {
  state_ = state_ * 1664525u + 1013904223u;
  return (state_ >> 8) / 16777216.0;
}

void AddGrain(cairo_surface_t *surface, double amount, std::uint32_t seed) {
  cairo_surface_flush(surface);
  Noise noise(seed);
  unsigned char *data = cairo_image_surface_get_data(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    auto *row = reinterpret_cast<std::uint32_t *>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const double d = (noise.Next() - 0.5) * 2 * amount * 255;
      std::uint32_t p = row[x];
      const unsigned a = p >> 24;
      std::uint32_t out = p & 0xFF000000u;
      for (int shift = 0; shift <= 16; shift += 8) {
        double c = ((p >> shift) & 0xFF) + d * (a / 255.0);
        c = std::fmin(std::fmax(c, 0.0), static_cast<double>(a));
        out |= static_cast<std::uint32_t>(std::lround(c)) << shift;
      }
      row[x] = out;
    }
  }
  cairo_surface_mark_dirty(surface);
}

void PrepareMaskedPixels(cairo_surface_t *surface) {
  cairo_surface_flush(surface);
  unsigned char *data = cairo_image_surface_get_data(surface);
  const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
  const int stride = cairo_image_surface_get_stride(surface);
  for (int y = 0; y < h; ++y) {
    auto *row = reinterpret_cast<std::uint32_t *>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t p = row[x];
      if ((p >> 24) == 0)
        row[x] = 0; // fully transparent: black
      else if ((p & 0x00FFFFFFu) == 0)
        row[x] = p | 0x00010101u; // visible but black: the darkest grey that is not the key
    }
  }
  cairo_surface_mark_dirty(surface);
}

void WritePng(cairo_surface_t *surface, const std::string &path) {
  if (cairo_surface_write_to_png(surface, path.c_str()) != CAIRO_STATUS_SUCCESS)
    throw std::runtime_error("cannot write " + path);
}

} // namespace artgen
