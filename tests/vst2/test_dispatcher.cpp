// The dispatcher's answers: description, texts, can-do, pins, stream
// settings, text to parameter, and requests it does not know.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "TestModule.h"

using namespace vst2test;
using ::testing::ElementsAre;

namespace {

class Dispatcher : public TOpenedModuleTest {};

TEST_F(Dispatcher, DescriptionAnswers) {
  struct {
    vst2::VstInt32 opcode;
    vst2::VstInt32 index;
    vst2::VstIntPtr answer;
  } const cases[] = {
      {vst2::effOpen, 0, 0},
      {vst2::effGetPlugCategory, 0, vst2::kPlugCategEffect},
      {vst2::effGetVendorVersion, 0, 3},
      {vst2::effGetTailSize, 0, 0},
      {vst2::effKeysRequired, 0, 1},
      {vst2::effGetVstVersion, 0, 2400},
      {vst2::effCanBeAutomated, 0, 1},
      {vst2::effCanBeAutomated, 3, 0}, // described as not automatable
      {vst2::effCanBeAutomated, 4, 0},
      {vst2::effCanBeAutomated, -1, 0},
      {vst2::effSetBypass, 0, 0},
      {vst2::effGetParameterProperties, 0, 0},
      {vst2::effGetVu, 0, 0},
      {vst2::effGetChunk, 0, 0},
      {vst2::effProcessEvents, 0, 0},
      {vst2::effIdentify, 0, 0},
      {999, 0, 0},
      {-5, 0, 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Dispatch(effect, c.opcode, c.index), c.answer) << "opcode " << c.opcode << " index " << c.index;
  EXPECT_TRUE(Log().empty());
}

TEST_F(Dispatcher, NamesAndStrings) {
  EXPECT_EQ(Text(vst2::effGetEffectName, 0), "Testmodule");
  EXPECT_EQ(Text(vst2::effGetProductString, 0), "Testmodule"); // the effect name, not ProductName
  EXPECT_EQ(Text(vst2::effGetVendorString, 0), "Test Vendor");
  EXPECT_EQ(Text(vst2::effGetParamName, 0), "Gain");
  EXPECT_EQ(Text(vst2::effGetParamLabel, 0), "dB");
  EXPECT_EQ(Text(vst2::effGetParamLabel, 1), "");
  EXPECT_EQ(Text(vst2::effGetParamName, 3), "Tiny");
  for (vst2::VstInt32 op : {vst2::effGetParamName, vst2::effGetParamLabel, vst2::effGetParamDisplay})
    for (int bad : {4, 100, -1})
      EXPECT_EQ(Text(op, bad), "undefined") << op << " " << bad;
}

TEST_F(Dispatcher, DisplayUsesTheNumberTextThenTheCustomHandler) {
  struct {
    int index;
    float value;
    const char *text;
  } const cases[] = {
      {2, 0.5f, "0.5"},
      {3, 0.01f, "0.00999999977648258"},
      {3, 1.0e-7f, "1.0000000116861E-7"},
      {2, 13.0f, "13"},
      {0, 0.0f, "0"},
      {0, -6.25f, "-6.25"},
      {2, 1.0e16f, "1.00000002725642E16"},
      {2, 1.0e15f, "999999986991104"},
      {1, 16.5f, "count 16"}, // replaced by the parameter's display handler
  };
  for (const auto &c : cases) {
    Module().SetParameter(c.index, c.value);
    EXPECT_EQ(Text(vst2::effGetParamDisplay, c.index), c.text);
  }
}

TEST_F(Dispatcher, CanDoAnswers) {
  struct {
    const char *text;
    vst2::VstIntPtr answer;
  } const cases[] = {
      {"plugAsChannelInsert", 1}, {"plugAsSend", 1}, {"2in2out", 1},   {"receiveVstEvents", -1},
      {"bypass", -1},             {"1in1out", -1},   {"midiProgramNames", -1}, {"fooBar", 0},
      {"", 0},                    {"2in2out ", 0},  {"2IN2OUT", 0},
  };
  for (const auto &c : cases)
    EXPECT_EQ(Dispatch(effect, vst2::effCanDo, 0, 0, const_cast<char *>(c.text)), c.answer) << c.text;
  EXPECT_EQ(Dispatch(effect, vst2::effCanDo, 0, 0, nullptr), 0);
}

TEST_F(Dispatcher, PinProperties) {
  struct {
    vst2::VstInt32 opcode;
    int index;
    const char *label;
    const char *shortLabel;
  } const cases[] = {
      {vst2::effGetInputProperties, 0, "Input #1", "In1"},
      {vst2::effGetInputProperties, 1, "Input #2", "In2"},
      {vst2::effGetOutputProperties, 0, "Output #1", "Out1"},
      {vst2::effGetOutputProperties, 1, "Output #2", "Out2"},
  };
  for (const auto &c : cases) {
    vst2::VstPinProperties pin;
    std::memset(&pin, 0x55, sizeof pin);
    ASSERT_EQ(Dispatch(effect, c.opcode, c.index, 0, &pin), 1);
    EXPECT_STREQ(pin.label, c.label);
    EXPECT_STREQ(pin.shortLabel, c.shortLabel);
    EXPECT_EQ(pin.flags, vst2::kVstPinIsActive | vst2::kVstPinIsStereo);
  }
  vst2::VstPinProperties pin{};
  for (int bad : {2, -1, 1 << 30}) {
    EXPECT_EQ(Dispatch(effect, vst2::effGetInputProperties, bad, 0, &pin), 0);
    EXPECT_EQ(Dispatch(effect, vst2::effGetOutputProperties, bad, 0, &pin), 0);
  }
}

TEST_F(Dispatcher, SampleRateRunsTheHandlerOnlyOnChange) {
  EXPECT_EQ(Dispatch(effect, vst2::effSetSampleRate, 0, 0, nullptr, 44100.0f), 1);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Dispatch(effect, vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f), 1);
  EXPECT_THAT(Log(), ElementsAre("rate 48000 module 48000")); // the module's rate is already new
  ClearLog();
  for (float bad : {0.0f, -44100.0f, std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity()})
    EXPECT_EQ(Dispatch(effect, vst2::effSetSampleRate, 0, 0, nullptr, bad), 0);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Module().SampleRate(), 48000.0f);
}

