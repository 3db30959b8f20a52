// The display font's install and remove routines with the system functions
// replaced where a failure is to be shown, and with the real ones (temporary
// files, the toolkit's font registry) for the path that works.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FontFolder.h"
#include "gui/FontRegistry.h"
#include "platform/Resources.h"
#include "twirlix/FontInstall.h"

namespace {

namespace fs = std::filesystem;
using nimbrel::twirlix::TFontInstallation;
using nimbrel::twirlix::TFontInstallSystem;
using font_test::FontFiles;
using font_test::FreshFolder;

constexpr const char *kFamily = "Clear Sans";

class FontInstall : public ::testing::Test {
protected:
  void SetUp() override {
    folder = FreshFolder("spin-font-unit");
    system = TFontInstallSystem::Default();
    system.TempFolder = [this] { return folder; };
    const auto add = system.AddFont;
    system.AddFont = [this, add](const std::string &path) {
      adds.push_back(path);
      return add(path);
    };
    const auto remove = system.RemoveFont;
    system.RemoveFont = [this, remove](const std::string &path) {
      removes.push_back(path);
      return remove(path);
    };
    ASSERT_EQ(gui::TFontRegistry::Instance().Find(kFamily), nullptr);
  }
  void TearDown() override { fs::remove_all(folder); }

  fs::path folder;
  TFontInstallSystem system;
  std::vector<std::string> adds, removes;
};

TEST_F(FontInstall, TheFontIsRegisteredExactlyBetweenStartUpAndCloseDown) {
  TFontInstallation install(system);
  install.StartUp();
  const std::vector<fs::path> files = FontFiles(folder);
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(install.FontPath(), files[0]);
  EXPECT_EQ(fs::file_size(files[0]), platform::FindResource("TTFFONT", 30)->size());
  ASSERT_NE(gui::TFontRegistry::Instance().Find(kFamily), nullptr);
  EXPECT_EQ(gui::TFontRegistry::Instance().ReferenceCount(files[0].string()), 1);

  // Only the first start-up installs, only the matching last close-down removes.
  install.StartUp();
  install.CloseDown();
  EXPECT_NE(gui::TFontRegistry::Instance().Find(kFamily), nullptr);
  EXPECT_EQ(adds.size(), 1u);
  EXPECT_TRUE(removes.empty());
  install.CloseDown();
  EXPECT_EQ(gui::TFontRegistry::Instance().Find(kFamily), nullptr);
  EXPECT_EQ(removes, adds);
  EXPECT_TRUE(FontFiles(folder).empty());
  install.CloseDown(); // one too many: nothing
  EXPECT_EQ(removes.size(), 1u);
}

TEST_F(FontInstall, TwoInstallationsUseTwoFiles) {
  TFontInstallation first(system), second(system);
  first.StartUp();
  second.StartUp();
  EXPECT_EQ(FontFiles(folder).size(), 2u);
  EXPECT_NE(first.FontPath(), second.FontPath());
  first.CloseDown();
  EXPECT_NE(gui::TFontRegistry::Instance().Find(kFamily), nullptr); // the second still holds one
  second.CloseDown();
  EXPECT_EQ(gui::TFontRegistry::Instance().Find(kFamily), nullptr);
  EXPECT_TRUE(FontFiles(folder).empty());
}

// Each failure loads cleanly, registers nothing and leaves no file after close-down.
TEST_F(FontInstall, FailuresRegisterNothingAndLeaveNoFile) {
  struct Case {
    const char *what;
    std::function<void(TFontInstallSystem &)> breakIt;
    std::size_t filesWhileLoaded;
  };
  const Case cases[] = {
      {"no font resource", [](TFontInstallSystem &s) { s.FindFontResource = [] { return std::nullopt; }; }, 0},
      {"no temporary folder", [](TFontInstallSystem &s) { s.TempFolder = [] { return fs::path(); }; }, 0},
      {"temporary folder gone",
       [this](TFontInstallSystem &s) { s.TempFolder = [this] { return folder / "missing"; }; }, 0},
      {"no new file",
       [](TFontInstallSystem &s) { s.CreateFile = [](const fs::path &, std::string_view) { return fs::path(); }; },
       0},
      {"write fails",
       [](TFontInstallSystem &s) {
         s.WriteFile = [](const fs::path &p, std::span<const std::uint8_t>) {
           std::ofstream(p) << "half a font"; // partly written, then failed
           return false;
         };
       },
       0},
      {"resource without bytes",
       [](TFontInstallSystem &s) {
         s.FindFontResource = [] { return std::optional<std::span<const std::uint8_t>>(std::span<const std::uint8_t>()); };
       },
       1}, // the empty file stays until close-down
      {"writer throws",
       [](TFontInstallSystem &s) {
         s.WriteFile = [](const fs::path &, std::span<const std::uint8_t>) -> bool { throw std::runtime_error("disk"); };
       },
       0},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.what);
    TFontInstallSystem broken = system;
    c.breakIt(broken);
    TFontInstallation install(broken);
    install.StartUp();
    EXPECT_EQ(gui::TFontRegistry::Instance().Find(kFamily), nullptr);
    EXPECT_FALSE(install.Registered());
    EXPECT_EQ(FontFiles(folder).size(), c.filesWhileLoaded);
    install.CloseDown();
    EXPECT_TRUE(FontFiles(folder).empty());
  }
}

} // namespace
