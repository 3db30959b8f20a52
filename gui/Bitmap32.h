#pragma once
// A 32-bit ARGB bitmap (0xAARRGGBB, straight alpha) with the drawing state that
// the controls paint through:
//
// * DrawMode, MasterAlpha and Resampler say how this bitmap is drawn onto
//   another one (DrawTo): an opaque copy, a blend by each pixel's own alpha
//   scaled by MasterAlpha, or a masked blend that also skips pure black pixels
//   (RGB 0, the image list's transparent colour).
// * An origin offset and a clip rectangle say where drawing onto this bitmap
//   lands: drawing operations take logical coordinates, device = logical +
//   Origin, and nothing is written outside ClipRect (device coordinates, always
//   inside the bitmap). SaveState / RestoreState keep both on a stack, so that a
//   control can let its parent paint onto its own buffer.
// * Font is carried along for paint handlers; the bitmap itself never reads it.
#include <cstdint>
#include <vector>

#include "gui/FontDesc.h"
#include "gui/Types.h"

namespace gui {

enum class TDrawMode : std::uint8_t {
  dmOpaque, // copy the source pixels, alpha included
  dmBlend,  // blend by source alpha x MasterAlpha / 255
  dmMasked, // as dmBlend, but source pixels whose RGB is 0 are skipped
};

enum class TResampler : std::uint8_t {
  rsNearest,  // each destination pixel takes the nearest source pixel
  rsBilinear, // each destination pixel interpolates its four neighbours
};

class TBitmap32 {
public:
  TBitmap32() = default;
  TBitmap32(int width, int height, TColor32 fill = 0);

  // Copies take the pixels and the settings (draw mode, master alpha,
  // resampler, font) but start with a fresh drawing state.
  TBitmap32(const TBitmap32 &other);
  TBitmap32 &operator=(const TBitmap32 &other);
  TBitmap32(TBitmap32 &&) noexcept = default;
  TBitmap32 &operator=(TBitmap32 &&) noexcept = default;

  // Copy pixels and settings of `source` (the platform's Assign).
  void Assign(const TBitmap32 &source) { *this = source; }
  // Copy size and pixels only, keeping this bitmap's settings (how a decoded
  // picture is loaded into a bitmap whose draw mode is already chosen).
  void AssignPixels(const TBitmap32 &source);

  // New size, all pixels 0 (transparent black); an unchanged size keeps the
  // pixels. Negative sizes count as 0; sizes above kMaxSide are refused with
  // std::length_error. The drawing state is reset.
  void SetSize(int width, int height);
  static constexpr int kMaxSide = 1 << 15;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ == 0 || height_ == 0; }
  TRect BoundsRect() const { return RectOfSize(width_, height_); }

  TColor32 *Bits() { return pixels_.data(); }
  const TColor32 *Bits() const { return pixels_.data(); }
  TColor32 *ScanLine(int y) { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  const TColor32 *ScanLine(int y) const { return pixels_.data() + static_cast<std::size_t>(y) * width_; }
  // Device-coordinate access; outside the bitmap reads 0 and writes nothing.
  TColor32 Pixel(int x, int y) const;
  void SetPixel(int x, int y, TColor32 c);

  // Settings used when this bitmap is the source of DrawTo.
  TDrawMode DrawMode = TDrawMode::dmOpaque;
  std::uint8_t MasterAlpha = 255;
  TResampler Resampler = TResampler::rsNearest;
  TFont Font;

  // Drawing state (this bitmap as the destination).
  TPoint Origin() const { return origin_; }
  void MoveOrigin(int dx, int dy) { origin_.X += dx, origin_.Y += dy; }
  TRect ClipRect() const { return clip_; }
  // Narrow the clip to `logical` (given in logical coordinates).
  void IntersectClipRect(const TRect &logical);
  void SaveState();
  void RestoreState(); // without a saved state: back to the initial state
  void ResetState();

  // Fill the whole bitmap, ignoring origin and clip.
  void Clear(TColor32 c);
  // Set every pixel of the rectangle (logical) to c, clipped.
  void FillRect(const TRect &logical, TColor32 c);
  // Blend c over the rectangle by c's alpha, clipped.
  void FillRectBlend(const TRect &logical, TColor32 c);
  // Blend `color` over a coverage map (0..255 per pixel, row stride `stride`)
  // whose top-left corner lies at the logical point (x, y); a pixel's alpha is
  // coverage x colour alpha / 255. Used for anti-aliased text.
  void BlendCoverage(int x, int y, const std::uint8_t *coverage, int width, int height, int stride,
                     TColor32 color);

  // Draw the source rectangle `src` of this bitmap onto the rectangle `dst`
  // (logical coordinates of `target`) in this bitmap's draw mode. Equal sizes
  // transfer pixel for pixel; otherwise the source is stretched by this
  // bitmap's resampler. Parts of `src` outside this bitmap draw nothing.
  void DrawTo(TBitmap32 &target, const TRect &dst, const TRect &src) const;
  // The same with an explicit draw mode and master alpha instead of this
  // bitmap's own.
  void DrawTo(TBitmap32 &target, const TRect &dst, const TRect &src, TDrawMode mode,
              std::uint8_t masterAlpha) const;
  // The whole bitmap, 1:1, with its top-left corner at the logical (x, y).
  void DrawTo(TBitmap32 &target, int x, int y) const;
  // The whole bitmap, 1:1 and opaque whatever DrawMode says.
  void CopyTo(TBitmap32 &target, int x, int y) const;

private:
  struct State {
    TPoint origin;
    TRect clip;
  };

  int width_ = 0;
  int height_ = 0;
  std::vector<TColor32> pixels_;
  TPoint origin_{};
  TRect clip_{};
  std::vector<State> saved_;
};

} // namespace gui
