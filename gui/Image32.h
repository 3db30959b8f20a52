#pragma once
// The image control: shows its bitmap over its colour, either 1:1 from the
// top-left corner (smNormal) or stretched over the client area by the bitmap's
// resampler (smStretch), in the bitmap's draw mode.
#include "gui/Control.h"

namespace gui {

enum class TScaleMode : std::uint8_t { smNormal, smStretch };

class TImage32 : public TControl {
public:
  explicit TImage32(TControl *parent = nullptr);

  // Change the picture through Bitmap(), then call Changed() to show it.
  TBitmap32 &Bitmap() { return bitmap_; }
  const TBitmap32 &Bitmap() const { return bitmap_; }
  void SetBitmap(const TBitmap32 &b);
  void Changed() { Invalidate(); }

  TScaleMode ScaleMode() const { return scaleMode_; }
  void SetScaleMode(TScaleMode m);

  void Paint(TBitmap32 &canvas) override;

private:
  TBitmap32 bitmap_;
  TScaleMode scaleMode_ = TScaleMode::smNormal;
};

} // namespace gui
