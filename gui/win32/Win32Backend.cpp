#include "gui/win32/Win32Backend.h"

#include <windows.h>
#include <windowsx.h>

#include <chrono>
#include <cstdio>
#include <mutex>

#include "core/FpuGuard.h"
#include "gui/Form.h"

namespace gui {
namespace {

constexpr UINT_PTR kTimerId = 1;

// This DLL's module handle (the class belongs to it, not to the host).
HINSTANCE OwnInstance() {
  HMODULE module = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCSTR>(&OwnInstance), &module);
  return module;
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The window class, reference counted by the windows that use it.
class TWindowClass {
public:
  static TWindowClass &Instance() {
    static TWindowClass instance;
    return instance;
  }
  // Registers on first use; false when the class cannot be registered.
  bool Acquire() {
    std::lock_guard lock(mutex_);
    if (users_ == 0) {
      std::snprintf(name_, sizeof name_, "NimbrelEditor%p", static_cast<void *>(OwnInstance()));
      WNDCLASSEXA wc{};
      wc.cbSize = sizeof wc;
      wc.style = 0; // no CS_DBLCLKS: double clicks are the form's to recognise
      wc.lpfnWndProc = &WindowProc;
      wc.hInstance = OwnInstance();
      wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
      wc.hbrBackground = nullptr; // everything is painted from the form's buffer
      wc.lpszClassName = name_;
      if (::RegisterClassExA(&wc) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
        name_[0] = '\0';
        return false;
      }
    }
    ++users_;
    return true;
  }
  void Release() {
    std::lock_guard lock(mutex_);
    if (users_ > 0 && --users_ == 0) {
      ::UnregisterClassA(name_, OwnInstance());
      name_[0] = '\0';
    }
  }
  const char *Name() const { return name_; }
  ~TWindowClass() {
    if (users_ > 0) ::UnregisterClassA(name_, OwnInstance()); // a window leaked past unload: take the class anyway
  }

private:
  std::mutex mutex_;
  int users_ = 0;
  char name_[64] = {};
};

TShiftState ShiftOf(WPARAM wParam) {
  TShiftState s = 0;
  if (wParam & MK_SHIFT) s |= ssShift;
  if (wParam & MK_CONTROL) s |= ssCtrl;
  if (::GetKeyState(VK_MENU) < 0) s |= ssAlt;
  return s;
}

bool AnyButtonHeld(WPARAM wParam) { return (wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON)) != 0; }

} // namespace

struct TWin32Backend::Impl {
  explicit Impl(TForm &f) : form(f) {}
  TForm &form;
  HWND window = nullptr;
  bool classHeld = false;
  bool tracking = false; // WM_MOUSELEAVE requested

  void Blit(HDC dc, const TBitmap32 &frame, const TRect &area) {
    const TRect r = Intersect(area, frame.BoundsRect());
    if (r.IsEmpty() || frame.Empty()) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = frame.Width();
    info.bmiHeader.biHeight = -frame.Height(); // top-down, as the buffer
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32; // bytes B, G, R, x: the buffer's 0xAARRGGBB in memory
    info.bmiHeader.biCompression = BI_RGB;
    // The whole image is handed over; the source origin of a top-down DIB is
    // its upper-left corner, so (Left, Top) picks the area.
    ::SetDIBitsToDevice(dc, r.Left, r.Top, static_cast<DWORD>(r.Width()), static_cast<DWORD>(r.Height()), r.Left,
                        r.Top, 0, static_cast<UINT>(frame.Height()), frame.Bits(), &info, DIB_RGB_COLORS);
  }

  void Show(const TBitmap32 &frame, const TRect &area) {
    if (!window) return;
    if (HDC dc = ::GetDC(window)) {
      Blit(dc, frame, area);
      ::ReleaseDC(window, dc);
    }
  }

  // After input or a timer: paint what became due and show it at once.
  void Update() {
    const TRect dirty = form.Render();
    if (!dirty.IsEmpty()) Show(form.Buffer(), dirty);
  }

