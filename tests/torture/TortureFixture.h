#pragma once
// Shared helpers of the host torture suite: which plug-ins to torture, how to
// load and drive them through their entry point, test signals, and the check
// that an instance's audio state was not corrupted (the same output as a fresh
// instance brought to the same settings, on the same input).
#include <gtest/gtest.h>

#include <sys/mman.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "host/HostLibrary.h"
#include "vst2/VstAbi.h"

namespace torture {

enum class Kind { kTwirlix, kQuorlin };

inline const char *Name(Kind kind) { return kind == Kind::kTwirlix ? "Twirlix" : "Quorlin"; }
inline std::string PathOf(Kind kind) { return std::string(NIMBREL_PLUGIN_DIR) + "/" + Name(kind) + ".so"; }
inline std::string KindName(const testing::TestParamInfo<Kind> &info) { return Name(info.param); }
inline const Kind kBothPlugins[] = {Kind::kTwirlix, Kind::kQuorlin};

// Twirlix's parameters on the host's 0..1 scale.
inline constexpr int kCoefficients = 0, kProcessType = 1, kLfoSpeed = 2, kTbw = 3;
inline float CoefficientsValue(int n) { return static_cast<float>(n - 1) / 31.0f; }
inline float ProcessTypeValue(int m) { return static_cast<float>(m - 1) / 9.0f; }

// Loads the plug-in; the Twirlix LFO is held still at once (speed 0), so that its
// phase stays at the start values whatever the test does later and a fresh
// instance can be compared sample for sample.
inline std::unique_ptr<host::Plugin> Load(Kind kind) {
  auto plugin = host::Plugin::Load(PathOf(kind));
  if (kind == Kind::kTwirlix)
    plugin->SetParameter(kLfoSpeed, 0.0f);
  return plugin;
}

// Raw pointers to stereo channel storage, as a host hands them over.
struct Stereo {
  explicit Stereo(int frames, float fill = 0.0f) : left(frames, fill), right(frames, fill) {}
  float *ptr[2] = {nullptr, nullptr};
  float **Pointers() {
    ptr[0] = left.data();
    ptr[1] = right.data();
    return ptr;
  }
  int Frames() const { return static_cast<int>(left.size()); }
  std::vector<float> left, right;
};

inline Stereo Noise(int frames, unsigned seed, float amplitude = 0.5f) {
  Stereo s(frames);
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> d(-amplitude, amplitude);
  for (int i = 0; i < frames; ++i) {
    s.left[static_cast<std::size_t>(i)] = d(rng);
    s.right[static_cast<std::size_t>(i)] = d(rng);
  }
  return s;
}

// Runs `in` through the replacing entry in blocks of `block` frames.
inline Stereo Render(vst2::AEffect *effect, const Stereo &in, int block) {
  Stereo out(in.Frames());
  for (int at = 0; at < in.Frames(); at += block) {
    const int n = std::min(block, in.Frames() - at);
    float *i[2] = {const_cast<float *>(in.left.data()) + at, const_cast<float *>(in.right.data()) + at};
    float *o[2] = {out.left.data() + at, out.right.data() + at};
    effect->processReplacing(effect, i, o, n);
  }
  return out;
}

inline bool SameBits(const std::vector<float> &a, const std::vector<float> &b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}
inline bool SameBits(const Stereo &a, const Stereo &b) { return SameBits(a.left, b.left) && SameBits(a.right, b.right); }

// Every sample a finite number that is zero or normal (no NaN, infinity or subnormal).
inline bool AllClean(const std::vector<float> &v) {
  for (float x : v)
    if (!(x == 0.0f || std::isnormal(x)))
      return false;
  return true;
}
inline bool AllClean(const Stereo &s) { return AllClean(s.left) && AllClean(s.right); }

// Brings a Twirlix instance to one fixed audio state: LFO still, TBW, process
// type and 8 coefficients, with the splitters' sections cleared (a count change
// clears them when the next block starts) after a block of silence has made
// both previous inputs zero. Two instances whose LFO never moved then give the
// same samples for the same input.
inline void SettleTwirlix(host::Plugin &p, int processType) {
  vst2::AEffect *e = p.RawEffect();
  p.SetParameter(kLfoSpeed, 0.0f);
  Render(e, Stereo(64), 64);
  p.SetParameter(kTbw, 0.3f);
  p.SetParameter(kProcessType, ProcessTypeValue(processType));
  p.SetParameter(kCoefficients, CoefficientsValue(4));
  p.SetParameter(kCoefficients, CoefficientsValue(8));
}

// The check that an instance's audio state survived whatever the test did: it
// must give exactly the output of a fresh instance in the same settings on the
// same input. The meter passes audio through bit for bit in every state.
inline void ExpectAudioLikeFresh(host::Plugin &tortured, Kind kind, const char *what) {
  SCOPED_TRACE(std::string(Name(kind)) + " after " + what);
  ASSERT_FALSE(tortured.IsClosed());
  const Stereo in = Noise(4096, 17);
  if (kind == Kind::kQuorlin) {
    const Stereo out = Render(tortured.RawEffect(), in, 512);
    EXPECT_TRUE(SameBits(out, in)) << "the meter no longer passes audio through unchanged";
    return;
  }
  auto fresh = Load(kind);
  for (int type : {5, 1, 9}) {
    SCOPED_TRACE("process type " + std::to_string(type));
    SettleTwirlix(tortured, type);
    SettleTwirlix(*fresh, type);
    const Stereo a = Render(tortured.RawEffect(), in, 512);
    const Stereo b = Render(fresh->RawEffect(), in, 512);
    EXPECT_TRUE(AllClean(a));
    EXPECT_TRUE(SameBits(a, b)) << "output differs from a fresh instance's";
  }
}

// Opens the editor on the headless backend; false when the build has no editor.
inline bool OpenHeadlessEditor(host::Plugin &p) {
  if (!p.SelectHeadless())
    return false;
  return p.OpenEditor(nullptr);
}

// A buffer of `size` bytes that ends at the end of a readable page: the next
// page is inaccessible, so reading or writing past the end faults at once.
class GuardedBytes {
public:
  explicit GuardedBytes(std::size_t size, char fill) : size_(size) {
    const std::size_t page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
    const std::size_t pages = (size + page - 1) / page + 1;
    mapSize_ = pages * page;
    map_ = ::mmap(nullptr, mapSize_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (map_ == MAP_FAILED)
      throw std::runtime_error("mmap failed");
    char *base = static_cast<char *>(map_);
    ::mprotect(base + mapSize_ - page, page, PROT_NONE);
    data_ = base + mapSize_ - page - size;
    std::memset(data_, fill, size);
  }
  ~GuardedBytes() { ::munmap(map_, mapSize_); }
  GuardedBytes(const GuardedBytes &) = delete;
  GuardedBytes &operator=(const GuardedBytes &) = delete;
  char *data() { return data_; }
  std::size_t size() const { return size_; }

private:
  void *map_ = nullptr;
  std::size_t mapSize_ = 0;
  char *data_ = nullptr;
  std::size_t size_ = 0;
};

} // namespace torture
