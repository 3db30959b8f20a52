#pragma once
// The window backend without a window: the form paints into its own buffer,
// mouse events are injected by the caller, and time is a virtual clock that
// only moves when told to. Used by tests and editor snapshots.
#include "gui/WindowBackend.h"

namespace gui {

class THeadlessBackend final : public TWindowBackend {
public:
  explicit THeadlessBackend(TForm &form) : form_(form) {}

  bool Attach(void *) override;
  std::int64_t NowMs() const override { return clock_; }
  void PumpEvents() override {}
  void Present(const TBitmap32 &, const TRect &) override { ++presents_; }
  bool IsHeadless() const override { return true; }

  // Move the virtual clock on by `ms` (negative counts as 0; the clock
  // saturates), run what was posted, then fire the timers that fell due, at
  // most one tick each.
  void Advance(std::int64_t ms);
  int Presents() const { return presents_; }

private:
  TForm &form_;
  std::int64_t clock_ = 0;
  int presents_ = 0;
};

} // namespace gui
