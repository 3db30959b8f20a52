#pragma once
// Editor snapshots as PNG (stb_image_write, from Debian's libstb-dev: header
// only, no extra run-time library).
#include <string>

#include "host/HostLibrary.h"

namespace vsthost {

// Writes 0xAARRGGBB pixels as an RGBA PNG. Throws host::HostError.
void WritePng(const std::string &path, const host::EditorImage &image);

} // namespace vsthost
