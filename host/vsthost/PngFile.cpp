#include "host/vsthost/PngFile.h"

#include <vector>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>
#pragma GCC diagnostic pop

namespace vsthost {

void WritePng(const std::string &path, const host::EditorImage &image) {
  if (image.width <= 0 || image.height <= 0 ||
      image.pixels.size() < static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height))
    throw host::HostError(path + ": empty or inconsistent image");
  std::vector<unsigned char> rgba(image.pixels.size() * 4);
  for (std::size_t i = 0; i < image.pixels.size(); ++i) {
    const std::uint32_t p = image.pixels[i];
    rgba[4 * i + 0] = static_cast<unsigned char>(p >> 16);
    rgba[4 * i + 1] = static_cast<unsigned char>(p >> 8);
    rgba[4 * i + 2] = static_cast<unsigned char>(p);
    rgba[4 * i + 3] = static_cast<unsigned char>(p >> 24);
  }
  if (stbi_write_png(path.c_str(), image.width, image.height, 4, rgba.data(), image.width * 4) == 0)
    throw host::HostError(path + ": cannot write PNG");
}

} // namespace vsthost
