#include "quorlin/editor/MeterEditorWindow.h"

namespace quorlin {

std::unique_ptr<TFmRMSMeter> TMeterEditorWindow::MakeForm(TFmRMSMeter *&keep) {
  auto form = std::make_unique<TFmRMSMeter>();
  keep = form.get();
  return form;
}

TMeterEditorWindow::TMeterEditorWindow() : window_(MakeForm(form_)) {}

TMeterEditorWindow::~TMeterEditorWindow() = default;

} // namespace quorlin
