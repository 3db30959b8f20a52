#include "quorlin/editor/MeterImages.h"

#include <stdexcept>
#include <string>
#include <string_view>

#include "gui/Png.h"
#include "platform/Resources.h"
#include "resources/ResourceNames.h"

namespace quorlin {

namespace {

struct TPictureSpec {
  std::string_view name;
  int width;
  int height;
  bool masked;
};

// In list order (TMeterImage).
constexpr TPictureSpec kPictures[] = {
    {resources::kMeterBackground, 454, 187, false},
    {resources::kMeterBackgroundOld, 454, 187, false},
    {resources::kMeterBobble, 32, 32, true},
    {resources::kMeterNeedlesYellow, 63 * kNeedleFrameWidth, kNeedleFrameHeight, true},
    {resources::kMeterNeedlesOld, 63 * kNeedleFrameWidth, kNeedleFrameHeight, true},
    {resources::kMeterStyleOld, 48, 16, true},
    {resources::kMeterStyleWhite, 61, 17, true},
};

} // namespace

void LoadMeterImages(TDIBImageList &list) {
  list.Clear();
  for (const TPictureSpec &spec : kPictures) {
    const std::string name(spec.name);
    const auto bytes = platform::FindResource(resources::kPictureType, spec.name);
    if (!bytes)
      throw std::runtime_error("picture " + name + " is missing");
    gui::TBitmap32 bitmap = gui::DecodePng(*bytes);
    if (bitmap.Width() != spec.width || bitmap.Height() != spec.height)
      throw std::runtime_error("picture " + name + " has the wrong size");
    list.Add(name, std::move(bitmap), spec.masked);
  }
}

} // namespace quorlin
