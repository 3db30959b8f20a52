// The plug-in built without an editor window: the module has no factory, so the
// host's open-editor request answers 0 and the meter keeps passing audio through
// without measuring. Replaced by the editor library's definition.
#include "quorlin/PluginEditor.h"

namespace quorlin {

TMeterEditorFactory PluginEditorFactory() { return {}; }

} // namespace quorlin
