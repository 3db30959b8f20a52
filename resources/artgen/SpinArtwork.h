#pragma once
// The spin plug-in's pictures: the editor background and the dial strip.
#include "Canvas.h"

#include <string>

namespace artgen {

// "TWIRLIX": 454 x 237, opaque RGB.
void RenderSpinBackground(const Fonts &fonts, const std::string &path);
// "STITCH": 63 frames of 127 x 127 side by side, RGBA with soft edges.
void RenderSpinDialStrip(const std::string &path);

} // namespace artgen
