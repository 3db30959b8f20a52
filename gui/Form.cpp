#include "gui/Form.h"

#include <algorithm>
#include <cstdlib>

#include "gui/Timer.h"
#include "gui/WindowBackend.h"

namespace gui {
namespace {

bool IsWithin(const TControl *p, const TControl *ancestor) {
  for (; p; p = p->Parent())
    if (p == ancestor) return true;
  return false;
}

TControl *Find(TControl *c, TPoint p, bool allowDisabled) {
  const auto &kids = c->Controls();
  for (auto it = kids.rbegin(); it != kids.rend(); ++it) {
    TControl *k = *it;
    if (!k->Visible() || (!allowDisabled && !k->Enabled())) continue;
    if (k->BoundsRect().Contains(p)) return Find(k, {p.X - k->Left(), p.Y - k->Top()}, allowDisabled);
  }
  return c;
}

} // namespace

TForm::Watch::Watch(TForm &form, TControl *c) : form_(form), control_(c) { form_.watches_.push_back(&control_); }
TForm::Watch::~Watch() {
  auto &w = form_.watches_;
  w.erase(std::remove(w.begin(), w.end(), &control_), w.end());
}

TForm::TForm() { SetColor(clBtnFace); }

TForm::~TForm() {
  posts_->Close();
  for (TTimer *t : timers_) t->HostGone();
  timers_.clear();
  window_ = nullptr;
}

TControl *TForm::ControlAtPos(TPoint p, bool allowDisabled) {
  if (!ClientRect().Contains(p) || !Visible()) return nullptr;
  if (!allowDisabled && !Enabled()) return nullptr;
  return Find(this, p, allowDisabled);
}

void TForm::TrackPointer(int x, int y) {
  const TPoint p{x, y};
  if (ClientRect().Contains(p)) cursor_ = p;
  else cursor_.reset();
  hover_ = ControlAtPos(p, true);
}

void TForm::SyncHover() {
  TControl *want = capture_ ? (hover_ == capture_ ? capture_ : nullptr) : hover_;
  if (want == entered_) return;
  TControl *old = entered_;
  entered_ = want;
  if (old) {
    Watch keep(*this, want);
    old->MouseLeave();
    if (!keep.Alive()) return;
  }
  if (want && entered_ == want) want->MouseEnter();
}

void TForm::HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  TrackPointer(x, y);
  if (!capture_) {
    capture_ = ControlAtPos({x, y}, false);
    if (!capture_) {
      SyncHover();
      return;
    }
    buttons_ = 0;
  }
  buttons_ |= ButtonFlag(button);
  SyncHover();
  if (!capture_) return;
  Watch target(*this, capture_);
  TControl *c = capture_;
  const TPoint local = c->FormToClient({x, y});
  shift |= buttons_;
  if (button != TMouseButton::mbLeft) {
    c->MouseDown(button, shift, local.X, local.Y);
    return;
  }
  const std::int64_t now = NowMs();
  const bool isDouble = lastPress_.control == c && !lastPress_.wasDouble && now - lastPress_.time <= DoubleClickMs &&
                        std::abs(x - lastPress_.where.X) <= 4 && std::abs(y - lastPress_.where.Y) <= 4;
  lastPress_ = {c, now, {x, y}, isDouble};
  clickArmed_ = !isDouble;
  if (isDouble) {
    c->DblClick();
    if (!target.Alive()) return;
    shift |= ssDouble;
  }
  c->MouseDown(button, shift, local.X, local.Y);
}

void TForm::HandleMouseMove(TShiftState shift, int x, int y) {
  TrackPointer(x, y);
  SyncHover();
  TControl *c = capture_ ? capture_ : ControlAtPos({x, y}, false);
  if (!c) return;
  const TPoint local = c->FormToClient({x, y});
  c->MouseMove(shift | buttons_, local.X, local.Y);
}

void TForm::HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  TrackPointer(x, y);
  const TShiftState flag = ButtonFlag(button);
  if (!(buttons_ & flag) || !capture_) {
    // A release without its press (pressed elsewhere, or the control is gone).
    buttons_ &= static_cast<TShiftState>(~flag);
    if (!buttons_) capture_ = nullptr;
    SyncHover();
    return;
  }
  buttons_ &= static_cast<TShiftState>(~flag);
  TControl *c = capture_;
  Watch target(*this, c);
  const TPoint local = c->FormToClient({x, y});
  const bool click = button == TMouseButton::mbLeft && clickArmed_ && c->ClientRect().Contains(local);
  if (button == TMouseButton::mbLeft) clickArmed_ = false;
  if (!buttons_) capture_ = nullptr;
  SyncHover();
  if (!target.Alive()) return;
  c->MouseUp(button, shift | buttons_, local.X, local.Y);
  if (click && target.Alive()) c->Click();
}

void TForm::HandlePointerLeft() {
  cursor_.reset();
  hover_ = nullptr;
  SyncHover();
}

void TForm::ForgetControl(TControl *c) {
  if (!c || c == this) return;
  for (TControl **p : {&capture_, &hover_, &entered_, &focused_, &lastPress_.control})
    if (IsWithin(*p, c)) *p = nullptr;
  for (TControl **w : watches_)
    if (IsWithin(*w, c)) *w = nullptr;
  if (!capture_) buttons_ = 0;
}

void TForm::InvalidateRect(const TRect &formRect) { dirty_ = Union(dirty_, Intersect(formRect, ClientRect())); }

TRect TForm::Render() {
  if (buffer_.Width() != Width() || buffer_.Height() != Height()) {
    buffer_.SetSize(Width(), Height());
    dirty_ = ClientRect();
  }
  if (dirty_.IsEmpty()) return {};
  const TRect area = dirty_;
  dirty_ = {};
  buffer_.ResetState();
  buffer_.IntersectClipRect(area);
  PaintTree(buffer_);
  buffer_.ResetState();
  return area;
}

void TForm::Paint(TBitmap32 &canvas) { canvas.FillRect(ClientRect(), Opaque(Color())); }

void TForm::AttachWindow(TWindowBackend *window) {
  window_ = window;
  const std::int64_t now = NowMs();
  for (TTimer *t : timers_) t->Restart(now);
  InvalidateRect(ClientRect());
}

void TForm::DetachWindow() {
  window_ = nullptr;
  HandlePointerLeft();
}

std::int64_t TForm::NowMs() const { return window_ ? window_->NowMs() : 0; }

void TForm::ServeTimers() {
  const std::vector<TTimer *> snapshot = timers_;
  const std::int64_t now = NowMs();
  for (TTimer *t : snapshot)
    if (std::find(timers_.begin(), timers_.end(), t) != timers_.end()) t->Serve(now);
}

void TForm::AddTimer(TTimer *t) {
  if (std::find(timers_.begin(), timers_.end(), t) == timers_.end()) timers_.push_back(t);
}

void TForm::RemoveTimer(TTimer *t) { timers_.erase(std::remove(timers_.begin(), timers_.end(), t), timers_.end()); }

} // namespace gui
