// wav_compare A.wav B.wav: exit 0 when both files hold the same audio bit for
// bit (channels, frames, rate and every sample's bits), else 1 with the first
// difference on standard error; 2 when a file cannot be read. Reads through
// the Windows build's own WAV reader, so it also checks that reader against
// the files libsndfile writes on Linux.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>

#include "host/vsthost/WavFile.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: wav_compare A.wav B.wav\n");
    return 2;
  }
  try {
    const vsthost::Audio a = vsthost::ReadWav(argv[1]);
    const vsthost::Audio b = vsthost::ReadWav(argv[2]);
    if (a.samples.Channels() != b.samples.Channels() || a.samples.Frames() != b.samples.Frames() ||
        a.rate != b.rate) {
      std::fprintf(stderr, "shape differs: %d x %d at %.0f Hz against %d x %d at %.0f Hz\n", a.samples.Channels(),
                   a.samples.Frames(), a.rate, b.samples.Channels(), b.samples.Frames(), b.rate);
      return 1;
    }
    for (int c = 0; c < a.samples.Channels(); ++c)
      for (int i = 0; i < a.samples.Frames(); ++i) {
        std::uint32_t x, y;
        std::memcpy(&x, &a.samples.Channel(c)[i], 4);
        std::memcpy(&y, &b.samples.Channel(c)[i], 4);
        if (x != y) {
          std::fprintf(stderr, "channel %d frame %d: %.9g (0x%08X) against %.9g (0x%08X)\n", c, i,
                       static_cast<double>(a.samples.Channel(c)[i]), static_cast<unsigned>(x),
                       static_cast<double>(b.samples.Channel(c)[i]), static_cast<unsigned>(y));
          return 1;
        }
      }
    std::printf("identical: %d channels, %d frames\n", a.samples.Channels(), a.samples.Frames());
    return 0;
  } catch (const std::exception &e) {
    std::fprintf(stderr, "wav_compare: %s\n", e.what());
    return 2;
  }
}
