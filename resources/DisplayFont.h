#pragma once
// The display font that the spin plug-in carries and installs while it is
// loaded: Clear Sans Regular (Apache License 2.0), taken unchanged from
// Debian's fonts-clear-sans package at build time. A clear, slightly condensed
// screen face that stays legible at the editor's 9-pixel labels. Its licence
// text travels with it as the resource kDisplayFontLicenseType/Name.
#include <string_view>

namespace resources {

// The family name in the font's name table; the spin editor's fonts ask for it.
inline constexpr std::string_view kDisplayFontFamily = "Clear Sans";

// Where the font lies among the plug-in's resources: FindResource("TTFFONT", 30).
inline constexpr std::string_view kDisplayFontResourceType = "TTFFONT";
inline constexpr int kDisplayFontResourceId = 30;

inline constexpr std::string_view kDisplayFontLicenseType = "TEXT";
inline constexpr std::string_view kDisplayFontLicenseName = "FONTLICENSE";

} // namespace resources
