// The spin editor on a real display: Twirlix.so loaded through its entry, its
// editor opened into a parent window on a private Xvfb server, a press on the
// type label made with synthetic pointer events, and a screenshot of the
// editor's window compared with the headless render of the same state.
#include <gtest/gtest.h>

#include <X11/Xlib.h>

#include <chrono>
#include <optional>
#include <string>

#include "host/HostLibrary.h"
#include "tests/support/X11EditorTest.h"
#include "twirlix/editor/SpinEditorRequests.h"
#include "vst2/HeadlessEditor.h"

using namespace std::chrono_literals;

namespace {

const std::string kPluginPath = std::string(NIMBREL_PLUGIN_DIR) + "/Twirlix.so";

class SpinEditorX11 : public x11test::X11EditorTest {
protected:
  SpinEditorX11() : X11EditorTest(500, 300) {}
};

TEST_F(SpinEditorX11, APressOnTheTypeLabelStepsTheTypeAndTheWindowShowsTheHeadlessPicture) {
  auto plugin = host::Plugin::Load(kPluginPath);
  plugin->Open();
  plugin->SetProgram(5); // "Old Spin"
  ASSERT_TRUE(plugin->OpenEditor(ParentHandle()));
  ASSERT_EQ(Children().size(), 1u);
  IdleFor(*plugin, 50ms); // let the window map
  plugin->Callbacks().Clear();
  Click(62, 24); // the type label: "old one" steps on to "stereo a"
  ASSERT_TRUE(IdleUntil(*plugin, [&] { return plugin->Callbacks().Count(vst2::audioMasterAutomate) >= 1; }));
  EXPECT_EQ(plugin->ParameterDisplay(1), "stereo a");
  nimbrel::twirlix::TSpinLabelState label{};
  ASSERT_EQ(vst2::HeadlessDispatch(plugin->RawEffect(), nimbrel::twirlix::kSpinReadLabel,
                                   nimbrel::twirlix::kSpinLabelType, &label),
            1);
  EXPECT_STREQ(label.caption, "stereo a");
  IdleFor(*plugin, 100ms);
  const gui::TBitmap32 screen = Screenshot(Children()[0]);

  // The same state on the headless backend of a second instance.
  auto headless = host::Plugin::Load(kPluginPath);
  headless->Open();
  headless->SetProgram(5);
  ASSERT_TRUE(headless->SelectHeadless());
  ASSERT_TRUE(headless->OpenEditor());
  headless->Click(62, 24);
  const std::optional<host::EditorImage> image = headless->RenderEditor();
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(screen.Width(), image->width);
  ASSERT_EQ(screen.Height(), image->height);
  EXPECT_EQ(x11test::CountRgbDifferences(x11test::PixelsOf(screen), image->pixels), 0);

  plugin->CloseEditor();
  EXPECT_TRUE(Children().empty());
}

} // namespace
