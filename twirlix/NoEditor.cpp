// The stand-in for a build without the editor library: no editor window, so the
// host's open-editor request is answered with 0.
#include "twirlix/TwirlixModule.h"

namespace nimbrel::twirlix {

std::unique_ptr<vst2::IEditorWindow> CreateTwirlixEditor(TTwirlixModule &, void *) { return nullptr; }

} // namespace nimbrel::twirlix
