#pragma once
// The meter's editor as the module sees it (IMeterEditor): the TFmRMSMeter
// form inside the toolkit's editor-window adapter, which shows it in the
// host's window (or headless) and serves it from the host's idle calls.
#include <memory>

#include "gui/FormEditorWindow.h"
#include "quorlin/MeterEditor.h"
#include "quorlin/editor/QuorlinGUI.h"

namespace quorlin {

class TMeterEditorWindow final : public IMeterEditor {
public:
  // Makes the form; throws when its pictures cannot be had.
  TMeterEditorWindow();
  ~TMeterEditorWindow() override;

  TFmRMSMeter &Form() { return *form_; }

  // IMeterEditor
  void SetModule(TPMModule *module) override { form_->AttachModule(module); }
  void SetTimerEnabled(bool enabled) override { form_->DIBTimer.SetEnabled(enabled); }

  // vst2::IEditorWindow, passed on to the adapter.
  int ClientWidth() const override { return window_.ClientWidth(); }
  int ClientHeight() const override { return window_.ClientHeight(); }
  bool AttachToParent(void *parent, bool headless) override { return window_.AttachToParent(parent, headless); }
  void RequestRepaint() override { window_.RequestRepaint(); }
  void Idle() override { window_.Idle(); }
  std::intptr_t HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) override {
    return window_.HeadlessRequest(request, value, ptr);
  }

private:
  static std::unique_ptr<TFmRMSMeter> MakeForm(TFmRMSMeter *&keep);

  TFmRMSMeter *form_ = nullptr; // owned by window_
  gui::TFormEditorWindow window_;
};

} // namespace quorlin
