// Text boxes, text drawing and the process-wide font registry.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "gui/FontRegistry.h"
#include "gui/Text.h"

using namespace gui;

namespace {

const std::string kSerif = "/usr/share/fonts/truetype/dejavu/DejaVuSerif.ttf";
const std::string kMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

TFont FontOf(std::string name, int height) {
  TFont f;
  f.Name = std::move(name);
  f.Height = height;
  return f;
}

std::vector<std::uint8_t> ReadAll(const std::string &path) {
  std::ifstream f(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(f), {}};
}

} // namespace

TEST(Text, BoxGrowsWithTextAndHeight) {
  const TFont f = FontOf("", 9);
  int last = 0;
  for (const char *s : {"t", "ty", "typ", "type", "type "}) {
    const TSize box = MeasureText(s, f);
    EXPECT_GT(box.Width, last) << s;
    last = box.Width;
  }
  EXPECT_EQ(MeasureText("", f).Width, 0);
  // Height follows the pixel height and not the text.
  const int h9 = MeasureText("x", f).Height;
  EXPECT_EQ(MeasureText("Ågy|", f).Height, h9);
  EXPECT_GE(h9, 9);
  const int h18 = MeasureText("x", FontOf("", 18)).Height;
  EXPECT_NEAR(h18, 2 * h9, 1);
  EXPECT_GT(MeasureText("type", FontOf("", 18)).Width, MeasureText("type", f).Width);
  // Heights outside the usable range measure nothing and draw nothing.
  EXPECT_EQ(MeasureText("type", FontOf("", 0)), (TSize{0, 0}));
  EXPECT_EQ(MeasureText("type", FontOf("", 1 << 30)), (TSize{0, 0}));
}

TEST(Text, DrawsInsideItsBoxInItsColour) {
  TFont f = FontOf("", 14);
  f.Color = 0xFF000000;
  const TSize box = MeasureText("Hy", f);
  TBitmap32 b(60, 40, 0xFFFFFFFF);
  DrawText(b, 10, 5, "Hy", f);
  int dark = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) {
      const TColor32 p = b.Pixel(x, y);
      if (p == 0xFFFFFFFF) continue;
      ++dark;
      EXPECT_EQ(RedOf(p), GreenOf(p)); // black over white stays grey: no colour fringes
      EXPECT_TRUE(x >= 10 && x < 10 + box.Width + 1 && y >= 5 && y < 5 + box.Height) << x << "," << y;
    }
  EXPECT_GT(dark, 20);
  // A fully transparent colour draws nothing; so does clipped-away text.
  TBitmap32 c(60, 40, 0xFFFFFFFF);
  f.Color = 0x00000000;
  DrawText(c, 10, 5, "Hy", f);
  f.Color = 0xFF000000;
  c.IntersectClipRect({0, 0, 5, 40});
  DrawText(c, 10, 5, "Hy", f);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 60; ++x) ASSERT_EQ(c.Pixel(x, y), 0xFFFFFFFFu);
}

TEST(Text, MalformedUtf8IsReplacedNotSkippedOver) {
  EXPECT_EQ(DecodeUtf8("a\xC3\xA9z"), U"a\u00E9z");
  EXPECT_EQ(DecodeUtf8("\xFF"), U"\uFFFD");
  EXPECT_EQ(DecodeUtf8("\xE2\x82"), U"\uFFFD\uFFFD");         // truncated sequence at the end
  EXPECT_EQ(DecodeUtf8("\xC0\xAF"), U"\uFFFD\uFFFD");         // over-long form
  EXPECT_EQ(DecodeUtf8("\xED\xA0\x80"), U"\uFFFD\uFFFD\uFFFD"); // surrogate
  EXPECT_EQ(DecodeUtf8("\xF0\x9F\x8E\xB5"), U"\U0001F3B5");
}

TEST(FontRegistry, FindsRegisteredFamiliesAndSubstitutesMissingOnes) {
  TFontRegistry &reg = TFontRegistry::Instance();
  ASSERT_TRUE(reg.Register(kSerif));
  const auto serif = reg.Find("dejavu serif"); // case does not matter
  ASSERT_NE(serif, nullptr);
  EXPECT_EQ(serif->Family(), "DejaVu Serif");
  EXPECT_NE(MeasureText("Wonderful", FontOf("DejaVu Serif", 20)).Width,
            MeasureText("Wonderful", FontOf("", 20)).Width);

  EXPECT_EQ(reg.Find("No Such Family"), nullptr);
  EXPECT_EQ(reg.Resolve("No Such Family"), TFontRegistry::Substitute());
  EXPECT_EQ(TFontRegistry::Substitute()->Family(), "DejaVu Sans");
  EXPECT_EQ(MeasureText("Wonderful", FontOf("No Such Family", 20)), MeasureText("Wonderful", FontOf("", 20)));
  EXPECT_TRUE(reg.Unregister(kSerif));
  EXPECT_EQ(reg.Find("DejaVu Serif"), nullptr);
  // The face a caller already holds stays usable after withdrawal.
  EXPECT_GT(serif->Metrics(12).Height(), 0);
}

TEST(FontRegistry, CountsReferencesPerPath) {
  TFontRegistry &reg = TFontRegistry::Instance();
  ASSERT_TRUE(reg.Register(kMono));
  ASSERT_TRUE(reg.Register("/usr/share/fonts/truetype/dejavu/../dejavu/DejaVuSansMono.ttf"));
  EXPECT_EQ(reg.ReferenceCount(kMono), 2);
  EXPECT_TRUE(reg.Unregister(kMono));
  EXPECT_NE(reg.Find("DejaVu Sans Mono"), nullptr);
  EXPECT_TRUE(reg.Unregister(kMono));
  EXPECT_EQ(reg.Find("DejaVu Sans Mono"), nullptr);
  EXPECT_FALSE(reg.Unregister(kMono));
  EXPECT_FALSE(reg.Register("/nonexistent/font.ttf"));
  EXPECT_FALSE(reg.Register(std::string(NIMBREL_SOURCE_DIR) + "/CMakeLists.txt")); // not a font
  EXPECT_FALSE(reg.Register(""));
}

TEST(FontRegistry, ConcurrentRegistrationKeepsCountsRight) {
  TFontRegistry &reg = TFontRegistry::Instance();
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(reg.Register(kMono));
        (void)reg.Resolve("DejaVu Sans Mono");
        ASSERT_TRUE(reg.Unregister(kMono));
      }
    });
  for (auto &t : threads) t.join();
  EXPECT_EQ(reg.ReferenceCount(kMono), 0);
  EXPECT_EQ(reg.Find("DejaVu Sans Mono"), nullptr);
}

TEST(FontFace, DamagedFontsAreRefusedOrNamelessNeverReadOutOfBounds) {
  const std::vector<std::uint8_t> font = ReadAll(kSerif);
  ASSERT_GT(font.size(), 1000u);
  EXPECT_EQ(ReadFamilyName(font.data(), font.size()), "DejaVu Serif");
  for (std::size_t n : {std::size_t{0}, std::size_t{11}, std::size_t{12}, std::size_t{100}, std::size_t{400},
                        font.size() / 2}) {
    const std::vector<std::uint8_t> cut(font.begin(), font.begin() + static_cast<std::ptrdiff_t>(n));
    (void)ReadFamilyName(cut.data(), cut.size());
    EXPECT_EQ(TFontFace::FromBytes(cut), nullptr) << n;
  }
}
