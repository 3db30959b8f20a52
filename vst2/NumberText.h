#pragma once
// Number to text and back, as the host's text requests need them.
//
// FloatToText writes the general format with 15 significant digits: the value
// rounded to 15 significant digits, trailing zeros dropped, fixed notation when
// 0.00001 <= |x| and the integer part has at most 15 digits, scientific
// otherwise ("1.0000000116861E-7", "1.00000002004088E20": mantissa with
// trailing zeros dropped, "E", a minus sign only for negative exponents, no
// leading zeros). 0 reads "0"; NaN "NAN"; infinities "INF" / "-INF".
//
// The decimal separator is the user's: the `decimal_point` of the C library's
// current locale (localeconv), read at each call. A program that never called
// setlocale runs in the "C" locale and gets ".". The digits themselves are
// produced locale-independently (std::to_chars).
#include <string>
#include <string_view>

#include "core/Extended.h"

namespace vst2 {

// The current locale's decimal separator ("." when the locale gives none).
std::string DecimalSeparator();

std::string FloatToText(nimbrel::extended value, std::string_view separator);
inline std::string FloatToText(nimbrel::extended value) { return FloatToText(value, DecimalSeparator()); }

// Reads a decimal number: optional blanks, optional sign, digits with at most
// one decimal separator (the given one), optional exponent (E or e, optional
// sign, digits), optional blanks. Returns false for anything else (empty text,
// stray characters, "nan", "inf") and for a result outside the float range.
bool TextToFloat(std::string_view text, std::string_view separator, float &result);
inline bool TextToFloat(std::string_view text, float &result) { return TextToFloat(text, DecimalSeparator(), result); }

} // namespace vst2
