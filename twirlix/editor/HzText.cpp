#include "twirlix/editor/HzText.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace nimbrel::twirlix {
namespace {

constexpr int kSignificantDigits = 3;
constexpr int kDecimals = 2;

// `value` written in fixed notation with `decimals` digits after the point.
std::string Fixed(double value, int decimals) {
  char buffer[400]; // enough for the largest float in fixed notation
  const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
  if (r.ec != std::errc())
    return {};
  return std::string(buffer, r.ptr);
}

} // namespace

std::string HzText(float frequency, std::string_view separator) {
  if (!std::isfinite(frequency))
    return {};
  double value = frequency; // exact
  const double magnitude = std::fabs(value);
  if (magnitude >= 1000.0) {
    // More whole digits than significant ones: round to 3 significant digits
    // (one rounding, in scientific notation), then write that value.
    char buffer[64];
    const auto r = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific,
                                 kSignificantDigits - 1);
    if (r.ec != std::errc() || std::from_chars(buffer, r.ptr, value).ec != std::errc())
      return {};
  } else if (magnitude >= 10.0) {
    // Two whole digits leave one decimal of the three significant ones (three
    // whole digits leave none); round there once, then pad to two decimals.
    const int decimals = magnitude >= 100.0 ? 0 : 1;
    std::string rounded = Fixed(value, decimals);
    if (std::from_chars(rounded.data(), rounded.data() + rounded.size(), value).ec != std::errc())
      return {};
  }
  // Below 10 the two decimals are the binding limit: one rounding to them.
  std::string text = Fixed(value, kDecimals);
  if (text.empty())
    return {};
  if (text.front() == '-' && text.find_first_not_of("-0.") == std::string::npos)
    text.erase(0, 1); // "-0.00"
  const std::size_t point = text.find('.');
  if (point != std::string::npos)
    text.replace(point, 1, separator);
  return text + " Hz";
}

} // namespace nimbrel::twirlix
