#include "gui/FontFace.h"

#include <cmath>

#include <stb/stb_truetype.h>

namespace gui {
namespace {

std::uint16_t U16(const std::uint8_t *p) { return static_cast<std::uint16_t>((p[0] << 8) | p[1]); }
std::uint32_t U32(const std::uint8_t *p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

void AppendUtf8(std::string &out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::string FromUtf16Be(const std::uint8_t *p, std::size_t bytes) {
  std::string out;
  for (std::size_t i = 0; i + 1 < bytes; i += 2) {
    char32_t c = U16(p + i);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < bytes) {
      const char32_t low = U16(p + i + 2);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

// Offset and length of a table of the first font in the file, or false.
bool FindTable(const std::uint8_t *data, std::size_t size, const char tag[4], std::uint32_t &offset,
               std::uint32_t &length) {
  const int fontOffset = stbtt_GetFontOffsetForIndex(data, 0);
  if (fontOffset < 0 || static_cast<std::size_t>(fontOffset) + 12 > size) return false;
  const std::uint8_t *dir = data + fontOffset;
  const std::uint16_t tables = U16(dir + 4);
  if (static_cast<std::size_t>(fontOffset) + 12 + std::size_t{tables} * 16 > size) return false;
  for (std::uint16_t t = 0; t < tables; ++t) {
    const std::uint8_t *rec = dir + 12 + t * 16;
    if (rec[0] == tag[0] && rec[1] == tag[1] && rec[2] == tag[2] && rec[3] == tag[3]) {
      offset = U32(rec + 8);
      length = U32(rec + 12);
      return offset <= size && length <= size - offset;
    }
  }
  return false;
}

} // namespace

std::string ReadFamilyName(const std::uint8_t *data, std::size_t size) {
  if (!data || size < 12) return {};
  std::uint32_t off = 0, len = 0;
  if (!FindTable(data, size, "name", off, len) || len < 6) return {};
  const std::uint8_t *table = data + off;
  const std::uint16_t count = U16(table + 2);
  const std::uint16_t storage = U16(table + 4);
  int bestScore = 0;
  std::string best;
  for (std::uint16_t i = 0; i < count; ++i) {
    const std::size_t rec = 6 + std::size_t{i} * 12;
    if (rec + 12 > len) break;
    const std::uint8_t *r = table + rec;
    const std::uint16_t platform = U16(r), encoding = U16(r + 2), language = U16(r + 4), nameId = U16(r + 6);
    const std::uint16_t length = U16(r + 8), offset = U16(r + 10);
    if (nameId != 1) continue;
    if (std::size_t{storage} + offset + length > len) continue;
    int score = 0;
    if (platform == 3 && (encoding == 1 || encoding == 10)) score = language == 0x409 ? 4 : 3;
    else if (platform == 0) score = 2;
    else if (platform == 1 && encoding == 0) score = 1;
    if (score <= bestScore) continue;
    const std::uint8_t *text = table + storage + offset;
    if (score >= 2) {
      best = FromUtf16Be(text, length);
    } else {
      best.clear(); // Mac Roman: take the ASCII range, which is what family names use
      for (std::uint16_t k = 0; k < length; ++k) AppendUtf8(best, text[k] < 0x80 ? text[k] : U'?');
    }
    bestScore = score;
  }
  return best;
}

struct TFontFace::Impl {
  std::vector<std::uint8_t> bytes;
  stbtt_fontinfo info{};
  int winAscent = 0, winDescent = 0;
  bool hasWinMetrics = false;

  float Scale(int pixelHeight) const {
    return stbtt_ScaleForMappingEmToPixels(&info, static_cast<float>(pixelHeight));
  }
};

std::shared_ptr<const TFontFace> TFontFace::FromBytes(std::vector<std::uint8_t> bytes) {
  if (bytes.size() < 12) return nullptr;
  auto impl = std::make_unique<Impl>();
  impl->bytes = std::move(bytes);
  const std::uint8_t *data = impl->bytes.data();
  const std::size_t size = impl->bytes.size();
  const int offset = stbtt_GetFontOffsetForIndex(data, 0);
  if (offset < 0) return nullptr;
  // The rasteriser trusts the table directory: every table must lie in the file.
  if (static_cast<std::size_t>(offset) + 12 > size) return nullptr;
  const std::uint16_t tables = U16(data + offset + 4);
  if (static_cast<std::size_t>(offset) + 12 + std::size_t{tables} * 16 > size) return nullptr;
  for (std::uint16_t t = 0; t < tables; ++t) {
    const std::uint8_t *rec = data + offset + 12 + t * 16;
    const std::uint32_t o = U32(rec + 8), l = U32(rec + 12);
    if (o > size || l > size - o) return nullptr;
  }
  for (const char *tag : {"head", "hhea", "hmtx", "cmap", "maxp"}) {
    std::uint32_t o = 0, l = 0;
    if (!FindTable(data, size, tag, o, l)) return nullptr;
  }
  if (!stbtt_InitFont(&impl->info, data, offset)) return nullptr;
  std::uint32_t o = 0, l = 0;
  if (FindTable(data, size, "OS/2", o, l) && l >= 78) {
    impl->winAscent = U16(data + o + 74);
    impl->winDescent = U16(data + o + 76);
    impl->hasWinMetrics = impl->winAscent + impl->winDescent > 0;
  }
  std::string family = ReadFamilyName(data, size);
  std::shared_ptr<TFontFace> face(new TFontFace(std::move(impl)));
  face->family_ = std::move(family);
  return face;
}

TFontFace::TFontFace(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TFontFace::~TFontFace() = default;

TLineMetrics TFontFace::Metrics(int pixelHeight) const {
  if (pixelHeight <= 0) return {};
  const float scale = impl_->Scale(pixelHeight);
  int ascent = impl_->winAscent, descent = impl_->winDescent;
  if (!impl_->hasWinMetrics) {
    int lineGap = 0;
    stbtt_GetFontVMetrics(&impl_->info, &ascent, &descent, &lineGap);
    descent = -descent;
  }
  return {static_cast<int>(std::lround(ascent * scale)), static_cast<int>(std::lround(descent * scale))};
}

int TFontFace::Advance(char32_t codepoint, int pixelHeight) const {
  if (pixelHeight <= 0) return 0;
  int advance = 0, bearing = 0;
  stbtt_GetCodepointHMetrics(&impl_->info, static_cast<int>(codepoint), &advance, &bearing);
  return std::max(0, static_cast<int>(std::lround(advance * impl_->Scale(pixelHeight))));
}

TGlyphImage TFontFace::Rasterise(char32_t codepoint, int pixelHeight) const {
  TGlyphImage g;
  if (pixelHeight <= 0) return g;
  const float scale = impl_->Scale(pixelHeight);
  int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
  stbtt_GetCodepointBitmapBox(&impl_->info, static_cast<int>(codepoint), scale, scale, &x0, &y0, &x1, &y1);
  if (x1 <= x0 || y1 <= y0) return g;
  g.Width = x1 - x0;
  g.Height = y1 - y0;
  g.OffsetX = x0;
  g.OffsetY = y0;
  g.Coverage.assign(static_cast<std::size_t>(g.Width) * g.Height, 0);
  stbtt_MakeCodepointBitmap(&impl_->info, g.Coverage.data(), g.Width, g.Height, g.Width, scale, scale,
                            static_cast<int>(codepoint));
  return g;
}

} // namespace gui
