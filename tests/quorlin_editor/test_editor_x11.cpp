// The meter editor of the built plug-in on X11, under a private Xvfb server:
// opened into a parent window made here, a real pointer press (XTest) on the
// RMS area reaches the module, the timer runs off the host's idle calls on
// the wall clock, and a screenshot of the editor's window (ImageMagick's
// import) equals the headless render of the same state.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>

#include "tests/quorlin_editor/MeterEditorFixture.h"
#include "tests/support/X11EditorTest.h"

using namespace meted;
using namespace std::chrono_literals;

namespace {

class QuorlinEditorX11 : public x11test::X11EditorTest {
protected:
  QuorlinEditorX11() : X11EditorTest(kW, kH) {}
};

} // namespace

TEST_F(QuorlinEditorX11, PressOnRmsArrivesAndTheWindowShowsTheHeadlessRender) {
  auto plugin = LoadMeter();
  plugin->Open();
  plugin->SetSampleRate(44100.0f);
  plugin->Resume();
  ASSERT_TRUE(plugin->OpenEditor(ParentHandle()));
  ASSERT_TRUE(IdleUntil(*plugin, [&] { return Children().size() == 1; }));
  IdleFor(*plugin, 50ms); // mapped and painted

  // A right-button press and release on the RMS area, through the X server.
  Click(kRmsX, kRmsY, 3);
  ASSERT_TRUE(IdleUntil(*plugin, [&] { return plugin->Parameter(0) == 1.0f; }));
  EXPECT_EQ(plugin->Callbacks().Count(vst2::audioMasterAutomate), 1u);

  // Levels for the timer to show, on the wall clock.
  MeterSession twin; // the same plug-in, headless, driven alike
  host::ChannelBuffers in(2, 1), out(2, 1);
  in.Channel(0)[0] = 0.5f;
  in.Channel(1)[0] = 2.0f;
  plugin->ProcessReplacing(in, out, 1);
  IdleFor(*plugin, 120ms);
  const gui::TBitmap32 screen = Screenshot(Children().at(0));
  EXPECT_EQ(screen.Width(), kW);
  EXPECT_EQ(screen.Height(), kH);

  twin.Press(vst2::kButtonRight, kRmsX, kRmsY);
  twin.Release(vst2::kButtonRight, kRmsX, kRmsY);
  twin.Feed(0.5f, 2.0f);
  twin.Tick();
  const Pixels headless = twin.Render();
  ASSERT_EQ(PictureOracle::Instance().ReadNeedle(headless, Look::A, true), 4); // 0.5 x g, smoothed
  EXPECT_EQ(x11test::CountRgbDifferences(x11test::PixelsOf(screen), headless), 0);

  plugin->CloseEditor();
  EXPECT_TRUE(Children().empty());
}