  void Destroyed() {
    window = nullptr;
    tracking = false;
  }

  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam), y = GET_Y_LPARAM(lParam);
    switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(window, &ps);
      form.Render();
      if (dc) Blit(dc, form.Buffer(), {ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom});
      ::EndPaint(window, &ps);
      return 0;
    }
    case WM_ERASEBKGND: return 1; // the paint covers every pixel
    case WM_TIMER:
      if (wParam == kTimerId) {
        form.RunPosted();
        form.ServeTimers();
        Update();
      }
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      ::SetCapture(window);
      const TMouseButton b = message == WM_LBUTTONDOWN   ? TMouseButton::mbLeft
                             : message == WM_RBUTTONDOWN ? TMouseButton::mbRight
                                                         : TMouseButton::mbMiddle;
      form.HandleMouseDown(b, ShiftOf(wParam), x, y);
      Update();
      return 0;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const TMouseButton b = message == WM_LBUTTONUP   ? TMouseButton::mbLeft
                             : message == WM_RBUTTONUP ? TMouseButton::mbRight
                                                       : TMouseButton::mbMiddle;
      form.HandleMouseUp(b, ShiftOf(wParam), x, y);
      if (!AnyButtonHeld(wParam) && ::GetCapture() == window) ::ReleaseCapture();
      Update();
      return 0;
    }
    case WM_MOUSEMOVE:
      if (!tracking) {
        TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, window, 0};
        tracking = ::TrackMouseEvent(&track) != 0;
      }
      form.HandleMouseMove(ShiftOf(wParam), x, y);
      Update();
      return 0;
    case WM_MOUSELEAVE:
      tracking = false;
      if (::GetCapture() != window) form.HandlePointerLeft();
      Update();
      return 0;
    case WM_CAPTURECHANGED: return 0;
    case WM_NCDESTROY:
      ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      Destroyed();
      return 0;
    default: return ::DefWindowProcA(window, message, wParam, lParam);
    }
  }
};

namespace {

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto *create = reinterpret_cast<CREATESTRUCTA *>(lParam);
    auto *impl = static_cast<TWin32Backend::Impl *>(create->lpCreateParams);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl));
    if (impl) impl->window = hwnd;
    return ::DefWindowProcA(hwnd, message, wParam, lParam);
  }
  auto *impl = reinterpret_cast<TWin32Backend::Impl *>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (impl == nullptr) return ::DefWindowProcA(hwnd, message, wParam, lParam);
  // The form's code relies on full x87 precision, whatever the host's thread set.
  const nimbrel::PrecisionGuard precision;
  try {
    return impl->Handle(message, wParam, lParam);
  } catch (...) {
    return 0; // handlers report nothing to the host
  }
}

} // namespace

TWin32Backend::TWin32Backend(TForm &form) : impl_(std::make_unique<Impl>(form)) {}

TWin32Backend::~TWin32Backend() {
  Impl &m = *impl_;
  if (m.window) {
    HWND window = m.window;
    ::KillTimer(window, kTimerId);
    ::SetWindowLongPtrA(window, GWLP_USERDATA, 0); // no message reaches a dying backend
    if (::GetCapture() == window) ::ReleaseCapture();
    ::DestroyWindow(window);
    m.window = nullptr;
  }
  if (m.classHeld) TWindowClass::Instance().Release();
}

const char *TWin32Backend::ClassName() { return TWindowClass::Instance().Name(); }

void *TWin32Backend::WindowHandle() const { return impl_->window; }

bool TWin32Backend::Attach(void *parent) {
  Impl &m = *impl_;
  HWND parentWindow = static_cast<HWND>(parent);
  if (m.window || parentWindow == nullptr || !::IsWindow(parentWindow)) return false;
  if (!m.classHeld) {
    if (!TWindowClass::Instance().Acquire()) return false;
    m.classHeld = true;
  }
  const int w = std::max(1, m.form.Width()), h = std::max(1, m.form.Height());
  HWND window = ::CreateWindowExA(0, TWindowClass::Instance().Name(), m.form.Caption.c_str(),
                                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, w, h, parentWindow, nullptr,
                                  OwnInstance(), &m);
  if (window == nullptr || ::SetTimer(window, kTimerId, kTimerPeriodMs, nullptr) == 0) {
    if (window) {
      ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      ::DestroyWindow(window);
    }
    m.window = nullptr;
    TWindowClass::Instance().Release();
    m.classHeld = false;
    return false;
  }
  m.window = window;
  return true;
}

std::int64_t TWin32Backend::NowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TWin32Backend::PumpEvents() {
  Impl &m = *impl_;
  MSG msg;
  // Only this window's messages: the host's own stay for the host's loop. A
  // bounded number per call, so a flood cannot keep the host's idle call.
  for (int i = 0; i < 256 && m.window && ::PeekMessageA(&msg, m.window, 0, 0, PM_REMOVE); ++i) {
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

void TWin32Backend::Present(const TBitmap32 &frame, const TRect &dirty) {
  Impl &m = *impl_;
  if (!m.window || frame.Empty()) return;
  RECT client{};
  ::GetClientRect(m.window, &client);
  TRect area = dirty;
  if (client.right != frame.Width() || client.bottom != frame.Height()) {
    ::SetWindowPos(m.window, nullptr, 0, 0, frame.Width(), frame.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    area = frame.BoundsRect();
  }
  m.Show(frame, area);
}

std::unique_ptr<TWindowBackend> CreateNativeBackend(TForm &form) { return std::make_unique<TWin32Backend>(form); }

} // namespace gui
