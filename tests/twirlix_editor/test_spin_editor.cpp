// The spin editor through the plug-in's entry point: what it shows when it
// opens, the presses on its labels and printed areas, the dial's drag and echo,
// the Hz text, module writes from other threads, and its picture.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <thread>

#include "SpinEditorFixture.h"
#include "gui/Png.h"

using namespace spin_editor_test;
using nimbrel::twirlix::kSpinLabelColour;
using nimbrel::twirlix::kSpinLabelHz;
using nimbrel::twirlix::kSpinLabelType;

namespace {

// --- Opening -------------------------------------------------------------------

struct OpeningCase {
  int program;
  const char *type;
  int typeTag;
  const char *colour;
  int colourTag;
  float dial;
  const char *hz;
};

class OpeningState : public SpinEditor, public ::testing::WithParamInterface<OpeningCase> {};

// Whatever program is current, the editor opens on the module's state, and
// opening sends nothing to the host and changes no parameter.
TEST_P(OpeningState, ShowsTheModulesValuesWithoutSendingAnything) {
  const OpeningCase &c = GetParam();
  plugin->SetProgram(c.program);
  std::vector<float> before;
  for (int i = 0; i < 4; ++i)
    before.push_back(plugin->Parameter(i));
  ClearNotices();
  OpenEditor();
  EXPECT_EQ(Caption(kSpinLabelType), c.type);
  EXPECT_EQ(Tag(kSpinLabelType), c.typeTag);
  EXPECT_EQ(Caption(kSpinLabelColour), c.colour);
  EXPECT_EQ(Tag(kSpinLabelColour), c.colourTag);
  EXPECT_EQ(Dial(), c.dial);
  EXPECT_EQ(Caption(kSpinLabelHz), c.hz);
  plugin->EditorIdle();
  EXPECT_TRUE(plugin->RenderEditor().has_value());
  EXPECT_TRUE(Notices().empty());
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(plugin->Parameter(i), before[static_cast<std::size_t>(i)]) << "parameter " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Programs, OpeningState,
    ::testing::Values(OpeningCase{0, "mono", 5, "medium", 3, 50, "0.35 Hz"},
                      OpeningCase{1, "stereo c", 3, "smooth", 5, 50, "0.35 Hz"},
                      // 7 coefficients have no colour index: the count's name, index 0.
                      OpeningCase{2, "stereo b", 2, "untitled", 0, 130, "0.93 Hz"},
                      OpeningCase{4, "special", 9, "soft", 4, 100, "0.71 Hz"},
                      OpeningCase{5, "old one", 10, "medium", 3, 170, "1.23 Hz"}));

TEST_F(SpinEditor, AStoredTypeOutsideTheListKeepsTheDesignCaptionAndARightPressGivesOldOne) {
  SetByText(kProcessType, "0"); // stored, rejected by the module
  OpenEditor();
  EXPECT_EQ(Caption(kSpinLabelType), "type");
  EXPECT_EQ(Tag(kSpinLabelType), 0);
  ClearNotices();
  Press(kTypeX, kTypeY, vst2::kButtonRight);
  // Never process type -1: the index wraps to 10.
  EXPECT_EQ(Notices(), (std::vector<Notice>{{kProcessType, 1.0f}}));
  EXPECT_EQ(Caption(kSpinLabelType), "old one");
  EXPECT_EQ(plugin->ParameterDisplay(kProcessType), "old one");
}

// --- Type label ----------------------------------------------------------------

struct TypePress {
  const char *start; // process type set by the host, as text
  vst2::HeadlessMouseButton button;
  int sent;
  const char *caption;
};

class TypeLabel : public SpinEditor, public ::testing::WithParamInterface<TypePress> {};

TEST_P(TypeLabel, PressStepsSendsAndShowsTheType) {
  const TypePress &c = GetParam();
  OpenEditor();
  SetByText(kProcessType, c.start); // the module writes the label
  ClearNotices();
  Press(kTypeX, kTypeY, c.button);
  EXPECT_EQ(Notices(), (std::vector<Notice>{{kProcessType, HostValue(kProcessType, static_cast<float>(c.sent))}}));
  EXPECT_EQ(Tag(kSpinLabelType), c.sent);
  EXPECT_EQ(Caption(kSpinLabelType), c.caption);
  EXPECT_EQ(plugin->ParameterDisplay(kProcessType), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Presses, TypeLabel,
                         ::testing::Values(TypePress{"1", vst2::kButtonRight, 10, "old one"},
                                           TypePress{"10", vst2::kButtonLeft, 1, "stereo a"},
                                           TypePress{"4", vst2::kButtonLeft, 5, "mono"},
                                           TypePress{"7", vst2::kButtonRight, 6, "mono l"},
                                           // Middle: the same type is sent again.
                                           TypePress{"8", vst2::kButtonMiddle, 8, "m+s"}));

// --- Colour label --------------------------------------------------------------

struct ColourPress {
  const char *start; // coefficient count set before the editor opens
  vst2::HeadlessMouseButton button;
  int sentCount;     // 0: nothing sent
  int tag;
  const char *caption;
};

class ColourLabel : public SpinEditor, public ::testing::WithParamInterface<ColourPress> {};

TEST_P(ColourLabel, PressStepsTheIndexAndShowsTheModulesCount) {
  const ColourPress &c = GetParam();
  SetByText(kCoefficients, c.start);
  OpenEditor();
  ClearNotices();
  Press(kColourX, kColourY, c.button);
  std::vector<Notice> expected;
  if (c.sentCount != 0)
    expected.push_back({kCoefficients, HostValue(kCoefficients, static_cast<float>(c.sentCount))});
  EXPECT_EQ(Notices(), expected);
  EXPECT_EQ(Tag(kSpinLabelColour), c.tag);
  EXPECT_EQ(Caption(kSpinLabelColour), c.caption);
}

INSTANTIATE_TEST_SUITE_P(Presses, ColourLabel,
                         ::testing::Values(ColourPress{"32", vst2::kButtonLeft, 1, 1, "rough"},
                                           ColourPress{"1", vst2::kButtonRight, 32, 5, "smooth"},
                                           ColourPress{"8", vst2::kButtonLeft, 16, 4, "soft"},
                                           ColourPress{"4", vst2::kButtonRight, 1, 1, "rough"},
                                           // No index for 7: left starts at 1, right at 5.
                                           ColourPress{"7", vst2::kButtonLeft, 1, 1, "rough"},
                                           ColourPress{"7", vst2::kButtonRight, 32, 5, "smooth"},
                                           // Middle with no index sends nothing; the caption
                                           // still reads the module's count.
                                           ColourPress{"20", vst2::kButtonMiddle, 0, 0, "untitled"}));

TEST_F(SpinEditor, ColourIndexIsTheEditorsOwnNotTheHostsCount) {
  SetByText(kCoefficients, "4"); // index 2
  OpenEditor();
  SetByText(kCoefficients, "16"); // the host moves on; the index stays 2
  EXPECT_EQ(Caption(kSpinLabelColour), "soft");
  EXPECT_EQ(Tag(kSpinLabelColour), 2);
  ClearNotices();
  Press(kColourX, kColourY);
  EXPECT_EQ(Notices(), (std::vector<Notice>{{kCoefficients, HostValue(kCoefficients, 8.0f)}}));
  EXPECT_EQ(Caption(kSpinLabelColour), "medium");
}

// --- Printed areas -------------------------------------------------------------

class PrintedAreas : public SpinEditor {
protected:
  void SetUp() override {
    SpinEditor::SetUp();
    OpenEditor();
    ASSERT_EQ(Request(nimbrel::twirlix::kSpinRecordWebRequests, 1), 1);
  }
  std::vector<std::string> WebRequests() {
    char buffer[4096];
    const std::intptr_t n = Request(nimbrel::twirlix::kSpinRecordedWebRequests, sizeof buffer, buffer);
    std::vector<std::string> out;
    std::string all = buffer;
    for (std::size_t start = 0; start < all.size();) {
      const std::size_t end = all.find('\n', start);
      out.push_back(all.substr(start, end - start));
      start = end + 1;
    }
    EXPECT_EQ(static_cast<std::size_t>(n), out.size());
    return out;
  }
};

TEST_F(PrintedAreas, TheWebAddressOpensTheVendorsPageWithinItsExactBounds) {
  struct Case {
    int x, y;
    vst2::HeadlessMouseButton button;
    bool opens;
  };
  const Case cases[] = {
      {345, 9, vst2::kButtonLeft, true},   {440, 9, vst2::kButtonLeft, true},
      {440, 20, vst2::kButtonLeft, true},  {345, 18, vst2::kButtonRight, true},
      {400, 15, vst2::kButtonMiddle, true}, {344, 9, vst2::kButtonLeft, false},
      {441, 15, vst2::kButtonLeft, false}, {400, 8, vst2::kButtonLeft, false},
      {400, 21, vst2::kButtonLeft, false},
  };
  std::size_t expected = 0;
  for (const Case &c : cases) {
    Press(c.x, c.y, c.button);
    expected += c.opens ? 1 : 0;
    const std::vector<std::string> requests = WebRequests();
    ASSERT_EQ(requests.size(), expected) << "press at " << c.x << "," << c.y;
    if (c.opens) {
      EXPECT_EQ(requests.back(), "https://www.nimbrelaudio.com/");
    }
  }
  EXPECT_TRUE(Notices().empty());
}

TEST_F(PrintedAreas, TheTypeCaptionPicksARandomTypeNeverTheCurrentOneNorOldOne) {
  SetByText(kProcessType, "3");
  ClearNotices();
  std::set<int> seen;
  int previous = 3;
  for (int i = 0; i < 300; ++i) {
    const int x = 26 + i % 23, y = 23 + (i / 23) % 11; // every point of 26..48 x 23..33
    Press(x, y, i % 2 ? vst2::kButtonRight : vst2::kButtonLeft);
    const std::vector<Notice> notices = Notices();
    ASSERT_EQ(notices.size(), 1u) << "press " << i << " at " << x << "," << y;
    ASSERT_EQ(notices[0].index, kProcessType);
    const int type = static_cast<int>(std::lround(notices[0].value * 9.0f)) + 1;
    EXPECT_GE(type, 1);
    EXPECT_LE(type, 9);
    EXPECT_NE(type, previous);
    EXPECT_EQ(Tag(kSpinLabelType), type);
    EXPECT_EQ(Caption(kSpinLabelType), plugin->ParameterDisplay(kProcessType));
    seen.insert(type);
    previous = type;
    ClearNotices();
  }
  EXPECT_EQ(seen.size(), 9u);
  for (const auto &[x, y] : {std::pair{25, 28}, {49, 28}, {30, 22}, {30, 34}}) {
    Press(x, y);
    EXPECT_TRUE(Notices().empty()) << "press at " << x << "," << y;
  }
  EXPECT_TRUE(WebRequests().empty());
}

// --- Dial ------------------------------------------------------------------------

// The dial lies at 223,19, 127 x 127; its centre is at form 286,82.
TEST_F(SpinEditor, DragToAFractionalPositionStoresItAndEchoesTheRoundedOne) {
  OpenEditor();
  ASSERT_EQ(Dial(), 50.0f); // program 0: speed 0.5
  ClearNotices();
  ASSERT_TRUE(plugin->Mouse(vst2::kMouseDown, vst2::kButtonLeft, 286, 40));
  EXPECT_TRUE(Notices().empty()) << "a press alone changes nothing";
  ASSERT_TRUE(plugin->Mouse(vst2::kMouseMove, vst2::kButtonNone, 310, 45)); // up and to the right
  ASSERT_TRUE(plugin->Mouse(vst2::kMouseUp, vst2::kButtonLeft, 310, 45));

  const float stored = plugin->Parameter(kLfoSpeed) * 13.0f; // parameter units (approximately)
  const float resting = Dial();
  EXPECT_EQ(resting, std::nearbyint(resting)) << "the dial rests on a whole position";
  EXPECT_GT(resting, 650.0f); // right of straight up
  EXPECT_LT(resting, 1000.0f);
  EXPECT_GT(std::fabs(stored * 100.0f - resting), 0.001f) << "the stored speed keeps its fraction";
  EXPECT_LT(std::fabs(stored * 100.0f - resting), 0.5001f);

  // The rounded value is heard first (the echo), the fractional one last.
  const std::vector<Notice> notices = Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0], (Notice{kLfoSpeed, HostValue(kLfoSpeed, static_cast<float>(0.01L * resting))}));
  EXPECT_EQ(notices[1], (Notice{kLfoSpeed, plugin->Parameter(kLfoSpeed)}));
  EXPECT_NE(notices[0].value, notices[1].value);

