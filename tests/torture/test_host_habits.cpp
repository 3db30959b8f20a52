// What real hosts are known to do to a plug-in, done to both plug-ins through
// their exported entry point: lifecycle requests out of order, stream settings
// of zero, odd block sizes and buffer layouts, null pointers, bad indices,
// over-long and unterminated texts, non-finite parameter values. After each,
// the plug-in must still answer sanely and its audio must be that of a fresh
// instance (TortureFixture.h).
#include <climits>
#include <cstdlib>
#include <limits>
#include <string>

#include "tests/torture/TortureFixture.h"

namespace torture {
namespace {

class HostHabits : public testing::TestWithParam<Kind> {
protected:
  void SetUp() override {
    ::unsetenv("DISPLAY"); // editors open on the headless backend only
    plugin = Load(GetParam());
    effect = plugin->RawEffect();
  }
  Kind kind() const { return GetParam(); }
  std::unique_ptr<host::Plugin> plugin;
  vst2::AEffect *effect = nullptr;
};

INSTANTIATE_TEST_SUITE_P(Torture, HostHabits, testing::ValuesIn(kBothPlugins), KindName);

TEST_P(HostHabits, OpenTwiceAndRequestsBeforeResumeAreHarmless) {
  EXPECT_EQ(plugin->Dispatch(vst2::effOpen), 0);
  EXPECT_EQ(plugin->Dispatch(vst2::effOpen), 0);
  // Audio before any resume request, then the resume, then audio again.
  const Stereo in = Noise(256, 3);
  EXPECT_TRUE(AllClean(Render(effect, in, 256)));
  plugin->Resume();
  plugin->Suspend();
  plugin->Resume();
  ExpectAudioLikeFresh(*plugin, kind(), "two opens and processing before resume");
}

TEST_P(HostHabits, ZeroAndNonsenseStreamSettingsAreRefusedThenRealOnesTaken) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (float rate : {0.0f, -44100.0f, nan, inf, -inf})
    EXPECT_EQ(plugin->Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate), 0) << rate;
  for (vst2::VstIntPtr size : {vst2::VstIntPtr{0}, vst2::VstIntPtr{-1}, vst2::VstIntPtr{INT_MIN},
                               static_cast<vst2::VstIntPtr>(1) << 40})
    EXPECT_EQ(plugin->Dispatch(vst2::effSetBlockSize, 0, size), 0) << size;
  EXPECT_EQ(plugin->Dispatch(vst2::effSetBlockSizeAndSampleRate, 0, 0, nullptr, 0.0f), 0);
  // Processing with the refused settings in place, then with real ones.
  EXPECT_TRUE(AllClean(Render(effect, Noise(512, 4), 128)));
  EXPECT_EQ(plugin->Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
  EXPECT_EQ(plugin->Dispatch(vst2::effSetBlockSize, 0, 256), 1);
  EXPECT_EQ(plugin->Dispatch(vst2::effSetBlockSizeAndSampleRate, 0, 512, nullptr, 96000.0f), 1);
  plugin->Resume();
  ExpectAudioLikeFresh(*plugin, kind(), "zero stream settings");
}

TEST_P(HostHabits, ZeroAndNegativeFrameCountsTouchNothing) {
  Stereo in = Noise(64, 5);
  const Stereo inCopy = in;
  Stereo out(64, 12345.0f);
  for (vst2::VstInt32 frames : {0, -1, -64, INT_MIN}) {
    effect->processReplacing(effect, in.Pointers(), out.Pointers(), frames);
    effect->process(effect, in.Pointers(), out.Pointers(), frames);
  }
  EXPECT_TRUE(SameBits(in, inCopy));
  for (float x : out.left)
    ASSERT_EQ(x, 12345.0f);
  for (float x : out.right)
    ASSERT_EQ(x, 12345.0f);
  ExpectAudioLikeFresh(*plugin, kind(), "zero and negative frame counts");
}

// A block far beyond the announced size, in the replacing and the accumulating
// entry, gives what the same signal in announced-size blocks gives.
TEST_P(HostHabits, BlockFarLargerThanAnnouncedMatchesSmallBlocks) {
  auto reference = Load(kind());
  for (host::Plugin *p : {plugin.get(), reference.get()}) {
    p->SetBlockSize(64);
    p->Resume();
  }
  const Stereo in = Noise(1 << 16, 6);
  const Stereo big = Render(effect, in, in.Frames());
  const Stereo small = Render(reference->RawEffect(), in, 64);
  EXPECT_TRUE(SameBits(big, small));
  Stereo bigAccumulating(in.Frames());
  Stereo inCopy = in;
  effect->process(effect, inCopy.Pointers(), bigAccumulating.Pointers(), in.Frames());
  const Stereo smallAgain = Render(reference->RawEffect(), in, 64);
  EXPECT_TRUE(SameBits(bigAccumulating, smallAgain)) << "the accumulating entry differs";
  ExpectAudioLikeFresh(*plugin, kind(), "a huge block");
}

// In place (outputs are the input buffers), and the mono-track habit of one
// buffer for all four channels.
TEST_P(HostHabits, SharedBuffersGiveTheSeparateBuffersResult) {
  auto reference = Load(kind());
  const Stereo in = Noise(2048, 7);
  Stereo inPlace = in;
  float **io = inPlace.Pointers();
  effect->processReplacing(effect, io, io, inPlace.Frames());
  const Stereo separate = Render(reference->RawEffect(), in, in.Frames());
  EXPECT_TRUE(SameBits(inPlace, separate));

  auto monoReference = Load(kind());
  auto monoShared = Load(kind());
  vst2::AEffect *shared = monoShared->RawEffect();
  Stereo mono = in;
  mono.right = mono.left;
  const Stereo monoSeparate = Render(monoReference->RawEffect(), mono, mono.Frames());
  std::vector<float> one = in.left;
  float *all[2] = {one.data(), one.data()};
  shared->processReplacing(shared, all, all, static_cast<vst2::VstInt32>(one.size()));
  // Each frame's outputs are stored left then right, so the right one remains.
  EXPECT_TRUE(SameBits(one, monoSeparate.right));
}

TEST_P(HostHabits, NullPointersWhereverTheInterfacePassesOne) {
  const vst2::VstInt32 withPointer[] = {
      vst2::effSetProgramName,      vst2::effGetProgramName,     vst2::effGetParamLabel,
      vst2::effGetParamDisplay,     vst2::effGetParamName,       vst2::effEditGetRect,
      vst2::effGetChunk,            vst2::effSetChunk,           vst2::effString2Parameter,
      vst2::effGetProgramNameIndexed, vst2::effGetInputProperties, vst2::effGetOutputProperties,
      vst2::effGetEffectName,       vst2::effGetVendorString,    vst2::effGetProductString,
      vst2::effCanDo,               vst2::effGetParameterProperties, vst2::effProcessEvents,
      vst2::effSetSpeakerArrangement, vst2::effGetSpeakerArrangement, vst2::effVendorSpecific,
  };
  for (vst2::VstInt32 opcode : withPointer)
    for (vst2::VstInt32 index : {0, 1})
      EXPECT_EQ(plugin->Dispatch(opcode, index, 64, nullptr, 0.0f), 0) << "opcode " << opcode;
  EXPECT_EQ(plugin->Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessRender, nullptr), 0);
  EXPECT_EQ(plugin->Dispatch(vst2::effVendorSpecific, vst2::kHeadlessVendorCode, vst2::kHeadlessMouse, nullptr), 0);

