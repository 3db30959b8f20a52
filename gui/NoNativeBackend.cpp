// Platforms whose window backend is not written yet: only the headless
// backend is available there, and attaching to a native parent fails cleanly.
#include "gui/WindowBackend.h"

namespace gui {

std::unique_ptr<TWindowBackend> CreateNativeBackend(TForm &) { return nullptr; }

} // namespace gui
