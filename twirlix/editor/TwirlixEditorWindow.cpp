#include "twirlix/editor/TwirlixEditorWindow.h"

#include <algorithm>
#include <cstring>

#include "twirlix/TwirlixModule.h"
#include "twirlix/editor/SpinEditorRequests.h"

namespace nimbrel::twirlix {
namespace {

std::unique_ptr<TFmTwirlix> MakeForm(TFmTwirlix *&raw) {
  auto form = std::make_unique<TFmTwirlix>();
  raw = form.get();
  return form;
}

} // namespace

TTwirlixEditorWindow::TTwirlixEditorWindow(TTwirlixModule &module)
    : module_(module), form_(nullptr), window_(MakeForm(form_)) {
  ClaimEditorThread();
  form_->Module = &module_;
  form_->ShowModuleState();
  module_.SetEditorView(this);
}

TTwirlixEditorWindow::~TTwirlixEditorWindow() { module_.SetEditorView(nullptr); }

bool TTwirlixEditorWindow::AttachToParent(void *parent, bool headless) {
  ClaimEditorThread();
  return window_.AttachToParent(parent, headless);
}

void TTwirlixEditorWindow::Idle() {
  ClaimEditorThread();
  window_.Idle(); // runs the posted delivery first
}

std::intptr_t TTwirlixEditorWindow::HeadlessRequest(std::int32_t request, std::intptr_t value, void *ptr) {
  ClaimEditorThread();
  switch (request) {
  case kSpinRecordWebRequests:
    RecordWebRequests(value != 0);
    return 1;
  case kSpinRecordedWebRequests:
    return CopyRecordedWebRequests(static_cast<char *>(ptr), value);
  case kSpinReadLabel:
    return ReadLabel(value, static_cast<TSpinLabelState *>(ptr));
  case kSpinReadDial:
    if (ptr == nullptr)
      return 0;
    *static_cast<float *>(ptr) = form_->LFOSpeed.Position();
    return 1;
  default:
    return window_.HeadlessRequest(request, value, ptr);
  }
}

// --- Module writes ------------------------------------------------------------

void TTwirlixEditorWindow::ShowProcessType(std::int32_t m) {
  if (OnEditorThread()) {
    mailbox_.DropProcessType();
    form_->ShowProcessType(m);
  } else {
    mailbox_.PutProcessType(m);
    WakeEditor();
  }
}

void TTwirlixEditorWindow::ShowCoefficientCount(std::int32_t n) {
  if (OnEditorThread()) {
    mailbox_.DropCoefficientCount();
    form_->ShowCoefficientCount(n);
  } else {
    mailbox_.PutCoefficientCount(n);
    WakeEditor();
  }
}

void TTwirlixEditorWindow::ShowLfoSpeed(float x, float f) {
  if (OnEditorThread()) {
    mailbox_.DropLfoSpeed();
    form_->ShowLfoSpeed(x, f, true);
  } else {
    mailbox_.PutLfoSpeed(x, f);
    WakeEditor();
  }
}

void TTwirlixEditorWindow::WakeEditor() {
  if (deliveryPosted_.exchange(true, std::memory_order_acq_rel))
    return; // one delivery is already on its way and will take the new value too
  // The call captures one pointer, which std::function keeps without allocating.
  // The queue runs it only while the form lives.
  if (!form_->Post([this] { Deliver(); }))
    deliveryPosted_.store(false, std::memory_order_release);
}

void TTwirlixEditorWindow::Deliver() {
  // Cleared first: a value that arrives from here on posts a new delivery.
  deliveryPosted_.store(false, std::memory_order_release);
  if (const auto m = mailbox_.TakeProcessType())
    form_->ShowProcessType(*m);
  if (const auto n = mailbox_.TakeCoefficientCount())
    form_->ShowCoefficientCount(*n);
  if (const auto speed = mailbox_.TakeLfoSpeed())
    form_->ShowLfoSpeed(speed->X, speed->F, false);
}

std::intptr_t TTwirlixEditorWindow::ReadLabel(std::intptr_t which, TSpinLabelState *state) {
  if (state == nullptr)
    return 0;
  const gui::TLabel *label = which == kSpinLabelType     ? &form_->LbType
                             : which == kSpinLabelColour ? &form_->LbColour
                             : which == kSpinLabelHz     ? &form_->LbShowHz
                                                         : nullptr;
  if (label == nullptr)
    return 0;
  state->tag = label->Tag;
  const std::size_t n = std::min(label->Caption().size(), sizeof state->caption - 1);
  std::memcpy(state->caption, label->Caption().data(), n);
  state->caption[n] = '\0';
  return 1;
}

// --- Web-page record ----------------------------------------------------------

void TTwirlixEditorWindow::RecordWebRequests(bool on) {
  webRecord_.clear();
  if (!on) {
    form_->WebOpener = nullptr;
    return;
  }
  form_->WebOpener = [this](std::string_view url) {
    if (!platform::IsOpenableWebAddress(url))
      return false;
    if (webRecord_.size() >= static_cast<std::size_t>(kSpinMaxRecordedWebRequests))
      return false;
    webRecord_.emplace_back(url);
    return true;
  };
}

std::intptr_t TTwirlixEditorWindow::CopyRecordedWebRequests(char *buffer, std::intptr_t size) const {
  if (buffer != nullptr && size > 0) {
    std::size_t used = 0;
    const std::size_t capacity = static_cast<std::size_t>(size) - 1; // room for the terminator
    for (const std::string &url : webRecord_) {
      if (used + url.size() + 1 > capacity)
        break;
      std::memcpy(buffer + used, url.data(), url.size());
      used += url.size();
      buffer[used++] = '\n';
    }
    buffer[used] = '\0';
  }
  return static_cast<std::intptr_t>(webRecord_.size());
}

// --- The factory the module calls from its open-editor handler ----------------

std::unique_ptr<vst2::IEditorWindow> CreateTwirlixEditor(TTwirlixModule &module, void *) {
  return std::make_unique<TTwirlixEditorWindow>(module);
}

} // namespace nimbrel::twirlix
