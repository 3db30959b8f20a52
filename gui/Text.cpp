#include "gui/Text.h"

#include "gui/FontRegistry.h"

namespace gui {

std::u32string DecodeUtf8(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    int extra = b < 0x80 ? 0 : (b >> 5) == 0x6 ? 1 : (b >> 4) == 0xE ? 2 : (b >> 3) == 0x1E ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && i + static_cast<std::size_t>(extra) < text.size();
    for (int k = 1; ok && k <= extra; ++k) {
      const unsigned char n = static_cast<unsigned char>(text[i + k]);
      if ((n & 0xC0) != 0x80) ok = false;
      else c = (c << 6) | (n & 0x3F);
    }
    static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (ok && (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000))) ok = false;
    if (ok) {
      out += c;
      i += static_cast<std::size_t>(extra) + 1;
    } else {
      out += U'\uFFFD';
      ++i;
    }
  }
  return out;
}

TSize MeasureText(std::string_view text, const TFont &font) {
  if (font.Height < 1 || font.Height > kMaxTextHeight) return {};
  const auto face = TFontRegistry::Instance().Resolve(font.Name);
  if (!face) return {};
  int width = 0;
  for (char32_t c : DecodeUtf8(text)) width += face->Advance(c, font.Height);
  return {width, face->Metrics(font.Height).Height()};
}

void DrawText(TBitmap32 &target, int x, int y, std::string_view text, const TFont &font) {
  if (font.Height < 1 || font.Height > kMaxTextHeight || AlphaOf(font.Color) == 0 || text.empty()) return;
  const auto face = TFontRegistry::Instance().Resolve(font.Name);
  if (!face) return;
  const int baseline = y + face->Metrics(font.Height).Ascent;
  const TRect clip = target.ClipRect();
  const TPoint origin = target.Origin();
  int pen = x;
  for (char32_t c : DecodeUtf8(text)) {
    const int advance = face->Advance(c, font.Height);
    // Skip glyphs wholly right of the clip: long captions cost nothing there.
    if (pen + origin.X - font.Height > clip.Right) break;
    const TGlyphImage g = face->Rasterise(c, font.Height);
    target.BlendCoverage(pen + g.OffsetX, baseline + g.OffsetY, g.Coverage.data(), g.Width, g.Height, g.Width,
                         font.Color);
    pen += advance;
  }
}

} // namespace gui
