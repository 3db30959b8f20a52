#pragma once
// The framework's error type. Errors are exceptions that carry a message text
// ("Index out of bounds", "AudioMaster Error"). The exported entries, the
// dispatcher and the lifecycle events trap them: nothing escapes into a host.
#include <stdexcept>
#include <string>

namespace vst2 {

class EVstError : public std::runtime_error {
public:
  explicit EVstError(const std::string &message) : std::runtime_error(message) {}
};

inline constexpr const char *kIndexOutOfBounds = "Index out of bounds";
inline constexpr const char *kAudioMasterError = "AudioMaster Error";

} // namespace vst2
