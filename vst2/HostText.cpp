#include "vst2/HostText.h"

#include <cstring>

namespace vst2 {
namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0u) == 0x80u; }

// The longest prefix of `text` of at most `maxBytes` bytes that ends on a
// character boundary.
std::size_t PrefixBytes(std::string_view text, std::size_t maxBytes) {
  if (text.size() <= maxBytes)
    return text.size();
  std::size_t n = maxBytes;
  while (n > 0 && IsContinuationByte(text[n]))
    --n;
  return n;
}

} // namespace

bool CopyToHost(char *buffer, std::size_t capacity, std::string_view text) {
  if (buffer == nullptr || capacity == 0)
    return false;
  const std::size_t n = PrefixBytes(text, capacity - 1);
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
  return true;
}

bool ReadFromHost(const char *text, std::string &result, std::size_t limit) {
  if (text == nullptr)
    return false;
  result.assign(text, strnlen(text, limit));
  return true;
}

std::string Truncated(std::string_view text, std::size_t maxChars) {
  std::size_t chars = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (IsContinuationByte(text[i]))
      continue;
    if (chars == maxChars)
      return std::string(text.substr(0, i));
    ++chars;
  }
  return std::string(text);
}

} // namespace vst2
