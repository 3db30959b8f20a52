#pragma once
// The image container: fills its parent (the form), paints one picture of an
// image list centred over its colour, and parents the other controls. The
// picture is chosen by ImageIndex, changeable at run time (-1: none).
#include "gui/Control.h"
#include "gui/ImageList.h"

namespace gui {

enum class TTileMethod : std::uint8_t { tmCenter };

class TImageContainer : public TControl {
public:
  explicit TImageContainer(TControl *parent = nullptr);

  const TImageList *ImageList() const { return list_; }
  void SetImageList(const TImageList *list);
  int ImageIndex() const { return index_; }
  void SetImageIndex(int index);
  TTileMethod TileMethod = TTileMethod::tmCenter;

  void Paint(TBitmap32 &canvas) override;

private:
  const TImageList *list_ = nullptr;
  int index_ = -1;
};

} // namespace gui
