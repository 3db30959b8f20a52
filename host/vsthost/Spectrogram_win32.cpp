// Windows builds start no sox: there is none to find, so the demo skips its
// spectrogram pictures (it already does so on a system without sox).
#include "host/vsthost/Spectrogram.h"

namespace vsthost {

std::string FindSox() { return {}; }

bool WriteSpectrogram(const std::string &, const std::string &, const std::string &, const std::string &) {
  return false;
}

} // namespace vsthost
