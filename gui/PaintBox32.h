#pragma once
// The paint-box base: a control with an off-screen 32-bit buffer of its client
// size. Whenever the buffer is stale (after Invalidate, a resize, or at first)
// the next paint runs the buffer-painting step (PaintBuffer) and then copies
// the buffer onto the form, opaque; otherwise the kept buffer is copied as it
// is, so a repaint of the form costs a copy.
#include "gui/Control.h"

namespace gui {

class TCustomPaintBox32 : public TControl {
public:
  explicit TCustomPaintBox32(TControl *parent = nullptr);

  TBitmap32 &Buffer() { return buffer_; }
  const TBitmap32 &Buffer() const { return buffer_; }
  bool BufferValid() const { return bufferValid_; }

  // Marks the buffer stale and the control's area for repainting.
  void Invalidate() override;
  void Paint(TBitmap32 &canvas) override;

  // Bring the buffer to the client size (its pixels go when the size changes).
  void ResizeBuffer();

protected:
  // The buffer-painting step: draw the whole buffer.
  virtual void PaintBuffer() = 0;
  void BoundsChanged() override;

private:
  TBitmap32 buffer_;
  bool bufferValid_ = false;
};

} // namespace gui
