#pragma once
// The spin plug-in's name tables, used by the host's display texts and by the
// editor's labels. Pure functions: they write into the caller's text.
#include <cstdint>
#include <string>

namespace nimbrel::twirlix {

// 0 "illegal", 1 "stereo a" .. 10 "old one". Any other index (negative ones
// included) leaves `text` as it was.
void ProcessTypeName(std::int32_t index, std::string &text);

// 1 "rough", 4 "firm", 8 "medium", 16 "soft", 32 "smooth"; every other count
// "untitled".
void CoefficientCountName(std::int32_t count, std::string &text);

} // namespace nimbrel::twirlix
