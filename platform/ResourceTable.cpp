#include "platform/ResourceTable.h"

#include <algorithm>

namespace platform {
namespace {

// Longest type or name worth comparing; anything longer cannot be in a table.
constexpr std::size_t kMaxNameLength = 256;

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool SameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return AsciiUpper(x) == AsciiUpper(y); });
}

} // namespace

std::string NumericResourceName(int id) { return "#" + std::to_string(id); }

std::optional<std::span<const std::uint8_t>> FindResourceIn(ResourceTable table, std::string_view type,
                                                            std::string_view name) {
  if (type.empty() || name.empty() || type.size() > kMaxNameLength || name.size() > kMaxNameLength)
    return std::nullopt;
  for (const ResourceEntry &entry : table) {
    if (SameName(entry.type, type) && SameName(entry.name, name))
      return std::span<const std::uint8_t>(entry.data, entry.size);
  }
  return std::nullopt;
}

std::optional<std::span<const std::uint8_t>> FindResourceIn(ResourceTable table, std::string_view type, int id) {
  // Win32 numeric identifiers are 16-bit and never 0.
  if (id <= 0 || id > 0xFFFF)
    return std::nullopt;
  return FindResourceIn(table, type, NumericResourceName(id));
}

} // namespace platform
