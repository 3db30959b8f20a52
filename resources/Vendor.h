#pragma once
// The vendor's identity as printed on the artwork.
#include <string_view>

namespace resources {

inline constexpr std::string_view kVendorName = "NimbrelAudio";

// The web page that the spin editor opens from the address printed at its top
// right; the picture prints it without the scheme ("www.nimbrelaudio.com").
inline constexpr std::string_view kVendorWebAddress = "https://www.nimbrelaudio.com/";

} // namespace resources
