#pragma once
// A tiny plug-in built on the framework, and a recording host, so that the
// tests drive the framework through the effect record as a host does.
//
// Parameters: 0 "Gain" dB -12..12, 1 "Count" 1..32 (custom display),
// 2 "Speed" Hz 0..13, 3 "Tiny" 1e-7..0.49999991 (not automatable).
// Programs: "Alpha", "Beta", "Gamma"; OnInitialize stores their values.
// Every handler and every host call appends a line to Log().
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "vst2/VstModule.h"

namespace vst2test {

std::vector<std::string> &Log();
void ClearLog();
std::string Fmt(float v); // shortest round-trip text of a float, for log lines

// What the test module does, set before the module is made.
struct TOptions {
  bool variant2 = false;          // build on TVST2Module (the second framework copy)
  bool overwritePrograms = true;
  int throwInChangeOf = -1;        // this parameter's handler throws
  int echoFromChangeOf = -1;       // this parameter's handler calls SetParameterAutomated(itself, value + 1)
  bool throwInCreate = false;
  bool throwInConstructor = false;
  bool attachFails = false;
  bool editOpenReturnsNull = false;
  bool probeOverlap = false;       // change handlers count how often two of them overlap
  bool hasVu = false;              // assign OnGetVU, answering `vu`
  float vu = 0.0f;
  std::string longDisplay;         // when set, parameter 2 displays this text
  std::vector<std::string> canDos{"plugAsChannelInsert", "plugAsSend", "2in2out"};
};
TOptions &Options();
std::atomic<int> &Overlaps();

// The recording host. Answers its version with HostVersion().
vst2::VstIntPtr NIMBREL_VSTCALL RecordingHost(vst2::AEffect *effect, vst2::VstInt32 opcode, vst2::VstInt32 index,
                                              vst2::VstIntPtr value, void *ptr, float opt);
std::atomic<vst2::VstIntPtr> &HostVersion();
// Host calls seen, in order: opcode, index, value, opt.
struct THostCall {
  vst2::VstInt32 opcode;
  vst2::VstInt32 index;
  vst2::VstIntPtr value;
  float opt;
};
std::vector<THostCall> &HostCalls();
bool &RecordHostCalls(); // false in threaded tests

// The editor window the test module opens.
class TTestEditor : public vst2::IEditorWindow {
public:
  TTestEditor();
  ~TTestEditor() override;
  int ClientWidth() const override { return 454; }
  int ClientHeight() const override { return 237; }
  bool AttachToParent(void *parent, bool headless) override;
  void RequestRepaint() override;
  void Idle() override;
  std::intptr_t HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) override;
  static int &Alive();
};

vst2::AEffect *MakeEffect(vst2::HostCallback host = &RecordingHost); // through the entry glue
inline vst2::VstIntPtr Dispatch(vst2::AEffect *e, vst2::VstInt32 opcode, vst2::VstInt32 index = 0,
                                vst2::VstIntPtr value = 0, void *ptr = nullptr, float opt = 0.0f) {
  return e->dispatcher(e, opcode, index, value, ptr, opt);
}

// Resets options, log and host before each test; closes the record after it.
class TModuleTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  void Open(); // makes `effect` (after options are set)
  void Close();
  vst2::TVSTModule &Module() { return *vst2::TVSTModule::FromEffect(effect); }
  std::string Text(vst2::VstInt32 opcode, vst2::VstInt32 index);
  vst2::AEffect *effect = nullptr;
};

// The record already made with the default options, the log and the host
// calls of opening it forgotten: what a test of one request starts from.
class TOpenedModuleTest : public TModuleTest {
protected:
  void SetUp() override;
};

} // namespace vst2test
