// libFuzzer target: the meter plug-in driven by the fuzzing host (FuzzHarness.h).
#include <cstdlib>

#include "fuzz/FuzzHarness.h"
#include "quorlin/PluginEditor.h"
#include "quorlin/QuorlinModule.h"
#include "vst2/VstModule.h"

namespace {
// The meter module with the plug-in's editor window, made as the exported
// entry makes it (the callback kept, nothing asked of the host).
class TFuzzedQuorlin final : public quorlin::TPMModule {
public:
  TFuzzedQuorlin() : TPMModule(quorlin::PluginEditorFactory()) {}
};
vst2::AEffect *MakeQuorlin(vst2::HostCallback host) {
  return vst2::CreateEffect<TFuzzedQuorlin>(host, vst2::TConnectMode::cmKeepHost);
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  ::unsetenv("DISPLAY");
  std::atexit(fuzzhost::PrintTotals);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return fuzzhost::RunOne(&MakeQuorlin, data, size);
}
