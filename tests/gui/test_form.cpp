// Mouse dispatch of a form (capture, click, double click, enter/leave,
// disabled and hidden controls, z-order), timers on the headless clock, and the
// hand-over queue.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "gui/Form.h"
#include "gui/HeadlessBackend.h"
#include "gui/Timer.h"

using namespace gui;

namespace {

// A form with two controls side by side, each recording what it is told.
struct Recorder {
  std::vector<std::string> log;
  void Watch(TControl &c, const std::string &name) {
    c.OnMouseDown = [this, name](TControl &, TMouseButton b, TShiftState s, int x, int y) {
      log.push_back(name + " down " + std::to_string(static_cast<int>(b)) + (s & ssDouble ? " double" : "") + " " +
                    std::to_string(x) + "," + std::to_string(y));
    };
    c.OnMouseMove = [this, name](TControl &, TShiftState, int x, int y) {
      log.push_back(name + " move " + std::to_string(x) + "," + std::to_string(y));
    };
    c.OnMouseUp = [this, name](TControl &, TMouseButton b, TShiftState, int x, int y) {
      log.push_back(name + " up " + std::to_string(static_cast<int>(b)) + " " + std::to_string(x) + "," +
                    std::to_string(y));
    };
    c.OnClick = [this, name](TControl &) { log.push_back(name + " click"); };
    c.OnDblClick = [this, name](TControl &) { log.push_back(name + " dblclick"); };
    c.OnMouseEnter = [this, name](TControl &) { log.push_back(name + " enter"); };
    c.OnMouseLeave = [this, name](TControl &) { log.push_back(name + " leave"); };
  }
  std::vector<std::string> Take() { return std::exchange(log, {}); }
};

struct TwoControls : ::testing::Test {
  TForm form;
  TControl a{&form}, b{&form};
  THeadlessBackend backend{form};
  Recorder rec;
  void SetUp() override {
    form.SetClientSize(100, 60);
    a.SetBounds(10, 10, 30, 30);
    b.SetBounds(50, 10, 30, 30);
    form.AttachWindow(&backend);
    rec.Watch(a, "a");
    rec.Watch(b, "b");
  }
  void TearDown() override { form.DetachWindow(); }
  using Log = std::vector<std::string>;
};

constexpr TMouseButton L = TMouseButton::mbLeft;
constexpr TMouseButton R = TMouseButton::mbRight;

} // namespace

TEST_F(TwoControls, PressedControlKeepsTheMouseUntilRelease) {
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseMove(0, 60, 20); // over b
  form.HandleMouseMove(0, -40, 200); // outside the form
  form.HandleMouseUp(L, 0, -40, 200);
  EXPECT_EQ(rec.Take(), (Log{"a enter", "a down 0 5,5", "a leave", "a move 50,10", "a move -50,190", "a up 0 -50,190"}));
  EXPECT_EQ(form.CaptureControl(), nullptr);
  form.HandleMouseMove(0, 60, 20);
  EXPECT_EQ(rec.Take(), (Log{"b enter", "b move 10,10"}));
}

TEST_F(TwoControls, ClickNeedsLeftPressAndReleaseInside) {
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseUp(L, 0, 16, 16);
  form.HandleMouseDown(R, 0, 15, 15);
  form.HandleMouseUp(R, 0, 15, 15);
  backend.Advance(1000);
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseUp(L, 0, 45, 15); // released outside a
  const Log log = rec.Take();
  EXPECT_EQ(std::count(log.begin(), log.end(), "a click"), 1);
  EXPECT_EQ(log[2], "a up 0 6,6");
  EXPECT_EQ(log[3], "a click"); // after the release
  EXPECT_EQ(log[5], "a up 1 5,5");
}

TEST_F(TwoControls, SecondQuickPressIsADoubleClick) {
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseUp(L, 0, 15, 15);
  backend.Advance(200);
  form.HandleMouseDown(L, 0, 17, 14);
  form.HandleMouseUp(L, 0, 17, 14);
  EXPECT_EQ(rec.Take(), (Log{"a enter", "a down 0 5,5", "a up 0 5,5", "a click", "a dblclick", "a down 0 double 7,4",
                             "a up 0 7,4"}));
  // A third press is single again; a press after the interval is single too.
  backend.Advance(100);
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseUp(L, 0, 15, 15);
  backend.Advance(form.DoubleClickMs + 1);
  form.HandleMouseDown(L, 0, 15, 15);
  for (const std::string &line : rec.Take()) EXPECT_EQ(line.find("dbl"), std::string::npos) << line;
}

TEST_F(TwoControls, EnterAndLeaveFollowThePointer) {
  form.HandleMouseMove(0, 5, 5); // the form itself
  form.HandleMouseMove(0, 15, 15);
  form.HandleMouseMove(0, 55, 15);
  form.HandlePointerLeft();
  EXPECT_EQ(rec.Take(), (Log{"a enter", "a move 5,5", "a leave", "b enter", "b move 5,5", "b leave"}));
  EXPECT_FALSE(b.MouseInControl());
  // While a holds the capture b is not told; once released, b is.
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseMove(0, 55, 15);
  EXPECT_FALSE(b.MouseInControl());
  form.HandleMouseUp(L, 0, 55, 15);
  EXPECT_TRUE(b.MouseInControl());
  EXPECT_FALSE(a.MouseInControl());
}

