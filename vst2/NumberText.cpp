#include "vst2/NumberText.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <limits>
#include <system_error>

namespace vst2 {
namespace {

constexpr int kSignificantDigits = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

} // namespace

std::string DecimalSeparator() {
  const std::lconv *conv = std::localeconv();
  if (conv == nullptr || conv->decimal_point == nullptr || conv->decimal_point[0] == '\0')
    return ".";
  return conv->decimal_point;
}

std::string FloatToText(nimbrel::extended value, std::string_view separator) {
  if (std::isnan(value))
    return "NAN";
  if (std::isinf(value))
    return value < 0 ? "-INF" : "INF";
  if (value == 0)
    return "0";

  // d.dddddddddddddde[+-]x, correctly rounded, independent of the locale.
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific, kSignificantDigits - 1);
  const std::string_view sci(buf, static_cast<std::size_t>(res.ptr - buf));

  std::string out;
  std::size_t pos = 0;
  if (sci[pos] == '-') {
    out += '-';
    ++pos;
  }
  std::string digits;
  for (; pos < sci.size() && sci[pos] != 'e'; ++pos)
    if (IsDigit(sci[pos]))
      digits += sci[pos];
  int exponent = 0;
  std::from_chars(sci.data() + pos + 1 + (sci[pos + 1] == '+' ? 1 : 0), sci.data() + sci.size(), exponent);
  while (digits.size() > 1 && digits.back() == '0')
    digits.pop_back();

  const bool fixed = exponent >= -5 && exponent < kSignificantDigits;
  if (!fixed) {
    out += digits[0];
    if (digits.size() > 1) {
      out += separator;
      out.append(digits, 1, std::string::npos);
    }
    out += 'E';
    if (exponent < 0)
      out += '-';
    out += std::to_string(exponent < 0 ? -exponent : exponent);
    return out;
  }
  if (exponent < 0) {
    out += '0';
    out += separator;
    out.append(static_cast<std::size_t>(-exponent - 1), '0');
    out += digits;
    return out;
  }
  const std::size_t integerDigits = static_cast<std::size_t>(exponent) + 1;
  if (digits.size() <= integerDigits) {
    out += digits;
    out.append(integerDigits - digits.size(), '0');
  } else {
    out.append(digits, 0, integerDigits);
    out += separator;
    out.append(digits, integerDigits, std::string::npos);
  }
  return out;
}

bool TextToFloat(std::string_view text, std::string_view separator, float &result) {
  std::size_t b = 0, e = text.size();
  while (b < e && IsBlank(text[b]))
    ++b;
  while (e > b && IsBlank(text[e - 1]))
    --e;
  text = text.substr(b, e - b);

  // Rewrite into the plain form std::from_chars reads, validating as we go.
  std::string plain;
  std::size_t i = 0;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-')
      plain += '-';
    ++i;
  }
  bool anyDigit = false, seenSeparator = false;
  while (i < text.size()) {
    if (IsDigit(text[i])) {
      plain += text[i++];
      anyDigit = true;
    } else if (!seenSeparator && !separator.empty() && text.substr(i, separator.size()) == separator) {
      plain += '.';
      i += separator.size();
      seenSeparator = true;
    } else {
      break;
    }
  }
  if (!anyDigit)
    return false;
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    plain += 'e';
    ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
      plain += text[i++];
    bool expDigit = false;
    while (i < text.size() && IsDigit(text[i])) {
      plain += text[i++];
      expDigit = true;
    }
    if (!expDigit)
      return false;
  }
  if (i != text.size())
    return false;

  nimbrel::extended value = 0;
  const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
  if (res.ec == std::errc::result_out_of_range) {
    // Underflow reads as zero; overflow is no usable number.
    bool zeroMantissa = true;
    for (char c : plain) {
      if (c == 'e')
        break;
      if (c >= '1' && c <= '9')
        zeroMantissa = false;
    }
    const auto ePos = plain.find('e');
    if (!zeroMantissa && ePos != std::string::npos && plain.size() > ePos + 1 && plain[ePos + 1] == '-') {
      result = plain[0] == '-' ? -0.0f : 0.0f;
      return true;
    }
    return false;
  }
  if (res.ec != std::errc() || res.ptr != plain.data() + plain.size())
    return false;
  const float f = static_cast<float>(value);
  if (!std::isfinite(f))
    return false;
  result = f;
  return true;
}

} // namespace vst2
