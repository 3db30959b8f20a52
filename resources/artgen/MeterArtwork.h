#pragma once
// The meter plug-in's seven pictures.
#include "Canvas.h"

#include <string>

namespace artgen {

// Writes Background, BackgroundOld, Bobble, Yellow, Old, StyleOld and
// StyleWhite (.png) into `folder`.
void RenderMeterArtwork(const Fonts &fonts, const std::string &folder);

} // namespace artgen
