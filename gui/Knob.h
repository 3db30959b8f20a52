#pragma once
// The strip knob: a windowless control showing one frame of a horizontally
// stitched strip from an image list. The frame is
// (Position - Min) * NumGlyphs / (Max - Min + 1) in whole numbers (clamped to
// the strip), drawn at the control's top-left corner at natural size and
// clipped to the control, blended with Opacity. Setting Position clamps it to
// Min..Max and repaints. The knob has no mouse behaviour of its own; disabled,
// it lets the mouse through (see Form.h).
#include "gui/Control.h"
#include "gui/ImageList.h"

namespace gui {

class TStripKnob : public TControl {
public:
  explicit TStripKnob(TControl *parent = nullptr);

  const TImageList *ImageList() const { return list_; }
  void SetImageList(const TImageList *list);
  int ImageIndex() const { return index_; }
  void SetImageIndex(int index);

  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  // Max below Min is taken as Min.
  void SetRange(int min, int max);
  void SetPosition(int position);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int n); // below 1 counts as 1
  std::uint8_t Opacity() const { return opacity_; }
  void SetOpacity(std::uint8_t o);
  // The frame shown for the current position.
  int Frame() const;

  TNotifyEvent OnChange; // raised when Position changes

  void Paint(TBitmap32 &canvas) override;

private:
  const TImageList *list_ = nullptr;
  int index_ = -1;
  int min_ = 0, max_ = 100, position_ = 0, numGlyphs_ = 1;
  std::uint8_t opacity_ = 255;
};

} // namespace gui
