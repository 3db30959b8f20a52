#pragma once
// Access to both plug-ins' resource tables and decoded pictures.
#include "platform/ResourceTable.h"
#include "resources/ResourceNames.h"

#include <stb_image.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace resources {
extern const platform::ResourceTable kTwirlixResources;
extern const platform::ResourceTable kQuorlinResources;
}

inline std::optional<std::span<const std::uint8_t>> Picture(std::string_view name) {
  if (auto r = platform::FindResourceIn(resources::kTwirlixResources, resources::kPictureType, name))
    return r;
  return platform::FindResourceIn(resources::kQuorlinResources, resources::kPictureType, name);
}

// A picture decoded to 8-bit RGBA.
struct Rgba {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;
  const std::uint8_t *At(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 4]; }
};

inline Rgba Decode(std::string_view name) {
  Rgba out;
  auto bytes = Picture(name);
  if (!bytes)
    return out;
  int channels = 0;
  std::unique_ptr<stbi_uc, void (*)(void *)> data(
      stbi_load_from_memory(bytes->data(), static_cast<int>(bytes->size()), &out.width, &out.height, &channels, 4),
      stbi_image_free);
  if (!data)
    return {};
  out.pixels.assign(data.get(), data.get() + static_cast<std::size_t>(out.width) * out.height * 4);
  return out;
}
