// Temporary files on Windows: GetTempPathA for the folder, GetTempFileNameA
// for new files.
//
// GetTempFileNameA with unique number 0 creates the file itself (exclusively:
// it never reuses an existing name) and keeps only the first three characters
// of the prefix ("FONT" gives FON*.tmp). Its names are not unpredictable, but
// the temporary folder is the user's own, so another user cannot plant a file
// there; the exclusive creation covers the rest. The folder must leave room
// for the file name within the system's path limit of 260 characters.
#include "platform/TempFiles.h"
#include "platform/TempFilePrefix.h"

#include <windows.h>

#include <string>

namespace platform {
namespace {

std::error_code LastError() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

} // namespace

std::filesystem::path TempDirectory() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathA(MAX_PATH, buffer);
  if (n == 0 || n > MAX_PATH)
    return ".";
  return std::filesystem::path(std::string(buffer, n));
}

std::filesystem::path CreateTempFile(const std::filesystem::path &folder, std::string_view prefix,
                                     std::error_code &ec) {
  ec.clear();
  if (!IsValidTempFilePrefix(prefix)) {
    ec = std::make_error_code(std::errc::invalid_argument);
    return {};
  }
  const std::string folderText = folder.string();
  // GetTempFileNameA appends at most 14 characters (prefix, 4 hex digits, ".tmp").
  if (folderText.empty() || folderText.size() > MAX_PATH - 14) {
    ec = std::make_error_code(std::errc::filename_too_long);
    return {};
  }
  const std::string prefixText(prefix);
  char path[MAX_PATH + 1] = {};
  if (::GetTempFileNameA(folderText.c_str(), prefixText.c_str(), 0, path) == 0) {
    ec = LastError();
    return {};
  }
  return std::filesystem::path(std::string(path));
}

bool WriteFileBytes(const std::filesystem::path &path, std::span<const std::uint8_t> bytes, std::error_code &ec) {
  ec.clear();
  const std::string text = path.string();
  // A symbolic link or junction (a reparse point) is refused, not followed.
  const DWORD attributes = ::GetFileAttributesA(text.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    ec = std::make_error_code(std::errc::too_many_symbolic_link_levels);
    return false;
  }
  HANDLE file = ::CreateFileA(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    ec = LastError();
    return false;
  }
  std::size_t done = 0;
  while (done < bytes.size()) {
    const std::size_t left = bytes.size() - done;
    const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) {
      ec = LastError();
      if (!ec)
        ec = std::make_error_code(std::errc::io_error);
      ::CloseHandle(file);
      return false;
    }
    done += written;
  }
  if (!::CloseHandle(file)) {
    ec = LastError();
    return false;
  }
  return true;
}

bool RemoveFile(const std::filesystem::path &path) noexcept {
  try {
    return ::DeleteFileA(path.string().c_str()) != 0;
  } catch (...) {
    return false;
  }
}

bool FileExists(const std::filesystem::path &path) noexcept {
  try {
    return ::GetFileAttributesA(path.string().c_str()) != INVALID_FILE_ATTRIBUTES;
  } catch (...) {
    return false;
  }
}

} // namespace platform
