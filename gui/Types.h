#pragma once
// Basic value types of the toolkit: 32-bit ARGB colours, points, sizes and
// rectangles. Rectangles are half-open: Left <= x < Right, Top <= y < Bottom.
#include <algorithm>
#include <cstdint>

namespace gui {

// One pixel, 0xAARRGGBB, straight (not premultiplied) alpha.
using TColor32 = std::uint32_t;

constexpr std::uint32_t AlphaOf(TColor32 c) { return c >> 24; }
constexpr std::uint32_t RedOf(TColor32 c) { return (c >> 16) & 0xFFu; }
constexpr std::uint32_t GreenOf(TColor32 c) { return (c >> 8) & 0xFFu; }
constexpr std::uint32_t BlueOf(TColor32 c) { return c & 0xFFu; }

constexpr TColor32 Color32(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a = 0xFF) {
  return ((a & 0xFFu) << 24) | ((r & 0xFFu) << 16) | ((g & 0xFFu) << 8) | (b & 0xFFu);
}

// The same colour with full opacity.
constexpr TColor32 Opaque(TColor32 c) { return c | 0xFF000000u; }

// Fixed stand-ins for the desktop's system colours: this toolkit has no theme,
// so a "system colour" is simply one of these RGB values.
inline constexpr TColor32 clWindow = 0xFFFFFFFFu;
inline constexpr TColor32 clWindowText = 0xFF000000u;
inline constexpr TColor32 clBtnFace = 0xFFF0F0F0u;
inline constexpr TColor32 clBlack32 = 0xFF000000u;
inline constexpr TColor32 clWhite32 = 0xFFFFFFFFu;

struct TPoint {
  int X = 0;
  int Y = 0;
  friend constexpr bool operator==(TPoint, TPoint) = default;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  friend constexpr bool operator==(TSize, TSize) = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;

  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  constexpr bool Contains(TPoint p) const { return p.X >= Left && p.X < Right && p.Y >= Top && p.Y < Bottom; }
  constexpr TRect Offset(int dx, int dy) const { return {Left + dx, Top + dy, Right + dx, Bottom + dy}; }
  friend constexpr bool operator==(const TRect &, const TRect &) = default;
};

constexpr TRect RectOfSize(int width, int height) { return {0, 0, width, height}; }

// Intersection; empty rectangles come back as {0,0,0,0} so that they compare equal.
constexpr TRect Intersect(const TRect &a, const TRect &b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
          std::min(a.Bottom, b.Bottom)};
  return r.IsEmpty() ? TRect{} : r;
}

// Smallest rectangle holding both; an empty operand does not count.
constexpr TRect Union(const TRect &a, const TRect &b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
          std::max(a.Bottom, b.Bottom)};
}

} // namespace gui
