#include "gui/Knob.h"

#include <algorithm>

namespace gui {

TStripKnob::TStripKnob(TControl *parent) : TControl(parent) {}

void TStripKnob::SetImageList(const TImageList *list) {
  list_ = list;
  Invalidate();
}

void TStripKnob::SetImageIndex(int index) {
  if (index == index_) return;
  index_ = index;
  Invalidate();
}

void TStripKnob::SetRange(int min, int max) {
  min_ = min;
  max_ = std::max(min, max);
  SetPosition(position_);
  Invalidate();
}

void TStripKnob::SetPosition(int position) {
  position = std::clamp(position, min_, max_);
  if (position == position_) return;
  position_ = position;
  Invalidate();
  if (OnChange) OnChange(*this);
}

void TStripKnob::SetNumGlyphs(int n) {
  n = std::max(n, 1);
  if (n == numGlyphs_) return;
  numGlyphs_ = n;
  Invalidate();
}

void TStripKnob::SetOpacity(std::uint8_t o) {
  if (o == opacity_) return;
  opacity_ = o;
  Invalidate();
}

int TStripKnob::Frame() const {
  const std::int64_t span = std::int64_t{max_} - min_ + 1;
  const std::int64_t frame = (std::int64_t{position_} - min_) * numGlyphs_ / span;
  return static_cast<int>(std::clamp<std::int64_t>(frame, 0, numGlyphs_ - 1));
}

void TStripKnob::Paint(TBitmap32 &canvas) {
  if (!list_) return;
  const TImageListItem *item = list_->Item(index_);
  if (!item) return;
  const int frameWidth = item->Bitmap.Width() / numGlyphs_;
  if (frameWidth <= 0) return;
  const int left = Frame() * frameWidth;
  const TRect src{left, 0, left + frameWidth, item->Bitmap.Height()};
  list_->Draw(canvas, index_, 0, 0, opacity_, &src);
}

} // namespace gui
