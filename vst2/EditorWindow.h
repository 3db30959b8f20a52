#pragma once
// The framework's view of an open editor window. The module framework owns the
// window between the host's open-editor and close-editor requests; it knows
// nothing of how the window draws. The GUI toolkit supplies the implementation
// (a form on the X11, Win32 or headless backend).
#include <cstdint>

namespace vst2 {

class IEditorWindow {
public:
  virtual ~IEditorWindow() = default;

  virtual int ClientWidth() const = 0;
  virtual int ClientHeight() const = 0;

  // Place the window, borderless and visible, at (0, 0) inside the host's window.
  // `parent` is the host's native window (an X11 Window id on Linux, an HWND on
  // Windows), or null on the headless backend. Returns false when no window
  // could be made (no display, say): the framework then frees the form and
  // answers the open request with 0.
  virtual bool AttachToParent(void *parent, bool headless) = 0;

  // Mark the whole window for repainting at the next chance.
  virtual void RequestRepaint() = 0;

  // The host's editor-idle call: serve window events and due timers.
  virtual void Idle() = 0;

  // Requests of the headless test protocol (HeadlessEditor.h); answer 0 when
  // the request is not understood.
  virtual std::intptr_t HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) = 0;
};

} // namespace vst2
