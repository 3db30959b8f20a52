// Hosts run their threads with the x87 precision they like; Windows starts
// every thread at 53 bits, which would silently turn the plug-ins' extended
// arithmetic into double. The host library loads the control word before
// every call into the plug-in; what the plug-in hands back (audio, texts,
// host values, the meter's picture) must be bit for bit what a host at 64
// bits gets.
#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/Extended.h"
#include "core/FpuGuard.h"
#include "host/HostLibrary.h"
#include "tests/windows/PluginFiles.h"

namespace {

using wintest::kHostControlWord53;

// What a scenario produced, compared as a whole.
struct Outcome {
  std::vector<float> left, right;
  std::vector<std::string> texts;
  std::vector<float> hostValues;
  std::vector<std::uint32_t> picture;
};

void ExpectSameBits(const Outcome &a, const Outcome &b, const std::string &what) {
  ASSERT_EQ(a.left.size(), b.left.size()) << what;
  EXPECT_EQ(std::memcmp(a.left.data(), b.left.data(), a.left.size() * sizeof(float)), 0) << what << ": left";
  EXPECT_EQ(std::memcmp(a.right.data(), b.right.data(), a.right.size() * sizeof(float)), 0) << what << ": right";
  EXPECT_EQ(a.texts, b.texts) << what;
  ASSERT_EQ(a.hostValues.size(), b.hostValues.size()) << what;
  EXPECT_EQ(std::memcmp(a.hostValues.data(), b.hostValues.data(), a.hostValues.size() * sizeof(float)), 0) << what;
  EXPECT_EQ(a.picture, b.picture) << what;
}

// A stereo signal with content over the whole band: two tones and noise.
void FillInput(host::ChannelBuffers &in, int offset) {
  std::uint32_t seed = 12345u + static_cast<std::uint32_t>(offset);
  for (int i = 0; i < in.Frames(); ++i) {
    const double t = static_cast<double>(offset + i) / 44100.0;
    seed = seed * 1664525u + 1013904223u;
    const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 0.2;
    in.Channel(0)[i] = static_cast<float>(0.5 * std::sin(2 * M_PI * 440.0 * t) + noise);
    in.Channel(1)[i] = static_cast<float>(0.4 * std::sin(2 * M_PI * 3150.0 * t) - noise);
  }
}

void Process(host::Plugin &p, Outcome &out, int frames, int block) {
  host::ChannelBuffers in(2, block), o(2, block);
  for (int at = 0; at < frames; at += block) {
    const int n = std::min(block, frames - at);
    FillInput(in, at);
    p.ProcessReplacing(in, o, n);
    out.left.insert(out.left.end(), o.Channel(0), o.Channel(0) + n);
    out.right.insert(out.right.end(), o.Channel(1), o.Channel(1) + n);
  }
}

void ReadBack(host::Plugin &p, Outcome &out) {
  for (int i = 0; i < p.NumParameters(); ++i) {
    out.texts.push_back(p.ParameterDisplay(i));
    out.hostValues.push_back(p.Parameter(i));
  }
}

// Gives the test thread its own control word back after a run at 53 bits.
class RestoreControlWord {
public:
#if NIMBREL_X86
  RestoreControlWord() : saved_(nimbrel::ReadX87ControlWord()) {}
  ~RestoreControlWord() { nimbrel::WriteX87ControlWord(saved_); }
private:
  std::uint16_t saved_;
#endif
};

host::LoadOptions Options(std::optional<std::uint16_t> controlWord) {
  host::LoadOptions o;
  o.x87ControlWord = controlWord;
  return o;
}

struct SpinScenario {
  const char *name;
  int program;          // selected first
  int processType;      // then set through the text request (0: leave)
  int coefficients;     // (0: leave)
  const char *lfoSpeed; // host value text (nullptr: leave)
  const char *tbw;      // (nullptr: leave)
};

// Every mode, several coefficient counts (each a routine of its own), program
// changes, a host-set speed and a redesign through the transition bandwidth.
const SpinScenario kSpinScenarios[] = {
    {"mono", 0, 1, 0, nullptr, nullptr},         {"stereo a", 1, 2, 4, "3", nullptr},
    {"stereo b", 2, 3, 12, nullptr, nullptr},    {"type 4", 3, 4, 1, "7.5", nullptr},
    {"type 5", 4, 5, 24, nullptr, "0.05"},       {"type 6", 0, 6, 32, "13", nullptr},
    {"type 7", 1, 7, 16, nullptr, "0.2"},        {"type 8", 2, 8, 2, "0.25", nullptr},
    {"type 9", 3, 9, 9, nullptr, nullptr},       {"old one", 5, 10, 0, nullptr, nullptr},
    {"programs only", 4, 0, 0, nullptr, nullptr}};

Outcome RunSpin(const SpinScenario &s, std::optional<std::uint16_t> controlWord) {
  const RestoreControlWord restore;
  Outcome out;
  auto p = host::Plugin::Load(wintest::kTwirlix, Options(controlWord));
  p->Open();
  p->SetSampleRate(48000.0f);
  p->SetBlockSize(256);
  p->SetProgram(s.program);
  if (s.coefficients) {
    EXPECT_TRUE(p->SetParameterFromText(0, std::to_string(s.coefficients)));
  }
  if (s.processType) {
    EXPECT_TRUE(p->SetParameterFromText(1, std::to_string(s.processType)));
  }
  if (s.lfoSpeed) {
    EXPECT_TRUE(p->SetParameterFromText(2, s.lfoSpeed));
  }
  if (s.tbw) {
    EXPECT_TRUE(p->SetParameterFromText(3, s.tbw));
  }
  p->SetParameter(2, 0.3f); // a host value through the linear mapping
  p->Resume();
  Process(*p, out, 6000, 256);
  p->SetProgram((s.program + 1) % 6); // and on after a program change, odd blocks
  Process(*p, out, 3001, 173);
  ReadBack(*p, out);
  p->Close();
  return out;
}

TEST(HostPrecision, TheSettingReachesExtendedArithmetic) {
  // The control: at 53 bits this process's own extended arithmetic does
  // differ, so equal plug-in results below are the guards' doing.
#if NIMBREL_X86
  if (!nimbrel::kHasExtended) GTEST_SKIP() << "no extended type on this target";
  volatile nimbrel::extended one = 1, third = 3;
  const std::uint16_t saved = nimbrel::ReadX87ControlWord();
  nimbrel::WriteX87ControlWord(kHostControlWord53);
  const nimbrel::extended at53 = one / third;
  nimbrel::WriteX87ControlWord(static_cast<std::uint16_t>(saved | 0x0300));
  const nimbrel::extended at64 = one / third;
  nimbrel::WriteX87ControlWord(saved);
  EXPECT_NE(at53, at64);
#else
  GTEST_SKIP() << "no x87 unit";
#endif
}

void PrintTo(const SpinScenario &s, std::ostream *os) { *os << s.name; }

class SpinPrecision : public ::testing::TestWithParam<SpinScenario> {};

TEST_P(SpinPrecision, HostAt53BitsGetsTheSameBits) {
  const SpinScenario &s = GetParam();
  const Outcome reference = RunSpin(s, std::nullopt);
  const Outcome at53 = RunSpin(s, kHostControlWord53);
  ExpectSameBits(reference, at53, s.name);
  // Not trivially equal: the plug-in did shift the signal.
  EXPECT_GT(reference.left.size(), 9000u);
}

INSTANTIATE_TEST_SUITE_P(EveryMode, SpinPrecision, ::testing::ValuesIn(kSpinScenarios),
                         [](const auto &info) {
                           std::string n = info.param.name;
                           for (char &c : n)
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           return n;
                         });

// The meter's levels come from the measuring routines (audio entry) and are
// turned into needle positions at the editor's timer tick (idle calls):
// both must be unaffected by the host's setting.
Outcome RunMeter(float mode, std::optional<std::uint16_t> controlWord) {
  const RestoreControlWord restore;
  Outcome out;
  auto p = host::Plugin::Load(wintest::kQuorlin, Options(controlWord));
  p->Open();
  p->SetSampleRate(44100.0f);
  p->SetBlockSize(512);
  p->SetParameter(0, mode);
  p->Resume();
  EXPECT_TRUE(p->SelectHeadless());
  EXPECT_TRUE(p->OpenEditor(nullptr));
  for (int round = 0; round < 12; ++round) {
    Process(*p, out, 1764, 441);
    p->AdvanceClock(40);
    p->EditorIdle();
  }
  if (auto image = p->RenderEditor()) out.picture = image->pixels;
  EXPECT_FALSE(out.picture.empty());
  ReadBack(*p, out);
  p->CloseEditor();
  p->Close();
  return out;
}

TEST(MeterPrecision, HostAt53BitsGetsTheSameAudioAndNeedles) {
  for (const float mode : {0.0f, 1.0f}) {
    const Outcome reference = RunMeter(mode, std::nullopt);
    const Outcome at53 = RunMeter(mode, kHostControlWord53);
    ExpectSameBits(reference, at53, mode < 0.5f ? "Peak" : "RMS");
  }
}

} // namespace
