// libFuzzer target: the spin plug-in driven by the fuzzing host (FuzzHarness.h).
#include <cstdlib>

#include "fuzz/FuzzHarness.h"
#include "twirlix/TwirlixModule.h"
#include "vst2/VstModule.h"

namespace {
// What the exported VSTPluginMain does.
vst2::AEffect *MakeTwirlix(vst2::HostCallback host) { return vst2::CreateEffect<nimbrel::twirlix::TTwirlixModule>(host); }
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  ::unsetenv("DISPLAY");
  std::atexit(fuzzhost::PrintTotals);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  return fuzzhost::RunOne(&MakeTwirlix, data, size);
}
