// No system font table of ours to change on Linux and other free desktops:
// the editors draw with the toolkit's registry alone.
#include "platform/SystemFonts.h"

namespace platform {

bool AddSystemFont(const std::string &) { return false; }
bool RemoveSystemFont(const std::string &) { return false; }
void NotifyFontChange() {}

} // namespace platform
