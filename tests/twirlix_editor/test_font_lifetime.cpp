// The display font's file while the plug-in library is loaded: loading writes
// the embedded font to one new "FONT" file in the temporary folder, unloading
// deletes it. The registration itself lives in the plug-in's own copy of the
// toolkit; the editor's reference picture shows that its labels draw with it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/HostLibrary.h"

namespace {

namespace fs = std::filesystem;

std::vector<char> ReadAll(const fs::path &p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

std::vector<fs::path> FontFiles(const fs::path &folder) {
  std::vector<fs::path> out;
  for (const auto &e : fs::directory_iterator(folder))
    if (e.path().filename().string().rfind("FONT", 0) == 0)
      out.push_back(e.path());
  return out;
}

class FontLifetime : public ::testing::Test {
protected:
  void SetUp() override {
    folder = fs::temp_directory_path() / ("spin-font-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const char *old = std::getenv("TMPDIR");
    if (old)
      savedTmp = old;
    ::setenv("TMPDIR", folder.c_str(), 1);
  }
  void TearDown() override {
    if (savedTmp)
      ::setenv("TMPDIR", savedTmp->c_str(), 1);
    else
      ::unsetenv("TMPDIR");
    fs::remove_all(folder);
  }
  fs::path folder;
  std::optional<std::string> savedTmp;
};

TEST_F(FontLifetime, LoadingWritesTheFontToOneNewFileAndUnloadingDeletesIt) {
  const std::vector<char> font =
      ReadAll(std::string(NIMBREL_BINARY_DIR) + "/resources/fonts/ClearSans-Regular.ttf");
  ASSERT_GT(font.size(), 10000u);
  for (int cycle = 0; cycle < 3; ++cycle) {
    {
      auto plugin = host::Plugin::Load(std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so");
      const std::vector<fs::path> files = FontFiles(folder);
      ASSERT_EQ(files.size(), 1u) << "cycle " << cycle;
      EXPECT_EQ(ReadAll(files[0]), font);
      // Owner only: nobody else may replace the font under the plug-in.
      EXPECT_EQ(fs::status(files[0]).permissions() & (fs::perms::group_all | fs::perms::others_all),
                fs::perms::none);
      // Instances and editors come and go; the file stays while the library is loaded.
      plugin->Open();
      ASSERT_TRUE(plugin->SelectHeadless());
      ASSERT_TRUE(plugin->OpenEditor());
      plugin->CloseEditor();
      EXPECT_EQ(FontFiles(folder).size(), 1u);
    }
    EXPECT_TRUE(FontFiles(folder).empty()) << "cycle " << cycle << ": the unload leaves no file";
  }
}

} // namespace
