// The headless editor plumbing against the probe's editor, whose pixels
// report what reached it.
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "host/HostLibrary.h"
#include "host/vsthost/EditorSession.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wunused-parameter"
#pragma GCC diagnostic ignored "-Wunused-function"
#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>
#pragma GCC diagnostic pop

namespace {

using host_test::Fixture;

std::uint32_t Red(std::uint32_t p) { return (p >> 16) & 0xFF; }
std::uint32_t Green(std::uint32_t p) { return (p >> 8) & 0xFF; }

TEST(HostEditor, OpensOnlyHeadlessAndRendersPacked) {
  auto plugin = host::Plugin::Load(Fixture("fixture_probe_editor"));
  plugin->Open();
  EXPECT_FALSE(plugin->EditorRect().has_value());
  EXPECT_FALSE(plugin->OpenEditor(nullptr)) << "no display, headless not selected";
  ASSERT_TRUE(plugin->SelectHeadless());
  ASSERT_TRUE(plugin->OpenEditor(nullptr));
  ASSERT_TRUE(plugin->EditorRect().has_value());

  // A buffer larger than the form: the rows come back packed at 60 pixels.
  auto big = plugin->RenderEditor(100, 50);
  ASSERT_TRUE(big.has_value());
  EXPECT_EQ(big->width, 60);
  EXPECT_EQ(big->height, 40);
  ASSERT_EQ(big->pixels.size(), 60u * 40u);
  EXPECT_EQ(big->pixels[39 * 60 + 59] & 0xFF, 98u) << "x + y at the last pixel";
  // A buffer too small: refused with the needed size, and retried.
  auto small = plugin->RenderEditor(10, 10);
  ASSERT_TRUE(small.has_value());
  EXPECT_EQ(small->pixels, big->pixels);

  plugin->Click(7, 8);
  plugin->Drag(1, 2, 30, 20);
  plugin->AdvanceClock(40);
  plugin->AdvanceClock(80);
  auto after = plugin->RenderEditor();
  ASSERT_TRUE(after.has_value());
  EXPECT_EQ(Red(after->pixels[0]), 2u) << "two button presses";
  EXPECT_EQ(Green(after->pixels[0]), 3u) << "120 ms";
  EXPECT_EQ(after->pixels[2 * 60 + 1], 0xFFFFFFFFu) << "last press at the drag's start";

  plugin->CloseEditor();
  EXPECT_FALSE(plugin->EditorIsOpen());
  EXPECT_FALSE(plugin->RenderEditor(60, 40).has_value());
}

TEST(HostEditor, SessionTicksAndWritesThePicture) {
  host_test::ScratchDir dir;
  auto plugin = host::Plugin::Load(Fixture("fixture_probe_editor"));
  plugin->Open();
  {
    vsthost::EditorSession session(*plugin);
    session.Tick(5);
    plugin->Click(59, 39);
    const auto image = session.Snapshot(dir.File("e.png"));
    EXPECT_EQ(image.width, 60);
  }
  EXPECT_FALSE(plugin->EditorIsOpen()) << "the session closes the editor";

  int w = 0, h = 0, n = 0;
  unsigned char *rgba = stbi_load(dir.File("e.png").c_str(), &w, &h, &n, 4);
  ASSERT_NE(rgba, nullptr);
  EXPECT_EQ(w, 60);
  EXPECT_EQ(h, 40);
  // Pixel (3, 1): red 1 press, green 5 ticks, blue x + y, opaque.
  const unsigned char *p = rgba + 4 * (1 * 60 + 3);
  EXPECT_EQ(p[0], 1);
  EXPECT_EQ(p[1], 5);
  EXPECT_EQ(p[2], 4);
  EXPECT_EQ(p[3], 255);
  const unsigned char *mark = rgba + 4 * (39 * 60 + 59);
  EXPECT_EQ(mark[0] & mark[1] & mark[2], 255);
  stbi_image_free(rgba);
}

TEST(HostEditor, SessionRefusesPluginsWithoutAHeadlessEditor) {
  auto plain = host::Plugin::Load(Fixture("fixture_probe"));
  try {
    vsthost::EditorSession session(*plain);
    ADD_FAILURE() << "opened";
  } catch (const host::HostError &e) {
    EXPECT_NE(std::string(e.what()).find("has no editor"), std::string::npos) << e.what();
  }
}

} // namespace

#include "ProgramRunner.h"

namespace {

TEST(HostEditor, SnapshotCommandAppliesGesturesInOrder) {
  host_test::ScratchDir dir;
  const auto r = host_test::RunVsthost({"snapshot", host_test::Fixture("fixture_probe_editor"), "s.png", "--click",
                                        "5,6", "--ticks", "2", "--drag", "1,1:9,9", "--ticks", "1"},
                                       dir);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  int w = 0, h = 0, n = 0;
  unsigned char *rgba = stbi_load(dir.File("s.png").c_str(), &w, &h, &n, 4);
  ASSERT_NE(rgba, nullptr);
  ASSERT_EQ(w * h, 60 * 40);
  EXPECT_EQ(rgba[4 * 30 + 0], 2) << "two presses";
  EXPECT_EQ(rgba[4 * 30 + 1], 3) << "three ticks";
  const unsigned char *mark = rgba + 4 * (1 * 60 + 1);
  EXPECT_EQ(mark[0] & mark[1] & mark[2], 255) << "the drag pressed last at (1, 1)";
  stbi_image_free(rgba);
}

} // namespace
