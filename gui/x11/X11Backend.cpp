#include "gui/x11/X11Backend.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <chrono>
#include <mutex>
#include <vector>

#include "gui/Form.h"

namespace gui {
namespace {

// Collects the X errors of one display while a trap is open; errors of other
// connections go to the handler that was installed before.
std::mutex gTrapMutex;
Display *gTrapDisplay = nullptr;
int gTrapErrors = 0;
XErrorHandler gPreviousHandler = nullptr;

int TrapHandler(Display *display, XErrorEvent *event) {
  if (display == gTrapDisplay) {
    ++gTrapErrors;
    return 0;
  }
  return gPreviousHandler ? gPreviousHandler(display, event) : 0;
}

class ErrorTrap {
public:
  explicit ErrorTrap(Display *d) : lock_(gTrapMutex), display_(d) {
    XSync(display_, False);
    gTrapDisplay = display_;
    gTrapErrors = 0;
    gPreviousHandler = XSetErrorHandler(TrapHandler);
  }
  ~ErrorTrap() {
    XSync(display_, False);
    XSetErrorHandler(gPreviousHandler);
    gTrapDisplay = nullptr;
  }
  bool Failed() {
    XSync(display_, False);
    return gTrapErrors > 0;
  }

private:
  std::lock_guard<std::mutex> lock_;
  Display *display_;
};

int LowBit(unsigned long mask) {
  int shift = 0;
  while (shift < 32 && !(mask & (1ul << shift))) ++shift;
  return shift;
}

TShiftState ShiftOf(unsigned int state) {
  TShiftState s = 0;
  if (state & ShiftMask) s |= ssShift;
  if (state & ControlMask) s |= ssCtrl;
  if (state & Mod1Mask) s |= ssAlt;
  return s;
}

bool ButtonOf(unsigned int x11Button, TMouseButton &out) {
  switch (x11Button) {
  case Button1: out = TMouseButton::mbLeft; return true;
  case Button2: out = TMouseButton::mbMiddle; return true;
  case Button3: out = TMouseButton::mbRight; return true;
  default: return false; // wheel and extra buttons: not used by the editors
  }
}

} // namespace

struct TX11Backend::Impl {
  explicit Impl(TForm &f) : form(f) {}
  TForm &form;
  Display *display = nullptr;
  Window window = 0;
  GC gc = nullptr;
  Visual *visual = nullptr;
  int depth = 0;
  int redShift = 16, greenShift = 8, blueShift = 0;
  bool windowGone = false;
  XImage *image = nullptr;
  std::vector<std::uint32_t> pixels;

  void FreeImage() {
    if (image) {
      image->data = nullptr; // the pixels are ours
      XDestroyImage(image);
      image = nullptr;
    }
  }

  bool MakeImage(int w, int h) {
    FreeImage();
    if (w <= 0 || h <= 0) return true;
    pixels.assign(static_cast<std::size_t>(w) * h, 0);
    image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0,
                         reinterpret_cast<char *>(pixels.data()), static_cast<unsigned>(w), static_cast<unsigned>(h),
                         32, w * 4);
    if (!image) return false;
    if (image->bits_per_pixel != 32) {
      FreeImage();
      return false;
    }
    // Our pixels are in host order; Xlib swaps when the server differs.
    const std::uint32_t probe = 1;
    image->byte_order = *reinterpret_cast<const unsigned char *>(&probe) ? LSBFirst : MSBFirst;
    XInitImage(image);
    return true;
  }

  void Close() {
    FreeImage();
    if (display) {
      {
        ErrorTrap trap(display);
        if (window && !windowGone) XDestroyWindow(display, window);
        if (gc) XFreeGC(display, gc);
      }
      XCloseDisplay(display);
    }
    display = nullptr;
    window = 0;
    gc = nullptr;
  }
};

TX11Backend::TX11Backend(TForm &form) : impl_(std::make_unique<Impl>(form)) {}
TX11Backend::~TX11Backend() { impl_->Close(); }

unsigned long TX11Backend::WindowId() const { return impl_->window; }