TEST_F(TwoControls, DisabledAndHiddenControlsLetTheMouseThrough) {
  TControl top(&form); // on top of a, same place
  top.SetBounds(10, 10, 30, 30);
  rec.Watch(top, "top");
  form.HandleMouseDown(L, 0, 15, 15);
  form.HandleMouseUp(L, 0, 15, 15);
  EXPECT_EQ(rec.Take().at(1), "top down 0 5,5");
  top.SetEnabled(false);
  form.HandleMouseDown(R, 0, 15, 15);
  form.HandleMouseUp(R, 0, 15, 15);
  Log log = rec.Take();
  EXPECT_NE(std::find(log.begin(), log.end(), "a down 1 5,5"), log.end());
  // Enter/leave still see the disabled control on top.
  EXPECT_EQ(form.ControlAtPos({15, 15}, true), &top);
  EXPECT_EQ(form.ControlAtPos({15, 15}, false), &a);
  top.SetVisible(false);
  a.SetVisible(false);
  EXPECT_EQ(form.ControlAtPos({15, 15}, true), &form);
  EXPECT_EQ(form.ControlAtPos({-1, 15}, true), nullptr);
  top.SetVisible(true);
  top.SetEnabled(true);
  top.SendToBack();
  a.SetVisible(true);
  EXPECT_EQ(form.ControlAtPos({15, 15}, false), &a);
}

TEST_F(TwoControls, ControlDestroyedByItsOwnHandlerIsForgotten) {
  auto *victim = new TControl(&b);
  victim->SetBounds(0, 0, 10, 10);
  victim->OnMouseDown = [victim](TControl &, TMouseButton, TShiftState, int, int) { delete victim; };
  form.HandleMouseDown(L, 0, 55, 15);
  EXPECT_EQ(form.CaptureControl(), nullptr);
  form.HandleMouseMove(0, 56, 16);
  form.HandleMouseUp(L, 0, 56, 16);
  EXPECT_TRUE(b.Controls().empty());
  // Destroying a parent orphans its children rather than leaving them dangling.
  auto *parent = new TControl(&form);
  TControl child(parent);
  delete parent;
  EXPECT_EQ(child.Parent(), nullptr);
}

TEST_F(TwoControls, StrayReleaseAndPressOutsideDoNothing) {
  form.HandleMouseUp(L, 0, 15, 15); // no press seen
  form.HandleMouseDown(L, 0, 500, 500);
  form.HandleMouseUp(L, 0, 15, 15);
  const Log log = rec.Take();
  for (const std::string &line : log) {
    EXPECT_EQ(line.find("up"), std::string::npos) << line;
    EXPECT_EQ(line.find("click"), std::string::npos) << line;
  }
}

TEST(Timer, FiresOncePerRoundWhenDueNeverBursting) {
  TForm form;
  THeadlessBackend clock(form);
  form.AttachWindow(&clock);
  TTimer t(&form);
  t.SetInterval(100);
  int ticks = 0;
  t.OnTimer = [&](TTimer &) { ++ticks; };
  clock.Advance(99);
  EXPECT_EQ(ticks, 0);
  clock.Advance(1);
  EXPECT_EQ(ticks, 1);
  clock.Advance(1000); // a long gap gives one tick, not ten
  EXPECT_EQ(ticks, 2);
  clock.Advance(50);
  EXPECT_EQ(ticks, 2);
  clock.Advance(50);
  EXPECT_EQ(ticks, 3);
  t.SetEnabled(false);
  clock.Advance(500);
  EXPECT_EQ(ticks, 3);
  t.SetEnabled(true); // counting starts afresh
  clock.Advance(60);
  EXPECT_EQ(ticks, 3);
  clock.Advance(40);
  EXPECT_EQ(ticks, 4);
  t.SetInterval(0);
  clock.Advance(1000);
  EXPECT_EQ(ticks, 4);
  form.DetachWindow();
}

TEST(Timer, HandlerMayDestroyTimersAndTimersOutliveTheirForm) {
  auto form = std::make_unique<TForm>();
  THeadlessBackend clock(*form);
  form->AttachWindow(&clock);
  auto *self = new TTimer(form.get());
  auto *other = new TTimer(form.get());
  self->SetInterval(10);
  other->SetInterval(10);
  int otherTicks = 0;
  other->OnTimer = [&](TTimer &) { ++otherTicks; };
  self->OnTimer = [&](TTimer &t) {
    delete other;
    other = nullptr;
    delete &t;
  };
  clock.Advance(10); // self fires first, destroying both
  EXPECT_EQ(otherTicks, 0);
  TTimer survivor(form.get());
  form->DetachWindow();
  form.reset();
  EXPECT_EQ(survivor.Host(), nullptr);
  survivor.SetEnabled(true); // harmless without a host
}

TEST(PostQueue, OtherThreadsHandOverAndLateCallsAreDropped) {
  auto form = std::make_unique<TForm>();
  int applied = 0; // touched only on this (the editor's) thread
  std::atomic<bool> done{false};
  std::thread poster([&, queue = form->PostQueue()] {
    for (int i = 0; i < 1000; ++i) queue->Post([&applied] { ++applied; });
    done = true;
  });
  while (!done) form->RunPosted();
  poster.join();
  form->RunPosted();
  EXPECT_EQ(applied, 1000);
  // A throwing call does not stop the others.
  form->Post([] { throw std::runtime_error("boom"); });
  form->Post([&] { ++applied; });
  EXPECT_EQ(form->RunPosted(), 2);
  EXPECT_EQ(applied, 1001);
  // A poster that kept the queue beyond the form's life is refused.
  const std::shared_ptr<TPostQueue> kept = form->PostQueue();
  form->Post([&] { ++applied; });
  form.reset();
  EXPECT_FALSE(kept->Post([&] { ++applied; }));
  EXPECT_EQ(kept->RunPending(), 0);
  EXPECT_EQ(applied, 1001);
}
