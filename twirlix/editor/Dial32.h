#pragma once
// TDial32: the stitched-bitmap dial. It holds a value, Position, between Min
// and Max (single precision) and shows it by drawing one frame of a strip of
// pre-rendered frames (DialBitmap), the frames side by side (skHorizontal,
// frame 0 leftmost) or stacked (skVertical, frame 0 topmost). The user turns it
// by pressing the left button on it and moving the pointer around its centre:
// the value follows the pointer's angle inside the arc of PointerAngles. Every
// change of the value raises OnChange. A Transparent dial paints its parent
// beneath the frame, so that a strip with soft alpha edges blends into the
// parent's picture.
//
// The dial knows nothing of any plug-in; it builds on the toolkit's paint box.
//
// Decisions of this implementation:
// * NumGlyphs below 1 is accepted but never divides: such a dial draws only
//   its background (colour or parent), and SizeToFrame leaves its size alone.
// * The out-of-range message of Min and Max writes its bounds Min + 1 and
//   Max - 1 as whole numbers rounded to nearest (halves to even) and confined
//   to the 32-bit range.
// * A NaN given to Position is ignored; a NaN given to Min or Max is refused
//   with the out-of-range error, as no bound is met.
// * The process-wide hover timer never reaches a destroyed dial: a dial that
//   is HoverDial when it is destroyed clears HoverDial and stops the timer.
// * A dial that is disabled while dragging stops dragging.
// * To load a strip without resizing the dial (as an editor's creation step
//   does), copy only its pixels: DialBitmap().AssignPixels(picture). The
//   DialBitmap setter copies pixels and settings and resizes to one frame.
//
// Threading: like every control, a dial is used on the editor's thread only;
// the hover state (HoverTimer, HoverDial, DialCount) is shared by all dials of
// the process, which hosts run on their one window thread.
#include <functional>
#include <string>

#include "core/Extended.h"
#include "gui/PaintBox32.h"
#include "gui/Persistent.h"
#include "gui/Timer.h"

namespace twirlix {

enum TStitchKind { skHorizontal, skVertical };

class TDial32;

using TPaintEvent = std::function<void(TDial32 &sender, gui::TBitmap32 &buffer)>;

// An assignable settings object with one change notice.
class TDialSettings : public gui::TPersistent {
public:
  TDialSettings() = default;
  std::function<void(TDialSettings &sender)> OnChange;
  // Raise OnChange, when assigned.
  void Changed() {
    if (OnChange) OnChange(*this);
  }
  std::string ClassName() const override { return "TDialSettings"; }
};

// The dial's arc: it begins at Start degrees clockwise from straight up (the
// value Min) and runs over Range degrees (Max + 1 lies at Start + Range).
// Resolution is kept and validated; nothing reads it. Every successful setter
// raises the change notice, even when the value did not change; a refused one
// changes nothing.
class TDialPointerAngles : public TDialSettings {
public:
  TDialPointerAngles() = default; // Start 0, Range 360, Resolution 0

  int Start() const { return start_; }
  // 0..359, else gui::Exception "Start must be 0..359".
  void SetStart(int value);
  int Range() const { return range_; }
  // 1..360, else gui::Exception "Range must be 1..360". A Resolution below the
  // new Range is raised to it first (one more notice).
  void SetRange(int value);
  nimbrel::extended Resolution() const { return resolution_; }
  // 0..Range, else gui::Exception "Resolution must be above 0 and less than "
  // followed by Range + 1.
  void SetResolution(nimbrel::extended value);

  std::string ClassName() const override { return "TDialPointerAngles"; }

protected:
  // Copies Range, Start and Resolution into another TDialPointerAngles without
  // the setters' checks, then raises that one's notice once.
  void AssignTo(gui::TPersistent *dest) const override;

private:
  nimbrel::extended resolution_ = 0;
  int start_ = 0;
  int range_ = 360;
};

class TDial32 : public gui::TCustomPaintBox32 {
public:
  explicit TDial32(gui::TControl *parent = nullptr);
  ~TDial32() override;

  TPaintEvent OnPaint;        // after the frame is drawn into the buffer
  gui::TNotifyEvent OnChange; // after Position changed

  bool AutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool value);

  float Position() const { return position_; }
  // Confined to Min..Max; an unchanged value does nothing; otherwise stored,
  // OnChange (unless loading), repaint.
  void SetPosition(float value);
  float Min() const { return min_; }
  // gui::EInvalidOperation "Value must be between -2147483647 and <Max - 1>"
  // when above Max (not while loading). Pulls Position up without OnChange.
  void SetMin(float value);
  float Max() const { return max_; }
  // gui::EInvalidOperation "Value must be between <Min + 1> and 2147483647"
  // when below Min (not while loading). Pulls Position down without OnChange.
  void SetMax(float value);
  int NumGlyphs() const { return numGlyphs_; }
  void SetNumGlyphs(int value);
  TStitchKind StitchKind() const { return stitchKind_; }
  void SetStitchKind(TStitchKind value);
  const gui::TBitmap32 &DialBitmap() const { return strip_; }
  gui::TBitmap32 &DialBitmap() { return strip_; }
  // Copies pixels and settings, then SizeToFrame and a repaint.
  void SetDialBitmap(const gui::TBitmap32 &bitmap);
  TDialPointerAngles &PointerAngles() { return pointerAngles_; }
  const TDialPointerAngles &PointerAngles() const { return pointerAngles_; }
  void SetPointerAngles(const TDialPointerAngles &angles);
  bool Dragging() const { return dragging_; }

  // Size buffer and control to one frame of the strip.
  void SizeToFrame();
  // The value for a pointer at client (x, y), or Position outside the arc.
  float ValueAtPoint(int x, int y) const;
  // The frame the current Position selects, or -1 when NumGlyphs < 1.
  int FrameIndex() const;
  // Requests a repaint; the pointer-angle object's notice lands here.
  virtual void SettingsChanged();
  // Paint what lies beneath the dial in its parent onto `buffer`.
  void PaintParentBackground(gui::TBitmap32 &buffer);

  // Angle into [0, 360), every step rounded to single precision.
  static float NormalizeAngle(float angle);

  // Process-wide hover state.
  static TDial32 *HoverDial();
  static int DialCount();
  static gui::TTimer *HoverTimer();

  void MouseDown(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;
  void MouseMove(gui::TShiftState shift, int x, int y) override;
  void MouseUp(gui::TMouseButton button, gui::TShiftState shift, int x, int y) override;

protected:
  void PaintBuffer() override;
  void ColorChanged() override;
  void FontChanged() override;
  void EnabledChanged() override;

private:
  void TrackHover(int x, int y);
  void CheckHover();

  bool autoSize_ = false;
  bool transparent_ = false;
  gui::TBitmap32 strip_;
  TStitchKind stitchKind_ = skHorizontal;
  float min_ = 0;
  float max_ = 100;
  float position_ = 0;
  int numGlyphs_ = 1;
  TDialPointerAngles pointerAngles_;
  bool dragging_ = false;
};

} // namespace twirlix
