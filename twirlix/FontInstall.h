#pragma once
// The display font's installation while the plug-in library is loaded: at
// load the font carried among the library's resources ("TTFFONT" 30) is
// written to a new temporary file with the prefix "FONT" in the system's
// temporary folder and registered with the toolkit's font registry by path;
// at unload it is withdrawn and the file deleted.
//
// Install (first start-up only):
//  1. no font resource: nothing is written or registered (the editor then
//     draws with the toolkit's substitute font);
//  2. no temporary folder, or no new file in it: the installation stops; no
//     file is left and nothing is registered;
//  3. a resource without bytes: the new, empty file stays (registering it
//     fails) and is deleted at unload;
//  4. writing fails (or the writer raises an error): the file is deleted,
//     nothing is registered;
//  5. otherwise the file is registered.
// Remove (last close-down only): the path is withdrawn from the registry, and
// a file that exists at the path is deleted.
//
// The start-up count is shared: start-up decrements it and installs only when
// it was 0; close-down increments it and removes only when it becomes 0 again.
//
// Decisions:
//  - The file is created with an unpredictable name, exclusively and readable
//    by the owner only (platform/TempFiles.h), so no other user can plant or
//    swap the font file; it is written through the platform's writer, which
//    does not follow a symbolic link.
//  - Failures are not reported: they happen while the host loads the library,
//    where nothing can receive them, and the plug-in works without the font.
//  - The system's font-change broadcast has no counterpart on Linux: the
//    editor's toolkit is the only reader of the registration and looks fonts
//    up each time it draws. The Windows build sends it from its platform layer.
//
// Threads: install and remove run on the thread that loads or unloads the
// library, before any plug-in instance exists and after the last one is gone.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <system_error>

namespace nimbrel::twirlix {

// The system functions the installation uses; each may be replaced (tests).
struct TFontInstallSystem {
  // The font's bytes among the library's resources, or nothing.
  std::function<std::optional<std::span<const std::uint8_t>>()> FindFontResource;
  // The temporary folder; an empty path when there is none.
  std::function<std::filesystem::path()> TempFolder;
  // A new, empty file with `prefix` in `folder`; an empty path on failure.
  std::function<std::filesystem::path(const std::filesystem::path &folder, std::string_view prefix)> CreateFile;
  // Write all bytes to the file; false on failure.
  std::function<bool(const std::filesystem::path &, std::span<const std::uint8_t>)> WriteFile;
  std::function<bool(const std::filesystem::path &)> FileExists;
  std::function<bool(const std::filesystem::path &)> DeleteFile;
  // Make the font file usable by family name / withdraw it.
  std::function<bool(const std::string &path)> AddFont;
  std::function<bool(const std::string &path)> RemoveFont;

  // The real ones: the linked resources, platform/TempFiles.h and the toolkit's
  // font registry.
  static TFontInstallSystem Default();
};

class TFontInstallation {
public:
  explicit TFontInstallation(TFontInstallSystem system) : system_(std::move(system)) {}

  void StartUp();  // install on the first call
  void CloseDown(); // remove on the matching last call

  // The temporary file's path; empty before the install created one.
  const std::filesystem::path &FontPath() const { return fontPath_; }
  int StartUpCount() const { return startUpCount_; }
  bool Registered() const { return registered_; }

private:
  void Install();
  void Remove();

  TFontInstallSystem system_;
  std::filesystem::path fontPath_;
  int startUpCount_ = 0;
  bool registered_ = false;
};

} // namespace nimbrel::twirlix
