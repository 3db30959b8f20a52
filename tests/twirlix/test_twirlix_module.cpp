// TTwirlixModule in-process, driven through its effect record's entries as a
// host would, with a stand-in editor that records what the module shows. This
// is where the engine's inner state (splitter counts, LFO step) is visible.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dsp/PolyPhaseIIR2Designer.h"
#include "tests/twirlix/SpinReference.h"
#include "twirlix/Lfo.h"
#include "twirlix/TwirlixModule.h"

namespace {

using namespace nimbrel::twirlix;

vst2::VstIntPtr NIMBREL_VSTCALL TestHost(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32, vst2::VstIntPtr,
                                         void *, float) {
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

// What the module wrote into the editor, in order.
struct Shown {
  std::string what;
  float a, b;
  bool operator==(const Shown &) const = default;
};
std::vector<Shown> gShown;

class FakeEditor final : public vst2::IEditorWindow, public ITwirlixEditorView {
public:
  explicit FakeEditor(TTwirlixModule &module) : module_(module) { module_.SetEditorView(this); }
  ~FakeEditor() override { module_.SetEditorView(nullptr); }
  int ClientWidth() const override { return 400; }
  int ClientHeight() const override { return 300; }
  bool AttachToParent(void *, bool) override { return true; }
  void RequestRepaint() override {}
  void Idle() override {}
  std::intptr_t HeadlessRequest(std::int32_t, std::intptr_t, void *) override { return 0; }
  void ShowProcessType(std::int32_t m) override { gShown.push_back({"type", float(m), 0}); }
  void ShowCoefficientCount(std::int32_t n) override { gShown.push_back({"count", float(n), 0}); }
  void ShowLfoSpeed(float x, float f) override { gShown.push_back({"speed", x, f}); }

private:
  TTwirlixModule &module_;
};

} // namespace

namespace nimbrel::twirlix {
std::unique_ptr<vst2::IEditorWindow> CreateTwirlixEditor(TTwirlixModule &module, void *) {
  return std::make_unique<FakeEditor>(module);
}
} // namespace nimbrel::twirlix

namespace {

class TwirlixModuleTest : public ::testing::Test {
protected:
  void SetUp() override {
    gShown.clear();
    effect = vst2::CreateEffect<TTwirlixModule>(&TestHost);
    ASSERT_NE(effect, nullptr);
    module = static_cast<TTwirlixModule *>(vst2::TVSTModule::FromEffect(effect));
  }
  void TearDown() override {
    if (effect)
      effect->dispatcher(effect, vst2::effClose, 0, 0, nullptr, 0.0f);
  }
  vst2::VstIntPtr Dispatch(vst2::VstInt32 op, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                           void *ptr = nullptr, float opt = 0.0f) {
    return effect->dispatcher(effect, op, index, value, ptr, opt);
  }
  bool SetText(int index, std::string text) { return Dispatch(vst2::effString2Parameter, index, 0, text.data()) == 1; }
  // One small block, so that the audio side takes up the published settings.
  void Block() {
    std::vector<float> l(16, 0.1f), r(16, -0.1f), ol(16), orr(16);
    float *in[2] = {l.data(), r.data()};
    float *out[2] = {ol.data(), orr.data()};
    effect->processReplacing(effect, in, out, 16);
  }
  int Count(int splitter) { return module->Engine().Splitter(splitter)->NumberOfCoefficients(); }

