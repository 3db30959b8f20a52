#pragma once
// Spectrogram pictures through Debian's sox, run as a child process (no shell).
#include <string>

namespace vsthost {

// The sox executable found on PATH, or empty.
std::string FindSox();

// Runs `sox WAV -n spectrogram -t TITLE -o PNG`; false when sox failed.
bool WriteSpectrogram(const std::string &sox, const std::string &wav, const std::string &png,
                      const std::string &title);

} // namespace vsthost
