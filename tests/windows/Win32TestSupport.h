#pragma once
// Helpers of the Windows tests: a hidden host window, message pumping, a
// capture of a window's pixels, the temporary font files and the system's
// font families.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace wintest {

inline constexpr const char *kDisplayFontFamily = "Clear Sans";

inline HMODULE LoadPlugin(const std::string &path) {
  std::string native = path;
  for (char &c : native)
    if (c == '/') c = '\\';
  return ::LoadLibraryExA(native.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

// A top-level window such as a host gives the plug-in.
class HostWindow {
public:
  HostWindow() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = "NimbrelTestHost";
    ::RegisterClassA(&wc);
    window_ = ::CreateWindowExA(0, "NimbrelTestHost", "host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 600, 400,
                                nullptr, nullptr, wc.hInstance, nullptr);
    // Shown (without taking the focus), so that its children have pixels on
    // the display to read back.
    if (window_) ::ShowWindow(window_, SW_SHOWNOACTIVATE);
  }
  ~HostWindow() {
    if (window_) ::DestroyWindow(window_);
  }
  HostWindow(const HostWindow &) = delete;
  HostWindow &operator=(const HostWindow &) = delete;
  HWND get() const { return window_; }

private:
  HWND window_ = nullptr;
};

// Serves this thread's messages for about `ms` milliseconds, as a host's loop.
inline void PumpFor(HWND, int ms) {
  const ULONGLONG end = ::GetTickCount64() + static_cast<ULONGLONG>(ms);
  MSG msg;
  while (::GetTickCount64() < end) {
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&msg);
      ::DispatchMessageA(&msg);
    }
    ::Sleep(2);
  }
}

// The window's client pixels as 0x00RRGGBB, row after row, painted by the
// window itself into a memory bitmap (no screen needed).
inline std::vector<std::uint32_t> CaptureClient(HWND window, int width, int height) {
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
  HDC screen = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(screen);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void *bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  ::GdiFlush();
  if (bits) std::memcpy(pixels.data(), bits, pixels.size() * 4);
  ::SelectObject(memory, old);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, screen);
  return pixels;
}

inline std::filesystem::path TempFolder() {
  char buffer[MAX_PATH + 1] = {};
  const DWORD n = ::GetTempPathA(MAX_PATH, buffer);
  return std::filesystem::path(std::string(buffer, n));
}

// The FON*.tmp files in the temporary folder (GetTempFileNameA keeps three
// letters of the "FONT" prefix).
inline std::set<std::string> TempFontFiles() {
  std::set<std::string> files;
  std::error_code ec;
  for (const auto &entry : std::filesystem::directory_iterator(TempFolder(), ec)) {
    const std::string name = entry.path().filename().string();
    if (name.size() > 3 && name.compare(0, 3, "FON") == 0 && entry.path().extension() == ".tmp")
      files.insert(entry.path().string());
  }
  return files;
}

inline int CALLBACK CountFamily(const LOGFONTA *, const TEXTMETRICA *, DWORD, LPARAM found) {
  ++*reinterpret_cast<int *>(found);
  return 1;
}

// Whether the system's font table knows the family.
inline bool FamilyIsInstalled(const std::string &family) {
  HDC dc = ::CreateCompatibleDC(nullptr);
  LOGFONTA wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(wanted.lfFaceName, family.c_str(), LF_FACESIZE);
  int found = 0;
  ::EnumFontFamiliesExA(dc, &wanted, &CountFamily, reinterpret_cast<LPARAM>(&found), 0);
  ::DeleteDC(dc);
  return found > 0;
}

} // namespace wintest
