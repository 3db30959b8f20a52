#include "twirlix/editor/Dial32.h"

#include <cmath>
#include <limits>
#include <optional>

#include "gui/Errors.h"
#include "gui/Form.h"

namespace twirlix {

using nimbrel::extended;

namespace {

// Shared by every dial of the process (see the header).
struct HoverState {
  gui::TTimer *timer = nullptr;
  int dialCount = 0;
  TDial32 *hoverDial = nullptr;
};

HoverState &Hover() {
  static HoverState state;
  return state;
}

// A bound of the out-of-range message as a whole number: nearest, halves to
// even, within the 32-bit range.
long long WholeBound(extended v) {
  if (std::isnan(v)) return 0;
  const extended r = std::nearbyint(v);
  if (r >= 2147483647.0L) return 2147483647LL;
  if (r <= -2147483648.0L) return -2147483648LL;
  return static_cast<long long>(r);
}

[[noreturn]] void OutOfRange(long long low, long long high) {
  throw gui::EInvalidOperation("Value must be between " + std::to_string(low) + " and " + std::to_string(high));
}

} // namespace

// ---- pointer angles ------------------------------------------------------------------

void TDialPointerAngles::SetStart(int value) {
  if (value < 0 || value > 359) throw gui::Exception("Start must be 0..359");
  start_ = value;
  Changed();
}

void TDialPointerAngles::SetRange(int value) {
  if (value < 1 || value > 360) throw gui::Exception("Range must be 1..360");
  range_ = value;
  if (resolution_ < range_) SetResolution(range_);
  Changed();
}

void TDialPointerAngles::SetResolution(extended value) {
  if (!(value >= 0 && value <= range_))
    throw gui::Exception("Resolution must be above 0 and less than " + std::to_string(range_ + 1));
  resolution_ = value;
  Changed();
}

void TDialPointerAngles::AssignTo(gui::TPersistent *dest) const {
  if (auto *target = dynamic_cast<TDialPointerAngles *>(dest)) {
    target->range_ = range_;
    target->start_ = start_;
    target->resolution_ = resolution_;
    target->Changed();
    return;
  }
  TDialSettings::AssignTo(dest);
}

// ---- the dial ----------------------------------------------------------------------

TDial32::TDial32(gui::TControl *parent) : gui::TCustomPaintBox32(parent) {
  SetBounds(Left(), Top(), 192, 192);
  HoverState &h = Hover();
  if (!h.timer) {
    h.timer = new gui::TTimer(nullptr);
    h.timer->SetEnabled(false);
    h.timer->SetInterval(100);
  }
  ++h.dialCount;
  SetColor(gui::clWindow);
  pointerAngles_.OnChange = [this](TDialSettings &) { SettingsChanged(); };
  strip_.DrawMode = gui::TDrawMode::dmBlend;
  strip_.Resampler = gui::TResampler::rsBilinear;
}

TDial32::~TDial32() {
  HoverState &h = Hover();
  if (h.hoverDial == this) {
    h.hoverDial = nullptr;
    if (h.timer) {
      h.timer->SetEnabled(false);
      h.timer->OnTimer = nullptr;
      h.timer->SetHost(nullptr);
    }
  }
  if (--h.dialCount == 0) {
    delete h.timer;
    h.timer = nullptr;
  }
}

TDial32 *TDial32::HoverDial() { return Hover().hoverDial; }
int TDial32::DialCount() { return Hover().dialCount; }
gui::TTimer *TDial32::HoverTimer() { return Hover().timer; }

void TDial32::SettingsChanged() { Invalidate(); }

void TDial32::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  if (autoSize_) SizeToFrame();
  SettingsChanged();
}

void TDial32::SetTransparent(bool value) {
  if (value == transparent_) return;
  transparent_ = value;
  SettingsChanged();
}

void TDial32::SetPosition(float value) {
  if (std::isnan(value)) return;
  if (value < min_) value = min_;
  else if (value > max_) value = max_;
  if (value == position_) return;
  position_ = value;
  if (!Loading() && OnChange) OnChange(*this);
  SettingsChanged();
}

void TDial32::SetMax(float value) {
  if (value == max_) return;
  if (std::isnan(value) || (value < min_ && !Loading()))
    OutOfRange(WholeBound(static_cast<extended>(min_) + 1), 2147483647LL);
  max_ = value;
  if (position_ > max_) position_ = max_;
  SettingsChanged();
}

void TDial32::SetMin(float value) {
  if (value == min_) return;
  if (std::isnan(value) || (value > max_ && !Loading()))
    OutOfRange(-2147483647LL, WholeBound(static_cast<extended>(max_) - 1));
  min_ = value;
  if (position_ < min_) position_ = min_;
  SettingsChanged();
}

void TDial32::SetNumGlyphs(int value) {
  if (value == numGlyphs_) return;
  numGlyphs_ = value;
  SizeToFrame();
  SettingsChanged();
}

void TDial32::SetStitchKind(TStitchKind value) {
  if (value == stitchKind_) return;
  stitchKind_ = value;
  SizeToFrame();
  SettingsChanged();
}

void TDial32::SetDialBitmap(const gui::TBitmap32 &bitmap) {
  strip_.Assign(bitmap);
  SizeToFrame();
  SettingsChanged();
}