  vst2::AEffect *effect = nullptr;
  TTwirlixModule *module = nullptr;
};

TEST_F(TwirlixModuleTest, CreateStepState) {
  EXPECT_EQ(std::bit_cast<std::uint32_t>(module->TransitionBandwidth()), 0x3C23D70Au);
  Block();
  double expected[8];
  ASSERT_TRUE(nimbrel::dsp::TPolyphaseIir2Designer::DesignCoefficients(
      expected, 8, static_cast<double>(static_cast<long double>(0.01f) / 8)));
  for (int k = 0; k < 2; ++k) {
    ASSERT_EQ(Count(k), 8);
    for (int i = 0; i < 8; ++i)
      EXPECT_EQ(module->Engine().Splitter(k)->Coefficients()[i], expected[i]);
  }
  EXPECT_EQ(module->Engine().ProcessType(), 5);
  // The stored speed 0.5 is not applied yet: the LFO stands at its start.
  EXPECT_EQ(module->Engine().LfoStep().Cos, 1.0);
  EXPECT_EQ(module->Engine().LfoStep().Sin, 0.0);
  EXPECT_EQ(module->Engine().Lfo().LfoSin, 0.0);
  EXPECT_EQ(module->Engine().Lfo().LfoCos, 1.0);
}

// Values as the host's text request delivers them, applied in this order.
TEST_F(TwirlixModuleTest, CoefficientAndTypeValuesAcceptedOrRejected) {
  const struct {
    int index;
    const char *text;
    int count, type;
  } steps[] = {
      {0, "16.5", 16, 5}, {0, "17.5", 16, 5}, {0, "23.5", 24, 5}, {0, "24.5", 24, 5}, {0, "7", 7, 5},
      {0, "0", 7, 5},     {0, "33", 7, 5},    {0, "12", 12, 5},   {1, "5.5", 12, 6},  {1, "11", 12, 6},
      {1, "0", 12, 6},    {1, "10.5", 12, 10}, {0, "20", 12, 10},
      {3, "0.02", 20, 10}, // the TBW change designs the stored 20
      {3, "0.5", 20, 10},
  };
  for (const auto &s : steps) {
    EXPECT_TRUE(SetText(s.index, s.text));
    Block();
    EXPECT_EQ(Count(0), s.count) << s.index << " = " << s.text;
    EXPECT_EQ(Count(1), s.count) << s.index << " = " << s.text;
    EXPECT_EQ(module->Engine().ProcessType(), s.type) << s.index << " = " << s.text;
  }
  EXPECT_EQ(module->TransitionBandwidth(), 0.02f);
}

TEST_F(TwirlixModuleTest, HostNormalizedValues) {
  effect->setParameter(effect, kParamProcessType, 0.5f); // 5.5 -> 6 "mono l"
  effect->setParameter(effect, kParamCoefficients, 0.5f); // 16.5 -> 16
  Block();
  EXPECT_EQ(module->Engine().ProcessType(), 6);
  EXPECT_EQ(Count(0), 16);
  // Out-of-range and NaN host values: rejected, nothing poisoned.
  for (float v : {-3.0f, 7.0f, std::nanf("")})
    for (int p = 0; p < 4; ++p)
      effect->setParameter(effect, p, v);
  Block();
  EXPECT_EQ(Count(0), 16);
  EXPECT_TRUE(std::isfinite(module->Engine().LfoStep().Cos));
  EXPECT_TRUE(std::isfinite(module->Engine().LfoStep().Sin));
}

TEST_F(TwirlixModuleTest, SampleRateChangeKeepsTheFrequency) {
  SetText(kParamLfoSpeed, "13");
  Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, 48000.0f);
  Block();
  TLfoStep expected;
  ASSERT_TRUE(LfoStepFor(13.0f, 48000.0f, expected));
  EXPECT_EQ(module->Engine().LfoStep().Cos, expected.Cos);
  EXPECT_EQ(module->Engine().LfoStep().Sin, expected.Sin);
  // A rate of 0 or NaN keeps the step rather than poisoning it.
  for (float rate : {0.0f, std::nanf(""), -44100.0f}) {
    Dispatch(vst2::effSetSampleRate, 0, 0, nullptr, rate);
    Block();
    EXPECT_EQ(module->Engine().LfoStep().Sin, expected.Sin) << rate;
  }
}

TEST_F(TwirlixModuleTest, EditorShowsAcceptedValuesOnlyWhileOpen) {
  SetText(kParamProcessType, "3");
  EXPECT_TRUE(gShown.empty()) << "no editor yet";
  ASSERT_EQ(Dispatch(vst2::effEditOpen), 1);
  gShown.clear();

  SetText(kParamProcessType, "4");
  SetText(kParamProcessType, "11");  // rejected: nothing shown
  SetText(kParamCoefficients, "17"); // rejected
  SetText(kParamCoefficients, "12");
  SetText(kParamLfoSpeed, "13");
  SetText(kParamTbw, "0.03"); // no control shows the TBW
  const float f1 = LfoFrequency(1.7f);
  Dispatch(vst2::effSetProgram, 0, 5); // "Old Spin"
  const std::vector<Shown> expected = {{"type", 4, 0},   {"count", 12, 0},  {"speed", 13, 13},
                                       {"count", 8, 0},  {"type", 10, 0},   {"speed", 1.7f, f1}};
  EXPECT_EQ(gShown, expected);

  Dispatch(vst2::effEditClose);
  gShown.clear();
  SetText(kParamProcessType, "2");
  SetText(kParamLfoSpeed, "3");
  EXPECT_TRUE(gShown.empty()) << "editor closed";
}

} // namespace
