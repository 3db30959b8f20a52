#pragma once
// One TrueType font held in memory: its family name (from the font's name
// table), its line metrics and glyph rasterising. A face is immutable once
// made and may be shared between threads.
//
// A font is checked for a table directory that lies within the file and for
// the tables the rasteriser needs; the glyph outlines themselves are trusted
// (the rasteriser does not bounds-check them). Only the project's own fonts
// and installed system fonts are loaded, never fonts handed in by a host.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gui {

// Metrics of a face at one character height, in whole pixels.
struct TLineMetrics {
  int Ascent = 0;  // baseline below the top of the text box
  int Descent = 0; // text box bottom below the baseline
  int Height() const { return Ascent + Descent; }
};

// A rasterised glyph: coverage 0..255, its top-left corner at (OffsetX,
// OffsetY) from the pen position on the baseline.
struct TGlyphImage {
  int Width = 0;
  int Height = 0;
  int OffsetX = 0;
  int OffsetY = 0;
  std::vector<std::uint8_t> Coverage;
};

class TFontFace {
public:
  // Parse a font file held in memory (the face keeps its own copy). Returns
  // null when the bytes are not a usable TrueType/OpenType-TrueType font.
  static std::shared_ptr<const TFontFace> FromBytes(std::vector<std::uint8_t> bytes);
  ~TFontFace();
  TFontFace(const TFontFace &) = delete;
  TFontFace &operator=(const TFontFace &) = delete;

  // The family name (name ID 1), UTF-8; empty when the font names none.
  const std::string &Family() const { return family_; }

  // Text box metrics: the font's Windows ascent and descent (OS/2 table) or,
  // without one, its horizontal header's, scaled to `pixelHeight` and rounded.
  TLineMetrics Metrics(int pixelHeight) const;
  // Advance of one code point in whole pixels (rounded per glyph, so that text
  // widths are sums of integers and grow with every character).
  int Advance(char32_t codepoint, int pixelHeight) const;
  // Rasterise one code point, anti-aliased.
  TGlyphImage Rasterise(char32_t codepoint, int pixelHeight) const;

private:
  struct Impl;
  explicit TFontFace(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
  std::string family_;
};

// Read the family name (name ID 1) from a font file's name table; empty when
// the table is missing or damaged. Exposed for the tests.
std::string ReadFamilyName(const std::uint8_t *data, std::size_t size);

} // namespace gui
