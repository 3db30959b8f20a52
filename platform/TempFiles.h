#pragma once
// Temporary files: the system's temporary folder and new files in it.
//
// New files are created with an unpredictable name and exclusively (they never
// replace or open an existing file, whoever made it), readable and writable by
// the owner only. Failures are reported through std::error_code; the throwing
// overloads raise std::system_error carrying the system's error code.
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>

namespace platform {

// The system's temporary folder: $TMPDIR when it is set and names an existing
// folder, else /tmp (on Windows the system's temporary path).
std::filesystem::path TempDirectory();

// Creates a new, empty file named `prefix` plus a random part in TempDirectory()
// (or in `folder`) and returns its full path; an empty path and `ec` set on
// failure. A prefix that is empty, longer than 32 characters or holds a path
// separator or a character other than letters, digits, '-', '_' and '.' is
// refused with std::errc::invalid_argument.
std::filesystem::path CreateTempFile(std::string_view prefix, std::error_code &ec);
std::filesystem::path CreateTempFile(const std::filesystem::path &folder, std::string_view prefix,
                                     std::error_code &ec);
std::filesystem::path CreateTempFile(std::string_view prefix);

// Opens `path` for writing, emptying the file, and writes all of `bytes`. A
// symbolic link at `path` is refused rather than followed. Returns false (and
// sets `ec`) when opening, writing or closing fails; a partly written file is
// left for the caller to delete.
bool WriteFileBytes(const std::filesystem::path &path, std::span<const std::uint8_t> bytes, std::error_code &ec);

// Deletes the file at `path`; false when there was none or it could not be deleted.
bool RemoveFile(const std::filesystem::path &path) noexcept;

// Whether anything exists at `path` (a dangling symbolic link counts as existing).
bool FileExists(const std::filesystem::path &path) noexcept;

} // namespace platform
