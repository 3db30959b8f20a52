#include "gui/Bitmap32.h"

#include <stdexcept>

#include "gui/Blend.h"
#include "gui/Resample.h"

namespace gui {

TBitmap32::TBitmap32(int width, int height, TColor32 fill) {
  SetSize(width, height);
  Clear(fill);
}

TBitmap32::TBitmap32(const TBitmap32 &other)
    : DrawMode(other.DrawMode), MasterAlpha(other.MasterAlpha), Resampler(other.Resampler), Font(other.Font),
      width_(other.width_), height_(other.height_), pixels_(other.pixels_) {
  ResetState();
}

TBitmap32 &TBitmap32::operator=(const TBitmap32 &other) {
  if (this != &other) {
    DrawMode = other.DrawMode;
    MasterAlpha = other.MasterAlpha;
    Resampler = other.Resampler;
    Font = other.Font;
    width_ = other.width_;
    height_ = other.height_;
    pixels_ = other.pixels_;
    ResetState();
  }
  return *this;
}

void TBitmap32::AssignPixels(const TBitmap32 &source) {
  if (this == &source) return;
  width_ = source.width_;
  height_ = source.height_;
  pixels_ = source.pixels_;
  ResetState();
}

void TBitmap32::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width > kMaxSide || height > kMaxSide) throw std::length_error("bitmap size out of range");
  if (width == 0 || height == 0) width = height = 0;
  if (width != width_ || height != height_) {
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0u);
  }
  ResetState();
}

TColor32 TBitmap32::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return 0;
  return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void TBitmap32::SetPixel(int x, int y, TColor32 c) {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
  pixels_[static_cast<std::size_t>(y) * width_ + x] = c;
}

void TBitmap32::ResetState() {
  origin_ = {};
  clip_ = BoundsRect();
  saved_.clear();
}

void TBitmap32::IntersectClipRect(const TRect &logical) {
  clip_ = Intersect(clip_, logical.Offset(origin_.X, origin_.Y));
}

void TBitmap32::SaveState() { saved_.push_back({origin_, clip_}); }

void TBitmap32::RestoreState() {
  if (saved_.empty()) {
    origin_ = {};
    clip_ = BoundsRect();
    return;
  }
  origin_ = saved_.back().origin;
  clip_ = saved_.back().clip;
  saved_.pop_back();
}

void TBitmap32::Clear(TColor32 c) { std::fill(pixels_.begin(), pixels_.end(), c); }

void TBitmap32::FillRect(const TRect &logical, TColor32 c) {
  const TRect r = Intersect(clip_, logical.Offset(origin_.X, origin_.Y));
  for (int y = r.Top; y < r.Bottom; ++y) std::fill(ScanLine(y) + r.Left, ScanLine(y) + r.Right, c);
}

void TBitmap32::FillRectBlend(const TRect &logical, TColor32 c) {
  const TRect r = Intersect(clip_, logical.Offset(origin_.X, origin_.Y));
  const std::uint32_t a = AlphaOf(c);
  for (int y = r.Top; y < r.Bottom; ++y) {
    TColor32 *row = ScanLine(y);
    for (int x = r.Left; x < r.Right; ++x) row[x] = BlendPixel(c, row[x], a);
  }
}

void TBitmap32::BlendCoverage(int x, int y, const std::uint8_t *coverage, int width, int height, int stride,
                              TColor32 color) {
  if (!coverage || width <= 0 || height <= 0) return;
  const TRect placed = TRect{x, y, x + width, y + height}.Offset(origin_.X, origin_.Y);
  const TRect r = Intersect(clip_, placed);
  const std::uint32_t colorAlpha = AlphaOf(color);
  for (int dy = r.Top; dy < r.Bottom; ++dy) {
    const std::uint8_t *cov = coverage + static_cast<std::ptrdiff_t>(dy - placed.Top) * stride - placed.Left;
    TColor32 *row = ScanLine(dy);
    for (int dx = r.Left; dx < r.Right; ++dx) row[dx] = BlendPixel(color, row[dx], MulDiv255(cov[dx], colorAlpha));
  }
}

void TBitmap32::DrawTo(TBitmap32 &target, const TRect &dst, const TRect &src) const {
  DrawTo(target, dst, src, DrawMode, MasterAlpha);
}

void TBitmap32::DrawTo(TBitmap32 &target, const TRect &dst, const TRect &src, TDrawMode mode,
                       std::uint8_t masterAlpha) const {
  if (Empty() || target.Empty() || dst.IsEmpty() || src.IsEmpty()) return;
  TransferArgs args;
  args.source = this;
  args.sourceRect = src;
  args.destination = &target;
  args.destRect = dst.Offset(target.origin_.X, target.origin_.Y);
  args.clip = target.clip_;
  args.mode = mode;
  args.masterAlpha = masterAlpha;
  if (src.Width() == dst.Width() && src.Height() == dst.Height())
    TransferOneToOne(args);
  else if (Resampler == TResampler::rsBilinear)
    StretchBilinear(args);
  else
    StretchNearest(args);
}

void TBitmap32::DrawTo(TBitmap32 &target, int x, int y) const {
  DrawTo(target, TRect{x, y, x + width_, y + height_}, BoundsRect());
}

void TBitmap32::CopyTo(TBitmap32 &target, int x, int y) const {
  if (Empty() || target.Empty()) return;
  TransferArgs args;
  args.source = this;
  args.sourceRect = BoundsRect();
  args.destination = &target;
  args.destRect = TRect{x, y, x + width_, y + height_}.Offset(target.origin_.X, target.origin_.Y);
  args.clip = target.clip_;
  args.mode = TDrawMode::dmOpaque;
  TransferOneToOne(args);
}

} // namespace gui
