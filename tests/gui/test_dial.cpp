// The stitched-bitmap dial: frame selection, setters and their messages, the
// pointer-angle settings, dragging, transparency, sizing and the process-wide
// hover timer. Mouse input goes through a headless form, as in an editor.
#include <gtest/gtest.h>

#include <cmath>

#include "gui/Errors.h"
#include "gui/FormEditorWindow.h"
#include "gui/HeadlessBackend.h"
#include "gui/Image32.h"
#include "twirlix/editor/Dial32.h"
#include "vst2/HeadlessEditor.h"

using namespace gui;
using twirlix::TDial32;
using twirlix::TDialPointerAngles;

namespace {

constexpr TMouseButton L = TMouseButton::mbLeft;

// 63 frames of 127 x 127 side by side (8001 x 127), frame k opaque in a colour
// that names k; the left half of every frame's top row is transparent.
TBitmap32 SyntheticStrip(int frames = 63, int size = 127) {
  TBitmap32 s(frames * size, size);
  for (int k = 0; k < frames; ++k) {
    s.FillRect({k * size, 0, (k + 1) * size, size}, Color32(k, 255 - k, 7));
    s.FillRect({k * size, 0, k * size + size / 2, 1}, 0x00000000);
  }
  return s;
}

int FrameShown(const TBitmap32 &pixels, int x, int y) {
  const TColor32 p = pixels.Pixel(x, y);
  return AlphaOf(p) == 255 && BlueOf(p) == 7 && RedOf(p) + GreenOf(p) == 255 ? static_cast<int>(RedOf(p)) : -1;
}

// A form holding the editor's dial at (223, 19) over a picture.
struct EditorLike : ::testing::Test {
  TForm form;
  TImage32 background{&form};
  TDial32 dial{&background};
  THeadlessBackend clock{form};
  int changes = 0, clicks = 0, downs = 0;

  void SetUp() override {
    form.SetClientSize(454, 237);
    background.SetBounds(0, 0, 454, 237);
    background.SetBitmap(TBitmap32(454, 237, 0xFF336699));
    form.AttachWindow(&clock);
    dial.SetBounds(223, 19, 127, 129);
    dial.SetMax(1300);
    dial.DialBitmap().AssignPixels(SyntheticStrip());
    dial.SetNumGlyphs(63);
    dial.SetAutoSize(true);
    TDialPointerAngles angles;
    angles.SetStart(200);
    angles.SetRange(320);
    dial.SetPointerAngles(angles);
    dial.OnChange = [this](TControl &) { ++changes; };
    dial.OnClick = [this](TControl &) { ++clicks; };
    dial.OnMouseDown = [this](TControl &, TMouseButton, TShiftState, int, int) { ++downs; };
  }
  void TearDown() override { form.DetachWindow(); }
  // Form coordinates of a dial client point.
  int X(int x) const { return 223 + x; }
  int Y(int y) const { return 19 + y; }
  int ShownFrame() {
    form.InvalidateRect(form.ClientRect());
    form.Render();
    return FrameShown(form.Buffer(), X(63), Y(63));
  }
};

} // namespace

TEST_F(EditorLike, SizesToOneFrameAndShowsTheFrameOfItsPosition) {
  EXPECT_EQ(dial.Width(), 127);
  EXPECT_EQ(dial.Height(), 127);
  struct Case { float position; int frame; };
  for (const Case c : {Case{0, 0}, Case{650, 31}, Case{1300, 62}, Case{20.66f, 1}, Case{20.64f, 0}, Case{1279.4f, 61},
                       Case{5000, 62}}) {
    dial.SetPosition(c.position);
    EXPECT_EQ(dial.FrameIndex(), c.frame) << c.position;
    EXPECT_EQ(ShownFrame(), c.frame) << c.position;
  }
  EXPECT_EQ(dial.Position(), 1300); // 5000 confined to Max
}

TEST_F(EditorLike, TransparentDialShowsItsParentBeneathTheStrip) {
  dial.SetTransparent(true);
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(X(10), Y(0)), 0xFF336699u); // transparent strip pixel: the picture
  EXPECT_EQ(FrameShown(form.Buffer(), X(100), Y(0)), 0);
  // An opaque dial fills its colour instead.
  dial.SetTransparent(false);
  dial.SetColor(0xFF00FF00);
  form.Render();
  EXPECT_EQ(form.Buffer().Pixel(X(10), Y(0)), 0xFF00FF00u);
}

