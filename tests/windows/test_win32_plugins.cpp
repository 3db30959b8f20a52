// The DLLs as a Windows host meets them: loaded with LoadLibraryA, their two
// exported names, the resources in their own resource section, the display
// font registered with the system while the library is loaded, and the
// editors as child windows of a host window.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "host/HostLibrary.h"
#include "tests/windows/PluginFiles.h"
#include "tests/windows/Win32TestSupport.h"

namespace {

using namespace wintest;

class Library {
public:
  explicit Library(const std::string &path) : module_(LoadPlugin(path)) {}
  ~Library() { Free(); }
  Library(const Library &) = delete;
  Library &operator=(const Library &) = delete;
  HMODULE get() const { return module_; }
  void Free() {
    if (module_) ::FreeLibrary(module_);
    module_ = nullptr;
  }

private:
  HMODULE module_;
};

struct PngSize {
  std::uint32_t width = 0, height = 0;
};

std::optional<PngSize> PngHeader(const void *data, DWORD size) {
  static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  const auto *p = static_cast<const unsigned char *>(data);
  if (size < 24 || std::memcmp(p, kSignature, 8) != 0 || std::memcmp(p + 12, "IHDR", 4) != 0) return std::nullopt;
  auto be32 = [](const unsigned char *q) {
    return (std::uint32_t{q[0]} << 24) | (std::uint32_t{q[1]} << 16) | (std::uint32_t{q[2]} << 8) | q[3];
  };
  return PngSize{be32(p + 16), be32(p + 20)};
}

std::vector<unsigned char> ResourceBytes(HMODULE module, LPCSTR name, LPCSTR type) {
  HRSRC info = ::FindResourceA(module, name, type);
  if (!info) return {};
  HGLOBAL loaded = ::LoadResource(module, info);
  const auto *bytes = static_cast<const unsigned char *>(::LockResource(loaded));
  return bytes ? std::vector<unsigned char>(bytes, bytes + ::SizeofResource(module, info)) : std::vector<unsigned char>{};
}

TEST(Win32Plugins, BothNamesExportOneEntry) {
  for (const std::string &path : {kTwirlix, kQuorlin}) {
    Library lib(path);
    ASSERT_NE(lib.get(), nullptr) << path;
    const FARPROC first = ::GetProcAddress(lib.get(), "VSTPluginMain");
    const FARPROC second = ::GetProcAddress(lib.get(), "main");
    EXPECT_NE(first, nullptr) << path;
    EXPECT_EQ(first, second) << path;
    EXPECT_EQ(::GetProcAddress(lib.get(), "_VSTPluginMain"), nullptr) << path << ": decorated name exported";
  }
}

TEST(Win32Plugins, PicturesAndFontLieInTheDllsOwnResources) {
  struct Picture {
    const std::string *plugin;
    const char *name;
    std::uint32_t width, height;
  };
  const Picture pictures[] = {{&kTwirlix, "TWIRLIX", 454, 237},      {&kTwirlix, "STITCH", 8001, 127},
                              {&kQuorlin, "Background", 454, 187},   {&kQuorlin, "BackgroundOld", 454, 187},
                              {&kQuorlin, "Bobble", 32, 32},         {&kQuorlin, "Yellow", 10710, 95},
                              {&kQuorlin, "Old", 10710, 95},         {&kQuorlin, "StyleOld", 48, 16},
                              {&kQuorlin, "StyleWhite", 61, 17}};
  for (const Picture &p : pictures) {
    Library lib(*p.plugin);
    ASSERT_NE(lib.get(), nullptr);
    const std::vector<unsigned char> bytes = ResourceBytes(lib.get(), p.name, MAKEINTRESOURCEA(10)); // RT_RCDATA
    const std::optional<PngSize> png = PngHeader(bytes.data(), static_cast<DWORD>(bytes.size()));
    ASSERT_TRUE(png) << p.name;
    EXPECT_EQ(png->width, p.width) << p.name;
    EXPECT_EQ(png->height, p.height) << p.name;
  }
  Library spin(kTwirlix);
  std::ifstream file(NIMBREL_DISPLAY_FONT_TTF, std::ios::binary);
  const std::vector<unsigned char> font((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  ASSERT_GT(font.size(), 1000u);
  EXPECT_EQ(ResourceBytes(spin.get(), MAKEINTRESOURCEA(30), "TTFFONT"), font);
  // The meter carries no font.
  Library meter(kQuorlin);
  EXPECT_TRUE(ResourceBytes(meter.get(), MAKEINTRESOURCEA(30), "TTFFONT").empty());
}

TEST(Win32Plugins, FontIsRegisteredWhileTheLibraryIsLoaded) {
  // Wine also lists the build machine's own fonts (which include the display
  // font's family), so the family's absence before and after cannot be seen
  // here: the file is what shows the installation's lifetime.
  const std::set<std::string> before = TempFontFiles();
  Library lib(kTwirlix);
  ASSERT_NE(lib.get(), nullptr);
  std::set<std::string> during = TempFontFiles();
  std::vector<std::string> added;
  std::set_difference(during.begin(), during.end(), before.begin(), before.end(), std::back_inserter(added));
  ASSERT_EQ(added.size(), 1u) << "one new FON*.tmp file in the temporary folder";
  EXPECT_EQ(std::filesystem::file_size(added[0]), std::filesystem::file_size(NIMBREL_DISPLAY_FONT_TTF));
  EXPECT_TRUE(FamilyIsInstalled(kDisplayFontFamily));
  // A second load of the same library in the process installs nothing more.
  {
    Library again(kTwirlix);
    EXPECT_EQ(TempFontFiles().size(), during.size());
  }
  EXPECT_TRUE(FamilyIsInstalled(kDisplayFontFamily)) << "still registered while the library stays loaded";
  lib.Free();
  EXPECT_FALSE(std::filesystem::exists(added[0])) << added[0];
  EXPECT_EQ(TempFontFiles(), before);
}

// --- Editors in a host window -----------------------------------------------------

struct EditorCase {
  const std::string *plugin;
  int width, height;
};

void PrintTo(const EditorCase &c, std::ostream *os) { *os << std::filesystem::path(*c.plugin).filename().string(); }

// With NIMBREL_SCREENSHOT_DIR set, the window's pixels are kept there as a
// PPM picture for people to look at.
void KeepScreenshot(const std::string &plugin, const std::vector<std::uint32_t> &pixels, int w, int h) {
  const char *dir = std::getenv("NIMBREL_SCREENSHOT_DIR");
  if (!dir || !*dir) return;
  std::ofstream out(std::string(dir) + "/" + std::filesystem::path(plugin).stem().string() + "-win32-editor.ppm",
                    std::ios::binary);
  out << "P6\n" << w << ' ' << h << "\n255\n";
  for (std::uint32_t p : pixels) {
    const char rgb[3] = {static_cast<char>((p >> 16) & 0xFF), static_cast<char>((p >> 8) & 0xFF),
                         static_cast<char>(p & 0xFF)};
    out.write(rgb, 3);
  }
}

class Win32Editor : public ::testing::TestWithParam<EditorCase> {};

TEST_P(Win32Editor, OpensAsChildPaintsLikeTheHeadlessRenderAndGoesAway) {
  const EditorCase &c = GetParam();
  HostWindow parent;
  if (!parent.get()) GTEST_SKIP() << "no window station (run under a display)";
  auto plugin = host::Plugin::Load(*c.plugin);
  plugin->Open();
  plugin->Resume();
  ASSERT_TRUE(plugin->OpenEditor(parent.get()));
  HWND child = ::FindWindowExA(parent.get(), nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  char className[128] = {};
  ::GetClassNameA(child, className, sizeof className);
  EXPECT_EQ(std::string(className).rfind("NimbrelEditor", 0), 0u) << className;
  RECT client{};
  ::GetClientRect(child, &client);
  EXPECT_EQ(client.right, c.width);
  EXPECT_EQ(client.bottom, c.height);
  const HINSTANCE owner = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(child, GWLP_HINSTANCE));
  EXPECT_EQ(owner, ::GetModuleHandleA(std::filesystem::path(*c.plugin).filename().string().c_str()))
      << "the class belongs to the plug-in DLL";

  for (int i = 0; i < 5; ++i) {
    plugin->EditorIdle();
    PumpFor(parent.get(), 30);
  }
  const std::vector<std::uint32_t> shown = CaptureClient(child, c.width, c.height);
  KeepScreenshot(*c.plugin, shown, c.width, c.height);
  plugin->CloseEditor();
  EXPECT_FALSE(::IsWindow(child));
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  EXPECT_FALSE(::GetClassInfoExA(owner, className, &wc)) << "class still registered after the last editor";

  // The same state through the headless backend.
  ASSERT_TRUE(plugin->SelectHeadless());
  ASSERT_TRUE(plugin->OpenEditor(nullptr));
  plugin->EditorIdle();
  const std::optional<host::EditorImage> headless = plugin->RenderEditor();
  ASSERT_TRUE(headless);
  ASSERT_EQ(headless->pixels.size(), shown.size());
  int differ = 0;
  for (std::size_t i = 0; i < shown.size(); ++i) differ += (shown[i] & 0xFFFFFF) != (headless->pixels[i] & 0xFFFFFF);
  EXPECT_EQ(differ, 0) << "pixels that differ from the headless render";
  plugin->CloseEditor();
  plugin->Close();
}

INSTANTIATE_TEST_SUITE_P(BothPlugins, Win32Editor,
                         ::testing::Values(EditorCase{&kTwirlix, 454, 237}, EditorCase{&kQuorlin, 454, 187}),
                         [](const auto &info) { return info.index == 0 ? std::string("Twirlix") : std::string("Quorlin"); });

TEST(Win32Editor, PressesReachTheFormThroughTheWindow) {
  HostWindow parent;
  if (!parent.get()) GTEST_SKIP() << "no window station (run under a display)";
  auto plugin = host::Plugin::Load(kTwirlix);
  plugin->Open();
  ASSERT_TRUE(plugin->OpenEditor(parent.get()));
  HWND child = ::FindWindowExA(parent.get(), nullptr, nullptr, nullptr);
  ASSERT_NE(child, nullptr);
  const std::string before = plugin->ParameterDisplay(1);
  // A left press and release on the type label (its caption starts at 60, 19).
  const LPARAM at = MAKELPARAM(64, 24);
  ::SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, at);
  EXPECT_EQ(::GetCapture(), child) << "the press captures the mouse";
  ::SendMessageA(child, WM_LBUTTONUP, 0, at);
  EXPECT_NE(::GetCapture(), child) << "the release gives it back";
  PumpFor(parent.get(), 50);
  plugin->EditorIdle();
  EXPECT_NE(plugin->ParameterDisplay(1), before) << "the press stepped the process type";
  plugin->CloseEditor();
  plugin->Close();
}

} // namespace