  // The host's display shows the fractional speed; the Hz label follows it.
  const float x = std::stof(plugin->ParameterDisplay(kLfoSpeed));
  EXPECT_NEAR(x * 100.0f, stored * 100.0f, 0.01f);
  char expectedHz[32];
  std::snprintf(expectedHz, sizeof expectedHz, "%.2f Hz", (std::exp(0.053319013 * x) - 1.0) * 13.0);
  EXPECT_EQ(Caption(kSpinLabelHz), expectedHz);
}

TEST_F(SpinEditor, HostSpeedOnTheEditorsThreadMovesTheDialAndReportsTheRoundedSpeed) {
  OpenEditor();
  ClearNotices();
  SetByText(kLfoSpeed, "1.125"); // 112.5: the dial goes to the even 112
  EXPECT_EQ(Dial(), 112.0f);
  const std::vector<Notice> notices = Notices();
  ASSERT_EQ(notices.size(), 2u);
  EXPECT_EQ(notices[0], (Notice{kLfoSpeed, HostValue(kLfoSpeed, static_cast<float>(0.01L * 112))}));
  EXPECT_EQ(notices[1].value, HostValue(kLfoSpeed, 1.125f));
  EXPECT_EQ(plugin->ParameterDisplay(kLfoSpeed), "1.125"); // the echo stored nothing
}

