#include "gui/Resample.h"

#include "gui/Blend.h"

namespace gui {
namespace {

// The part of the source rectangle that really exists in the source bitmap,
// relative to the source rectangle's top-left corner.
TRect UsableSource(const TransferArgs &a) {
  const TRect inside = Intersect(a.sourceRect, a.source->BoundsRect());
  return inside.Offset(-a.sourceRect.Left, -a.sourceRect.Top);
}

// Position of a destination pixel centre in source units, times 256, relative
// to the source rectangle: (2*d + 1) * srcLen * 256 / (2 * dstLen).
inline std::int64_t Scaled256(int d, int srcLen, int dstLen) {
  return (static_cast<std::int64_t>(2 * static_cast<std::int64_t>(d) + 1) * srcLen * 256) /
         (2 * static_cast<std::int64_t>(dstLen));
}

inline int Clamp(int v, int lo, int hi) { return v < lo ? lo : (v > hi ? hi : v); }

} // namespace

void TransferOneToOne(const TransferArgs &a) {
  const TRect usable = UsableSource(a);
  const TRect placed = usable.Offset(a.destRect.Left, a.destRect.Top);
  const TRect r = Intersect(Intersect(placed, a.destRect), a.clip);
  const int dx = a.sourceRect.Left - a.destRect.Left;
  const int dy = a.sourceRect.Top - a.destRect.Top;
  const int mode = static_cast<int>(a.mode);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const TColor32 *src = a.source->ScanLine(y + dy) + dx;
    TColor32 *dst = a.destination->ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x) CombinePixel(src[x], dst[x], mode, a.masterAlpha);
  }
}

void StretchNearest(const TransferArgs &a) {
  const TRect usable = UsableSource(a);
  if (usable.IsEmpty()) return;
  const TRect r = Intersect(a.destRect, a.clip);
  const int srcW = a.sourceRect.Width(), srcH = a.sourceRect.Height();
  const int dstW = a.destRect.Width(), dstH = a.destRect.Height();
  const int mode = static_cast<int>(a.mode);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const int sy = static_cast<int>(Scaled256(y - a.destRect.Top, srcH, dstH) >> 8);
    if (sy < usable.Top || sy >= usable.Bottom) continue;
    const TColor32 *src = a.source->ScanLine(sy + a.sourceRect.Top) + a.sourceRect.Left;
    TColor32 *dst = a.destination->ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const int sx = static_cast<int>(Scaled256(x - a.destRect.Left, srcW, dstW) >> 8);
      if (sx < usable.Left || sx >= usable.Right) continue;
      CombinePixel(src[sx], dst[x], mode, a.masterAlpha);
    }
  }
}

void StretchBilinear(const TransferArgs &a) {
  const TRect usable = UsableSource(a);
  if (usable.IsEmpty()) return;
  const TRect r = Intersect(a.destRect, a.clip);
  const int srcW = a.sourceRect.Width(), srcH = a.sourceRect.Height();
  const int dstW = a.destRect.Width(), dstH = a.destRect.Height();
  const int mode = static_cast<int>(a.mode);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const std::int64_t v = Scaled256(y - a.destRect.Top, srcH, dstH);
    const int nearestY = static_cast<int>(v >> 8);
    if (nearestY < usable.Top || nearestY >= usable.Bottom) continue;
    const std::int64_t v0 = v - 128; // sample position of the pixel centre
    const int y0 = Clamp(static_cast<int>(v0 >> 8), usable.Top, usable.Bottom - 1);
    const int y1 = Clamp(static_cast<int>(v0 >> 8) + 1, usable.Top, usable.Bottom - 1);
    const std::uint32_t fy = static_cast<std::uint32_t>(v0 & 255);
    const TColor32 *row0 = a.source->ScanLine(y0 + a.sourceRect.Top) + a.sourceRect.Left;
    const TColor32 *row1 = a.source->ScanLine(y1 + a.sourceRect.Top) + a.sourceRect.Left;
    TColor32 *dst = a.destination->ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x) {
      const std::int64_t u = Scaled256(x - a.destRect.Left, srcW, dstW);
      const int nearestX = static_cast<int>(u >> 8);
      if (nearestX < usable.Left || nearestX >= usable.Right) continue;
      const std::int64_t u0 = u - 128;
      const int x0 = Clamp(static_cast<int>(u0 >> 8), usable.Left, usable.Right - 1);
      const int x1 = Clamp(static_cast<int>(u0 >> 8) + 1, usable.Left, usable.Right - 1);
      const std::uint32_t fx = static_cast<std::uint32_t>(u0 & 255);
      const std::uint32_t w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy);
      const std::uint32_t w01 = (256 - fx) * fy, w11 = fx * fy;
      const TColor32 c00 = row0[x0], c10 = row0[x1], c01 = row1[x0], c11 = row1[x1];
      TColor32 out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t ch = ((c00 >> shift) & 255u) * w00 + ((c10 >> shift) & 255u) * w10 +
                                 ((c01 >> shift) & 255u) * w01 + ((c11 >> shift) & 255u) * w11;
        out |= ((ch + 32768u) >> 16) << shift;
      }
      CombinePixel(out, dst[x], mode, a.masterAlpha);
    }
  }
}

} // namespace gui
