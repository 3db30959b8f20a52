#pragma once
// The base of every control: a node of the control tree with bounds (in the
// parent's client pixels), z-order (children are painted in order, the last
// on top, and hit-tested in reverse), visibility, enabled state, colour, font,
// tag and the mouse events.
//
// Ownership: a control does not own its children. Forms hold their controls
// as members (declared after the form's own state, so that children go first);
// a control that is destroyed leaves its parent and orphans its children, and
// its form forgets it (capture, hover, focus), so no dangling reference is left.
//
// Threading: controls are touched only on the editor's thread. Code on other
// threads hands work over with TForm::Post.
#include <memory>
#include <string>
#include <vector>

#include "gui/Bitmap32.h"
#include "gui/Events.h"
#include "gui/FontDesc.h"
#include "gui/Types.h"

namespace gui {

class TForm;

enum class TAlign : std::uint8_t { alNone, alClient };

class TControl {
public:
  explicit TControl(TControl *parent = nullptr);
  virtual ~TControl();
  TControl(const TControl &) = delete;
  TControl &operator=(const TControl &) = delete;

  // Tree. SetParent appends the control on top of its new parent's children.
  TControl *Parent() const { return parent_; }
  void SetParent(TControl *parent);
  const std::vector<TControl *> &Controls() const { return children_; }
  void BringToFront();
  void SendToBack();
  // The form at the root of this control's tree, or null.
  TForm *Form();
  const TForm *Form() const { return const_cast<TControl *>(this)->Form(); }
  virtual TForm *AsForm() { return nullptr; }

  // Geometry.
  int Left() const { return bounds_.Left; }
  int Top() const { return bounds_.Top; }
  int Width() const { return bounds_.Width(); }
  int Height() const { return bounds_.Height(); }
  TRect BoundsRect() const { return bounds_; }
  TRect ClientRect() const { return RectOfSize(Width(), Height()); }
  // Negative sizes count as 0; sizes are capped at TBitmap32::kMaxSide.
  void SetBounds(int left, int top, int width, int height);
  void SetLeft(int v) { SetBounds(v, Top(), Width(), Height()); }
  void SetTop(int v) { SetBounds(Left(), v, Width(), Height()); }
  void SetWidth(int v) { SetBounds(Left(), Top(), v, Height()); }
  void SetHeight(int v) { SetBounds(Left(), Top(), Width(), v); }
  TAlign Align() const { return align_; }
  void SetAlign(TAlign a); // alClient: fill the parent's client area, following its size
  TPoint ClientToForm(TPoint p) const;
  TPoint FormToClient(TPoint p) const;

  // State.
  bool Visible() const { return visible_; }
  void SetVisible(bool v);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool v);
  TColor32 Color() const { return color_; }
  void SetColor(TColor32 c);
  // With ParentFont (the default) a control shows its parent's font until it
  // is given its own.
  const TFont &Font() const { return font_; }
  void SetFont(const TFont &f);
  bool ParentFont() const { return parentFont_; }
  // While loading, setters that check ranges or raise change events may skip
  // them (the dial's Min, Max and Position do).
  bool Loading() const { return loading_; }
  void SetLoading(bool v) { loading_ = v; }
  bool MouseInControl() const { return mouseInControl_; }
  bool Focused() const;
  void SetFocus();

  int Tag = 0;
  std::string Name;

  // Painting. Invalidate asks the form to repaint this control's area at the
  // next chance. PaintTree paints this control and then its visible children
  // in order onto `canvas`, whose origin is at this control's top-left corner
  // and whose clip lies within it.
  virtual void Invalidate();
  virtual void EraseBackground(TBitmap32 &) {}
  virtual void Paint(TBitmap32 &) {}
  void PaintTree(TBitmap32 &canvas);

  // Events.
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TNotifyEvent OnResize;

  // Input, delivered by the form in this control's client pixels. The base
  // versions raise the matching events; controls override them for behaviour
  // of their own (and call the base to raise the events).
  virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
  virtual void MouseMove(TShiftState shift, int x, int y);
  virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
  virtual void Click();
  virtual void DblClick();
  // Pointer-inside bookkeeping; raise OnMouseEnter / OnMouseLeave.
  virtual void MouseEnter();
  virtual void MouseLeave();

protected:
  virtual void BoundsChanged() {}
  virtual void EnabledChanged() {}
  virtual void ColorChanged() { Invalidate(); }
  virtual void FontChanged() { Invalidate(); }

private:
  void DetachFromParent();
  void RealignChildren();
  void InheritFont(const TFont &f);

  TControl *parent_ = nullptr;
  std::vector<TControl *> children_;
  TRect bounds_{};
  TAlign align_ = TAlign::alNone;
  bool visible_ = true;
  bool enabled_ = true;
  bool loading_ = false;
  bool mouseInControl_ = false;
  bool parentFont_ = true;
  TColor32 color_ = clBtnFace;
  TFont font_{};
};

} // namespace gui
