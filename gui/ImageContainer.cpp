#include "gui/ImageContainer.h"

namespace gui {

TImageContainer::TImageContainer(TControl *parent) : TControl(parent) { SetAlign(TAlign::alClient); }

void TImageContainer::SetImageList(const TImageList *list) {
  list_ = list;
  Invalidate();
}

void TImageContainer::SetImageIndex(int index) {
  if (index == index_) return;
  index_ = index;
  Invalidate();
}

void TImageContainer::Paint(TBitmap32 &canvas) {
  canvas.FillRect(ClientRect(), Opaque(Color()));
  if (!list_) return;
  if (const TImageListItem *item = list_->Item(index_))
    list_->Draw(canvas, index_, (Width() - item->Bitmap.Width()) / 2, (Height() - item->Bitmap.Height()) / 2, 255);
}

} // namespace gui
