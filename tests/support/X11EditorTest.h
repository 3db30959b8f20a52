#pragma once
// The fixture of the editor tests on a real display: one private Xvfb server
// per test suite, and for every test a connection and a mapped top-level
// window that plays the host's window the editor is opened into. It also
// offers what those tests do with it: the window's children (the editor's
// window), synthetic pointer events through XTest, idle calls until a
// condition holds, and screenshots to compare with a headless render.
//
// Without Xvfb installed the tests skip; an Xvfb that does not come up fails
// them.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "gui/Bitmap32.h"
#include "tests/support/XvfbSession.h"

namespace x11test {

class X11EditorTest : public ::testing::Test {
protected:
  X11EditorTest(int parentWidth, int parentHeight) : parentWidth_(parentWidth), parentHeight_(parentHeight) {}

  static void SetUpTestSuite();
  static void TearDownTestSuite();
  void SetUp() override;
  void TearDown() override;

  static const std::string &DisplayName();

  // The parent window as a host passes it to the open-editor request.
  void *ParentHandle() const { return reinterpret_cast<void *>(static_cast<std::uintptr_t>(parent)); }
  std::vector<Window> Children() const;

  // Synthetic pointer input, as the X server delivers a user's.
  void MovePointer(int x, int y);
  void PressButton(int button, bool down);
  void Click(int x, int y, int button = 1); // move there, press, release

  // One idle call on whatever serves the editor: the host-side plug-in
  // (EditorIdle) or an editor window made in this process (Idle).
  template <class Target> static void IdleOnce(Target &target) {
    if constexpr (requires { target.EditorIdle(); })
      target.EditorIdle();
    else
      target.Idle();
  }
  // Idle calls every 5 ms until `done` holds (true) or two seconds pass (false).
  template <class Target, class Done> static bool IdleUntil(Target &target, Done done) {
    for (int i = 0; i < 400; ++i) {
      IdleOnce(target);
      if (done())
        return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return false;
  }
  // Idle calls every 5 ms for `span` of wall-clock time.
  template <class Target> static void IdleFor(Target &target, std::chrono::milliseconds span) {
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end) {
      IdleOnce(target);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }

  // What the server shows of `window`, after the requests so far are served.
  // A failure is reported to the test and gives an empty bitmap.
  gui::TBitmap32 Screenshot(Window window);

  Display *dpy = nullptr;
  Window parent = 0;

private:
  static std::unique_ptr<XvfbSession> session_;
  int parentWidth_;
  int parentHeight_;
};

// How many pixels differ in their colour (alpha ignored: the server keeps
// none); -1 when the two pictures differ in size.
int CountRgbDifferences(std::span<const std::uint32_t> a, std::span<const std::uint32_t> b);
inline std::span<const std::uint32_t> PixelsOf(const gui::TBitmap32 &bitmap) {
  return {bitmap.Bits(), static_cast<std::size_t>(bitmap.Width()) * static_cast<std::size_t>(bitmap.Height())};
}

} // namespace x11test
