// The Win32 platform layer, linked into this test program: resource lookup in
// the program's own resource section, temporary files, and the system font
// table with its bounded change notice.
#include <gtest/gtest.h>

#include <windows.h>
#undef FindResource // the macro would rename platform::FindResource

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "platform/Resources.h"
#include "platform/SystemFonts.h"
#include "platform/TempFiles.h"
#include "tests/windows/Win32TestSupport.h"
#undef FindResource

namespace {

std::string Text(const std::optional<std::span<const std::uint8_t>> &bytes) {
  return bytes ? std::string(bytes->begin(), bytes->end()) : std::string("<none>");
}

TEST(Win32Platform, ResourcesByNameByNumberAndRefusals) {
  EXPECT_EQ(Text(platform::FindResource("RCDATA", "GREETING")).substr(0, 5), "hello");
  EXPECT_EQ(Text(platform::FindResource("rcdata", "greeting")).substr(0, 5), "hello") << "without regard to case";
  EXPECT_EQ(Text(platform::FindResource("TTFFONT", 30)).substr(0, 10), "font bytes");
  EXPECT_EQ(Text(platform::FindResource("TTFFONT", "#30")).substr(0, 10), "font bytes");
  for (const auto &[type, name] : {std::pair<std::string, std::string>{"RCDATA", "MISSING"},
                                   {"TTFFONT", "GREETING"},
                                   {"", "GREETING"},
                                   {"RCDATA", ""},
                                   {"RCDATA", std::string(300, 'A')},
                                   {"RCDATA", std::string("GREE\0TING", 9)}})
    EXPECT_FALSE(platform::FindResource(type, name)) << type << " / " << name.size();
  for (int id : {-1, 31, 0x10000, 70000}) EXPECT_FALSE(platform::FindResource("TTFFONT", id)) << id;
}

TEST(Win32Platform, TemporaryFilesAreNewAndOursToWriteAndDelete) {
  std::error_code ec;
  const std::filesystem::path a = platform::CreateTempFile("FONT", ec);
  ASSERT_FALSE(ec) << ec.message();
  const std::filesystem::path b = platform::CreateTempFile("FONT", ec);
  ASSERT_FALSE(ec) << ec.message();
  EXPECT_NE(a, b);
  EXPECT_EQ(a.filename().string().rfind("FON", 0), 0u) << a;
  EXPECT_EQ((a.parent_path() / "").string(), wintest::TempFolder().string());
  EXPECT_TRUE(platform::FileExists(a));
  EXPECT_EQ(std::filesystem::file_size(a), 0u);

  const std::uint8_t first[] = {1, 2, 3, 4, 5, 6};
  const std::uint8_t second[] = {9, 8};
  ASSERT_TRUE(platform::WriteFileBytes(a, first, ec)) << ec.message();
  ASSERT_TRUE(platform::WriteFileBytes(a, second, ec)) << ec.message();
  EXPECT_EQ(std::filesystem::file_size(a), 2u) << "a rewrite empties the file first";
  EXPECT_TRUE(platform::RemoveFile(a));
  EXPECT_FALSE(platform::FileExists(a));
  EXPECT_FALSE(platform::RemoveFile(a));
  EXPECT_TRUE(platform::RemoveFile(b));

  for (const char *bad : {"", "a/b", "a\\b", "x y", "0123456789012345678901234567890123"}) {
    EXPECT_TRUE(platform::CreateTempFile(bad, ec).empty()) << bad;
    EXPECT_EQ(ec, std::make_error_code(std::errc::invalid_argument)) << bad;
  }
  EXPECT_TRUE(platform::CreateTempFile(std::filesystem::path("Z:\\no\\such\\folder"), "FONT", ec).empty());
  EXPECT_TRUE(ec);
}

TEST(Win32Platform, SystemFontTableTakesAndGivesBackAFontFile) {
  std::error_code ec;
  const std::filesystem::path copy = platform::CreateTempFile("TST", ec);
  ASSERT_FALSE(ec);
  std::filesystem::copy_file(NIMBREL_DISPLAY_FONT_TTF, copy, std::filesystem::copy_options::overwrite_existing);
  EXPECT_TRUE(platform::AddSystemFont(copy.string()));
  EXPECT_TRUE(wintest::FamilyIsInstalled(wintest::kDisplayFontFamily));
  // Wine keeps the build machine's own copy of the family and does not take a
  // second face of it from our file, so the first removal's answer is wine's
  // to give; a second one has nothing left to remove anywhere.
  platform::RemoveSystemFont(copy.string());
  EXPECT_FALSE(platform::RemoveSystemFont(copy.string())) << "removed once only";
  EXPECT_FALSE(platform::AddSystemFont(""));
  // A file that is no font is not added.
  const std::uint8_t junk[] = {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'n', 't'};
  ASSERT_TRUE(platform::WriteFileBytes(copy, junk, ec));
  EXPECT_FALSE(platform::AddSystemFont(copy.string()));
  platform::RemoveFile(copy);
}

// Takes three seconds over WM_FONTCHANGE; the flags (busy, done) are in the
// window's user data.
LRESULT CALLBACK SlowWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_FONTCHANGE) {
    auto *flags = reinterpret_cast<std::atomic<bool> **>(::GetWindowLongPtrA(h, GWLP_USERDATA));
    if (flags) {
      flags[0]->store(true);
      ::Sleep(3000);
      flags[1]->store(true);
    }
    return 0;
  }
  return ::DefWindowProcA(h, m, w, l);
}

// A program whose window does not answer must not hold up the notice: a
// top-level window of another thread takes seconds over WM_FONTCHANGE, and the
// notice returns while it is still busy.
TEST(Win32Platform, FontChangeNoticeDoesNotWaitForASlowWindow) {
  std::atomic<bool> ready{false}, busy{false}, done{false};
  std::atomic<HWND> window{nullptr};
  std::thread slow([&] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &SlowWindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "NimbrelSlowWindow";
    ::RegisterClassA(&wc);
    HWND h = ::CreateWindowExA(0, "NimbrelSlowWindow", "slow", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                               wc.hInstance, nullptr);
    static std::atomic<bool> *flags[2];
    flags[0] = &busy;
    flags[1] = &done;
    ::SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(flags));
    window = h;
    ready = true;
    if (!h) return;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0) ::DispatchMessageA(&msg);
    ::DestroyWindow(h);
  });
  while (!ready) ::Sleep(1);
  if (window.load() == nullptr) {
    slow.join(); // no window: the thread has left its loop already
    GTEST_SKIP() << "no window station (run under a display)";
  }
  platform::NotifyFontChange();
  EXPECT_FALSE(done.load()) << "the notice waited for the slow window to finish";
  for (int i = 0; i < 1000 && !done; ++i) ::Sleep(10);
  EXPECT_TRUE(busy.load() && done.load()) << "the slow window did get the notice";
  ::PostMessageA(window.load(), WM_QUIT, 0, 0);
  slow.join();
}

} // namespace
