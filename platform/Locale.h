#pragma once
// Number formatting settings of the user's locale.
#include <string>

namespace platform {

// The decimal separator of the current locale, as the text that stands between
// the whole and the fractional digits ("." in the "C" locale, "," in many
// European ones; a multibyte character in some). Never empty: "." when the
// locale reports none. Safe to call from any thread.
std::string DecimalSeparator();

} // namespace platform
