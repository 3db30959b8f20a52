#pragma once
// A timer served by a form's window clock (the platform's window-message
// timer). While enabled and with an interval above 0 it calls OnTimer on the
// editor's thread once at least Interval milliseconds have passed since it
// last fired (or since it was enabled or given a new interval). It fires at
// most once per serving round: after a long gap it does not burst, and it
// never runs faster because rounds come often.
//
// A timer is served by its host form; without a host it never fires. The host
// may change (the dial's process-wide hover timer follows the hovered dial).
#include <cstdint>
#include <functional>

namespace gui {

class TForm;

class TTimer {
public:
  explicit TTimer(TForm *host = nullptr);
  ~TTimer();
  TTimer(const TTimer &) = delete;
  TTimer &operator=(const TTimer &) = delete;

  int Interval() const { return interval_; }
  void SetInterval(int ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  TForm *Host() const { return host_; }
  void SetHost(TForm *host);

  std::function<void(TTimer &sender)> OnTimer;

  // Called by the host form with its clock: fire when due. A handler may
  // destroy the timer.
  void Serve(std::int64_t nowMs);
  // Start counting the interval afresh from `nowMs`.
  void Restart(std::int64_t nowMs) { last_ = nowMs; }
  // Called by a host form that goes away.
  void HostGone() { host_ = nullptr; }

private:
  std::int64_t Now() const;
  TForm *host_ = nullptr;
  int interval_ = 1000;
  bool enabled_ = true;
  std::int64_t last_ = 0;
};

} // namespace gui
