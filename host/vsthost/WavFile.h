#pragma once
// WAV files through libsndfile. Reading accepts any format libsndfile decodes;
// writing produces 32-bit float WAV so nothing the plug-in made is lost.
#include <string>

#include "host/vsthost/Audio.h"

namespace vsthost {

// Throws host::HostError with a one-line message.
Audio ReadWav(const std::string &path);
void WriteWav(const std::string &path, const Audio &audio);

} // namespace vsthost
