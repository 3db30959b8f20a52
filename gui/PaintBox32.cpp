#include "gui/PaintBox32.h"

namespace gui {

TCustomPaintBox32::TCustomPaintBox32(TControl *parent) : TControl(parent) {}

void TCustomPaintBox32::Invalidate() {
  bufferValid_ = false;
  TControl::Invalidate();
}

void TCustomPaintBox32::ResizeBuffer() {
  if (buffer_.Width() != Width() || buffer_.Height() != Height()) {
    buffer_.SetSize(Width(), Height());
    bufferValid_ = false;
  }
}

void TCustomPaintBox32::BoundsChanged() {
  ResizeBuffer();
  bufferValid_ = false;
}

void TCustomPaintBox32::Paint(TBitmap32 &canvas) {
  ResizeBuffer();
  if (!bufferValid_) {
    buffer_.ResetState();
    PaintBuffer();
    buffer_.ResetState();
    bufferValid_ = true;
  }
  buffer_.CopyTo(canvas, 0, 0);
}

} // namespace gui
