#include "gui/ImageList.h"

namespace gui {

int TImageList::Add(std::string displayName, TBitmap32 bitmap, bool masked) {
  items_.push_back({std::move(displayName), std::move(bitmap), masked});
  return Count() - 1;
}

const TImageListItem *TImageList::Item(int index) const {
  if (index < 0 || index >= Count()) return nullptr;
  return &items_[static_cast<std::size_t>(index)];
}

int TImageList::IndexOf(std::string_view displayName) const {
  for (int i = 0; i < Count(); ++i)
    if (items_[static_cast<std::size_t>(i)].DisplayName == displayName) return i;
  return -1;
}

void TImageList::Draw(TBitmap32 &target, int index, int x, int y, std::uint8_t opacity, const TRect *src) const {
  const TImageListItem *item = Item(index);
  if (!item || opacity == 0) return;
  const TBitmap32 &bitmap = item->Bitmap;
  const TRect from = src ? *src : bitmap.BoundsRect();
  bitmap.DrawTo(target, TRect{x, y, x + from.Width(), y + from.Height()}, from,
                item->Masked ? TDrawMode::dmMasked : TDrawMode::dmBlend, opacity);
}

} // namespace gui
