#pragma once
// The temporary folder the display font's installation writes into, as the
// font tests see it: a fresh folder of this process to point it at, and the
// "FONT" files found there.
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace font_test {

// An empty folder "<stem>-<pid>" under the system's temporary folder: what an
// earlier run left there is removed first.
inline std::filesystem::path FreshFolder(const std::string &stem) {
  const std::filesystem::path folder = std::filesystem::temp_directory_path() / (stem + "-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

// The installation's files in `folder`: the names that start with "FONT".
inline std::vector<std::filesystem::path> FontFiles(const std::filesystem::path &folder) {
  std::vector<std::filesystem::path> out;
  for (const auto &e : std::filesystem::directory_iterator(folder))
    if (e.path().filename().string().rfind("FONT", 0) == 0)
      out.push_back(e.path());
  return out;
}

} // namespace font_test
