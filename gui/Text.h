#pragma once
// Single-line text: measuring the text box of a caption and drawing it
// anti-aliased. Text is UTF-8 (malformed bytes show as U+FFFD); line breaks are
// not interpreted. The text box is as wide as the sum of the glyph advances and
// as high as the face's ascent + descent at the font's height; text is drawn
// with the top of that box at the given point.
#include <string_view>

#include "gui/Bitmap32.h"
#include "gui/FontDesc.h"

namespace gui {

// Character heights outside 1..kMaxTextHeight draw nothing and measure 0.
inline constexpr int kMaxTextHeight = 1024;

TSize MeasureText(std::string_view text, const TFont &font);
// Draw `text` with its text box's top-left corner at the logical (x, y) of
// `target`, in font.Color, blended and clipped.
void DrawText(TBitmap32 &target, int x, int y, std::string_view text, const TFont &font);

// UTF-8 decoding as the text functions use it; exposed for the tests.
std::u32string DecodeUtf8(std::string_view text);

} // namespace gui
