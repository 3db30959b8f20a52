#pragma once
// The meter's refresh timer: a window-message timer served from the editor's
// idle calls (on Linux, the host's editor-idle requests).
//
// Its ticks fall on a fixed grid of Interval milliseconds, so that the count
// of ticks per second is 1000 / Interval whenever the idle calls come more
// often than the interval, however their period divides it (idle every 30 ms
// still gives 25 ticks a second at 40 ms, not 16.7). When the idle calls come
// less often, every call that finds a tick due gives exactly one tick: ticks
// that were missed are dropped, not caught up in a burst, and the grid starts
// afresh from that call. Enabling the timer (or giving it a new interval, or
// showing its form in a window) starts the grid from that moment.
//
// It rides on a toolkit timer hosted by the form, which already fires at most
// once per serving round; this class only keeps the grid.
#include <cstdint>
#include <functional>

#include "gui/Timer.h"

namespace quorlin {

class TDIBTimer {
public:
  explicit TDIBTimer(gui::TForm &host);
  TDIBTimer(const TDIBTimer &) = delete;
  TDIBTimer &operator=(const TDIBTimer &) = delete;

  int Interval() const { return timer_.Interval(); }
  void SetInterval(int ms);
  bool Enabled() const { return timer_.Enabled(); }
  void SetEnabled(bool enabled);

  std::function<void(TDIBTimer &sender)> OnTimer;

private:
  void Fire(gui::TTimer &timer);

  gui::TTimer timer_;
  bool anchored_ = false;   // grid_ holds the time of the last tick of the current grid
  std::int64_t grid_ = 0;
};

} // namespace quorlin
