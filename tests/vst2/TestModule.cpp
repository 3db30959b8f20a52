#include "TestModule.h"

#include <charconv>
#include <stdexcept>

namespace vst2test {

std::vector<std::string> &Log() {
  static std::vector<std::string> log;
  return log;
}
void ClearLog() { Log().clear(); }

std::string Fmt(float v) {
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

TOptions &Options() {
  static TOptions options;
  return options;
}

std::atomic<int> &Overlaps() {
  static std::atomic<int> overlaps{0};
  return overlaps;
}

namespace {
std::atomic<int> gInFlight{0};

// Holds the handler open for a moment so that an unserialised second caller
// would be caught inside it.
void ProbeOverlap() {
  if (gInFlight.fetch_add(1) > 0)
    Overlaps().fetch_add(1);
  std::atomic<int> spin{0};
  while (spin.fetch_add(1, std::memory_order_relaxed) < 2000) {
  }
  gInFlight.fetch_sub(1);
}
} // namespace

std::atomic<vst2::VstIntPtr> &HostVersion() {
  static std::atomic<vst2::VstIntPtr> version{2400};
  return version;
}
std::vector<THostCall> &HostCalls() {
  static std::vector<THostCall> calls;
  return calls;
}
bool &RecordHostCalls() {
  static bool record = true;
  return record;
}

vst2::VstIntPtr NIMBREL_VSTCALL RecordingHost(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32 index,
                                              vst2::VstIntPtr value, void *, float opt) {
  if (RecordHostCalls()) {
    HostCalls().push_back({opcode, index, value, opt});
    Log().push_back("host " + std::to_string(opcode) + " " + std::to_string(index) + " " + Fmt(opt));
  }
  return opcode == vst2::audioMasterVersion ? HostVersion().load() : 0;
}

int &TTestEditor::Alive() {
  static int alive = 0;
  return alive;
}
TTestEditor::TTestEditor() {
  ++Alive();
  Log().push_back("editor made");
}
TTestEditor::~TTestEditor() {
  --Alive();
  Log().push_back("editor freed");
}
bool TTestEditor::AttachToParent(void *parent, bool headless) {
  Log().push_back(std::string("attach ") + (parent ? "parent" : "null") + (headless ? " headless" : ""));
  return !Options().attachFails;
}
void TTestEditor::RequestRepaint() { Log().push_back("repaint"); }
void TTestEditor::Idle() { Log().push_back("idle"); }
std::intptr_t TTestEditor::HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) {
  Log().push_back("headless " + std::to_string(request) + " " + std::to_string(value) + (ptr ? " ptr" : ""));
  return 7;
}

namespace {

void CopyRoutine(vst2::TVSTModule &, const float *const *in, float *const *out, std::int32_t n) {
  for (int c = 0; c < 2; ++c)
    for (std::int32_t i = 0; i < n; ++i)
      out[c][i] = in[c][i];
}

template <class Base> class TTestModule : public Base {
public:
  TTestModule() {
    const TOptions &o = Options();
    if (o.throwInConstructor)
      throw std::runtime_error("no module");
    vst2::TModuleSettings s;
    s.Flags = vst2::effFlagsHasEditor | vst2::effFlagsCanReplacing;
    s.UniqueID = vst2::FourCC('T', 's', 't', 'M');
    s.EffectName = "Testmodule";
    s.ProductName = "Not reported";
    s.VendorName = "Test Vendor";
    s.VendorVersion = 3;
    s.PlugCategory = vst2::kPlugCategEffect;
    s.CanDos = o.canDos;
    s.OverwritePrograms = o.overwritePrograms;
    s.Programs = {{"Alpha"}, {"Beta"}, {"Gamma"}};
    s.ParameterProperties = {
        {.DisplayName = "Gain", .Units = "dB", .Min = -12.0f, .Max = 12.0f},
        {.DisplayName = "Count", .Min = 1.0f, .Max = 32.0f},
        {.DisplayName = "Speed", .Units = "Hz", .Min = 0.0f, .Max = 13.0f},
        {.DisplayName = "Tiny", .Units = "Rad", .Min = 1.0e-7f, .Max = 0.49999991f, .CanBeAutomated = false},
    };
    for (auto &p : s.ParameterProperties)
      p.OnParameterChange = vst2::Bind(this, &TTestModule::Change);
    s.ParameterProperties[1].OnCustomParameterDisplay = [](vst2::TVSTModule &m, std::int32_t, std::string &t) {
      t = "count " + std::to_string(static_cast<int>(m.GetParameter(1)));
    };
    if (!o.longDisplay.empty())
      s.ParameterProperties[2].OnCustomParameterDisplay = [](vst2::TVSTModule &, std::int32_t, std::string &t) {
        t = Options().longDisplay;
      };
    s.OnInitialize = [this](vst2::TVSTModule &) {
      Log().push_back("initialize");
      const float values[3][4] = {{0, 8, 0.5f, 0.01f}, {6, 16, 2, 0.1f}, {-6, 24, 13, 0.2f}};
      for (int p = 0; p < 3; ++p)
        for (int i = 0; i < 4; ++i)
          this->SetProgramValue(p, i, values[p][i]);
    };
    s.OnCreate = [this](vst2::TVSTModule &) {
      Log().push_back("create program " + std::to_string(this->CurrentProgram()));
      if (Options().throwInCreate)
        throw std::runtime_error("create failed");
      Log().push_back("create done");
    };
    s.OnDestroy = [](vst2::TVSTModule &) { Log().push_back("destroy"); };
    s.OnSampleRateChange = [](vst2::TVSTModule &m, float rate) {
      Log().push_back("rate " + Fmt(rate) + " module " + Fmt(m.SampleRate()));
    };
    s.OnEditOpen = [this](vst2::TVSTModule &, std::unique_ptr<vst2::IEditorWindow> &gui, void *) {
      Log().push_back(std::string("open handler, form ") + (this->EditorForm() ? "set" : "empty"));
      if (!Options().editOpenReturnsNull)
        gui = std::make_unique<TTestEditor>();
    };
    s.OnEditClose = [this](vst2::TVSTModule &) {
      Log().push_back(std::string("close handler, form ") + (this->EditorForm() ? "set" : "empty"));
    };
    if (o.hasVu)
      s.OnGetVU = [](vst2::TVSTModule &, float &vu) { vu = Options().vu; };
    s.OnProcess = s.OnProcessReplacing = &CopyRoutine;
    this->ApplySettings(std::move(s));
  }

  ~TTestModule() override { Log().push_back("deleted"); }

private:
  void Change(vst2::TVSTModule &sender, std::int32_t index, float &value) {
    if (Options().probeOverlap) {
      ProbeOverlap();
      return;
    }
    Log().push_back("change " + std::to_string(index) + " " + Fmt(value) + (&sender == this ? "" : " foreign"));
    if (index == Options().throwInChangeOf)
      throw vst2::EVstError("handler failed");
    if (index == Options().echoFromChangeOf)
      this->SetParameterAutomated(index, value + 1.0f);
  }
};

} // namespace

vst2::AEffect *MakeEffect(vst2::HostCallback host) {
  if (Options().variant2)
    return vst2::CreateEffect<TTestModule<vst2::TVST2Module>>(host);
  return vst2::CreateEffect<TTestModule<vst2::TVSTModule>>(host);
}

void TModuleTest::SetUp() {
  Options() = TOptions{};
  ClearLog();
  HostCalls().clear();
  RecordHostCalls() = true;
  HostVersion() = 2400;
  TTestEditor::Alive() = 0;
  Overlaps() = 0;
}

void TOpenedModuleTest::SetUp() {
  TModuleTest::SetUp();
  Open();
  ClearLog();
  HostCalls().clear();
}

void TModuleTest::TearDown() {
  Close();
  EXPECT_EQ(TTestEditor::Alive(), 0) << "an editor window leaked";
}

void TModuleTest::Open() {
  effect = MakeEffect();
  ASSERT_NE(effect, nullptr);
}

void TModuleTest::Close() {
  if (effect != nullptr)
    Dispatch(effect, vst2::effClose);
  effect = nullptr;
}

std::string TModuleTest::Text(vst2::VstInt32 opcode, vst2::VstInt32 index) {
  char buf[256] = {};
  Dispatch(effect, opcode, index, 0, buf);
  return buf;
}

} // namespace vst2test
