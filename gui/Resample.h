#pragma once
// The three ways a source rectangle reaches a destination rectangle: one to
// one, stretched by nearest neighbour, stretched by bilinear interpolation.
// Internal to the bitmap (Bitmap32.cpp); exposed for the tests and benchmarks.
#include <cstdint>

#include "gui/Bitmap32.h"

namespace gui {

struct TransferArgs {
  const TBitmap32 *source = nullptr;
  TRect sourceRect;             // in source pixels; may reach outside the source
  TBitmap32 *destination = nullptr;
  TRect destRect;               // in destination device pixels, before clipping
  TRect clip;                   // destination device clip, inside the destination
  TDrawMode mode = TDrawMode::dmOpaque;
  std::uint8_t masterAlpha = 255;
};

void TransferOneToOne(const TransferArgs &args);
// Destination pixel centres map onto source positions by
// u = (x - destLeft + 0.5) * srcWidth / destWidth (and likewise for y); a
// destination pixel whose nearest source pixel lies outside the source bitmap
// is left alone.
void StretchNearest(const TransferArgs &args);
// As StretchNearest, interpolating the four source pixels around u - 0.5 with
// 8-bit fractional weights; neighbours beyond the edge of the usable source
// area repeat the edge pixel.
void StretchBilinear(const TransferArgs &args);

} // namespace gui
