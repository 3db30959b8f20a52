#pragma once
// Names of the pictures embedded in the two plug-ins. All are PNG files of
// resource type kPictureType ("RCDATA"; on Windows the predefined RT_RCDATA).
//
// Spin plug-in (the table nimbrel_resources_twirlix):
//   "TWIRLIX"  454 x 237, 8-bit RGB: the editor's background.
//   "STITCH"  8001 x 127, 8-bit RGBA (straight alpha): 63 dial frames of 127 x 127.
//   plus the display font, see DisplayFont.h.
// Meter plug-in (the table nimbrel_resources_quorlin), 8-bit RGBA unless noted;
// in the masked ones transparent pixels are alpha 0 and black, and no visible
// pixel is pure black, so they draw alike through their alpha or with black
// as the transparent colour:
//   "Background", "BackgroundOld"  454 x 187, 8-bit RGB, opaque: looks A and B.
//   "Bobble"        32 x 32   mode indicator (the lamp sits in its top-left 28 x 26).
//   "Yellow", "Old" 10710 x 95  needle strips of looks B and A: 63 frames of
//                   170 x 95, frame 0 the lowest reading, frame 62 the highest.
//   "StyleOld"      48 x 16   style switch face of look B.
//   "StyleWhite"    61 x 17   style switch face of look A.
#include <string_view>

namespace resources {

inline constexpr std::string_view kPictureType = "RCDATA";

inline constexpr std::string_view kSpinBackground = "TWIRLIX";
inline constexpr std::string_view kSpinDialStrip = "STITCH";

inline constexpr std::string_view kMeterBackground = "Background";
inline constexpr std::string_view kMeterBackgroundOld = "BackgroundOld";
inline constexpr std::string_view kMeterBobble = "Bobble";
inline constexpr std::string_view kMeterNeedlesYellow = "Yellow";
inline constexpr std::string_view kMeterNeedlesOld = "Old";
inline constexpr std::string_view kMeterStyleOld = "StyleOld";
inline constexpr std::string_view kMeterStyleWhite = "StyleWhite";

} // namespace resources
