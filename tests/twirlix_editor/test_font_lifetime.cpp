// The display font's file while the plug-in library is loaded: loading writes
// the embedded font to one new "FONT" file in the temporary folder, unloading
// deletes it. The registration itself lives in the plug-in's own copy of the
// toolkit; the editor's reference picture shows that its labels draw with it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "FontFolder.h"
#include "host/HostLibrary.h"

namespace {

namespace fs = std::filesystem;
using font_test::FontFiles;
using font_test::FreshFolder;

std::vector<char> ReadAll(const fs::path &p) {
  std::ifstream f(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

class FontLifetime : public ::testing::Test {
protected:
  void SetUp() override {
    folder = FreshFolder("spin-font");
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
