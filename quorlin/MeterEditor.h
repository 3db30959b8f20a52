#pragma once
// The seam between the meter module and its editor window. The module knows no
// window toolkit: it creates its editor through a factory that the plug-in's
// entry hands it, and it needs of the window only the two operations below,
// beyond the framework's own view (vst2::IEditorWindow).
#include <functional>
#include <memory>

#include "vst2/EditorWindow.h"

namespace quorlin {

class TPMModule;

class IMeterEditor : public vst2::IEditorWindow {
public:
  // The non-owning reference through which the editor reads the levels and
  // sends Mode changes. Set once, right after the window is made.
  virtual void SetModule(TPMModule *module) = 0;
  // Starts or stops the editor's refresh timer.
  virtual void SetTimerEnabled(bool enabled) = 0;
};

// Makes a new editor window, not yet tied to a module; null (or an exception)
// when no window can be made, in which case the host's open request answers 0.
using TMeterEditorFactory = std::function<std::unique_ptr<IMeterEditor>()>;

} // namespace quorlin
