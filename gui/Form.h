#pragma once
// A top-level window's control tree: the root control, the dispatcher of mouse
// input, the owner of the painted image, the host of timers and the inbox of
// work handed over from other threads.
//
// Mouse rules (client pixels of the form):
// * A press goes to the topmost visible, enabled control under the pointer
//   (disabled controls let the mouse through to what lies beneath). That
//   control captures the mouse until the last held button is released: it
//   receives every move and the release, also outside its bounds.
// * A left release inside the captured control raises its Click. A second left
//   press on the same control within DoubleClickMs and 4 pixels of the first
//   raises DblClick and then MouseDown with ssDouble, and its release no Click.
// * Enter and leave go to the topmost visible control under the pointer
//   (disabled ones included); while a control holds the capture only that
//   control is told, and the control under the pointer is told once the
//   capture ends.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/Control.h"
#include "gui/PostQueue.h"

namespace gui {

class TTimer;
class TWindowBackend;

class TForm : public TControl {
public:
  TForm();
  ~TForm() override;
  TForm *AsForm() override { return this; }

  std::string Caption;
  void SetClientSize(int width, int height) { SetBounds(0, 0, width, height); }
  int DoubleClickMs = 500;

  // Input from the backend.
  void HandleMouseDown(TMouseButton button, TShiftState shift, int x, int y);
  void HandleMouseMove(TShiftState shift, int x, int y);
  void HandleMouseUp(TMouseButton button, TShiftState shift, int x, int y);
  void HandlePointerLeft(); // the pointer left the window

  // The topmost visible control at a form point: a child, or the form itself;
  // null outside the form. Disabled controls count only when allowDisabled.
  TControl *ControlAtPos(TPoint p, bool allowDisabled);
  // Where the pointer was last seen inside the window; empty when outside.
  std::optional<TPoint> CursorPos() const { return cursor_; }
  TControl *CaptureControl() const { return capture_; }
  TControl *FocusedControl() const { return focused_; }
  void SetFocusedControl(TControl *c) { focused_ = c; }

  // Painting. Render paints what was invalidated into the form's buffer and
  // returns that area (empty when nothing was due).
  void InvalidateRect(const TRect &formRect);
  bool NeedsRepaint() const { return !dirty_.IsEmpty(); }
  TRect Render();
  const TBitmap32 &Buffer() const { return buffer_; }
  void Paint(TBitmap32 &canvas) override;

  // The window that shows this form (set by the editor adapter or a test).
  void AttachWindow(TWindowBackend *window);
  void DetachWindow();
  TWindowBackend *Window() const { return window_; }
  bool Active() const { return window_ != nullptr; }
  std::int64_t NowMs() const;

  // Timers hosted by this form.
  void ServeTimers();
  void AddTimer(TTimer *t);
  void RemoveTimer(TTimer *t);

  // Work handed over from other threads (see PostQueue.h). RunPosted runs on
  // the editor's thread at each idle and timer tick.
  bool Post(std::function<void()> call) { return posts_->Post(std::move(call)); }
  std::shared_ptr<TPostQueue> PostQueue() const { return posts_; }
  int RunPosted() { return posts_->RunPending(); }

  // Called by controls that leave this form's tree or are destroyed.
  void ForgetControl(TControl *c);

private:
  // Keeps a pointer that a handler may invalidate: ForgetControl nulls it.
  class Watch {
  public:
    Watch(TForm &form, TControl *c);
    ~Watch();
    Watch(const Watch &) = delete;
    Watch &operator=(const Watch &) = delete;
    bool Alive() const { return control_ != nullptr; }
  private:
    TForm &form_;
    TControl *control_;
  };

  void SyncHover();
  void TrackPointer(int x, int y);

  TBitmap32 buffer_;
  TRect dirty_{};
  TWindowBackend *window_ = nullptr;
  std::vector<TTimer *> timers_;
  std::shared_ptr<TPostQueue> posts_ = std::make_shared<TPostQueue>();

  std::optional<TPoint> cursor_;
  TControl *capture_ = nullptr;
  TControl *hover_ = nullptr;   // under the pointer
  TControl *entered_ = nullptr; // last told MouseEnter
  TControl *focused_ = nullptr;
  TShiftState buttons_ = 0;     // buttons held, as ssLeft/ssRight/ssMiddle
  bool clickArmed_ = false;     // the left press may end in a click
  std::vector<TControl **> watches_;

  struct LastPress {
    TControl *control = nullptr;
    std::int64_t time = 0;
    TPoint where{};
    bool wasDouble = false;
  } lastPress_;
};

} // namespace gui