  // The buffer arrays of process, and single channels of them.
  Stereo in = Noise(64, 8), out(64);
  float *noLeft[2] = {nullptr, in.right.data()};
  float *noRight[2] = {out.left.data(), nullptr};
  for (auto entry : {effect->processReplacing, effect->process}) {
    entry(effect, nullptr, out.Pointers(), 64);
    entry(effect, in.Pointers(), nullptr, 64);
    entry(effect, nullptr, nullptr, 64);
    entry(effect, noLeft, out.Pointers(), 64);
    entry(effect, in.Pointers(), noRight, 64);
  }
  // A null record reaches none of our code.
  EXPECT_EQ(effect->dispatcher(nullptr, vst2::effGetVendorVersion, 0, 0, nullptr, 0.0f), 0);
  effect->setParameter(nullptr, 0, 0.5f);
  EXPECT_EQ(effect->getParameter(nullptr, 0), 0.0f);
  effect->processReplacing(nullptr, in.Pointers(), out.Pointers(), 64);
  EXPECT_EQ(plugin->EffectName(), Name(kind()));
  ExpectAudioLikeFresh(*plugin, kind(), "null pointers");
}

TEST_P(HostHabits, IndicesOutOfRangeForEveryIndexedRequest) {
  const int params = plugin->NumParameters();
  std::vector<float> before;
  for (int i = 0; i < params; ++i)
    before.push_back(plugin->Parameter(i));
  const vst2::VstInt32 bad[] = {-1, params, params + 1, 1000, INT_MAX, INT_MIN};
  for (vst2::VstInt32 index : bad) {
    SCOPED_TRACE("index " + std::to_string(index));
    effect->setParameter(effect, index, 0.7f);
    EXPECT_EQ(effect->getParameter(effect, index), 0.0f);
    for (vst2::VstInt32 opcode : {vst2::effGetParamName, vst2::effGetParamLabel, vst2::effGetParamDisplay}) {
      char text[256] = {};
      plugin->Dispatch(opcode, index, 0, text);
      EXPECT_STREQ(text, "undefined");
    }
    char name[256] = {};
    EXPECT_EQ(plugin->Dispatch(vst2::effCanBeAutomated, index), 0);
    char number[] = "0.25";
    plugin->Dispatch(vst2::effString2Parameter, index, 0, number);
    EXPECT_EQ(plugin->Dispatch(vst2::effGetParameterProperties, index, 0, name), 0);
  }
  for (vst2::VstInt32 program : {-1, plugin->NumPrograms(), plugin->NumPrograms() + 1, INT_MAX, INT_MIN}) {
    char name[256] = {};
    EXPECT_EQ(plugin->Dispatch(vst2::effGetProgramNameIndexed, program, 0, name), 0) << program;
    EXPECT_STREQ(name, "");
  }
  for (vst2::VstInt32 pin : {-1, 2, 3, INT_MAX, INT_MIN}) {
    vst2::VstPinProperties props{};
    EXPECT_EQ(plugin->Dispatch(vst2::effGetInputProperties, pin, 0, &props), 0) << pin;
    EXPECT_EQ(plugin->Dispatch(vst2::effGetOutputProperties, pin, 0, &props), 0) << pin;
  }
  // Program numbers beyond the list, also ones that wrap to a valid number in 32 bits.
  const std::string name0 = plugin->ProgramName();
  for (vst2::VstIntPtr p : {vst2::VstIntPtr{-1}, vst2::VstIntPtr{plugin->NumPrograms()}, vst2::VstIntPtr{INT_MIN},
                            (vst2::VstIntPtr{1} << 32) + 1, (vst2::VstIntPtr{1} << 32)}) {
    plugin->Dispatch(vst2::effSetProgram, 0, p);
    EXPECT_EQ(plugin->Program(), 0) << p;
  }
  EXPECT_EQ(plugin->ProgramName(), name0);
  for (int i = 0; i < params; ++i)
    EXPECT_EQ(plugin->Parameter(i), before[static_cast<std::size_t>(i)]) << "parameter " << i;
  ExpectAudioLikeFresh(*plugin, kind(), "indices out of range");
}

