#pragma once
// A meter module made in-process as the plug-in's entry makes it, with a test
// editor window in place of the real one, and driven only through its effect
// record (dispatcher, parameter and process entries), as a host drives it.
#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <vector>

#include "quorlin/QuorlinModule.h"
#include "vst2/VstAbi.h"
#include "vst2/VstModule.h"

namespace quorlin_test {

// What the test editors were asked to do; outlives every editor.
struct EditorProbe {
  enum class Make { kWindow, kNull, kThrow };
  Make make = Make::kWindow;
  bool attach = true;
  std::atomic<int> made{0};
  std::atomic<int> alive{0};
  std::atomic<bool> timerEnabled{false};
  std::atomic<quorlin::TPMModule *> module{nullptr};
};

class TestMeterEditor final : public quorlin::IMeterEditor {
public:
  explicit TestMeterEditor(std::shared_ptr<EditorProbe> probe) : probe_(std::move(probe)) { ++probe_->alive; }
  ~TestMeterEditor() override { --probe_->alive; }
  int ClientWidth() const override { return 454; }
  int ClientHeight() const override { return 187; }
  bool AttachToParent(void *, bool) override { return probe_->attach; }
  void RequestRepaint() override {}
  void Idle() override {}
  std::intptr_t HeadlessRequest(std::int32_t, std::intptr_t, void *) override { return 0; }
  void SetModule(quorlin::TPMModule *module) override { probe_->module = module; }
  void SetTimerEnabled(bool enabled) override { probe_->timerEnabled = enabled; }

private:
  std::shared_ptr<EditorProbe> probe_;
};

inline quorlin::TMeterEditorFactory TestEditorFactory(std::shared_ptr<EditorProbe> probe) {
  return [probe]() -> std::unique_ptr<quorlin::IMeterEditor> {
    ++probe->made;
    switch (probe->make) {
    case EditorProbe::Make::kNull:
      return nullptr;
    case EditorProbe::Make::kThrow:
      throw std::runtime_error("no window");
    case EditorProbe::Make::kWindow:
      break;
    }
    return std::make_unique<TestMeterEditor>(probe);
  };
}

// The host side: records every call the module makes.
struct HostCall {
  vst2::VstInt32 opcode;
  vst2::VstInt32 index;
  float opt;
};
class HostLog {
public:
  static HostLog &Instance() {
    static HostLog log;
    return log;
  }
  void Add(HostCall call) {
    std::lock_guard lock(mutex_);
    calls_.push_back(call);
  }
  std::vector<HostCall> Calls(vst2::VstInt32 opcode) {
    std::lock_guard lock(mutex_);
    std::vector<HostCall> out;
    for (const HostCall &c : calls_)
      if (c.opcode == opcode)
        out.push_back(c);
    return out;
  }
  void Clear() {
    std::lock_guard lock(mutex_);
    calls_.clear();
  }

private:
  std::mutex mutex_;
  std::vector<HostCall> calls_;
};

inline vst2::VstIntPtr NIMBREL_VSTCALL RecordingHost(vst2::AEffect *, vst2::VstInt32 opcode, vst2::VstInt32 index,
                                                     vst2::VstIntPtr, void *, float opt) {
  HostLog::Instance().Add({opcode, index, opt});
  return opcode == vst2::audioMasterVersion ? 2400 : 0;
}

class Meter {
public:
  explicit Meter(std::shared_ptr<EditorProbe> probe = std::make_shared<EditorProbe>()) : probe_(std::move(probe)) {
    HostLog::Instance().Clear();
    module_ = new quorlin::TPMModule(TestEditorFactory(probe_));
    module_->Effect()->user = module_;
    module_->KeepHost(&RecordingHost);
    effect_ = module_->Effect();
  }
  ~Meter() { Dispatch(vst2::effClose); }
  Meter(const Meter &) = delete;
  Meter &operator=(const Meter &) = delete;

  quorlin::TPMModule &Module() { return *module_; }
  vst2::AEffect *Effect() { return effect_; }
  EditorProbe &Probe() { return *probe_; }

  vst2::VstIntPtr Dispatch(vst2::VstInt32 opcode, vst2::VstInt32 index = 0, vst2::VstIntPtr value = 0,
                           void *ptr = nullptr, float opt = 0.0f) {
    return effect_->dispatcher(effect_, opcode, index, value, ptr, opt);
  }
  void SetMode(float normalized) { effect_->setParameter(effect_, 0, normalized); }
  bool OpenEditor() { return Dispatch(vst2::effEditOpen) == 1; }
  void CloseEditor() { Dispatch(vst2::effEditClose); }

  // One replacing block from two input channels into two output channels.
  void Process(float *in0, float *in1, float *out0, float *out1, std::int32_t frames, bool replacing = true) {
    float *inputs[2] = {in0, in1};
    float *outputs[2] = {out0, out1};
    (replacing ? effect_->processReplacing : effect_->process)(effect_, inputs, outputs, frames);
  }
  // `frames` frames of the same value on both channels, in blocks of `block`.
  void Feed(float value, std::int32_t frames, std::int32_t block = 512) {
    std::vector<float> in(static_cast<std::size_t>(block), value), out(in.size());
    for (std::int32_t done = 0; done < frames; done += block) {
      const std::int32_t n = std::min(block, frames - done);
      Process(in.data(), in.data(), out.data(), out.data(), n);
    }
  }

  vst2::TProcessAudioEvent Replacing() const { return module_->OnProcessReplacing(); }
  vst2::TProcessAudioEvent Accumulating() const { return module_->OnProcess(); }

private:
  std::shared_ptr<EditorProbe> probe_;
  quorlin::TPMModule *module_ = nullptr;
  vst2::AEffect *effect_ = nullptr;
};

} // namespace quorlin_test
