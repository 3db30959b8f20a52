// Twirlix.so as a host sees it: loaded through its exported entry by the host
// library and driven only through the effect record (dispatcher, parameter and
// audio entries).
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/FpuGuard.h"
#include "host/HostLibrary.h"
#include "tests/twirlix/SpinReference.h"
#include "vst2/VstAbi.h"

namespace {

using spintest::Noise;
using spintest::SpinReference;

const std::string kPath = std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so";
constexpr double kRate = 44100.0;

std::unique_ptr<host::Plugin> LoadTwirlix() { return host::Plugin::Load(kPath); }

// Runs whole signals through the replacing entry in blocks of `block` frames.
void Render(host::Plugin &plugin, const std::vector<float> &inL, const std::vector<float> &inR,
            std::vector<float> &outL, std::vector<float> &outR, int block) {
  const int frames = static_cast<int>(inL.size());
  outL.resize(inL.size());
  outR.resize(inL.size());
  vst2::AEffect *e = plugin.RawEffect();
  for (int at = 0; at < frames; at += block) {
    const int n = std::min(block, frames - at);
    float *in[2] = {const_cast<float *>(inL.data()) + at, const_cast<float *>(inR.data()) + at};
    float *out[2] = {outL.data() + at, outR.data() + at};
    e->processReplacing(e, in, out, n);
  }
}

bool SameBits(const std::vector<float> &a, const std::vector<float> &b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

void SetByText(host::Plugin &p, int index, const std::string &text) {
  ASSERT_TRUE(p.SetParameterFromText(index, text)) << index << " = " << text;
}

// --- Entry and description --------------------------------------------------------

TEST(TwirlixPlugin, DescriptionAndAnswers) {
  auto p = LoadTwirlix();
  EXPECT_EQ(p->Effect().magic, vst2::kEffectMagic);
  EXPECT_EQ(p->Flags(), 0x19);
  EXPECT_EQ(p->UniqueId(), vst2::FourCC('T', 'w', 'r', 'X'));
  EXPECT_EQ(static_cast<std::uint32_t>(p->UniqueId()) >> 24, static_cast<std::uint32_t>('T'));
  EXPECT_EQ(p->NumPrograms(), 6);
  EXPECT_EQ(p->NumParameters(), 4);
  EXPECT_EQ(p->NumInputs(), 2);
  EXPECT_EQ(p->NumOutputs(), 2);
  EXPECT_EQ(p->Version(), 1);
  EXPECT_EQ(p->Effect().initialDelay, 0);
  EXPECT_EQ(p->Effect().processDoubleReplacing, nullptr);
  EXPECT_EQ(p->Category(), 1);
  EXPECT_EQ(p->EffectName(), "Twirlix");
  EXPECT_EQ(p->ProductString(), "Twirlix");
  EXPECT_EQ(p->VendorString(), "NimbrelAudio");
  EXPECT_EQ(p->VendorVersion(), 1);
  EXPECT_EQ(p->VstVersion(), 2400);
  EXPECT_EQ(p->TailSize(), 0);
  EXPECT_EQ(p->Dispatch(vst2::effKeysRequired), 1);
  EXPECT_EQ(p->Dispatch(vst2::effGetParameterProperties, 0), 0);
  EXPECT_EQ(p->Dispatch(vst2::effSetBypass, 0, 1), 0);
  EXPECT_EQ(p->Program(), 0);
  EXPECT_EQ(p->ProgramName(), "Mono Spin");

  const struct {
    const char *text;
    vst2::VstIntPtr answer;
  } canDos[] = {{"plugAsChannelInsert", 1}, {"plugAsSend", 1}, {"2in2out", 1}, {"receiveVstEvents", -1},
                {"1in1out", -1},            {"bypass", -1},    {"flyToTheMoon", 0}};
  for (const auto &c : canDos)
    EXPECT_EQ(p->CanDo(c.text), c.answer) << c.text;

  const struct {
    const char *name, *label;
  } params[] = {{"Coefficients", ""}, {"Process Type", ""}, {"LFO Speed", "Hz"}, {"TBW", "Rad"}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(p->ParameterName(i), params[i].name);
    EXPECT_EQ(p->ParameterLabel(i), params[i].label);
    EXPECT_TRUE(p->CanBeAutomated(i));
  }
  for (int i = 0; i < 2; ++i) {
    auto in = p->InputProperties(i), out = p->OutputProperties(i);
    ASSERT_TRUE(in && out);
    EXPECT_EQ(std::string(in->label), "Input #" + std::to_string(i + 1));
    EXPECT_EQ(std::string(in->shortLabel), "In" + std::to_string(i + 1));
    EXPECT_EQ(std::string(out->label), "Output #" + std::to_string(i + 1));
    EXPECT_EQ(in->flags, 3);
  }
  EXPECT_FALSE(p->InputProperties(2));
  // Before the first open the rectangle answers 0; an open request without a
  // parent window (and without the headless backend selected) answers 0 too.
  EXPECT_FALSE(p->EditorRect());
  EXPECT_FALSE(p->OpenEditor());

  p->Callbacks().Clear();
  p->Resume();
  EXPECT_EQ(p->Callbacks().Count(vst2::audioMasterWantMidi), 1u);
}

vst2::VstIntPtr NIMBREL_VSTCALL RefusingHost(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr,
                                             void *, float) {
  return opcode == vst2::audioMasterVersion ? 0 : 0;
}
vst2::VstIntPtr NIMBREL_VSTCALL AcceptingHost(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32,
                                              vst2::VstIntPtr, void *, float) {
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

TEST(TwirlixPlugin, BothEntriesAreOneRoutineAndRefuseAVersionZeroHost) {
  void *lib = dlopen(kPath.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(lib, nullptr) << dlerror();
  auto pluginMain = reinterpret_cast<vst2::EntryProc>(dlsym(lib, "VSTPluginMain"));
  auto main = reinterpret_cast<vst2::EntryProc>(dlsym(lib, "main"));
  ASSERT_NE(pluginMain, nullptr);
  ASSERT_EQ(main, pluginMain);
  EXPECT_EQ(pluginMain(&RefusingHost), nullptr);
  EXPECT_EQ(main(&RefusingHost), nullptr);
  EXPECT_EQ(pluginMain(nullptr), nullptr);
  vst2::AEffect *e = main(&AcceptingHost);
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->uniqueID, vst2::FourCC('T', 'w', 'r', 'X'));
  e->dispatcher(e, vst2::effClose, 0, 0, nullptr, 0.0f);
  dlclose(lib);
}

TEST(TwirlixPlugin, ExportsOnlyTheEntry) {
  const std::string command = "nm -D --defined-only '" + kPath + "'";
  FILE *pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> names;
  char line[512];
  while (std::fgets(line, sizeof line, pipe)) {
    char address[64], kind[8], name[400];
    if (std::sscanf(line, "%63s %7s %399s", address, kind, name) == 3)
      names.insert(name);
  }
  ASSERT_EQ(pclose(pipe), 0);
  EXPECT_EQ(names, (std::set<std::string>{"VSTPluginMain", "main"}));
}

// --- Programs and display texts ------------------------------------------------------

std::string RawDisplay(host::Plugin &p, int opcode, int index) {
  char buffer[256] = {};
  p.Dispatch(opcode, index, 0, buffer);
  return buffer;
}

TEST(TwirlixPlugin, DisplayTexts) {
  auto p = LoadTwirlix();
  EXPECT_EQ(p->ParameterDisplay(0), "8");
  EXPECT_EQ(p->ParameterDisplay(1), "mono");
  EXPECT_EQ(p->ParameterDisplay(2), "0.5");
  EXPECT_EQ(p->ParameterDisplay(3), "0.00999999977648258");
  for (int op : {vst2::effGetParamDisplay, vst2::effGetParamName, vst2::effGetParamLabel})
    EXPECT_EQ(RawDisplay(*p, op, 4), "undefined") << op;

  const struct {
    int index;
    float normalized;
    const char *text;
  } host[] = {{0, 0.0f, "1"}, {0, 1.0f, "32"}, {0, 0.5f, "16"}, {1, 0.5f, "mono l"}, {1, 0.0f, "stereo a"},
              {1, 1.0f, "old one"}};
  for (const auto &c : host) {
    p->SetParameter(c.index, c.normalized);
    EXPECT_EQ(p->ParameterDisplay(c.index), c.text) << c.index << " at " << c.normalized;
  }
  const struct {
    int index;
    const char *set, *text;
  } typed[] = {{1, "0", "illegal"}, {1, "11", ""}, {1, "-1", ""}, {1, "8.5", "m+s"}, {1, "9.5", "old one"}, {0, "20", "20"},
               {0, "-3.5", "-4"},   {0, "0.4", "0"}};
  for (const auto &c : typed) {
    SetByText(*p, c.index, c.set);
    EXPECT_EQ(p->ParameterDisplay(c.index), c.text) << c.index << " = " << c.set;
  }
}

TEST(TwirlixPlugin, ProgramSelection) {
  auto p = LoadTwirlix();
  const char *names[] = {"Mono Spin", "Space Spin", "Stereo Spin", "Distance Spin", "Special Spin", "Old Spin"};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(p->ProgramNameIndexed(i), names[i]);
  EXPECT_FALSE(p->ProgramNameIndexed(6));
  EXPECT_FALSE(p->ProgramNameIndexed(-1));

  // The current program, 6 and -1: nothing happens, no display refresh.
  p->Callbacks().Clear();
  for (int program : {0, 6, -1, 1000}) {
    p->SetProgram(program);
    EXPECT_EQ(p->Program(), 0) << program;
  }
  EXPECT_EQ(p->Callbacks().Count(vst2::audioMasterUpdateDisplay), 0u);

  p->SetProgram(3);
  EXPECT_EQ(p->Program(), 3);
  EXPECT_EQ(p->Callbacks().Count(vst2::audioMasterUpdateDisplay), 1u);
  EXPECT_EQ(p->ParameterDisplay(0), "12");
  EXPECT_EQ(p->ParameterDisplay(1), "stereo d");
  EXPECT_EQ(p->ParameterDisplay(2), "0.800000011920929");

  // Edits stay with their program.
  SetByText(*p, 0, "16");
  SetByText(*p, 1, "7");
  p->SetProgramName("My Spin");
  p->SetProgram(1);
  EXPECT_EQ(p->ParameterDisplay(0), "32");
  EXPECT_EQ(p->ParameterDisplay(1), "stereo c");
  p->SetProgram(3);
  EXPECT_EQ(p->ParameterDisplay(0), "16");
  EXPECT_EQ(p->ParameterDisplay(1), "mono r");
  EXPECT_EQ(p->ProgramName(), "My Spin");
  EXPECT_EQ(p->ProgramNameIndexed(3), "My Spin");
  EXPECT_EQ(p->ProgramNameIndexed(1), "Space Spin");
}

// --- Sound -------------------------------------------------------------------------------

// The frequency offset of `wet` from `carrier` Hz, signed: the phase slope of
// the signal demodulated by the carrier, averaged over windows of whole
// carrier periods.
double MeasureOffset(const std::vector<float> &wet, double carrier, int skip) {
  const int window = 400; // 10 periods of 1102.5 Hz at 44.1 kHz
  std::vector<double> phases;
  for (int at = skip; at + window <= static_cast<int>(wet.size()); at += window) {
    std::complex<double> z;
    for (int n = at; n < at + window; ++n)
      z += static_cast<double>(wet[n]) * std::polar(1.0, -2.0 * M_PI * carrier * n / kRate);
    phases.push_back(std::arg(z));
  }
  double unwrapped = 0;
  for (std::size_t k = 1; k < phases.size(); ++k)
    unwrapped += std::remainder(phases[k] - phases[k - 1], 2.0 * M_PI);
  return unwrapped / (2.0 * M_PI) / (static_cast<double>(window) * (phases.size() - 1) / kRate);
}

// In "mono l" the wet halves of the outputs (2 x output - L) lie at F + f and
// F - f; with an odd count of 3 or more the two swap.
TEST(TwirlixPlugin, ShiftFrequencyAndDirectionOnAMonoLSine) {
  const double F = kRate / 40;
  const int frames = 2 * 44100;
  std::vector<float> sine(frames), silence(frames, 0.0f);
  for (int n = 0; n < frames; ++n)
    sine[n] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * F * n / kRate));
  const struct {
    const char *speed;
    double hz;
    const char *count;
    int direction; // +1: left output shifted up
  } cases[] = {{"13", 13.0, "8", +1}, {"1", 0.712, "8", +1}, {"13", 13.0, "3", -1}, {"1", 0.712, "3", -1}};
  for (const auto &c : cases) {
    auto p = LoadTwirlix();
    SetByText(*p, 1, "6");
    SetByText(*p, 0, c.count);
    SetByText(*p, 2, c.speed);
    std::vector<float> outL, outR;
    Render(*p, sine, silence, outL, outR, 512);
    std::vector<float> wetL(frames), wetR(frames);
    for (int n = 0; n < frames; ++n) {
      wetL[n] = 2.0f * outL[n] - sine[n];
      wetR[n] = 2.0f * outR[n] - sine[n];
    }
    const double tolerance = c.hz * 0.01 + 0.005;
    EXPECT_NEAR(MeasureOffset(wetL, F, 4410), c.direction * c.hz, tolerance) << c.count << " coefficients, speed " << c.speed;
    EXPECT_NEAR(MeasureOffset(wetR, F, 4410), -c.direction * c.hz, tolerance) << c.count << " coefficients, speed " << c.speed;
  }
}

TEST(TwirlixPlugin, InPlaceEqualsSeparateInEveryMode) {
  const int frames = 2000;
  const std::vector<float> inL = Noise(frames, 21), inR = Noise(frames, 22);
  for (int type = 1; type <= 10; ++type) {
    auto separate = LoadTwirlix(), inPlace = LoadTwirlix();
    for (auto *p : {separate.get(), inPlace.get()}) {
      SetByText(*p, 1, std::to_string(type));
      SetByText(*p, 2, "9");
    }
    std::vector<float> outL, outR;
    Render(*separate, inL, inR, outL, outR, 300);
    std::vector<float> bufL = inL, bufR = inR;
    vst2::AEffect *e = inPlace->RawEffect();
    for (int at = 0; at < frames; at += 300) {
      const int n = std::min(300, frames - at);
      float *io[2] = {bufL.data() + at, bufR.data() + at};
      e->processReplacing(e, io, io, n);
    }
    EXPECT_TRUE(SameBits(outL, bufL)) << "type " << type;
    EXPECT_TRUE(SameBits(outR, bufR)) << "type " << type;
  }
}

// Two instances run type X on different signals, then both "stereo c" on the
// same one: the right output of "stereo c" depends only on the second splitter
// (and the LFO), so it matches exactly when X left that splitter alone.
TEST(TwirlixPlugin, SpecialAndMonoTypesLeaveTheSecondSplitterAlone) {
  const int frames = 1500;
  const std::vector<float> a = Noise(frames, 31), b = Noise(frames, 32), c = Noise(frames, 33), d = Noise(frames, 34);
  const struct {
    int type;
    bool untouched;
  } cases[] = {{5, true}, {6, true}, {7, true}, {9, true}, {1, false}, {10, false}};
  for (const auto &k : cases) {
    auto first = LoadTwirlix(), second = LoadTwirlix();
    std::vector<float> outL, outR, rightFirst, rightSecond;
    for (auto *p : {first.get(), second.get()}) {
      SetByText(*p, 1, std::to_string(k.type));
      SetByText(*p, 2, "6");
    }
    Render(*first, a, b, outL, outR, 256);
    Render(*second, c, d, outL, outR, 256);
    SetByText(*first, 1, "3");
    SetByText(*second, 1, "3");
    Render(*first, c, d, outL, rightFirst, 256);
    Render(*second, c, d, outL, rightSecond, 256);
    EXPECT_EQ(SameBits(rightFirst, rightSecond), k.untouched) << "type " << k.type;
  }
}

// Two factory programs against the plain reference, bit for bit.
TEST(TwirlixPlugin, FactoryProgramsMatchTheReference) {
  const struct {
    int program, count, type;
    float speed;
  } cases[] = {{2, 7, 2, 1.3f}, {5, 8, 10, 1.7f}, {3, 12, 4, 0.8f}};
  const int frames = 5000;
  std::vector<float> inL = Noise(frames, 41, 1.5f), inR = Noise(frames, 42, 1.5f);
  for (const auto &c : cases) {
    auto p = LoadTwirlix();
    p->SetProgram(c.program);
    std::vector<float> outL, outR;
    Render(*p, inL, inR, outL, outR, 441);
    SpinReference ref(c.count, c.type, c.speed);
    std::vector<float> refL(frames), refR(frames);
    {
      nimbrel::AudioFpuGuard fpu;
      ref.Run(inL.data(), inR.data(), refL.data(), refR.data(), frames);
    }
    EXPECT_TRUE(SameBits(outL, refL)) << "program " << c.program;
    EXPECT_TRUE(SameBits(outR, refR)) << "program " << c.program;
  }
}

// One thread processes while two others automate all four parameters (values
// beyond 0..1 and NaN included) and switch programs.
TEST(TwirlixPlugin, StressAutomationWhileProcessing) {
  auto p = LoadTwirlix();
  std::atomic<bool> done{false};
  std::atomic<long> changes{0};
  auto automate = [&](unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> value(-0.2f, 1.2f);
    vst2::AEffect *e = p->RawEffect();
    for (long i = 0; !done.load(std::memory_order_relaxed); ++i) {
      const int index = static_cast<int>(rng() % 4);
      const float v = (i % 97 == 0) ? std::nanf("") : value(rng);
      e->setParameter(e, index, v);
      if (i % 37 == 0)
        e->dispatcher(e, vst2::effSetProgram, 0, static_cast<vst2::VstIntPtr>(rng() % 6), nullptr, 0.0f);
      if (i % 211 == 0)
        e->dispatcher(e, vst2::effSetSampleRate, 0, 0, nullptr, (i % 2) ? 48000.0f : 44100.0f);
      changes.fetch_add(1, std::memory_order_relaxed);
      if (i % 8 == 0)
        std::this_thread::yield();
    }
  };
  std::thread one(automate, 1u), two(automate, 2u);
  const int block = 128;
  std::vector<float> inL = Noise(block, 51), inR = Noise(block, 52), outL(block), outR(block);
  vst2::AEffect *e = p->RawEffect();
  long nonFinite = 0;
  for (int b = 0; b < 4000; ++b) {
    float *in[2] = {inL.data(), inR.data()};
    float *out[2] = {outL.data(), outR.data()};
    e->processReplacing(e, in, out, block);
    for (int i = 0; i < block; ++i)
      nonFinite += !std::isfinite(outL[i]) + !std::isfinite(outR[i]);
  }
  done = true;
  one.join();
  two.join();
  EXPECT_EQ(nonFinite, 0);
  EXPECT_GT(changes.load(), 100);
}

} // namespace
