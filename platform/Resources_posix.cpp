// Resources of the running binary on systems without a resource section: the
// generated table that the build links in.
#include "platform/Resources.h"
#include "platform/ResourceTable.h"

namespace platform {

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, std::string_view name) {
  return FindResourceIn(LinkedResources(), type, name);
}

std::optional<std::span<const std::uint8_t>> FindResource(std::string_view type, int id) {
  return FindResourceIn(LinkedResources(), type, id);
}

} // namespace platform
