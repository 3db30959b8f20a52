#pragma once
// PNG into and out of 32-bit bitmaps. Decoding keeps the alpha channel;
// pictures without one come out fully opaque. Any bit depth, colour type and
// interlacing that PNG allows is read; 16-bit samples are reduced to 8 bits.
#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "gui/Bitmap32.h"

namespace gui {

class EPngError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Pictures beyond this many pixels are refused rather than decoded.
inline constexpr std::int64_t kMaxPngPixels = std::int64_t{64} * 1024 * 1024;

// Decode a PNG held in memory; throws EPngError on anything that is not a
// complete, valid PNG within the size limits. The result has draw mode
// opaque and nearest resampling: callers set what they need.
TBitmap32 DecodePng(std::span<const std::uint8_t> bytes);

// Encode as 8-bit RGBA PNG (for snapshots); throws EPngError on failure.
std::vector<std::uint8_t> EncodePng(const TBitmap32 &bitmap);
// EncodePng, written to a file; false when the file cannot be written.
bool WritePngFile(const std::string &path, const TBitmap32 &bitmap);

} // namespace gui
