#pragma once
// The editor window the plug-in's module opens. The plug-in is linked with one
// definition of this factory: the editor library's, or NoEditor.cpp while the
// plug-in is built without an editor window.
#include "quorlin/MeterEditor.h"

namespace quorlin {

TMeterEditorFactory PluginEditorFactory();

} // namespace quorlin
