#pragma once
// The text of the editor's Hz label: an LFO frequency rounded once to the
// nearest value with at most 3 significant digits and at most 2 decimals,
// written with exactly 2 decimals, the given decimal separator and " Hz"
// ("0.00 Hz", "0.71 Hz", "13.00 Hz", "12.30 Hz").
//
// Decisions:
//  - The digits are produced without the C library's locale (std::to_chars),
//    so only `separator` decides the decimal mark, whatever locale the host
//    process has set.
//  - The rounding is made on the exact binary value; a value that lies exactly
//    halfway (such as 0.125) goes to the even neighbour.
//  - Frequencies of 1000 Hz and more keep 3 significant digits (1234 gives
//    "1230.00 Hz"); a negative result that rounds to zero is written "0.00".
//  - A frequency that is not a finite number gives an empty text.
#include <string>
#include <string_view>

namespace nimbrel::twirlix {

std::string HzText(float frequency, std::string_view separator);

} // namespace nimbrel::twirlix
