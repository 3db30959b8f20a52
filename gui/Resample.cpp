#include "gui/Resample.h"

#include <vector>

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
  if (r.IsEmpty()) return;
  const int srcW = a.sourceRect.Width(), srcH = a.sourceRect.Height();
  const int dstW = a.destRect.Width(), dstH = a.destRect.Height();
  const int mode = static_cast<int>(a.mode);
  // Source column of every destination column, -1 where it lies outside.
  std::vector<int> column(static_cast<std::size_t>(r.Width()));
  for (int x = r.Left; x < r.Right; ++x) {
    const int sx = static_cast<int>(Scaled256(x - a.destRect.Left, srcW, dstW) >> 8);
    column[static_cast<std::size_t>(x - r.Left)] = sx >= usable.Left && sx < usable.Right ? sx : -1;
  }
  for (int y = r.Top; y < r.Bottom; ++y) {
    const int sy = static_cast<int>(Scaled256(y - a.destRect.Top, srcH, dstH) >> 8);
    if (sy < usable.Top || sy >= usable.Bottom) continue;
    const TColor32 *src = a.source->ScanLine(sy + a.sourceRect.Top) + a.sourceRect.Left;
    TColor32 *dst = a.destination->ScanLine(y) + r.Left;
    for (std::size_t i = 0; i < column.size(); ++i)
      if (column[i] >= 0) CombinePixel(src[column[i]], dst[i], mode, a.masterAlpha);
  }
}

namespace {

// Where a destination pixel samples along one axis: its two neighbours and
// the 8-bit weight of the second; `inside` is false where it draws nothing.
struct Tap {
  int first = 0, second = 0;
  std::uint32_t weight = 0;
  bool inside = false;
};

Tap TapAt(int d, int srcLen, int dstLen, int lo, int hi) {
  const std::int64_t u = Scaled256(d, srcLen, dstLen);
  const int nearest = static_cast<int>(u >> 8);
  Tap t;
  t.inside = nearest >= lo && nearest < hi;
  const std::int64_t u0 = u - 128; // sample position of the pixel centre
  t.first = Clamp(static_cast<int>(u0 >> 8), lo, hi - 1);
  t.second = Clamp(static_cast<int>(u0 >> 8) + 1, lo, hi - 1);
  t.weight = static_cast<std::uint32_t>(u0 & 255);
  return t;
}

} // namespace

void StretchBilinear(const TransferArgs &a) {
  const TRect usable = UsableSource(a);
  if (usable.IsEmpty()) return;
  const TRect r = Intersect(a.destRect, a.clip);
  if (r.IsEmpty()) return;
  const int srcW = a.sourceRect.Width(), srcH = a.sourceRect.Height();
  const int dstW = a.destRect.Width(), dstH = a.destRect.Height();
  const int mode = static_cast<int>(a.mode);
  std::vector<Tap> columns(static_cast<std::size_t>(r.Width()));
  for (int x = r.Left; x < r.Right; ++x)
    columns[static_cast<std::size_t>(x - r.Left)] = TapAt(x - a.destRect.Left, srcW, dstW, usable.Left, usable.Right);
  for (int y = r.Top; y < r.Bottom; ++y) {
    const Tap ty = TapAt(y - a.destRect.Top, srcH, dstH, usable.Top, usable.Bottom);
    if (!ty.inside) continue;
    const std::uint32_t fy = ty.weight;
    const TColor32 *row0 = a.source->ScanLine(ty.first + a.sourceRect.Top) + a.sourceRect.Left;
    const TColor32 *row1 = a.source->ScanLine(ty.second + a.sourceRect.Top) + a.sourceRect.Left;
    TColor32 *dst = a.destination->ScanLine(y) + r.Left;
    for (std::size_t i = 0; i < columns.size(); ++i) {
      const Tap &tx = columns[i];
      if (!tx.inside) continue;
      const std::uint32_t fx = tx.weight;
      const std::uint32_t w00 = (256 - fx) * (256 - fy), w10 = fx * (256 - fy);
      const std::uint32_t w01 = (256 - fx) * fy, w11 = fx * fy;
      const TColor32 c00 = row0[tx.first], c10 = row0[tx.second], c01 = row1[tx.first], c11 = row1[tx.second];
      TColor32 out = 0;
      for (int shift = 0; shift < 32; shift += 8) {
        const std::uint32_t ch = ((c00 >> shift) & 255u) * w00 + ((c10 >> shift) & 255u) * w10 +
                                 ((c01 >> shift) & 255u) * w01 + ((c11 >> shift) & 255u) * w11;
        out |= ((ch + 32768u) >> 16) << shift;
      }
      CombinePixel(out, dst[i], mode, a.masterAlpha);
    }
  }
}

} // namespace gui
