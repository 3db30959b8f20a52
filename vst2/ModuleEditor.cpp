// The editor lifecycle: open, placement, idle, close, and the headless
// protocol that reaches the window through the vendor-specific request.
//
// Opening while an editor is already open closes the old one first (its
// OnEditClose runs) and then opens a new window inside the parent now given:
// a host that re-opens means a new parent, and a window left in the old one
// would be lost to the user. Closing without an open editor does nothing.
// A window that cannot be placed (AttachToParent fails or throws) is closed at
// once by the ordinary close path, OnEditClose included, so whatever the open
// handler started (timers, measuring) is undone, and the request answers 0.
#include "vst2/HeadlessEditor.h"
#include "vst2/VstModule.h"

namespace vst2 {

VstIntPtr TVSTModule::EditorRequest(VstInt32 opcode, VstIntPtr /*value*/, void *ptr, float /*opt*/) {
  switch (opcode) {
  case effEditGetRect: {
    auto **rect = static_cast<ERect **>(ptr);
    if (rect == nullptr)
      return 0;
    if (!FEditorForm) {
      *rect = nullptr;
      return 0;
    }
    FEditorRect.top = 0;
    FEditorRect.left = 0;
    FEditorRect.bottom = static_cast<std::int16_t>(FEditorForm->ClientHeight());
    FEditorRect.right = static_cast<std::int16_t>(FEditorForm->ClientWidth());
    *rect = &FEditorRect;
    return 1;
  }
  case effEditOpen:
    return OpenEditor(ptr) ? 1 : 0;
  case effEditClose:
    if (!FEditorForm)
      return 0;
    CloseEditor(true);
    return 1;
  case effEditIdle:
    if (!FEditorForm)
      return 0;
    if (FRepaintMark.exchange(false, std::memory_order_acq_rel))
      FEditorForm->RequestRepaint();
    FEditorForm->Idle();
    return 1;
  default:
    return 0;
  }
}

bool TVSTModule::OpenEditor(void *parent) {
  if ((FSettings.Flags & effFlagsHasEditor) == 0 || !FSettings.OnEditOpen)
    return false;
  if (FEditorForm)
    CloseEditor(true);
  const bool headless = FHeadlessNext;
  FHeadlessNext = false;

  std::unique_ptr<IEditorWindow> gui;
  try {
    FSettings.OnEditOpen(*this, gui, headless ? nullptr : parent);
  } catch (...) {
    return false; // a window made before the failure is freed with `gui`
  }
  if (!gui)
    return false;
  FEditorForm = std::move(gui);
  bool placed = false;
  try {
    placed = FEditorForm->AttachToParent(headless ? nullptr : parent, headless);
  } catch (...) {
    placed = false;
  }
  if (!placed) {
    CloseEditor(true);
    return false;
  }
  // A fresh window is painted whole: an older repaint mark is spent.
  FRepaintMark.store(false, std::memory_order_release);
  FEditorForm->RequestRepaint();
  return true;
}

void TVSTModule::CloseEditor(bool raiseOnEditClose) {
  if (!FEditorForm)
    return;
  if (raiseOnEditClose && FSettings.OnEditClose) {
    try {
      FSettings.OnEditClose(*this);
    } catch (...) {
      // The window is freed all the same.
    }
  }
  FEditorForm.reset();
}

VstIntPtr TVSTModule::VendorRequest(VstInt32 index, VstIntPtr value, void *ptr, float opt) {
  if (index != kHeadlessVendorCode)
    return 0;
  if (value == kHeadlessSelect) {
    FHeadlessNext = true;
    return 1;
  }
  if (!FEditorForm || value < INT32_MIN || value > INT32_MAX)
    return 0;
  return FEditorForm->HeadlessRequest(static_cast<std::int32_t>(value), HeadlessValueFromOpt(opt), ptr);
}

} // namespace vst2
