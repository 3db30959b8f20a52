#include "twirlix/SpinTexts.h"

namespace nimbrel::twirlix {

void ProcessTypeName(std::int32_t index, std::string &text) {
  static const char *const kNames[] = {"illegal", "stereo a", "stereo b", "stereo c", "stereo d", "mono",
                                       "mono l",  "mono r",   "m+s",      "special",  "old one"};
  const auto slot = static_cast<std::uint32_t>(index);
  if (slot < sizeof(kNames) / sizeof(kNames[0]))
    text = kNames[slot];
}

void CoefficientCountName(std::int32_t count, std::string &text) {
  switch (count) {
  case 1: text = "rough"; break;
  case 4: text = "firm"; break;
  case 8: text = "medium"; break;
  case 16: text = "soft"; break;
  case 32: text = "smooth"; break;
  default: text = "untitled"; break;
  }
}

} // namespace nimbrel::twirlix
