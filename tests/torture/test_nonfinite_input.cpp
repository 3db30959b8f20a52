// Non-finite and tiny input, and the host thread's floating-point state.
//
// A NaN, an infinity or a run of subnormals in the input must not leave either
// plug-in producing NaN, infinity or subnormal output once the input is finite
// again, and every audio call must hand the host back its MXCSR and x87
// control word as they were.
#include <xmmintrin.h>

#include <cfloat>
#include <limits>

#include "core/FpuGuard.h"
#include "quorlin/QuorlinModule.h"
#include "tests/torture/TortureFixture.h"

namespace torture {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kSubnormal = 1e-40f;

// Samples that a splitter cannot take: in both channels of the same frames,
// so that each routine's splitter inputs (also sums and differences of the two
// channels) are non-finite exactly where the zero-filled copy has zeros.
struct BadFrame {
  float left, right;
};
const BadFrame kBadFrames[] = {{kNaN, kNaN}, {kInf, kInf}, {-kInf, kInf}, {kInf, -kInf},
                               {-kNaN, kInf}, {-kInf, -kInf}, {kNaN, -kInf}};

// What a splitter makes of a non-finite sample: 0. The saturators of "old one"
// take an infinity to its limit first, as they take the largest float.
float AsZero(float) { return 0.0f; }
float AsSaturated(float x) { return std::isinf(x) ? std::copysign(FLT_MAX, x) : 0.0f; }

// Noise with non-finite frames scattered over [from, to), and the same signal
// with their equivalents (`substitute`) there.
void Poison(Stereo &bad, Stereo &zeroed, int from, int to, float (*substitute)(float) = AsZero) {
  std::mt19937 rng(99);
  for (int i = from; i < to; ++i) {
    if (rng() % 3 != 0 && i != from)
      continue;
    const BadFrame f = kBadFrames[rng() % std::size(kBadFrames)];
    bad.left[static_cast<std::size_t>(i)] = f.left;
    bad.right[static_cast<std::size_t>(i)] = f.right;
    zeroed.left[static_cast<std::size_t>(i)] = substitute(f.left);
    zeroed.right[static_cast<std::size_t>(i)] = substitute(f.right);
  }
}

std::vector<float> Tail(const std::vector<float> &v, int from) {
  return std::vector<float>(v.begin() + from, v.end());
}

class SpinNonFinite : public testing::TestWithParam<int> {};
INSTANTIATE_TEST_SUITE_P(Torture, SpinNonFinite, testing::Range(1, 11),
                         [](const testing::TestParamInfo<int> &info) { return "Type" + std::to_string(info.param); });

// The splitters take a non-finite sample as 0 (and "old one" saturates an
// infinity to 1 before): after the bad frames the output is exactly that of the
// same signal with those equivalents in their place, clean, and it stays so;
// the LFO runs throughout.
TEST_P(SpinNonFinite, NonFiniteSamplesLeaveNoTrace) {
  auto tortured = Load(Kind::kTwirlix), reference = Load(Kind::kTwirlix);
  for (host::Plugin *p : {tortured.get(), reference.get()}) {
    p->SetParameter(kProcessType, ProcessTypeValue(GetParam()));
    p->SetParameter(kLfoSpeed, 0.6f);
  }
  Stereo bad = Noise(8192, 31), zeroed = bad;
  Poison(bad, zeroed, 1000, 1600, GetParam() == 10 ? AsSaturated : AsZero);
  // A whole block of nothing but NaN as well.
  for (int i = 2048; i < 2560; ++i) {
    bad.left[static_cast<std::size_t>(i)] = bad.right[static_cast<std::size_t>(i)] = kNaN;
    zeroed.left[static_cast<std::size_t>(i)] = zeroed.right[static_cast<std::size_t>(i)] = 0.0f;
  }
  const Stereo a = Render(tortured->RawEffect(), bad, 512);
  const Stereo b = Render(reference->RawEffect(), zeroed, 512);
  EXPECT_TRUE(SameBits(Tail(a.left, 2560), Tail(b.left, 2560)));
  EXPECT_TRUE(SameBits(Tail(a.right, 2560), Tail(b.right, 2560)));
  EXPECT_TRUE(AllClean(Tail(a.left, 2560)) && AllClean(Tail(a.right, 2560)));
  // Between the bad frames the output is clean too, where both inputs are finite.
  for (int i = 1000; i < 1600; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    if (std::isfinite(bad.left[k]) && std::isfinite(bad.right[k])) {
      ASSERT_TRUE(std::isfinite(a.left[k]) && std::isfinite(a.right[k])) << "frame " << i;
    }
  }
}

// Samples at the very top of the float range drive the splitters' states far
// beyond anything a float holds; the output may overflow while they ring out,
// but it must come back clean and stay clean.
TEST_P(SpinNonFinite, OverRangeBurstRingsOut) {
  auto p = Load(Kind::kTwirlix);
  p->SetParameter(kProcessType, ProcessTypeValue(GetParam()));
  p->SetParameter(kLfoSpeed, 0.6f);
  Stereo in = Noise(3 * 44100, 32);
  for (int i = 1000; i < 1100; ++i) {
    in.left[static_cast<std::size_t>(i)] = (i % 2 ? 1 : -1) * FLT_MAX;
    in.right[static_cast<std::size_t>(i)] = (i % 3 ? -1 : 1) * FLT_MAX;
  }
  const Stereo out = Render(p->RawEffect(), in, 1024);
  EXPECT_TRUE(AllClean(Tail(out.left, 44100)) && AllClean(Tail(out.right, 44100)));
}

// Subnormal runs in the input: the output is never subnormal (nor NaN or
// infinite), during the run and after it.
TEST_P(SpinNonFinite, SubnormalRunsGiveNoSubnormalOutput) {
  auto p = Load(Kind::kTwirlix);
  p->SetParameter(kProcessType, ProcessTypeValue(GetParam()));
  p->SetParameter(kLfoSpeed, 0.6f);
  Stereo in = Noise(16384, 33);
  for (int i = 2000; i < 12000; ++i) {
    const float tiny = (i % 7 == 0 ? -1.0f : 1.0f) * kSubnormal * static_cast<float>(1 + i % 5);
    in.left[static_cast<std::size_t>(i)] = tiny;
    in.right[static_cast<std::size_t>(i)] = i % 2 ? 0.0f : tiny;
  }
  const Stereo out = Render(p->RawEffect(), in, 512);
  EXPECT_TRUE(AllClean(out));
}

// The most extreme designs a host can ask for (TBW at either end of its range,
// 1 and 32 coefficients: coefficients nearest 1 ring longest) stay stable: two
// seconds of full-scale noise give clean output in every process type.
TEST_P(SpinNonFinite, ExtremeDesignsStayFinite) {
  for (float tbw : {0.0f, 1.0f}) {
    for (int count : {1, 32}) {
      SCOPED_TRACE("TBW " + std::to_string(tbw) + ", " + std::to_string(count) + " coefficients");
      auto p = Load(Kind::kTwirlix);
      p->SetParameter(kProcessType, ProcessTypeValue(GetParam()));
      p->SetParameter(kLfoSpeed, 1.0f);
      p->SetParameter(kCoefficients, CoefficientsValue(count));
      p->SetParameter(kTbw, tbw);
      const Stereo out = Render(p->RawEffect(), Noise(2 * 44100, 36, 1.0f), 4096);
      EXPECT_TRUE(AllClean(out));
    }
  }
}

// --- The meter -------------------------------------------------------------------------

// Whatever the samples, the meter's outputs are its inputs, bit for bit.
TEST(TortureMeterNonFinite, PassesEverySampleThroughBitForBit) {
  auto p = Load(Kind::kQuorlin);
  Stereo in = Noise(4096, 34);
  Stereo zeroed = in;
  Poison(in, zeroed, 100, 900);
  for (int i = 1000; i < 2000; ++i)
    in.left[static_cast<std::size_t>(i)] = kSubnormal * static_cast<float>(i);
  const Stereo out = Render(p->RawEffect(), in, 256);
  EXPECT_TRUE(SameBits(out, in));
}

// The meter's levels (no host-visible readout but the editor) through the
// module: a non-finite sample never becomes a level or a filter state, and
// both readings are clean once the input is finite again. In Peak mode a
// non-finite sample decays the level like a zero does.
TEST(TortureMeterNonFinite, LevelsStayFiniteAndPeakIgnoresNonFinite) {
  quorlin::TPMModule peak, peakReference, smoothed;
  Stereo bad = Noise(8192, 35), zeroed = bad;
  Poison(bad, zeroed, 0, 4000);
  Stereo out(bad.Frames());
  for (int at = 0; at < bad.Frames(); at += 512) {
    const float *b[2] = {bad.left.data() + at, bad.right.data() + at};
    const float *z[2] = {zeroed.left.data() + at, zeroed.right.data() + at};
    float *o[2] = {out.left.data() + at, out.right.data() + at};
    peak.VST2ModuleProcessPeak(b, o, 512);
    peakReference.VST2ModuleProcessPeak(z, o, 512);
    smoothed.VST2ModuleProcessIIR(b, o, 512);
  }
  for (int ch : {0, 1}) {
    EXPECT_EQ(peak.GetLevel(ch), peakReference.GetLevel(ch)) << ch;
    EXPECT_TRUE(std::isnormal(peak.GetLevel(ch)));
    EXPECT_TRUE(std::isnormal(smoothed.GetLevel(ch))) << smoothed.GetLevel(ch);
    EXPECT_TRUE(std::isfinite(smoothed.IIRState(ch)));
  }
  EXPECT_LE(smoothed.GetLevel(0), 0.5f);
}

// A level that decays through silence must reach zero rather than stick at a
// subnormal value, where every further decay step is slow arithmetic.
TEST(TortureMeterNonFinite, LevelDecaysThroughSilenceToZero) {
  quorlin::TPMModule meter;
  Stereo in(1 << 16);
  in.left[0] = 1.0f;
  in.right[0] = kSubnormal;
  Stereo out(in.Frames());
  const Stereo silence(in.Frames());
  const float *first[2] = {in.left.data(), in.right.data()};
  float *o[2] = {out.left.data(), out.right.data()};
  meter.VST2ModuleProcessPeak(first, o, in.Frames());
  const float *quiet[2] = {silence.left.data(), silence.right.data()};
  // 0.99999 per sample: from 1.0 below the smallest normal float takes about
  // 8.7 million samples; run well past that.
  for (int i = 0; i < 200; ++i)
    meter.VST2ModuleProcessPeak(quiet, o, silence.Frames());
  for (int ch : {0, 1})
    EXPECT_EQ(meter.GetLevel(ch), 0.0f) << "channel " << ch << " stuck at " << meter.GetLevel(ch);
}

// --- The host's floating-point state ------------------------------------------------------

// The control settings only: MXCSR's six sticky exception flags are status
// that any arithmetic sets, the host's own included.
constexpr unsigned kMxcsrFlags = 0x3Fu;
struct FpuState {
  unsigned mxcsr;
  std::uint16_t x87;
  bool operator==(const FpuState &) const = default;
};
FpuState Read() { return {_mm_getcsr() & ~kMxcsrFlags, nimbrel::ReadX87ControlWord()}; }
void Write(FpuState s) {
  _mm_setcsr(s.mxcsr);
  nimbrel::WriteX87ControlWord(s.x87);
}

class HostFpuState : public testing::TestWithParam<Kind> {};
INSTANTIATE_TEST_SUITE_P(Torture, HostFpuState, testing::ValuesIn(kBothPlugins), KindName);

// Hosts run with 53-bit x87 precision (Windows' default) and without
// flush-to-zero, or with their own flags. After every call the host's state is
// as it was, and the audio is the same whatever state the host had.
TEST_P(HostFpuState, EveryCallHandsTheHostItsStateBack) {
  const FpuState saved = Read();
  const FpuState hostStates[] = {
      {0x1F80u, 0x027Fu}, // no FTZ/DAZ, 53-bit precision
      {0x1F80u, 0x037Fu}, // no FTZ/DAZ, 64-bit precision
      {0x9FC0u, 0x007Fu}, // FTZ and DAZ already set, 24-bit precision
      {0x1F80u | 0x6000u, 0x0F7Fu}, // rounding toward zero in both units, for the restore only
  };
  std::vector<Stereo> outputs;
  for (const FpuState host : hostStates) {
    auto p = Load(GetParam());
    vst2::AEffect *e = p->RawEffect();
    const Stereo in = Noise(2048, 41);
    Stereo out(in.Frames());
    Stereo inCopy = in;
    Write(host);
    e->processReplacing(e, inCopy.Pointers(), out.Pointers(), in.Frames());
    const FpuState afterReplacing = Read();
    e->process(e, inCopy.Pointers(), out.Pointers(), 64);
    const FpuState afterAccumulating = Read();
    e->setParameter(e, 0, 0.25f);
    const FpuState afterSet = Read();
    volatile float value = e->getParameter(e, 0);
    (void)value;
    const FpuState afterGet = Read();
    char text[256] = {};
    e->dispatcher(e, vst2::effGetParamDisplay, 0, 0, text, 0.0f);
    e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
    e->dispatcher(e, vst2::effSetProgram, 0, e->numPrograms - 1, nullptr, 0.0f);
    const FpuState afterDispatch = Read();
    Write(saved);
    EXPECT_EQ(afterReplacing, host) << std::hex << host.mxcsr << " " << host.x87;
    EXPECT_EQ(afterAccumulating, host);
    EXPECT_EQ(afterSet, host);
    EXPECT_EQ(afterGet, host);
    EXPECT_EQ(afterDispatch, host);
    if (host.mxcsr & 0x6000u)
      continue; // a host rounding mode other than to-nearest is beyond what the guards set
    outputs.push_back(out);
  }
  for (const Stereo &out : outputs)
    EXPECT_TRUE(SameBits(out, outputs[0])) << "the audio depends on the host's floating-point state";
}

} // namespace
} // namespace torture
