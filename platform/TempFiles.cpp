// The parts of the temporary-file layer that do not depend on the system.
#include "platform/TempFiles.h"

#include <system_error>

namespace platform {

std::filesystem::path CreateTempFile(std::string_view prefix, std::error_code &ec) {
  return CreateTempFile(TempDirectory(), prefix, ec);
}

std::filesystem::path CreateTempFile(std::string_view prefix) {
  std::error_code ec;
  std::filesystem::path path = CreateTempFile(prefix, ec);
  if (ec)
    throw std::system_error(ec, "cannot create a temporary file");
  return path;
}

} // namespace platform
