// The editor-window adapter as the module framework drives it: attach, idle,
// and the headless protocol requests, including hostile arguments.
#include <gtest/gtest.h>

#include "gui/FormEditorWindow.h"
#include "gui/Image32.h"
#include "gui/Timer.h"
#include "vst2/HeadlessEditor.h"

using namespace gui;

namespace {

struct TestForm : TForm {
  TImage32 picture{this};
  TTimer timer{this};
  int clicks = 0, ticks = 0, presses = 0;
  TestForm() {
    SetClientSize(6, 4);
    SetColor(0xFF204060);
    picture.SetBounds(2, 1, 2, 2);
    picture.SetBitmap(TBitmap32(2, 2, 0xFFFFFFFF));
    picture.OnClick = [this](TControl &) { ++clicks; };
    picture.OnMouseDown = [this](TControl &, TMouseButton, TShiftState, int, int) {
      ++presses;
      if (presses == 3) throw std::runtime_error("handler failure");
    };
    timer.SetInterval(40);
    timer.OnTimer = [this](TTimer &) { ++ticks; };
  }
};

struct Adapter : ::testing::Test {
  std::unique_ptr<vst2::IEditorWindow> window;
  TestForm *form = nullptr;
  void SetUp() override {
    auto f = std::make_unique<TestForm>();
    form = f.get();
    window = std::make_unique<TFormEditorWindow>(std::move(f));
    ASSERT_TRUE(window->AttachToParent(nullptr, true));
  }
  std::intptr_t Mouse(std::int32_t kind, std::int32_t button, int x, int y) {
    vst2::HeadlessMouse m{kind, button, x, y};
    return window->HeadlessRequest(vst2::kHeadlessMouse, 0, &m);
  }
};

} // namespace

TEST_F(Adapter, RendersTheFormIntoTheCallersBuffer) {
  EXPECT_EQ(window->ClientWidth(), 6);
  EXPECT_EQ(window->ClientHeight(), 4);
  std::vector<std::uint32_t> pixels(24, 0);
  vst2::HeadlessImage small{pixels.data(), 2, 2};
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessRender, 0, &small), 0);
  EXPECT_EQ(small.width, 6); // the caller learns the size it needs
  EXPECT_EQ(small.height, 4);
  vst2::HeadlessImage image{pixels.data(), 6, 4};
  ASSERT_EQ(window->HeadlessRequest(vst2::kHeadlessRender, 0, &image), 1);
  EXPECT_EQ(pixels[0], 0xFF204060u);
  EXPECT_EQ(pixels[1 * 6 + 2], 0xFFFFFFFFu);
  EXPECT_EQ(pixels[2 * 6 + 3], 0xFFFFFFFFu);
  EXPECT_EQ(pixels[3 * 6 + 3], 0xFF204060u);
  vst2::HeadlessImage noPixels{nullptr, 6, 4};
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessRender, 0, &noPixels), 0);
  vst2::HeadlessImage negative{pixels.data(), -6, -4};
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessRender, 0, &negative), 0);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessRender, 0, nullptr), 0);
}

TEST_F(Adapter, MouseAndClockRequestsReachTheForm) {
  EXPECT_EQ(Mouse(vst2::kMouseDown, vst2::kButtonLeft, 2, 1), 1);
  EXPECT_EQ(Mouse(vst2::kMouseUp, vst2::kButtonLeft, 3, 2), 1);
  EXPECT_EQ(form->clicks, 1);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessAdvance, 39, nullptr), 1);
  EXPECT_EQ(form->ticks, 0);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessAdvance, 1, nullptr), 1);
  EXPECT_EQ(form->ticks, 1);
  window->Idle(); // idle on the virtual clock fires nothing more
  EXPECT_EQ(form->ticks, 1);
  // Work posted from elsewhere runs at the next tick.
  form->Post([this] { form->picture.SetBitmap(TBitmap32(2, 2, 0xFF000000)); });
  window->Idle();
  std::vector<std::uint32_t> pixels(24);
  vst2::HeadlessImage image{pixels.data(), 6, 4};
  ASSERT_EQ(window->HeadlessRequest(vst2::kHeadlessRender, 0, &image), 1);
  EXPECT_EQ(pixels[1 * 6 + 2], 0xFF000000u);
}

TEST_F(Adapter, HostileRequestsAreRefusedAndHandlerErrorsStayInside) {
  EXPECT_EQ(Mouse(99, vst2::kButtonLeft, 1, 1), 0);
  EXPECT_EQ(Mouse(vst2::kMouseDown, 42, 1, 1), 0);
  EXPECT_EQ(Mouse(vst2::kMouseDown, vst2::kButtonNone, 1, 1), 0);
  EXPECT_EQ(Mouse(vst2::kMouseMove, vst2::kButtonNone, 1 << 30, -(1 << 30)), 1);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessMouse, 0, nullptr), 0);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessAdvance, -5, nullptr), 0);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessAdvance, INTPTR_MAX, nullptr), 1);
  EXPECT_EQ(window->HeadlessRequest(vst2::kHeadlessAdvance, INTPTR_MAX, nullptr), 1); // the clock saturates
  EXPECT_EQ(window->HeadlessRequest(12345, 0, nullptr), 0);
  Mouse(vst2::kMouseDown, vst2::kButtonLeft, 2, 1);
  Mouse(vst2::kMouseUp, vst2::kButtonLeft, 2, 1);
  Mouse(vst2::kMouseDown, vst2::kButtonRight, 2, 1);
  Mouse(vst2::kMouseUp, vst2::kButtonRight, 2, 1);
  EXPECT_EQ(Mouse(vst2::kMouseDown, vst2::kButtonLeft, 2, 1), 0); // third press throws inside
  EXPECT_EQ(form->presses, 3);
  form->Post([] { throw 7; });
  window->Idle(); // must not unwind
}

TEST(AdapterAttach, NeedsAParentUnlessHeadless) {
  TFormEditorWindow window(std::make_unique<TForm>());
  EXPECT_FALSE(window.AttachToParent(nullptr, false));
  EXPECT_EQ(window.Backend(), nullptr);
  window.Idle(); // unattached idle is harmless
  vst2::HeadlessMouse m{vst2::kMouseDown, vst2::kButtonLeft, 0, 0};
  EXPECT_EQ(window.HeadlessRequest(vst2::kHeadlessMouse, 0, &m), 0); // no headless backend
  EXPECT_TRUE(window.AttachToParent(nullptr, true));
  EXPECT_TRUE(window.AttachToParent(nullptr, true)); // re-attaching replaces the backend
  EXPECT_TRUE(window.Backend()->IsHeadless());
}