TEST(Dial, TransparentWithoutParentDrawsOverWhatItsBufferHeld) {
  TDial32 dial;
  dial.SetTransparent(true);
  dial.DialBitmap().AssignPixels(SyntheticStrip(2, 8));
  dial.SetNumGlyphs(2);
  dial.ResizeBuffer();
  dial.Buffer().Clear(0xFFABCDEF);
  TBitmap32 canvas(8, 8);
  dial.Paint(canvas);
  EXPECT_EQ(canvas.Pixel(1, 0), 0xFFABCDEFu); // transparent strip pixel: the old buffer
  EXPECT_EQ(FrameShown(canvas, 5, 5), 0);
}

TEST_F(EditorLike, PressWithoutMoveKeepsTheValueFirstMoveJumpsToTheAngle) {
  dial.SetPosition(100);
  changes = 0;
  form.HandleMouseDown(L, 0, X(63), Y(0));
  EXPECT_TRUE(dial.Dragging());
  EXPECT_TRUE(dial.Focused());
  EXPECT_EQ(dial.Position(), 100);
  EXPECT_EQ(clicks, 1); // raised at the press
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(changes, 0);
  form.HandleMouseMove(0, X(63), Y(0)); // straight up: 160 degrees into the arc
  EXPECT_EQ(dial.Position(), 650.5f);   // 160 * 1301 / 320
  form.HandleMouseMove(0, X(126), Y(63)); // right of the centre: 250 degrees into the arc
  EXPECT_EQ(dial.Position(), 1016.40625f);
  EXPECT_EQ(changes, 2);
  form.HandleMouseUp(L, 0, X(126), Y(63));
  EXPECT_FALSE(dial.Dragging());
  EXPECT_EQ(clicks, 2); // and again at a release inside
  form.HandleMouseMove(0, X(63), Y(0));
  EXPECT_EQ(dial.Position(), 1016.40625f); // not dragging any more
}

TEST_F(EditorLike, DeadSectorAndLeavingTheDialKeepTheDrag) {
  form.HandleMouseDown(L, 0, X(63), Y(63));
  form.HandleMouseMove(0, X(63), Y(0));
  ASSERT_EQ(dial.Position(), 650.5f);
  form.HandleMouseMove(0, X(63), Y(126)); // straight down: in the dead sector
  form.HandleMouseMove(0, X(60), Y(120));
  EXPECT_EQ(dial.Position(), 650.5f);
  EXPECT_EQ(changes, 1);
  // Far outside the dial (and the form), to the right of its centre: still dragging.
  form.HandleMouseMove(0, X(63) + 1000, Y(63));
  EXPECT_EQ(dial.Position(), 1016.40625f);
  form.HandleMouseUp(L, 0, X(63) + 1000, Y(63));
  EXPECT_FALSE(dial.Dragging());
  EXPECT_EQ(clicks, 1); // no click for a release outside
}

TEST_F(EditorLike, RightAndMiddlePressesAreIgnored) {
  for (TMouseButton b : {TMouseButton::mbRight, TMouseButton::mbMiddle}) {
    form.HandleMouseDown(b, 0, X(63), Y(63));
    form.HandleMouseMove(0, X(63), Y(0));
    form.HandleMouseUp(b, 0, X(63), Y(0));
  }
  EXPECT_EQ(downs, 0);
  EXPECT_EQ(clicks, 0);
  EXPECT_FALSE(dial.Dragging());
  EXPECT_EQ(dial.Position(), 0);
  // A disabled dial ignores the left button too, and disabling ends a drag.
  form.HandleMouseDown(L, 0, X(63), Y(63));
  dial.SetEnabled(false);
  EXPECT_FALSE(dial.Dragging());
  form.HandleMouseMove(0, X(63), Y(0));
  form.HandleMouseUp(L, 0, X(63), Y(0));
  form.HandleMouseDown(L, 0, X(63), Y(63));
  form.HandleMouseMove(0, X(126), Y(63));
  EXPECT_EQ(dial.Position(), 0);
}

TEST_F(EditorLike, EchoOfARoundedValueInsideOnChange) {
  // The module writes the rounded position back while the first change is in progress.
  std::vector<float> seen;
  dial.OnChange = [&](TControl &) {
    seen.push_back(dial.Position());
    dial.SetPosition(std::nearbyint(dial.Position()));
  };
  form.HandleMouseDown(L, 0, X(63), Y(63));
  form.HandleMouseMove(0, X(63), Y(0));
  EXPECT_EQ(seen, (std::vector<float>{650.5f, 650.0f})); // half to even
  EXPECT_EQ(dial.Position(), 650.0f);
}

