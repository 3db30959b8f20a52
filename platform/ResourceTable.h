#pragma once
// A table of embedded resources and the lookup over it. On Linux the build
// links one such table into each plug-in (generated from the rendered artwork
// and the display font); on Windows the plug-in's own resource section takes
// its place and this table is not used.
//
// Names follow the Win32 resource conventions so that one set of names serves
// every platform: a type and a name are strings compared without regard to
// ASCII case, and a numeric identifier n is the name "#n" (so "TTFFONT" 30 and
// "TTFFONT" "#30" are the same resource).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct ResourceEntry {
  std::string_view type;
  std::string_view name;
  const std::uint8_t *data;
  std::size_t size;
};

using ResourceTable = std::span<const ResourceEntry>;

// The name a numeric identifier has in a table: "#" followed by the decimal id.
std::string NumericResourceName(int id);

// The bytes of the first entry of `table` whose type and name match, or nothing.
std::optional<std::span<const std::uint8_t>> FindResourceIn(ResourceTable table, std::string_view type,
                                                            std::string_view name);
std::optional<std::span<const std::uint8_t>> FindResourceIn(ResourceTable table, std::string_view type,
                                                            int id);

// The table linked into this binary. Defined by exactly one of the generated
// resource libraries (one per plug-in); a binary that looks resources up must
// link one of them.
ResourceTable LinkedResources();

} // namespace platform
