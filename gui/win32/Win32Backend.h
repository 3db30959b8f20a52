#pragma once
// The Win32 window backend: a child window inside the host's HWND showing the
// form's buffer (SetDIBitsToDevice from a top-down 32-bit DIB, which has the
// form's own pixel layout), with mouse capture while a button is held
// (SetCapture / ReleaseCapture) so the pressed control keeps receiving moves
// and the release outside the window, and a window timer (SetTimer) that
// serves the form's timers (the dial's hover timer, the meter's 40 ms tick)
// and its posted work.
//
// Messages reach the window through the host's own message loop; PumpEvents
// (the host's editor-idle call) also dispatches whatever is queued for this
// window alone, for hosts that call idle without running a loop. Every
// message is handled under the x87 precision guard (the form's code computes
// in extended precision; host threads run at 53 bits) and inside an error
// trap: nothing unwinds into the system.
//
// The window class is registered per DLL instance under a name that holds the
// module handle, so two plug-in DLLs in one process never share a class (and a
// window procedure that one of them takes away when unloaded). It is
// registered with the first window and unregistered with the last, so nothing
// stays registered after the library is unloaded.
//
// Attach fails cleanly (false, nothing left) when the parent is not a window
// or no window can be made. A parent destroyed under us destroys our window
// too; the backend notices and shows nothing more.
//
// This header is free of Windows types; the window handle is a void pointer.
#include <memory>

#include "gui/WindowBackend.h"

namespace gui {

class TWin32Backend final : public TWindowBackend {
public:
  explicit TWin32Backend(TForm &form);
  ~TWin32Backend() override;

  bool Attach(void *parent) override;
  std::int64_t NowMs() const override;
  void PumpEvents() override;
  void Present(const TBitmap32 &frame, const TRect &dirty) override;
  bool IsHeadless() const override { return false; }

  // The child window (an HWND), null before Attach or after the window went.
  void *WindowHandle() const;
  // The window class name in use (empty while no window of this DLL exists).
  static const char *ClassName();

  // The period of the window timer that serves the form's timers.
  static constexpr unsigned kTimerPeriodMs = 10;

  struct Impl;

private:
  std::unique_ptr<Impl> impl_;
};

} // namespace gui
