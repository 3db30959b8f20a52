#pragma once
// Sample values a host may pass that a copy must keep to the bit, for the
// meter's pass-through tests: both zeros, quiet and signalling NaNs with
// payloads of both signs, both infinities, denormals, the largest finite
// values of both signs and plain values, every `every`-th sample, with
// pseudo-random samples in [-1, 1) between them.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <vector>

namespace quorlin_test {

inline std::vector<float> AwkwardSamples(std::size_t frames, std::uint32_t seed, std::size_t every) {
  const std::uint32_t patterns[] = {0x00000000u, 0x80000000u, 0x7fc00000u, 0xffc00000u, 0x7fa5a5a5u,
                                    0xff80deadu, 0x7f800000u, 0xff800000u, 0x00000001u, 0x807fffffu,
                                    0x7f7fffffu, 0xff7fffffu, 0x3f800000u, 0xbf4ccccdu};
  std::vector<float> v(frames);
  for (std::size_t i = 0; i < frames; ++i) {
    seed = seed * 1664525u + 1013904223u;
    v[i] = i % every == 0 ? std::bit_cast<float>(patterns[(i / every) % std::size(patterns)])
                          : static_cast<float>(static_cast<std::int32_t>(seed)) / 2147483648.0f;
  }
  return v;
}

inline bool SameBits(const float *a, const float *b, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i)
    if (std::bit_cast<std::uint32_t>(a[i]) != std::bit_cast<std::uint32_t>(b[i]))
      return false;
  return true;
}

} // namespace quorlin_test