struct HzCase {
  const char *speed;
  const char *text;
};

class HzLabel : public SpinEditor, public ::testing::WithParamInterface<HzCase> {};

TEST_P(HzLabel, ShowsTheFrequencyWithTwoDecimals) {
  OpenEditor();
  SetByText(kLfoSpeed, GetParam().speed);
  EXPECT_EQ(Caption(kSpinLabelHz), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Speeds, HzLabel,
                         ::testing::Values(HzCase{"0", "0.00 Hz"}, HzCase{"1", "0.71 Hz"},
                                           HzCase{"10", "9.16 Hz"},
                                           // Above 10 Hz three significant digits leave one decimal.
                                           HzCase{"11", "10.40 Hz"}, HzCase{"12.5", "12.30 Hz"},
                                           HzCase{"13", "13.00 Hz"}));

// --- Other threads -----------------------------------------------------------------

TEST_F(SpinEditor, ChangesFromAnotherThreadAreShownAtTheNextIdleWithoutEchoingBack) {
  OpenEditor();
  plugin->EditorIdle(); // the editor's thread is this one
  ClearNotices();
  std::thread automation([&] {
    plugin->SetParameter(kProcessType, HostValue(kProcessType, 10.0f));
    plugin->SetParameter(kCoefficients, HostValue(kCoefficients, 32.0f));
    plugin->SetParameter(kLfoSpeed, 0.5f); // 6.5: dial 650
  });
  automation.join();
  // Nothing was touched off the editor's thread.
  EXPECT_EQ(Caption(kSpinLabelType), "mono");
  EXPECT_EQ(Caption(kSpinLabelColour), "medium");
  EXPECT_EQ(Dial(), 50.0f);
  plugin->EditorIdle();
  EXPECT_EQ(Caption(kSpinLabelType), "old one");
  EXPECT_EQ(Tag(kSpinLabelType), 10);
  EXPECT_EQ(Caption(kSpinLabelColour), "smooth");
  EXPECT_EQ(Dial(), 650.0f);
  EXPECT_EQ(Caption(kSpinLabelHz), "5.38 Hz");
  // The host's own values are not sent back, and none was changed.
  EXPECT_TRUE(Notices().empty());
  EXPECT_EQ(plugin->Parameter(kLfoSpeed), 0.5f);
}

TEST_F(SpinEditor, APressAfterAnOlderChangeFromAnotherThreadIsNotOverwritten) {
  OpenEditor();
  plugin->EditorIdle();
  std::thread automation([&] { plugin->SetParameter(kProcessType, HostValue(kProcessType, 3.0f)); });
  automation.join();
  Press(kTypeX, kTypeY); // the editor shows 5, steps to 6 and sends it
  plugin->EditorIdle();
  EXPECT_EQ(Caption(kSpinLabelType), "mono l");
  EXPECT_EQ(plugin->ParameterDisplay(kProcessType), "mono l");
}

TEST_F(SpinEditor, ManyChangesFromAnotherThreadWhileTheEditorIdles) {
  OpenEditor();
  plugin->EditorIdle();
  std::atomic<bool> done{false};
  std::thread automation([&] {
    for (int i = 0; i < 2000; ++i) {
      plugin->SetParameter(kProcessType, HostValue(kProcessType, static_cast<float>(1 + i % 10)));
      plugin->SetParameter(kLfoSpeed, static_cast<float>(i % 100) / 100.0f);
    }
    plugin->SetParameter(kProcessType, HostValue(kProcessType, 4.0f));
    plugin->SetParameter(kLfoSpeed, 1.0f);
    done = true;
  });
  while (!done) {
    plugin->EditorIdle();
    ASSERT_TRUE(plugin->RenderEditor().has_value());
  }
  automation.join();
  plugin->EditorIdle();
  EXPECT_EQ(Caption(kSpinLabelType), "stereo d");
  EXPECT_EQ(Dial(), 1300.0f);
  EXPECT_EQ(Caption(kSpinLabelHz), "13.00 Hz");
}

// --- Picture -------------------------------------------------------------------------

TEST_F(SpinEditor, OldSpinLooksLikeTheReferencePicture) {
  plugin->SetProgram(5);
  OpenEditor();
  plugin->EditorIdle();
  const std::optional<host::EditorImage> image = plugin->RenderEditor();
  ASSERT_TRUE(image.has_value());
  ASSERT_EQ(image->width, 454);
  ASSERT_EQ(image->height, 237);

  const std::string path = std::string(NIMBREL_SOURCE_DIR) + "/tests/reference/twirlix-editor-oldspin.png";
  if (const char *out = std::getenv("NIMBREL_WRITE_REFERENCE")) {
    gui::TBitmap32 shot(image->width, image->height);
    std::copy(image->pixels.begin(), image->pixels.end(), shot.Bits());
    ASSERT_TRUE(gui::WritePngFile(out, shot));
  }
  std::ifstream file(path, std::ios::binary);
  ASSERT_TRUE(file) << path;
  const std::vector<std::uint8_t> png{std::istreambuf_iterator<char>(file), {}};
  const gui::TBitmap32 reference = gui::DecodePng(png);
  ASSERT_EQ(reference.Width(), image->width);
  ASSERT_EQ(reference.Height(), image->height);
  int differing = 0;
  for (int y = 0; y < image->height; ++y)
    for (int x = 0; x < image->width; ++x)
      if (reference.Pixel(x, y) != image->pixels[static_cast<std::size_t>(y) * image->width + x])
        ++differing;
  EXPECT_EQ(differing, 0);
}

} // namespace
