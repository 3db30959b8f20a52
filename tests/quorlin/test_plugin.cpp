// The built meter plug-in, loaded through its exported entry point and driven
// as a host drives it: its description, its entries and its audio path.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "AwkwardSamples.h"
#include "host/HostLibrary.h"
#include "vst2/VstAbi.h"

namespace {

using quorlin_test::AwkwardSamples;
using quorlin_test::SameBits;

const std::string kPluginPath = std::string(NIMBREL_PLUGIN_DIR) + "/Quorlin.so";

// The plug-in carries its own copy of the C++ runtime, whose emergency exception
// pool is allocated at load and never freed; unloading it would read as a leak
// under LeakSanitizer. One reference held for the whole run keeps it loaded
// (the meter has no process-wide state, so every load still starts afresh).
const bool kPinned = ::dlopen(kPluginPath.c_str(), RTLD_NOW | RTLD_LOCAL) != nullptr;

std::unique_ptr<host::Plugin> LoadMeter() {
  EXPECT_TRUE(kPinned) << ::dlerror();
  return host::Plugin::Load(kPluginPath);
}

TEST(QuorlinPlugin, RecordDescribesAStereoAnalysisPlugInWithOneParameterAndProgram) {
  auto p = LoadMeter();
  p->Open();
  EXPECT_EQ(p->Flags(), 0x11);
  EXPECT_EQ(p->UniqueId(), 0x47767244);
  EXPECT_EQ(host::FourCCText(p->UniqueId()), "GvrD");
  EXPECT_EQ(p->Version(), 1);
  EXPECT_EQ(p->NumPrograms(), 1);
  EXPECT_EQ(p->NumParameters(), 1);
  EXPECT_EQ(p->NumInputs(), 2);
  EXPECT_EQ(p->NumOutputs(), 2);
  EXPECT_EQ(p->Effect().initialDelay, 0);
  EXPECT_NE(p->Effect().user, nullptr);
  EXPECT_EQ(p->Category(), vst2::kPlugCategAnalysis);
  EXPECT_EQ(p->EffectName(), "Quorlin");
  EXPECT_EQ(p->ProductString(), "Quorlin");
  EXPECT_EQ(p->VendorString(), "NimbrelAudio");
  EXPECT_EQ(p->VendorVersion(), 0);
  EXPECT_EQ(p->VstVersion(), 2300);
  EXPECT_EQ(p->TailSize(), 0);
  EXPECT_EQ(p->Program(), 0);
  EXPECT_EQ(p->ProgramName(), "Default");
  EXPECT_EQ(p->ProgramNameIndexed(0).value_or("?"), "Default");
  EXPECT_EQ(p->Dispatch(vst2::effGetVu), 0);
}

TEST(QuorlinPlugin, AnswersItsThreeCanDosAndDeclinesTheRest) {
  auto p = LoadMeter();
  const std::set<std::string> yes = {"plugAsChannelInsert", "plugAsSend", "2in2out"};
  for (const char *text : vst2::kPlugCanDos)
    EXPECT_EQ(p->CanDo(text), yes.count(text) ? 1 : -1) << text;
  EXPECT_EQ(p->CanDo("somethingNobodyAsks"), 0);
  EXPECT_EQ(p->CanDo(""), 0);
}

TEST(QuorlinPlugin, ModeParameterShowsPeakBelowHalfAndRMSFromHalf) {
  auto p = LoadMeter();
  EXPECT_EQ(p->ParameterName(0), "Mode");
  EXPECT_EQ(p->ParameterLabel(0), "");
  EXPECT_TRUE(p->CanBeAutomated(0));
  EXPECT_EQ(p->ParameterDisplay(0), "Peak");
  EXPECT_EQ(p->Parameter(0), 0.0f);
  struct Case {
    float value;
    const char *display;
  } cases[] = {{0.4999f, "Peak"}, {0.5f, "RMS"}, {1.0f, "RMS"}, {0.0f, "Peak"}, {0.75f, "RMS"}};
  for (const Case &c : cases) {
    p->SetParameter(0, c.value);
    EXPECT_EQ(p->Parameter(0), c.value);
    EXPECT_EQ(p->ParameterDisplay(0), c.display) << c.value;
  }
  // The one program is never overwritten: selecting it (it is current) changes nothing.
  p->SetProgram(0);
  EXPECT_EQ(p->Parameter(0), 0.75f);
  EXPECT_EQ(p->ParameterDisplay(0), "RMS");
}

TEST(QuorlinPlugin, KeepsTheHostCallbackAndNotifiesModeChanges) {
  auto p = LoadMeter();
  p->Callbacks().Clear();
  p->SetParameter(0, 1.0f);
  const auto notices = p->Callbacks().Records(vst2::audioMasterAutomate);
  ASSERT_EQ(notices.size(), 1u);
  EXPECT_EQ(notices[0].index, 0);
  EXPECT_EQ(notices[0].opt, 1.0f);
}

TEST(QuorlinPlugin, ExportsMainAndVSTPluginMainAsOneRoutineAndNothingElse) {
  void *library = ::dlopen(kPluginPath.c_str(), RTLD_LOCAL | RTLD_NOW);
  ASSERT_NE(library, nullptr) << ::dlerror();
  void *vstMain = ::dlsym(library, "VSTPluginMain");
  void *plainMain = ::dlsym(library, "main");
  ASSERT_NE(vstMain, nullptr);
  EXPECT_EQ(vstMain, plainMain);
  // Through `main`, and with no host callback at all: the meter asks the host nothing.
  vst2::EntryProc entry;
  std::memcpy(&entry, &plainMain, sizeof entry);
  vst2::AEffect *effect = entry(nullptr);
  ASSERT_NE(effect, nullptr);
  EXPECT_EQ(effect->magic, vst2::kEffectMagic);
  EXPECT_EQ(effect->uniqueID, 0x47767244);
  effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
  ::dlclose(library);

  // The dynamic symbol table holds the two entries and nothing of ours.
  const std::string command = "nm -D --defined-only '" + kPluginPath + "'";
  FILE *pipe = ::popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::set<std::string> exported;
  char line[512];
  while (std::fgets(line, sizeof line, pipe) != nullptr) {
    std::string text(line);
    const std::size_t space = text.find_last_of(' ');
    std::string name = text.substr(space + 1);
    while (!name.empty() && (name.back() == '\n' || name.back() == '\r'))
      name.pop_back();
    exported.insert(name);
  }
  ASSERT_EQ(::pclose(pipe), 0);
  EXPECT_EQ(exported, (std::set<std::string>{"VSTPluginMain", "main"}));
}

TEST(QuorlinPlugin, PassesAudioThroughBitForBitInEveryState) {
  auto p = LoadMeter();
  p->Open();
  p->SetSampleRate(48000.0f);
  p->Resume();
  std::uint32_t seed = 1;
  // Fresh, then across Mode changes both ways and a program selection.
  for (float mode : {-1.0f, 1.0f, 0.0f, 0.5f, 0.4999f}) {
    if (mode >= 0.0f)
      p->SetParameter(0, mode);
    for (int frames : {1, 2, 3, 17, 512, 1023, 4096}) {
      for (bool replacing : {true, false}) {
        host::ChannelBuffers in(2, frames), out(2, frames);
        for (int ch = 0; ch < 2; ++ch) {
          const std::vector<float> signal = AwkwardSamples(static_cast<std::size_t>(frames), ++seed, 2);
          std::copy(signal.begin(), signal.end(), in.Channel(ch));
          std::fill_n(out.Channel(ch), frames, 123.0f);
        }
        const host::ChannelBuffers original = in;
        if (replacing)
          p->ProcessReplacing(in, out, frames);
        else
          p->ProcessAccumulating(in, out, frames);
        for (int ch = 0; ch < 2; ++ch) {
          EXPECT_TRUE(SameBits(out.Channel(ch), original.Channel(ch), static_cast<std::size_t>(frames)))
              << "mode " << mode << ", " << frames << " frames, channel " << ch;
          EXPECT_TRUE(SameBits(in.Channel(ch), original.Channel(ch), static_cast<std::size_t>(frames)));
        }
        // In place: the host hands the same buffers as inputs and outputs.
        if (replacing)
          p->ProcessReplacing(in, in, frames);
        else
          p->ProcessAccumulating(in, in, frames);
        for (int ch = 0; ch < 2; ++ch)
          EXPECT_TRUE(SameBits(in.Channel(ch), original.Channel(ch), static_cast<std::size_t>(frames)));
      }
    }
  }
}

TEST(QuorlinPlugin, ZeroFrameAndNullBuffersWriteNothing) {
  auto p = LoadMeter();
  host::ChannelBuffers in(2, 8), out(2, 8);
  for (int ch = 0; ch < 2; ++ch) {
    std::fill_n(in.Channel(ch), 8, 0.5f);
    std::fill_n(out.Channel(ch), 8, -2.0f);
  }
  p->ProcessReplacing(in, out, 0);
  p->ProcessAccumulating(in, out, 0);
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(std::vector<float>(out.Channel(ch), out.Channel(ch) + 8), std::vector<float>(8, -2.0f));
  // A host that passes null arrays or a negative count: no crash, nothing written.
  vst2::AEffect *effect = p->RawEffect();
  effect->processReplacing(effect, nullptr, nullptr, 512);
  effect->process(effect, nullptr, out.Pointers(), 512);
  effect->processReplacing(effect, in.Pointers(), out.Pointers(), -5);
  float *halfNull[2] = {out.Channel(0), nullptr};
  effect->processReplacing(effect, in.Pointers(), halfNull, 8);
  for (int ch = 0; ch < 2; ++ch)
    EXPECT_EQ(std::vector<float>(out.Channel(ch), out.Channel(ch) + 8), std::vector<float>(8, -2.0f));
}

TEST(QuorlinPlugin, OddRequestsAreAnsweredSafely) {
  auto p = LoadMeter();
  EXPECT_FALSE(p->EditorRect().has_value()); // no editor open
  EXPECT_EQ(p->Dispatch(vst2::effEditClose), 0);
  EXPECT_EQ(p->Dispatch(vst2::effGetParamName, 1000000, 0, nullptr), 0);
  EXPECT_EQ(p->Dispatch(vst2::effGetParamDisplay, -1, 0, nullptr), 0);
  EXPECT_EQ(p->Dispatch(12345, 7, 7, nullptr, 1.0f), 0);
  vst2::AEffect *effect = p->RawEffect();
  effect->setParameter(effect, 99, 1.0f);
  effect->setParameter(effect, -1, 1.0f);
  EXPECT_EQ(effect->getParameter(effect, 99), 0.0f);
  EXPECT_EQ(p->Parameter(0), 0.0f);
  EXPECT_EQ(p->ParameterDisplay(0), "Peak");
}

} // namespace
