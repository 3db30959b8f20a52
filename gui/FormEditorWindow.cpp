#include "gui/FormEditorWindow.h"

#include <cstring>

#include "gui/HeadlessBackend.h"
#include "vst2/HeadlessEditor.h"

namespace gui {

TFormEditorWindow::TFormEditorWindow(std::unique_ptr<TForm> form) : form_(std::move(form)) {
  if (!form_) form_ = std::make_unique<TForm>();
}

TFormEditorWindow::~TFormEditorWindow() { Detach(); }

void TFormEditorWindow::Detach() {
  if (!backend_) return;
  form_->DetachWindow();
  backend_.reset();
}

bool TFormEditorWindow::AttachToParent(void *parent, bool headless) {
  Detach();
  try {
    std::unique_ptr<TWindowBackend> backend;
    if (headless) backend = std::make_unique<THeadlessBackend>(*form_);
    else if (parent) backend = CreateNativeBackend(*form_);
    if (!backend || !backend->Attach(parent)) return false;
    backend_ = std::move(backend);
    form_->AttachWindow(backend_.get());
    return true;
  } catch (...) {
    return false;
  }
}

void TFormEditorWindow::RequestRepaint() { form_->InvalidateRect(form_->ClientRect()); }

void TFormEditorWindow::Idle() {
  try {
    form_->RunPosted();
    if (!backend_) return;
    backend_->PumpEvents();
    if (!backend_) return;
    form_->ServeTimers();
    const TRect dirty = form_->Render();
    if (!dirty.IsEmpty()) backend_->Present(form_->Buffer(), dirty);
  } catch (...) {
    // Handlers report nothing to the host.
  }
}

std::intptr_t TFormEditorWindow::HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) {
  try {
    switch (request) {
    case vst2::kHeadlessRender: return Render(ptr);
    case vst2::kHeadlessMouse: return Mouse(ptr);
    case vst2::kHeadlessAdvance: return Advance(value);
    default: return 0;
    }
  } catch (...) {
    return 0;
  }
}

std::intptr_t TFormEditorWindow::Render(void *ptr) {
  auto *image = static_cast<vst2::HeadlessImage *>(ptr);
  if (!image) return 0;
  form_->RunPosted();
  form_->Render();
  const TBitmap32 &frame = form_->Buffer();
  const std::int64_t capacity = std::int64_t{image->width} * image->height;
  const bool fits = image->pixels && image->width > 0 && image->height > 0 &&
                    capacity >= std::int64_t{frame.Width()} * frame.Height();
  image->width = frame.Width();
  image->height = frame.Height();
  if (!fits || frame.Empty()) return 0;
  std::memcpy(image->pixels, frame.Bits(), static_cast<std::size_t>(frame.Width()) * frame.Height() * 4);
  return 1;
}

std::intptr_t TFormEditorWindow::Mouse(void *ptr) {
  const auto *m = static_cast<const vst2::HeadlessMouse *>(ptr);
  if (!m || !backend_ || !backend_->IsHeadless()) return 0;
  TMouseButton button = TMouseButton::mbLeft;
  switch (m->button) {
  case vst2::kButtonLeft: button = TMouseButton::mbLeft; break;
  case vst2::kButtonRight: button = TMouseButton::mbRight; break;
  case vst2::kButtonMiddle: button = TMouseButton::mbMiddle; break;
  case vst2::kButtonNone:
    if (m->kind != vst2::kMouseMove) return 0;
    break;
  default: return 0;
  }
  switch (m->kind) {
  case vst2::kMouseDown: form_->HandleMouseDown(button, 0, m->x, m->y); break;
  case vst2::kMouseMove: form_->HandleMouseMove(0, m->x, m->y); break;
  case vst2::kMouseUp: form_->HandleMouseUp(button, 0, m->x, m->y); break;
  default: return 0;
  }
  return 1;
}

std::intptr_t TFormEditorWindow::Advance(std::intptr_t ms) {
  auto *headless = dynamic_cast<THeadlessBackend *>(backend_.get());
  if (!headless || ms < 0) return 0;
  headless->Advance(ms);
  return 1;
}

} // namespace gui
