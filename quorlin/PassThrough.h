#pragma once
// The meter's audio path: every input channel goes to its output unchanged, bit
// for bit. The copy is overlap-safe, so in-place buffers are fine; a channel
// whose input or output pointer is null is skipped, and a count <= 0 copies
// nothing.
#include <cstdint>
#include <cstring>

namespace quorlin {

inline void PassChannelsThrough(const float *const *inputs, float *const *outputs, std::int32_t channels,
                                std::int32_t frames) {
  if (inputs == nullptr || outputs == nullptr || frames <= 0)
    return;
  const std::size_t bytes = static_cast<std::size_t>(frames) * sizeof(float);
  for (std::int32_t ch = 0; ch < channels; ++ch) {
    const float *in = inputs[ch];
    float *out = outputs[ch];
    if (in != nullptr && out != nullptr && in != out)
      std::memmove(out, in, bytes);
  }
}

} // namespace quorlin
