#pragma once
// A list of named pictures for the container, knob and image controls. A
// masked picture is drawn through its mask: its transparent colour is black,
// so pixels whose RGB is 0 are skipped and the others blend by their own alpha;
// an unmasked picture blends by its own alpha (opaque pictures simply cover).
// Either way the draw's opacity (0..255) scales the alpha.
//
// The list owns its pictures. Controls refer to it without owning it: declare
// the list before the controls that use it.
#include <string>
#include <string_view>
#include <vector>

#include "gui/Bitmap32.h"

namespace gui {

struct TImageListItem {
  std::string DisplayName;
  TBitmap32 Bitmap;
  bool Masked = false;
};

class TImageList {
public:
  // Append a picture; returns its index.
  int Add(std::string displayName, TBitmap32 bitmap, bool masked);
  int Count() const { return static_cast<int>(items_.size()); }
  // The item at `index`, or null outside 0..Count-1.
  const TImageListItem *Item(int index) const;
  int IndexOf(std::string_view displayName) const; // -1 when absent
  void Clear() { items_.clear(); }

  // Draw the source rectangle `src` of picture `index` (the whole picture
  // when src is null) 1:1 with its top-left corner at the logical (x, y).
  // Out-of-range indices draw nothing.
  void Draw(TBitmap32 &target, int index, int x, int y, std::uint8_t opacity, const TRect *src = nullptr) const;

private:
  std::vector<TImageListItem> items_;
};

} // namespace gui
