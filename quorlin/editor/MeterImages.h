#pragma once
// The meter window's image list: the plug-in's seven embedded pictures, in
// the order the window's controls refer to them by index.
#include "quorlin/editor/DIBControls.h"

namespace quorlin {

// Indices into the list.
enum TMeterImage : int {
  kImageBackground = 0,    // look A's background, opaque
  kImageBackgroundOld = 1, // look B's background, opaque
  kImageBobble = 2,        // the mode indicator
  kImageYellow = 3,        // look B's needle strip
  kImageOld = 4,           // look A's needle strip
  kImageStyleOld = 5,      // look B's style switch face
  kImageStyleWhite = 6,    // look A's style switch face
};

inline constexpr int kNeedleFrameWidth = 170;
inline constexpr int kNeedleFrameHeight = 95;

// Fills `list` (cleared first) with the seven pictures from the plug-in's
// resources; all but the backgrounds are masked. Throws std::runtime_error
// when a picture is missing, cannot be decoded or has the wrong size: a
// window without its pictures is not made.
void LoadMeterImages(TDIBImageList &list);

} // namespace quorlin
