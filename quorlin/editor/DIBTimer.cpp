#include "quorlin/editor/DIBTimer.h"

#include "gui/Form.h"

namespace quorlin {

TDIBTimer::TDIBTimer(gui::TForm &host) : timer_(&host) {
  timer_.OnTimer = [this](gui::TTimer &t) { Fire(t); };
}

void TDIBTimer::SetInterval(int ms) {
  timer_.SetInterval(ms);
  anchored_ = false;
}

void TDIBTimer::SetEnabled(bool enabled) {
  if (enabled != timer_.Enabled())
    anchored_ = false;
  timer_.SetEnabled(enabled);
}

// The toolkit timer fires once `now` is at least one interval past the time it
// was last restarted; restarting it at the grid point rather than at `now`
// keeps the next tick on the grid. The toolkit restarts it by itself when the
// form is shown; a tick more than one interval behind its grid point (after
// such a restart, or after a long gap between idle calls) anchors a new grid
// at `now`.
void TDIBTimer::Fire(gui::TTimer &timer) {
  const std::int64_t now = timer.Host() ? timer.Host()->NowMs() : 0;
  const std::int64_t interval = timer.Interval();
  const std::int64_t next = grid_ + interval;
  if (anchored_ && now >= next && now - next < interval)
    grid_ = next;
  else
    grid_ = now;
  anchored_ = true;
  timer.Restart(grid_);
  if (OnTimer)
    OnTimer(*this);
}

} // namespace quorlin
