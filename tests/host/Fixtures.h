#pragma once
// Paths of the fixture plug-ins and a scratch directory per test.
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace host_test {

inline std::string Fixture(const std::string &name) { return std::string(HOST_FIXTURE_DIR) + "/" + name + ".so"; }

// A fresh directory under the system's temporary folder, removed afterwards.
class ScratchDir {
public:
  ScratchDir() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("nimbrel-host-") + info->test_suite_name() + "-" + info->name();
    for (char &c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string &name) const { return (path_ / name).string(); }
  const std::filesystem::path &Path() const { return path_; }

private:
  std::filesystem::path path_;
};

} // namespace host_test
