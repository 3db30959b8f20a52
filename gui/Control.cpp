#include "gui/Control.h"

#include <algorithm>

#include "gui/Form.h"

namespace gui {

TControl::TControl(TControl *parent) {
  if (parent) SetParent(parent);
}

TControl::~TControl() {
  if (TForm *form = Form()) form->ForgetControl(this);
  for (TControl *child : children_) child->parent_ = nullptr;
  children_.clear();
  DetachFromParent();
}

void TControl::DetachFromParent() {
  if (!parent_) return;
  Invalidate();
  auto &siblings = parent_->children_;
  siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
  parent_ = nullptr;
}

void TControl::SetParent(TControl *parent) {
  if (parent == parent_ || parent == this) return;
  for (TControl *p = parent; p; p = p->parent_)
    if (p == this) return; // would make a cycle
  if (TForm *form = Form()) form->ForgetControl(this);
  DetachFromParent();
  parent_ = parent;
  if (!parent_) return;
  parent_->children_.push_back(this);
  if (parentFont_) InheritFont(parent_->font_);
  if (align_ == TAlign::alClient) SetBounds(0, 0, parent_->Width(), parent_->Height());
  Invalidate();
}

void TControl::BringToFront() {
  if (!parent_) return;
  auto &s = parent_->children_;
  s.erase(std::remove(s.begin(), s.end(), this), s.end());
  s.push_back(this);
  Invalidate();
}

void TControl::SendToBack() {
  if (!parent_) return;
  auto &s = parent_->children_;
  s.erase(std::remove(s.begin(), s.end(), this), s.end());
  s.insert(s.begin(), this);
  Invalidate();
}

TForm *TControl::Form() {
  TControl *root = this;
  while (root->parent_) root = root->parent_;
  return root->AsForm();
}

void TControl::SetBounds(int left, int top, int width, int height) {
  width = std::clamp(width, 0, TBitmap32::kMaxSide);
  height = std::clamp(height, 0, TBitmap32::kMaxSide);
  const TRect next{left, top, left + width, top + height};
  if (next == bounds_) return;
  const bool resized = next.Width() != bounds_.Width() || next.Height() != bounds_.Height();
  Invalidate();
  bounds_ = next;
  BoundsChanged();
  Invalidate();
  if (resized) {
    RealignChildren();
    if (OnResize) OnResize(*this);
  }
}

void TControl::SetAlign(TAlign a) {
  align_ = a;
  if (align_ == TAlign::alClient && parent_) SetBounds(0, 0, parent_->Width(), parent_->Height());
}

void TControl::RealignChildren() {
  // Copy: a child's resize handler may rearrange the list.
  const std::vector<TControl *> kids = children_;
  for (TControl *c : kids)
    if (c->align_ == TAlign::alClient) c->SetBounds(0, 0, Width(), Height());
}

TPoint TControl::ClientToForm(TPoint p) const {
  for (const TControl *c = this; c && c->parent_; c = c->parent_) p.X += c->Left(), p.Y += c->Top();
  return p;
}

TPoint TControl::FormToClient(TPoint p) const {
  const TPoint o = ClientToForm({0, 0});
  return {p.X - o.X, p.Y - o.Y};
}

void TControl::SetVisible(bool v) {
  if (v == visible_) return;
  Invalidate();
  visible_ = v;
  Invalidate();
}

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  EnabledChanged();
  Invalidate();
}

void TControl::SetColor(TColor32 c) {
  if (c == color_) return;
  color_ = c;
  ColorChanged();
}

void TControl::SetFont(const TFont &f) {
  parentFont_ = false;
  if (f == font_) return;
  InheritFont(f);
}

void TControl::InheritFont(const TFont &f) {
  const bool changed = !(f == font_);
  font_ = f;
  if (changed) FontChanged();
  for (TControl *c : children_)
    if (c->parentFont_) c->InheritFont(font_);
}

bool TControl::Focused() const {
  const TForm *form = Form();
  return form && form->FocusedControl() == this;
}

void TControl::SetFocus() {
  if (TForm *form = Form()) form->SetFocusedControl(this);
}

void TControl::Invalidate() {
  if (!visible_) return;
  if (TForm *form = Form()) {
    const TPoint o = ClientToForm({0, 0});
    form->InvalidateRect(ClientRect().Offset(o.X, o.Y));
  }
}

void TControl::PaintTree(TBitmap32 &canvas) {
  if (canvas.ClipRect().IsEmpty()) return;
  Paint(canvas);
  const std::vector<TControl *> kids = children_;
  for (TControl *c : kids) {
    if (!c->visible_) continue;
    canvas.SaveState();
    canvas.MoveOrigin(c->Left(), c->Top());
    canvas.IntersectClipRect(c->ClientRect());
    c->PaintTree(canvas);
    canvas.RestoreState();
  }
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
  // Handlers are copied before the call: a handler may destroy its control.
  if (const auto h = OnMouseDown) h(*this, button, shift, x, y);
}

void TControl::MouseMove(TShiftState shift, int x, int y) {
  if (const auto h = OnMouseMove) h(*this, shift, x, y);
}

void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
  if (const auto h = OnMouseUp) h(*this, button, shift, x, y);
}

void TControl::Click() {
  if (const auto h = OnClick) h(*this);
}

void TControl::DblClick() {
  if (const auto h = OnDblClick) h(*this);
}

void TControl::MouseEnter() {
  mouseInControl_ = true;
  if (const auto h = OnMouseEnter) h(*this);
}

void TControl::MouseLeave() {
  mouseInControl_ = false;
  if (const auto h = OnMouseLeave) h(*this);
}

} // namespace gui
