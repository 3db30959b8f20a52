#pragma once
// The process-wide pseudo-random generator (one for every plug-in instance in
// the process). It is seeded from the high-resolution counter the first time it
// is used, or whenever Randomize() is called; every call is thread-safe. Not
// for the audio thread (it takes a short lock) and not for cryptography.
#include <cstdint>

namespace platform {

// Reseeds the generator from the high-resolution counter.
void Randomize();

// Seeds the generator with a fixed value (reproducible sequences, for tests).
void SetRandomSeed(std::uint64_t seed);

// A uniformly distributed whole number in 0..n-1 (no modulo bias); 0 when n <= 0.
int Random(int n);

} // namespace platform