TEST_P(HostHabits, OverLongAndUnterminatedTextsFromTheHost) {
  // A program name far beyond any size: kept to its first characters.
  const std::string longName(100000, 'n');
  EXPECT_EQ(plugin->Dispatch(vst2::effSetProgramName, 0, 0, const_cast<char *>(longName.c_str())), 0);
  const std::string shown = plugin->ProgramName();
  EXPECT_FALSE(shown.empty());
  EXPECT_LT(shown.size(), vst2::kVstMaxProgNameLen);
  EXPECT_EQ(shown, std::string(shown.size(), 'n'));

  // Text to parameter: a number of 100000 digits is beyond the float range.
  const float before = plugin->Parameter(0);
  const std::string digits(100000, '7');
  EXPECT_EQ(plugin->Dispatch(vst2::effString2Parameter, 0, 0, const_cast<char *>(digits.c_str())), 0);
  EXPECT_EQ(plugin->Parameter(0), before);
  // Can-do: a known text with a long tail is no known text.
  const std::string canDo = "2in2out" + std::string(100000, 'x');
  EXPECT_EQ(plugin->Dispatch(vst2::effCanDo, 0, 0, const_cast<char *>(canDo.c_str())), 0);

  // Unterminated buffers that end at a page the plug-in may not touch: the
  // plug-in reads a host text up to 256 bytes and not one byte further.
  for (vst2::VstInt32 opcode : {vst2::effSetProgramName, vst2::effString2Parameter, vst2::effCanDo}) {
    GuardedBytes text(256, '9');
    plugin->Dispatch(opcode, 0, 0, text.data());
  }
  // Requests whose buffer the plug-in writes: a buffer of exactly the size the
  // interface names is never overrun.
  for (auto [opcode, size] : {std::pair{vst2::effGetProgramName, std::size_t{vst2::kVstMaxProgNameLen}},
                              std::pair{vst2::effGetParamName, std::size_t{vst2::kVstMaxParamStrLen}},
                              std::pair{vst2::effGetParamLabel, std::size_t{vst2::kVstMaxParamStrLen}},
                              std::pair{vst2::effGetParamDisplay, std::size_t{vst2::kVstMaxParamStrLen}},
                              std::pair{vst2::effGetEffectName, std::size_t{vst2::kVstMaxEffectNameLen}},
                              std::pair{vst2::effGetVendorString, std::size_t{vst2::kVstMaxVendorStrLen}},
                              std::pair{vst2::effGetProductString, std::size_t{vst2::kVstMaxProductStrLen}}}) {
    GuardedBytes out(size, '\x7f');
    plugin->Dispatch(opcode, 0, 0, out.data());
    EXPECT_NE(std::memchr(out.data(), '\0', size), nullptr) << "opcode " << opcode << " left no terminator";
  }
  GuardedBytes indexed(vst2::kVstMaxProgNameLen, '\x7f');
  EXPECT_EQ(plugin->Dispatch(vst2::effGetProgramNameIndexed, 0, 0, indexed.data()), 1);
  EXPECT_EQ(plugin->Parameter(0), before);
  ExpectAudioLikeFresh(*plugin, kind(), "over-long texts");
}

