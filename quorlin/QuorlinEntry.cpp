// The plug-in's exported entry: `VSTPluginMain` and `main` are one routine with
// C linkage, taking the host callback and returning the effect record, or null
// when the module cannot be made.
#include "quorlin/PluginEditor.h"
#include "quorlin/QuorlinModule.h"
#include "vst2/VstModule.h"

namespace {

// The meter module with the plug-in's editor window.
class TQuorlinPlugin final : public quorlin::TPMModule {
public:
  TQuorlinPlugin() : TPMModule(quorlin::PluginEditorFactory()) {}
};

} // namespace

// The host callback is kept without asking the host anything, so the meter
// loads in any host (even one that passes no callback) and can still send the
// host automation notices for Mode changes made in its editor.
extern "C" NIMBREL_VST_EXPORT vst2::AEffect *NIMBREL_VSTCALL VSTPluginMain(vst2::HostCallback host) {
  return vst2::CreateEffect<TQuorlinPlugin>(host, vst2::TConnectMode::cmKeepHost);
}

// `main` cannot be declared as a C++ function returning a pointer, so the second
// export is an alias of VSTPluginMain under the assembler name of `main`. On
// Windows the plug-in's .def file exports the second name instead.
#if !defined(_WIN32)
#define QUORLIN_STRINGIFY2(x) #x
#define QUORLIN_STRINGIFY(x) QUORLIN_STRINGIFY2(x)
extern "C" NIMBREL_VST_EXPORT vst2::AEffect *NIMBREL_VSTCALL QuorlinMainEntry(vst2::HostCallback host) __asm__(
    QUORLIN_STRINGIFY(__USER_LABEL_PREFIX__) "main") __attribute__((alias("VSTPluginMain")));
#endif
