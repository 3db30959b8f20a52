#pragma once
// The list image: a windowless control showing one picture of an image list
// (or none: ImageIndex -1), at its top-left corner or centred in its bounds
// (Center), blended with Opacity 0..255. Its mouse-down, mouse-up and click
// events are the base's; its top and opacity may change at run time.
#include "gui/Control.h"
#include "gui/ImageList.h"

namespace gui {

class TListImage : public TControl {
public:
  explicit TListImage(TControl *parent = nullptr);

  const TImageList *ImageList() const { return list_; }
  void SetImageList(const TImageList *list);
  int ImageIndex() const { return index_; }
  void SetImageIndex(int index);
  bool Center() const { return center_; }
  void SetCenter(bool c);
  std::uint8_t Opacity() const { return opacity_; }
  void SetOpacity(std::uint8_t o);

  void Paint(TBitmap32 &canvas) override;

private:
  const TImageList *list_ = nullptr;
  int index_ = -1;
  bool center_ = false;
  std::uint8_t opacity_ = 255;
};

} // namespace gui
