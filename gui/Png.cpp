#include "gui/Png.h"

#include <climits>
#include <fstream>
#include <memory>

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

namespace gui {
namespace {

struct StbiFree {
  void operator()(unsigned char *p) const { stbi_image_free(p); }
};

} // namespace

TBitmap32 DecodePng(std::span<const std::uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) throw EPngError("PNG data missing or too large");
  const auto *data = reinterpret_cast<const stbi_uc *>(bytes.data());
  const int length = static_cast<int>(bytes.size());
  int w = 0, h = 0, comp = 0;
  if (!stbi_info_from_memory(data, length, &w, &h, &comp)) throw EPngError("not a PNG");
  if (w <= 0 || h <= 0 || std::int64_t{w} * h > kMaxPngPixels || w > TBitmap32::kMaxSide || h > TBitmap32::kMaxSide)
    throw EPngError("PNG size out of range");
  std::unique_ptr<unsigned char, StbiFree> rgba(stbi_load_from_memory(data, length, &w, &h, &comp, 4));
  if (!rgba) throw EPngError("corrupt PNG");
  TBitmap32 out(w, h);
  const unsigned char *p = rgba.get();
  TColor32 *dst = out.Bits();
  const std::size_t n = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);
  for (std::size_t i = 0; i < n; ++i, p += 4) dst[i] = Color32(p[0], p[1], p[2], p[3]);
  return out;
}

std::vector<std::uint8_t> EncodePng(const TBitmap32 &bitmap) {
  if (bitmap.Empty()) throw EPngError("empty bitmap");
  const std::size_t n = static_cast<std::size_t>(bitmap.Width()) * bitmap.Height();
  std::vector<unsigned char> rgba(n * 4);
  const TColor32 *src = bitmap.Bits();
  for (std::size_t i = 0; i < n; ++i) {
    rgba[4 * i + 0] = static_cast<unsigned char>(RedOf(src[i]));
    rgba[4 * i + 1] = static_cast<unsigned char>(GreenOf(src[i]));
    rgba[4 * i + 2] = static_cast<unsigned char>(BlueOf(src[i]));
    rgba[4 * i + 3] = static_cast<unsigned char>(AlphaOf(src[i]));
  }
  std::vector<std::uint8_t> out;
  const auto sink = [](void *context, void *data, int size) {
    auto *v = static_cast<std::vector<std::uint8_t> *>(context);
    const auto *b = static_cast<const std::uint8_t *>(data);
    v->insert(v->end(), b, b + size);
  };
  if (!stbi_write_png_to_func(sink, &out, bitmap.Width(), bitmap.Height(), 4, rgba.data(), bitmap.Width() * 4))
    throw EPngError("PNG encoding failed");
  return out;
}

bool WritePngFile(const std::string &path, const TBitmap32 &bitmap) {
  try {
    const std::vector<std::uint8_t> png = EncodePng(bitmap);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char *>(png.data()), static_cast<std::streamsize>(png.size()));
    return static_cast<bool>(f);
  } catch (const std::exception &) {
    return false;
  }
}

} // namespace gui
