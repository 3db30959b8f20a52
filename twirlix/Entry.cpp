// The library's exported entry: VSTPluginMain, exported a second time as
// "main" (one routine under two names). C++ cannot declare a function named
// main that returns a pointer, so the second name is an alias with an assembler
// label; the plug-in's version script keeps these two as the only exports.
#include "twirlix/TwirlixModule.h"
#include "vst2/VstModule.h"

extern "C" NIMBREL_VST_EXPORT vst2::AEffect *NIMBREL_VSTCALL VSTPluginMain(vst2::HostCallback host) {
  return vst2::CreateEffect<nimbrel::twirlix::TTwirlixModule>(host);
}

#if !defined(_WIN32)
extern "C" NIMBREL_VST_EXPORT vst2::AEffect *TwirlixMainAlias(vst2::HostCallback host) __asm__("main")
    __attribute__((alias("VSTPluginMain")));
#endif