TEST_F(Dispatcher, BlockSizeAndBoth) {
  Dispatch(effect, vst2::effSetBlockSize, 0, 512);
  EXPECT_EQ(Module().BlockSize(), 512);
  for (vst2::VstIntPtr bad : {vst2::VstIntPtr{0}, vst2::VstIntPtr{-1}, vst2::VstIntPtr{1} << 40})
    Dispatch(effect, vst2::effSetBlockSize, 0, bad);
  EXPECT_EQ(Module().BlockSize(), 512);
  Dispatch(effect, vst2::effSetBlockSizeAndSampleRate, 0, 256, nullptr, 96000.0f);
  EXPECT_EQ(Module().BlockSize(), 256);
  EXPECT_EQ(Module().SampleRate(), 96000.0f);
  EXPECT_THAT(Log(), ElementsAre("rate 96000 module 96000"));
}

TEST_F(Dispatcher, ResumeAsksForMidi) {
  Dispatch(effect, vst2::effMainsChanged, 0, 0);
  EXPECT_TRUE(HostCalls().empty());
  Dispatch(effect, vst2::effMainsChanged, 0, 1);
  ASSERT_EQ(HostCalls().size(), 1u);
  EXPECT_EQ(HostCalls()[0].opcode, vst2::audioMasterWantMidi);
  EXPECT_EQ(HostCalls()[0].value, 1);
}

TEST_F(Dispatcher, TextToParameter) {
  char good[] = " 16.5 ";
  EXPECT_EQ(Dispatch(effect, vst2::effString2Parameter, 1, 0, good), 1);
  EXPECT_EQ(Module().GetParameter(1), 16.5f);
  // Applied with SetParameterAutomated: the host hears of it.
  EXPECT_THAT(Log(), ElementsAre("change 1 16.5", "host 0 1 0.5"));
  ClearLog();
  for (const char *bad : {"abc", "", "1,5", "16.5Hz", "nan"})
    EXPECT_EQ(Dispatch(effect, vst2::effString2Parameter, 1, 0, const_cast<char *>(bad)), 0) << bad;
  EXPECT_EQ(Dispatch(effect, vst2::effString2Parameter, 1, 0, nullptr), 0);
  EXPECT_TRUE(Log().empty());
  EXPECT_EQ(Module().GetParameter(1), 16.5f);
  // A number for a parameter past the list is read but applies to nothing.
  char number[] = "2";
  EXPECT_EQ(Dispatch(effect, vst2::effString2Parameter, 4, 0, number), 1);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Dispatcher, VuAnswerIsScaledAndClamped) {
  Close();
  Options().hasVu = true;
  Open();
  const std::pair<float, vst2::VstIntPtr> cases[] = {
      {0.0f, 0}, {0.5f, 16383}, {1.0f, 32767}, {3.0f, 32767}, {-1.0f, 0}, {std::numeric_limits<float>::quiet_NaN(), 0}};
  for (const auto &[vu, answer] : cases) {
    Options().vu = vu;
    EXPECT_EQ(Dispatch(effect, vst2::effGetVu), answer) << vu;
  }
}

TEST_F(Dispatcher, NullPointersAreNeverDereferenced) {
  const vst2::VstInt32 withPointer[] = {
      vst2::effSetProgramName,     vst2::effGetProgramName,    vst2::effGetParamLabel,  vst2::effGetParamDisplay,
      vst2::effGetParamName,       vst2::effEditGetRect,       vst2::effString2Parameter, vst2::effGetProgramNameIndexed,
      vst2::effGetInputProperties, vst2::effGetOutputProperties, vst2::effGetEffectName, vst2::effGetVendorString,
      vst2::effGetProductString,   vst2::effCanDo,             vst2::effVendorSpecific, vst2::effGetChunk,
      vst2::effSetChunk,           vst2::effProcessEvents,     vst2::effGetSpeakerArrangement,
  };
  for (vst2::VstInt32 op : withPointer)
    EXPECT_EQ(Dispatch(effect, op, 0, 0, nullptr), 0) << op;
  EXPECT_EQ(Module().ProgramName(0), "Alpha");
}

} // namespace
