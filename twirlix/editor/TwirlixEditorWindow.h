#pragma once
// The spin editor as the framework sees it: the TFmTwirlix form on a window
// (gui::TFormEditorWindow), joined to its module as the module's editor view.
//
// Threads. Controls are touched only on the editor's thread: the thread that
// opened the editor and that serves its idle calls (and the headless
// protocol's render, mouse and clock requests); each such call claims the
// calling thread as the editor's.
//  - A module write that arrives on the editor's thread (a press, a drag, or a
//    host that sets parameters on its window thread) is shown at once, as the
//    dial's echo needs: the rounded position is written into the dial while
//    the module's change is still in progress, so the re-entered change only
//    reports the rounded speed to the host.
//  - A write that arrives on another thread goes into a mailbox (latest value
//    per control; no lock, no allocation) and one delivery is posted to the
//    form's post queue; the editor's thread shows the values at its next idle
//    or timer tick. Such a deferred write moves the dial silently: the value
//    came from the host, and reporting it back later would no longer be the
//    nested report of a change in progress but a new change of the parameter.
//  - A write on the editor's thread drops what is pending for that control,
//    so an older value from another thread never overwrites a newer one.
//
// The extra headless requests of SpinEditorRequests.h (reading the labels and
// the dial, recording web-page requests) are served here.
#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "gui/FormEditorWindow.h"
#include "twirlix/TwirlixEditorView.h"
#include "twirlix/editor/FmTwirlix.h"
#include "twirlix/editor/SpinEditorMailbox.h"
#include "twirlix/editor/SpinEditorRequests.h"
#include "vst2/EditorWindow.h"

namespace nimbrel::twirlix {

class TTwirlixEditorWindow final : public vst2::IEditorWindow, public ITwirlixEditorView {
public:
  // Builds the form (FormCreate included), sets its Module, shows the module's
  // current state and registers with the module as its editor view.
  explicit TTwirlixEditorWindow(TTwirlixModule &module);
  // Unregisters from the module, then destroys window and form.
  ~TTwirlixEditorWindow() override;

  TFmTwirlix &Form() { return *form_; }

  // vst2::IEditorWindow
  int ClientWidth() const override { return window_.ClientWidth(); }
  int ClientHeight() const override { return window_.ClientHeight(); }
  bool AttachToParent(void *parent, bool headless) override;
  void RequestRepaint() override { window_.RequestRepaint(); }
  void Idle() override;
  std::intptr_t HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) override;

  // ITwirlixEditorView
  void ShowProcessType(std::int32_t m) override;
  void ShowCoefficientCount(std::int32_t n) override;
  void ShowLfoSpeed(float x, float f) override;

private:
  void ClaimEditorThread() { editorThread_.store(std::this_thread::get_id(), std::memory_order_release); }
  bool OnEditorThread() const {
    return editorThread_.load(std::memory_order_acquire) == std::this_thread::get_id();
  }
  // Off the editor's thread: make sure one delivery is on its way.
  void WakeEditor();
  // On the editor's thread: show what the mailbox holds.
  void Deliver();
  void RecordWebRequests(bool on);
  std::intptr_t ReadLabel(std::intptr_t which, TSpinLabelState *state);
  std::intptr_t CopyRecordedWebRequests(char *buffer, std::intptr_t size) const;

  TTwirlixModule &module_;
  TFmTwirlix *form_; // owned by window_
  gui::TFormEditorWindow window_;
  TSpinEditorMailbox mailbox_;
  std::atomic<bool> deliveryPosted_{false};
  std::atomic<std::thread::id> editorThread_;
  std::vector<std::string> webRecord_;
};

} // namespace nimbrel::twirlix