TEST_P(HostHabits, NonFiniteParameterValuesFromTheHostAreIgnored) {
  const int params = plugin->NumParameters();
  std::vector<float> before;
  for (int i = 0; i < params; ++i)
    before.push_back(plugin->Parameter(i));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  for (int i = 0; i < params; ++i)
    for (float v : {nan, -nan, inf, -inf, std::numeric_limits<float>::signaling_NaN()})
      effect->setParameter(effect, i, v);
  for (int i = 0; i < params; ++i)
    EXPECT_EQ(plugin->Parameter(i), before[static_cast<std::size_t>(i)]) << "parameter " << i;
  // Texts that spell non-finite or out-of-range numbers are refused too.
  for (const char *text : {"nan", "NaN", "inf", "-inf", "1e400", "-1e400", "0x1p200"}) {
    std::string copy = text;
    EXPECT_EQ(plugin->Dispatch(vst2::effString2Parameter, 0, 0, copy.data()), 0) << text;
  }
  // Finite values far outside 0..1: stored, rejected by the handlers (the LFO
  // speed has no range test: -1e30 runs the LFO backwards at 13 Hz), read back
  // clamped; the audio stays finite.
  for (int i = 0; i < params; ++i) {
    effect->setParameter(effect, i, 1e30f);
    EXPECT_EQ(plugin->Parameter(i), 1.0f);
    effect->setParameter(effect, i, -1e30f);
    EXPECT_EQ(plugin->Parameter(i), 0.0f);
  }
  auto extremes = Load(kind());
  for (int i = 0; i < params; ++i)
    extremes->SetParameter(i, i % 2 ? 1e30f : -1e30f);
  EXPECT_TRUE(AllClean(Render(extremes->RawEffect(), Noise(2048, 9), 256)));
  if (kind() == Kind::kTwirlix)
    plugin->SetParameter(kLfoSpeed, 0.0f); // before any audio: the phase stays at its start
  for (int i = 0; i < params; ++i)
    EXPECT_LT(plugin->ParameterDisplay(i).size(), vst2::kVstMaxParamStrLen) << "parameter " << i;
  ExpectAudioLikeFresh(*plugin, kind(), "non-finite parameter values");
}