TEST(Dial, PositionMinAndMaxSetters) {
  TDial32 dial;
  int changes = 0;
  dial.OnChange = [&](TControl &) { ++changes; };
  dial.SetMax(1300);
  dial.SetPosition(5000);
  dial.SetPosition(5000);
  EXPECT_EQ(dial.Position(), 1300);
  EXPECT_EQ(changes, 1);
  dial.SetPosition(-4);
  EXPECT_EQ(dial.Position(), 0);
  dial.SetPosition(NAN);
  EXPECT_EQ(dial.Position(), 0);
  EXPECT_EQ(changes, 2);
  dial.SetPosition(1000);
  dial.SetMax(500); // pulls Position down without OnChange
  EXPECT_EQ(dial.Position(), 500);
  EXPECT_EQ(changes, 3);
  EXPECT_THROW(dial.SetMin(600), gui::EInvalidOperation); // above Max
  EXPECT_EQ(dial.Min(), 0);
}

TEST(Dial, SetterErrorsCarryTheirMessagesAndChangeNothing) {
  TDial32 dial; // Min 0, Max 100
  struct Case {
    const char *what;
    std::function<void()> call;
    const char *message;
  };
  TDialPointerAngles &angles = dial.PointerAngles();
  const Case cases[] = {
      {"Start 360", [&] { angles.SetStart(360); }, "Start must be 0..359"},
      {"Start -1", [&] { angles.SetStart(-1); }, "Start must be 0..359"},
      {"Range 0", [&] { angles.SetRange(0); }, "Range must be 1..360"},
      {"Range 361", [&] { angles.SetRange(361); }, "Range must be 1..360"},
      {"Resolution -1", [&] { angles.SetResolution(-1); }, "Resolution must be above 0 and less than 361"},
      {"Resolution 360.5", [&] { angles.SetResolution(360.5L); }, "Resolution must be above 0 and less than 361"},
      {"Resolution NaN", [&] { angles.SetResolution(NAN); }, "Resolution must be above 0 and less than 361"},
      {"Max below Min", [&] { dial.SetMax(-5); }, "Value must be between 1 and 2147483647"},
      {"Min above Max", [&] { dial.SetMin(200); }, "Value must be between -2147483647 and 99"},
      {"Max NaN", [&] { dial.SetMax(NAN); }, "Value must be between 1 and 2147483647"},
  };
  for (const Case &c : cases) {
    try {
      c.call();
      ADD_FAILURE() << c.what << " was accepted";
    } catch (const gui::Exception &e) {
      EXPECT_STREQ(e.what(), c.message) << c.what;
      const bool invalidOperation = dynamic_cast<const gui::EInvalidOperation *>(&e) != nullptr;
      EXPECT_EQ(invalidOperation, std::string(c.message).starts_with("Value")) << c.what;
    }
  }
  EXPECT_EQ(angles.Start(), 0);
  EXPECT_EQ(angles.Range(), 360);
  EXPECT_EQ(angles.Resolution(), 0);
  EXPECT_EQ(dial.Min(), 0);
  EXPECT_EQ(dial.Max(), 100);
  angles.SetResolution(0); // 0 itself is accepted
  angles.SetRange(100);
  try {
    angles.SetResolution(150);
    ADD_FAILURE();
  } catch (const gui::Exception &e) {
    EXPECT_STREQ(e.what(), "Resolution must be above 0 and less than 101");
  }
  // Fractional bounds are written as whole numbers.
  dial.SetMin(10.5f);
  try {
    dial.SetMax(3);
    ADD_FAILURE();
  } catch (const gui::EInvalidOperation &e) {
    EXPECT_STREQ(e.what(), "Value must be between 12 and 2147483647"); // 11.5 to even
  }
  // While loading the checks are skipped; Max equal to Min is accepted.
  dial.SetLoading(true);
  dial.SetMax(3);
  EXPECT_EQ(dial.Max(), 3);
  dial.SetLoading(false);
  dial.SetMax(10.5f);
  dial.SetPosition(99);
  EXPECT_EQ(dial.FrameIndex(), 0);
}

