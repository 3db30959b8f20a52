#include "gui/ListImage.h"

namespace gui {

TListImage::TListImage(TControl *parent) : TControl(parent) {}

void TListImage::SetImageList(const TImageList *list) {
  list_ = list;
  Invalidate();
}

void TListImage::SetImageIndex(int index) {
  if (index == index_) return;
  index_ = index;
  Invalidate();
}

void TListImage::SetCenter(bool c) {
  if (c == center_) return;
  center_ = c;
  Invalidate();
}

void TListImage::SetOpacity(std::uint8_t o) {
  if (o == opacity_) return;
  opacity_ = o;
  Invalidate();
}

void TListImage::Paint(TBitmap32 &canvas) {
  if (!list_) return;
  const TImageListItem *item = list_->Item(index_);
  if (!item) return;
  int x = 0, y = 0;
  if (center_) {
    x = (Width() - item->Bitmap.Width()) / 2;
    y = (Height() - item->Bitmap.Height()) / 2;
  }
  list_->Draw(canvas, index_, x, y, opacity_);
}

} // namespace gui
