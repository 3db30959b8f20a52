// The plug-in's editor window: the meter form on the toolkit's backends.
#include "quorlin/PluginEditor.h"

#include "quorlin/editor/MeterEditorWindow.h"

namespace quorlin {

TMeterEditorFactory PluginEditorFactory() {
  return []() -> std::unique_ptr<IMeterEditor> { return std::make_unique<TMeterEditorWindow>(); };
}

} // namespace quorlin