TEST(Dial, PointerAnglesNoticesAndAssignment) {
  TDialPointerAngles a;
  int notices = 0;
  a.OnChange = [&](twirlix::TDialSettings &) { ++notices; };
  a.SetRange(320); // raises Resolution to 320 through its setter: two notices
  EXPECT_EQ(a.Resolution(), 320);
  EXPECT_EQ(notices, 2);
  a.SetRange(100); // below Resolution: Resolution stays
  EXPECT_EQ(a.Resolution(), 320);
  EXPECT_EQ(notices, 3);
  a.SetStart(0); // unchanged, still a notice
  EXPECT_EQ(notices, 4);

  TDialPointerAngles b;
  b.SetStart(200);
  b.SetRange(320);
  notices = 0;
  a.Assign(&b);
  EXPECT_EQ(notices, 1);
  EXPECT_EQ(a.Start(), 200);
  EXPECT_EQ(a.Range(), 320);
  EXPECT_EQ(a.Resolution(), 320);
  twirlix::TDialSettings other;
  EXPECT_THROW(a.Assign(&other), gui::EConvertError);
  EXPECT_THROW(a.Assign(nullptr), gui::EConvertError);
  EXPECT_EQ(notices, 1);

  // The dial's own settings repaint it through SettingsChanged.
  TForm form;
  TDial32 dial(&form);
  form.Render();
  dial.SetPointerAngles(b);
  EXPECT_FALSE(dial.BufferValid());
  EXPECT_EQ(dial.PointerAngles().Start(), 200);
}

TEST(Dial, NumGlyphsAndStitchKindResizeWhateverAutoSizeSays) {
  TDial32 dial;
  EXPECT_EQ(dial.Width(), 192);
  dial.DialBitmap().AssignPixels(SyntheticStrip());
  EXPECT_EQ(dial.Width(), 192); // copying pixels resizes nothing
  ASSERT_FALSE(dial.AutoSize());
  dial.SetNumGlyphs(63);
  EXPECT_EQ(dial.Width(), 127);
  EXPECT_EQ(dial.Height(), 127);
  EXPECT_EQ(dial.Buffer().Width(), 127);
  dial.SetStitchKind(twirlix::skVertical);
  EXPECT_EQ(dial.Width(), 8001);
  EXPECT_EQ(dial.Height(), 2);
  dial.SetStitchKind(twirlix::skHorizontal);
  // The setter copies pixels and settings and resizes too.
  TBitmap32 strip = SyntheticStrip(4, 10);
  strip.DrawMode = TDrawMode::dmOpaque;
  dial.SetNumGlyphs(4);
  dial.SetDialBitmap(strip);
  EXPECT_EQ(dial.Width(), 10);
  EXPECT_EQ(dial.DialBitmap().DrawMode, TDrawMode::dmOpaque);
  // Counts below 1 are accepted: the size stays, nothing divides, only the background is drawn.
  for (int n : {0, -3}) {
    dial.SetNumGlyphs(n);
    EXPECT_EQ(dial.FrameIndex(), -1);
    EXPECT_EQ(dial.Width(), 10);
    TBitmap32 canvas(10, 10);
    dial.Paint(canvas);
    EXPECT_EQ(canvas.Pixel(1, 5), Opaque(dial.Color()));
  }
}

TEST(Dial, NormalizeAngleAndValueAtPoint) {
  EXPECT_EQ(TDial32::NormalizeAngle(-200), 160);
  EXPECT_EQ(TDial32::NormalizeAngle(-720), 0);
  EXPECT_EQ(TDial32::NormalizeAngle(360), 0);
  EXPECT_EQ(TDial32::NormalizeAngle(725), 5);
  EXPECT_EQ(TDial32::NormalizeAngle(359.5f), 359.5f);
  const float tiny = -1e-6f; // -1e-6 + 360 rounds to 360 in single precision, then wraps
  EXPECT_EQ(TDial32::NormalizeAngle(tiny), 0);
  EXPECT_EQ(TDial32::NormalizeAngle(INFINITY), 0);
  EXPECT_EQ(TDial32::NormalizeAngle(NAN), 0);

  TDial32 dial; // 192 x 192, centre (96, 96), full circle, Min 0, Max 100
  EXPECT_EQ(dial.ValueAtPoint(96, 0), 0);
  EXPECT_EQ(dial.ValueAtPoint(191, 96), 25.25f);                 // 90 * 101 / 360
  EXPECT_EQ(dial.ValueAtPoint(96, 191), 50.5f);                  // 180
  EXPECT_EQ(dial.ValueAtPoint(0, 96), 75.75f);                   // 270
  EXPECT_EQ(dial.ValueAtPoint(95, 0), dial.Position());          // just left of up: above Max
  EXPECT_EQ(dial.ValueAtPoint(96, 96), 0);                       // the centre itself: angle 0
}

