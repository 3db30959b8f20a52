#pragma once
// The built plug-in files of this build: Twirlix.so on Linux, Twirlix.dll
// (32-bit) or Twirlix-x64.dll (64-bit) on Windows.
#include <string>

namespace wintest {

inline std::string PluginFile(const std::string &name) {
  return std::string(NIMBREL_PLUGIN_DIR) + "/" + name + NIMBREL_PLUGIN_SUFFIX;
}

inline const std::string kTwirlix = PluginFile("Twirlix");
inline const std::string kQuorlin = PluginFile("Quorlin");

// The control word a Windows host thread starts with: 53-bit precision,
// round to nearest, every exception masked.
inline constexpr unsigned short kHostControlWord53 = 0x027F;

} // namespace wintest