void TDial32::SetPointerAngles(const TDialPointerAngles &angles) { pointerAngles_.Assign(&angles); }

void TDial32::ColorChanged() { SettingsChanged(); }
void TDial32::FontChanged() { SettingsChanged(); }

void TDial32::EnabledChanged() {
  if (!Enabled()) dragging_ = false;
}

void TDial32::SizeToFrame() {
  if (numGlyphs_ < 1) return;
  int w = strip_.Width(), h = strip_.Height();
  if (stitchKind_ == skHorizontal) w /= numGlyphs_;
  else h /= numGlyphs_;
  Buffer().SetSize(w, h);
  SetWidth(w);
  SetHeight(h);
}

int TDial32::FrameIndex() const {
  if (numGlyphs_ < 1) return -1;
  const extended span = static_cast<extended>(max_) + 1 - static_cast<extended>(min_);
  const extended q = (static_cast<extended>(position_) - static_cast<extended>(min_)) / span * numGlyphs_;
  if (!std::isfinite(q) || q < 0) return 0;
  if (q >= numGlyphs_) return numGlyphs_ - 1;
  return static_cast<int>(std::trunc(q));
}

void TDial32::PaintBuffer() {
  gui::TBitmap32 &buffer = Buffer();
  buffer.Font = Font();
  if (transparent_) PaintParentBackground(buffer);
  else buffer.FillRect(buffer.BoundsRect(), gui::Opaque(Color()));

  const int i = FrameIndex();
  if (i >= 0 && !strip_.Empty()) {
    const std::int64_t n = numGlyphs_;
    gui::TRect src;
    if (stitchKind_ == skHorizontal) {
      src = {static_cast<int>(std::int64_t{strip_.Width()} * i / n), 0,
             static_cast<int>(std::int64_t{strip_.Width()} * (i + 1) / n), Height()};
    } else {
      src = {0, static_cast<int>(std::int64_t{strip_.Height()} * i / n), Width(),
             static_cast<int>(std::int64_t{strip_.Height()} * (i + 1) / n)};
    }
    strip_.DrawTo(buffer, ClientRect(), src);
  }
  if (OnPaint) OnPaint(*this, buffer);
}

void TDial32::PaintParentBackground(gui::TBitmap32 &buffer) {
  gui::TControl *parent = Parent();
  if (!parent) return;
  buffer.SaveState();
  buffer.MoveOrigin(-Left(), -Top());
  buffer.IntersectClipRect(parent->ClientRect());
  parent->EraseBackground(buffer);
  parent->Paint(buffer);
  buffer.RestoreState();
}

float TDial32::NormalizeAngle(float angle) {
  if (!std::isfinite(angle)) return 0; // would never leave the loops
  while (angle < 0) angle = static_cast<float>(static_cast<extended>(angle) + 360);
  while (angle >= 360) angle = static_cast<float>(static_cast<extended>(angle) - 360);
  return angle;
}

float TDial32::ValueAtPoint(int x, int y) const {
  const int cx = Width() / 2, cy = Height() / 2;
  const extended radians = std::atan2(static_cast<extended>(x - cx), static_cast<extended>(cy - y));
  const float pointerAngle = static_cast<float>(radians * (180.0L / nimbrel::kPi));
  const float rel = NormalizeAngle(static_cast<float>(static_cast<extended>(pointerAngle) - pointerAngles_.Start()));
  const float span = static_cast<float>(static_cast<extended>(max_) - static_cast<extended>(min_) + 1);
  const float value = static_cast<float>(static_cast<extended>(min_) + static_cast<extended>(rel) *
                                                                           static_cast<extended>(span) /
                                                                           static_cast<extended>(pointerAngles_.Range()));
  if (value > max_ || value < min_) return position_;
  return value;
}

void TDial32::MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (button != gui::TMouseButton::mbLeft || !Enabled()) return;
  SetFocus();
  dragging_ = true;
  Click();
  gui::TCustomPaintBox32::MouseDown(button, shift, x, y);
}

void TDial32::MouseMove(gui::TShiftState shift, int x, int y) {
  gui::TCustomPaintBox32::MouseMove(shift, x, y);
  if (dragging_) SetPosition(ValueAtPoint(x, y));
  TrackHover(x, y);
}

void TDial32::MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) {
  if (button != gui::TMouseButton::mbLeft || !Enabled()) return;
  dragging_ = false;
  gui::TCustomPaintBox32::MouseUp(button, shift, x, y);
}

void TDial32::TrackHover(int x, int y) {
  HoverState &h = Hover();
  if (h.hoverDial == this) return;
  gui::TForm *form = Form();
  if (!form || form->ControlAtPos(ClientToForm({x, y}), true) != this) return;
  if (h.hoverDial) h.hoverDial->MouseLeave();
  if (!form->Active() || !h.timer) return;
  h.timer->SetEnabled(false);
  h.hoverDial = this;
  h.timer->OnTimer = [this](gui::TTimer &) { CheckHover(); };
  h.timer->SetHost(form);
  h.timer->SetEnabled(true);
  MouseEnter();
}

void TDial32::CheckHover() {
  gui::TForm *form = Form();
  const std::optional<gui::TPoint> cursor = form ? form->CursorPos() : std::nullopt;
  if (!cursor || form->ControlAtPos(*cursor, true) != this) MouseLeave();
}

} // namespace twirlix
