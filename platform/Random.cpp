// A 64-bit permuted congruential generator (PCG-XSH-RR 64/32): small state,
// good statistical quality, the same sequence on every platform for a seed.
#include "platform/Random.h"

#include <chrono>
#include <mutex>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace platform {
namespace {

class Generator {
public:
  void Seed(std::uint64_t seed) {
    state_ = 0;
    Next();
    state_ += seed;
    Next();
    seeded_ = true;
  }

  std::uint32_t Next() {
    const std::uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + kIncrement;
    const auto xorshifted = static_cast<std::uint32_t>(((old >> 18u) ^ old) >> 27u);
    const auto rot = static_cast<std::uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((32u - rot) & 31u));
  }

  bool seeded() const { return seeded_; }

private:
  static constexpr std::uint64_t kIncrement = 1442695040888963407ULL;
  std::uint64_t state_ = 0;
  bool seeded_ = false;
};

std::mutex &GeneratorMutex() {
  static std::mutex mutex;
  return mutex;
}

Generator &TheGenerator() {
  static Generator generator;
  return generator;
}

std::uint64_t CounterSeed() {
#if defined(_WIN32)
  // The high-resolution performance counter; the millisecond tick count on a
  // system that has none.
  LARGE_INTEGER counter;
  if (::QueryPerformanceCounter(&counter) && counter.QuadPart != 0)
    return static_cast<std::uint64_t>(counter.QuadPart);
  return static_cast<std::uint64_t>(::GetTickCount());
#else
  return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
#endif
}

} // namespace

void Randomize() {
  std::lock_guard<std::mutex> lock(GeneratorMutex());
  TheGenerator().Seed(CounterSeed());
}

void SetRandomSeed(std::uint64_t seed) {
  std::lock_guard<std::mutex> lock(GeneratorMutex());
  TheGenerator().Seed(seed);
}

int Random(int n) {
  if (n <= 0)
    return 0;
  std::lock_guard<std::mutex> lock(GeneratorMutex());
  Generator &g = TheGenerator();
  if (!g.seeded())
    g.Seed(CounterSeed());
  // Lemire's multiply-and-reject: uniform over 0..n-1 without modulo bias.
  const auto range = static_cast<std::uint32_t>(n);
  std::uint64_t product = static_cast<std::uint64_t>(g.Next()) * range;
  auto low = static_cast<std::uint32_t>(product);
  if (low < range) {
    const std::uint32_t threshold = static_cast<std::uint32_t>(-range) % range;
    while (low < threshold) {
      product = static_cast<std::uint64_t>(g.Next()) * range;
      low = static_cast<std::uint32_t>(product);
    }
  }
  return static_cast<int>(product >> 32);
}

} // namespace platform