TEST(DialHover, TimerFollowsTheHoveredDialAndForgetsADestroyedOne) {
  ASSERT_EQ(TDial32::DialCount(), 0);
  ASSERT_EQ(TDial32::HoverTimer(), nullptr);
  TForm form;
  form.SetClientSize(300, 200);
  THeadlessBackend clock(form);
  form.AttachWindow(&clock);
  auto first = std::make_unique<TDial32>(&form);
  auto second = std::make_unique<TDial32>(&form);
  second->SetLeft(200);
  second->SetWidth(100);
  EXPECT_EQ(TDial32::DialCount(), 2);
  ASSERT_NE(TDial32::HoverTimer(), nullptr);
  EXPECT_FALSE(TDial32::HoverTimer()->Enabled());
  EXPECT_EQ(TDial32::HoverTimer()->Interval(), 100);
  int leaves = 0;
  first->OnMouseLeave = [&](TControl &) { ++leaves; };

  form.HandleMouseMove(0, 50, 50);
  EXPECT_EQ(TDial32::HoverDial(), first.get());
  EXPECT_TRUE(TDial32::HoverTimer()->Enabled());
  EXPECT_TRUE(first->MouseInControl());
  form.HandleMouseMove(0, 250, 50); // over the second dial: it takes over
  EXPECT_EQ(TDial32::HoverDial(), second.get());
  EXPECT_EQ(TDial32::HoverTimer()->Host(), &form);
  const int leavesAfterTakeover = leaves;
  EXPECT_GE(leavesAfterTakeover, 1);
  form.HandleMouseMove(0, 250, 199);
  form.HandlePointerLeft();
  clock.Advance(100); // the second dial checks the pointer and is told it has left
  EXPECT_FALSE(second->MouseInControl());

  second.reset(); // the hover dial goes while the timer runs
  EXPECT_EQ(TDial32::HoverDial(), nullptr);
  EXPECT_FALSE(TDial32::HoverTimer()->Enabled());
  clock.Advance(100);
  clock.Advance(100);
  EXPECT_EQ(TDial32::DialCount(), 1);
  first.reset();
  EXPECT_EQ(TDial32::DialCount(), 0);
  EXPECT_EQ(TDial32::HoverTimer(), nullptr);
  form.DetachWindow();
}

TEST(DialHover, LeaveRepeatsWhileThePointerIsElsewhere) {
  TForm form;
  form.SetClientSize(400, 200);
  THeadlessBackend clock(form);
  form.AttachWindow(&clock);
  TDial32 dial(&form);
  int leaves = 0;
  dial.OnMouseLeave = [&](TControl &) { ++leaves; };
  form.HandleMouseMove(0, 10, 10);
  form.HandleMouseMove(0, 300, 10); // the form tells the dial once
  EXPECT_EQ(leaves, 1);
  clock.Advance(100);
  clock.Advance(100);
  EXPECT_EQ(leaves, 3); // and the hover timer every 100 ms
  form.HandleMouseMove(0, 10, 10);
  clock.Advance(100);
  EXPECT_EQ(leaves, 3);
  form.DetachWindow();
}

TEST(DialThroughTheEditorWindow, HeadlessMouseTurnsTheDialAndRenderShowsIt) {
  auto owned = std::make_unique<TForm>();
  TForm &form = *owned;
  form.SetClientSize(127, 127);
  TDial32 dial(&form);
  dial.SetMax(1300);
  dial.DialBitmap().AssignPixels(SyntheticStrip());
  dial.SetNumGlyphs(63);
  TDialPointerAngles angles;
  angles.SetStart(200);
  angles.SetRange(320);
  dial.SetPointerAngles(angles);
  {
    TFormEditorWindow window(std::move(owned));
    ASSERT_TRUE(window.AttachToParent(nullptr, true));
    vst2::HeadlessMouse down{vst2::kMouseDown, vst2::kButtonLeft, 63, 63};
    vst2::HeadlessMouse move{vst2::kMouseMove, vst2::kButtonNone, 126, 63};
    vst2::HeadlessMouse up{vst2::kMouseUp, vst2::kButtonLeft, 126, 63};
    for (auto *m : {&down, &move, &up}) ASSERT_EQ(window.HeadlessRequest(vst2::kHeadlessMouse, 0, m), 1);
    EXPECT_EQ(dial.Position(), 1016.40625f);
    std::vector<std::uint32_t> pixels(127 * 127);
    vst2::HeadlessImage image{pixels.data(), 127, 127};
    ASSERT_EQ(window.HeadlessRequest(vst2::kHeadlessRender, 0, &image), 1);
    TBitmap32 shown(127, 127);
    std::copy(pixels.begin(), pixels.end(), shown.Bits());
    EXPECT_EQ(FrameShown(shown, 63, 63), 49); // trunc(1016.40625 * 63 / 1301)
    // The dial lives on the stack here and must go before the form the window owns.
    dial.SetParent(nullptr);
  }
}