// --- Editor lifecycle ---------------------------------------------------------------

TEST_P(HostHabits, EditorRectangleBeforeTheFirstOpenAndCloseWithoutOpen) {
  vst2::ERect *rect = reinterpret_cast<vst2::ERect *>(&rect); // anything but a valid answer
  EXPECT_EQ(plugin->Dispatch(vst2::effEditGetRect, 0, 0, &rect), 0);
  EXPECT_EQ(rect, nullptr);
  EXPECT_EQ(plugin->Dispatch(vst2::effEditClose), 0);
  EXPECT_EQ(plugin->Dispatch(vst2::effEditIdle), 0);
  EXPECT_EQ(plugin->Dispatch(vst2::effEditClose), 0);
  EXPECT_FALSE(plugin->EditorRect().has_value());
  ExpectAudioLikeFresh(*plugin, kind(), "editor close without open");
}

TEST_P(HostHabits, EditorOpenedTwiceWithoutCloseThenOneClose) {
  if (!OpenHeadlessEditor(*plugin))
    GTEST_SKIP() << Name(kind()) << " is built without an editor";
  const auto rect = plugin->EditorRect();
  ASSERT_TRUE(rect.has_value());
  ASSERT_TRUE(plugin->SelectHeadless());
  ASSERT_EQ(plugin->Dispatch(vst2::effEditOpen, 0, 0, nullptr), 1);
  const auto again = plugin->EditorRect();
  ASSERT_TRUE(again.has_value());
  EXPECT_EQ(again->right, rect->right);
  EXPECT_EQ(again->bottom, rect->bottom);
  EXPECT_TRUE(plugin->RenderEditor().has_value());
  plugin->CloseEditor();
  EXPECT_FALSE(plugin->EditorRect().has_value()) << "one close must leave no editor behind";
  EXPECT_EQ(plugin->Dispatch(vst2::effEditIdle), 0);
  ExpectAudioLikeFresh(*plugin, kind(), "two opens and one close");
}

TEST_P(HostHabits, AThousandEditorCyclesWithAudioInBetween) {
  if (!OpenHeadlessEditor(*plugin))
    GTEST_SKIP() << Name(kind()) << " is built without an editor";
  plugin->CloseEditor();
  const Stereo in = Noise(64, 10);
  int cycles = 0;
  for (int i = 0; i < 1000; ++i) {
    ASSERT_TRUE(OpenHeadlessEditor(*plugin)) << "cycle " << i;
    const Stereo out = Render(effect, in, 64);
    ASSERT_TRUE(AllClean(out));
    if (kind() == Kind::kQuorlin) {
      ASSERT_TRUE(SameBits(out, in)) << "cycle " << i;
    }
    plugin->EditorIdle();
    plugin->AdvanceClock(40);
    plugin->CloseEditor();
    Render(effect, in, 64);
    ++cycles;
  }
  EXPECT_EQ(cycles, 1000);
  ExpectAudioLikeFresh(*plugin, kind(), "1000 editor cycles");
}

TEST_P(HostHabits, ClosingThePluginWithTheEditorOpen) {
  ASSERT_TRUE(plugin->SelectHeadless());
  // Opened by the raw request, so the host library does not close it first.
  if (plugin->Dispatch(vst2::effEditOpen, 0, 0, nullptr) != 1)
    GTEST_SKIP() << Name(kind()) << " is built without an editor";
  Render(effect, Noise(256, 11), 64);
  plugin->Dispatch(vst2::effEditIdle);
  plugin->Close(); // effClose with the window still open
  EXPECT_TRUE(plugin->IsClosed());
  // The library stays usable: a new instance works normally.
  auto next = Load(kind());
  ExpectAudioLikeFresh(*next, kind(), "closing another instance with its editor open");
}

} // namespace
} // namespace torture
