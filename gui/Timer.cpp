#include "gui/Timer.h"

#include "gui/Form.h"

namespace gui {

TTimer::TTimer(TForm *host) {
  SetHost(host);
  last_ = Now();
}

TTimer::~TTimer() {
  if (host_) host_->RemoveTimer(this);
}

std::int64_t TTimer::Now() const { return host_ ? host_->NowMs() : 0; }

void TTimer::SetInterval(int ms) {
  interval_ = ms;
  last_ = Now();
}

void TTimer::SetEnabled(bool enabled) {
  if (enabled == enabled_) return;
  enabled_ = enabled;
  if (enabled_) last_ = Now();
}

void TTimer::SetHost(TForm *host) {
  if (host == host_) return;
  if (host_) host_->RemoveTimer(this);
  host_ = host;
  if (host_) host_->AddTimer(this);
  last_ = Now();
}

void TTimer::Serve(std::int64_t nowMs) {
  if (!enabled_ || interval_ <= 0 || !OnTimer) return;
  if (nowMs - last_ < interval_) return;
  last_ = nowMs;
  const auto handler = OnTimer; // the handler may destroy this timer, and with it OnTimer
  handler(*this);
}

} // namespace gui
