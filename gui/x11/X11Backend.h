#pragma once
// The X11 window backend: a child window inside the host's X11 window, with its
// own display connection, showing the form's buffer with XPutImage. Mouse
// presses get X11's implicit grab, so the pressed control keeps receiving moves
// and the release outside the window. Events and timers are served from the
// host's editor-idle calls (no threads of our own); the clock is monotonic.
//
// Attach fails cleanly (false, nothing left open) when there is no display,
// the parent is not a window, or the parent's visual is not 24/32-bit
// TrueColor with 8-bit channels. X errors caused by our requests are trapped
// around each group of requests, so a parent destroyed under us does not end
// the process. Destroying the backend destroys the window and closes the
// connection. MIT-SHM is not used: the frames are small.
//
// This header is free of X11 types; the window id is an unsigned long.
#include <memory>

#include "gui/WindowBackend.h"

namespace gui {

class TX11Backend final : public TWindowBackend {
public:
  explicit TX11Backend(TForm &form);
  ~TX11Backend() override;

  bool Attach(void *parent) override;
  std::int64_t NowMs() const override;
  void PumpEvents() override;
  void Present(const TBitmap32 &frame, const TRect &dirty) override;
  bool IsHeadless() const override { return false; }

  // The child window's id (0 before Attach or after a failed one).
  unsigned long WindowId() const;

private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

} // namespace gui
