#include "gui/Image32.h"

namespace gui {

TImage32::TImage32(TControl *parent) : TControl(parent) {}

void TImage32::SetBitmap(const TBitmap32 &b) {
  bitmap_.Assign(b);
  Invalidate();
}

void TImage32::SetScaleMode(TScaleMode m) {
  if (m == scaleMode_) return;
  scaleMode_ = m;
  Invalidate();
}

void TImage32::Paint(TBitmap32 &canvas) {
  canvas.FillRect(ClientRect(), Opaque(Color()));
  if (scaleMode_ == TScaleMode::smStretch) bitmap_.DrawTo(canvas, ClientRect(), bitmap_.BoundsRect());
  else bitmap_.DrawTo(canvas, 0, 0);
}

} // namespace gui
