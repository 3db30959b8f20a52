#pragma once
// What a form needs of the window system that shows it. One implementation per
// platform (x11/X11Backend.cpp; Win32 to come) and a headless one for tests
// and snapshots (HeadlessBackend.h). A backend is created for one form, lives
// while the form is shown and is driven from the editor's thread only: it has
// no threads of its own.
#include <cstdint>
#include <memory>

#include "gui/Bitmap32.h"

namespace gui {

class TForm;

class TWindowBackend {
public:
  virtual ~TWindowBackend() = default;

  // Make the window inside the native parent (an X11 Window id, an HWND;
  // ignored by the headless backend). False when no window could be made; the
  // backend is then left unattached and may be destroyed.
  virtual bool Attach(void *parent) = 0;
  // Milliseconds of the backend's clock: monotonic wall time on a real
  // display, a virtual clock when headless. Timers and double clicks use it.
  virtual std::int64_t NowMs() const = 0;
  // Deliver pending window events (mouse, exposure) to the form.
  virtual void PumpEvents() = 0;
  // Show the form's painted buffer; `dirty` (form pixels) is what changed.
  virtual void Present(const TBitmap32 &frame, const TRect &dirty) = 0;
  virtual bool IsHeadless() const = 0;
};

// The platform's window backend for `form`, or null on a platform without one.
std::unique_ptr<TWindowBackend> CreateNativeBackend(TForm &form);

} // namespace gui
