#pragma once
// Shared helpers of the splitter tests: a deterministic noise source and a
// plain, loop-per-step model of the splitter's arithmetic written from the
// algorithm's description, independent of the production routines.
#include <cstdint>
#include <vector>

#include "core/Extended.h"
#include "dsp/PhaseHalfPi.h"

namespace nimbrel::test {

// Uniform float noise in [-1, 1) from a 64-bit xorshift generator.
inline std::vector<float> Noise(std::size_t length, std::uint64_t seed) {
  std::vector<float> out(length);
  std::uint64_t s = seed * 0x9E3779B97F4A7C15ull + 1;
  for (auto& v : out) {
    s ^= s << 13;
    s ^= s >> 7;
    s ^= s << 17;
    v = float(double(s >> 11) / 9007199254740992.0 * 2.0 - 1.0);
  }
  return out;
}

// A test signal that exercises the anti-denormal offset (a leading run of exact
// zeros, where the offset dominates) and then ordinary noise.
inline std::vector<float> ZerosThenNoise(std::size_t zeros, std::size_t length, std::uint64_t seed) {
  std::vector<float> out(zeros, 0.0f);
  const auto noise = Noise(length, seed);
  out.insert(out.end(), noise.begin(), noise.end());
  return out;
}

struct OutputPair {
  float first;
  float second;
  bool operator==(const OutputPair&) const = default;
};

inline std::vector<OutputPair> RunThrough(nimbrel::dsp::TPhaseHalfPi& splitter, const std::vector<float>& in) {
  std::vector<OutputPair> out(in.size());
  for (std::size_t i = 0; i < in.size(); ++i)
    splitter.ProcessSample(in[i], out[i].first, out[i].second);
  return out;
}

// The splitter's recursion, one explicit step at a time.
class ModelSplitter {
public:
  explicit ModelSplitter(std::vector<double> a)
      : a_(std::move(a)), x_(2, std::vector<double>(a_.size(), 0.0)),
        y_(2, std::vector<double>(a_.size(), 0.0)) {}

  OutputPair Step(float input) {
    using nimbrel::extended;
    const std::size_t n = a_.size();
    // One and two sections add the double nearest 1e-34, more sections the
    // extended nearest.
    const extended offset = n <= 2 ? extended(double(1e-34)) : extended(1e-34L);
    std::vector<double>& X = x_[phase_];
    std::vector<double>& Y = y_[phase_];
    const double in = input;
    Y[0] = double((extended(in) + offset + extended(Y[0])) * extended(a_[0]) - extended(X[0]));
    X[0] = in;
    if (n >= 2) {
      Y[1] = double((extended(previous_) + offset + extended(Y[1])) * extended(a_[1]) - extended(X[1]));
      X[1] = previous_;
    }
    for (std::size_t i = 2; i < n; ++i) {
      Y[i] = double((extended(Y[i - 2]) + extended(Y[i])) * extended(a_[i]) - extended(X[i]));
      X[i] = Y[i - 2];
    }
    OutputPair out{};
    if (n == 1) {
      out = {float(Y[0]), float(previous_)};
    } else {
      out = {float(Y[n - 2]), float(Y[n - 1])};
    }
    previous_ = in;
    phase_ = 1 - phase_;
    return out;
  }

  const std::vector<double>& StageInputs(int phase) const { return x_[phase]; }
  const std::vector<double>& StageOutputs(int phase) const { return y_[phase]; }
  double PreviousInput() const { return previous_; }

private:
  std::vector<double> a_;
  std::vector<std::vector<double>> x_, y_;
  double previous_ = 0.0;
  int phase_ = 0;
};

} // namespace nimbrel::test
