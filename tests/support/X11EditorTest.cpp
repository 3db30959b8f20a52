#include "tests/support/X11EditorTest.h"

#include <X11/extensions/XTest.h>

namespace x11test {

std::unique_ptr<XvfbSession> X11EditorTest::session_;

void X11EditorTest::SetUpTestSuite() {
  session_ = std::make_unique<XvfbSession>();
  if (session_->CurrentState() == XvfbSession::State::kFailed)
    ADD_FAILURE() << session_->Problem();
}

void X11EditorTest::TearDownTestSuite() { session_.reset(); }

const std::string &X11EditorTest::DisplayName() {
  static const std::string none;
  return session_ ? session_->DisplayName() : none;
}

void X11EditorTest::SetUp() {
  ASSERT_NE(session_, nullptr);
  if (session_->CurrentState() == XvfbSession::State::kNotInstalled)
    GTEST_SKIP() << session_->Problem();
  ASSERT_EQ(session_->CurrentState(), XvfbSession::State::kRunning) << session_->Problem();
  dpy = XOpenDisplay(DisplayName().c_str());
  ASSERT_NE(dpy, nullptr);
  parent = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, static_cast<unsigned>(parentWidth_),
                               static_cast<unsigned>(parentHeight_), 0, 0, 0);
  XMapWindow(dpy, parent);
  XSync(dpy, False);
}

void X11EditorTest::TearDown() {
  if (dpy) {
    if (parent)
      XDestroyWindow(dpy, parent);
    XCloseDisplay(dpy);
    dpy = nullptr;
    parent = 0;
  }
}

std::vector<Window> X11EditorTest::Children() const {
  Window root = 0, up = 0, *kids = nullptr;
  unsigned int count = 0;
  std::vector<Window> out;
  if (XQueryTree(dpy, parent, &root, &up, &kids, &count))
    out.assign(kids, kids + count);
  if (kids)
    XFree(kids);
  return out;
}

void X11EditorTest::MovePointer(int x, int y) {
  XTestFakeMotionEvent(dpy, DefaultScreen(dpy), x, y, 0);
  XFlush(dpy);
}

void X11EditorTest::PressButton(int button, bool down) {
  XTestFakeButtonEvent(dpy, static_cast<unsigned>(button), down ? True : False, 0);
  XFlush(dpy);
}

void X11EditorTest::Click(int x, int y, int button) {
  MovePointer(x, y);
  PressButton(button, true);
  PressButton(button, false);
}

gui::TBitmap32 X11EditorTest::Screenshot(Window window) {
  XSync(dpy, False);
  std::string problem;
  gui::TBitmap32 picture = session_->Screenshot(window, problem);
  if (!problem.empty())
    ADD_FAILURE() << problem;
  return picture;
}

int CountRgbDifferences(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b) {
  if (a.size() != b.size())
    return -1;
  int n = 0;
  for (std::size_t i = 0; i < a.size(); ++i)
    n += (a[i] & 0xFFFFFFu) != (b[i] & 0xFFFFFFu);
  return n;
}

} // namespace x11test
