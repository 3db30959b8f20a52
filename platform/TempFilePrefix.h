#pragma once
// The rule both temporary-file implementations apply to a file-name prefix:
// 1 to 32 characters of letters, digits, '-', '_' and '.', so a prefix can
// never name another folder or smuggle in a path.
#include <cstddef>
#include <string_view>

namespace platform {

inline bool IsValidTempFilePrefix(std::string_view prefix) {
  constexpr std::size_t kMaxPrefixLength = 32;
  if (prefix.empty() || prefix.size() > kMaxPrefixLength)
    return false;
  for (char c : prefix) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                    c == '_' || c == '.';
    if (!ok)
      return false;
  }
  return true;
}

} // namespace platform
