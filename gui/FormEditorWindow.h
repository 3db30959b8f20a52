#pragma once
// The editor window the module framework holds between the host's open- and
// close-editor requests: a form together with the backend that shows it.
//
// * AttachToParent picks the backend: headless when asked (tests, snapshots),
//   otherwise the platform's (an X11 child window inside the host's window).
//   A null parent on a real display, no display, or a window that cannot be
//   made answers false.
// * Idle (the host's editor-idle call) runs what other threads posted, serves
//   window events and due timers, and shows what was repainted.
// * HeadlessRequest serves the headless protocol (vst2/HeadlessEditor.h):
//   render into the caller's buffer, inject a mouse event, advance the virtual
//   clock. Mouse and clock requests need the headless backend.
//
// Errors raised by handlers during these calls are swallowed: nothing may
// unwind into the host.
//
// Destroying the adapter destroys the window and its display connection first,
// then the form.
#include <memory>

#include "gui/Form.h"
#include "gui/WindowBackend.h"
#include "vst2/EditorWindow.h"

namespace gui {

class TFormEditorWindow final : public vst2::IEditorWindow {
public:
  explicit TFormEditorWindow(std::unique_ptr<TForm> form);
  ~TFormEditorWindow() override;

  TForm &Form() { return *form_; }
  template <class F> F *FormAs() { return dynamic_cast<F *>(form_.get()); }
  TWindowBackend *Backend() { return backend_.get(); }

  int ClientWidth() const override { return form_->Width(); }
  int ClientHeight() const override { return form_->Height(); }
  bool AttachToParent(void *parent, bool headless) override;
  void RequestRepaint() override;
  void Idle() override;
  std::intptr_t HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) override;

private:
  void Detach();
  std::intptr_t Render(void *ptr);
  std::intptr_t Mouse(void *ptr);
  std::intptr_t Advance(std::intptr_t ms);

  std::unique_ptr<TForm> form_;
  std::unique_ptr<TWindowBackend> backend_;
};

} // namespace gui
