// The X11 backend under a private Xvfb server: a child window inside a parent
// made here, attached through the editor-window adapter; synthetic pointer
// events (XTest) arrive as presses on controls with capture; a screenshot of
// the window (ImageMagick's import) shows the headless render's pixels; timers
// run off idle calls; failures to attach are clean.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <cstdlib>
#include <thread>

#include "gui/FormEditorWindow.h"
#include "gui/Image32.h"
#include "gui/Label.h"
#include "gui/Timer.h"
#include "tests/support/X11EditorTest.h"
#include "vst2/HeadlessEditor.h"

using namespace gui;
using namespace std::chrono_literals;

namespace {

// A form with a picture of distinct pixels, a label and a press target.
struct ProbeForm : TForm {
  TImage32 picture{this};
  TLabel label{this};
  TImage32 target{this};
  std::vector<std::string> events;
  ProbeForm() {
    SetClientSize(160, 100);
    SetColor(0xFF203040);
    picture.SetBounds(0, 0, 160, 60);
    TBitmap32 pic(160, 60);
    for (int y = 0; y < 60; ++y)
      for (int x = 0; x < 160; ++x) pic.SetPixel(x, y, Color32(x, y * 4, (x * y) & 255));
    picture.SetBitmap(pic);
    label.SetBounds(5, 65, 0, 0);
    label.SetTransparent(true);
    TFont f;
    f.Height = 12;
    f.Color = 0xFFFFFFFF;
    label.SetFont(f);
    label.SetCaption("Probe 123");
    target.SetBounds(100, 70, 40, 20);
    target.SetBitmap(TBitmap32(40, 20, 0xFFFF8000));
    target.OnMouseDown = [this](TControl &, TMouseButton b, TShiftState, int x, int y) {
      events.push_back("down " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                       std::to_string(y));
    };
    target.OnMouseUp = [this](TControl &, TMouseButton, TShiftState, int x, int y) {
      events.push_back("up " + std::to_string(x) + "," + std::to_string(y));
    };
    target.OnClick = [this](TControl &) { events.push_back("click"); };
  }
};

class X11Editor : public x11test::X11EditorTest {
protected:
  X11Editor() : X11EditorTest(200, 120) {}
};

} // namespace

TEST_F(X11Editor, ScreenshotShowsTheHeadlessRender) {
  auto owned = std::make_unique<ProbeForm>();
  TFormEditorWindow window(std::move(owned));
  ASSERT_TRUE(window.AttachToParent(ParentHandle(), false));
  ASSERT_EQ(Children().size(), 1u);
  IdleFor(window, 100ms); // mapped and painted
  const TBitmap32 screen = Screenshot(Children()[0]);

  TFormEditorWindow headless(std::make_unique<ProbeForm>());
  ASSERT_TRUE(headless.AttachToParent(nullptr, true));
  std::vector<std::uint32_t> pixels(160 * 100);
  vst2::HeadlessImage image{pixels.data(), 160, 100};
  ASSERT_EQ(headless.HeadlessRequest(vst2::kHeadlessRender, 0, &image), 1);
  ASSERT_EQ(screen.Width(), 160);
  ASSERT_EQ(screen.Height(), 100);
  EXPECT_EQ(x11test::CountRgbDifferences(x11test::PixelsOf(screen), pixels), 0);
}

TEST_F(X11Editor, ClickArrivesAsPressOnTheControlWithCapture) {
  auto owned = std::make_unique<ProbeForm>();
  ProbeForm &form = *owned;
  TFormEditorWindow window(std::move(owned));
  ASSERT_TRUE(window.AttachToParent(ParentHandle(), false));
  IdleFor(window, 50ms); // let the window map
  Click(110, 75);
  ASSERT_TRUE(IdleUntil(window, [&] { return form.events.size() >= 3; }));
  EXPECT_EQ(form.events, (std::vector<std::string>{"down 0 10,5", "up 10,5", "click"}));
  // Press on the target, leave the window while holding, release far away.
  form.events.clear();
  MovePointer(105, 72);
  PressButton(1, true);
  MovePointer(400, 300);
  PressButton(1, false);
  ASSERT_TRUE(IdleUntil(window, [&] { return form.events.size() >= 2; }));
  EXPECT_EQ(form.events, (std::vector<std::string>{"down 0 5,2", "up 300,230"}));
}

TEST_F(X11Editor, TimersRunOffIdleCallsWithoutBursting) {
  auto owned = std::make_unique<ProbeForm>();
  ProbeForm &form = *owned;
  TTimer timer(&form);
  timer.SetInterval(50);
  int ticks = 0;
  timer.OnTimer = [&](TTimer &) { ++ticks; };
  {
    TFormEditorWindow window(std::move(owned));
    ASSERT_TRUE(window.AttachToParent(ParentHandle(), false));
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < 330ms) {
      window.Idle();
      std::this_thread::sleep_for(2ms);
    }
    EXPECT_GE(ticks, 4); // about 6 at 50 ms
    EXPECT_LE(ticks, 7);
    const int before = ticks;
    std::this_thread::sleep_for(400ms); // a long gap: one tick, not eight
    window.Idle();
    EXPECT_EQ(ticks, before + 1);
    window.Idle();
    EXPECT_EQ(ticks, before + 1);
    timer.SetHost(nullptr); // the form goes with the window
  }
  // Closing destroyed the child window.
  EXPECT_TRUE(Children().empty());
}

TEST_F(X11Editor, AttachFailsCleanly) {
  TFormEditorWindow window(std::make_unique<ProbeForm>());
  EXPECT_FALSE(window.AttachToParent(reinterpret_cast<void *>(std::uintptr_t{0x7ffffff0}), false)); // not a window
  EXPECT_FALSE(window.AttachToParent(nullptr, false));
  EXPECT_EQ(window.Backend(), nullptr);
  {
    const std::string saved = DisplayName();
    setenv("DISPLAY", ":999", 1); // no server there
    EXPECT_FALSE(window.AttachToParent(ParentHandle(), false));
    setenv("DISPLAY", saved.c_str(), 1);
  }
  EXPECT_TRUE(Children().empty());
  // The host destroys its window before closing the editor: nothing may crash.
  ASSERT_TRUE(window.AttachToParent(ParentHandle(), false));
  XDestroyWindow(dpy, parent);
  XSync(dpy, False);
  parent = 0;
  for (int i = 0; i < 5; ++i) {
    window.RequestRepaint();
    window.Idle();
  }
}
