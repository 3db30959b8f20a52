#include "platform/TempFiles.h"
#include "platform/TempFilePrefix.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform {
namespace {

bool IsDirectory(const char *path) {
  struct stat st {};
  return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

std::error_code LastError() { return {errno, std::generic_category()}; }

} // namespace

std::filesystem::path TempDirectory() {
  // secure_getenv ignores the environment in privileged (set-user-id) processes.
  const char *dir = ::secure_getenv("TMPDIR");
  if (dir != nullptr && *dir != '\0' && IsDirectory(dir))
    return dir;
  return "/tmp";
}

std::filesystem::path CreateTempFile(const std::filesystem::path &folder, std::string_view prefix,
                                     std::error_code &ec) {
  ec.clear();
  if (!IsValidTempFilePrefix(prefix)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return {};
  }
  // mkstemp picks an unpredictable name and creates it with O_EXCL and mode 0600.
  std::string pattern = (folder / std::string(prefix)).string() + "XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  const int fd = ::mkostemp(buffer.data(), O_CLOEXEC);
  if (fd < 0) {
    ec = LastError();
    return {};
  }
  if (::close(fd) != 0) {
    ec = LastError();
    ::unlink(buffer.data());
    return {};
  }
  return std::filesystem::path(buffer.data());
}

bool WriteFileBytes(const std::filesystem::path &path, std::span<const std::uint8_t> bytes, std::error_code &ec) {
  ec.clear();
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) {
    ec = LastError();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR)
        continue;
      ec = LastError();
      ::close(fd);
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) {
    ec = LastError();
    return false;
  }
  return true;
}

bool RemoveFile(const std::filesystem::path &path) noexcept { return ::unlink(path.c_str()) == 0; }

bool FileExists(const std::filesystem::path &path) noexcept {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

} // namespace platform
