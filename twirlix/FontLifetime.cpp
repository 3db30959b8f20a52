// The display font is registered for as long as the plug-in library is loaded:
// this object's construction at load installs it, its destruction at unload
// removes it (see FontInstall.h). The object is built into the plug-in itself,
// not into a library of it, so that the linker keeps it.
#include "twirlix/FontInstall.h"

namespace nimbrel::twirlix {
namespace {

class TFontLifetime {
public:
  TFontLifetime() : installation_(TFontInstallSystem::Default()) { installation_.StartUp(); }
  ~TFontLifetime() { installation_.CloseDown(); }
  TFontLifetime(const TFontLifetime &) = delete;
  TFontLifetime &operator=(const TFontLifetime &) = delete;

private:
  TFontInstallation installation_;
};

// Constructed during the library's start-up code. The font registry it uses is
// made during this construction, so the registry outlives it at unload.
TFontLifetime fontLifetime;

} // namespace
} // namespace nimbrel::twirlix
