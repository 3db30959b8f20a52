#pragma once
// Pixel arithmetic shared by the bitmap's transfers. Straight alpha with
// integer rounding: with an effective alpha a (0..255) every colour channel
// becomes (src*a + dst*(255-a) + 127) / 255, and the alpha channel composes as
// "over": a + dstA*(255-a)/255. a = 255 copies the source, a = 0 keeps dst.
#include <cstdint>

#include "gui/Types.h"

namespace gui {

// x*y/255 rounded to nearest, exact for 0..255 operands.
constexpr std::uint32_t MulDiv255(std::uint32_t x, std::uint32_t y) {
  const std::uint32_t t = x * y + 128;
  return (t + (t >> 8)) >> 8;
}

constexpr TColor32 BlendPixel(TColor32 src, TColor32 dst, std::uint32_t alpha) {
  if (alpha == 0) return dst;
  if (alpha >= 255) return src | 0xFF000000u;
  const std::uint32_t inv = 255 - alpha;
  const auto mix = [&](std::uint32_t s, std::uint32_t d) { return (s * alpha + d * inv + 127) / 255; };
  const std::uint32_t a = alpha + MulDiv255(AlphaOf(dst), inv);
  return Color32(mix(RedOf(src), RedOf(dst)), mix(GreenOf(src), GreenOf(dst)), mix(BlueOf(src), BlueOf(dst)), a);
}

// Effective alpha of a source pixel under a master alpha.
constexpr std::uint32_t EffectiveAlpha(TColor32 src, std::uint32_t master) {
  return MulDiv255(AlphaOf(src), master);
}

// One source pixel onto one destination pixel in the given draw mode.
inline void CombinePixel(TColor32 src, TColor32 &dst, int mode, std::uint32_t master) {
  switch (mode) {
  case 0: dst = src; break; // opaque
  case 2:                   // masked: black is transparent
    if ((src & 0x00FFFFFFu) == 0) break;
    [[fallthrough]];
  default: dst = BlendPixel(src, dst, EffectiveAlpha(src, master)); break;
  }
}

} // namespace gui