bool TX11Backend::Attach(void *parent) {
  Impl &m = *impl_;
  m.Close();
  m.windowGone = false;
  const Window parentWindow = static_cast<Window>(reinterpret_cast<std::uintptr_t>(parent));
  if (!parentWindow) return false;
  m.display = XOpenDisplay(nullptr);
  if (!m.display) return false;
  bool ok = false;
  {
    ErrorTrap trap(m.display);
    XWindowAttributes pa{};
    if (XGetWindowAttributes(m.display, parentWindow, &pa) && !trap.Failed() && pa.visual &&
        pa.visual->c_class == TrueColor && (pa.depth == 24 || pa.depth == 32) && pa.visual->red_mask >> LowBit(pa.visual->red_mask) == 0xFF &&
        pa.visual->green_mask >> LowBit(pa.visual->green_mask) == 0xFF &&
        pa.visual->blue_mask >> LowBit(pa.visual->blue_mask) == 0xFF) {
      m.visual = pa.visual;
      m.depth = pa.depth;
      m.redShift = LowBit(pa.visual->red_mask);
      m.greenShift = LowBit(pa.visual->green_mask);
      m.blueShift = LowBit(pa.visual->blue_mask);
      XSetWindowAttributes attrs{};
      attrs.event_mask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask | EnterWindowMask |
                         LeaveWindowMask | StructureNotifyMask;
      attrs.background_pixmap = None;
      attrs.border_pixel = 0;
      const int w = std::max(1, m.form.Width()), h = std::max(1, m.form.Height());
      m.window = XCreateWindow(m.display, parentWindow, 0, 0, static_cast<unsigned>(w), static_cast<unsigned>(h), 0,
                               CopyFromParent, InputOutput, CopyFromParent, CWEventMask | CWBackPixmap | CWBorderPixel,
                               &attrs);
      if (m.window && !trap.Failed()) {
        m.gc = XCreateGC(m.display, m.window, 0, nullptr);
        XStoreName(m.display, m.window, m.form.Caption.c_str());
        XMapWindow(m.display, m.window);
        ok = m.gc && !trap.Failed() && m.MakeImage(m.form.Width(), m.form.Height());
      }
    }
  }
  if (!ok) {
    m.Close();
    return false;
  }
  XFlush(m.display);
  return true;
}

std::int64_t TX11Backend::NowMs() const {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TX11Backend::PumpEvents() {
  Impl &m = *impl_;
  if (!m.display) return;
  while (m.display && XPending(m.display) > 0) {
    XEvent ev;
    XNextEvent(m.display, &ev);
    if (ev.xany.window != m.window) continue;
    TMouseButton button;
    switch (ev.type) {
    case ButtonPress:
      if (ButtonOf(ev.xbutton.button, button))
        m.form.HandleMouseDown(button, ShiftOf(ev.xbutton.state), ev.xbutton.x, ev.xbutton.y);
      break;
    case ButtonRelease:
      if (ButtonOf(ev.xbutton.button, button))
        m.form.HandleMouseUp(button, ShiftOf(ev.xbutton.state), ev.xbutton.x, ev.xbutton.y);
      break;
    case MotionNotify:
      while (XCheckTypedWindowEvent(m.display, m.window, MotionNotify, &ev)) {
      } // only the latest position matters
      m.form.HandleMouseMove(ShiftOf(ev.xmotion.state), ev.xmotion.x, ev.xmotion.y);
      break;
    case EnterNotify: m.form.HandleMouseMove(ShiftOf(ev.xcrossing.state), ev.xcrossing.x, ev.xcrossing.y); break;
    case LeaveNotify: m.form.HandlePointerLeft(); break;
    case Expose:
      m.form.InvalidateRect({ev.xexpose.x, ev.xexpose.y, ev.xexpose.x + ev.xexpose.width,
                             ev.xexpose.y + ev.xexpose.height});
      break;
    case DestroyNotify: m.windowGone = true; break;
    default: break;
    }
  }
}

void TX11Backend::Present(const TBitmap32 &frame, const TRect &dirty) {
  Impl &m = *impl_;
  if (!m.display || m.windowGone || frame.Empty()) return;
  ErrorTrap trap(m.display);
  TRect area = Intersect(dirty, frame.BoundsRect());
  if (!m.image || m.image->width != frame.Width() || m.image->height != frame.Height()) {
    XResizeWindow(m.display, m.window, static_cast<unsigned>(frame.Width()), static_cast<unsigned>(frame.Height()));
    if (!m.MakeImage(frame.Width(), frame.Height())) return;
    area = frame.BoundsRect();
  }
  if (area.IsEmpty()) return;
  const bool alphaByte = m.depth == 32;
  for (int y = area.Top; y < area.Bottom; ++y) {
    const TColor32 *src = frame.ScanLine(y);
    std::uint32_t *dst = m.pixels.data() + static_cast<std::size_t>(y) * frame.Width();
    for (int x = area.Left; x < area.Right; ++x) {
      const TColor32 c = src[x];
      std::uint32_t p = (RedOf(c) << m.redShift) | (GreenOf(c) << m.greenShift) | (BlueOf(c) << m.blueShift);
      if (alphaByte) p |= 0xFFu << 24; // the window is opaque
      dst[x] = p;
    }
  }
  XPutImage(m.display, m.window, m.gc, m.image, area.Left, area.Top, area.Left, area.Top,
            static_cast<unsigned>(area.Width()), static_cast<unsigned>(area.Height()));
  if (trap.Failed()) m.windowGone = true;
}

std::unique_ptr<TWindowBackend> CreateNativeBackend(TForm &form) { return std::make_unique<TX11Backend>(form); }

} // namespace gui
