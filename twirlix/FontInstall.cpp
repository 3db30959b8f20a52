#include "twirlix/FontInstall.h"

#include "gui/FontRegistry.h"
#include "platform/Resources.h"
#include "platform/SystemFonts.h"
#include "platform/TempFiles.h"
#include "resources/DisplayFont.h"

namespace nimbrel::twirlix {
namespace {

constexpr std::string_view kFontFilePrefix = "FONT";

} // namespace

TFontInstallSystem TFontInstallSystem::Default() {
  TFontInstallSystem s;
  s.FindFontResource = [] {
    return platform::FindResource(resources::kDisplayFontResourceType, resources::kDisplayFontResourceId);
  };
  s.TempFolder = [] { return platform::TempDirectory(); };
  s.CreateFile = [](const std::filesystem::path &folder, std::string_view prefix) {
    std::error_code ec;
    return platform::CreateTempFile(folder, prefix, ec);
  };
  s.WriteFile = [](const std::filesystem::path &path, std::span<const std::uint8_t> bytes) {
    std::error_code ec;
    return platform::WriteFileBytes(path, bytes, ec);
  };
  s.FileExists = [](const std::filesystem::path &path) { return platform::FileExists(path); };
  s.DeleteFile = [](const std::filesystem::path &path) { return platform::RemoveFile(path); };
  // The toolkit draws with its own registry; on Windows the system's font
  // table gets the file too (platform/SystemFonts.h; nothing elsewhere).
  s.AddFont = [](const std::string &path) {
    const bool inRegistry = gui::TFontRegistry::Instance().Register(path);
    const bool inSystem = platform::AddSystemFont(path);
    return inRegistry || inSystem;
  };
  s.RemoveFont = [](const std::string &path) {
    const bool fromRegistry = gui::TFontRegistry::Instance().Unregister(path);
    const bool fromSystem = platform::RemoveSystemFont(path);
    return fromRegistry || fromSystem;
  };
  return s;
}

void TFontInstallation::StartUp() {
  if (startUpCount_-- != 0)
    return;
  try {
    Install();
  } catch (...) {
    // Nothing can receive an error while the library loads; the editor then
    // draws with the substitute font.
  }
}

void TFontInstallation::CloseDown() {
  if (++startUpCount_ != 0)
    return;
  try {
    Remove();
  } catch (...) {
    // As at start-up: nothing to report to.
  }
}

void TFontInstallation::Install() {
  const std::optional<std::span<const std::uint8_t>> font = system_.FindFontResource();
  if (!font)
    return; // nothing to write and nothing to add
  const std::filesystem::path folder = system_.TempFolder();
  if (folder.empty())
    return;
  fontPath_ = system_.CreateFile(folder, kFontFilePrefix);
  if (fontPath_.empty())
    return;
  if (font->empty() || font->data() == nullptr) {
    // No data: the empty file stays until unload; registering it fails.
    registered_ = system_.AddFont(fontPath_.string());
    return;
  }
  bool written = false;
  try {
    written = system_.WriteFile(fontPath_, *font);
  } catch (...) {
    written = false;
  }
  if (!written) {
    system_.DeleteFile(fontPath_); // a partly written file goes too
    return;
  }
  registered_ = system_.AddFont(fontPath_.string());
}

void TFontInstallation::Remove() {
  if (fontPath_.empty())
    return;
  if (registered_) {
    system_.RemoveFont(fontPath_.string());
    registered_ = false;
  }
  if (system_.FileExists(fontPath_))
    system_.DeleteFile(fontPath_);
}

} // namespace nimbrel::twirlix
